// A host's connection string with a password that cannot be used: what the
// cashier is shown and what is logged never hold the password (what the
// test host prints: test_test_host.cpp).

#include "common/VbRuntime.h"
#include "host/Pardex1.h"
#include "support/FormFixture.h"

#include <gtest/gtest.h>

namespace {

const QString Secret = QStringLiteral("Hunter-2024");
const QString Unreachable = QStringLiteral(
    "Provider=SQLOLEDB.1;Data Source=127.0.0.1,1;Initial Catalog=OmberDB;User ID=sa;Password=Hunter-2024;");

QStringList g_logged;

void collect(QtMsgType, const QMessageLogContext &, const QString &message)
{
    g_logged << message;
}

using HostSecrets = FormFixture;

} // namespace

TEST_F(HostSecrets, AnUnusableServerIsReportedAndLoggedWithoutThePassword)
{
    for (const QString &connection : {Unreachable, QStringLiteral("Provider=Oracle;User ID=u;Password=Hunter-2024")}) {
        Pardex1 &c = host(486);
        c.setOLEConnectionString(connection);
        g_logged.clear();
        ScriptedMessageBox::clear();
        const QtMessageHandler previous = qInstallMessageHandler(collect);
        runHandler([&] { c.ClearShow(); });
        qInstallMessageHandler(previous);

        ASSERT_FALSE(ScriptedMessageBox::shown().isEmpty()) << connection.toStdString();
        for (const auto &box : ScriptedMessageBox::shown()) {
            EXPECT_EQ(box.title, QStringLiteral("خطا"));
            EXPECT_FALSE(box.message.contains(Secret)) << box.message.toStdString();
        }
        ASSERT_FALSE(g_logged.isEmpty());
        for (const QString &line : g_logged)
            EXPECT_FALSE(line.contains(Secret)) << line.toStdString();
    }
}
