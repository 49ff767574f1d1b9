#include "data/Recordset.h"

#include "core/VbError.h"
#include "data/Connection.h"
#include "data/Cursor.h"

namespace {
const QString ErrorSource = QStringLiteral("ADODB.Recordset");

[[noreturn]] void notAllowedOpen()
{
    throw VbError(VbError::ObjectOpen, QStringLiteral("Operation is not allowed when the object is open."), ErrorSource);
}
} // namespace

Recordset::Recordset(Connection *connection, QString name, QString storedSource)
    : m_connection(connection), m_name(std::move(name)), m_source(std::move(storedSource))
{
}

void Recordset::setSource(const QString &sql)
{
    if (m_open)
        notAllowedOpen();
    m_source = sql;
}

void Recordset::Open()
{
    if (m_open)
        notAllowedOpen();
    RowSet rows = m_connection->execute(m_source);
    m_position = 0;
    if (rows.returnsRows) {
        m_rows = std::move(rows);
        m_open = true;
    } else {
        m_rows = RowSet();
    }
}

void Recordset::Open(const QString &source)
{
    if (m_open)
        notAllowedOpen();
    m_source = source;
    Open();
}

std::unique_ptr<Cursor> Recordset::OpenCursor(const QString &sql)
{
    if (m_open)
        notAllowedOpen();
    m_source = sql;
    return m_connection->openCursor(m_source);
}

int Recordset::Query(const QString &sql, const Reader &read)
{
    if (m_open)
        Close();
    return QueryOpenAsIs(sql, read);
}

int Recordset::QueryOpenAsIs(const QString &sql, const Reader &read)
{
    Open(sql);
    if (!m_open)
        return 0; // a statement without rows leaves it closed
    const int count = RecordCount();
    if (read) {
        // A reader that fails leaves the handle closed: a handle shared by
        // every operation must not make the next one fail (3705).
        try {
            read(*this);
        } catch (...) {
            if (m_open)
                Close();
            throw;
        }
    }
    Close();
    return count;
}

void Recordset::Close()
{
    requireOpen();
    m_open = false;
    m_rows = RowSet();
    m_position = 0;
}

void Recordset::requireOpen() const
{
    if (!m_open)
        throw VbError(VbError::ObjectClosed, QStringLiteral("Operation is not allowed when the object is closed."),
                      ErrorSource);
}

int Recordset::RecordCount() const
{
    requireOpen();
    return int(m_rows.rows.size());
}

bool Recordset::Eof() const
{
    requireOpen();
    return m_position >= m_rows.rows.size();
}

bool Recordset::Bof() const
{
    requireOpen();
    return m_rows.rows.isEmpty();
}

void Recordset::MoveFirst()
{
    requireOpen();
    m_position = 0;
}

void Recordset::MoveNext()
{
    requireOpen();
    if (m_position >= m_rows.rows.size())
        throw VbError(VbError::NoCurrentRecord,
                      QStringLiteral("Either BOF or EOF is True, or the current record has been deleted. "
                                     "Requested operation requires a current record."),
                      ErrorSource);
    ++m_position;
}

QVariant Recordset::Fields(const QString &field) const
{
    requireOpen();
    int column = -1;
    for (int c = 0; c < m_rows.columns.size(); ++c) {
        if (m_rows.columns[c].compare(field, Qt::CaseInsensitive) == 0) {
            column = c;
            break;
        }
    }
    if (column < 0)
        throw VbError(VbError::ItemNotFound,
                      QStringLiteral("Item cannot be found in the collection corresponding to the requested name "
                                     "or ordinal. (%1)")
                          .arg(field),
                      ErrorSource);
    if (m_position >= m_rows.rows.size())
        throw VbError(VbError::NoCurrentRecord,
                      QStringLiteral("Either BOF or EOF is True, or the current record has been deleted. "
                                     "Requested operation requires a current record."),
                      ErrorSource);
    return m_rows.rows[m_position][column];
}

const RowSet &Recordset::rows() const
{
    return m_rows;
}
