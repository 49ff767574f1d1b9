#pragma once

#include "core/Currency.h"
#include "suite/Identifiers.h"

#include <QDate>
#include <QString>
#include <QVariant>
#include <QVector>

class SiblingSession;

// A cash box the user may work on.
struct CashBox
{
    qint32 id = 0;
    QString name;
};

// One movement of a cash box, with the balance after it.
struct LedgerLine
{
    qint32 id = 0;
    QVariant code;         // null for a receipt saved without a confirmed code
    qint32 formTypeId = 0; // receipts 206; anything else takes money out
    qint32 turn = 0;
    bool turnOpen = false;
    QString farsiDate;
    QString description;
    QString account;       // the counter-party account's code and title
    Currency received;
    Currency payed;
    Currency balance;

    bool isReceipt() const { return formTypeId == ids::FormCashReceipt; }
};

// The cash ledger: the movements of one turn, or of one cash box over a
// range of dates, in the order they happened, with the balance brought
// forward, a running balance and totals.
//
// A turn's ledger starts with the cash the turn was opened with, so that its
// closing balance is what the drawer should hold at the close. A cash box's
// ledger over dates starts with everything the box received less everything
// it paid before the first day. Receipts without a confirmed code are cash
// taken all the same and are counted.
//
// The count at a turn's close is blind: while a turn is open, what its
// drawer should hold is shown only to a user who may close anyone's turn
// (right 20503). Everyone else gets the movements alone (blind set): the
// brought-forward, running and closing balances and the totals are left at
// zero, so no screen can show them.
struct CashLedger
{
    QString title;
    qint32 cashId = 0;
    qint32 turnId = 0; // 0 for a ledger over dates
    bool blind = false;
    Currency opening;
    Currency totalReceived;
    Currency totalPayed;
    QVector<LedgerLine> lines;

    Currency closing() const { return opening + totalReceived - totalPayed; }

    // Refused when the turn does not exist or the user may not see its box
    // (he is neither permitted on the box nor the turn's cashier or member).
    static CashLedger ofTurn(SiblingSession &session, qint32 turnId);
    // Refused when the user may not work on the box or the range is empty.
    static CashLedger ofCash(SiblingSession &session, qint32 cashId, const QDate &from, const QDate &to);
    // The boxes the user may work on, in the order of their IDs.
    static QVector<CashBox> cashBoxes(SiblingSession &session);
};
