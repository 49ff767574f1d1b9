#include "RecordingPrinter.h"

#include "common/ComponentRegistry.h"
#include "support/ScriptedMessageBox.h"

#include <QApplication>
#include <QCursor>

void RecordingPrinter::setRunAction(qint16 v)
{
    log << QStringLiteral("RunAction=%1").arg(v);
    m_action = v;
    messagesAtRun.clear();
    for (const auto &shown : ScriptedMessageBox::shown())
        messagesAtRun << shown.title + u'|' + shown.message;
    cursorAtRun = QApplication::overrideCursor() ? int(QApplication::overrideCursor()->shape()) : -1;
}

void RecordingPrinter::install()
{
    log.clear();
    created = 0;
    messagesAtRun.clear();
    cursorAtRun = -1;
    ComponentRegistry::registerComponent(QStringLiteral("PirelRpt.PirelRpt1"), [] { return new RecordingPrinter; });
}
