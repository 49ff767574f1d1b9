// Figures for the data environment on a large embedded database: building
// it, loading one receipt as the form does, the open-turn lookup, the search
// query with and without criteria, and saving final receipts.

#include "core/PersianDate.h"
#include "data/DtEn.h"
#include "suite/SuiteDatabase.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

namespace {

template <typename F>
double perCallMicros(int repeat, F &&f)
{
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < repeat; ++i)
        f(i);
    return double(t.nsecsElapsed()) / 1000.0 / repeat;
}

const QString SearchSelect = QStringLiteral(
    "Select ID As 'شماره' , Turn As 'نوبت صندوق' , CashDescription As 'صندوق' , OpenerUser as 'صندوقدار' ,Code As "
    "'شماره تاييد شده',FarsiTransactionDate As 'تاريخ ثبت',Description as 'شرح' ,ReceivedValue as 'دريافت',PayedValue "
    "as 'پرداخت',AccountTitle as 'حساب بستانكار',AccountCode As 'كد حساب بستانكار',SecondAccountTitle as 'حساب "
    "بدهكار',SecondAccountCode As 'كد حساب بدهكار',AccContractTitle as 'قرارداد',AccContractCode As 'كد قرارداد'   "
    "from vwRecPayCashTurnDetailSearch ");

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.filePath(QStringLiteral("bench.db"));
    const qint64 receipts = argc > 2 ? QByteArray(argv[2]).toLongLong() : 1000000;

    if (!QFileInfo::exists(path)) {
        QElapsedTimer t;
        t.start();
        suite::CreateOptions options;
        options.demo = true;
        options.extraReceipts = receipts;
        suite::createDatabase(path, options);
        std::printf("create demo + %lld receipts: %.1f s\n", receipts, t.elapsed() / 1000.0);
    }

    DtEn dtEn;
    dtEn.cnt.setConnectionString(QStringLiteral("Provider=SQLite;Data Source=") + path);
    const RowSet count = dtEn.cnt.execute(QStringLiteral("Select count(*) as n from tblRecPayCashTurnDetail"));
    const int total = count.rows[0][0].toInt();
    std::printf("receipts in the database: %d\n", total);

    QRandomGenerator rng(7);
    const double load = perCallMicros(2000, [&](int) {
        Recordset &rs = dtEn.rssqlRPDCashTurnDetail;
        rs.Open(QStringLiteral("Select * From vwRecPayCashTurnDetail Where ID=%1 And PayedValue = 0")
                    .arg(rng.bounded(1, total)));
        rs.Close();
    });
    std::printf("load one receipt by number: %.1f us\n", load);

    const double turns = perCallMicros(2000, [&](int) {
        Recordset &rs = dtEn.rssqlRPDCashTurn;
        rs.Open(QStringLiteral("Select * from tblRecPayCashTurn Where IsOpen = 1  And UserID =486"));
        rs.Close();
    });
    std::printf("open-turn lookup of a user: %.1f us\n", turns);

    auto search = [&](const QString &where) {
        QElapsedTimer t;
        t.start();
        Recordset &rs = dtEn.rssqlvwRPDCashTyrndetailSearch;
        rs.Open(SearchSelect + where);
        const int n = rs.RecordCount();
        rs.Close();
        return std::make_pair(n, t.elapsed());
    };
    for (const QString &where :
         {QStringLiteral("Where Turn = 1500 AND PayedValue=0"),
          QStringLiteral("Where ID >= 500000 And  ID <= 500100 And  PayedValue=0"),
          QStringLiteral("Where RelatedAccountID = 110302 AND Description Like '%فاکتور%' AND PayedValue=0"),
          QStringLiteral("Where PayedValue=0")}) {
        const auto [rows, ms] = search(where);
        std::printf("search %-78s %8d rows %6lld ms\n", qPrintable(where.left(78)), rows, ms);
    }

    const QDateTime today = QDate::currentDate().startOfDay();
    const double save = perCallMicros(500, [&](int i) {
        qint32 id = 0, code = 0;
        dtEn.spRecPayInsertCashTurnDetail(id, 3, code, today, PersianDate::today(), QStringLiteral("bench %1").arg(i),
                                          Currency::fromInteger(1000 + i), Currency(), 110301, 0, 206, -1);
    });
    std::printf("save one final receipt (code assigned): %.1f us\n", save);
    return 0;
}
