// The four sibling components: the accounting document, the cash ledger,
// the cash-turn manager and the chart of accounts, on the demo database.

#include "SiblingFixture.h"

#include "Lidmar/Lidmar1.h"
#include "Lidmar/frmLidmar.h"
#include "Mosker/ChartOfAccounts.h"
#include "Mosker/Mosker1.h"
#include "Mosker/frmMosker.h"
#include "Rulane/CashLedger.h"
#include "Rulane/Rulane1.h"
#include "Rulane/frmRulane.h"
#include "Senvo/CashTurns.h"
#include "Senvo/Senvo1.h"
#include "Senvo/frmSenvo.h"
#include "common/ComponentRegistry.h"
#include "common/LateBound.h"
#include "core/PersianDate.h"
#include "support/Errors.h"

#include <QComboBox>
#include <QListWidget>
#include <QTableWidget>
#include <QTreeWidget>

namespace {

Currency rials(qint64 units)
{
    return Currency::fromInteger(units);
}

const QString NotAllowed = QStringLiteral("شما به انجام اين عمليات مجاز نيستيد.");

// Whether a step is refused (the message is the component's own wording);
// any other error fails the test.
bool refused(const std::function<void()> &step)
{
    const VbError e = raisedBy(step);
    EXPECT_TRUE(e.number() == 0 || e.number() == RefusalNumber) << e.number() << " " << e.description().toStdString();
    return e.number() == RefusalNumber && !e.description().isEmpty();
}

QString cellText(QTableWidget *grid, int row, int column)
{
    const QTableWidgetItem *item = grid->item(row, column);
    return item ? item->text() : QString();
}

// The text of a label or box of a screen.
QString textOf(QWidget *screen, const char *name)
{
    return childOf<QWidget>(screen, name)->property("text").toString();
}

void click(QWidget *screen, const char *button)
{
    childOf<QPushButton>(screen, button)->click();
}

// Clears the box, focuses it as a click would and types keys into it.
void typeInto(QWidget *screen, const char *name, const QString &keys)
{
    auto *box = childOf<QLineEdit>(screen, name);
    box->clear();
    ASSERT_EQ(focusInto(box), box);
    QTest::keyClicks(box, keys);
}

class SiblingScreens : public SiblingFixture
{
protected:
    qint32 documentOfReceipt(int receiptId)
    {
        return db->scalar(QStringLiteral("SELECT DocumentID FROM tblAccountDocumentDetail WHERE FormTypeID = 206 AND "
                                         "FormID = %1 ORDER BY ID LIMIT 1").arg(receiptId)).toInt();
    }
};

} // namespace

TEST_F(SiblingScreens, EachComponentRefusesAUserWithoutItsRightAndShowsNothing)
{
    std::unique_ptr<SiblingComponent> components[] = {std::make_unique<Lidmar1>(), std::make_unique<Rulane1>(),
                                                      std::make_unique<Senvo1>(), std::make_unique<Mosker1>()};
    for (auto &component : components) {
        // The four the receipt form gives every component it opens.
        LateBound::set(component.get(), "UserID", 623);
        LateBound::set(component.get(), "PositionID", 3);
        LateBound::set(component.get(), "EmployeeID", 7);
        LateBound::set(component.get(), "OLEConnectionString", db->connectionString());
        LateBound::call(component.get(), "ClearShow");
    }
    EXPECT_EQ(modalShows(), 0);
    EXPECT_EQ(shownBoxes(), QStringList(4, errorBox(NotAllowed)));

    // The cashier sees all four; a bad connection is reported, not thrown.
    ScriptedMessageBox::clear();
    QStringList screens;
    for (auto &component : components) {
        onModal([&](QWidget *screen) { screens << screen->objectName(); });
        LateBound::set(component.get(), "UserID", 486);
        LateBound::call(component.get(), "ClearShow");
    }
    EXPECT_EQ(screens, (QStringList{QStringLiteral("frmLidmar"), QStringLiteral("frmRulane"),
                                    QStringLiteral("frmSenvo"), QStringLiteral("frmMosker")}));
    EXPECT_TRUE(ScriptedMessageBox::shown().isEmpty());
    LateBound::set(components[1].get(), "OLEConnectionString", QStringLiteral("0"));
    EXPECT_NO_THROW(LateBound::call(components[1].get(), "View", {3}));
    ASSERT_EQ(ScriptedMessageBox::shown().size(), 1);
    EXPECT_EQ(ScriptedMessageBox::shown()[0].title, QStringLiteral("خطا"));
}

// --- Accounting document ------------------------------------------------

TEST_F(SiblingScreens, TheDocumentShowsItsRowsAndTotalsMarksAnUnbalancedOneAndIsFoundByItsNumber)
{
    const qint32 id = documentOfReceipt(8);
    ASSERT_GT(id, 0);
    auto s = session();
    frmLidmar screen(*s);
    screen.showDocument(id);
    auto *grid = childOf<QTableWidget>(&screen, "grdRows");
    ASSERT_EQ(grid->rowCount(), 2);
    const auto row = [&](int r) {
        QStringList cells;
        for (int c = 1; c <= 5; ++c)
            cells << cellText(grid, r, c);
        return cells.join(u'|');
    };
    EXPECT_EQ(row(0), QStringLiteral("110101|صندوق مرکزی|صندوق: صندوق مرکزی|9/800/000|0"));
    EXPECT_TRUE(row(1).endsWith(QStringLiteral("|سازمان: شرکت آریا تجارت|0|9/800/000"))) << row(1).toStdString();
    EXPECT_EQ(textOf(&screen, "lblBalance"), QStringLiteral("سند تراز است."));

    db->exec(QStringLiteral("UPDATE tblAccountDocumentDetail SET CreditValue = 9700000 WHERE DocumentID = %1 AND "
                            "RowNumber = 2").arg(id));
    screen.showDocument(id);
    EXPECT_EQ(textOf(&screen, "lblTotalCredit"), QStringLiteral("9/700/000"));
    EXPECT_EQ(textOf(&screen, "lblBalance"), QStringLiteral("سند تراز نيست: 100/000 ريال بدهكار بيشتر است."));

    // Typed into the number box: another document, then one that does not exist.
    const qint32 other = documentOfReceipt(1);
    typeInto(&screen, "txtDocCode",
             db->scalar(QStringLiteral("SELECT Code FROM tblAccountDocument WHERE ID = %1").arg(other)).toString() + u'\r');
    EXPECT_EQ(screen.document().id, other);
    EXPECT_EQ(grid->rowCount(), 2);
    typeInto(&screen, "txtDocCode", QStringLiteral("9999\r"));
    EXPECT_EQ(ScriptedMessageBox::messages(), QStringList{QStringLiteral("سندي با شماره 9999 وجود ندارد.")});
    EXPECT_EQ(grid->rowCount(), 0);
}

// --- Cash ledger ----------------------------------------------------------

TEST_F(SiblingScreens, TheLedgerOfATurnOrOfABoxOverDatesHidesAnOpenTurnsBalanceFromItsCashierOnly)
{
    // While turn 3 is open its balances are for the accountant (right 20503).
    auto accountant = session(512);
    const CashLedger ledger = CashLedger::ofTurn(*accountant, 3);
    EXPECT_EQ(ledger.opening, rials(2000000));
    QVector<qint64> received, payed, balances;
    for (const LedgerLine &line : ledger.lines)
        received << line.received.units(), payed << line.payed.units(), balances << line.balance.units();
    EXPECT_EQ(received, (QVector<qint64>{15750000, 9800000, 2300000, 0, 5400000, 780000}));
    EXPECT_EQ(payed, (QVector<qint64>{0, 0, 0, 450000, 0, 0}));
    EXPECT_EQ(balances, (QVector<qint64>{17750000, 27550000, 29850000, 29400000, 34800000, 35580000}));
    EXPECT_EQ(ledger.totalReceived, rials(34030000));
    EXPECT_EQ(ledger.totalPayed, rials(450000));
    EXPECT_FALSE(ledger.blind);

    // Its cashier sees the movements and no balance, the closing one least.
    auto s = session();
    frmRulane screen(*s);
    screen.showTurn(3);
    auto *grid = childOf<QTableWidget>(&screen, "grdLedger");
    ASSERT_EQ(grid->rowCount(), 7);
    EXPECT_EQ(cellText(grid, 0, 3) + u'|' + cellText(grid, 0, 7), QStringLiteral("مانده از قبل|"));
    EXPECT_EQ(cellText(grid, 1, 5) + u'|' + cellText(grid, 1, 7), QStringLiteral("15/750/000|"));
    EXPECT_EQ(cellText(grid, 4, 1) + u'|' + cellText(grid, 5, 2), QStringLiteral("پرداخت|موقت"));
    EXPECT_EQ(textOf(&screen, "lblClosing") + textOf(&screen, "lblTotalReceived"),
              QStringLiteral("تا بستن نوبت نشان داده نمي شود"));
    EXPECT_TRUE(textOf(&screen, "lblTitle").contains(QStringLiteral("نوبت 12")));

    // A double-clicked receipt opens read-only in the ledger's own card, even
    // where a receipt component is registered: the receipt form that opened
    // the ledger may be editing it.
    QString card;
    onModal([&](QWidget *w) { card = w->objectName() + u'|' + textOf(w, "txtAmount") + u'|' + textOf(w, "lblState"); });
    int receiptForms = 0;
    ComponentRegistry::registerComponent(QStringLiteral("Pardex.Pardex1"), [&] {
        ++receiptForms;
        return new QObject;
    });
    grid->setCurrentCell(1, 3); // receipt 7
    Q_EMIT grid->cellDoubleClicked(1, 3);
    ComponentRegistry::unregisterComponent(QStringLiteral("Pardex.Pardex1"));
    EXPECT_EQ(modalShows(), 1);
    EXPECT_EQ(card, QStringLiteral("frmRulaneReceipt|15/750/000|دريافت نقدي - ثبت نهايي"));
    EXPECT_EQ(receiptForms, 0);

    // A box over dates brings forward everything before: turn 10 whole and
    // the first receipt of turn 11.
    const QDate today = QDate::currentDate();
    const CashLedger overDates = CashLedger::ofCash(*accountant, 1, today.addDays(-10), today);
    EXPECT_EQ(overDates.opening, rials(64250000 + 1250000));
    EXPECT_EQ(overDates.lines.size(), 8);
    EXPECT_EQ(overDates.totalReceived, rials(22640000 + 34030000));
    EXPECT_EQ(overDates.closing(), rials(65500000 + 56670000 - 450000));

    // The screen's pick: box and Persian dates.
    screen.prepareEmpty();
    auto *boxes = childOf<QComboBox>(&screen, "cboCash");
    EXPECT_EQ(boxes->count(), 3); // 486 works on boxes 1, 2 and 4
    boxes->setCurrentIndex(boxes->findData(1));
    childOf<QWidget>(&screen, "dtpFrom")->setProperty("Value", today.addDays(-10));
    childOf<QWidget>(&screen, "dtpTo")->setProperty("Value", today);
    click(&screen, "cmdShow");
    EXPECT_EQ(grid->rowCount(), 9);
    // Open turn 3's movements are among them: the cashier sees no balance.
    EXPECT_TRUE(screen.ledger().blind);
    // Before turn 3 opened, and for a cashier's closed turn, there is no secret.
    EXPECT_FALSE(CashLedger::ofCash(*s, 1, today.addDays(-10), today.addDays(-3)).blind);
    EXPECT_EQ(CashLedger::ofTurn(*s, 2).closing(), rials(24890000));
    childOf<QWidget>(&screen, "dtpFrom")->setProperty("Value", today.addDays(1));
    click(&screen, "cmdShow");
    EXPECT_EQ(ScriptedMessageBox::messages(), QStringList{QStringLiteral("تاريخ پايان پيش از تاريخ شروع است.")});

    // Only turns and boxes the user may work on; a member of a turn sees it.
    auto maryam = session(756);
    EXPECT_TRUE(refused([&] { CashLedger::ofTurn(*maryam, 3); }));
    EXPECT_TRUE(refused([&] { CashLedger::ofCash(*maryam, 1, today, today); }));
    EXPECT_FALSE(refused([&] { CashLedger::ofTurn(*s, 4); }));
    EXPECT_TRUE(refused([&] { CashLedger::ofTurn(*s, 99); }));
}

// --- Cash turns -----------------------------------------------------------

// Closing and opening as the cashier does them on the manager screen; the
// rules behind the screen refuse what it does not offer.
TEST_F(SiblingScreens, TheManagerClosesABlindCountOnceAndOpensOneTurnPerCashierAndBoxWithItsMembers)
{
    auto s = session(486);
    frmSenvo screen(*s);
    screen.load();
    auto *grid = childOf<QTableWidget>(&screen, "grdTurns");
    const auto rowOf = [&](qint32 turnId) {
        for (int r = 0; r < screen.turns().size(); ++r)
            if (screen.turns()[r].id == turnId)
                return r;
        return -1;
    };
    ASSERT_GE(rowOf(3), 0);
    EXPECT_EQ(cellText(grid, rowOf(3), 9), QString()); // expected
    // A closed turn's difference, its minus sign kept in front on a right-to-left screen.
    EXPECT_EQ(cellText(grid, rowOf(2), 10), QStringLiteral("\u200E-\u200E50/000"));
    EXPECT_EQ(cellText(grid, rowOf(4), 3), QStringLiteral("علی رضایی")); // its member

    screen.selectTurn(3);
    EXPECT_FALSE(textOf(&screen, "lblCloseResult").contains(QStringLiteral("35/580/000")));
    typeInto(&screen, "txtCounted", QStringLiteral("35a600000"));
    EXPECT_EQ(textOf(&screen, "txtCounted"), QStringLiteral("35/600/000"));
    ScriptedMessageBox::answer(1);
    click(&screen, "cmdCloseTurn");
    EXPECT_EQ(ScriptedMessageBox::shown().size(), 1); // the question, answered yes
    EXPECT_EQ(textOf(&screen, "lblCloseResult"), QStringLiteral("مانده مورد انتظار: 35/580/000 ريال\nشمارش شده: "
                                                                "35/600/000 ريال\nاختلاف: 20/000 ريال (اضافه صندوق)"));
    EXPECT_EQ(cellText(grid, rowOf(3), 4) + u'|' + cellText(grid, rowOf(3), 9), QStringLiteral("بسته|35/580/000"));
    EXPECT_FALSE(childOf<QPushButton>(&screen, "cmdCloseTurn")->isEnabled()); // closed: read-only
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT IsOpen || '/' || CountedCash || '/' || CashDifference || '/' || "
                                        "ExpectedCash || '/' || ClosedByUserID || '/' || FarsiCloseDate || '/' || "
                                        "(CloseDate IS NOT NULL) FROM tblRecPayCashTurn WHERE ID = 3")).toString(),
              QStringLiteral("0/35600000/20000/35580000/486/") + PersianDate::today() + QStringLiteral("/1"));
    // Closed once; 756's turn is not his to close.
    CashTurns turns(*s);
    EXPECT_TRUE(refused([&] { turns.close(3, rials(35580000)); }));
    EXPECT_TRUE(refused([&] { turns.close(4, rials(0)); }));
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT CountedCash FROM tblRecPayCashTurn WHERE ID = 3")).toInt(), 35600000);

    auto *boxes = childOf<QComboBox>(&screen, "cboCash");
    boxes->setCurrentIndex(boxes->findData(2));
    screen.cboCash_Click();
    EXPECT_EQ(textOf(&screen, "txtNextTurn"), QStringLiteral("8"));
    typeInto(&screen, "txtOpeningCash", QStringLiteral("1000000"));
    auto *members = childOf<QListWidget>(&screen, "lstMembers");
    QStringList names;
    for (int i = 0; i < members->count(); ++i) {
        names << members->item(i)->text();
        members->item(i)->setCheckState(names.last() == QStringLiteral("مریم احمدی") ? Qt::Checked : Qt::Unchecked);
    }
    EXPECT_EQ(names, (QStringList{QStringLiteral("مدیر سیستم"), QStringLiteral("مریم احمدی")}));
    // A member that cannot be stored leaves no turn behind; the next press goes through.
    const int turnsBefore = db->count(QStringLiteral("tblRecPayCashTurn"));
    record.failNext(QStringLiteral("^Insert Into tblRecPayCashTurnUser"), QStringLiteral("disk full"));
    click(&screen, "cmdOpenTurn");
    EXPECT_TRUE(lastBox().message.contains(QStringLiteral("disk full")));
    EXPECT_EQ(db->count(QStringLiteral("tblRecPayCashTurn")), turnsBefore);
    click(&screen, "cmdOpenTurn");
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT Turn || '/' || t.UserID || '/' || IsOpen || '/' || OpeningCash || "
                                        "'/' || FarsiOpenDate || '/' || m.UserID FROM tblRecPayCashTurn t JOIN "
                                        "tblRecPayCashTurnUser m ON m.CashTurnID = t.ID WHERE t.CashID = 2 AND "
                                        "t.Turn = 8")).toString(),
              QStringLiteral("8/486/1/1000000/") + PersianDate::today() + QStringLiteral("/756"));
    EXPECT_EQ(textOf(&screen, "txtNextTurn"), QStringLiteral("9"));

    // 756's own turn on a box stays open beside his; a second one of 486's
    // does not, nor a turn of a user without the right.
    for (const auto &open : std::initializer_list<std::function<void()>>{
             [&] { turns.open(2, Currency(), {}); }, [&] { turns.open(3, Currency(), {}); },
             [&] { turns.open(4, Currency(), {756}); }, [&] { turns.open(4, rials(-1), {}); }})
        EXPECT_TRUE(refused(open));
    EXPECT_EQ(db->count(QStringLiteral("tblRecPayCashTurn WHERE CashID IN (3, 4) AND IsOpen = 1")), 1);
    auto reza = session(623);
    EXPECT_TRUE(refused([&] { CashTurns(*reza).open(1, Currency(), {}); }));
}

// The accountant closes anyone's turn, on a database made before the
// expected cash and the closer were stored too.
TEST_F(SiblingScreens, TheAccountantClosesAnyTurnOnAnOlderDatabase)
{
    db->exec(QStringLiteral("ALTER TABLE tblRecPayCashTurn DROP COLUMN ExpectedCash"));
    auto hossein = session(512);
    EXPECT_EQ(CashTurns(*hossein).close(4, rials(15850000)).difference, rials(0));
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT IsOpen || '/' || CashDifference FROM tblRecPayCashTurn WHERE ID = 4")).toString(),
              QStringLiteral("0/0"));
}

// --- Chart of accounts ------------------------------------------------------

TEST_F(SiblingScreens, AnAccountInUseIsNeverRemovedAndANewOneHasAUniqueCodeUnderAGroupWithItsLevels)
{
    auto s = session(512);
    ChartOfAccounts chart(*s);
    // Used in documents, a parent, used in receipts.
    for (const qint32 account : {110301, 1103, 110110})
        EXPECT_TRUE(refused([&] { chart.remove(account); })) << account;
    EXPECT_EQ(db->count(QStringLiteral("tblAccount WHERE ID IN (110301, 1103, 110110)")), 3);
    // An unused one goes with its related objects.
    EXPECT_FALSE(refused([&] { chart.remove(110305); }));
    EXPECT_EQ(db->count(QStringLiteral("tblAccount WHERE ID = 110305")), 0);
    EXPECT_EQ(db->count(QStringLiteral("tblAccountRelatedObjects WHERE AccountID = 110305")), 0);
    // 486 may add, not remove; an account goes under a group with a unique code and its detail levels.
    auto ali = session(486);
    EXPECT_TRUE(refused([&] { ChartOfAccounts(*ali).remove(110304); }));
    ChartOfAccounts adding(*ali);
    const NewAccount a{1103, QStringLiteral("110306"), QStringLiteral("  شرکت نمونه  "), true, {7, 12}};
    const qint32 id = adding.add(a);
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT Code || '/' || Title || '/' || ParentID || '/' || AccountLevel || '/' || "
                                        "IsDetail FROM tblAccount WHERE ID = %1").arg(id)).toString(),
              QStringLiteral("110306/شرکت نمونه/1103/4/1"));
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT group_concat(LevelNo || ':' || ClassID) FROM tblAccountDetailLevel "
                                        "WHERE AccountID = %1").arg(id)).toString(),
              QStringLiteral("1:7,2:12"));

    const struct
    {
        qint32 parent;
        const char *code;
        bool detail;
        QVector<qint32> levels;
        bool refused;
    } cases[] = {
        {1103, "110301", true, {}, true},       // a code in use
        {1103, "120001", true, {}, true},       // not under its parent's code
        {110301, "11030101", true, {}, true},   // under a detail account
        {1103, "1103x", true, {}, true},        // not digits
        {1103, "110307", false, {7}, true},     // levels of a group
        {1103, "110307", true, {7, 7}, true},   // one class on two levels
        {0, "5", true, {}, false},              // a new account at the top
    };
    for (const auto &c : cases)
        EXPECT_EQ(refused([&] { adding.add({c.parent, QLatin1String(c.code), QStringLiteral("حساب آزمايشي"), c.detail, c.levels}); }),
                  c.refused) << c.code;
    EXPECT_EQ(db->count(QStringLiteral("tblAccount WHERE Code IN ('120001', '11030101', '1103x', '110307')")), 0);
    EXPECT_EQ(db->count(QStringLiteral("tblAccount WHERE Code = '5' AND ParentID IS NULL AND AccountLevel = 1")), 1);

    // All or nothing: a failing level leaves no account.
    record.failNext(QStringLiteral("^Insert Into tblAccountDetailLevel"));
    EXPECT_TRUE(raisedBy([&] { adding.add({1103, QStringLiteral("110308"), QStringLiteral("حساب"), true, {7}}); })
                    .isDatabaseError());
    EXPECT_EQ(db->count(QStringLiteral("tblAccount WHERE Code = '110308'")), 0);
    auto maryam = session(756);
    EXPECT_TRUE(refused([&] { ChartOfAccounts(*maryam).add(a); }));
}

TEST_F(SiblingScreens, TheChartScreenAddsRenamesAndRefusesToRemoveAUsedAccount)
{
    auto s = session(1);
    frmMosker screen(*s);
    screen.load();
    auto *tree = childOf<QTreeWidget>(&screen, "treAccounts");
    EXPECT_EQ(tree->topLevelItemCount(), 2);

    screen.selectAccount(1104);
    click(&screen, "cmdNewChild");
    ASSERT_TRUE(screen.adding());
    EXPECT_EQ(textOf(&screen, "txtCode"), QStringLiteral("1104"));
    childOf<QLineEdit>(&screen, "txtCode")->setText(QStringLiteral("110403"));
    childOf<QLineEdit>(&screen, "txtTitle")->setText(QStringLiteral("پیش پرداخت ها"));
    click(&screen, "cmdSave");
    const qint32 added = screen.selectedAccountId();
    childOf<QLineEdit>(&screen, "txtTitle")->setText(QStringLiteral("پیش پرداخت های کوتاه مدت"));
    click(&screen, "cmdSave");
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT Code || '/' || Title FROM tblAccount WHERE ID = %1").arg(added)).toString(),
              QStringLiteral("110403/پیش پرداخت های کوتاه مدت"));

    screen.selectAccount(110401);
    ScriptedMessageBox::answer(1);
    click(&screen, "cmdDelete");
    ASSERT_EQ(ScriptedMessageBox::shown().size(), 2); // asked, then refused
    EXPECT_TRUE(shownBoxes()[1].startsWith(errorBox(QString())));
    EXPECT_EQ(db->count(QStringLiteral("tblAccount WHERE ID = 110401")), 1);
    EXPECT_EQ(screen.selectedAccountId(), 110401);
}

