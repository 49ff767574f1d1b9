#include "suite/DemoData.h"

#include "core/Currency.h"
#include "core/PersianDate.h"
#include "core/VbError.h"
#include "suite/Identifiers.h"
#include "suite/SuiteWriter.h"

#include <QDateTime>
#include <QRandomGenerator>

namespace suite {

namespace {

const QVariant Null;

// Chart of accounts: ID, code, title, parent, level, detail.
struct AccountRow
{
    int id;
    const char *code;
    const char *title;
    int parent;
    int level;
    int detail;
};

const AccountRow Accounts[] = {
    {1, "1", "دارایی‌ها", 0, 1, 0},
    {11, "11", "دارایی‌های جاری", 1, 2, 0},
    {1101, "1101", "موجودی نقد و بانک", 11, 3, 0},
    {110101, "110101", "صندوق مرکزی", 1101, 4, 1},
    {110102, "110102", "صندوق فروشگاه", 1101, 4, 1},
    {110103, "110103", "صندوق شعبه اصفهان", 1101, 4, 1},
    {110110, "110110", "بانک ملت - حساب جاری", 1101, 4, 1},
    {1103, "1103", "حساب‌های دریافتنی تجاری", 11, 3, 0},
    {110301, "110301", "شرکت پارس‌نوین", 1103, 4, 1},
    {110302, "110302", "شرکت آریا تجارت", 1103, 4, 1},
    {110303, "110303", "فروشگاه زنجیره‌ای کوروش", 1103, 4, 1},
    {110304, "110304", "بازرگانی صدف", 1103, 4, 1},
    {110305, "110305", "موسسه خیریه امید", 1103, 4, 1},
    {1104, "1104", "سایر حساب‌های دریافتنی", 11, 3, 0},
    {110401, "110401", "بدهکاران متفرقه", 1104, 4, 1},
    {110402, "110402", "علی‌الحساب کارکنان", 1104, 4, 1},
    {4, "4", "درآمدها", 0, 1, 0},
    {41, "41", "درآمدهای عملیاتی", 4, 2, 0},
    {4101, "4101", "درآمد فروش کالا", 41, 3, 1},
    {4102, "4102", "درآمد ارائه خدمات", 41, 3, 1},
    {42, "42", "درآمدهای غیرعملیاتی", 4, 2, 0},
    {4201, "4201", "درآمد اجاره", 42, 3, 1},
};

// Accounts a cashier receives money against, and the receipts' descriptions.
const int CounterpartyAccounts[] = {110301, 110302, 110303, 110304, 110305, 110401, 4101, 4102, 4201};
const char *const Descriptions[] = {
    "دریافت بابت فاکتور فروش شماره %1",
    "علی‌الحساب قرارداد پشتیبانی - قسط %1",
    "تسویه حساب فاکتور %1",
    "دریافت اجاره‌بهای ماه %1",
    "فروش نقدی کالا طبق فاکتور %1",
    "دریافت بابت خدمات نصب - درخواست %1",
    "بازپرداخت علی‌الحساب کارکنان - سند %1",
};

QDateTime daysAgo(int days)
{
    return QDate::currentDate().addDays(-days).startOfDay();
}

QString farsi(const QDateTime &dt)
{
    return PersianDate::fromDate(dt.date());
}

struct DemoReceipt
{
    int turnId;
    int cashId;
    int daysAgo;
    qint64 amount;
    int account;   // 0: none
    int contract;  // 0: none
    int achiever;  // 0: none
    int branch;    // 0: none
    bool final;
    int creator;
    QString description;
    int classId1 = -1;
    int objectId1 = -1;
};

// Writes a receipt through the suite's procedures, with its action-log entry
// and, when final, its two-row accounting document, as the cash receipt form
// leaves them.
int writeDemoReceipt(SuiteWriter &db, const DemoReceipt &r, const QHash<int, int> &cashAccounts)
{
    const QDateTime date = daysAgo(r.daysAgo);
    const Currency amount = Currency::fromInteger(r.amount);
    QVariantList args = {0,
                         r.turnId,
                         r.final ? 0 : -1,
                         date,
                         farsi(date),
                         r.description,
                         QVariant::fromValue(amount),
                         QVariant::fromValue(Currency()),
                         r.account,
                         r.contract,
                         ids::FormCashReceipt,
                         -1};
    db.call(QStringLiteral("spRecPayInsertCashTurnDetail"), args);
    const int id = args[0].toInt();
    const int code = args[2].toInt();
    db.exec(
                 QStringLiteral("UPDATE tblRecPayCashTurnDetail SET ClassID1 = ?, ObjectID1 = ?, BranchID = ?, "
                                "AchieverID = ? WHERE ID = ?"),
                 {r.classId1 > 0 ? QVariant(r.classId1) : Null, r.objectId1 > 0 ? QVariant(r.objectId1) : Null,
                  r.branch > 0 ? QVariant(r.branch) : Null, r.achiever > 0 ? QVariant(r.achiever) : Null, id});

    QVariantList log = {ids::EventReceiptCreated,
                        QString::number(id),
                        ids::FormCashReceipt,
                        QStringLiteral("دريافت نقدي به ش.ر. ”%1“ ايجاد شد.").arg(id),
                        r.creator,
                        date,
                        farsi(date),
                        9 * 60 + (id * 7) % 420};
    db.call(QStringLiteral("spOmberInsertFormAction"), log);

    const int cashAccount = cashAccounts.value(r.cashId);
    if (r.final && r.account > 0 && cashAccount > 0) {
        const QString text =
            QStringLiteral("عطف به دريافت نقدي به شماره راايانه اي %1 و شماره تاييد شده %2").arg(id).arg(code);
        QVariantList doc = {1,    1,           r.creator, date, farsi(date), date, farsi(date),
                            QVariant::fromValue(amount), text};
        db.call(QStringLiteral("spAccountInsertDocument"), doc);
        const int docId = doc[0].toInt();
        for (int row = 1; row <= 2; ++row) {
            QVariantList detail = {docId,
                                   row,
                                   row == 1 ? cashAccount : r.account,
                                   date,
                                   farsi(date),
                                   text,
                                   ids::DocumentCashReceipt,
                                   QString::number(code),
                                   0,
                                   0,
                                   QVariant::fromValue(row == 1 ? amount : Currency()),
                                   QVariant::fromValue(row == 1 ? Currency() : amount),
                                   id,
                                   ids::FormCashReceipt};
            db.call(QStringLiteral("spAccountInsertDocumentDetail"), detail);
        }
    }
    return id;
}

// The sibling components' demo data ----------------------------------------
// Their rights (the cashiers see documents and the ledger, manage their own
// turns and add accounts; the accountant also removes accounts and closes
// anyone's turn), the cash each turn opened with, the blind counts of the
// closed turns (one of them short) with what they should have held and who
// closed them, and the detail-level objects of the two
// documents whose receipts carry detail levels.
void fillSiblingDemoData(SuiteWriter &db)
{
    using namespace ids;
    db.insertRows(QStringLiteral("tblOmberPermission"), {QStringLiteral("ID"), QStringLiteral("Title")},
               {{RightAccountingDocument, QStringLiteral("مشاهده سند حسابداری")},
                {RightChartOfAccounts, QStringLiteral("تعریف حساب")},
                {RightAddAccount, QStringLiteral("افزودن حساب")},
                {RightRenameAccount, QStringLiteral("اصلاح عنوان حساب")},
                {RightRemoveAccount, QStringLiteral("حذف حساب")},
                {RightCashTurns, QStringLiteral("نوبت‌های صندوق")},
                {RightOpenTurn, QStringLiteral("باز کردن نوبت صندوق")},
                {RightCloseOwnTurn, QStringLiteral("بستن نوبت صندوق خود")},
                {RightCloseAnyTurn, QStringLiteral("بستن نوبت صندوق دیگران")},
                {RightCashLedger, QStringLiteral("گردش نقدی صندوق")}});
    const QList<std::pair<int, QList<int>>> rights = {
        {1, {RightAccountingDocument, RightChartOfAccounts, RightAddAccount, RightRenameAccount, RightRemoveAccount,
             RightCashTurns, RightOpenTurn, RightCloseOwnTurn, RightCloseAnyTurn, RightCashLedger}},
        {486, {RightAccountingDocument, RightChartOfAccounts, RightAddAccount, RightRenameAccount, RightCashTurns,
               RightOpenTurn, RightCloseOwnTurn, RightCashLedger}},
        {756, {RightAccountingDocument, RightCashTurns, RightOpenTurn, RightCloseOwnTurn, RightCashLedger}},
        {512, {RightAccountingDocument, RightChartOfAccounts, RightAddAccount, RightRenameAccount, RightRemoveAccount,
               RightCashTurns, RightCloseAnyTurn, RightCashLedger}},
    };
    QList<QVariantList> grants;
    for (const auto &[user, list] : rights)
        for (int right : list)
            grants.append({user, right});
    db.insertRows(QStringLiteral("tblOmberUserPermission"), {QStringLiteral("UserID"), QStringLiteral("PermissionID")},
               grants);

    // Turn ID, cash it opened with, and for a closed turn what the count
    // found beyond what the turn should have held.
    const struct {
        int turn;
        qint64 opening;
        qint64 countedOver;
    } turns[] = {{1, 1000000, 0}, {2, 1000000, -50000}, {3, 2000000, 0}, {4, 1500000, 0}, {5, 500000, 0}, {6, 500000, 0}};
    for (const auto &t : turns) {
        db.exec(QStringLiteral("UPDATE tblRecPayCashTurn SET OpeningCash = ? WHERE ID = ?"), {t.opening, t.turn});
        db.exec(
                     QStringLiteral("UPDATE tblRecPayCashTurn SET CountedCash = OpeningCash + coalesce((SELECT "
                                    "sum(ReceivedValue) - sum(PayedValue) FROM tblRecPayCashTurnDetail d WHERE "
                                    "d.CashTurnID = tblRecPayCashTurn.ID), 0) + ?, CashDifference = ? WHERE ID = ? "
                                    "AND IsOpen = 0"),
                     {t.countedOver, t.countedOver, t.turn});
        // Closed by its own cashier. In the same pass, so that the turns'
        // rows stay in the order of their IDs on a server.
        db.exec(QStringLiteral("UPDATE tblRecPayCashTurn SET ExpectedCash = CountedCash - CashDifference, "
                               "ClosedByUserID = UserID WHERE ID = ? AND IsOpen = 0"),
                {t.turn});
    }

    db.exec(QStringLiteral(
        "INSERT INTO tblAccountDocumentObjects (DocumentID, RowNumber, Sequence, ClassID, ObjectID) "
        "SELECT x.DocumentID, 1, 1, ?, t.CashID FROM tblRecPayCashTurnDetail d "
        "JOIN tblRecPayCashTurn t ON t.ID = d.CashTurnID "
        "JOIN (SELECT DISTINCT DocumentID, FormID FROM tblAccountDocumentDetail WHERE FormTypeID = ?) x "
        "ON x.FormID = d.ID WHERE d.ClassID1 IS NOT NULL "
        "UNION ALL "
        "SELECT x.DocumentID, 2, 1, d.ClassID1, d.ObjectID1 FROM tblRecPayCashTurnDetail d "
        "JOIN (SELECT DISTINCT DocumentID, FormID FROM tblAccountDocumentDetail WHERE FormTypeID = ?) x "
        "ON x.FormID = d.ID WHERE d.ClassID1 IS NOT NULL"),
        {ClassCashBox, FormCashReceipt, FormCashReceipt});
}

} // namespace

void fillDemoData(SuiteWriter &db, const QString &reportBasePath)
{
    WriterTransaction tx(db);

    db.insertRows(QStringLiteral("tblBranch"), {QStringLiteral("ID"), QStringLiteral("Code"), QStringLiteral("Title")},
               {{1, QStringLiteral("01"), QStringLiteral("شعبه مرکزی تهران")},
                {2, QStringLiteral("02"), QStringLiteral("شعبه اصفهان")},
                {3, QStringLiteral("03"), QStringLiteral("شعبه مشهد")}});
    db.insertRows(QStringLiteral("tblPosition"), {QStringLiteral("ID"), QStringLiteral("Title")},
               {{1, QStringLiteral("مدیر مالی")}, {2, QStringLiteral("صندوقدار")}, {3, QStringLiteral("حسابدار")}});

    const QStringList employeeColumns = {QStringLiteral("ID"), QStringLiteral("PersonnelCode"),
                                         QStringLiteral("FirstName"), QStringLiteral("LastName"),
                                         QStringLiteral("BranchID")};
    const char *const people[][2] = {
        {"رضا", "محمدی"},   {"مریم", "احمدی"},  {"علی", "رضایی"},  {"زهرا", "حسینی"},
        {"حسین", "کریمی"},  {"فاطمه", "موسوی"}, {"مهدی", "جعفری"}, {"سارا", "نوری"},
        {"امیر", "صادقی"},  {"نرگس", "قاسمی"},  {"محمد", "طاهری"}, {"لیلا", "باقری"},
    };
    QList<QVariantList> employees;
    for (int i = 0; i < 12; ++i)
        employees.append({i + 1, QString::number(1001 + i), QString::fromUtf8(people[i][0]),
                          QString::fromUtf8(people[i][1]), 1 + i % 3});
    db.insertRows(QStringLiteral("tblEmployee"), employeeColumns, employees);

    db.insertRows(QStringLiteral("tblUser"),
               {QStringLiteral("ID"), QStringLiteral("UserName"), QStringLiteral("FullName"),
                QStringLiteral("BranchID"), QStringLiteral("EmployeeID"), QStringLiteral("PositionID")},
               {{1, QStringLiteral("admin"), QStringLiteral("مدیر سیستم"), Null, 1, 1},
                {486, QStringLiteral("a.rezaei"), QStringLiteral("علی رضایی"), Null, 3, 2},
                {512, QStringLiteral("h.karimi"), QStringLiteral("حسین کریمی"), 1, 5, 3},
                {623, QStringLiteral("z.hosseini"), QStringLiteral("زهرا حسینی"), 3, 4, 3},
                {756, QStringLiteral("m.ahmadi"), QStringLiteral("مریم احمدی"), 2, 2, 2}});

    using namespace ids;
    db.insertRows(QStringLiteral("tblOmberPermission"), {QStringLiteral("ID"), QStringLiteral("Title")},
               {{RightCashReceiptForm, QStringLiteral("فرم دریافت نقدی")},
                {RightCreateReceipt, QStringLiteral("ایجاد دریافت نقدی")},
                {RightEditReceipt, QStringLiteral("اصلاح دریافت نقدی")},
                {RightDeleteReceipt, QStringLiteral("حذف دریافت نقدی")},
                {RightSearchReceipts, QStringLiteral("جستجوی دریافت نقدی")},
                {RightChangeAfterClose, QStringLiteral("تغییر دریافت پس از بسته شدن صندوق")},
                {RightDeleteAfterClose, QStringLiteral("حذف دریافت پس از بسته شدن صندوق")}});
    QList<QVariantList> grants;
    for (int user : {1, 486})
        for (int right : {RightCashReceiptForm, RightCreateReceipt, RightEditReceipt, RightDeleteReceipt,
                          RightSearchReceipts, RightChangeAfterClose, RightDeleteAfterClose})
            grants.append({user, right});
    for (int right : {RightCashReceiptForm, RightCreateReceipt, RightEditReceipt, RightSearchReceipts})
        grants.append({756, right});
    for (int right : {RightCashReceiptForm, RightSearchReceipts})
        grants.append({512, right});
    db.insertRows(QStringLiteral("tblOmberUserPermission"), {QStringLiteral("UserID"), QStringLiteral("PermissionID")},
               grants);

    db.insertRows(QStringLiteral("tblOmberObjectClass"),
               {QStringLiteral("ID"), QStringLiteral("Title"), QStringLiteral("ViewMinor"), QStringLiteral("ViewMajor")},
               {{ClassEmployee, QStringLiteral("کارمند"), QStringLiteral("vwEmployeeMinor"), QStringLiteral("vwEmployee")},
                {ClassOrganization, QStringLiteral("سازمان"), QStringLiteral("vwOrganizationMinor"),
                 QStringLiteral("vwOrganization")},
                {ClassContract, QStringLiteral("پروژه/قرارداد"), QStringLiteral("vwAccountContractProjectMinor"),
                 QStringLiteral("vwAccountContractProject")},
                {ClassCashBox, QStringLiteral("صندوق"), QStringLiteral("vwRecPayCashMinor"), QStringLiteral("vwRecPayCashMinor")}});

    QList<QVariantList> accounts;
    for (const AccountRow &a : Accounts)
        accounts.append({a.id, QString::fromUtf8(a.code), QString::fromUtf8(a.title),
                         a.parent ? QVariant(a.parent) : Null, a.level, a.detail});
    db.insertRows(QStringLiteral("tblAccount"),
               {QStringLiteral("ID"), QStringLiteral("Code"), QStringLiteral("Title"), QStringLiteral("ParentID"),
                QStringLiteral("AccountLevel"), QStringLiteral("IsDetail")},
               accounts);
    db.insertRows(QStringLiteral("tblAccountDetailLevel"),
               {QStringLiteral("AccountID"), QStringLiteral("LevelNo"), QStringLiteral("ClassID")},
               {{110401, 1, ClassOrganization}, {110401, 2, ClassContract}, {110402, 1, ClassEmployee}});

    db.insertRows(QStringLiteral("tblOrganization"),
               {QStringLiteral("ID"), QStringLiteral("Name"), QStringLiteral("Address"), QStringLiteral("Phone1"),
                QStringLiteral("EconomicCode")},
               {{1, QStringLiteral("شرکت پارس‌نوین"), QStringLiteral("تهران، خیابان ولیعصر، پلاک 1240"),
                 QStringLiteral("021-88776655"), QStringLiteral("411122223333")},
                {2, QStringLiteral("شرکت آریا تجارت"), QStringLiteral("اصفهان، خیابان چهارباغ عباسی، کوچه 14"),
                 QStringLiteral("031-32214567"), QStringLiteral("411144445555")},
                {3, QStringLiteral("فروشگاه زنجیره‌ای کوروش"), QStringLiteral("تهران، بزرگراه ستاری، نبش خیابان پیامبر"),
                 QStringLiteral("021-44556677"), QStringLiteral("411166667777")},
                {4, QStringLiteral("بازرگانی صدف"), QStringLiteral("مشهد، بلوار وکیل‌آباد، پلاک 88"),
                 QStringLiteral("051-38412233"), QStringLiteral("411188889999")},
                {5, QStringLiteral("موسسه خیریه امید"), Null, Null, Null}});
    db.insertRows(QStringLiteral("tblAccountRelatedObjects"),
               {QStringLiteral("AccountID"), QStringLiteral("RelatedClassID"), QStringLiteral("RelatedObjectID")},
               {{110301, ClassOrganization, 1},
                {110302, ClassOrganization, 2},
                {110303, ClassOrganization, 3},
                {110304, ClassOrganization, 4},
                {110305, ClassOrganization, 5}});

    db.insertRows(QStringLiteral("tblAccountContractProject"),
               {QStringLiteral("ID"), QStringLiteral("Code"), QStringLiteral("Title"), QStringLiteral("Kind")},
               {{1, QStringLiteral("C-1405-01"), QStringLiteral("قرارداد پشتیبانی نرم‌افزار"), 1},
                {2, QStringLiteral("P-201"), QStringLiteral("پروژه ساختمان اداری ونک"), 2},
                {3, QStringLiteral("C-1405-07"), QStringLiteral("قرارداد تامین تجهیزات شعب"), 1},
                {4, QStringLiteral("P-305"), QStringLiteral("پروژه نوسازی فروشگاه‌ها"), 2}});

    // The current Persian year is the open period; the previous one is closed.
    const QDate today = QDate::currentDate();
    const QDate begin = PersianDate::yearStart(today);
    const QDate end = PersianDate::yearEnd(today);
    const QDate prevBegin = PersianDate::yearStart(begin.addDays(-1));
    const QString year = PersianDate::fromDate(begin).left(4);
    const QString prevYear = PersianDate::fromDate(prevBegin).left(4);
    db.insertRows(QStringLiteral("tblAccountPeriod"),
               {QStringLiteral("ID"), QStringLiteral("Title"), QStringLiteral("IsActive"), QStringLiteral("BeginDate"),
                QStringLiteral("EndDate"), QStringLiteral("FarsiBeginDate"), QStringLiteral("FarsiEndDate")},
               {{1, QString(QStringLiteral("سال مالی ") + prevYear), 0, prevBegin.startOfDay(), begin.addDays(-1).startOfDay(),
                 PersianDate::fromDate(prevBegin), PersianDate::fromDate(begin.addDays(-1))},
                {2, QString(QStringLiteral("سال مالی ") + year), 1, begin.startOfDay(), end.startOfDay(),
                 PersianDate::fromDate(begin), PersianDate::fromDate(end)}});
    db.insertRows(QStringLiteral("tblUserAccountPeriod"), {QStringLiteral("AccountPeriodID"), QStringLiteral("UserID")},
               {{1, 486}, {2, 1}, {2, 486}, {2, 512}, {2, 756}});

    db.insertRows(QStringLiteral("tblOmberSystemParameters"),
               {QStringLiteral("ID"), QStringLiteral("Title"), QStringLiteral("Value")},
               {{ParamAccountRequired, QStringLiteral("حساب طرف مقابل در ثبت دریافت الزامی است"), QStringLiteral("1")},
                {ParamAchieverRequired, QStringLiteral("وصول کننده در ثبت دریافت الزامی است"), QStringLiteral("0")},
                {ParamAccountingDocuments, QStringLiteral("ثبت سند حسابداری دریافت و پرداخت"), QStringLiteral("1")},
                {ParamDetailLevelPicker, QStringLiteral("انتخاب طرف حساب با سطوح تفصیلی"), QStringLiteral("0")},
                {ParamBranchRequired, QStringLiteral("شعبه در ثبت دریافت الزامی است"), QStringLiteral("0")},
                {ParamAmountRequired, QStringLiteral("مبلغ دریافت نباید صفر باشد"), QStringLiteral("1")}});
    db.insertRows(QStringLiteral("tblOmberBasePath"),
               {QStringLiteral("ID"), QStringLiteral("Title"), QStringLiteral("BasePath")},
               {{1, QStringLiteral("قالب‌های چاپ"), reportBasePath}});
    db.insertRows(QStringLiteral("tblOmberReportTemplate"),
               {QStringLiteral("ID"), QStringLiteral("FormTypeID"), QStringLiteral("Title"), QStringLiteral("FilePath")},
               {{1, FormCashReceipt, QStringLiteral("رسید دریافت نقدی"), QStringLiteral("reports/RPDCashRec.html")}});

    db.insertRows(QStringLiteral("tblInventory"), {QStringLiteral("ID"), QStringLiteral("Title")},
               {{1, QStringLiteral("انبار مرکزی")}, {2, QStringLiteral("انبار اصفهان")}});
    db.insertRows(QStringLiteral("tblInventoryUser"),
               {QStringLiteral("InventoryID"), QStringLiteral("UserID"), QStringLiteral("IsPrimary")},
               {{1, 486, 1}, {2, 756, 1}, {1, 756, 0}});

    // Cash boxes: the petty-cash box has no ledger account on purpose.
    db.insertRows(QStringLiteral("tblRecPayCash"),
               {QStringLiteral("ID"), QStringLiteral("Name"), QStringLiteral("AccountID"), QStringLiteral("BranchID")},
               {{1, QStringLiteral("صندوق مرکزی"), 110101, 1},
                {2, QStringLiteral("صندوق فروشگاه"), 110102, 1},
                {3, QStringLiteral("صندوق شعبه اصفهان"), 110103, 2},
                {4, QStringLiteral("صندوق تنخواه"), Null, 1}});
    db.insertRows(QStringLiteral("tblRecPayCashUsers"), {QStringLiteral("CashID"), QStringLiteral("UserID")},
               {{1, 486}, {2, 486}, {4, 486}, {2, 756}, {3, 756}, {1, 512}, {1, 1}, {2, 1}, {3, 1}, {4, 1}});

    const QList<QVariantList> turns = {
        {1, 1, 10, 486, 0, daysAgo(40), daysAgo(33)},
        {2, 1, 11, 486, 0, daysAgo(12), daysAgo(3)},
        {3, 1, 12, 486, 1, daysAgo(2), Null},
        {4, 2, 7, 756, 1, daysAgo(5), Null},
        {5, 3, 3, 756, 1, daysAgo(1), Null},
        {6, 4, 2, 486, 0, daysAgo(20), daysAgo(19)},
    };
    QList<QVariantList> turnRows;
    for (const QVariantList &t : turns) {
        QVariantList row = t;
        row.insert(6, farsi(t[5].toDateTime()));
        row.append(t[6].isNull() ? Null : QVariant(farsi(t[6].toDateTime())));
        turnRows.append(row);
    }
    db.insertRows(QStringLiteral("tblRecPayCashTurn"),
               {QStringLiteral("ID"), QStringLiteral("CashID"), QStringLiteral("Turn"), QStringLiteral("UserID"),
                QStringLiteral("IsOpen"), QStringLiteral("OpenDate"), QStringLiteral("FarsiOpenDate"),
                QStringLiteral("CloseDate"), QStringLiteral("FarsiCloseDate")},
               turnRows);
    // User 486 works in 756's shop turn too.
    db.insertRows(QStringLiteral("tblRecPayCashTurnUser"), {QStringLiteral("CashTurnID"), QStringLiteral("UserID")},
               {{4, 486}});

    const QHash<int, int> cashAccounts = {{1, 110101}, {2, 110102}, {3, 110103}};
    auto text = [](int which, int number) {
        return QString::fromUtf8(Descriptions[which]).arg(number);
    };
    const QList<DemoReceipt> receipts = {
        {1, 1, 39, 12500000, 110301, 1, 3, 1, true, 486, text(0, 4312)},
        {1, 1, 37, 3750000, 110302, 0, 5, 1, true, 486, text(2, 4290)},
        {1, 1, 35, 48000000, 4201, 0, 0, 1, true, 486, text(3, 9)},
        {2, 1, 11, 1250000, 110303, 3, 3, 1, true, 486, text(4, 4388)},
        {2, 1, 8, 22000000, 110304, 2, 7, 1, true, 486, text(1, 3)},
        {2, 1, 5, 640000, 4101, 0, 0, 1, false, 486, text(4, 4402)},
        {3, 1, 2, 15750000, 110301, 1, 3, 1, true, 486, text(0, 4417)},
        {3, 1, 1, 9800000, 110401, 2, 5, 1, true, 486, text(5, 128), ClassOrganization, 2},
        {3, 1, 1, 2300000, 110402, 0, 3, 1, true, 486, text(6, 57), ClassEmployee, 8},
        {3, 1, 0, 5400000, 110302, 0, 0, 0, false, 486, text(2, 4421)},
        {3, 1, 0, 780000, 0, 0, 0, 0, false, 486, QStringLiteral("دریافت نقدی - طرف حساب بعدا مشخص می‌شود")},
        {4, 2, 4, 3150000, 110303, 0, 9, 1, true, 756, text(4, 7712)},
        {4, 2, 3, 11200000, 4102, 4, 9, 1, true, 756, text(5, 131)},
        {5, 3, 1, 6700000, 110302, 3, 10, 2, true, 756, text(0, 5520)},
    };
    QList<int> receiptIds;
    for (const DemoReceipt &r : receipts)
        receiptIds.append(writeDemoReceipt(db, r, cashAccounts));

    // A payment in the open turn: the receipt form must never load it.
    db.exec(
                 QStringLiteral("INSERT INTO tblRecPayCashTurnDetail (CashTurnID, Code, TransactionDate, "
                                "FarsiTransactionDate, Description, ReceivedValue, PayedValue, RelatedAccountID, "
                                "FormTypeID, FormID, CreateDate) VALUES (3, 1, ?, ?, ?, 0, 450000, 110110, ?, -1, ?)"),
                 {daysAgo(1), farsi(daysAgo(1)), QStringLiteral("پرداخت هزینه پیک"), FormCashPayment,
                  QDateTime::currentDateTime()});

    // Links from other forms: a removable one and one that blocks deletion.
    db.insertRows(QStringLiteral("tblOmberRelatedForms"),
               {QStringLiteral("RelatedFormTypeID"), QStringLiteral("RelatedFormID"),
                QStringLiteral("ReferenceFormTypeID"), QStringLiteral("ReferenceFormID")},
               {{RelatedFormRemovable, 31, FormCashReceipt, receiptIds[9]},
                {1201, 14, FormCashReceipt, receiptIds[4]}});

    fillSiblingDemoData(db);
    db.idsGiven();
    tx.commit();
}

void addBulkReceipts(SuiteWriter &db, qint64 count)
{
    const QVariant cashCount = db.scalar(QStringLiteral("SELECT count(*) FROM tblRecPayCash WHERE AccountID IS NOT NULL"));
    if (!cashCount.isValid() || cashCount.toInt() == 0)
        throw VbError::database(QStringLiteral("براي افزودن دريافت ها ابتدا داده هاي نمونه لازم است."), QStringLiteral("SQLite"));

    db.bulk(true);
    WriterTransaction tx(db);
    db.codesInBulk(true);
    QRandomGenerator rng(20261205);

    const int perTurn = 500;
    const qint64 turns = (count + perTurn - 1) / perTurn;
    const int cashIds[] = {1, 2, 3};
    const int users[] = {486, 756, 512};
    int nextCode = db.scalar(QStringLiteral("SELECT coalesce(max(Code), 0) + 1 FROM tblRecPayCashTurnDetail "
                                            "WHERE FormTypeID = ? AND Code IS NOT NULL"),
                             {ids::FormCashReceipt})
                       .toInt();
    QHash<int, int> nextTurn;
    for (int cash : cashIds)
        nextTurn[cash] = db.scalar(QStringLiteral("SELECT coalesce(max(Turn), 0) + 1000 FROM tblRecPayCashTurn WHERE CashID = ?"), {cash}).toInt();

    const QString turn = QStringLiteral("INSERT INTO tblRecPayCashTurn (CashID, Turn, UserID, IsOpen, OpenDate, "
                                        "FarsiOpenDate, CloseDate, FarsiCloseDate) VALUES (?,?,?,0,?,?,?,?)");
    const QString receipt = QStringLiteral("INSERT INTO tblRecPayCashTurnDetail (CashTurnID, Code, TransactionDate, "
                                           "FarsiTransactionDate, Description, ReceivedValue, PayedValue, RelatedAccountID, "
                                           "ContractID, BranchID, AchieverID, FormTypeID, FormID, CreateDate) "
                                           "VALUES (?,?,?,?,?,?,0,?,?,?,?,?,-1,?)");
    qint64 written = 0;
    const int spanDays = 730;
    for (qint64 t = 0; t < turns; ++t) {
        const int cash = cashIds[t % 3];
        const int day = spanDays - int(t * spanDays / qMax<qint64>(turns, 1)) + 1;
        const QDateTime opened = daysAgo(day);
        const QString farsiOpened = farsi(opened);
        const qint64 turnId =
            db.insert(turn, {cash, nextTurn[cash]++, users[t % 3], opened, farsiOpened, opened, farsiOpened});
        for (int k = 0; k < perTurn && written < count; ++k, ++written) {
            const bool final = rng.bounded(10) != 0;
            const int account = CounterpartyAccounts[rng.bounded(int(std::size(CounterpartyAccounts)))];
            const int contract = rng.bounded(3) == 0 ? int(rng.bounded(1, 5)) : 0;
            const qint64 amount = qint64(rng.bounded(10, 500000)) * 1000;
            // Written at a time of day; dated as the form dates a receipt, at midnight.
            const QDateTime at = opened.addSecs(8 * 3600 + k * 60);
            db.exec(receipt, {turnId, final ? QVariant(nextCode++) : Null, at.date().startOfDay(), farsiOpened,
                              QString::fromUtf8(Descriptions[rng.bounded(int(std::size(Descriptions)))])
                                  .arg(rng.bounded(1000, 99999)),
                              amount, account, contract ? QVariant(contract) : Null, cash == 3 ? 2 : 1,
                              int(rng.bounded(1, 13)), ids::FormCashReceipt, at});
        }
    }
    db.codesInBulk(false);
    tx.commit();
    db.bulk(false);
}

} // namespace suite
