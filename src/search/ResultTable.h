#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

class Cursor;

// The rows of a search as the result grid keeps them: a compact copy taken
// once, so that what the cashier sees stays as it was found while the
// database moves on, and a year of receipts fits in less memory than the
// same rows as CSV. Each cell is one 32-bit word: a small whole number
// held inline, a reference to a text in the column's text store (texts
// that repeat down a column, such as the cash box, cashier, account or
// date, are stored once), a reference to a wide number, or null.
class ResultTable
{
public:
    enum class Kind : char { Null, Integer, Real, Text };

    ResultTable();
    ~ResultTable();
    ResultTable(const ResultTable &) = delete;
    ResultTable &operator=(const ResultTable &) = delete;

    // Starts an empty table with the cursor's columns.
    void reset(const Cursor &cursor);
    void clear();
    // Copies the cursor's current row. Error 7 when a column's texts
    // outgrow what a cell can address.
    void append(const Cursor &cursor);

    int rowCount() const { return m_rows; }
    int columnCount() const { return int(m_columns.size()); }
    QString title(int column) const { return m_titles.value(column); }
    // Whether the column holds amounts (declared money).
    bool isMoney(int column) const;

    Kind kind(int row, int column) const;
    long long integer(int row, int column) const;
    double real(int row, int column) const;
    std::string_view utf8(int row, int column) const;
    // The cell as the grid shows it: numbers in plain decimal, null empty.
    QString text(int row, int column) const;

    // What the rows occupy, for the benchmark.
    size_t bytesUsed() const;

private:
    struct Column;
    quint32 &cell(int row, int column);
    quint32 cell(int row, int column) const;

    static constexpr int RowsPerChunk = 4096;
    QStringList m_titles;
    std::vector<std::unique_ptr<Column>> m_columns;
    std::vector<std::unique_ptr<quint32[]>> m_chunks;
    int m_rows = 0;
};
