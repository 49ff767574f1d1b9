// The embedded file next to a PostgreSQL server on the same generated data:
// loading a receipt by number, a final save (the procedure, the detail
// levels, the document) and the search's full result, each timed on both
// and printed with the server's figure as a multiple of the file's.
// Run: scripts/with-test-postgres.sh ./build/bench/bench_engines [RECEIPTS]
// (or give the server's string of an empty database in PARDEX_BENCH_PG).

#include "core/Currency.h"
#include "core/PersianDate.h"
#include "data/Cursor.h"
#include "data/DtEn.h"
#include "data/PostgresSuite.h"
#include "suite/SuiteDatabase.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {

struct Figures
{
    double loadMs, saveMs, searchMs;
    qint64 rows;
};

Figures measure(const QString &cs, int samples)
{
    DtEn dtEn;
    dtEn.cnt.setConnectionString(cs);
    dtEn.cnt.setSessionUser(486);
    dtEn.rssqlOmberBasePath.Query(QStringLiteral("Select * From vwOmberBasePath Order By ID ")); // open once
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < samples; ++i)
        dtEn.rssqlOmberBasePath.Query(
            QStringLiteral("Select * From vwRecPayCashTurnDetail Where ID=%1 And PayedValue = 0").arg(20 + i * 37));
    const double load = double(t.nsecsElapsed()) / 1e6 / samples;

    t.restart();
    for (int i = 0; i < samples; ++i) {
        qint32 id = 0, code = 0;
        const QDateTime now = QDate::currentDate().startOfDay();
        dtEn.spRecPayInsertCashTurnDetail(id, 3, code, now, PersianDate::today(), QStringLiteral("bench"),
                                          Currency::fromInteger(1000 + i), Currency(), 110301, 0, 206, -1);
        dtEn.rssqlOmberBasePath.Query(QStringLiteral("Update tblRecPayCashTurnDetail set ClassID1 = NULL, ObjectID1 = "
                                                     "NULL,ClassID2 = NULL, ObjectID2 = NULL,ClassID3 = NULL, ObjectID3 = "
                                                     "NULL,BranchID = 1, AchieverID = 3 Where ID = %1")
                                          .arg(id));
        qint32 doc = 1, docCode = 1;
        dtEn.spAccountInsertDocument(doc, docCode, 486, now, PersianDate::today(), now, PersianDate::today(),
                                     Currency::fromInteger(1000 + i), QStringLiteral("bench"));
        for (int row = 1; row <= 2; ++row)
            dtEn.spAccountInsertDocumentDetail(doc, row, row == 1 ? 110101 : 110301, now, PersianDate::today(),
                                               QStringLiteral("bench"), 17, QString::number(code), 0, 0,
                                               row == 1 ? Currency::fromInteger(1000 + i) : Currency(),
                                               row == 1 ? Currency() : Currency::fromInteger(1000 + i), id, 206);
    }
    const double save = double(t.nsecsElapsed()) / 1e6 / samples;

    t.restart();
    auto cursor = dtEn.rssqlvwRPDCashTyrndetailSearch.OpenCursor(QStringLiteral(
        "Select ID As 'شماره' , Turn As 'نوبت صندوق' , CashDescription As 'صندوق' , OpenerUser as 'صندوقدار' ,Code As "
        "'شماره تاييد شده',FarsiTransactionDate As 'تاريخ ثبت',Description as 'شرح' ,ReceivedValue as 'دريافت' from "
        "vwRecPayCashTurnDetailSearch Where  Description Like '%فاكتور%' AND PayedValue=0"));
    qint64 rows = 0;
    while (cursor->next())
        ++rows;
    const double search = double(t.nsecsElapsed()) / 1e6;
    return {load, save, search, rows};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const qint64 receipts = argc > 1 ? QString::fromLatin1(argv[1]).toLongLong() : 100000;
    QString server = qEnvironmentVariable("PARDEX_BENCH_PG");
    if (server.isEmpty() && !qEnvironmentVariableIsEmpty("PARDEX_TEST_PG")) {
        // A database of its own on the test server.
        DtEn admin;
        admin.cnt.setConnectionString(qEnvironmentVariable("PARDEX_TEST_PG"));
        admin.cnt.execute(QStringLiteral("DROP DATABASE IF EXISTS pardex_bench"));
        admin.cnt.execute(QStringLiteral("CREATE DATABASE pardex_bench"));
        server = qEnvironmentVariable("PARDEX_TEST_PG");
        server.replace(QRegularExpression(QStringLiteral("Initial Catalog=[^;]*")), QStringLiteral("Initial Catalog=pardex_bench"));
    }
    if (server.isEmpty()) {
        std::fprintf(stderr, "no server: run under scripts/with-test-postgres.sh or set PARDEX_BENCH_PG\n");
        return 2;
    }
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bench.db"));
    suite::CreateOptions options;
    options.demo = true;
    options.extraReceipts = receipts;
    QElapsedTimer t;
    t.start();
    suite::createDatabase(file, options);
    const double fileMade = t.restart();
    options.overwrite = true;
    pgsuite::createDatabase(server, options);
    const double serverMade = t.elapsed();

    const int samples = 200;
    const Figures f = measure(QStringLiteral("Provider=SQLite;Data Source=") + file, samples);
    const Figures s = measure(server, samples);
    std::printf("%lld receipts; %d loads and saves each\n", receipts, samples);
    std::printf("%-28s %12s %12s %8s\n", "", "SQLite", "PostgreSQL", "ratio");
    std::printf("%-28s %10.0f ms %10.0f ms %7.2fx\n", "create with demo data", fileMade, serverMade, serverMade / fileMade);
    std::printf("%-28s %10.3f ms %10.3f ms %7.2fx\n", "load by number", f.loadMs, s.loadMs, s.loadMs / f.loadMs);
    std::printf("%-28s %10.3f ms %10.3f ms %7.2fx\n", "final save with document", f.saveMs, s.saveMs, s.saveMs / f.saveMs);
    std::printf("%-28s %10.1f ms %10.1f ms %7.2fx  (%lld / %lld rows)\n", "search, whole result", f.searchMs,
                s.searchMs, s.searchMs / f.searchMs, f.rows, s.rows);
    return 0;
}
