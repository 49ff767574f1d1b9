#include "support/ScriptedMessageBox.h"

#include "common/ComponentRegistry.h"
#include "core/Vb.h"

namespace {
QVector<ScriptedMessageBox::Shown> g_shown;
QQueue<qint16> g_answers;
} // namespace

void ScriptedMessageBox::ClearShow()
{
    g_shown.push_back({Vb::textOf(m_title), m_message, m_type, m_formBack, m_buttonBack, m_frameBack});
    if (m_type == 1)
        m_result = g_answers.isEmpty() ? 0 : g_answers.dequeue();
    else
        m_result = 1;
}

void ScriptedMessageBox::install()
{
    clear();
    ComponentRegistry::registerComponent(QStringLiteral("Zintel.ZintelMSG"), [] { return new ScriptedMessageBox; });
}

void ScriptedMessageBox::uninstall()
{
    ComponentRegistry::unregisterComponent(QStringLiteral("Zintel.ZintelMSG"));
}

void ScriptedMessageBox::answer(qint16 resualt)
{
    g_answers.enqueue(resualt);
}

const QVector<ScriptedMessageBox::Shown> &ScriptedMessageBox::shown()
{
    return g_shown;
}

QStringList ScriptedMessageBox::messages()
{
    QStringList out;
    for (const Shown &s : g_shown)
        out << s.message;
    return out;
}

void ScriptedMessageBox::clear()
{
    g_shown.clear();
    g_answers.clear();
}
