// Faults a cashier's machine really meets, made to happen for real on the
// database file: the form says what happened in Persian, keeps its mode,
// loses nothing already saved, and works again once the cause is gone.

#include "data/DtEn.h"
#include "data/Postgres.h"
#include "data/PostgresLink.h"
#include "suite/Sqlite.h"
#include "suite/SuiteDatabase.h"
#include "support/Errors.h"
#include "support/FormFixture.h"

#include <QFile>
#include <fcntl.h>
#include <linux/fs.h>
#include <sqlite3.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// Makes a file read-only for everyone, the superuser included (who ignores
// permission bits): the immutable attribute where the file system has it.
bool setReadOnly(const QString &path, bool readOnly)
{
    if (::geteuid() != 0)
        return QFile::setPermissions(path, readOnly ? QFile::ReadOwner : QFile::ReadOwner | QFile::WriteOwner);
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = readOnly ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}

class Faults : public ShownFormFixture
{
protected:
    void SetUp() override
    {
        ShownFormFixture::SetUp();
        // The command time-out decides how long a lock is waited for.
        Module::dtEn().cnt.setCommandTimeout(1);
    }
    void TearDown() override
    {
        for (const QString &f : std::as_const(readOnly))
            setReadOnly(f, false);
        FormFixture::TearDown();
    }
    void typeNewReceipt() { FormFixture::typeNewReceipt(QStringLiteral("2/500/000")); }
    void save() { child<QPushButton>("cmdSave")->click(); }
    QString lastMessage() { return lastBox().message; }
    // Saved receipts as they are before the fault, for "nothing lost".
    QVector<QVector<QVariant>> savedReceipts(sqlite3 *handle)
    {
        return sqlite::run(handle, QStringLiteral("SELECT ID, Code, ReceivedValue FROM tblRecPayCashTurnDetail ORDER BY ID"))
            .rows;
    }
    // Puts text that is no database where the file was.
    static void writeForeign(const QString &path, const QByteArray &line)
    {
        QFile text(path);
        ASSERT_TRUE(text.open(QIODevice::WriteOnly));
        text.write(line.repeated(400));
    }
    QStringList readOnly;
};

} // namespace

// Another program holding the receipts for writing: on the file its write
// lock, on the server a lock on the receipts' table in an open transaction.
class OtherProgramsLock
{
public:
    explicit OtherProgramsLock(DemoDatabase &db) : m_db(db) {}
    ~OtherProgramsLock() { release(); }
    void take()
    {
        if (DemoDatabase::onPostgres()) {
            // A connection of its own: the program's connections share one.
            m_serverName = PostgresLink::newConnectionName();
            m_server = PostgresLink::openNamed(m_serverName, ConnectionString(m_db.connectionString()), 15);
            pg::exec(m_server, QStringLiteral("BEGIN; LOCK TABLE tblRecPayCashTurnDetail IN EXCLUSIVE MODE"));
        } else {
            m_file = suite::openDatabase(m_db.path());
            sqlite::exec(m_file, QStringLiteral("BEGIN EXCLUSIVE"));
        }
    }
    void release()
    {
        if (m_server) {
            m_server = nullptr;
            PostgresLink::closeNamed(m_serverName);
        }
        if (m_file) {
            sqlite::exec(m_file, QStringLiteral("ROLLBACK"));
            sqlite3_close(m_file);
            m_file = nullptr;
        }
    }

private:
    DemoDatabase &m_db;
    QString m_serverName;
    pg_conn *m_server = nullptr;
    sqlite3 *m_file = nullptr;
};

TEST_F(Faults, AnotherProgramHoldingTheWriteLockDuringASaveAndADelete)
{
    OtherProgramsLock lock(*db);
    typeNewReceipt();
    const QString before = receiptsAsTheyAre();
    lock.take();
    save();
    ASSERT_EQ(ScriptedMessageBox::shown().size(), 1);
    EXPECT_EQ(lastBox().title, QStringLiteral("خطا"));
    // The file names the other program; the server, the time it waited.
    EXPECT_TRUE(lastMessage().contains(DemoDatabase::onPostgres() ? QStringLiteral("زمان مجاز اجراي دستور")
                                                                  : QStringLiteral("در دست برنامه ديگري است")))
        << lastMessage().toStdString();
    EXPECT_EQ(mode(), ModeNew);

    // A delete under the same lock reports through its own single message.
    ScriptedMessageBox::clear();
    lock.release();
    ScriptedMessageBox::answer(1);
    form().cmdCancel_Click();
    lock.take();
    loadReceipt(7); // reading goes on under the other program's lock
    ScriptedMessageBox::answer(1);
    form().cmdDelete_Click();
    EXPECT_EQ(lastMessage(), QStringLiteral("به اين دريافت نقدي وابستگي وجود دارد."));
    EXPECT_EQ(mode(), ModeViewFinal);
    lock.release();
    EXPECT_EQ(receiptsAsTheyAre(), before);

    // The lock gone, both work.
    const int count = receipts();
    typeNewReceipt();
    save();
    EXPECT_EQ(mode(), ModeViewFinal);
    EXPECT_EQ(receipts(), count + 1);
    loadReceipt(7);
    ScriptedMessageBox::answer(1);
    form().cmdDelete_Click();
    EXPECT_EQ(mode(), ModeEmpty);
    EXPECT_EQ(receipts(), count);
}

TEST_F(Faults, AReadOnlyDatabaseFileLetsTheFormReadAndRefusesTheSaveInPersian)
{
    SQLITE_ONLY();
    const auto before = savedReceipts(db->handle());
    // Read-only before the form opens: it opens and shows receipts.
    Module::dtEn().cnt.Close();
    for (const char *suffix : {"", "-wal", "-shm"}) {
        const QString f = db->path() + QLatin1String(suffix);
        if (QFile::exists(f)) {
            if (!setReadOnly(f, true))
                GTEST_SKIP() << "this file system cannot make a file read-only for the superuser";
            readOnly << f;
        }
    }
    clearShow(486);
    Module::dtEn().cnt.setCommandTimeout(1);
    loadReceipt(7);
    EXPECT_EQ(mode(), ModeViewFinal);
    typeNewReceipt();
    save();
    ASSERT_FALSE(ScriptedMessageBox::shown().isEmpty());
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("پايگاه داده"))) << lastMessage().toStdString();
    EXPECT_EQ(mode(), ModeNew);

    // Writable again: the same receipt is saved.
    for (const QString &f : std::as_const(readOnly))
        setReadOnly(f, false);
    readOnly.clear();
    save();
    EXPECT_EQ(mode(), ModeViewFinal);
    EXPECT_EQ(savedReceipts(db->handle()).mid(0, before.size()), before);
    EXPECT_EQ(receipts(), before.size() + 1);
}

TEST_F(Faults, ADatabaseFileThatVanishesOrIsReplacedIsNeverWrittenBehindTheCashiersBack)
{
    SQLITE_ONLY();
    const auto before = savedReceipts(db->handle());
    sqlite3_close(db->handle()); // the test's own handle must not hold the file either
    const QString path = db->path();
    const QString away = path + QStringLiteral(".away");
    typeNewReceipt();

    // Moved away while the form is open: the save is refused, not written
    // into a file nobody will see again.
    ASSERT_TRUE(QFile::rename(path, away));
    save();
    ASSERT_FALSE(ScriptedMessageBox::shown().isEmpty());
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("از جاي خود برداشته"))) << lastMessage().toStdString();
    EXPECT_EQ(mode(), ModeNew);
    // Still gone at the next attempt: the file is missing, and it says so.
    save();
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("يافت نشد"))) << lastMessage().toStdString();

    // Replaced by something that is not a database.
    writeForeign(path, "receipts.txt: 1250000\n");
    save();
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("پايگاه داده نيست"))) << lastMessage().toStdString();
    EXPECT_EQ(mode(), ModeNew);

    // The real file back in its place: the save goes through, nothing lost.
    QFile::remove(path);
    ASSERT_TRUE(QFile::rename(away, path));
    save();
    EXPECT_EQ(mode(), ModeViewFinal);
    sqlite3 *check = suite::openDatabase(path);
    EXPECT_EQ(savedReceipts(check).mid(0, before.size()), before);
    EXPECT_EQ(savedReceipts(check).size(), before.size() + 1);
    sqlite3_close(check);
}

TEST_F(Faults, AMissingOrForeignFileAtOpeningReachesTheHostInPersian)
{
    SQLITE_ONLY();
    const QString path = db->path();
    const QString away = path + QStringLiteral(".away");
    ASSERT_TRUE(QFile::rename(path, away));
    frmRPDCashRec::destroyInstance();
    VbError missing = raisedBy([&] { clearShow(486); });
    EXPECT_TRUE(missing.isDatabaseError());
    EXPECT_TRUE(missing.description().contains(QStringLiteral("يافت نشد"))) << missing.description().toStdString();
    EXPECT_TRUE(missing.description().contains(path));
    EXPECT_FALSE(QFile::exists(path)); // named, not created empty

    writeForeign(path, "not a database\n");
    VbError foreign = raisedBy([&] { clearShow(486); });
    EXPECT_TRUE(foreign.description().contains(QStringLiteral("پايگاه داده نيست"))) << foreign.description().toStdString();

    QFile::remove(path);
    ASSERT_TRUE(QFile::rename(away, path));
    clearShow(486);
    EXPECT_TRUE(form().isVisible());
    EXPECT_EQ(mode(), ModeEmpty);
}
