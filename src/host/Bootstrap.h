#pragma once

// Registers with the component registry everything the program itself
// provides by identifier (common/ProgIds.h): the message box, the file
// system, the connection builder, the report printer and the control. The
// programs that show the component call it at start (the test host, the
// benchmarks; the admin and registration tools create no component), and
// so does the control's constructor (for any
// host embedding it); a sibling component file registers only the platform's
// services (platform/Registration.h). An identifier already registered (a
// host's own component, a test's stand-in) keeps its registration. Safe to
// call more than once.
void registerPlatform();
