#include "Senvo/CashTurns.h"

#include "core/PersianDate.h"
#include "core/Vb.h"
#include "core/VbError.h"
#include "data/Transaction.h"
#include "sibling/CashTurnBalance.h"
#include "sibling/SiblingComponent.h"
#include "sibling/SiblingSession.h"
#include "suite/Identifiers.h"

#include <QHash>

namespace {

// The boxes a user may work on; its one value is the user.
const QString PermittedCashes = QStringLiteral("Select ID From vwRecPayCashUsers Where CashPermitUserID = ?");

} // namespace

bool CashTurns::mayWorkOn(qint32 cashId)
{
    return m_session.scalar(PermittedCashes + QStringLiteral(" And ID = ?"), {m_session.user().userId, cashId})
        .isValid();
}

QVector<CashTurns::Cash> CashTurns::cashBoxes()
{
    const RowSet rows = m_session.query(
        QStringLiteral("Select ID, Name From vwRecPayCashUsers Where CashPermitUserID = ? Order By ID"),
        {m_session.user().userId});
    QVector<Cash> boxes;
    for (int r = 0; r < rows.rows.size(); ++r)
        boxes.append({Vb::clng(field(rows, r, QStringLiteral("ID"))), Vb::textOf(field(rows, r, QStringLiteral("Name")))});
    return boxes;
}

QVector<TurnRow> CashTurns::turns()
{
    const QVariantList user = {m_session.user().userId};
    const RowSet rows = m_session.query(
        QStringLiteral("Select t.ID, t.CashID, t.Turn, t.UserID, t.IsOpen, t.FarsiOpenDate, t.FarsiCloseDate, "
                       "t.OpeningCash, t.CountedCash, t.CashDifference, c.Name As CashName, u.FullName As Cashier "
                       "From tblRecPayCashTurn t Inner Join tblRecPayCash c On c.ID = t.CashID Left Join tblUser u "
                       "On u.ID = t.UserID Where t.CashID In (")
        + PermittedCashes + QStringLiteral(") Order By t.IsOpen Desc, t.OpenDate Desc, t.ID Desc"),
        user);
    const RowSet members = m_session.query(
        QStringLiteral("Select m.CashTurnID, u.FullName From tblRecPayCashTurnUser m Inner Join tblUser u On u.ID = "
                       "m.UserID Where m.CashTurnID In (Select t.ID From tblRecPayCashTurn t Where t.CashID In (")
        + PermittedCashes + QStringLiteral(")) Order By m.CashTurnID, u.FullName"),
        user);
    QHash<qint32, QStringList> membersOf;
    for (int r = 0; r < members.rows.size(); ++r)
        membersOf[Vb::clng(field(members, r, QStringLiteral("CashTurnID")))]
            << Vb::textOf(field(members, r, QStringLiteral("FullName")));

    QVector<TurnRow> turns;
    for (int r = 0; r < rows.rows.size(); ++r) {
        TurnRow t;
        t.id = Vb::clng(field(rows, r, QStringLiteral("ID")));
        t.cashId = Vb::clng(field(rows, r, QStringLiteral("CashID")));
        t.turn = Vb::clng(field(rows, r, QStringLiteral("Turn")));
        t.userId = int(Vb::numberOf(field(rows, r, QStringLiteral("UserID"))));
        t.cashName = Vb::textOf(field(rows, r, QStringLiteral("CashName")));
        t.cashier = Vb::textOf(field(rows, r, QStringLiteral("Cashier")));
        t.members = membersOf.value(t.id);
        t.open = Vb::numberOf(field(rows, r, QStringLiteral("IsOpen"))) == 1;
        t.farsiOpen = Vb::textOf(field(rows, r, QStringLiteral("FarsiOpenDate")));
        t.farsiClose = Vb::textOf(field(rows, r, QStringLiteral("FarsiCloseDate")));
        t.opening = moneyOf(field(rows, r, QStringLiteral("OpeningCash")));
        const QVariant counted = field(rows, r, QStringLiteral("CountedCash"));
        const QVariant difference = field(rows, r, QStringLiteral("CashDifference"));
        if (!t.open && counted.isValid())
            t.counted = QVariant::fromValue(moneyOf(counted));
        if (!t.open && difference.isValid())
            t.difference = QVariant::fromValue(moneyOf(difference));
        turns.append(t);
    }
    return turns;
}

qint32 CashTurns::nextTurnNumber(qint32 cashId)
{
    return Vb::clng(m_session.scalar(
        QStringLiteral("Select IsNull(Max(Turn), 0) + 1 As NextTurn From tblRecPayCashTurn Where CashID = ?"),
        {cashId}));
}

QVector<TurnMember> CashTurns::candidates(qint32 cashId)
{
    const RowSet rows = m_session.query(
        QStringLiteral("Select u.ID, u.FullName From tblRecPayCashUsers cu Inner Join tblUser u On u.ID = cu.UserID "
                       "Where cu.CashID = ? And u.ID <> ? And u.IsActive = 1 Order By u.FullName"),
        {cashId, m_session.user().userId});
    QVector<TurnMember> members;
    for (int r = 0; r < rows.rows.size(); ++r)
        members.append(
            {Vb::clng(field(rows, r, QStringLiteral("ID"))), Vb::textOf(field(rows, r, QStringLiteral("FullName")))});
    return members;
}

qint32 CashTurns::open(qint32 cashId, Currency openingCash, const QList<qint32> &members)
{
    if (!m_session.hasPermission(ids::RightOpenTurn))
        refuse(SiblingComponent::RefusedText);
    const QString cashName =
        Vb::textOf(m_session.scalar(QStringLiteral("Select Name From tblRecPayCash Where ID = ?"), {cashId}));
    if (!mayWorkOn(cashId))
        refuse(QStringLiteral("شما مجاز به كار با صندوق «%1» نيستيد.")
                   .arg(cashName.isEmpty() ? QString::number(cashId) : cashName));
    if (openingCash < Currency())
        refuse(QStringLiteral("موجودي اول نوبت نمي تواند منفي باشد."));
    const QVector<TurnMember> allowed = candidates(cashId);
    for (qint32 member : members) {
        const bool found = std::any_of(allowed.begin(), allowed.end(), [&](const TurnMember &m) { return m.userId == member; });
        if (!found)
            refuse(QStringLiteral("كاربر شماره %1 به صندوق «%2» دسترسي ندارد و عضو نوبت نمي شود.").arg(member).arg(cashName));
    }

    const QDateTime now = m_session.serverNow();
    const qint32 user = m_session.user().userId;
    Transaction tx(m_session.connection());
    // Checked inside the transaction, so two managers cannot both open one.
    const QVariant ownOpen = m_session.scalar(
        QStringLiteral("Select Turn From tblRecPayCashTurn Where CashID = ? And UserID = ? And IsOpen = 1"),
        {cashId, user});
    if (ownOpen.isValid())
        refuse(QStringLiteral("شما در صندوق «%1» نوبت باز شماره %2 داريد؛ پيش از باز كردن نوبت تازه آن را ببنديد.")
                   .arg(cashName, Vb::textOf(ownOpen)));
    const qint32 turn = nextTurnNumber(cashId);
    m_session.execute(QStringLiteral("Insert Into tblRecPayCashTurn (CashID, Turn, UserID, IsOpen, OpenDate, "
                                     "FarsiOpenDate, OpeningCash) Values (?, ?, ?, 1, ?, ?, ?)"),
                      {cashId, turn, user, now, PersianDate::fromDate(now.date()), QVariant::fromValue(openingCash)});
    const qint32 id = Vb::clng(m_session.scalar(
        QStringLiteral("Select ID From tblRecPayCashTurn Where CashID = ? And Turn = ?"), {cashId, turn}));
    for (qint32 member : members)
        m_session.execute(QStringLiteral("Insert Into tblRecPayCashTurnUser (CashTurnID, UserID) Values (?, ?)"),
                          {id, member});
    tx.commit();
    return id;
}

CloseResult CashTurns::close(qint32 turnId, Currency counted)
{
    const QVariantList key = {turnId};
    const RowSet turn = m_session.query(QStringLiteral("Select t.UserID, t.IsOpen, t.Turn, c.Name As CashName From "
                                                       "tblRecPayCashTurn t Inner Join tblRecPayCash c On c.ID = "
                                                       "t.CashID Where t.ID = ?"),
                                        key);
    if (turn.rows.isEmpty())
        refuse(QStringLiteral("نوبت صندوق شماره %1 وجود ندارد.").arg(turnId));
    const QString name = QStringLiteral("نوبت %1 صندوق «%2»")
                             .arg(Vb::textOf(field(turn, 0, QStringLiteral("Turn"))),
                                  Vb::textOf(field(turn, 0, QStringLiteral("CashName"))));
    const auto refuseClosed = [&] { refuse(name + QStringLiteral(" پيش از اين بسته شده است.")); };
    if (Vb::numberOf(field(turn, 0, QStringLiteral("IsOpen"))) != 1)
        refuseClosed();
    const bool own = Vb::numberOf(field(turn, 0, QStringLiteral("UserID"))) == m_session.user().userId;
    if (!m_session.hasPermission(ids::RightCloseAnyTurn)) {
        if (!own)
            refuse(QStringLiteral("%1 را تنها صندوقدار آن يا كاربري با مجوز بستن همه نوبت ها مي بندد.").arg(name));
        if (!m_session.hasPermission(ids::RightCloseOwnTurn))
            refuse(SiblingComponent::RefusedText);
    }
    if (counted < Currency())
        refuse(QStringLiteral("موجودي شمارش شده نمي تواند منفي باشد."));

    // A database made before the expected cash and the closer were stored
    // still closes its turns, with the count and its difference alone.
    bool recordsCloser = true;
    try {
        m_session.query(QStringLiteral("Select ExpectedCash, ClosedByUserID From tblRecPayCashTurn Where ID = ?"), key);
    } catch (const VbError &) {
        recordsCloser = false;
    }

    const QDateTime now = m_session.serverNow();
    Transaction tx(m_session.connection());
    // The turn's row is taken first (a write that changes nothing), so that
    // two people closing it at once are one after the other: the second
    // finds it closed rather than writing over the first's count.
    m_session.execute(QStringLiteral("Update tblRecPayCashTurn Set IsOpen = IsOpen Where ID = ?"), key);
    if (Vb::numberOf(m_session.scalar(QStringLiteral("Select IsOpen From tblRecPayCashTurn Where ID = ?"), key)) != 1)
        refuseClosed();
    // The count was taken before anything was worked out: only now is the
    // expected cash read, inside the transaction that stores the difference.
    CloseResult result;
    result.counted = counted;
    result.expected = CashTurnBalance::of(m_session, turnId).closing();
    result.difference = counted - result.expected;
    QString set = QStringLiteral("IsOpen = 0, CloseDate = ?, FarsiCloseDate = ?, CountedCash = ?, CashDifference = ?");
    QVariantList values = {now, PersianDate::fromDate(now.date()), QVariant::fromValue(counted),
                           QVariant::fromValue(result.difference)};
    if (recordsCloser) {
        set += QStringLiteral(", ExpectedCash = ?, ClosedByUserID = ?");
        values << QVariant::fromValue(result.expected) << m_session.user().userId;
    }
    values << turnId;
    m_session.execute(QStringLiteral("Update tblRecPayCashTurn Set ") + set + QStringLiteral(" Where ID = ?"), values);
    tx.commit();
    return result;
}
