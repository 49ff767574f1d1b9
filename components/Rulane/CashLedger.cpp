#include "Rulane/CashLedger.h"

#include "core/PersianDate.h"
#include "core/Vb.h"
#include "sibling/SiblingSession.h"
#include "suite/Identifiers.h"

#include <algorithm>

namespace {

const QString LineColumns = QStringLiteral(
    "Select d.ID, d.Code, d.FormTypeID, t.Turn, t.IsOpen, d.FarsiTransactionDate, d.Description, d.ReceivedValue, "
    "d.PayedValue, a.Code As AccountCode, a.Title As AccountTitle From tblRecPayCashTurnDetail d "
    "Inner Join tblRecPayCashTurn t On t.ID = d.CashTurnID Left Join tblAccount a On a.ID = d.RelatedAccountID ");

void readLines(SiblingSession &session, CashLedger &ledger, const QString &where, const QVariantList &params)
{
    const RowSet rows =
        session.query(LineColumns + where + QStringLiteral(" Order By d.TransactionDate, d.ID"), params);
    Currency balance = ledger.opening;
    for (int r = 0; r < rows.rows.size(); ++r) {
        LedgerLine line;
        line.id = Vb::clng(field(rows, r, QStringLiteral("ID")));
        line.code = field(rows, r, QStringLiteral("Code"));
        line.formTypeId = int(Vb::numberOf(field(rows, r, QStringLiteral("FormTypeID"))));
        line.turn = int(Vb::numberOf(field(rows, r, QStringLiteral("Turn"))));
        line.turnOpen = Vb::numberOf(field(rows, r, QStringLiteral("IsOpen"))) == 1;
        line.farsiDate = Vb::textOf(field(rows, r, QStringLiteral("FarsiTransactionDate")));
        line.description = Vb::textOf(field(rows, r, QStringLiteral("Description")));
        const QString code = Vb::textOf(field(rows, r, QStringLiteral("AccountCode")));
        const QString title = Vb::textOf(field(rows, r, QStringLiteral("AccountTitle")));
        line.account = code.isEmpty() ? title : code + QStringLiteral(" - ") + title;
        line.received = moneyOf(field(rows, r, QStringLiteral("ReceivedValue")));
        line.payed = moneyOf(field(rows, r, QStringLiteral("PayedValue")));
        balance = balance + line.received - line.payed;
        line.balance = balance;
        ledger.totalReceived += line.received;
        ledger.totalPayed += line.payed;
        ledger.lines.append(line);
    }
}

// Blind for a user who may not see what an open turn should hold, when a
// movement of an open turn is among the lines (or the ledger is of one).
void hideOpenBalance(SiblingSession &session, CashLedger &ledger, bool ofOpenTurn)
{
    const bool openTurnShown = ofOpenTurn || std::any_of(ledger.lines.cbegin(), ledger.lines.cend(),
                                                         [](const LedgerLine &l) { return l.turnOpen; });
    if (!openTurnShown || session.hasPermission(ids::RightCloseAnyTurn))
        return;
    ledger.blind = true;
    ledger.opening = ledger.totalReceived = ledger.totalPayed = Currency();
    for (LedgerLine &line : ledger.lines)
        line.balance = Currency();
}

bool mayWorkOnCash(SiblingSession &session, qint32 cashId)
{
    return session
        .scalar(QStringLiteral("Select ID From vwRecPayCashUsers Where CashPermitUserID = ? And ID = ?"),
                {session.user().userId, cashId})
        .isValid();
}

} // namespace

CashLedger CashLedger::ofTurn(SiblingSession &session, qint32 turnId)
{
    const RowSet turn = session.query(
        QStringLiteral("Select t.ID, t.CashID, t.Turn, t.UserID, t.IsOpen, t.OpeningCash, t.FarsiOpenDate, "
                       "t.FarsiCloseDate, c.Name As CashName From tblRecPayCashTurn t Inner Join tblRecPayCash c "
                       "On c.ID = t.CashID Where t.ID = ?"),
        {turnId});
    if (turn.rows.isEmpty())
        refuse(QStringLiteral("نوبت صندوق شماره %1 وجود ندارد.").arg(turnId));

    CashLedger ledger;
    ledger.turnId = turnId;
    ledger.cashId = Vb::clng(field(turn, 0, QStringLiteral("CashID")));
    const qint32 user = session.user().userId;
    const bool own = Vb::numberOf(field(turn, 0, QStringLiteral("UserID"))) == user;
    const bool member =
        session.scalar(QStringLiteral("Select UserID From tblRecPayCashTurnUser Where CashTurnID = ? And UserID = ?"),
                       {turnId, user})
            .isValid();
    if (!own && !member && !mayWorkOnCash(session, ledger.cashId))
        refuse(QStringLiteral("شما به صندوق اين نوبت دسترسي نداريد."));

    const QString cashName = Vb::textOf(field(turn, 0, QStringLiteral("CashName")));
    const QString number = Vb::textOf(field(turn, 0, QStringLiteral("Turn")));
    const QString opened = Vb::textOf(field(turn, 0, QStringLiteral("FarsiOpenDate")));
    const bool open = Vb::numberOf(field(turn, 0, QStringLiteral("IsOpen"))) == 1;
    ledger.title = open ? QStringLiteral("گردش %1 - نوبت %2 (باز از %3)").arg(cashName, number, opened)
                        : QStringLiteral("گردش %1 - نوبت %2 (بسته: %3 تا %4)")
                              .arg(cashName, number, opened,
                                   Vb::textOf(field(turn, 0, QStringLiteral("FarsiCloseDate"))));
    ledger.opening = moneyOf(field(turn, 0, QStringLiteral("OpeningCash")));
    readLines(session, ledger, QStringLiteral("Where d.CashTurnID = ?"), {turnId});
    hideOpenBalance(session, ledger, open);
    return ledger;
}

CashLedger CashLedger::ofCash(SiblingSession &session, qint32 cashId, const QDate &from, const QDate &to)
{
    if (!from.isValid() || !to.isValid())
        refuse(QStringLiteral("بازه تاريخ كامل نيست."));
    if (to < from)
        refuse(QStringLiteral("تاريخ پايان پيش از تاريخ شروع است."));
    if (!mayWorkOnCash(session, cashId))
        refuse(QStringLiteral("شما به اين صندوق دسترسي نداريد."));

    CashLedger ledger;
    ledger.cashId = cashId;
    const QString name =
        Vb::textOf(session.scalar(QStringLiteral("Select Name From tblRecPayCash Where ID = ?"), {cashId}));
    ledger.title = QStringLiteral("گردش %1 از %2 تا %3").arg(name, PersianDate::fromDate(from), PersianDate::fromDate(to));

    // Dates are compared on the indexed Gregorian column: the first day
    // from midnight, the last one up to the next midnight.
    const QDate end = to.addDays(1);
    const RowSet before = session.query(
        QStringLiteral("Select Sum(d.ReceivedValue) As Received, Sum(d.PayedValue) As Payed From "
                       "tblRecPayCashTurnDetail d Inner Join tblRecPayCashTurn t On t.ID = d.CashTurnID Where "
                       "t.CashID = ? And d.TransactionDate < ?"),
        {cashId, from});
    ledger.opening = moneyOf(field(before, 0, QStringLiteral("Received"))) - moneyOf(field(before, 0, QStringLiteral("Payed")));
    readLines(session, ledger, QStringLiteral("Where t.CashID = ? And d.TransactionDate >= ? And d.TransactionDate < ?"),
              {cashId, from, end});
    hideOpenBalance(session, ledger, false);
    return ledger;
}

QVector<CashBox> CashLedger::cashBoxes(SiblingSession &session)
{
    const RowSet rows = session.query(
        QStringLiteral("Select ID, Name From vwRecPayCashUsers Where CashPermitUserID = ? Order By ID"),
        {session.user().userId});
    QVector<CashBox> boxes;
    for (int r = 0; r < rows.rows.size(); ++r)
        boxes.append({Vb::clng(field(rows, r, QStringLiteral("ID"))), Vb::textOf(field(rows, r, QStringLiteral("Name")))});
    return boxes;
}
