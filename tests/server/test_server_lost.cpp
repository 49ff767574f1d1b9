// The shared server goes away in the middle of a cashier's session (stopped
// between two saves, or frozen) and comes back: the form says so in
// Persian, stays usable, writes nothing half-way, and saves again once the
// server is back. Stops the server of scripts/with-test-postgres.sh, so it
// runs alone.

#include "common/UserContext.h"
#include "common/VbRuntime.h"
#include "data/Cursor.h"
#include "data/DtEn.h"
#include "support/FormFixture.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <csignal>

namespace {

// pg_ctl as the server's owner, with the arguments given.
bool pgCtl(const QStringList &args)
{
    QStringList command = qEnvironmentVariable("PARDEX_TEST_PG_RUNAS").split(u' ', Qt::SkipEmptyParts);
    command << qEnvironmentVariable("PARDEX_TEST_PG_CTL") << QStringLiteral("-D")
            << qEnvironmentVariable("PARDEX_TEST_PG_DATA") << args;
    QProcess p;
    p.start(command.takeFirst(), command);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

class ServerLost : public FormFixture
{
protected:
    void SetUp() override
    {
        if (!DemoDatabase::onPostgres() || qEnvironmentVariableIsEmpty("PARDEX_TEST_PG_CTL"))
            GTEST_SKIP() << "needs the test server of scripts/with-test-postgres.sh";
        FormFixture::SetUp();
        clearShow(486);
    }
    void TearDown() override
    {
        // Whatever happened, the server is left running for the next test.
        signalServer(SIGCONT);
        if (m_stopped)
            startServer();
        FormFixture::TearDown();
    }
    // Stops (SIGSTOP) or continues the server: the postmaster first, then
    // every process it lists as its own. The connections stay open and
    // nothing answers, as with a hung machine behind a live network.
    void signalServer(int signal)
    {
        if (signal == SIGSTOP) {
            QFile pidFile(QDir(qEnvironmentVariable("PARDEX_TEST_PG_DATA")).filePath(QStringLiteral("postmaster.pid")));
            ASSERT_TRUE(pidFile.open(QIODevice::ReadOnly));
            const qint64 postmaster = pidFile.readLine().trimmed().toLongLong();
            ASSERT_GT(postmaster, 0);
            m_frozen = {postmaster};
            for (const auto &row : db->run(QStringLiteral("SELECT pid FROM pg_stat_activity")).rows)
                m_frozen << row[0].toLongLong();
        }
        for (const qint64 pid : std::as_const(m_frozen))
            ::kill(pid_t(pid), signal);
        if (signal == SIGCONT)
            m_frozen.clear();
    }
    void stopServer()
    {
        db->disconnect();
        ASSERT_TRUE(pgCtl({QStringLiteral("-m"), QStringLiteral("fast"), QStringLiteral("-w"), QStringLiteral("stop")}));
        m_stopped = true;
    }
    void startServer()
    {
        ASSERT_TRUE(pgCtl({QStringLiteral("-l"), qEnvironmentVariable("PARDEX_TEST_PG_LOG"), QStringLiteral("-w"),
                           QStringLiteral("-o"), qEnvironmentVariable("PARDEX_TEST_PG_OPTIONS"), QStringLiteral("start")}));
        m_stopped = false;
    }
    // The cashier's press: through the event boundary, which reports what
    // the save raises.
    void pressSave() { child<QAbstractButton>("cmdSave")->click(); }

    bool m_stopped = false;
    QList<qint64> m_frozen;
};

} // namespace

TEST_F(ServerLost, TheFormReportsItStaysUsableAndSavesAgainOnceTheServerIsBack)
{
    // A restart while the form was idle is not noticed by the cashier.
    loadReceipt(7);
    stopServer();
    startServer();
    ScriptedMessageBox::clear();
    loadReceipt(8);
    EXPECT_TRUE(ScriptedMessageBox::messages().isEmpty()) << ScriptedMessageBox::messages().join(u'\n').toStdString();
    EXPECT_EQ(form().CurrentReceiptID, 8);

    typeNewReceipt(QStringLiteral("2/000/000"), 110302);
    form().cmdSave_Click();
    ASSERT_EQ(mode(), ModeViewFinal);
    const qint32 first = form().CurrentReceiptID;
    const int before = receipts();

    // The next receipt is typed; the server stops before it is saved.
    typeNewReceipt(QStringLiteral("3/000/000"), 110302);
    stopServer();
    ScriptedMessageBox::clear();
    pressSave();
    const QStringList said = ScriptedMessageBox::messages();
    ASSERT_FALSE(said.isEmpty());
    // The server's closing is seen before the save writes anything: the
    // form tries a new connection, and says the server cannot be reached.
    EXPECT_TRUE(said.last().contains(QStringLiteral("ارتباط با سرور پايگاه داده قطع شد"))
                || said.last().contains(QStringLiteral("اتصال به سرور پايگاه داده برقرار نشد")))
        << said.last().toStdString();
    // Still the new receipt, as typed: the cashier can try again.
    EXPECT_EQ(mode(), ModeNew);
    EXPECT_EQ(child<QLineEdit>("txtRec")->text(), QStringLiteral("3/000/000"));

    // Back: the same press saves it, with a code and one document.
    startServer();
    ScriptedMessageBox::clear();
    pressSave();
    ASSERT_EQ(mode(), ModeViewFinal) << ScriptedMessageBox::messages().join(u'\n').toStdString();
    const qint32 second = form().CurrentReceiptID;
    EXPECT_NE(second, first);
    EXPECT_EQ(receipts(), before + 1); // nothing was left from the failed tries
    EXPECT_EQ(stored("ReceivedValue", second).toString(), QStringLiteral("3000000"));
    EXPECT_FALSE(stored("Code", second).isNull());
    EXPECT_EQ(documentsOf(second), 1);
    // And the first receipt loads again on the new connection.
    loadReceipt(first);
    EXPECT_EQ(form().CurrentReceiptID, first);
}

TEST_F(ServerLost, AFrozenServerIsGivenUpAfterTheCommandTimeOutAndTheFormStaysUsable)
{
    loadReceipt(7);
    ASSERT_EQ(form().CurrentReceiptID, 7);
    Module::dtEn().cnt.setCommandTimeout(1);
    Module::dtEn().cnt.setConnectionTimeout(2);

    signalServer(SIGSTOP);
    ScriptedMessageBox::clear();
    runHandler([&] { loadReceipt(8); }); // as the key's event would
    const QStringList said = ScriptedMessageBox::messages();
    signalServer(SIGCONT);

    // Not the system's endless wait: the form gave up, saying the server
    // did not answer.
    ASSERT_FALSE(said.isEmpty());
    EXPECT_TRUE(said.first().contains(QStringLiteral("پاسخي نداد"))) << said.first().toStdString();

    // Thawed, the same press works on a new connection.
    ScriptedMessageBox::clear();
    loadReceipt(8);
    EXPECT_TRUE(ScriptedMessageBox::messages().isEmpty()) << ScriptedMessageBox::messages().join(u'\n').toStdString();
    EXPECT_EQ(form().CurrentReceiptID, 8);
}

TEST_F(ServerLost, AProgramHoldsTwoServerConnectionsWhateverItHasOpen)
{
    loadReceipt(7);
    const auto backends = [&](const char *state) {
        return db->scalar(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE datname = current_database() "
                                         "AND pid <> pg_backend_pid() AND state LIKE $1"),
                          {QString::fromLatin1(state)})
            .toInt();
    };
    // Two searches streaming at once (4096 rows each, more than one slice),
    // a sibling component's data environment in a transaction, and a
    // lookup box's connection, besides the form's own.
    const QString many = QStringLiteral("Select a.ID From tblRecPayCash a, tblRecPayCash b, tblRecPayCash c, "
                                        "tblRecPayCash d, tblRecPayCash e, tblRecPayCash f");
    auto first = Module::dtEn().cnt.openCursor(many + QStringLiteral(" Order By a.ID -- ascending"));
    auto second = Module::dtEn().cnt.openCursor(many + QStringLiteral(" Order By a.ID Desc"));
    DtEn sibling;
    sibling.cnt.setConnectionString(db->connectionString());
    sibling.cnt.BeginTrans();
    EXPECT_EQ(sibling.cnt.execute(QStringLiteral("Select count(*) From tblRecPayCash")).rows[0][0].toInt(), 4);
    Connection lookup(db->connectionString());
    EXPECT_EQ(lookup.execute(QStringLiteral("Select count(*) From tblRecPayCashTurnDetail")).rows.size(), 1);
    EXPECT_EQ(backends("%"), 2);
    sibling.cnt.CommitTrans();

    // Both read to the end, each its own rows in its own order (a slice
    // asked for ahead reaches the cursor that asked, whichever collected
    // it): the readers' transaction then ends, holding nothing on the server.
    int rows = 0;
    qint64 up = 1, down = 4;
    for (; first->next() && second->next(); up = first->integer(0), down = second->integer(0))
        rows += first->integer(0) >= up && second->integer(0) <= down ? 1 : 0;
    EXPECT_EQ(rows, 4096);
    EXPECT_EQ(up - down, 3);
    EXPECT_FALSE(first->next() || second->next());
    EXPECT_EQ(backends("idle in transaction%"), 0);
    loadReceipt(8);
    EXPECT_EQ(form().CurrentReceiptID, 8);
    EXPECT_EQ(backends("%"), 2);
}
