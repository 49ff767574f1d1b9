#include "data/Cursor.h"

#include "core/Currency.h"
#include "core/RowSet.h"
#include "core/Vb.h"

#include <QByteArray>
#include <QVector>

namespace {

class RowSetCursor : public Cursor
{
public:
    explicit RowSetCursor(RowSet rows) : m_rows(std::move(rows)), m_texts(m_rows.columns.size()) {}

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
        for (QByteArray &t : m_texts)
            t.clear();
        return true;
    }

    Kind kind(int column) const override
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

    qint64 integer(int column) const override
    {
        const QVariant &v = value(column);
        if (v.userType() == qMetaTypeId<Currency>())
            return v.value<Currency>().units();
        return v.toLongLong();
    }

    double real(int column) const override
    {
        const QVariant &v = value(column);
        if (v.userType() == qMetaTypeId<Currency>())
            return v.value<Currency>().toDouble();
        return v.toDouble();
    }

    std::string_view text(int column) const override
    {
        QByteArray &t = m_texts[column];
        if (t.isEmpty())
            t = Vb::textOf(value(column)).toUtf8();
        return std::string_view(t.constData(), size_t(t.size()));
    }

private:
    const QVariant &value(int column) const { return m_rows.rows[m_row][column]; }

    RowSet m_rows;
    qsizetype m_row = -1;
    mutable QVector<QByteArray> m_texts;
};

} // namespace

std::unique_ptr<Cursor> cursorOver(RowSet rows)
{
    return std::make_unique<RowSetCursor>(std::move(rows));
}
