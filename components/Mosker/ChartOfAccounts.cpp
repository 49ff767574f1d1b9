#include "Mosker/ChartOfAccounts.h"

#include "core/Vb.h"
#include "data/Transaction.h"
#include "sibling/SiblingComponent.h"
#include "sibling/SiblingSession.h"
#include "suite/Identifiers.h"

#include <QHash>
#include <QRegularExpression>

namespace {

constexpr int MaxCodeLength = 30;
constexpr int MaxTitleLength = 200;

QString checkedTitle(const QString &title)
{
    const QString t = title.trimmed();
    if (t.isEmpty())
        refuse(QStringLiteral("عنوان حساب را وارد كنيد."));
    if (t.size() > MaxTitleLength)
        refuse(QStringLiteral("عنوان حساب بيش از %1 حرف است.").arg(MaxTitleLength));
    return t;
}

} // namespace

QVector<AccountNode> ChartOfAccounts::accounts()
{
    const RowSet rows = m_session.query(
        QStringLiteral("Select ID, Code, Title, ParentID, AccountLevel, IsDetail From tblAccount Order By Code"));
    const RowSet levels =
        m_session.query(QStringLiteral("Select AccountID, LevelNo, ClassID From tblAccountDetailLevel Order By AccountID, LevelNo"));
    QHash<qint32, QVector<qint32>> levelsOf;
    for (int r = 0; r < levels.rows.size(); ++r)
        levelsOf[Vb::clng(field(levels, r, QStringLiteral("AccountID")))]
            << Vb::clng(field(levels, r, QStringLiteral("ClassID")));
    QVector<AccountNode> accounts;
    for (int r = 0; r < rows.rows.size(); ++r) {
        AccountNode a;
        a.id = Vb::clng(field(rows, r, QStringLiteral("ID")));
        a.code = Vb::textOf(field(rows, r, QStringLiteral("Code")));
        a.title = Vb::textOf(field(rows, r, QStringLiteral("Title")));
        a.parentId = int(Vb::numberOf(field(rows, r, QStringLiteral("ParentID"))));
        a.level = int(Vb::numberOf(field(rows, r, QStringLiteral("AccountLevel"))));
        a.detail = Vb::numberOf(field(rows, r, QStringLiteral("IsDetail"))) != 0;
        a.levelClasses = levelsOf.value(a.id);
        accounts.append(a);
    }
    return accounts;
}

QVector<ObjectClass> ChartOfAccounts::classes()
{
    const RowSet rows = m_session.query(QStringLiteral("Select ID, Title From tblOmberObjectClass Order By ID"));
    QVector<ObjectClass> classes;
    for (int r = 0; r < rows.rows.size(); ++r)
        classes.append({Vb::clng(field(rows, r, QStringLiteral("ID"))), Vb::textOf(field(rows, r, QStringLiteral("Title")))});
    return classes;
}

AccountNode ChartOfAccounts::find(qint32 id)
{
    for (const AccountNode &a : accounts())
        if (a.id == id)
            return a;
    refuse(QStringLiteral("حساب شماره %1 وجود ندارد.").arg(id));
}

qint32 ChartOfAccounts::add(const NewAccount &account)
{
    if (!m_session.hasPermission(ids::RightAddAccount))
        refuse(SiblingComponent::RefusedText);
    const QString code = account.code.trimmed();
    const QString title = checkedTitle(account.title);
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    if (code.isEmpty())
        refuse(QStringLiteral("كد حساب را وارد كنيد."));
    if (!digits.match(code).hasMatch() || code.size() > MaxCodeLength)
        refuse(QStringLiteral("كد حساب بايد تنها از رقم باشد و بيش از %1 رقم نباشد.").arg(MaxCodeLength));

    int level = 1;
    if (account.parentId != 0) {
        const AccountNode parent = find(account.parentId);
        if (parent.detail)
            refuse(QStringLiteral("حساب «%1» حساب جزء است و زيرحساب نمي پذيرد.").arg(parent.title));
        if (!code.startsWith(parent.code) || code.size() <= parent.code.size())
            refuse(QStringLiteral("كد زيرحساب بايد با كد حساب مادر (%1) آغاز شود و از آن بلندتر باشد.").arg(parent.code));
        level = parent.level + 1;
    }

    if (!account.detail && !account.levelClasses.isEmpty())
        refuse(QStringLiteral("سطوح تفصيلي تنها براي حساب جزء تعريف مي شود."));
    if (account.levelClasses.size() > 3)
        refuse(QStringLiteral("حساب بيش از سه سطح تفصيلي ندارد."));
    const QVector<ObjectClass> known = classes();
    for (int i = 0; i < account.levelClasses.size(); ++i) {
        const qint32 c = account.levelClasses[i];
        if (std::none_of(known.begin(), known.end(), [&](const ObjectClass &k) { return k.id == c; }))
            refuse(QStringLiteral("سطح تفصيلي %1 نوع نامعتبري دارد.").arg(i + 1));
        if (account.levelClasses.indexOf(c) != i)
            refuse(QStringLiteral("يك نوع تفصيلي در دو سطح آمده است."));
    }

    Transaction tx(m_session.connection());
    const RowSet same = m_session.query(QStringLiteral("Select Title From tblAccount Where Code = ?"), {code});
    if (!same.rows.isEmpty())
        refuse(QStringLiteral("كد %1 پيش از اين براي حساب «%2» به كار رفته است.")
                   .arg(code, Vb::textOf(field(same, 0, QStringLiteral("Title")))));
    const qint32 id = Vb::clng(m_session.scalar(QStringLiteral("Select IsNull(Max(ID), 0) + 1 As NextID From tblAccount")));
    m_session.execute(QStringLiteral("Insert Into tblAccount (ID, Code, Title, ParentID, AccountLevel, IsDetail, IsActive) "
                                     "Values (?, ?, ?, ?, ?, ?, 1)"),
                      {id, code, title,
                       account.parentId != 0 ? QVariant(account.parentId) : QVariant(QMetaType::fromType<qint32>()),
                       level, account.detail ? 1 : 0});
    for (int i = 0; i < account.levelClasses.size(); ++i)
        m_session.execute(
            QStringLiteral("Insert Into tblAccountDetailLevel (AccountID, LevelNo, ClassID) Values (?, ?, ?)"),
            {id, i + 1, account.levelClasses[i]});
    tx.commit();
    return id;
}

void ChartOfAccounts::rename(qint32 id, const QString &title)
{
    if (!m_session.hasPermission(ids::RightRenameAccount))
        refuse(SiblingComponent::RefusedText);
    const QString checked = checkedTitle(title);
    Transaction tx(m_session.connection());
    find(id);
    m_session.execute(QStringLiteral("Update tblAccount Set Title = ? Where ID = ?"), {checked, id});
    tx.commit();
}

void ChartOfAccounts::remove(qint32 id)
{
    if (!m_session.hasPermission(ids::RightRemoveAccount))
        refuse(SiblingComponent::RefusedText);
    const QVariantList key = {id};
    // The uses are looked at inside the transaction, so that no row can
    // start using the account between the check and the removal.
    Transaction tx(m_session.connection());
    const AccountNode account = find(id);
    const QString name = QStringLiteral("حساب «%1 - %2»").arg(account.code, account.title);
    const auto count = [&](const QString &sql) { return int(Vb::numberOf(m_session.scalar(sql, key))); };
    if (count(QStringLiteral("Select Count(*) As N From tblAccount Where ParentID = ?")) > 0)
        refuse(name + QStringLiteral(" زيرحساب دارد و حذف نمي شود."));
    const int documentRows =
        count(QStringLiteral("Select Count(*) As N From tblAccountDocumentDetail Where AccountID = ?"));
    if (documentRows > 0)
        refuse(name + QStringLiteral(" در %1 رديف سند حسابداري به كار رفته است و حذف نمي شود.").arg(documentRows));
    const int receipts =
        count(QStringLiteral("Select Count(*) As N From tblRecPayCashTurnDetail Where RelatedAccountID = ?"));
    if (receipts > 0)
        refuse(name + QStringLiteral(" در %1 دريافت/پرداخت نقدي به كار رفته است و حذف نمي شود.").arg(receipts));
    const QVariant cash = m_session.scalar(QStringLiteral("Select Name From tblRecPayCash Where AccountID = ?"), key);
    if (cash.isValid())
        refuse(name + QStringLiteral(" حساب صندوق «%1» است و حذف نمي شود.").arg(Vb::textOf(cash)));
    m_session.execute(QStringLiteral("Delete From tblAccountDetailLevel Where AccountID = ?"), key);
    m_session.execute(QStringLiteral("Delete From tblAccountRelatedObjects Where AccountID = ?"), key);
    m_session.execute(QStringLiteral("Delete From tblAccount Where ID = ?"), key);
    tx.commit();
}
