#pragma once

// Registers the platform's components with the component registry: the
// message box, the file-system object and the connection builder.
void registerStandardComponents();
