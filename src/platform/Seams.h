#pragma once

#include "platform/ProcessLauncher.h"

#include <functional>

class QWidget;

// The platform's seams, in one place: what a test puts in the platform's
// stead so that nothing blocks, starts a process or depends on the machine.
// Nothing in the product sets them; an empty hook (or a negative version)
// restores the platform's own behaviour.
namespace seams {

// Called instead of a nested event loop when a form is shown modally
// (FormShower::showModal): it acts on the form, which ends hidden either way.
using ModalHook = std::function<void(QWidget *form)>;
void setModalHook(ModalHook hook);

// Called instead of starting a program (ProcessLauncher::Shell); gives the
// process ID the caller sees.
using LaunchHook = std::function<qint64(const QString &commandLine, ProcessLauncher::WindowStyle style)>;
void setLaunchHook(LaunchHook hook);

// The operating system's major version as Os::majorVersion reports it.
void setOsMajorVersion(int version);

} // namespace seams
