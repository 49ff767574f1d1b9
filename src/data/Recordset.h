#pragma once

#include "core/RowSet.h"

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

class Connection;
class Cursor;

// A client-side recordset: opening runs its source on the connection and
// keeps every row, so the record count is known at once. A statement that
// returns no rows (UPDATE, DELETE, INSERT) runs and leaves it closed, as the
// data environment runtime does. The component never writes through it.
class Recordset
{
public:
    Recordset(Connection *connection, QString name, QString storedSource);

    const QString &name() const { return m_name; }
    int State() const { return m_open ? 1 : 0; }
    const QString &Source() const { return m_source; }
    // Not allowed while open (error 3705).
    void setSource(const QString &sql);

    // Error 3705 when already open.
    void Open();
    void Open(const QString &source);
    // Error 3704 when not open.
    void Close();

    int RecordCount() const;
    bool Eof() const;
    bool Bof() const;
    void MoveFirst();
    // Error 3021 when already past the last row.
    void MoveNext();

    // The current row's value of a field, by case-insensitive name: null is
    // an invalid QVariant. Error 3704 when closed, 3021 without a current
    // row, 3265 for an unknown name.
    QVariant Fields(const QString &field) const;
    QVariant operator[](const QString &field) const { return Fields(field); }

    // The query pattern of every form: close when open, open on sql, let
    // read look at the rows, close. Returns the record count. The recordset
    // is closed also when read fails.
    using Reader = std::function<void(Recordset &)>;
    int Query(const QString &sql, const Reader &read = {});
    // The same without the close-when-open step, for the callers that open
    // straight away: a recordset left open by an earlier operation fails
    // with 3705 here.
    int QueryOpenAsIs(const QString &sql, const Reader &read = {});

    // Opens sql forward-only for a grid that keeps its own copy of the
    // rows: they are read from the returned cursor, and the recordset itself
    // stays closed (error 3705 when it is open).
    std::unique_ptr<Cursor> OpenCursor(const QString &sql);

    // Everything the last open returned, for a bound grid.
    const RowSet &rows() const;

private:
    void requireOpen() const;

    Connection *m_connection;
    QString m_name;
    QString m_source;
    bool m_open = false;
    RowSet m_rows;
    int m_position = 0;
};
