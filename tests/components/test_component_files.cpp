// Component files: the user's registry, the registration tool and the real
// component files loaded into a program with its own data environment.

#include "SiblingFixture.h"

#include "common/ComponentRegistry.h"
#include "common/LateBound.h"
#include "common/Module.h"
#include "common/SharedServices.h"
#include "common/UserComponentRegistry.h"
#include "core/VbError.h"
#include "data/DtEn.h"
#include "platform/ProcessLauncher.h"
#include "support/Errors.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const QString SystemFolder = QStringLiteral(PARDEX_SYSTEM_DIR);
const QString Tool = QStringLiteral(PARDEX_REGSVR_TOOL);

QString registryText()
{
    QFile file(UserComponentRegistry::path());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

struct ToolRun
{
    int status;
    QString output;
};

ToolRun runTool(const QStringList &args)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(Tool, args);
    EXPECT_TRUE(tool.waitForFinished(30000));
    return {tool.exitCode(), QString::fromUtf8(tool.readAll())};
}

// The suite's spelling of a component file in the System folder.
QString suiteSpelling(const QString &file)
{
    return SystemFolder + QStringLiteral("\\") + file;
}

// Runs action on the first top-level window named name once it is shown
// (from inside the modal loop that shows it), then closes it.
void whenShown(const QString &name, std::function<void(QWidget *)> action, bool *seen)
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [=] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == name && w->isVisible()) {
                timer->stop();
                timer->deleteLater();
                *seen = true;
                action(w);
                w->close();
                return;
            }
    });
    timer->start();
}

class ComponentFiles : public SiblingFixture
{
};

} // namespace

TEST_F(ComponentFiles, TheRegistryMapsIdentifiersToFilesAndAMissingFileCannotBeCreated)
{
    EXPECT_EQ(UserComponentRegistry::fileOf(QStringLiteral("Rulane.Rulane1")), QString());
    UserComponentRegistry::add({QStringLiteral("Rulane.Rulane1")}, QStringLiteral("/nowhere/System/Rulane.so"));
    UserComponentRegistry::add({QStringLiteral("Senvo.Senvo1")}, QStringLiteral("/nowhere/System/Senvo.so"));
    EXPECT_EQ(UserComponentRegistry::fileOf(QStringLiteral("rulane.RULANE1")), QStringLiteral("/nowhere/System/Rulane.so"));

    const VbError missing = raisedBy([] { ComponentRegistry::create(QStringLiteral("Rulane.Rulane1")); });
    EXPECT_EQ(missing.number(), VbError::CannotCreateObject);
    EXPECT_EQ(errorNumber([] { ComponentRegistry::create(QStringLiteral("Nobody.Nothing")); }),
              VbError::CannotCreateObject);

    // A registration in the program comes before the user's file.
    ComponentRegistry::registerComponent(QStringLiteral("Rulane.Rulane1"), [] { return new QObject; });
    EXPECT_NO_THROW(ComponentRegistry::create(QStringLiteral("Rulane.Rulane1")));
    ComponentRegistry::unregisterComponent(QStringLiteral("Rulane.Rulane1"));

    UserComponentRegistry::remove({QStringLiteral("Rulane.Rulane1")});
    EXPECT_EQ(UserComponentRegistry::fileOf(QStringLiteral("Rulane.Rulane1")), QString());
    EXPECT_EQ(UserComponentRegistry::fileOf(QStringLiteral("Senvo.Senvo1")), QStringLiteral("/nowhere/System/Senvo.so"));
}

TEST_F(ComponentFiles, TheSuitesFileNamesBecomeThisPlatformsOnes)
{
    EXPECT_EQ(UserComponentRegistry::localFilePath(QStringLiteral("/opt/suite/System\\Lidmar.ocx")),
              QStringLiteral("/opt/suite/System/Lidmar.so"));
    EXPECT_EQ(UserComponentRegistry::localFilePath(QStringLiteral("\"/opt/suite/System\\Sub\\Mosker.OCX\"")),
              QStringLiteral("/opt/suite/System/Sub/Mosker.so"));
    EXPECT_EQ(UserComponentRegistry::localFilePath(QStringLiteral("/opt/suite/System/Senvo.so")),
              QStringLiteral("/opt/suite/System/Senvo.so"));
    EXPECT_EQ(ProcessLauncher::programFor(QStringLiteral("Regsvr32")), Tool);
    EXPECT_EQ(ProcessLauncher::programFor(QStringLiteral("REGSVR32.EXE")), Tool);
    EXPECT_EQ(ProcessLauncher::programFor(QStringLiteral("notepad")), QStringLiteral("notepad"));
}

TEST_F(ComponentFiles, TheToolRegistersAComponentFileAndNothingElse)
{
    const ToolRun missing = runTool({QStringLiteral("/s"), suiteSpelling(QStringLiteral("Nothing.ocx"))});
    EXPECT_EQ(missing.status, 3);
    EXPECT_EQ(missing.output, QString());
    EXPECT_EQ(registryText(), QString());

    // A program and a library of the platform are files, but no components.
    EXPECT_EQ(runTool({QStringLiteral("/s"), Tool}).status, 4);
    EXPECT_EQ(runTool({QStringLiteral("/s"), QStringLiteral(PARDEX_SOURCE_DIR "/components/Rulane/Rulane.json")}).status,
              4);
    EXPECT_EQ(registryText(), QString());

    EXPECT_EQ(runTool({}).status, 1);

    const ToolRun loud = runTool({suiteSpelling(QStringLiteral("Rulane.ocx"))});
    EXPECT_EQ(loud.status, 0);
    EXPECT_TRUE(loud.output.contains(QStringLiteral("Rulane.Rulane1")));
    EXPECT_EQ(UserComponentRegistry::fileOf(QStringLiteral("Rulane.Rulane1")),
              QDir(SystemFolder).absoluteFilePath(QStringLiteral("Rulane.so")));

    const ToolRun silent = runTool({suiteSpelling(QStringLiteral("Mosker.ocx")), QStringLiteral("/s")});
    EXPECT_EQ(silent.status, 0);
    EXPECT_EQ(silent.output, QString());
    EXPECT_FALSE(UserComponentRegistry::fileOf(QStringLiteral("Mosker.Mosker1")).isEmpty());

    EXPECT_EQ(runTool({QStringLiteral("/u"), QStringLiteral("/s"), suiteSpelling(QStringLiteral("Rulane.ocx"))}).status, 0);
    EXPECT_EQ(UserComponentRegistry::fileOf(QStringLiteral("Rulane.Rulane1")), QString());
    EXPECT_FALSE(UserComponentRegistry::fileOf(QStringLiteral("Mosker.Mosker1")).isEmpty());
}

TEST_F(ComponentFiles, TheFormsCommandLineRegistersTheRealComponentInTheBackground)
{
    const QString line = QStringLiteral("Regsvr32  \"%1/System\\Senvo.ocx\" /s").arg(QStringLiteral(PARDEX_SUITE_DIR));
    EXPECT_GT(ProcessLauncher::Shell(line, ProcessLauncher::NormalFocus), 0);

    // The launcher does not wait; the registration lands shortly after.
    QElapsedTimer waited;
    waited.start();
    while (UserComponentRegistry::fileOf(QStringLiteral("Senvo.Senvo1")).isEmpty() && waited.elapsed() < 20000)
        QTest::qWait(50);
    ASSERT_FALSE(UserComponentRegistry::fileOf(QStringLiteral("Senvo.Senvo1")).isEmpty());

    std::unique_ptr<QObject> turns = ComponentRegistry::create(QStringLiteral("Senvo.Senvo1"));
    ASSERT_NE(turns, nullptr);
    for (const char *property : {"UserID", "PositionID", "EmployeeID"}) {
        LateBound::set(turns.get(), property, 486);
        EXPECT_EQ(LateBound::get(turns.get(), property).toInt(), 486) << property;
    }
    LateBound::set(turns.get(), "OLEConnectionString", db->connectionString());
    EXPECT_EQ(LateBound::get(turns.get(), "OLEConnectionString").toString(), db->connectionString());
}

TEST_F(ComponentFiles, AComponentFileWorksOnItsOwnConnectionAndShowsItsOwnMessages)
{
    ASSERT_EQ(runTool({QStringLiteral("/s"), suiteSpelling(QStringLiteral("Rulane.ocx"))}).status, 0);
    // The program's own data environment, open on the same database.
    Module::context().ConnectionString = db->connectionString();
    OpenConnection();
    DtEn &hostDtEn = Module::dtEn();
    ASSERT_EQ(hostDtEn.rssqlOmberBasePath.Query(QStringLiteral("Select * From tblRecPayCash")), 4);

    std::unique_ptr<QObject> ledger = ComponentRegistry::create(QStringLiteral("Rulane.Rulane1"));
    LateBound::set(ledger.get(), "UserID", 486);
    LateBound::set(ledger.get(), "OLEConnectionString", db->connectionString());
    bool shown = false;
    QStringList lastRow;
    whenShown(
        QStringLiteral("frmRulane"),
        [&](QWidget *screen) {
            auto *grid = screen->findChild<QTableWidget *>(QStringLiteral("grdLedger"));
            ASSERT_NE(grid, nullptr);
            for (int c = 0; c < grid->columnCount(); ++c)
                lastRow << (grid->item(grid->rowCount() - 1, c) ? grid->item(grid->rowCount() - 1, c)->text() : QString());
        },
        &shown);
    LateBound::call(ledger.get(), "View", {3});
    ASSERT_TRUE(shown);
    EXPECT_EQ(lastRow.last(), QStringLiteral("35/580/000"));

    // The program's data environment is the same one and still works.
    EXPECT_EQ(&Module::dtEn(), &hostDtEn);
    EXPECT_EQ(hostDtEn.rssqlOmberBasePath.Query(QStringLiteral("Select * From tblRecPayCashTurn")), 6);

    // A user without the ledger's right gets the component's own message box.
    bool boxShown = false;
    QString boxText;
    whenShown(
        QStringLiteral("ZintelMsgBox"),
        [&](QWidget *box) {
            for (QLabel *label : box->findChildren<QLabel *>())
                boxText += label->text();
        },
        &boxShown);
    LateBound::set(ledger.get(), "UserID", 623);
    LateBound::call(ledger.get(), "View", {3});
    ASSERT_TRUE(boxShown);
    EXPECT_TRUE(boxText.contains(QStringLiteral("شما به انجام اين عمليات مجاز نيستيد."))) << boxText.toStdString();
}
