// Every performance figure of the component, each as a ratio to a reference
// measured in the same run:
//   - load by number, final save, draft save and delete through the receipt
//     form, against the SQL work each needs (the same statements and
//     procedure calls, the history panel's two queries included) issued
//     directly through SQLite's C interface in this process (goal <= 1.3);
//   - each search criterion alone and no criterion, against the sqlite3
//     shell running the same SELECT (goal <= 1.3);
//   - the export of 100,000 rows, against sqlite3 -csv | gzip -6 (<= 1.5);
//   - growth: load by number and final save on 1,000,000 receipts against
//     the same on 1,000 (goal <= 1.5).
// Run: ./build/bench/bench_figures [FOLDER]   (default /tmp/pardex-bench;
// the two databases are built there on the first run, about 30 s).

#include "BenchShell.h"

#include "common/Module.h"
#include "controls/FarvoPicker.h"
#include "controls/OmberDate.h"
#include "controls/OmberSelector.h"
#include "core/Currency.h"
#include "core/PersianDate.h"
#include "data/TsqlToSqlite.h"
#include "host/Bootstrap.h"
#include "host/Pardex1.h"
#include "receipt/frmRPDCashRec.h"
#include "search/FlexGrid.h"
#include "search/frmRPDSearch.h"
#include "suite/Procedures.h"
#include "suite/Sqlite.h"
#include "suite/SuiteDatabase.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sqlite3.h>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// The references for the form's operations: what a client written by hand
// against SQLite's C interface does for the same work. Its SQL is written
// for SQLite (nothing is translated), its values are bound and every value
// of every row is read. One client prepares each statement when it runs it,
// as one issuing SQL text does; the other prepares each once and runs it
// again, the least work the engine can be asked to do. The suite's
// procedures are the same C++ on both sides.
class Raw
{
public:
    Raw(const QString &path, bool reuse) : m_db(suite::openDatabase(path)), m_reuse(reuse) {}
    ~Raw()
    {
        for (auto &entry : m_statements)
            sqlite3_finalize(entry.second);
        sqlite3_close(m_db);
    }
    sqlite3 *handle() const { return m_db; }

    // Runs the statement to its end; returns the first row's values of the
    // columns named.
    QVariantList run(const char *sql, std::initializer_list<QVariant> values = {},
                     std::initializer_list<const char *> columns = {})
    {
        sqlite3_stmt *&st = m_statements[sql];
        if (!st && sqlite3_prepare_v3(m_db, sql, -1, m_reuse ? SQLITE_PREPARE_PERSISTENT : 0, &st, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "raw: %s: %s\n", sql, sqlite3_errmsg(m_db));
            std::exit(2);
        }
        int i = 1;
        for (const QVariant &v : values) {
            if (v.typeId() == QMetaType::QString) {
                const QByteArray text = v.toString().toUtf8();
                sqlite3_bind_text(st, i++, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            } else {
                sqlite3_bind_int64(st, i++, v.toLongLong());
            }
        }
        QVariantList wanted;
        std::vector<int> wantedColumns;
        bool first = true;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            const int n = sqlite3_column_count(st);
            if (first)
                for (const char *name : columns)
                    for (int c = 0; c < n; ++c)
                        if (qstricmp(sqlite3_column_name(st, c), name) == 0)
                            wantedColumns.push_back(c);
            for (int c = 0; c < n; ++c) {
                switch (sqlite3_column_type(st, c)) {
                case SQLITE_INTEGER:
                    m_sink.push_back(char(sqlite3_column_int64(st, c)));
                    break;
                case SQLITE_FLOAT:
                    m_sink.push_back(char(sqlite3_column_double(st, c)));
                    break;
                case SQLITE_NULL:
                    break;
                default:
                    m_sink.append(reinterpret_cast<const char *>(sqlite3_column_text(st, c)),
                                  size_t(sqlite3_column_bytes(st, c)));
                }
            }
            if (first)
                for (int c : wantedColumns)
                    wanted << QVariant(qint64(sqlite3_column_int64(st, c)));
            first = false;
        }
        if (rc != SQLITE_DONE) {
            std::fprintf(stderr, "raw: %s: %s\n", sql, sqlite3_errmsg(m_db));
            std::exit(2);
        }
        if (m_reuse) {
            sqlite3_reset(st);
            sqlite3_clear_bindings(st);
        } else {
            sqlite3_finalize(st);
            st = nullptr;
        }
        m_sink.clear();
        return wanted;
    }

    void call(const char *procedure, QVariantList args) { suite::callProcedure(m_db, QLatin1String(procedure), args); }
    void call(const char *procedure, QVariantList *args) { suite::callProcedure(m_db, QLatin1String(procedure), *args); }

    void history(qint32 receipt)
    {
        run("SELECT ID, Description, UserFullName, FarsiEventDate, EventTime, EventDate FROM vwFormHistory "
            "WHERE FormTypeID = 206 AND FormCode = ? ORDER BY ID DESC",
            {QString::number(receipt)});
        run("SELECT ID, Kind, UserFullName, ChangedAt, Before, After FROM vwFormChangeHistory "
            "WHERE FormTypeID = 206 AND ReceiptID = ? ORDER BY ID DESC",
            {receipt});
    }

    void log(qint32 event, qint32 receipt, const QString &suffix)
    {
        const QDateTime today = QDate::currentDate().startOfDay();
        call("spOmberInsertFormAction",
             {event, QString::number(receipt), 206,
              QString(QStringLiteral("دريافت نقدي به ش.ر. ”") + QString::number(receipt) + suffix), 486, today,
              PersianDate::today(), 600});
    }

    void levels(qint32 receipt)
    {
        run("UPDATE tblRecPayCashTurnDetail SET ClassID1 = NULL, ObjectID1 = NULL, ClassID2 = NULL, ObjectID2 = NULL, "
            "ClassID3 = NULL, ObjectID3 = NULL, BranchID = NULL, AchieverID = NULL WHERE ID = ?",
            {receipt});
    }

private:
    sqlite3 *m_db;
    bool m_reuse;
    std::unordered_map<const char *, sqlite3_stmt *> m_statements;
    std::string m_sink;
};

QVariantList rawInsertArgs(qint32 code, const QString &description)
{
    const QDateTime today = QDate::currentDate().startOfDay();
    return {0, 3, code, today, PersianDate::today(), description, QVariant::fromValue(Currency::fromInteger(1250000)),
            QVariant::fromValue(Currency()), 110301, 0, 206, -1};
}

struct Operations
{
    // Each against the client preparing its statements as it runs them, and
    // against the one reusing them.
    double load = 0, loadRaw = 0, loadReused = 0, save = 0, saveRaw = 0, saveReused = 0;
    double draft = 0, draftRaw = 0, draftReused = 0, remove = 0, removeRaw = 0, removeReused = 0;
};

// The four operations through the receipt form, and the same work raw.
Operations measureOperations(const QString &path)
{
    Operations o;
    Pardex1 host;
    host.setOLEConnectionString(QStringLiteral("Provider=SQLite;Data Source=") + path);
    host.setUserID(486);
    host.ClearShow();
    frmRPDCashRec &form = frmRPDCashRec::instance();
    auto *txtID = form.findChild<QLineEdit *>(QStringLiteral("txtID"));
    auto *txtRec = form.findChild<QLineEdit *>(QStringLiteral("txtRec"));
    auto *description = form.findChild<QLineEdit *>(QStringLiteral("txtDescription"));
    auto *account = form.findChild<FarvoPicker *>(QStringLiteral("TlvAccPicker"));
    Raw fresh(path, false), reused(path, true);
    QElapsedTimer clock;
    std::vector<double> form_, raw_, reused_;
    // Each measurement of the form is followed by its raw twins, so that all
    // see the same disk and the same caches (the saves wait for the disk).
    const auto twins = [&](const std::function<void(Raw &)> &work) {
        clock.start();
        work(fresh);
        raw_.push_back(clock.nsecsElapsed() / 1e6);
        clock.start();
        work(reused);
        reused_.push_back(clock.nsecsElapsed() / 1e6);
    };
    const auto restart = [&] {
        form_.clear();
        raw_.clear();
        reused_.clear();
    };

    // Load by number: receipts anywhere in the file.
    std::vector<qint32> ids;
    const RowSet sample = sqlite::run(fresh.handle(), QStringLiteral("SELECT ID FROM tblRecPayCashTurnDetail WHERE PayedValue = 0 "
                                                          "AND FormTypeID = 206 ORDER BY random() LIMIT 300"));
    for (const auto &row : sample.rows)
        ids.push_back(row[0].toInt());
    auto rawLoad = [&](Raw &raw, qint32 id) {
        // What the load reads: the receipt, its organisation, its turn's
        // opener, the cash box, and the history panel.
        const QVariantList receipt = raw.run("SELECT * FROM vwRecPayCashTurnDetail WHERE ID = ? AND PayedValue = 0",
                                             {id}, {"RelatedAccountID", "CashTurnID", "CashID"});
        const QVariant account = receipt.value(0), turn = receipt.value(1), cash = receipt.value(2);
        raw.run("SELECT Name || '_' || ifnull(Address, '') || '_' || ifnull(Phone1, '') AS OrgDesc FROM tblOrganization "
                "WHERE ID IN (SELECT RelatedObjectID FROM tblAccountRelatedObjects WHERE RelatedClassID = 7 "
                "AND AccountID = ?)",
                {account});
        const QVariant opener = raw.run("SELECT UserID FROM tblRecPayCashTurn WHERE ID = ?", {turn}, {"UserID"}).value(0);
        raw.run("SELECT * FROM tblUser WHERE ID = ?", {opener});
        raw.run("SELECT * FROM tblRecPayCash WHERE ID = ?", {cash});
        raw.history(id);
    };
    for (size_t i = 0; i < ids.size(); ++i) {
        txtID->setText(QString::number(ids[i]));
        qint16 enter = 13;
        // What the last load left for the event loop (the screen's repaints)
        // is done between two key presses, as the event loop does it, and
        // is not this load's.
        QCoreApplication::sendPostedEvents();
        clock.start();
        form.txtID_KeyPress(enter);
        // What the form leaves for the event loop (the lists' display) is
        // part of showing the receipt; painting the screen is not.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        form_.push_back(clock.nsecsElapsed() / 1e6);
        twins([&](Raw &raw) { rawLoad(raw, ids[i]); });
    }
    // The first few of each warm the caches.
    for (auto *v : {&form_, &raw_, &reused_})
        v->erase(v->begin(), v->begin() + 20);
    o.load = median(form_);
    o.loadRaw = median(raw_);
    o.loadReused = median(reused_);

    // Back to the cashier's own open turn (the loads moved the form to theirs).
    qint32 openTurn = 3;
    form.LoadCashTurn(openTurn);

    // Final save: the form's checks, receipt, log, levels and document.
    const int saves = 60;
    restart();
    auto rawSave = [&](Raw &raw, int i) {
        raw.run("SELECT * FROM tblAccountPeriod WHERE IsActive = 1 AND ID IN (SELECT x.AccountPeriodID FROM "
                "tblUserAccountPeriod x WHERE x.UserID = 486) AND ? BETWEEN FarsiBeginDate AND FarsiEndDate",
                {PersianDate::today()});
        raw.run("SELECT Value FROM tblOmberSystemParameters WHERE ID = 3383");
        raw.run("SELECT Value FROM tblOmberSystemParameters WHERE ID = 911");
        QVariantList insert = rawInsertArgs(0, QStringLiteral("بابت فاكتور %1").arg(i));
        raw.call("spRecPayInsertCashTurnDetail", &insert);
        const qint32 id = insert[0].toInt();
        raw.log(20601, id, QStringLiteral("“ ايجاد شد."));
        raw.levels(id);
        raw.run("SELECT AccountID FROM tblRecPayCash WHERE AccountID IS NOT NULL AND ID = 1");
        const QDateTime today = QDate::currentDate().startOfDay();
        const QString d = QStringLiteral("عطف به دريافت نقدي به شماره راايانه اي %1 و شماره تاييد شده %2")
                              .arg(id)
                              .arg(insert[2].toInt());
        QVariantList document = {1, 1, 486, today, PersianDate::today(), today, PersianDate::today(),
                                 QVariant::fromValue(Currency::fromInteger(1250000)), d};
        raw.call("spAccountInsertDocument", &document);
        for (int row = 1; row <= 2; ++row)
            raw.call("spAccountInsertDocumentDetail",
                     {document[0], row, row == 1 ? 110101 : 110301, today, PersianDate::today(), d, 17,
                      QString::number(insert[2].toInt()), 0, 0,
                      QVariant::fromValue(row == 1 ? Currency::fromInteger(1250000) : Currency()),
                      QVariant::fromValue(row == 1 ? Currency() : Currency::fromInteger(1250000)), id, 206});
        raw.history(id);
    };
    for (int i = 0; i < saves; ++i) {
        form.cmdNew_Click();
        txtRec->setText(QStringLiteral("1/250/000"));
        account->setAccountID(110301);
        description->setText(QStringLiteral("بابت فاكتور %1").arg(i));
        clock.start();
        form.cmdSave_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        form_.push_back(clock.nsecsElapsed() / 1e6);
        twins([&](Raw &raw) { rawSave(raw, i); });
    }
    o.save = median(form_);
    o.saveRaw = median(raw_);
    o.saveReused = median(reused_);

    // Draft save: the receipt without a code, its levels, the history.
    restart();
    std::vector<qint32> drafts;
    for (int i = 0; i < saves; ++i) {
        form.cmdNew_Click();
        txtRec->setText(QStringLiteral("750/000"));
        clock.start();
        form.cmdRegSave_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        form_.push_back(clock.nsecsElapsed() / 1e6);
        twins([&](Raw &raw) {
            QVariantList insert = rawInsertArgs(-1, QString());
            raw.call("spRecPayInsertCashTurnDetail", &insert);
            raw.levels(insert[0].toInt());
            raw.history(insert[0].toInt());
            drafts.push_back(insert[0].toInt());
        });
    }
    o.draft = median(form_);
    o.draftRaw = median(raw_);
    o.draftReused = median(reused_);

    // Delete: a draft of the user's own open turn, each time a new one.
    restart();
    size_t nextDraft = 0;
    for (int i = 0; i < saves; ++i) {
        form.cmdNew_Click();
        txtRec->setText(QStringLiteral("1"));
        form.cmdRegSave_Click();
        clock.start();
        form.cmdDelete_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        form_.push_back(clock.nsecsElapsed() / 1e6);
        twins([&](Raw &raw) {
            const qint32 id = drafts[nextDraft++];
            raw.call("spOmberHasPermission", {486, 20603});
            raw.run("SELECT ifnull(IsOpen, 1) AS IsOpen FROM tblRecPayCashTurn WHERE ID = 3 AND UserID = 486");
            // The hold that keeps another cashier's form off the receipt.
            raw.run("SELECT datetime('now','localtime')");
            raw.run("UPDATE tblRecPayCashTurnDetail SET HeldBy = ?, HeldAt = datetime('now','localtime') WHERE ID = ? "
                    "AND ChangeCount = ? AND (HeldBy IS NULL OR HeldBy = ? OR HeldAt < ?)",
                    {7, id, 0, 7, QStringLiteral("2000-01-01 00:00:00")});
            raw.call("spRecPayDeleteCashTurnDetail", {id});
            raw.log(20603, id, QStringLiteral("“ حذف شد."));
            raw.run("DELETE FROM tblOmberRelatedForms WHERE RelatedFormTypeID = 901 AND ReferenceFormTypeID = 206 AND "
                    "ReferenceFormID = ?",
                    {id});
        });
    }
    o.remove = median(form_);
    o.removeRaw = median(raw_);
    o.removeReused = median(reused_);
    form.Unload();
    frmRPDCashRec::destroyInstance();
    return o;
}

void line(const char *what, double ours, double reference, double goal, const char *unit = "ms")
{
    const double ratio = reference > 0 ? ours / reference : 0;
    if (goal <= 0)
        std::printf("%-44s %9.3f %s  reference %9.3f %s  ratio %5.2f\n", what, ours, unit, reference, unit, ratio);
    else
        std::printf("%-44s %9.3f %s  reference %9.3f %s  ratio %5.2f  (goal <= %.1f)%s\n", what, ours, unit, reference,
                    unit, ratio, goal, ratio <= goal ? "" : "  MISSED");
    std::fflush(stdout);
}

QString database(const QString &folder, const QString &name, qint64 receipts)
{
    const QString path = QDir(folder).filePath(name);
    if (!QFileInfo::exists(path)) {
        std::fprintf(stderr, "building %s (%lld receipts)...\n", qPrintable(path), receipts);
        suite::CreateOptions options;
        options.demo = true;
        options.extraReceipts = receipts;
        suite::createDatabase(path, options);
    }
    return path;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    if (argc > 1 && argv[1][0] == '-') {
        std::printf("usage: bench_figures [FOLDER] [--profile-load | --operations]\n"
                    "  builds receipts-1k.db and receipts-1m.db in FOLDER (default /tmp/pardex-bench) on the\n"
                    "  first run, then prints each figure with its reference and the ratio\n"
                    "  (--operations: the receipt form's four operations only)\n");
        return argv[1] == QByteArrayView("--help") || argv[1] == QByteArrayView("-h") ? 0 : 2;
    }
    const QString folder = QFileInfo(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/pardex-bench"))
                               .absoluteFilePath();
    QDir().mkpath(folder);
    const QString small = database(folder, QStringLiteral("receipts-1k.db"), 1000);
    if (argc > 2 && qstrcmp(argv[2], "--profile-load") == 0) {
        // Loads only, for a profiler.
        registerPlatform();
        AnsweringBox::registerIt();
        Pardex1 host;
        host.setOLEConnectionString(QStringLiteral("Provider=SQLite;Data Source=") + small);
        host.setUserID(486);
        host.ClearShow();
        frmRPDCashRec &form = frmRPDCashRec::instance();
        auto *txtID = form.findChild<QLineEdit *>(QStringLiteral("txtID"));
        for (int i = 0; i < 5000; ++i) {
            txtID->setText(QString::number(16 + i % 1000));
            qint16 enter = 13;
            form.txtID_KeyPress(enter);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        }
        frmRPDCashRec::destroyInstance();
        return 0;
    }
    const QString big = database(folder, QStringLiteral("receipts-1m.db"), 1000000);
    registerPlatform();
    AnsweringBox::registerIt();

    std::printf("receipt form against the same SQL issued raw, each statement prepared as it runs, on %s (medians)\n",
                qPrintable(big));
    const Operations onBig = measureOperations(big);
    line("load by number", onBig.load, onBig.loadRaw, 1.3);
    line("final save", onBig.save, onBig.saveRaw, 1.3);
    line("draft save", onBig.draft, onBig.draftRaw, 1.3);
    line("delete", onBig.remove, onBig.removeRaw, 1.3);
    if (argc > 2 && qstrcmp(argv[2], "--operations") == 0)
        return 0;
    std::printf("the same against prepared statements reused, the engine's least work (no goal: the form's own\n"
                "work on the screen, which no SQL client does, is all of the difference that is not SQL)\n");
    line("load by number", onBig.load, onBig.loadReused, 0);
    line("final save", onBig.save, onBig.saveReused, 0);
    line("draft save", onBig.draft, onBig.draftReused, 0);
    line("delete", onBig.remove, onBig.removeReused, 0);

    std::printf("growth: 1,000,000 receipts against 1,000 (each the better of two rounds, taken in turns)\n");
    Operations small1 = measureOperations(small);
    const Operations big2 = measureOperations(big);
    const Operations small2 = measureOperations(small);
    line("load by number", std::min(onBig.load, big2.load), std::min(small1.load, small2.load), 1.5);
    line("final save", std::min(onBig.save, big2.save), std::min(small1.save, small2.save), 1.5);

    // The search, one criterion at a time.
    Pardex1 host;
    host.setOLEConnectionString(QStringLiteral("Provider=SQLite;Data Source=") + big);
    host.setUserID(486);
    host.ClearShow();
    frmRPDSearch &search = frmRPDSearch::instance();
    search.show();
    FlexGrid *grid = search.flxCashPay();
    const QDate today = QDate::currentDate();
    const std::pair<const char *, std::function<void()>> criteria[] = {
        {"no criterion", [] {}},
        {"cash box", [&] {
             auto *cash = search.findChild<QComboBox *>(QStringLiteral("cmbCash"));
             cash->setCurrentIndex(cash->findData(1));
         }},
        {"turn", [&] { search.findChild<QLineEdit *>(QStringLiteral("txtCashTurnID"))->setText(QStringLiteral("1200")); }},
        {"cashier", [&] { search.findChild<OmberSelector *>(QStringLiteral("mptOpenerUser"))->setSelectedID(486); }},
        {"amount from", [&] { search.findChild<QLineEdit *>(QStringLiteral("txtReceivedFrom"))->setText(QStringLiteral("450/000/000")); }},
        {"amount to", [&] { search.findChild<QLineEdit *>(QStringLiteral("txtReceivedTo"))->setText(QStringLiteral("50/000")); }},
        {"number from", [&] { search.findChild<QLineEdit *>(QStringLiteral("txtIDFrom"))->setText(QStringLiteral("950000")); }},
        {"number to", [&] { search.findChild<QLineEdit *>(QStringLiteral("txtIDTo"))->setText(QStringLiteral("50000")); }},
        {"date from", [&] { search.findChild<OmberDate *>(QStringLiteral("dtpTransactionDateFrom"))->setValue(today.addDays(-30)); }},
        {"date to", [&] { search.findChild<OmberDate *>(QStringLiteral("dtpTransactionDateTo"))->setValue(today.addDays(-700)); }},
        {"debit account", [&] { search.findChild<FarvoPicker *>(QStringLiteral("TlvAccSecondAccount"))->setAccountID(110303); }},
        {"credit account", [&] { search.findChild<FarvoPicker *>(QStringLiteral("TlvAccAccount"))->setAccountID(110102); }},
        {"contract", [&] { search.findChild<OmberSelector *>(QStringLiteral("mptContracts"))->setSelectedID(2); }},
        {"collector", [&] { search.findChild<OmberSelector *>(QStringLiteral("sltAchiever"))->setSelectedID(5); }},
        {"description", [&] { search.findChild<QLineEdit *>(QStringLiteral("txtDescription"))->setText(QStringLiteral("اجاره")); }},
    };
    std::printf("search on %s against the sqlite3 shell running the same SELECT (better of two)\n", qPrintable(big));
    for (const auto &[name, set] : criteria) {
        search.cmdNewsearch_Click();
        set();
        double ours = 1e9, shell = 1e9;
        int rows = 0;
        for (int round = 0; round < 2; ++round) {
            QElapsedTimer clock;
            clock.start();
            search.cmdSearch_Click();
            while (grid->loading())
                QApplication::processEvents();
            ours = std::min(ours, clock.nsecsElapsed() / 1e6);
            rows = grid->Rows() - 1;
            const QString select = frmRPDSearch::ResultSelect + search.WhereClause;
            shell = std::min(shell, runShell(shellCsv(big, select) + QStringLiteral(" > /dev/null")).total * 1e3);
        }
        const QString label = QStringLiteral("search: %1 (%2 rows)").arg(QLatin1String(name)).arg(rows);
        line(label.toUtf8().constData(), ours, shell, 1.3);
    }

    // The export of 100,000 rows.
    QTemporaryDir exportDir;
    qputenv("PARDEX_EXPORT_DIR", exportDir.path().toUtf8());
    frmRPDSearch::setOpener([](const QString &) { return true; });
    // The export button with the rows on the screen, and (no goal) the
    // search and the export together, since the reference runs the query too
    // (in a pipeline: the shell and gzip on two processors at once).
    double exportBest = 1e9, bothBest = 1e9, gzipBest = 1e9;
    int exported = 0;
    for (int round = 0; round < 2; ++round) {
        search.cmdNewsearch_Click();
        search.findChild<QLineEdit *>(QStringLiteral("txtIDFrom"))->setText(QStringLiteral("16"));
        search.findChild<QLineEdit *>(QStringLiteral("txtIDTo"))->setText(QStringLiteral("100015"));
        QElapsedTimer clock;
        clock.start();
        search.cmdSearch_Click();
        grid->finishLoading();
        const double searched = clock.nsecsElapsed() / 1e6;
        clock.start();
        search.cmdExcel_Click();
        const double exportedIn = clock.nsecsElapsed() / 1e6;
        exportBest = std::min(exportBest, exportedIn);
        bothBest = std::min(bothBest, searched + exportedIn);
        exported = grid->Rows() - 1;
        const QString part = frmRPDSearch::ResultSelect + search.WhereClause;
        gzipBest = std::min(gzipBest, runShell(shellCsv(big, part) + QStringLiteral(" | gzip -6 > ")
                                               + shellQuote(exportDir.filePath(QStringLiteral("rows.csv.gz"))))
                                          .total
                                          * 1e3);
    }
    line(QStringLiteral("export of %1 rows").arg(exported).toUtf8().constData(), exportBest, gzipBest, 1.5);
    line(QStringLiteral("search and export of %1 rows").arg(exported).toUtf8().constData(), bothBest, gzipBest, 0);
    frmRPDSearch::destroyInstance();
    return 0;
}

