#pragma once

#include "core/VbError.h"

#include <QString>
#include <functional>

// "On Error Resume Next" for one step: runs it and swallows a VbError.
template <typename Step>
void ignoreErrors(Step &&step)
{
    try {
        step();
    } catch (const VbError &) {
    }
}

// The boundary of every event handler: what escapes is reported once in a
// message box titled "خطا" with the error's text, and the form stays usable
// in the state it reached. Nothing escapes to Qt's event loop.
void runHandler(const std::function<void()> &handler);
// The text shown for an error that reached the boundary.
QString errorText(const VbError &error);
