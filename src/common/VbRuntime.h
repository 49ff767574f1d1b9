#pragma once

#include "core/VbError.h"

#include <QString>
#include <functional>

// "On Error Resume Next" for one step: runs it and swallows what it raises,
// our own errors and those of a plugin or the platform alike.
template <typename Step>
void ignoreErrors(Step &&step)
{
    try {
        step();
    } catch (...) {
    }
}

// One step of an operation that writes: a failure keeps its number and
// source, and its text says which step failed, so that the report tells the
// cashier what was and was not written.
template <typename Step>
void inStep(const QString &what, Step &&step)
{
    try {
        step();
    } catch (const VbError &e) {
        throw VbError(e.number(), what + QStringLiteral(": ") + e.description(), e.source());
    } catch (const std::exception &e) {
        throw VbError(VbError::InternalError, what + QStringLiteral(": ") + QString::fromLocal8Bit(e.what()));
    }
}

// The boundary of every event handler: what escapes is reported once in a
// message box titled "خطا" with the error's text, and the form stays usable
// in the state it reached. Nothing escapes to Qt's event loop.
void runHandler(const std::function<void()> &handler);
// The text shown for an error that reached the boundary.
QString errorText(const VbError &error);
