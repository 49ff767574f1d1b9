#pragma once

#include <QString>
#include <functional>

// Starting another program from a command line, without waiting for it:
// the one way the component starts processes, so that tests can replace it
// and see the line (platform/Seams.h). "Regsvr32" names the platform's component registration;
// here that is our own registration tool, pardex-regsvr.
namespace ProcessLauncher {

// How the started program's window is shown; a console program has none.
enum WindowStyle { Hide = 0, NormalFocus = 1, MinimizedFocus = 2, MaximizedFocus = 3 };

// Starts the command line (the program, then its arguments; double quotes
// group an argument with blanks) detached, and returns the process ID.
// Raises error 53 when the program cannot be started, 5 for an empty line.
qint64 Shell(const QString &commandLine, WindowStyle style = MinimizedFocus);

// The program a command line's first word stands for: our registration
// tool for "Regsvr32" (with or without ".exe"), the word itself otherwise.
QString programFor(const QString &word);


} // namespace ProcessLauncher
