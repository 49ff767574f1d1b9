#include "suite/Sqlite.h"

#include "core/Currency.h"
#include "core/VbError.h"

#include <QDateTime>
#include <QHash>
#include <sqlite3.h>
#include <string>
#include <unordered_map>

namespace sqlite {

QString dateTimeText(const QDateTime &dateTime)
{
    return dateTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString explain(int code)
{
    // What the cashier can understand of the engine's failure; the engine's
    // own words follow in brackets for whoever supports him.
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("پايگاه داده در دست برنامه ديگري است و در زمان مجاز آزاد نشد؛ كمي بعد دوباره سعي كنيد.");
    case SQLITE_READONLY:
        return QStringLiteral("فايل پايگاه داده فقط خواندني است و چيزي در آن نوشته نمي شود.");
    case SQLITE_NOTADB:
        return QStringLiteral("فايل داده شده پايگاه داده نيست.");
    case SQLITE_CANTOPEN:
        return QStringLiteral("فايل پايگاه داده باز نمي شود.");
    case SQLITE_FULL:
        return QStringLiteral("جاي خالي ديسك براي نوشتن در پايگاه داده كافي نيست.");
    case SQLITE_IOERR:
        return QStringLiteral("خواندن يا نوشتن فايل پايگاه داده ممكن نشد.");
    case SQLITE_CORRUPT:
        return QStringLiteral("فايل پايگاه داده آسيب ديده است.");
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return QStringLiteral("اجازه دسترسي به فايل پايگاه داده نيست.");
    default:
        return QString();
    }
}

void fail(sqlite3 *db, const QString &context)
{
    QString text = QString::fromUtf8(sqlite3_errmsg(db));
    const QString persian = explain(sqlite3_extended_errcode(db));
    if (!persian.isEmpty())
        text = persian + QStringLiteral(" (") + text + QStringLiteral(")");
    if (!context.isEmpty())
        text = context + QStringLiteral(": ") + text;
    throw VbError::database(text, QStringLiteral("SQLite"));
}

Statement::Statement(sqlite3 *db, const QString &sql) : m_db(db)
{
    const QByteArray utf8 = sql.toUtf8();
    const char *tail = nullptr;
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &m_stmt, &tail) != SQLITE_OK)
        fail(db);
    if (tail && *tail)
        m_tail = QString::fromUtf8(tail);
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

void Statement::bind(int index, const QVariant &value)
{
    int rc;
    if (!value.isValid() || value.isNull()) {
        rc = sqlite3_bind_null(m_stmt, index);
    } else if (value.userType() == qMetaTypeId<Currency>()) {
        const Currency c = value.value<Currency>();
        rc = c.isWhole() ? sqlite3_bind_int64(m_stmt, index, c.units())
                         : sqlite3_bind_double(m_stmt, index, c.toDouble());
    } else {
        switch (value.typeId()) {
        case QMetaType::Bool:
            rc = sqlite3_bind_int(m_stmt, index, value.toBool() ? 1 : 0);
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            rc = sqlite3_bind_int64(m_stmt, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(m_stmt, index, value.toDouble());
            break;
        case QMetaType::QDateTime: {
            const QByteArray t = dateTimeText(value.toDateTime()).toUtf8();
            rc = sqlite3_bind_text(m_stmt, index, t.constData(), int(t.size()), SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::QDate: {
            const QByteArray t = dateTimeText(value.toDate().startOfDay()).toUtf8();
            rc = sqlite3_bind_text(m_stmt, index, t.constData(), int(t.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray t = value.toString().toUtf8();
            rc = sqlite3_bind_text(m_stmt, index, t.constData(), int(t.size()), SQLITE_TRANSIENT);
            break;
        }
        }
    }
    if (rc != SQLITE_OK)
        fail(m_db);
}

Statement &Statement::bindAll(const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i)
        bind(i + 1, values[i]);
    return *this;
}

bool Statement::step()
{
    if (!m_stmt)
        return false;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    // The statement's own error code is on the connection after a failed step.
    fail(m_db);
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

bool Statement::readOnly() const
{
    return sqlite3_stmt_readonly(m_stmt) != 0;
}

int Statement::columnCount() const
{
    return m_stmt ? sqlite3_column_count(m_stmt) : 0;
}

QString Statement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

namespace {

// Digits of text at [from, from + count), or -1 when any is not a digit.
int digitsAt(const QString &text, int from, int count)
{
    int value = 0;
    for (int i = from; i < from + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

QVariant asDateTime(const QString &text)
{
    // The stored form, "yyyy-MM-dd HH:mm:ss" or "yyyy-MM-dd", read by hand:
    // a result may hold a million of them, and the general parser is slow.
    if ((text.size() == 19 && text[10] == u' ' && text[13] == u':' && text[16] == u':') || text.size() == 10) {
        if (text[4] == u'-' && text[7] == u'-') {
            const int y = digitsAt(text, 0, 4), m = digitsAt(text, 5, 2), d = digitsAt(text, 8, 2);
            const int h = text.size() == 19 ? digitsAt(text, 11, 2) : 0;
            const int mi = text.size() == 19 ? digitsAt(text, 14, 2) : 0;
            const int s = text.size() == 19 ? digitsAt(text, 17, 2) : 0;
            if (y < 0 || m < 0 || d < 0 || h < 0 || mi < 0 || s < 0)
                return text;
            // A local date and time costs the time-zone rules at every
            // construction; the same moments come back row after row.
            static QHash<qint64, QDateTime> known;
            const qint64 key = ((((qint64(y) * 13 + m) * 32 + d) * 24 + h) * 60 + mi) * 60 + s;
            const auto found = known.constFind(key);
            if (found != known.cend())
                return *found;
            const QDate date(y, m, d);
            const QTime time(h, mi, s);
            if (date.isValid() && time.isValid()) {
                if (known.size() >= 4096)
                    known.clear();
                return *known.insert(key, QDateTime(date, time));
            }
        }
    }
    static const QString formats[] = {QStringLiteral("yyyy-MM-dd HH:mm:ss"),
                                      QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"),
                                      QStringLiteral("yyyy-MM-ddTHH:mm:ss"),
                                      QStringLiteral("yyyy-MM-dd")};
    for (const QString &f : formats) {
        const QDateTime dt = QDateTime::fromString(text, f);
        if (dt.isValid())
            return dt;
    }
    return text;
}

} // namespace

Statement::Declared Statement::declared(int column) const
{
    if (m_declared.isEmpty()) {
        const int n = columnCount();
        m_declared.resize(n);
        for (int c = 0; c < n; ++c) {
            const char *text = sqlite3_column_decltype(m_stmt, c);
            const QByteArray decl = text ? QByteArray(text).toUpper() : QByteArray();
            m_declared[c] = decl.startsWith("MONEY")                          ? Declared::Money
                            : decl.contains("DATE") || decl.contains("TIME") ? Declared::DateTime
                                                                               : Declared::Plain;
        }
    }
    return m_declared.value(column, Declared::Plain);
}

QVariant Statement::column(int column) const
{
    const int type = sqlite3_column_type(m_stmt, column);
    if (type == SQLITE_NULL)
        return QVariant();
    const Declared kind = declared(column);

    if (kind == Declared::Money) {
        if (type == SQLITE_INTEGER)
            return QVariant::fromValue(Currency::fromInteger(sqlite3_column_int64(m_stmt, column)));
        if (type == SQLITE_FLOAT)
            return QVariant::fromValue(Currency::fromDouble(sqlite3_column_double(m_stmt, column)));
    }
    switch (type) {
    case SQLITE_INTEGER: {
        const qint64 v = sqlite3_column_int64(m_stmt, column);
        if (v >= INT_MIN && v <= INT_MAX)
            return int(v);
        return v;
    }
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_stmt, column);
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char *>(sqlite3_column_blob(m_stmt, column)),
                          sqlite3_column_bytes(m_stmt, column));
    default: {
        const QString text = QString::fromUtf8(
            reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column)),
            sqlite3_column_bytes(m_stmt, column));
        if (kind == Declared::DateTime)
            return asDateTime(text);
        return text;
    }
    }
}

bool Statement::plainText(int column, std::string_view &bytes) const
{
    if (sqlite3_column_type(m_stmt, column) != SQLITE_TEXT || declared(column) != Declared::Plain)
        return false;
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    bytes = std::string_view(text, size_t(sqlite3_column_bytes(m_stmt, column)));
    return true;
}

namespace {

// Titles, names and codes repeat down a result (every receipt of a turn
// names the same cash box and cashier): each column keeps the texts it has
// seen, so a repeated one is a shared copy rather than a new string. This
// halves the time and the memory of a large result.
class TextCache
{
public:
    QVariant get(std::string_view bytes)
    {
        if (bytes.size() > MaxLength)
            return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
        const auto it = m_seen.find(bytes);
        if (it != m_seen.end())
            return it->second;
        QString text = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
        if (m_seen.size() < MaxEntries)
            m_seen.emplace(std::string(bytes), text);
        return text;
    }

private:
    static constexpr size_t MaxLength = 80;
    static constexpr size_t MaxEntries = 4096;
    struct Hash
    {
        using is_transparent = void;
        size_t operator()(std::string_view v) const { return std::hash<std::string_view>()(v); }
    };
    std::unordered_map<std::string, QString, Hash, std::equal_to<>> m_seen;
};

} // namespace

RowSet collect(Statement &st)
{
    RowSet result;
    const int n = st.columnCount();
    if (n > 0) {
        result.returnsRows = true;
        for (int c = 0; c < n; ++c)
            result.columns << st.columnName(c);
    }
    std::vector<TextCache> texts(size_t(std::max(n, 0)));
    std::string_view bytes;
    while (st.step()) {
        QVector<QVariant> row(n);
        for (int c = 0; c < n; ++c)
            row[c] = st.plainText(c, bytes) ? texts[size_t(c)].get(bytes) : st.column(c);
        result.rows.push_back(std::move(row));
    }
    return result;
}

RowSet run(sqlite3 *db, const QString &sql, const QVariantList &params)
{
    RowSet result;
    QString rest = sql;
    bool first = true;
    while (!rest.trimmed().isEmpty()) {
        Statement st(db, rest);
        rest = st.tail();
        if (st.isEmpty())
            continue;
        if (first)
            st.bindAll(params);
        first = false;
        RowSet rows = collect(st);
        if (rows.returnsRows)
            result = std::move(rows);
        else if (!st.readOnly())
            result.rowsAffected = sqlite3_changes(db);
    }
    return result;
}

QVariant scalar(sqlite3 *db, const QString &sql, const QVariantList &params)
{
    Statement st(db, sql);
    st.bindAll(params);
    if (st.step() && st.columnCount() > 0)
        return st.column(0);
    return QVariant();
}

void exec(sqlite3 *db, const QString &sql, const QVariantList &params)
{
    Statement st(db, sql);
    st.bindAll(params);
    while (st.step()) {
    }
}

qint64 lastInsertId(sqlite3 *db)
{
    return sqlite3_last_insert_rowid(db);
}

int changes(sqlite3 *db)
{
    return sqlite3_changes(db);
}

WriteTransaction::WriteTransaction(sqlite3 *db)
    : m_db(db), m_nested(sqlite3_get_autocommit(db) == 0)
{
    // Inside a caller's transaction (the demo data writes receipts through
    // the procedures) a savepoint gives the same all-or-nothing step.
    exec(db, m_nested ? QStringLiteral("SAVEPOINT pardex_write") : QStringLiteral("BEGIN IMMEDIATE"));
}

WriteTransaction::~WriteTransaction()
{
    if (m_done)
        return;
    if (m_nested)
        sqlite3_exec(m_db, "ROLLBACK TO pardex_write; RELEASE pardex_write", nullptr, nullptr, nullptr);
    else
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void WriteTransaction::commit()
{
    exec(m_db, m_nested ? QStringLiteral("RELEASE pardex_write") : QStringLiteral("COMMIT"));
    m_done = true;
}

} // namespace sqlite
