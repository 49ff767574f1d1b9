// Figures for the search form on a large embedded database, each next to
// the sqlite3 shell's for the same query in the same run:
//   - a search with no criterion: time to the first rows on screen, time to
//     the complete result, and the memory the result takes at its peak,
//     against the shell printing the rows as CSV (and the CSV's size);
//   - the export of 100,000 rows to a workbook, against the shell's CSV of
//     the same rows piped through gzip -6.
// Run: ./build/bench/bench_search /tmp/big.db [--screenshot FILE]
// (the database: ./build/app/pardex-db init /tmp/big.db --demo --receipts 1000000)

#include "common/Module.h"
#include "common/SharedServices.h"
#include "BenchShell.h"
#include "data/DtEn.h"
#include "data/TsqlToSqlite.h"
#include "host/Bootstrap.h"
#include "search/FlexGrid.h"
#include "search/frmRPDSearch.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const QString db = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/big.db");
    QString screenshot;
    for (int i = 2; i + 1 < argc; ++i)
        if (qstrcmp(argv[i], "--screenshot") == 0)
            screenshot = QString::fromLocal8Bit(argv[i + 1]);
    if (!QFileInfo::exists(db)) {
        std::fprintf(stderr, "no database at %s; make one with: pardex-db init %s --demo --receipts 1000000\n",
                     qPrintable(db), qPrintable(db));
        return 2;
    }
    registerPlatform();
    QTemporaryDir exportDir;
    qputenv("PARDEX_EXPORT_DIR", exportDir.path().toUtf8());
    frmRPDSearch::setOpener([](const QString &) { return true; });

    UserContext &context = Module::context();
    context.UserID = 486;
    context.ConnectionString = QStringLiteral("Provider=SQLite;Data Source=") + db;
    OpenConnection();

    frmRPDSearch &search = frmRPDSearch::instance();
    search.ensureLoaded();
    search.show();
    QApplication::processEvents();
    FlexGrid *grid = search.flxCashPay();

    const QString all = frmRPDSearch::ResultSelect + QStringLiteral("Where PayedValue=0");
    runShell(shellCsv(db, all) + QStringLiteral(" > /dev/null")); // warms the file cache

    // The grid, in a fresh process: its peak is the result's own.
    const long before = procStatusKb("VmRSS:");
    resetPeak();
    QElapsedTimer clock;
    clock.start();
    search.cmdSearch_Click();
    grid->viewport()->repaint();
    const double firstRows = clock.nsecsElapsed() / 1e9;
    while (grid->loading())
        QApplication::processEvents();
    const double complete = clock.nsecsElapsed() / 1e9;
    const long peak = procStatusKb("VmHWM:");
    const int rows = grid->Rows() - 1;
    const size_t tableBytes = grid->table().bytesUsed();

    const ShellRun shell = runShell(shellCsv(db, all));
    // Once more each, the better figure of two.
    clock.restart();
    search.cmdSearch_Click();
    grid->viewport()->repaint();
    const double firstRows2 = clock.nsecsElapsed() / 1e9;
    while (grid->loading())
        QApplication::processEvents();
    const double complete2 = clock.nsecsElapsed() / 1e9;
    const ShellRun shell2 = runShell(shellCsv(db, all));

    const double gridFirst = std::min(firstRows, firstRows2);
    const double gridAll = std::min(complete, complete2);
    const double shellFirst = std::min(shell.firstOutput, shell2.firstOutput);
    const double shellAll = std::min(shell.total, shell2.total);
    const double csvMb = shell.bytes / 1e6;
    const double peakMb = (peak - before) * 1024 / 1e6;
    std::printf("search with no criterion: %d rows, %.1f MB as CSV\n", rows, csvMb);
    std::printf("  first rows on screen   %7.3f s   (sqlite3 shell's first output %.3f s; goal < 0.3 s)\n", gridFirst,
                shellFirst);
    std::printf("  complete result        %7.3f s   sqlite3 -csv %.3f s   ratio %.2f (goal <= 1.3)\n", gridAll, shellAll,
                gridAll / shellAll);
    std::printf("  peak memory of search  %7.1f MB  CSV size %.1f MB      ratio %.2f (goal <= 1.0); rows kept %.1f MB; "
                "sqlite3 shell's peak RSS %.1f MB\n",
                peakMb, csvMb, peakMb / csvMb, tableBytes / 1e6, shell.peakKb * 1024 / 1e6);

    if (!screenshot.isEmpty()) {
        grid->verticalScrollBar()->setValue(0);
        search.grab().save(screenshot);
        std::printf("  screenshot: %s\n", qPrintable(screenshot));
    }

    // The export of 100,000 rows.
    search.cmdNewsearch_Click();
    search.findChild<QLineEdit *>(QStringLiteral("txtIDFrom"))->setText(QStringLiteral("16"));
    search.findChild<QLineEdit *>(QStringLiteral("txtIDTo"))->setText(QStringLiteral("100015"));
    search.cmdSearch_Click();
    grid->finishLoading();
    const QString part = frmRPDSearch::ResultSelect + search.WhereClause;
    double exportBest = 1e9, gzipBest = 1e9;
    for (int round = 0; round < 2; ++round) {
        clock.restart();
        search.cmdExcel_Click();
        exportBest = std::min(exportBest, clock.nsecsElapsed() / 1e9);
        const QString gz = exportDir.filePath(QStringLiteral("rows.csv.gz"));
        const ShellRun gzip = runShell(shellCsv(db, part) + QStringLiteral(" | gzip -6 > ") + shellQuote(gz));
        gzipBest = std::min(gzipBest, gzip.total);
    }
    qint64 xlsxBytes = 0;
    for (const QFileInfo &f : QDir(exportDir.path()).entryInfoList({QStringLiteral("*.xlsx")}, QDir::Files))
        xlsxBytes = f.size();
    std::printf("export of %d rows to a workbook: %.3f s (%.1f MB)   sqlite3 -csv | gzip -6 %.3f s (%.1f MB)   ratio "
                "%.2f (goal <= 1.5)\n",
                grid->Rows() - 1, exportBest, xlsxBytes / 1e6, gzipBest,
                QFileInfo(exportDir.filePath(QStringLiteral("rows.csv.gz"))).size() / 1e6, exportBest / gzipBest);
    return 0;
}
