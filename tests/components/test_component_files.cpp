// Component files: the user's registry, the registration tool and the real
// component files loaded into a program with its own data environment.

#include "SiblingFixture.h"

#include "common/ComponentRegistry.h"
#include "common/LateBound.h"
#include "common/SharedServices.h"
#include "common/UserComponentRegistry.h"
#include "data/DtEn.h"
#include "platform/ProcessLauncher.h"
#include "support/Errors.h"
#include "support/Programs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPluginLoader>
#include <QLabel>
#include <QTableWidget>

namespace {

const QString SystemFolder = QStringLiteral(PARDEX_SYSTEM_DIR);
const QString Tool = QStringLiteral(PARDEX_REGSVR_TOOL);

QString registryText()
{
    QFile file(UserComponentRegistry::path());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

ProgramRun runTool(const QStringList &args, const QString &folder = QString())
{
    return runProgram(Tool, args, {}, folder);
}

// The suite's spelling of a component file in the System folder.
QString suiteSpelling(const QString &file)
{
    return SystemFolder + QStringLiteral("\\") + file;
}

using ComponentFiles = SiblingFixture;

// A component folder an administrator configured, for as long as it lives.
struct ConfiguredFolder
{
    ConfiguredFolder()
    {
        QDir(config.folder()).mkpath(QStringLiteral("pardex"));
        QFile list(QDir(config.folder()).filePath(QStringLiteral("pardex/component-folders.conf")));
        EXPECT_TRUE(list.open(QIODevice::WriteOnly));
        list.write("# the suite's components\nrelative/ignored\n" + components.path().toUtf8() + '\n');
    }
    QString folder() const { return components.path(); }
    IsolatedUserRegistry config{"XDG_CONFIG_DIRS"};
    QTemporaryDir components;
};

} // namespace

TEST_F(ComponentFiles, TheRegistryMapsIdentifiersToFilesAndAMissingFileCannotBeCreated)
{
    // (Removing an entry and keeping the others: the tool's /u.)
    UserComponentRegistry::add({QStringLiteral("Rulane.Rulane1")}, QStringLiteral("/nowhere/System/Rulane.so"));
    EXPECT_EQ(UserComponentRegistry::fileOf(QStringLiteral("rulane.RULANE1")), QStringLiteral("/nowhere/System/Rulane.so"));

    for (const char *id : {"Rulane.Rulane1", "Nobody.Nothing"})
        EXPECT_EQ(errorNumber([=] { ComponentRegistry::create(QLatin1String(id)); }), VbError::CannotCreateObject) << id;

    // A registration in the program comes before the user's file.
    ComponentRegistry::registerComponent(QStringLiteral("Rulane.Rulane1"), [] { return new QObject; });
    EXPECT_NO_THROW(ComponentRegistry::create(QStringLiteral("Rulane.Rulane1")));
    ComponentRegistry::unregisterComponent(QStringLiteral("Rulane.Rulane1"));
}

// The tool's switches are whole words in either case: a folder whose name
// starts like one is a path. A second file is an error.
TEST_F(ComponentFiles, TheToolsSwitchesAreWholeWords)
{
    const std::pair<QStringList, const char *> commandLines[] = {
        {{"/S", "-u", "/opt/System\\Rulane.ocx"}, "silent unregister /opt/System\\Rulane.ocx"},
        {{"/install/System\\Rulane.ocx", "/s"}, "silent /install/System\\Rulane.ocx"},
        {{"/n", "/I:per-user", "-i", "/images/Senvo.ocx"}, "/images/Senvo.ocx"},
        {{"/u/x.ocx"}, "/u/x.ocx"},
        {{"a.ocx", "/iX", "b.ocx"}, "a.ocx error"},
    };
    for (const auto &[args, expected] : commandLines) {
        const UserComponentRegistry::ToolArguments parsed = UserComponentRegistry::parseToolArguments(args);
        QStringList seen = {parsed.silent ? QStringLiteral("silent") : QString(),
                            parsed.unregister ? QStringLiteral("unregister") : QString(), parsed.file,
                            parsed.error.isEmpty() ? QString() : QStringLiteral("error")};
        seen.removeAll(QString());
        EXPECT_EQ(seen.join(u' '), QString::fromUtf8(expected));
    }
}

TEST_F(ComponentFiles, TheToolRegistersAComponentFileAndNothingElse)
{
    const ProgramRun missing = runTool({QStringLiteral("/s"), suiteSpelling(QStringLiteral("Nothing.ocx"))});
    EXPECT_EQ(missing.exitCode, 3);
    EXPECT_EQ(missing.out + missing.err, QString());

    // Outside the component folders nothing is read, component or not.
    EXPECT_EQ(runTool({QStringLiteral("/s"), Tool}).exitCode, 6);
    EXPECT_EQ(runTool({QStringLiteral("/s"), QStringLiteral(PARDEX_SOURCE_DIR "/components/Rulane/Rulane.json")}).exitCode,
              6);
    EXPECT_EQ(registryText(), QString());

    EXPECT_EQ(runTool({}).exitCode, 2);

    const ProgramRun loud = runTool({suiteSpelling(QStringLiteral("Rulane.ocx"))});
    EXPECT_EQ(loud.exitCode, 0);
    EXPECT_TRUE(QString(loud.out + loud.err).contains(QStringLiteral("Rulane.Rulane1")));
    EXPECT_EQ(UserComponentRegistry::fileOf(QStringLiteral("Rulane.Rulane1")),
              QDir(SystemFolder).absoluteFilePath(QStringLiteral("Rulane.so")));

    const ProgramRun silent = runTool({suiteSpelling(QStringLiteral("Mosker.ocx")), QStringLiteral("/s")});
    EXPECT_EQ(silent.exitCode, 0);
    EXPECT_EQ(silent.out + silent.err, QString());
    EXPECT_FALSE(UserComponentRegistry::fileOf(QStringLiteral("Mosker.Mosker1")).isEmpty());

    EXPECT_EQ(runTool({QStringLiteral("/u"), QStringLiteral("/s"), suiteSpelling(QStringLiteral("Rulane.ocx"))}).exitCode, 0);
    EXPECT_EQ(UserComponentRegistry::fileOf(QStringLiteral("Rulane.Rulane1")), QString());
    EXPECT_FALSE(UserComponentRegistry::fileOf(QStringLiteral("Mosker.Mosker1")).isEmpty());
}

TEST_F(ComponentFiles, OnlyAComponentFolderThatNoOtherUserCanChangeIsLoadedFromNeverTheCurrentFolder)
{
    const QString real = QDir(SystemFolder).filePath(QStringLiteral("Rulane.so"));
    QTemporaryDir current;
    QDir(current.path()).mkpath(QStringLiteral("System"));
    const QString planted = current.filePath(QStringLiteral("System/Rulane.so"));
    ASSERT_TRUE(QFile::copy(real, planted));

    // A base without a folder of this platform names the installation's file,
    // whatever the folder the tool was started from holds.
    for (const char *given : {"System\\Rulane.ocx", "C:\\Suite\\System\\Rulane.ocx", "\\\\server\\suite\\System\\Rulane.ocx"}) {
        UserComponentRegistry::remove({QStringLiteral("Rulane.Rulane1")});
        EXPECT_EQ(runTool({QStringLiteral("/s"), QLatin1String(given)}, current.path()).exitCode, 0) << given;
        EXPECT_EQ(UserComponentRegistry::fileOf(QStringLiteral("Rulane.Rulane1")), real) << given;
    }
    // Elsewhere a file is refused by the tool, and by the registry without
    // being loaded, however it came to be registered.
    EXPECT_EQ(runTool({QStringLiteral("/s"), planted}).exitCode, 6);
    UserComponentRegistry::add({QStringLiteral("Rulane.Rulane1")}, planted);
    EXPECT_EQ(errorNumber([] { ComponentRegistry::create(QStringLiteral("Rulane.Rulane1")); }), VbError::CannotCreateObject);
    EXPECT_FALSE(QPluginLoader(planted).isLoaded());

    // A folder the administrator configured, while no other user can change
    // it or the file.
    ConfiguredFolder admin;
    const QString file = QDir(admin.folder()).filePath(QStringLiteral("Senvo.so"));
    ASSERT_TRUE(QFile::copy(QDir(SystemFolder).filePath(QStringLiteral("Senvo.so")), file));
    ASSERT_TRUE(QFile::copy(Tool, QDir(admin.folder()).filePath(QStringLiteral("tool"))));
    EXPECT_EQ(runTool({QStringLiteral("/s"), QDir(admin.folder()).filePath(QStringLiteral("tool"))}).exitCode, 4);
    const QFileDevice::Permissions owner = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    const QFileDevice::Permissions all = owner | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
                                         | QFileDevice::ExeOther;
    const struct
    {
        QFileDevice::Permissions folder, file;
        int status;
    } modes[] = {
        {owner, all, 0},
        {owner | QFileDevice::WriteOther, all, 6},
        {owner | QFileDevice::WriteGroup, all, 6},
        {owner, all | QFileDevice::WriteOther, 6},
    };
    for (const auto &m : modes) {
        UserComponentRegistry::remove({QStringLiteral("Senvo.Senvo1")});
        ASSERT_TRUE(QFile::setPermissions(admin.folder(), m.folder));
        ASSERT_TRUE(QFile::setPermissions(file, m.file));
        EXPECT_EQ(runTool({QStringLiteral("/s"), admin.folder() + QStringLiteral("\\Senvo.ocx")}).exitCode, m.status)
            << int(m.folder) << " " << int(m.file);
        EXPECT_EQ(UserComponentRegistry::fileOf(QStringLiteral("Senvo.Senvo1")), m.status == 0 ? file : QString());
    }
    ASSERT_TRUE(QFile::setPermissions(admin.folder(), owner));
}

// The file the form's command line registers in the background works on
// its own connection and shows its own messages.
TEST_F(ComponentFiles, TheFormsCommandLineRegistersARealFileThatWorksBesideTheProgram)
{
    const QString line = QStringLiteral("Regsvr32  \"%1/System\\Rulane.ocx\" /s").arg(QStringLiteral(PARDEX_SUITE_DIR));
    EXPECT_GT(ProcessLauncher::Shell(line, ProcessLauncher::NormalFocus), 0);
    // The launcher does not wait; the registration lands shortly after.
    QElapsedTimer waited;
    waited.start();
    while (UserComponentRegistry::fileOf(QStringLiteral("Rulane.Rulane1")).isEmpty() && waited.elapsed() < 20000)
        QTest::qWait(50);
    ASSERT_FALSE(UserComponentRegistry::fileOf(QStringLiteral("Rulane.Rulane1")).isEmpty());
    // The program's own data environment, open on the same database.
    Module::context().ConnectionString = db->connectionString();
    OpenConnection();
    DtEn &hostDtEn = Module::dtEn();
    ASSERT_EQ(hostDtEn.rssqlOmberBasePath.Query(QStringLiteral("Select * From tblRecPayCash")), 4);

    std::unique_ptr<QObject> ledger = ComponentRegistry::create(QStringLiteral("Rulane.Rulane1"));
    LateBound::set(ledger.get(), "UserID", 1);
    LateBound::set(ledger.get(), "OLEConnectionString", db->connectionString());
    QString closing;
    whenShown([&](QWidget *screen) {
        if (auto *grid = screen->findChild<QTableWidget *>(QStringLiteral("grdLedger"));
            grid && screen->objectName() == u"frmRulane")
            if (const QTableWidgetItem *last = grid->item(grid->rowCount() - 1, grid->columnCount() - 1))
                closing = last->text();
        screen->close();
    });
    LateBound::call(ledger.get(), "View", {3});
    EXPECT_EQ(closing, QStringLiteral("35/580/000"));

    // The program's data environment is the same one and still works.
    EXPECT_EQ(&Module::dtEn(), &hostDtEn);
    EXPECT_EQ(hostDtEn.rssqlOmberBasePath.Query(QStringLiteral("Select * From tblRecPayCashTurn")), 6);

    // A user without the ledger's right gets the component's own message box.
    QString boxText;
    whenShown([&](QWidget *box) {
        for (QLabel *label : box->findChildren<QLabel *>())
            boxText += box->objectName() == u"ZintelMsgBox" ? label->text() : QString();
        box->close();
    });
    LateBound::set(ledger.get(), "UserID", 623);
    LateBound::call(ledger.get(), "View", {3});
    EXPECT_TRUE(boxText.contains(QStringLiteral("شما به انجام اين عمليات مجاز نيستيد."))) << boxText.toStdString();
}
