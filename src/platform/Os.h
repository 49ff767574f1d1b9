#pragma once

#include <QString>
#include <QStringList>

// The operating system as far as the component asks it: its version and
// keyboard layouts. Where the platform has no such thing the version is
// outside 4-6 and nothing is activated. Tests set the version
// (platform/Seams.h) and read which layouts were asked for.
namespace Os {

// The major version: the low byte of the platform's version value.
int majorVersion();

// Loads and activates a layout by its identifier ("00000429" Persian);
// false when nothing was activated. Every request is remembered.
bool activateKeyboardLayout(const QString &layoutId);
const QStringList &requestedLayouts();
void clearRequestedLayouts();

} // namespace Os
