#include "sibling/CashTurnBalance.h"

#include "sibling/SiblingSession.h"

CashTurnBalance CashTurnBalance::of(SiblingSession &session, qint32 turnId)
{
    const RowSet rows = session.query(
        QStringLiteral("Select t.OpeningCash, (Select Sum(d.ReceivedValue) From tblRecPayCashTurnDetail d Where "
                       "d.CashTurnID = t.ID) As Received, (Select Sum(d.PayedValue) From tblRecPayCashTurnDetail d "
                       "Where d.CashTurnID = t.ID) As Payed From tblRecPayCashTurn t Where t.ID = ?"),
        {turnId});
    if (rows.rows.isEmpty())
        refuse(QStringLiteral("نوبت صندوق شماره %1 وجود ندارد.").arg(turnId));
    return {moneyOf(field(rows, 0, QStringLiteral("OpeningCash"))), moneyOf(field(rows, 0, QStringLiteral("Received"))),
            moneyOf(field(rows, 0, QStringLiteral("Payed")))};
}
