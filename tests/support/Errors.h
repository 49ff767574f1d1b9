#pragma once

#include "core/VbError.h"

#include <functional>

// The error a step raises, for assertions: number 0 and an empty text when
// it raises none.
inline VbError raisedBy(const std::function<void()> &step)
{
    try {
        step();
    } catch (const VbError &e) {
        return e;
    }
    return VbError(0, QString());
}

inline int errorNumber(const std::function<void()> &step)
{
    return raisedBy(step).number();
}
