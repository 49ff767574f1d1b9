#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QVector>
#include <string_view>
#include <unordered_map>
#include <vector>

// A workbook of one sheet written straight to a file: the sheet's rows as
// they come, texts in a shared table, the whole in a zip container
// compressed on the fly. What a search export needs of the format, no more:
// a right-to-left sheet, column widths, a bold style for titles, a number
// style for amounts grouped by threes.
class XlsxWorkbook
{
public:
    enum Style { Plain = 0, Bold = 1, Grouped = 2 };

    // Nothing is written until open().
    XlsxWorkbook();
    ~XlsxWorkbook();
    XlsxWorkbook(const XlsxWorkbook &) = delete;
    XlsxWorkbook &operator=(const XlsxWorkbook &) = delete;

    bool open(const QString &path);
    // Widths in pixels at 96 dpi, column by column.
    void setColumnWidths(const QVector<double> &pixels);

    // A row is begun, filled cell by cell from the first column, and ended.
    void beginRow();
    void text(std::string_view utf8, Style style = Plain);
    void number(long long value, Style style = Plain);
    void number(double value, Style style = Plain);
    void empty();
    void endRow();

    // Writes what is left and the container's directory; false when any
    // write failed (a full disk, say).
    bool close();
    bool failed() const { return m_failed; }

private:
    struct Entry;
    void beginEntry(const char *name);
    void put(std::string_view bytes);
    void putEscaped(std::string_view utf8);
    void flushDeflate(bool finish);
    void endEntry();
    void writeWhole(const char *name, const QByteArray &content);
    void writeRaw(const void *data, size_t size);
    void cellStyle(Style style);

    QFile m_file;
    bool m_failed = false;
    qint64 m_offset = 0;
    std::vector<Entry> m_entries;
    // The entry being written: its bytes before and after compression.
    QByteArray m_pending;
    QByteArray m_compressed;
    void *m_stream = nullptr;
    bool m_inEntry = false;

    QVector<double> m_widths;
    bool m_sheetStarted = false;
    int m_row = 0;
    std::unordered_map<std::string, quint32> m_strings;
    std::vector<const std::string *> m_order;
    quint64 m_stringUses = 0;
    char m_number[32];
};
