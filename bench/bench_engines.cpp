// The embedded file next to a PostgreSQL server on the same generated data.
// Loading a receipt by number and a final save (the procedure, the detail
// levels, the document) are printed for information; each search
// criterion, as the search form writes it, is timed on both (the whole
// result copied as the result grid keeps it) with the goal that the
// server take at most 1.3 times the file, and the server's first rows
// within 0.3 s. A missed goal is marked MISSED; an engine finding other
// rows than the other is a failed check. Either makes the exit status 1.
// Run on a server set up as the README sets up a company's (its shared
// buffer holds the receipts):
//   PARDEX_TEST_PG_SETTINGS=company scripts/with-test-postgres.sh
//       ./build/bench/bench_engines [RECEIPTS]
// (one command line; default a million receipts; or give the server's
// string of an empty database in PARDEX_BENCH_PG). The server's shared
// buffer and the receipts' size are printed first.

#include "BenchShell.h"

#include "core/Currency.h"
#include "core/PersianDate.h"
#include "data/Cursor.h"
#include "data/DtEn.h"
#include "data/PostgresSuite.h"
#include "data/SqlText.h"
#include "search/ResultTable.h"
#include "search/frmRPDSearch.h"
#include "suite/SuiteDatabase.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

constexpr double RatioGoal = 1.3;
constexpr double FirstRowsGoalMs = 300;

struct Criterion
{
    const char *name;
    QString clause; // as the search form writes it, after "Where"
};

struct Timing
{
    double firstMs = 0, totalMs = 0;
    qint64 rows = 0;
};

class Engine
{
public:
    explicit Engine(const QString &cs)
    {
        dtEn.cnt.setConnectionString(cs);
        dtEn.cnt.setSessionUser(486);
        dtEn.rssqlOmberBasePath.Query(QStringLiteral("Select * From vwOmberBasePath Order By ID ")); // open once
    }

    // One whole reading of a search; the caller keeps the best.
    Timing search(const QString &clause)
    {
        return searchOnce(frmRPDSearch::ResultSelect + QStringLiteral("Where") + clause);
    }

    double loadMs(int samples)
    {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < samples; ++i)
            dtEn.rssqlOmberBasePath.Query(
                QStringLiteral("Select * From vwRecPayCashTurnDetail Where ID=%1 And PayedValue = 0").arg(20 + i * 37));
        return double(t.nsecsElapsed()) / 1e6 / samples;
    }

    double saveMs(int samples)
    {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < samples; ++i) {
            qint32 id = 0, code = 0;
            const QDateTime now = QDate::currentDate().startOfDay();
            dtEn.spRecPayInsertCashTurnDetail(id, 3, code, now, PersianDate::today(), QStringLiteral("bench"),
                                              Currency::fromInteger(1000 + i), Currency(), 110301, 0, 206, -1);
            dtEn.rssqlOmberBasePath.Query(
                QStringLiteral("Update tblRecPayCashTurnDetail set ClassID1 = NULL, ObjectID1 = NULL,ClassID2 = NULL, "
                               "ObjectID2 = NULL,ClassID3 = NULL, ObjectID3 = NULL,BranchID = 1, AchieverID = 3 Where "
                               "ID = %1")
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
        return double(t.nsecsElapsed()) / 1e6 / samples;
    }

    DtEn dtEn;

private:
    Timing searchOnce(const QString &sql)
    {
        Timing timing;
        QElapsedTimer t;
        t.start();
        auto cursor = dtEn.rssqlvwRPDCashTyrndetailSearch.OpenCursor(sql);
        // Kept as the result grid keeps the rows.
        ResultTable table;
        table.reset(*cursor);
        while (cursor->next()) {
            if (timing.rows++ == 0)
                timing.firstMs = double(t.nsecsElapsed()) / 1e6;
            table.append(*cursor);
        }
        timing.totalMs = double(t.nsecsElapsed()) / 1e6;
        if (timing.rows == 0)
            timing.firstMs = timing.totalMs;
        return timing;
    }
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv); // the search form's statements come from its class
    const qint64 receipts = argc > 1 ? QString::fromLatin1(argv[1]).toLongLong() : 1000000;
    const QString server = serverDatabase(QStringLiteral("pardex_bench"));
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

    Engine embedded(QStringLiteral("Provider=SQLite;Data Source=") + file);
    Engine shared(server);
    const int samples = 200;
    const QVector<QVariant> sizes =
        shared.dtEn.cnt
            .execute(QStringLiteral("Select current_setting('shared_buffers'), "
                                    "pg_size_pretty(pg_relation_size('tblRecPayCashTurnDetail'))"))
            .rows.value(0);
    std::printf("%lld receipts; %d loads and saves each; searches: the best of five whole readings, the engines in turn\n", receipts, samples);
    std::printf("server: shared_buffers %s; the receipts' table %s\n", qPrintable(sizes.value(0).toString()),
                qPrintable(sizes.value(1).toString()));
    std::printf("%-34s %12s %12s %8s\n", "", "SQLite", "PostgreSQL", "ratio");
    std::printf("%-34s %10.0f ms %10.0f ms %7.2fx\n", "create with demo data", fileMade, serverMade, serverMade / fileMade);
    const double loadFile = embedded.loadMs(samples), loadServer = shared.loadMs(samples);
    std::printf("%-34s %10.3f ms %10.3f ms %7.2fx\n", "load by number", loadFile, loadServer, loadServer / loadFile);
    const double saveFile = embedded.saveMs(samples), saveServer = shared.saveMs(samples);
    std::printf("%-34s %10.3f ms %10.3f ms %7.2fx\n", "final save with document", saveFile, saveServer,
                saveServer / saveFile);

    // Values that exist in the generated data, read from the file.
    const auto first = [&](const QString &sql) { return embedded.dtEn.cnt.execute(sql).rows.value(0).value(0).toString(); };
    const QString turn = first(QStringLiteral("Select Max(Turn) - 10 From tblRecPayCashTurn"));
    const QString account = first(QStringLiteral("Select AccountID From tblRecPayCash Where ID = 1"));
    const QString middleId = QString::number(receipts / 2);
    const QDate day = QDate::currentDate().addDays(-200);
    const Connection &cnt = embedded.dtEn.cnt;
    const QString dates = QStringLiteral(" TransactionDate >= '%1' And  TransactionDate <= '%2' And ")
                              .arg(cnt.dateLiteral(day), cnt.endOfDayLiteral(day.addDays(6)));
    const QString tail = QStringLiteral(" PayedValue=0");
    const Criterion criteria[] = {
        {"description, a common word", QStringLiteral(" Description Like ") + SqlText::likeContains(QStringLiteral("فاكتور")) + QStringLiteral(" AND") + tail},
        {"description, a rare number", QStringLiteral(" Description Like ") + SqlText::likeContains(QStringLiteral("فاكتور ۴۵۲۱")) + QStringLiteral(" AND") + tail},
        {"description with a quote", QStringLiteral(" Description Like ") + SqlText::likeContains(QStringLiteral("o'k 50%")) + QStringLiteral(" AND") + tail},
        {"cash", QStringLiteral(" CashID = 2 AND") + tail},
        {"turn", QStringLiteral(" Turn = ") + turn + QStringLiteral(" AND") + tail},
        {"opener", QStringLiteral(" UserID = 756 AND") + tail},
        {"amount range", QStringLiteral(" ReceivedValue >= 100000000 And  ReceivedValue <= 101000000 And ") + tail},
        {"number range", QStringLiteral(" ID >= %1 And  ID <= %2 And ").arg(middleId).arg(receipts / 2 + 5000) + tail},
        {"a week of dates", dates + tail},
        {"second account", QStringLiteral(" RelatedAccountID = 110302 AND") + tail},
        {"cash's account", QStringLiteral(" AccountID = ") + account + QStringLiteral(" AND") + tail},
        {"contract", QStringLiteral(" ContractID = 2 AND") + tail},
        {"achiever", QStringLiteral(" AchieverID = 5 AND") + tail},
        {"turn and description", QStringLiteral(" Turn = ") + turn + QStringLiteral(" AND Description Like ") + SqlText::likeContains(QStringLiteral("فاكتور")) + QStringLiteral(" AND") + tail},
        {"everything", tail},
    };
    std::printf("\n%-34s %9s %12s %12s %8s %12s\n", "search criterion", "rows", "SQLite", "PostgreSQL", "ratio",
                "first rows");
    bool failed = false;
    for (const Criterion &c : criteria) {
        // The engines take turns, so that what else the machine does
        // falls on both alike; the best of five readings of each.
        Timing f, s;
        const auto keep = [](Timing &best, const Timing &t, int run) {
            const double first = run == 0 ? t.firstMs : std::min(best.firstMs, t.firstMs);
            if (run == 0 || t.totalMs < best.totalMs)
                best = t;
            best.firstMs = first;
        };
        for (int run = 0; run < 5; ++run) {
            keep(f, embedded.search(c.clause), run);
            keep(s, shared.search(c.clause), run);
        }
        const double ratio = s.totalMs / std::max(f.totalMs, 0.001);
        const bool slow = ratio > RatioGoal, late = s.firstMs > FirstRowsGoalMs, differ = f.rows != s.rows;
        failed = failed || slow || late || differ;
        std::printf("%-34s %9lld %9.1f ms %9.1f ms %7.2fx %9.1f ms %s%s%s\n", c.name, f.rows, f.totalMs, s.totalMs, ratio,
                    s.firstMs, slow ? " MISSED(ratio)" : "", late ? " MISSED(first rows)" : "",
                    differ ? qPrintable(QStringLiteral(" FAILED: the server found %1 rows").arg(s.rows)) : "");
    }
    std::printf("goals: each search on the server at most %.1fx the file, its first rows within %.0f ms; "
                "both engines find the same rows\n",
                RatioGoal, FirstRowsGoalMs);
    std::printf("%s\n", failed ? "MISSED: at least one goal or check above" : "all goals met");
    return failed ? 1 : 0;
}
