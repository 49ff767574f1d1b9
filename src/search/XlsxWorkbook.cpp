#include "search/XlsxWorkbook.h"

#include <QDateTime>
#include <charconv>
#include <cmath>
#include <zlib.h>

namespace {

const char SheetNamespaces[] = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                               "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";

// Bytes are gathered up to this much before they go through the compressor.
constexpr int Chunk = 1 << 18;

void put16(QByteArray &out, quint16 v)
{
    out.append(char(v & 0xff));
    out.append(char(v >> 8));
}

void put32(QByteArray &out, quint32 v)
{
    put16(out, quint16(v & 0xffff));
    put16(out, quint16(v >> 16));
}

// The container's time stamps, in the old DOS form it keeps.
void dosTime(quint16 &time, quint16 &date)
{
    const QDateTime now = QDateTime::currentDateTime();
    time = quint16((now.time().hour() << 11) | (now.time().minute() << 5) | (now.time().second() / 2));
    date = quint16(((now.date().year() - 1980) << 9) | (now.date().month() << 5) | now.date().day());
}

bool isHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

} // namespace

struct XlsxWorkbook::Entry
{
    QByteArray name;
    quint32 crc = 0;
    quint64 compressed = 0;
    quint64 size = 0;
    quint64 offset = 0;
};

XlsxWorkbook::XlsxWorkbook() = default;

XlsxWorkbook::~XlsxWorkbook()
{
    if (m_stream) {
        deflateEnd(static_cast<z_stream *>(m_stream));
        delete static_cast<z_stream *>(m_stream);
    }
}

bool XlsxWorkbook::open(const QString &path)
{
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    auto *stream = new z_stream{};
    // The fastest level: a sheet's XML repeats itself so much that it still
    // shrinks tenfold, and the export is waited for.
    if (deflateInit2(stream, 1, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        delete stream;
        return false;
    }
    m_stream = stream;
    return true;
}

void XlsxWorkbook::setColumnWidths(const QVector<double> &pixels)
{
    // A sheet keeps widths in widths of the default font's digit (7 pixels),
    // padding included, to a 256th.
    m_widths.clear();
    for (double p : pixels)
        m_widths << std::floor(p / 7.0 * 256.0) / 256.0;
}

void XlsxWorkbook::writeRaw(const void *data, size_t size)
{
    if (m_failed)
        return;
    if (m_file.write(static_cast<const char *>(data), qint64(size)) != qint64(size))
        m_failed = true;
    m_offset += qint64(size);
}

void XlsxWorkbook::beginEntry(const char *name)
{
    Entry e;
    e.name = name;
    e.offset = quint64(m_offset);
    e.crc = quint32(crc32(0, nullptr, 0));
    m_entries.push_back(e);
    quint16 time, date;
    dosTime(time, date);
    QByteArray header;
    put32(header, 0x04034b50);
    put16(header, 20);     // version needed
    put16(header, 0x0008); // sizes and CRC follow the data
    put16(header, 8);      // deflated
    put16(header, time);
    put16(header, date);
    put32(header, 0);
    put32(header, 0);
    put32(header, 0);
    put16(header, quint16(e.name.size()));
    put16(header, 0);
    header.append(e.name);
    writeRaw(header.constData(), size_t(header.size()));
    deflateReset(static_cast<z_stream *>(m_stream));
    m_inEntry = true;
}

void XlsxWorkbook::put(std::string_view bytes)
{
    m_pending.append(bytes.data(), qsizetype(bytes.size()));
    if (m_pending.size() >= Chunk)
        flushDeflate(false);
}

void XlsxWorkbook::flushDeflate(bool finish)
{
    auto *z = static_cast<z_stream *>(m_stream);
    Entry &e = m_entries.back();
    e.crc = quint32(crc32(e.crc, reinterpret_cast<const Bytef *>(m_pending.constData()), uInt(m_pending.size())));
    e.size += quint64(m_pending.size());
    z->next_in = reinterpret_cast<Bytef *>(m_pending.data());
    z->avail_in = uInt(m_pending.size());
    if (m_compressed.size() < Chunk)
        m_compressed.resize(Chunk);
    int rc;
    do {
        z->next_out = reinterpret_cast<Bytef *>(m_compressed.data());
        z->avail_out = uInt(m_compressed.size());
        rc = deflate(z, finish ? Z_FINISH : Z_NO_FLUSH);
        const size_t produced = size_t(m_compressed.size()) - z->avail_out;
        e.compressed += produced;
        writeRaw(m_compressed.constData(), produced);
    } while (finish ? rc == Z_OK : z->avail_out == 0);
    if (rc == Z_STREAM_ERROR)
        m_failed = true;
    m_pending.clear();
}

void XlsxWorkbook::endEntry()
{
    flushDeflate(true);
    m_inEntry = false;
    const Entry &e = m_entries.back();
    if (e.size > 0xffffffffu || e.compressed > 0xffffffffu)
        m_failed = true; // beyond what the container can say without its 64-bit form
    QByteArray descriptor;
    put32(descriptor, 0x08074b50);
    put32(descriptor, e.crc);
    put32(descriptor, quint32(e.compressed));
    put32(descriptor, quint32(e.size));
    writeRaw(descriptor.constData(), size_t(descriptor.size()));
}

void XlsxWorkbook::writeWhole(const char *name, const QByteArray &content)
{
    beginEntry(name);
    put(std::string_view(content.constData(), size_t(content.size())));
    endEntry();
}

void XlsxWorkbook::putEscaped(std::string_view utf8)
{
    size_t plainFrom = 0;
    auto flushPlain = [&](size_t to) {
        if (to > plainFrom)
            put(utf8.substr(plainFrom, to - plainFrom));
    };
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const char *replacement = nullptr;
        char control[8];
        if (c == '&')
            replacement = "&amp;";
        else if (c == '<')
            replacement = "&lt;";
        else if (c == '>')
            replacement = "&gt;";
        else if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
            // Characters XML cannot hold are written the spreadsheet's way.
            std::snprintf(control, sizeof control, "_x%04X_", c);
            replacement = control;
        } else if (c == '_' && i + 6 < utf8.size() && utf8[i + 1] == 'x' && isHex(utf8[i + 2]) && isHex(utf8[i + 3])
                   && isHex(utf8[i + 4]) && isHex(utf8[i + 5]) && utf8[i + 6] == '_') {
            // A text that looks like such an escape is kept as it is.
            replacement = "_x005F_";
        }
        if (!replacement)
            continue;
        flushPlain(i);
        put(replacement);
        plainFrom = i + 1;
    }
    flushPlain(utf8.size());
}

void XlsxWorkbook::cellStyle(Style style)
{
    if (style == Bold)
        put(" s=\"1\"");
    else if (style == Grouped)
        put(" s=\"2\"");
}

void XlsxWorkbook::beginRow()
{
    if (!m_sheetStarted) {
        m_sheetStarted = true;
        beginEntry("xl/worksheets/sheet1.xml");
        put("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet ");
        put(SheetNamespaces);
        put("><sheetViews><sheetView rightToLeft=\"1\" tabSelected=\"1\" workbookViewId=\"0\"/></sheetViews>"
            "<sheetFormatPr defaultRowHeight=\"15\"/>");
        if (!m_widths.isEmpty()) {
            put("<cols>");
            for (int c = 0; c < m_widths.size(); ++c) {
                const QByteArray col = QByteArrayLiteral("<col min=\"") + QByteArray::number(c + 1)
                                       + QByteArrayLiteral("\" max=\"") + QByteArray::number(c + 1)
                                       + QByteArrayLiteral("\" width=\"") + QByteArray::number(m_widths[c], 'g', 12)
                                       + QByteArrayLiteral("\" customWidth=\"1\"/>");
                put(std::string_view(col.constData(), size_t(col.size())));
            }
            put("</cols>");
        }
        put("<sheetData>");
    }
    const auto end = std::to_chars(m_number, m_number + sizeof m_number, ++m_row).ptr;
    put("<row r=\"");
    put(std::string_view(m_number, size_t(end - m_number)));
    put("\">");
}

void XlsxWorkbook::text(std::string_view utf8, Style style)
{
    ++m_stringUses;
    auto [it, added] = m_strings.try_emplace(std::string(utf8), quint32(m_strings.size()));
    if (added)
        m_order.push_back(&it->first);
    put("<c t=\"s\"");
    cellStyle(style);
    put("><v>");
    const auto end = std::to_chars(m_number, m_number + sizeof m_number, it->second).ptr;
    put(std::string_view(m_number, size_t(end - m_number)));
    put("</v></c>");
}

void XlsxWorkbook::number(long long value, Style style)
{
    put("<c");
    cellStyle(style);
    put("><v>");
    const auto end = std::to_chars(m_number, m_number + sizeof m_number, value).ptr;
    put(std::string_view(m_number, size_t(end - m_number)));
    put("</v></c>");
}

void XlsxWorkbook::number(double value, Style style)
{
    put("<c");
    cellStyle(style);
    put("><v>");
    const auto end = std::to_chars(m_number, m_number + sizeof m_number, value).ptr;
    put(std::string_view(m_number, size_t(end - m_number)));
    put("</v></c>");
}

void XlsxWorkbook::empty()
{
    // Cells carry no reference, so an empty one keeps its place.
    put("<c/>");
}

void XlsxWorkbook::endRow()
{
    put("</row>");
}

bool XlsxWorkbook::close()
{
    if (!m_stream)
        return false;
    if (!m_sheetStarted) {
        beginRow();
        endRow();
    }
    put("</sheetData></worksheet>");
    endEntry();

    beginEntry("xl/sharedStrings.xml");
    const QByteArray head = QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<sst "
                                              "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                                              "count=\"")
                            + QByteArray::number(m_stringUses) + QByteArrayLiteral("\" uniqueCount=\"")
                            + QByteArray::number(qulonglong(m_order.size())) + QByteArrayLiteral("\">");
    put(std::string_view(head.constData(), size_t(head.size())));
    for (const std::string *s : m_order) {
        put("<si><t xml:space=\"preserve\">");
        putEscaped(*s);
        put("</t></si>");
    }
    put("</sst>");
    endEntry();

    writeWhole("[Content_Types].xml",
               "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
               "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
               "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
               "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
               "<Override PartName=\"/xl/workbook.xml\" "
               "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
               "<Override PartName=\"/xl/worksheets/sheet1.xml\" "
               "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
               "<Override PartName=\"/xl/styles.xml\" "
               "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
               "<Override PartName=\"/xl/sharedStrings.xml\" "
               "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>"
               "</Types>");
    writeWhole("_rels/.rels",
               "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
               "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
               "<Relationship Id=\"rId1\" "
               "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
               "Target=\"xl/workbook.xml\"/></Relationships>");
    writeWhole("xl/workbook.xml", QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<workbook ")
                                      + SheetNamespaces
                                      + "><bookViews><workbookView/></bookViews><sheets><sheet name=\"Sheet1\" "
                                        "sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>");
    writeWhole("xl/_rels/workbook.xml.rels",
               "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
               "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
               "<Relationship Id=\"rId1\" "
               "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
               "Target=\"worksheets/sheet1.xml\"/>"
               "<Relationship Id=\"rId2\" "
               "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
               "Target=\"styles.xml\"/>"
               "<Relationship Id=\"rId3\" "
               "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\" "
               "Target=\"sharedStrings.xml\"/></Relationships>");
    writeWhole("xl/styles.xml",
               "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
               "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
               "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"#,##0\"/></numFmts>"
               "<fonts count=\"2\"><font><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font>"
               "<font><b/><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font></fonts>"
               "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
               "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
               "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
               "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
               "<cellXfs count=\"3\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
               "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\"/>"
               "<xf numFmtId=\"164\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/>"
               "</cellXfs><cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
               "</styleSheet>");

    // The directory of the container.
    const qint64 directoryStart = m_offset;
    quint16 time, date;
    dosTime(time, date);
    for (const Entry &e : m_entries) {
        QByteArray record;
        put32(record, 0x02014b50);
        put16(record, 20);
        put16(record, 20);
        put16(record, 0x0008);
        put16(record, 8);
        put16(record, time);
        put16(record, date);
        put32(record, e.crc);
        put32(record, quint32(e.compressed));
        put32(record, quint32(e.size));
        put16(record, quint16(e.name.size()));
        put16(record, 0);
        put16(record, 0);
        put16(record, 0);
        put16(record, 0);
        put32(record, 0);
        put32(record, quint32(e.offset));
        record.append(e.name);
        writeRaw(record.constData(), size_t(record.size()));
    }
    QByteArray end;
    put32(end, 0x06054b50);
    put16(end, 0);
    put16(end, 0);
    put16(end, quint16(m_entries.size()));
    put16(end, quint16(m_entries.size()));
    put32(end, quint32(m_offset - directoryStart));
    put32(end, quint32(directoryStart));
    put16(end, 0);
    writeRaw(end.constData(), size_t(end.size()));
    if (!m_file.flush())
        m_failed = true;
    m_file.close();
    return !m_failed;
}
