#pragma once

// Registers the platform's own components (the message box, the file
// system, the connection builder) under their identifiers, keeping any
// registration a host or a test made first. host/Bootstrap.h adds the rest
// for programs and hosts; a sibling component file, which needs no more,
// calls this for its own copy of the registry. Safe to call more than once.
void registerPlatformServices();
