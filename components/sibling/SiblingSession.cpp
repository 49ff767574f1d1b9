#include "sibling/SiblingSession.h"

#include "common/SharedServices.h"
#include "core/Vb.h"
#include "core/VbError.h"
#include "data/DtEn.h"

#include <QRegularExpression>

SiblingSession::SiblingSession(User user) : m_user(std::move(user)), m_dtEn(std::make_unique<DtEn>())
{
    m_dtEn->cnt.setConnectionString(m_user.connectionString);
}

SiblingSession::~SiblingSession() = default;

Connection &SiblingSession::connection()
{
    return m_dtEn->cnt;
}

RowSet SiblingSession::query(const QString &tsql, const QVariantList &params)
{
    return m_dtEn->cnt.execute(tsql, params);
}

QVariant SiblingSession::scalar(const QString &tsql, const QVariantList &params)
{
    const RowSet rows = query(tsql, params);
    if (rows.rows.isEmpty() || rows.rows.first().isEmpty())
        return QVariant();
    return rows.rows.first().first();
}

void SiblingSession::execute(const QString &tsql, const QVariantList &params)
{
    m_dtEn->cnt.execute(tsql, params);
}

bool SiblingSession::hasPermission(qint32 right)
{
    return m_dtEn->spOmberHasPermission(m_user.userId, right) != 0;
}

QString SiblingSession::titleIn(const QString &view, const QVariant &id)
{
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!id.isValid() || id.isNull() || !plainName.match(view).hasMatch())
        return QString();
    return Vb::textOf(
        scalar(QStringLiteral("Select Title From ") + view + QStringLiteral(" Where ID = ?"), {Vb::clng(id)}));
}

QDateTime SiblingSession::serverNow()
{
    const QVariant now = scalar(QStringLiteral("Select getdate() as Now"));
    if (now.typeId() == QMetaType::QDateTime)
        return now.toDateTime();
    // The embedded engine gives its stored text form.
    const QDateTime at = QDateTime::fromString(Vb::textOf(now).left(19), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return at.isValid() ? at : QDateTime::currentDateTime();
}

QVariant field(const RowSet &rows, int row, const QString &column)
{
    const int c = int(rows.columns.indexOf(QRegularExpression(
        QStringLiteral("^%1$").arg(QRegularExpression::escape(column)), QRegularExpression::CaseInsensitiveOption)));
    if (c < 0 || row < 0 || row >= rows.rows.size())
        return QVariant();
    return rows.rows[row].value(c);
}

QString moneyText(Currency value)
{
    const bool negative = value < Currency();
    const qint64 units = negative ? -value.units() : value.units();
    const QString grouped = FormatThousands(QString::number(units), QStringLiteral("/"));
    return negative ? u'-' + grouped : grouped;
}

QString moneyDisplay(Currency value)
{
    // A mark on each side of the sign ties it to the figures after it, in
    // a cell of its own and inside a Persian sentence alike.
    if (value >= Currency())
        return moneyText(value);
    const QChar mark(0x200E);
    return mark + u'-' + mark + moneyText(-value);
}

void refuse(const QString &text)
{
    throw VbError(RefusalNumber, text, QStringLiteral("Pardex sibling"));
}

Currency moneyOf(const QVariant &value)
{
    return value.isValid() && !value.isNull() ? Vb::ccur(value) : Currency();
}
