#include "search/ResultTable.h"

#include "core/Vb.h"
#include "core/VbError.h"
#include "data/Cursor.h"

#include <cstring>

namespace {

// The two top bits of a cell say what the other thirty hold.
constexpr quint32 TagShift = 30;
constexpr quint32 ValueMask = (1u << TagShift) - 1;
constexpr quint32 TagSmall = 0; // a whole number from 0 to 2^30 - 1
constexpr quint32 TagText = 1;  // a position in the column's text store
constexpr quint32 TagWide = 2;  // an index among the column's wide numbers
constexpr quint32 NullCell = 0xFFFFFFFFu;

// Texts are stored in blocks, each entry its length (varint) and its bytes;
// a position is the block number and the place in it.
constexpr int BlockBits = 20;
constexpr size_t BlockSize = size_t(1) << BlockBits;
constexpr size_t MaxBlocks = size_t(1) << (TagShift - BlockBits);

// Repeated texts are looked up among the first ones seen in a column; long
// texts (descriptions) rarely repeat and are not looked up.
constexpr size_t MaxSharedLength = 80;
constexpr size_t MaxSharedEntries = 4096;

[[noreturn]] void outOfMemory()
{
    throw VbError(7, QStringLiteral("Out of memory"));
}

} // namespace

struct ResultTable::Column
{
    struct Wide
    {
        Kind kind;
        long long integer;
        double real;
    };

    bool money = false;
    std::vector<std::unique_ptr<char[]>> blocks;
    std::vector<size_t> blockSizes;
    size_t used = BlockSize; // forces a first block
    std::vector<Wide> wide;
    std::unordered_map<std::string_view, quint32> shared;

    quint32 addText(std::string_view bytes)
    {
        const bool shareable = bytes.size() <= MaxSharedLength;
        if (shareable) {
            const auto it = shared.find(bytes);
            if (it != shared.end())
                return it->second;
        }
        unsigned char length[10];
        size_t lengthBytes = 0;
        for (size_t n = bytes.size();; n >>= 7) {
            length[lengthBytes++] = static_cast<unsigned char>((n & 0x7F) | (n >= 0x80 ? 0x80 : 0));
            if (n < 0x80)
                break;
        }
        const size_t need = lengthBytes + bytes.size();
        const size_t capacity = blocks.empty() ? 0 : blockSizes.back();
        if (used + need > capacity) {
            if (blocks.size() >= MaxBlocks)
                outOfMemory();
            // Small results stay small: blocks grow up to their full size.
            const size_t size = std::max(std::min(BlockSize, size_t(4096) << blocks.size()), need);
            blocks.push_back(std::unique_ptr<char[]>(new char[size]));
            blockSizes.push_back(size);
            used = 0;
        }
        char *at = blocks.back().get() + used;
        std::memcpy(at, length, lengthBytes);
        if (!bytes.empty())
            std::memcpy(at + lengthBytes, bytes.data(), bytes.size());
        const quint32 position = quint32((blocks.size() - 1) << BlockBits | used);
        used += need;
        if (shareable && shared.size() < MaxSharedEntries)
            shared.emplace(std::string_view(at + lengthBytes, bytes.size()), position);
        return position;
    }

    std::string_view textAt(quint32 position) const
    {
        const char *at = blocks[position >> BlockBits].get() + (position & (BlockSize - 1));
        size_t length = 0;
        int shift = 0;
        const auto *p = reinterpret_cast<const unsigned char *>(at);
        for (;; ++p, shift += 7) {
            length |= size_t(*p & 0x7F) << shift;
            if (!(*p & 0x80))
                break;
        }
        return std::string_view(reinterpret_cast<const char *>(p + 1), length);
    }

    quint32 addWide(Kind kind, long long integer, double real)
    {
        if (wide.size() > ValueMask)
            outOfMemory();
        wide.push_back({kind, integer, real});
        return TagWide << TagShift | quint32(wide.size() - 1);
    }
};

ResultTable::ResultTable() = default;
ResultTable::~ResultTable() = default;

void ResultTable::clear()
{
    m_titles.clear();
    m_columns.clear();
    m_chunks.clear();
    m_rows = 0;
}

void ResultTable::reset(const Cursor &cursor)
{
    clear();
    const int n = cursor.columnCount();
    for (int c = 0; c < n; ++c) {
        m_titles << cursor.columnName(c);
        auto column = std::make_unique<Column>();
        column->money = cursor.isMoney(c);
        m_columns.push_back(std::move(column));
    }
}

bool ResultTable::isMoney(int column) const
{
    return column >= 0 && column < columnCount() && m_columns[size_t(column)]->money;
}

quint32 &ResultTable::cell(int row, int column)
{
    return m_chunks[size_t(row / RowsPerChunk)][size_t(row % RowsPerChunk) * m_columns.size() + size_t(column)];
}

quint32 ResultTable::cell(int row, int column) const
{
    return m_chunks[size_t(row / RowsPerChunk)][size_t(row % RowsPerChunk) * m_columns.size() + size_t(column)];
}

void ResultTable::append(const Cursor &cursor)
{
    const int n = columnCount();
    if (m_rows % RowsPerChunk == 0)
        m_chunks.push_back(std::make_unique<quint32[]>(size_t(RowsPerChunk) * size_t(std::max(n, 1))));
    for (int c = 0; c < n; ++c) {
        Column &column = *m_columns[size_t(c)];
        quint32 value = NullCell;
        switch (cursor.kind(c)) {
        case Cursor::Kind::Null:
            break;
        case Cursor::Kind::Integer: {
            const long long v = cursor.integer(c);
            value = (v >= 0 && v <= ValueMask) ? quint32(v) : column.addWide(Kind::Integer, v, 0);
            break;
        }
        case Cursor::Kind::Real:
            value = column.addWide(Kind::Real, 0, cursor.real(c));
            break;
        case Cursor::Kind::Text:
            value = TagText << TagShift | column.addText(cursor.text(c));
            break;
        }
        cell(m_rows, c) = value;
    }
    ++m_rows;
}

ResultTable::Kind ResultTable::kind(int row, int column) const
{
    const quint32 v = cell(row, column);
    if (v == NullCell)
        return Kind::Null;
    switch (v >> TagShift) {
    case TagSmall:
        return Kind::Integer;
    case TagText:
        return Kind::Text;
    default:
        return m_columns[size_t(column)]->wide[v & ValueMask].kind;
    }
}

long long ResultTable::integer(int row, int column) const
{
    const quint32 v = cell(row, column);
    if (v == NullCell)
        return 0;
    if ((v >> TagShift) == TagSmall)
        return v;
    if ((v >> TagShift) == TagWide) {
        const Column::Wide &w = m_columns[size_t(column)]->wide[v & ValueMask];
        return w.kind == Kind::Integer ? w.integer : (long long)w.real;
    }
    return 0;
}

double ResultTable::real(int row, int column) const
{
    const quint32 v = cell(row, column);
    if (v != NullCell && (v >> TagShift) == TagWide) {
        const Column::Wide &w = m_columns[size_t(column)]->wide[v & ValueMask];
        if (w.kind == Kind::Real)
            return w.real;
    }
    return double(integer(row, column));
}

std::string_view ResultTable::utf8(int row, int column) const
{
    const quint32 v = cell(row, column);
    if (v == NullCell || (v >> TagShift) != TagText)
        return {};
    return m_columns[size_t(column)]->textAt(v & ValueMask);
}

QString ResultTable::text(int row, int column) const
{
    switch (kind(row, column)) {
    case Kind::Null:
        return QString();
    case Kind::Integer:
        return QString::number(integer(row, column));
    case Kind::Real:
        return Vb::cstr(real(row, column));
    case Kind::Text: {
        const std::string_view bytes = utf8(row, column);
        return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    }
    }
    return QString();
}

size_t ResultTable::bytesUsed() const
{
    size_t total = m_chunks.size() * size_t(RowsPerChunk) * m_columns.size() * sizeof(quint32);
    for (const auto &column : m_columns) {
        for (size_t size : column->blockSizes)
            total += size;
        total += column->wide.capacity() * sizeof(Column::Wide);
        total += column->shared.size() * 48;
    }
    return total;
}
