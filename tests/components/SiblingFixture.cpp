#include "SiblingFixture.h"

#include "common/Module.h"
#include "platform/Seams.h"
#include "sibling/SiblingSession.h"
#include "support/ScriptedMessageBox.h"

#include <QWidget>

IsolatedUserRegistry::IsolatedUserRegistry(const char *variable)
    : m_variable(variable), m_saved(qgetenv(variable)), m_had(qEnvironmentVariableIsSet(variable))
{
    qputenv(m_variable, m_dir.path().toLocal8Bit());
}

IsolatedUserRegistry::~IsolatedUserRegistry()
{
    if (m_had)
        qputenv(m_variable, m_saved);
    else
        qunsetenv(m_variable);
}

void SiblingFixture::SetUp()
{
    m_registry = std::make_unique<IsolatedUserRegistry>();
    db = std::make_unique<DemoDatabase>();
    Module::reset();
    ScriptedMessageBox::install();
    seams::setModalHook([this](QWidget *screen) {
        m_shown << screen->objectName();
        if (m_actions.isEmpty())
            return;
        auto action = m_actions.takeFirst();
        action(screen);
    });
}

void SiblingFixture::TearDown()
{
    seams::setModalHook(nullptr);
    Module::reset();
    m_registry.reset();
}

std::unique_ptr<SiblingSession> SiblingFixture::session(qint32 userId)
{
    return std::make_unique<SiblingSession>(SiblingSession::User{userId, 0, 0, db->connectionString()});
}

void SiblingFixture::onModal(std::function<void(QWidget *)> action)
{
    m_actions.push_back(std::move(action));
}
