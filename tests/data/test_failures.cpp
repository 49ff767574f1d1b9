#include "core/PersianDate.h"
#include "core/VbError.h"
#include "data/DriverLibrary.h"
#include "data/DtEn.h"
#include "suite/Sqlite.h"
#include "suite/SuiteDatabase.h"
#include "support/DemoDatabase.h"
#include "support/StatementRecord.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <chrono>
#include <thread>
#include "support/Errors.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {


qint32 saveReceipt(DtEn &dtEn, qint32 &code)
{
    qint32 id = 0;
    code = 0;
    const QDateTime now = QDate::currentDate().startOfDay();
    dtEn.spRecPayInsertCashTurnDetail(id, 3, code, now, PersianDate::today(), QStringLiteral("x"),
                                      Currency::fromInteger(1000), Currency(), 110301, 0, 206, -1);
    return id;
}

} // namespace

TEST(Failures, AnInjectedFaultStopsAtItsStepAndEarlierWritesStay)
{
    StatementRecord record;
    DemoDatabase db;
    DtEn dtEn;
    dtEn.cnt.setConnectionString(db.connectionString());
    const int receipts = db.count(QStringLiteral("tblRecPayCashTurnDetail"));
    const int documents = db.count(QStringLiteral("tblAccountDocument"));

    record.failNext(QStringLiteral("^spAccountInsertDocumentDetail$"), QStringLiteral("disk full"));
    qint32 code = 0;
    const qint32 id = saveReceipt(dtEn, code);
    qint32 doc = 1, docCode = 1;
    const QDateTime now = QDate::currentDate().startOfDay();
    dtEn.spAccountInsertDocument(doc, docCode, 486, now, PersianDate::today(), now, PersianDate::today(),
                                 Currency::fromInteger(1000), QStringLiteral("x"));
    const auto insertRow = [&] {
        dtEn.spAccountInsertDocumentDetail(doc, 1, 110101, now, PersianDate::today(), QStringLiteral("x"), 17,
                                           QString::number(code), 0, 0, Currency::fromInteger(1000), Currency(), id, 206);
    };
    const VbError e = raisedBy(insertRow);
    EXPECT_TRUE(e.isDatabaseError());
    EXPECT_EQ(e.description(), QStringLiteral("disk full"));
    // No transaction spans the steps: the receipt and the header are there.
    EXPECT_EQ(db.count(QStringLiteral("tblRecPayCashTurnDetail")), receipts + 1);
    EXPECT_EQ(db.count(QStringLiteral("tblAccountDocument")), documents + 1);
    EXPECT_EQ(db.count(QStringLiteral("tblAccountDocumentDetail WHERE DocumentID = %1").arg(doc)), 0);
    // The fault was one-shot.
    insertRow();

    record.failNext(QStringLiteral("^Update tblRecPayCashTurnDetail"));
    EXPECT_TRUE(raisedBy([&] { dtEn.rssqlOmberBasePath.Open(QStringLiteral("Update tblRecPayCashTurnDetail set Code=null Where ID =1")); })
                    .isDatabaseError());
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT Code FROM tblRecPayCashTurnDetail WHERE ID = 1")).toInt(), 1);
    EXPECT_EQ(dtEn.rssqlOmberBasePath.State(), 0);
}

TEST(Failures, ALockedDatabaseGivesAClearErrorAfterTheCommandTimeout)
{
    SQLITE_ONLY();
    DemoDatabase db;
    DtEn dtEn;
    dtEn.cnt.setConnectionString(db.connectionString());
    dtEn.cnt.setCommandTimeout(1);
    const int before = db.count(QStringLiteral("tblRecPayCashTurnDetail"));

    sqlite3 *other = suite::openDatabase(db.path());
    sqlite::exec(other, QStringLiteral("BEGIN EXCLUSIVE"));
    QElapsedTimer timer;
    timer.start();
    qint32 code = 0;
    const VbError e = raisedBy([&] { saveReceipt(dtEn, code); });
    EXPECT_TRUE(e.isDatabaseError());
    EXPECT_TRUE(e.description().contains(QStringLiteral("locked"))) << e.description().toStdString();
    EXPECT_GE(timer.elapsed(), 900);
    // Reading still works while another process writes.
    dtEn.rssqlUser.Open(QStringLiteral("select * from tblUser Where ID =486"));
    EXPECT_EQ(dtEn.rssqlUser.RecordCount(), 1);
    dtEn.rssqlUser.Close();
    sqlite::exec(other, QStringLiteral("ROLLBACK"));
    sqlite3_close(other);

    EXPECT_EQ(db.count(QStringLiteral("tblRecPayCashTurnDetail")), before);
    saveReceipt(dtEn, code);
    EXPECT_EQ(db.count(QStringLiteral("tblRecPayCashTurnDetail")), before + 1);
}

TEST(Failures, OpeningAFileAnotherProgramHoldsWaitsTheCommandTimeoutOnceNotOnceAStep)
{
    SQLITE_ONLY();
    DemoDatabase db;
    // Without the write-ahead log a writer keeps readers out too, so the
    // opening itself meets the lock (reading the schema, then the rows).
    sqlite3 *other = suite::openDatabase(db.path());
    sqlite::exec(other, QStringLiteral("PRAGMA journal_mode=DELETE"));
    sqlite::exec(other, QStringLiteral("BEGIN EXCLUSIVE"));
    DtEn dtEn;
    dtEn.cnt.setConnectionString(db.connectionString());
    dtEn.cnt.setCommandTimeout(3);
    QElapsedTimer timer;
    timer.start();
    const VbError e = raisedBy([&] { dtEn.rssqlUser.Open(QStringLiteral("select * from tblUser Where ID =486")); });
    const qint64 waited = timer.elapsed();
    EXPECT_TRUE(e.description().contains(QStringLiteral("در دست برنامه ديگري"))) << e.description().toStdString();
    EXPECT_GE(waited, 2900);
    // One time-out, not one for each step of the opening (that would be 6 s
    // or more); the room left is for a loaded machine.
    EXPECT_LT(waited, 5900);
    sqlite::exec(other, QStringLiteral("ROLLBACK"));
    sqlite3_close(other);
    dtEn.rssqlUser.Open(QStringLiteral("select * from tblUser Where ID =486"));
    EXPECT_EQ(dtEn.rssqlUser.RecordCount(), 1);
}

TEST(Failures, ACommandTimeoutOfZeroWaitsForTheLockAsLongAsItTakes)
{
    SQLITE_ONLY();
    DemoDatabase db;
    DtEn dtEn;
    dtEn.cnt.setConnectionString(db.connectionString());
    dtEn.cnt.setCommandTimeout(0);
    sqlite3 *other = suite::openDatabase(db.path());
    sqlite::exec(other, QStringLiteral("BEGIN EXCLUSIVE"));
    // The thread plays the other program: only the SQLite library on that
    // program's own handle, none of the component's objects.
    std::thread release([other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    });
    QElapsedTimer timer;
    timer.start();
    qint32 code = 0;
    const VbError e = raisedBy([&] { saveReceipt(dtEn, code); });
    release.join();
    sqlite3_close(other);
    EXPECT_EQ(e.number(), 0) << e.description().toStdString();
    EXPECT_GE(timer.elapsed(), 350);
    EXPECT_GT(code, 0);
}

TEST(Failures, AReadOnlyDatabaseRefusesWritesAndKeepsReading)
{
    SQLITE_ONLY();
    DemoDatabase db;
    DtEn dtEn;
    dtEn.cnt.setConnectionString(db.connectionString() + QStringLiteral(";Mode=Read"));
    dtEn.rssqlOmberBasePath.Open(QStringLiteral("Select * From vwOmberBasePath Order By ID "));
    EXPECT_EQ(dtEn.rssqlOmberBasePath.RecordCount(), 1);
    dtEn.rssqlOmberBasePath.Close();
    qint32 code = 0;
    const VbError e = raisedBy([&] { saveReceipt(dtEn, code); });
    EXPECT_TRUE(e.isDatabaseError());
    EXPECT_TRUE(e.description().contains(QStringLiteral("readonly"))) << e.description().toStdString();
    const VbError update = raisedBy([&] {
        dtEn.rssqlOmberBasePath.Open(QStringLiteral("Update tblRecPayCashTurnDetail set Code=null Where ID =1"));
    });
    EXPECT_TRUE(update.isDatabaseError());
}

TEST(Failures, AFileThatIsNotADatabaseOrHasGoneIsNamedInTheError)
{
    SQLITE_ONLY();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("notes.db"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    DtEn dtEn;
    dtEn.cnt.setConnectionString(QStringLiteral("Provider=SQLite;Data Source=") + path);
    const VbError e = raisedBy([&] { dtEn.rssqlUser.Open(); });
    EXPECT_TRUE(e.isDatabaseError());
    EXPECT_TRUE(e.description().contains(path));
    EXPECT_EQ(dtEn.cnt.State(), 0);

    // A database removed between two operations: the next connection says so.
    auto db = std::make_unique<DemoDatabase>();
    const QString gone = db->path();
    const QString cs = db->connectionString();
    db.reset();
    DtEn later;
    later.cnt.setConnectionString(cs);
    const VbError missing = raisedBy([&] { later.spOmberHasPermission(486, 206); });
    EXPECT_TRUE(missing.description().contains(gone));
}

// The engines take the driver's handle only from a plugin that calls the
// library this program links (here both use the system's); a function the
// plugin finds in another object, or nowhere, means another library.
TEST(Failures, TheDriversHandleIsTakenOnlyWhenItsPluginCallsOurLibrary)
{
    QSqlDatabase qt = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("driver-check"));
    qt.setDatabaseName(QStringLiteral(":memory:"));
    ASSERT_TRUE(qt.open());
    const auto refusal = [&](const char *symbol, auto *ours) {
        QString why;
        return DriverLibrary::ourHandle(qt, {"sqlite3*"}, symbol, reinterpret_cast<const void *>(ours), why) ? QString() : why;
    };
    EXPECT_EQ(refusal("sqlite3_open_v2", &sqlite3_open_v2), QString());
    EXPECT_TRUE(refusal("sqlite3_open_v2", &qVersion).contains(QStringLiteral("libsqlite3")));
    EXPECT_TRUE(refusal("sqlite3_no_such_function", &sqlite3_open_v2).contains(QStringLiteral("in none")));
}
