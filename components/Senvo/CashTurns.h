#pragma once

#include "core/Currency.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

class SiblingSession;

// A turn as the manager lists it. The count, the expected cash and the
// difference exist only once the turn is closed.
struct TurnRow
{
    qint32 id = 0;
    qint32 cashId = 0;
    qint32 turn = 0;
    qint32 userId = 0;
    QString cashName;
    QString cashier;
    QStringList members;
    bool open = false;
    QString farsiOpen;
    QString farsiClose;
    Currency opening;
    QVariant counted;    // Currency; null while open
    QVariant difference; // counted less expected; null while open
};

struct TurnMember
{
    qint32 userId = 0;
    QString name;
};

struct CloseResult
{
    Currency expected;
    Currency counted;
    Currency difference; // counted less expected: below zero the box is short
};

// Opening and closing cash turns.
//
// What may be open at once: each cashier has at most one open turn on a
// cash box (several cashiers may each have their own on the same box), and
// opens it only on a box he may work on, admitting as members only users
// who may work on that box too. A turn is closed by its cashier (right
// 20502) or by a user with right 20503, with a blind count: the counted
// cash is given first, and only then is the expected cash (what the turn
// opened with, plus its receipts, less its payments) worked out and the
// difference stored with the turn, with the expected cash itself (so that a
// later change of the turn's receipts shows) and who closed it; the close's
// time is the turn's CloseDate. A closed turn is never changed here.
// Every change is one transaction.
class CashTurns
{
public:
    explicit CashTurns(SiblingSession &session) : m_session(session) {}

    struct Cash
    {
        qint32 id;
        QString name;
    };
    // The boxes the user may work on.
    QVector<Cash> cashBoxes();
    // The turns of those boxes: open ones first, then the latest first.
    QVector<TurnRow> turns();
    qint32 nextTurnNumber(qint32 cashId);
    // Who may be admitted to a turn of the box besides the user.
    QVector<TurnMember> candidates(qint32 cashId);

    // The new turn's ID; refused (in Persian) when a rule above forbids it.
    qint32 open(qint32 cashId, Currency openingCash, const QList<qint32> &members);
    CloseResult close(qint32 turnId, Currency counted);

private:
    bool mayWorkOn(qint32 cashId);

    SiblingSession &m_session;
};
