#pragma once

#include "support/ScriptedMessageBox.h"

#include <QStringList>

// Every box the scripted message box has shown, as "title|message", so that
// what was said, in which box and how often is one comparison.
inline QStringList shownBoxes()
{
    QStringList out;
    for (const auto &box : ScriptedMessageBox::shown())
        out << box.title + u'|' + box.message;
    return out;
}

inline QString errorBox(const QString &message)
{
    return QStringLiteral("خطا|") + message;
}
