#include "data/Cursor.h"

#include "core/Currency.h"
#include "core/RowSet.h"
#include "core/Vb.h"

#include <QByteArray>
#include <QVector>

Cursor::Kind VariantCursor::kind(int column) const
{
    const QVariant &v = value(column);
    if (!v.isValid() || v.isNull())
        return Kind::Null;
    if (v.userType() == qMetaTypeId<Currency>())
        return v.value<Currency>().isWhole() ? Kind::Integer : Kind::Real;
    switch (v.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::LongLong:
        return Kind::Integer;
    case QMetaType::Double:
    case QMetaType::Float:
        return Kind::Real;
    default:
        return Kind::Text;
    }
}

qint64 VariantCursor::integer(int column) const
{
    const QVariant &v = value(column);
    if (v.userType() == qMetaTypeId<Currency>())
        return v.value<Currency>().units();
    return v.toLongLong();
}

double VariantCursor::real(int column) const
{
    const QVariant &v = value(column);
    if (v.userType() == qMetaTypeId<Currency>())
        return v.value<Currency>().toDouble();
    return v.toDouble();
}

std::string_view VariantCursor::text(int column) const
{
    if (m_texts.size() <= column)
        m_texts.resize(column + 1);
    QByteArray &t = m_texts[column];
    if (t.isEmpty())
        t = Vb::textOf(value(column)).toUtf8();
    return std::string_view(t.constData(), size_t(t.size()));
}

void VariantCursor::rowChanged()
{
    for (QByteArray &t : m_texts)
        t.clear();
}

namespace {

class RowSetCursor : public VariantCursor
{
public:
    explicit RowSetCursor(RowSet rows) : m_rows(std::move(rows)) {}

    int columnCount() const override { return int(m_rows.columns.size()); }
    QString columnName(int column) const override { return m_rows.columns.value(column); }
    bool isMoney(int column) const override
    {
        for (const QVector<QVariant> &row : m_rows.rows)
            if (!row[column].isNull())
                return row[column].userType() == qMetaTypeId<Currency>();
        return false;
    }

    bool next() override
    {
        if (m_row + 1 >= m_rows.rows.size()) {
            m_row = m_rows.rows.size();
            return false;
        }
        ++m_row;
        rowChanged();
        return true;
    }

protected:
    const QVariant &value(int column) const override { return m_rows.rows[m_row][column]; }

private:
    RowSet m_rows;
    qsizetype m_row = -1;
};

} // namespace

std::unique_ptr<Cursor> cursorOver(RowSet rows)
{
    return std::make_unique<RowSetCursor>(std::move(rows));
}
