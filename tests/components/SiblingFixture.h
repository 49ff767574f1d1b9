#pragma once

#include "sibling/SiblingSession.h"
#include "support/FormFixture.h"

#include <QByteArray>
#include <QTemporaryDir>

// Points a configuration folder (by default the user's, with his component
// registry) at an empty folder of its own for as long as it lives, so that
// no test sees the components registered on the machine it runs on.
class IsolatedUserRegistry
{
public:
    explicit IsolatedUserRegistry(const char *variable = "XDG_CONFIG_HOME")
        : m_variable(variable), m_saved(qgetenv(variable)), m_had(qEnvironmentVariableIsSet(variable))
    {
        qputenv(m_variable, m_dir.path().toLocal8Bit());
    }
    ~IsolatedUserRegistry()
    {
        if (m_had)
            qputenv(m_variable, m_saved);
        else
            qunsetenv(m_variable);
    }
    QString folder() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    const char *m_variable;
    QByteArray m_saved;
    bool m_had;
};

// A test of the sibling components linked into the test program, on the
// form tests' fixture (demo database, scripted message box, modal screens
// handed to queued actions), with the user's registry kept apart.
class SiblingFixture : public FormFixture
{
protected:
    // A session of the component for a user on the test's database.
    std::unique_ptr<SiblingSession> session(qint32 userId = 486)
    {
        return std::make_unique<SiblingSession>(SiblingSession::User{userId, 0, 0, db->connectionString()});
    }

    IsolatedUserRegistry registry;
};

// A widget of a screen by its objectName; fails the test when missing.
template <typename T>
T *childOf(QWidget *screen, const char *name)
{
    T *found = screen ? screen->findChild<T *>(QLatin1String(name)) : nullptr;
    EXPECT_NE(found, nullptr) << name;
    return found;
}
