#pragma once

#include "support/DemoDatabase.h"
#include "support/StatementRecord.h"

#include <QByteArray>
#include <QWidget>
#include <QStringList>
#include <QTemporaryDir>
#include <QVector>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

class SiblingSession;
class QWidget;

// Points a configuration folder (by default the user's, with his component
// registry) at an empty folder of its own for as long as it lives, so that
// no test sees the components registered on the machine it runs on.
class IsolatedUserRegistry
{
public:
    explicit IsolatedUserRegistry(const char *variable = "XDG_CONFIG_HOME");
    ~IsolatedUserRegistry();
    QString folder() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    const char *m_variable;
    QByteArray m_saved;
    bool m_had;
};

// A test of the sibling components linked into the test program: a private
// demo database, the scripted message box, modal screens handed to queued
// actions (one shown with nothing queued is closed at once).
class SiblingFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A session of the component for a user on the test's database.
    std::unique_ptr<SiblingSession> session(qint32 userId = 486);
    void onModal(std::function<void(QWidget *)> action);
    // The objectNames of the screens shown modally, in order.
    const QStringList &shownScreens() const { return m_shown; }

    std::unique_ptr<DemoDatabase> db;
    StatementRecord record;

private:
    std::unique_ptr<IsolatedUserRegistry> m_registry;
    QVector<std::function<void(QWidget *)>> m_actions;
    QStringList m_shown;
};

// A widget of a screen by its objectName; fails the test when missing.
template <typename T>
T *childOf(QWidget *screen, const char *name)
{
    T *found = screen ? screen->findChild<T *>(QLatin1String(name)) : nullptr;
    EXPECT_NE(found, nullptr) << name;
    return found;
}
