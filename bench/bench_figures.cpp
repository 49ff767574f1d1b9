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

#include "common/ComponentRegistry.h"
#include "common/Module.h"
#include "controls/FarvoPicker.h"
#include "controls/OmberDate.h"
#include "controls/OmberSelector.h"
#include "core/Currency.h"
#include "core/PersianDate.h"
#include "data/TsqlToSqlite.h"
#include "host/Pardex1.h"
#include "platform/StandardComponents.h"
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
#include <vector>

namespace {

// Every question answered yes, every message acknowledged: nothing waits.
class YesBox : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QVariant FormTitle MEMBER m_title)
    Q_PROPERTY(QString FormMessage MEMBER m_message)
    Q_PROPERTY(qint16 FormType MEMBER m_type)
    Q_PROPERTY(qint16 Resualt MEMBER m_result)
public:
    Q_INVOKABLE void ClearShow()
    {
        if (m_type != 1)
            std::fprintf(stderr, "  (message: %s)\n", qPrintable(m_message));
    }

private:
    QVariant m_title;
    QString m_message;
    qint16 m_type = 0;
    qint16 m_result = 1;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Runs a statement to its end and reads every value of every row, as a
// client that keeps the rows would.
void rawQuery(sqlite3 *db, const QString &tsql)
{
    const QByteArray sql = tsqlToSqlite(tsql).toUtf8();
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &st, nullptr) != SQLITE_OK)
        std::fprintf(stderr, "raw: %s: %s\n", sql.constData(), sqlite3_errmsg(db));
    std::string sink;
    while (sqlite3_step(st) == SQLITE_ROW)
        for (int c = 0, n = sqlite3_column_count(st); c < n; ++c) {
            switch (sqlite3_column_type(st, c)) {
            case SQLITE_INTEGER:
                sink.push_back(char(sqlite3_column_int64(st, c)));
                break;
            case SQLITE_FLOAT:
                sink.push_back(char(sqlite3_column_double(st, c)));
                break;
            case SQLITE_NULL:
                break;
            default:
                sink.append(reinterpret_cast<const char *>(sqlite3_column_text(st, c)), size_t(sqlite3_column_bytes(st, c)));
            }
        }
    sqlite3_finalize(st);
}

QVariant rawScalar(sqlite3 *db, const QString &tsql)
{
    return sqlite::scalar(db, tsqlToSqlite(tsql));
}

void rawCall(sqlite3 *db, const char *procedure, QVariantList args)
{
    suite::callProcedure(db, QLatin1String(procedure), args);
}

QVariantList rawInsertArgs(qint32 code, const QString &description)
{
    const QDateTime today = QDate::currentDate().startOfDay();
    return {0, 3, code, today, PersianDate::today(), description, QVariant::fromValue(Currency::fromInteger(1250000)),
            QVariant::fromValue(Currency()), 110301, 0, 206, -1};
}

void rawHistory(sqlite3 *db, qint32 receipt)
{
    rawQuery(db, QStringLiteral("Select ID, Description, UserFullName, FarsiEventDate, EventTime, EventDate From "
                                "vwFormHistory Where FormTypeID = 206 And FormCode = '%1' Order By ID Desc")
                     .arg(receipt));
    rawQuery(db, QStringLiteral("Select ID, Kind, UserFullName, ChangedAt, Before, After From vwFormChangeHistory Where "
                                "FormTypeID = 206 And ReceiptID = %1 Order By ID Desc")
                     .arg(receipt));
}

void rawLog(sqlite3 *db, qint32 event, qint32 receipt, const QString &suffix)
{
    const QDateTime today = QDate::currentDate().startOfDay();
    rawCall(db, "spOmberInsertFormAction",
            {event, QString::number(receipt), 206,
             QString(QStringLiteral("دريافت نقدي به ش.ر. ”") + QString::number(receipt) + suffix), 486, today,
             PersianDate::today(), 600});
}

void rawLevels(sqlite3 *db, qint32 receipt)
{
    rawQuery(db, QStringLiteral("Update tblRecPayCashTurnDetail set ClassID1 = NULL, ObjectID1 = NULL,ClassID2 = NULL, "
                                "ObjectID2 = NULL,ClassID3 = NULL, ObjectID3 = NULL,BranchID = Null, AchieverID = Null "
                                "Where ID = ")
                     + QString::number(receipt));
}

struct Operations
{
    double load = 0, loadRaw = 0, save = 0, saveRaw = 0, draft = 0, draftRaw = 0, remove = 0, removeRaw = 0;
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
    sqlite3 *raw = suite::openDatabase(path);
    QElapsedTimer clock;

    // Load by number: receipts anywhere in the file.
    std::vector<qint32> ids;
    const RowSet sample = sqlite::run(raw, QStringLiteral("SELECT ID FROM tblRecPayCashTurnDetail WHERE PayedValue = 0 "
                                                          "AND FormTypeID = 206 ORDER BY random() LIMIT 300"));
    for (const auto &row : sample.rows)
        ids.push_back(row[0].toInt());
    std::vector<double> form_, raw_;
    // Each measurement of the form is followed by its raw twin, so that both
    // see the same disk and the same caches (the saves wait for the disk).
    auto rawLoad = [&](qint32 id) {
        // What the load reads: the receipt, its organisation, its turn's
        // opener, the cash box, and the history panel.
        const RowSet receipt = sqlite::run(raw, tsqlToSqlite(QStringLiteral("Select * From vwRecPayCashTurnDetail Where ID=")
                                                             + QString::number(id) + QStringLiteral(" And PayedValue = 0")));
        const auto col = [&](const char *name) {
            return receipt.rows.isEmpty() ? QVariant() : receipt.rows[0][receipt.columns.indexOf(QLatin1String(name))];
        };
        rawQuery(raw, QStringLiteral("Select Name + '_' + isnull(Address,'') + '_' + isnull(Phone1,'') as OrgDesc from "
                                     "tblOrganization Where ID in (Select RelatedObjectID from tblAccountRelatedObjects "
                                     "Where RelatedClassID=7 and AccountID=")
                          + QString::number(col("RelatedAccountID").toInt()) + QStringLiteral(")"));
        const QVariant opener = rawScalar(raw, QStringLiteral("Select UserID from tblRecPayCashTurn Where ID = ")
                                                   + QString::number(col("CashTurnID").toInt()));
        rawQuery(raw, QStringLiteral("select * from tblUser Where ID =") + QString::number(opener.toInt()));
        rawQuery(raw, QStringLiteral("Select * from tblRecPayCash Where ID = ") + QString::number(col("CashID").toInt()));
        rawHistory(raw, id);
    };
    for (size_t i = 0; i < ids.size(); ++i) {
        txtID->setText(QString::number(ids[i]));
        qint16 enter = 13;
        clock.start();
        form.txtID_KeyPress(enter);
        // What the form leaves for the event loop (the lists' display) is
        // part of showing the receipt; painting the screen is not.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        form_.push_back(clock.nsecsElapsed() / 1e6);
        clock.start();
        rawLoad(ids[i]);
        raw_.push_back(clock.nsecsElapsed() / 1e6);
    }
    // The first few of each warm the caches.
    form_.erase(form_.begin(), form_.begin() + 20);
    raw_.erase(raw_.begin(), raw_.begin() + 20);
    o.load = median(form_);
    o.loadRaw = median(raw_);

    // Back to the cashier's own open turn (the loads moved the form to theirs).
    qint32 openTurn = 3;
    form.LoadCashTurn(openTurn);

    // Final save: the form's checks, receipt, log, levels and document.
    const int saves = 60;
    form_.clear();
    raw_.clear();
    auto rawSave = [&](int i) {
        rawQuery(raw, QStringLiteral("select * from tblAccountPeriod Where IsActive=1  and ID in (Select x.AccountPeriodID "
                                     "from tblUserAccountPeriod x Where x.UserID=486) and '")
                          + PersianDate::today() + QStringLiteral("' between FarsiBeginDate and FarsiEndDate"));
        rawQuery(raw, QStringLiteral("Select Value From tblOmberSystemParameters Where ID = 3383"));
        rawQuery(raw, QStringLiteral("Select Value From tblOmberSystemParameters Where ID = 911"));
        QVariantList insert = rawInsertArgs(0, QStringLiteral("بابت فاكتور %1").arg(i));
        suite::callProcedure(raw, QStringLiteral("spRecPayInsertCashTurnDetail"), insert);
        const qint32 id = insert[0].toInt();
        rawLog(raw, 20601, id, QStringLiteral("“ ايجاد شد."));
        rawLevels(raw, id);
        rawQuery(raw, QStringLiteral("Select AccountID from tblRecPayCash Where AccountID is not null and ID=1"));
        const QDateTime today = QDate::currentDate().startOfDay();
        const QString d = QStringLiteral("عطف به دريافت نقدي به شماره راايانه اي %1 و شماره تاييد شده %2")
                              .arg(id)
                              .arg(insert[2].toInt());
        QVariantList document = {1, 1, 486, today, PersianDate::today(), today, PersianDate::today(),
                                 QVariant::fromValue(Currency::fromInteger(1250000)), d};
        suite::callProcedure(raw, QStringLiteral("spAccountInsertDocument"), document);
        for (int row = 1; row <= 2; ++row)
            rawCall(raw, "spAccountInsertDocumentDetail",
                    {document[0], row, row == 1 ? 110101 : 110301, today, PersianDate::today(), d, 17,
                     QString::number(insert[2].toInt()), 0, 0,
                     QVariant::fromValue(row == 1 ? Currency::fromInteger(1250000) : Currency()),
                     QVariant::fromValue(row == 1 ? Currency() : Currency::fromInteger(1250000)), id, 206});
        rawHistory(raw, id);
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
        clock.start();
        rawSave(i);
        raw_.push_back(clock.nsecsElapsed() / 1e6);
    }
    o.save = median(form_);
    o.saveRaw = median(raw_);

    // Draft save: the receipt without a code, its levels, the history.
    form_.clear();
    raw_.clear();
    std::vector<qint32> drafts;
    for (int i = 0; i < saves; ++i) {
        form.cmdNew_Click();
        txtRec->setText(QStringLiteral("750/000"));
        clock.start();
        form.cmdRegSave_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        form_.push_back(clock.nsecsElapsed() / 1e6);
        clock.start();
        QVariantList insert = rawInsertArgs(-1, QString());
        suite::callProcedure(raw, QStringLiteral("spRecPayInsertCashTurnDetail"), insert);
        rawLevels(raw, insert[0].toInt());
        rawHistory(raw, insert[0].toInt());
        raw_.push_back(clock.nsecsElapsed() / 1e6);
        drafts.push_back(insert[0].toInt());
    }
    o.draft = median(form_);
    o.draftRaw = median(raw_);

    // Delete: a draft of the user's own open turn, each time a new one.
    form_.clear();
    raw_.clear();
    for (int i = 0; i < saves; ++i) {
        form.cmdNew_Click();
        txtRec->setText(QStringLiteral("1"));
        form.cmdRegSave_Click();
        clock.start();
        form.cmdDelete_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        form_.push_back(clock.nsecsElapsed() / 1e6);
        const qint32 id = drafts[size_t(i)];
        clock.start();
        rawCall(raw, "spOmberHasPermission", {486, 20603});
        rawQuery(raw, QStringLiteral("Select IsNull(IsOpen,1) as IsOpen from tblRecPayCashTurn Where ID = 3 And UserID =486"));
        rawCall(raw, "spRecPayDeleteCashTurnDetail", {id});
        rawLog(raw, 20603, id, QStringLiteral("“ حذف شد."));
        rawQuery(raw, QStringLiteral("Delete tblOmberRelatedForms Where RelatedFormTypeID = 901 and ReferenceFormTypeID = "
                                     "206 and ReferenceFormID = ")
                          + QString::number(id));
        raw_.push_back(clock.nsecsElapsed() / 1e6);
    }
    o.remove = median(form_);
    o.removeRaw = median(raw_);
    sqlite3_close(raw);
    form.Unload();
    frmRPDCashRec::destroyInstance();
    return o;
}

void line(const char *what, double ours, double reference, double goal, const char *unit = "ms")
{
    const double ratio = reference > 0 ? ours / reference : 0;
    std::printf("%-44s %9.3f %s  reference %9.3f %s  ratio %5.2f  (goal <= %.1f)%s\n", what, ours, unit, reference, unit,
                ratio, goal, ratio <= goal ? "" : "  MISSED");
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
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/pardex-bench");
    QDir().mkpath(folder);
    const QString small = database(folder, QStringLiteral("receipts-1k.db"), 1000);
    if (argc > 2 && qstrcmp(argv[2], "--profile-load") == 0) {
        // Loads only, for a profiler.
        registerStandardComponents();
        ComponentRegistry::registerComponent(QStringLiteral("Zintel.ZintelMSG"), [] { return new YesBox; });
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
    registerStandardComponents();
    ComponentRegistry::registerComponent(QStringLiteral("Zintel.ZintelMSG"), [] { return new YesBox; });

    std::printf("receipt form against the same SQL issued raw, on %s (medians)\n", qPrintable(big));
    const Operations onBig = measureOperations(big);
    line("load by number", onBig.load, onBig.loadRaw, 1.3);
    line("final save", onBig.save, onBig.saveRaw, 1.3);
    line("draft save", onBig.draft, onBig.draftRaw, 1.3);
    line("delete", onBig.remove, onBig.removeRaw, 1.3);

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
    search.cmdNewsearch_Click();
    search.findChild<QLineEdit *>(QStringLiteral("txtIDFrom"))->setText(QStringLiteral("16"));
    search.findChild<QLineEdit *>(QStringLiteral("txtIDTo"))->setText(QStringLiteral("100015"));
    search.cmdSearch_Click();
    grid->finishLoading();
    const QString part = frmRPDSearch::ResultSelect + search.WhereClause;
    double exportBest = 1e9, gzipBest = 1e9;
    for (int round = 0; round < 2; ++round) {
        QElapsedTimer clock;
        clock.start();
        search.cmdExcel_Click();
        exportBest = std::min(exportBest, clock.nsecsElapsed() / 1e6);
        gzipBest = std::min(gzipBest, runShell(shellCsv(big, part) + QStringLiteral(" | gzip -6 > ")
                                               + shellQuote(exportDir.filePath(QStringLiteral("rows.csv.gz"))))
                                          .total
                                          * 1e3);
    }
    line(QStringLiteral("export of %1 rows").arg(grid->Rows() - 1).toUtf8().constData(), exportBest, gzipBest, 1.5);
    frmRPDSearch::destroyInstance();
    return 0;
}

#include "bench_figures.moc"
