#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVector>
#include <QtGlobal>
#include <memory>
#include <string_view>

struct RowSet;

// A forward-only reading of one statement's rows, one row at a time, for a
// result too large to hold as variants (the search grid over a whole year
// of receipts). Values are read in their stored form: integers as 64-bit
// integers, texts as UTF-8 bytes that stay valid until the next row.
class Cursor
{
public:
    enum class Kind : char { Null, Integer, Real, Text };

    virtual ~Cursor() = default;

    virtual int columnCount() const = 0;
    virtual QString columnName(int column) const = 0;
    // Whether the column holds amounts (declared money), for callers that
    // show amounts differently from other numbers.
    virtual bool isMoney(int column) const = 0;

    // Moves to the next row; false past the last one. A database error is
    // raised as a VbError.
    virtual bool next() = 0;

    virtual Kind kind(int column) const = 0;
    virtual qint64 integer(int column) const = 0;
    virtual double real(int column) const = 0;
    virtual std::string_view text(int column) const = 0;
};

// A cursor over rows held as variants (Currency, dates, numbers, texts):
// subclasses say where the current row's values are.
class VariantCursor : public Cursor
{
public:
    Kind kind(int column) const override;
    qint64 integer(int column) const override;
    double real(int column) const override;
    std::string_view text(int column) const override;

protected:
    virtual const QVariant &value(int column) const = 0;
    // Called when the row changes: the texts of the last one are dropped.
    void rowChanged();

private:
    mutable QVector<QByteArray> m_texts;
};

// Rows already read, handed out as a cursor: how engines without a
// streaming reader serve one.
std::unique_ptr<Cursor> cursorOver(RowSet rows);
