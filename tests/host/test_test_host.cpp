// The test host renders screens without a display and must never wait for
// a click that cannot come.

#include "platform/ZintelMsgBox.h"
#include "support/DemoDatabase.h"
#include "support/Programs.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct HostRun
{
    ProgramRun run;
    QImage picture;
};

HostRun runHost(const QStringList &arguments)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("screen.png"));
    HostRun host{runProgram(QStringLiteral(PARDEX_HOST), arguments + QStringList{QStringLiteral("--screenshot"), file},
                            {{QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen")},
                             {QStringLiteral("XDG_DATA_HOME"), dir.path()}}),
                 QImage()};
    host.picture.load(file);
    return host;
}

} // namespace

TEST(TestHost, AMessageBoxIsDrawnIntoThePictureAndNothingWaits)
{
    DemoDatabase db;
    const QStringList connection = {QStringLiteral("--connection"), db.connectionString()};

    // A refused user: the picture shows the refusal and the exit says so.
    HostRun refused = runHost(connection + QStringList{QStringLiteral("--user"), QStringLiteral("623")});
    ASSERT_TRUE(refused.run.finished);
    EXPECT_NE(refused.run.exitCode, 0);
    EXPECT_FALSE(refused.picture.isNull());
    EXPECT_TRUE(QString(refused.run.err + refused.run.out).contains(QStringLiteral("شما به انجام اين عمليات مجاز نيستيد.")));

    // The same paths in the program itself (a missing receipt, a broken or
    // unreachable connection, no password shown): test_entry_operations.
}

TEST(TestHost, AnUnattendedBoxIsHandedOverAndLeftUnanswered)
{
    QString seen;
    ZintelMsgBox::setUnattended([&](QWidget *, const QString &title, const QString &message) {
        seen = title + u'|' + message;
    });
    ZintelMsgBox box;
    box.setProperty("FormTitle", QStringLiteral("هشدار"));
    box.setProperty("FormMessage", QStringLiteral("آيا مطمئن هستيد؟"));
    box.setProperty("FormType", qint16(1));
    box.ClearShow();
    ZintelMsgBox::setUnattended(nullptr);
    EXPECT_EQ(seen, QStringLiteral("هشدار|آيا مطمئن هستيد؟"));
    EXPECT_EQ(box.Resualt(), -1);
}
