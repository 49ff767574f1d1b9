// A company's cashiers on one PostgreSQL server: N cashier processes
// (default 50), each the receipt form and the search form of its own
// program, work for a few minutes at a counter's pace (a second or two
// between actions): load by number, a new receipt saved finally with its
// document, a draft then made final, a draft edited, a draft deleted, a
// search by turn and one by description. One cashier alone works the same
// way first, on the same server, for the reference.
//
// Printed: the server's settings, final saves per second, each operation's
// p50/p95/p99 alone and with N, the connections the server saw at peak, and
// the checks of the data afterwards (nothing lost or doubled, codes
// distinct per form type, one balanced document per final receipt,
// pardex-db check clean). Goals: no failed operation; p99 of a final save
// with N cashiers at most 5 times one cashier's p50; peak connections at
// most 2N + 5. A missed goal is marked MISSED; a missed goal or a failed
// check makes the exit status 1.
//
// Run on a server with its default settings:
//   PARDEX_TEST_PG_SETTINGS=default scripts/with-test-postgres.sh
//       ./build/bench/bench_cashiers [CASHIERS] [SECONDS]
// (one command line)
// (or give the string of an empty database in PARDEX_BENCH_PG).

#include "BenchShell.h"

#include "common/Module.h"
#include "common/UserContext.h"
#include "controls/FarvoPicker.h"
#include "core/VbError.h"
#include "data/DtEn.h"
#include "data/PostgresSuite.h"
#include "host/Pardex1.h"
#include "receipt/frmRPDCashRec.h"
#include "search/FlexGrid.h"
#include "search/frmRPDSearch.h"
#include "suite/SuiteDatabase.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

namespace {

// One cashier: prints "op NAME MS OK" per operation and the receipts it
// leaves ("final ID", "draft ID", "deleted ID"; a draft made final or
// deleted is reported again as such).
int cashier(const QString &cs, int seconds, quint32 seed)
{
    AnsweringBox::registerIt();
    Pardex1 host;
    host.setOLEConnectionString(cs);
    host.setUserID(486);
    host.ClearShow();
    frmRPDCashRec &form = frmRPDCashRec::instance();
    frmRPDSearch &search = frmRPDSearch::instance();
    search.setReceiptNumberBox(form.txtID());
    search.show();
    auto *amount = form.findChild<QLineEdit *>(QStringLiteral("txtRec"));
    auto *account = form.findChild<FarvoPicker *>(QStringLiteral("TlvAccPicker"));
    auto *id = form.txtID();
    auto *turnBox = search.findChild<QLineEdit *>(QStringLiteral("txtCashTurnID"));
    auto *descriptionBox = search.findChild<QLineEdit *>(QStringLiteral("txtDescription"));
    auto *grid = search.findChild<FlexGrid *>(QStringLiteral("flxCashPay"));
    DtEn &dtEn = Module::dtEn();
    const auto value = [&](const QString &sql) { return dtEn.cnt.execute(sql).rows.value(0).value(0); };
    // What a cashier looks up: the final receipts of his own turn (the
    // cashiers share one, and a draft may be deleted by its maker at any
    // moment), and his own.
    QVector<qint32> own;
    for (const auto &row : dtEn.cnt
                               .execute(QStringLiteral("Select ID From tblRecPayCashTurnDetail Where CashTurnID = %1 "
                                                           "And PayedValue = 0 And Code Is Not Null")
                                            .arg(form.CurrentCashTurnID))
                               .rows)
        own << row.value(0).toInt();
    const QString turn =
        value(QStringLiteral("Select Turn From tblRecPayCashTurn Where ID = %1").arg(form.CurrentCashTurnID)).toString();

    QRandomGenerator rng(seed);
    QVector<qint32> drafts;
    const auto mode = [] { return Module::context().FormMode; };
    const auto load = [&](qint32 receipt) {
        id->setText(QString::number(receipt));
        qint16 enter = 13;
        form.txtID_KeyPress(enter);
        return form.CurrentReceiptID == receipt;
    };
    const auto typeNew = [&] {
        form.cmdNew_Click();
        amount->setText(QString::number(1000 * rng.bounded(1, 10000)));
        account->setAccountID(110301 + rng.bounded(5));
        return mode() == ModeNew;
    };
    const auto takeDraft = [&] { return drafts.takeAt(rng.bounded(int(drafts.size()))); };

    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < qint64(seconds) * 1000) {
        // A counter's pace: half a second to two and a half between actions.
        QThread::msleep(500 + rng.bounded(2000));
        // The mix: a quarter loads, a fifth new final receipts, the rest
        // drafts and what becomes of them, and searches.
        const int roll = rng.bounded(100);
        QString op = roll < 25   ? QStringLiteral("load")
                     : roll < 45 ? QStringLiteral("final-save")
                     : roll < 60 ? QStringLiteral("draft-save")
                     : roll < 70 ? QStringLiteral("draft-to-final")
                     : roll < 80 ? QStringLiteral("edit-draft")
                     : roll < 85 ? QStringLiteral("delete-draft")
                     : roll < 93 ? QStringLiteral("search-turn")
                                 : QStringLiteral("search-description");
        if (drafts.isEmpty() && op.contains(QStringLiteral("draft")))
            op = QStringLiteral("draft-save");
        bool ok = false;
        QElapsedTimer t;
        const int shownBefore = AnsweringBox::shown;
        try {
            if (op == u"load") {
                const qint32 receipt = own.isEmpty() ? 1 : own[rng.bounded(int(own.size()))];
                t.start();
                ok = load(receipt);
            } else if (op == u"final-save") {
                ok = typeNew();
                t.start();
                form.cmdSave_Click();
                ok = ok && mode() == ModeViewFinal;
                if (ok) {
                    own << form.CurrentReceiptID;
                    std::printf("final %d\n", form.CurrentReceiptID);
                }
            } else if (op == u"draft-save") {
                ok = typeNew();
                t.start();
                form.cmdRegSave_Click();
                ok = ok && mode() == ModeViewTemporary;
                if (ok) {
                    drafts << form.CurrentReceiptID;
                    own << form.CurrentReceiptID;
                    std::printf("draft %d\n", form.CurrentReceiptID);
                }
            } else if (op == u"draft-to-final") {
                const qint32 draft = takeDraft();
                ok = load(draft);
                if (ok) {
                    form.cmdEdit_Click();
                    t.start();
                    form.cmdSave_Click();
                    ok = mode() == ModeViewFinal;
                }
                if (ok)
                    std::printf("final %d\n", draft);
                else
                    drafts << draft; // still a draft, as far as anyone knows
            } else if (op == u"edit-draft") {
                const qint32 draft = drafts[rng.bounded(int(drafts.size()))];
                ok = load(draft);
                if (ok) {
                    form.cmdEdit_Click();
                    amount->setText(QString::number(1000 * rng.bounded(1, 10000)));
                    t.start();
                    form.cmdRegSave_Click();
                    ok = mode() == ModeViewTemporary && form.CurrentReceiptID == draft;
                }
            } else if (op == u"delete-draft") {
                const qint32 draft = takeDraft();
                ok = load(draft);
                if (ok) {
                    t.start();
                    form.cmdDelete_Click();
                    ok = mode() == ModeEmpty;
                }
                if (ok) {
                    own.removeAll(draft);
                    std::printf("deleted %d\n", draft);
                } else {
                    drafts << draft;
                }
            } else {
                const bool byTurn = op == u"search-turn";
                search.cmdNewsearch_Click();
                (byTurn ? turnBox : descriptionBox)
                    ->setText(byTurn ? turn : QStringLiteral("فاكتور ۴") + QString::number(rng.bounded(10)));
                t.start();
                search.cmdSearch_Click();
                grid->finishLoading();
                ok = true; // a search that finds nothing is no failure
            }
        } catch (const VbError &e) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(op), qPrintable(e.description()));
            ok = false;
        }
        ok = ok && AnsweringBox::shown == shownBefore;
        std::printf("op %s %.3f %d\n", qPrintable(op), double(t.nsecsElapsed()) / 1e6, ok ? 1 : 0);
        std::fflush(stdout);
    }
    return 0;
}

struct Run
{
    std::map<QString, std::vector<double>> latencies;
    std::map<QString, int> failures;
    int failed = 0;
    int finalSaves = 0;
    int peakConnections = 0;
    int peakPerProgram = 0;
    double seconds = 0;
    QSet<qint32> finals, drafts, deleted;
};

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[size_t(std::min<double>(double(v.size()) - 1, p * double(v.size() - 1) + 0.5))];
}

// The connections the server holds to the database (the caller's own not
// counted), and the most any one program holds (each names itself
// "pardex-<pid>").
std::pair<int, int> connections(DtEn &watcher)
{
    const RowSet rows = watcher.cnt.execute(QStringLiteral(
        "Select Sum(n), Max(n) From (Select application_name, count(*) As n From pg_stat_activity Where datname = "
        "current_database() And pid <> pg_backend_pid() Group By application_name) x"));
    return {rows.rows.value(0).value(0).toInt(), rows.rows.value(0).value(1).toInt()};
}

Run runCashiers(const QString &program, const QString &cs, int count, int seconds, DtEn &watcher)
{
    std::vector<std::unique_ptr<QProcess>> processes;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < count; ++i) {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(program, {QStringLiteral("--cashier"), cs, QString::number(seconds), QString::number(1000 + i)});
        processes.push_back(std::move(p));
    }
    Run run;
    QHash<QProcess *, QByteArray> output;
    for (bool running = true; running;) {
        running = false;
        QCoreApplication::processEvents();
        for (auto &p : processes) {
            output[p.get()] += p->readAllStandardOutput();
            running = running || p->state() != QProcess::NotRunning;
        }
        const auto [all, oneProgram] = connections(watcher);
        run.peakConnections = std::max(run.peakConnections, all);
        run.peakPerProgram = std::max(run.peakPerProgram, oneProgram);
        QThread::msleep(100);
    }
    run.seconds = double(clock.elapsed()) / 1000;
    for (auto &p : processes) {
        output[p.get()] += p->readAllStandardOutput();
        if (p->error() == QProcess::FailedToStart || p->exitStatus() != QProcess::NormalExit || p->exitCode() != 0) {
            std::fprintf(stderr, "a cashier ended with status %d\n", p->exitCode());
            ++run.failed;
        }
        for (const QByteArray &line : output[p.get()].split('\n')) {
            const QList<QByteArray> f = line.trimmed().split(' ');
            if (f.size() == 4 && f[0] == "op") {
                const bool ok = f[3] == "1";
                run.failed += ok ? 0 : 1;
                if (!ok)
                    ++run.failures[QString::fromLatin1(f[1])];
                if (ok)
                    run.latencies[QString::fromLatin1(f[1])].push_back(f[2].toDouble());
                if (ok && (f[1] == "final-save" || f[1] == "draft-to-final"))
                    ++run.finalSaves;
            } else if (f.size() == 2) {
                const qint32 receipt = f[1].toInt();
                if (f[0] == "final") {
                    run.drafts.remove(receipt);
                    run.finals.insert(receipt);
                } else if (f[0] == "draft") {
                    run.drafts.insert(receipt);
                } else if (f[0] == "deleted") {
                    run.drafts.remove(receipt);
                    run.deleted.insert(receipt);
                }
            }
        }
    }
    return run;
}

// What the cashiers left, against what they said they did; each broken
// rule printed, the number of them returned.
int checkData(DtEn &db, const QString &cs, qint32 lastBefore, const Run &all)
{
    int broken = 0;
    const auto expectZero = [&](const char *what, const QString &sql) {
        const int n = db.cnt.execute(sql).rows.value(0).value(0).toInt();
        std::printf("  %-62s %s\n", what, n == 0 ? "ok" : qPrintable(QStringLiteral("FAILED (%1)").arg(n)));
        broken += n == 0 ? 0 : 1;
    };
    const auto list = [](const QSet<qint32> &ids) {
        QStringList l;
        for (qint32 id : ids)
            l << QString::number(id);
        return l.isEmpty() ? QStringLiteral("0") : l.join(u',');
    };
    const QString fresh = QStringLiteral(" From tblRecPayCashTurnDetail Where ID > %1").arg(lastBefore);
    const int stored = db.cnt.execute(QStringLiteral("Select count(*)") + fresh).rows[0][0].toInt();
    const int said = int(all.finals.size() + all.drafts.size());
    std::printf("  %-62s %s\n", "receipts stored = final + draft receipts the cashiers saved",
                stored == said ? "ok" : qPrintable(QStringLiteral("FAILED (%1 stored, %2 said)").arg(stored).arg(said)));
    broken += stored == said ? 0 : 1;
    expectZero("a final receipt missing or without its code",
               QStringLiteral("Select %1 - count(*) From tblRecPayCashTurnDetail Where Code Is Not Null And ID In (%2)")
                   .arg(all.finals.size())
                   .arg(list(all.finals)));
    expectZero("a draft missing or with a code",
               QStringLiteral("Select %1 - count(*) From tblRecPayCashTurnDetail Where Code Is Null And ID In (%2)")
                   .arg(all.drafts.size())
                   .arg(list(all.drafts)));
    expectZero("a deleted receipt still there",
               QStringLiteral("Select count(*) From tblRecPayCashTurnDetail Where ID In (%1)").arg(list(all.deleted)));
    expectZero("a code given twice in one form type",
               QStringLiteral("Select count(*) From (Select FormTypeID, Code From tblRecPayCashTurnDetail Where Code "
                              "Is Not Null Group By FormTypeID, Code Having count(*) > 1) x"));
    expectZero("a final receipt without exactly one document",
               QStringLiteral("Select count(*) From tblRecPayCashTurnDetail d Where d.ID > %1 And d.Code Is Not Null "
                              "And (Select count(Distinct x.DocumentID) From tblAccountDocumentDetail x Where x.FormID "
                              "= d.ID And x.FormTypeID = 206) <> 1")
                   .arg(lastBefore));
    expectZero("a document of theirs not balanced",
               QStringLiteral("Select count(*) From (Select x.DocumentID From tblAccountDocumentDetail x Where "
                              "x.FormID > %1 And x.FormTypeID = 206 Group By x.DocumentID Having sum(x.DebitValue) <> "
                              "sum(x.CreditValue)) y")
                   .arg(lastBefore));
    QProcess check;
    check.setProcessChannelMode(QProcess::MergedChannels);
    check.start(QStringLiteral(PARDEX_DB_TOOL), {QStringLiteral("check"), cs});
    const bool clean = check.waitForFinished(600000) && check.exitStatus() == QProcess::NormalExit && check.exitCode() == 0;
    std::printf("  %-62s %s\n", "pardex-db check", clean ? "clean" : "FAILED");
    if (!clean)
        std::printf("%s\n", check.readAll().constData());
    broken += clean ? 0 : 1;
    return broken;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 5 && qstrcmp(argv[1], "--cashier") == 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // Without a screen the platform says of every window it cannot
        // raise that it cannot, fifty cashiers over: not the bench's news.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &text) {
            if (type != QtWarningMsg || !text.startsWith(u"This plugin does not support"))
                std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
        });
        QApplication app(argc, argv);
        return cashier(QString::fromUtf8(argv[2]), QString::fromLatin1(argv[3]).toInt(), QString::fromLatin1(argv[4]).toUInt());
    }
    QCoreApplication app(argc, argv);
    // The cashiers' programs need a private runtime folder; a shell without
    // a session gives none, and each would say so.
    QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtime.isValid())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    const int count = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 50;
    const int seconds = argc > 2 ? QString::fromLatin1(argv[2]).toInt() : 180;
    const QString server = serverDatabase(QStringLiteral("pardex_cashiers"));
    if (server.isEmpty() || count < 1 || seconds < 1) {
        std::fprintf(stderr, "usage: %s [CASHIERS] [SECONDS], under scripts/with-test-postgres.sh or with "
                             "PARDEX_BENCH_PG set\n", argv[0]);
        return 2;
    }
    suite::CreateOptions options;
    options.demo = true;
    options.overwrite = true;
    pgsuite::createDatabase(server, options);

    DtEn watcher;
    watcher.cnt.setConnectionString(server);
    const auto setting = [&](const char *name) {
        return watcher.cnt.execute(QStringLiteral("Select current_setting('%1')").arg(QLatin1String(name))).rows[0][0].toString();
    };
    std::printf("server: %s; max_connections %s, fsync %s, shared_buffers %s\n", qPrintable(setting("server_version")),
                qPrintable(setting("max_connections")), qPrintable(setting("fsync")), qPrintable(setting("shared_buffers")));
    const qint32 lastBefore =
        watcher.cnt.execute(QStringLiteral("Select Max(ID) From tblRecPayCashTurnDetail")).rows[0][0].toInt();

    const QString program = QCoreApplication::applicationFilePath();
    std::printf("one cashier for %d s, then %d at once for %d s ...\n", seconds, count, seconds);
    std::fflush(stdout);
    Run alone = runCashiers(program, server, 1, seconds, watcher);
    Run many = runCashiers(program, server, count, seconds, watcher);

    std::printf("\n%-20s %10s %10s %10s %10s\n", "", "ops", "failed", "saves/s", "peak conns");
    for (const auto &[name, run, n] : {std::tuple{"1 cashier", &alone, 1}, std::tuple{"N cashiers", &many, count}}) {
        size_t ops = 0;
        for (const auto &[op, v] : run->latencies)
            ops += v.size();
        std::printf("%-20s %10zu %10d %10.2f %10d\n", name, ops + size_t(run->failed), run->failed,
                    run->finalSaves / run->seconds, run->peakConnections);
        Q_UNUSED(n)
    }
    std::printf("\n%-20s %28s %28s  %s\n", "operation (ms)", "1 cashier p50 / p95 / p99", "N cashiers p50 / p95 / p99",
                "count (failed) alone, with N");
    for (const auto &[op, v] : many.latencies) {
        const std::vector<double> &one = alone.latencies[op];
        std::printf("%-20s %8.1f %8.1f %8.1f   %8.1f %8.1f %8.1f   %zu (%d), %zu (%d)\n", qPrintable(op),
                    percentile(one, 0.5), percentile(one, 0.95), percentile(one, 0.99), percentile(v, 0.5),
                    percentile(v, 0.95), percentile(v, 0.99), one.size(), alone.failures[op], v.size(),
                    many.failures[op]);
    }

    bool missed = false;
    const auto goal = [&](bool met, const QString &text) {
        std::printf("  %s%s\n", qPrintable(text), met ? "" : "  MISSED");
        missed = missed || !met;
    };
    std::printf("\ngoals (N = %d)\n", count);
    goal(alone.failed + many.failed == 0,
         QStringLiteral("failed operations: %1 (goal 0)").arg(alone.failed + many.failed));
    const double p99 = percentile(many.latencies[QStringLiteral("final-save")], 0.99);
    const double p50 = percentile(alone.latencies[QStringLiteral("final-save")], 0.5);
    goal(p50 > 0 && p99 <= 5 * p50, QStringLiteral("final save p99 with N: %1 ms, %2x one cashier's p50 of %3 ms (goal <= 5x)")
                                         .arg(p99, 0, 'f', 1)
                                         .arg(p99 / std::max(p50, 0.001), 0, 'f', 2)
                                         .arg(p50, 0, 'f', 1));
    goal(many.peakConnections <= 2 * count + 5,
         QStringLiteral("peak connections: %1 (goal <= 2N + 5 = %2)").arg(many.peakConnections).arg(2 * count + 5));
    // A server with fewer places than the goal caps the count above: each
    // program's own is what says whether the goal would hold.
    goal(many.peakPerProgram <= 2,
         QStringLiteral("most connections one program held: %1 (goal <= 2)").arg(many.peakPerProgram));

    std::printf("\nchecks of the data\n");
    Run all;
    for (const Run *r : {&alone, &many}) {
        all.finals.unite(r->finals);
        all.drafts.unite(r->drafts);
        all.deleted.unite(r->deleted);
    }
    for (qint32 id : std::as_const(all.finals))
        all.drafts.remove(id);
    const int broken = checkData(watcher, server, lastBefore, all);
    std::printf("\n%s\n", missed || broken ? "MISSED: a goal or a check above" : "all goals met, the data checks out");
    return missed || broken ? 1 : 0;
}

