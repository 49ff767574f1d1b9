#include "data/SqliteDialect.h"

#include "core/VbError.h"
#include "data/Cursor.h"
#include "data/DriverLibrary.h"
#include "data/ProcedureDefs.h"
#include "data/TsqlToSqlite.h"
#include "suite/Procedures.h"
#include "suite/Session.h"
#include "suite/SqlLexer.h"
#include "suite/StatementCache.h"
#include "suite/Sqlite.h"

#include <QAtomicInt>
#include <algorithm>
#include <iterator>
#include <limits>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <sqlite3.h>

namespace {
QAtomicInt connectionSerial;
}

// Qt's connection names are process-wide, while a sibling component loaded
// as a plugin has its own copy of this counter: the counter's address keeps
// the names of the two copies apart, so neither replaces the other's.
SqliteDialect::SqliteDialect()
    : m_name(QStringLiteral("pardex-sqlite-%1-%2")
                 .arg(quintptr(&connectionSerial), 0, 16)
                 .arg(connectionSerial.fetchAndAddRelaxed(1)))
{
}

SqliteDialect::~SqliteDialect()
{
    close();
}

QString SqliteDialect::toNative(const QString &tsql) const
{
    return tsqlToSqlite(tsql);
}

QString SqliteDialect::dateLiteralText(const QDate &date)
{
    // The stored form of dates: comparing texts compares moments.
    return date.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 00:00:00");
}

QString SqliteDialect::dateLiteral(const QDate &date) const
{
    return dateLiteralText(date);
}

int SqliteDialect::onBusy(void *self, int count)
{
    auto *d = static_cast<SqliteDialect *>(self);
    if (!d->m_statementClock && count == 0)
        d->m_deadline = d->deadline();
    // A time-out of 0 waits as long as it takes, as ADO's does.
    const qint64 left = d->m_deadline.isForever() ? 100 : d->m_deadline.remainingTime();
    if (left <= 0)
        return 0;
    // Short sleeps first, as the engine's own busy timeout does, so a lock
    // held for a moment costs a moment.
    static constexpr int delays[] = {1, 2, 5, 10, 15, 20, 25, 25, 25, 50, 50, 100};
    const int delay = count < int(std::size(delays)) ? delays[count] : 100;
    sqlite3_sleep(int(std::min<qint64>(delay, left)));
    return 1;
}

template <typename Step>
auto SqliteDialect::timed(Step &&step)
{
    if (m_statementClock)
        return step();
    m_deadline = deadline();
    m_statementClock = true;
    struct Stop
    {
        bool &clock;
        ~Stop() { clock = false; }
    } stop{m_statementClock};
    return step();
}

void SqliteDialect::open(const ConnectionString &cs, int connectTimeoutSeconds, int commandTimeoutSeconds)
{
    Q_UNUSED(connectTimeoutSeconds)
    const QString path = cs.value({"Data Source", "DataSource", "Database"});
    if (path.isEmpty())
        throw VbError::database(QStringLiteral("مسير فايل پايگاه داده در رشته اتصال نيامده است."),
                                engineName());
    // Qt's driver would create a missing file; only the admin tool creates one.
    if (!QFileInfo(path).isFile())
        throw VbError::database(QStringLiteral("فايل پايگاه داده يافت نشد: %1").arg(path), engineName());

    const QString mode = cs.value("Mode").toLower();
    const bool readOnly = mode.contains(u"read") && !mode.contains(u"write");

    m_path = path;
    setCommandTimeout(commandTimeoutSeconds);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(path);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(m_busyMilliseconds);
    if (readOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    db.setConnectOptions(options);
    if (!db.open()) {
        const QString text = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw VbError::database(QStringLiteral("%1: %2").arg(path, text), engineName());
    }
    QString why;
    m_handle = static_cast<sqlite3 *>(DriverLibrary::ourHandle(
        db, {"sqlite3*"}, "sqlite3_open_v2", reinterpret_cast<const void *>(&sqlite3_open_v2), why));
    if (!m_handle) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw VbError::database(QStringLiteral("راه انداز SQLite برنامه (QSQLITE) با كتابخانه SQLite خود برنامه كار نمي كند: %1")
                                    .arg(why),
                                engineName());
    }
    sqlite3_busy_handler(m_handle, &SqliteDialect::onBusy, this);
    try {
        timed([&] {
            sqlite::exec(m_handle, QStringLiteral("PRAGMA foreign_keys = ON"));
            suite::registerSessionFunctions(m_handle, &m_sessionUser);
            registerFolding(m_handle);
            // A file that is not a database fails here rather than at the first query.
            sqlite::scalar(m_handle, QStringLiteral("SELECT count(*) FROM sqlite_master"));
        });
    } catch (const VbError &e) {
        db = QSqlDatabase(); // the registry's connection must be unused to go
        close();
        throw VbError::database(QStringLiteral("%1: %2").arg(path, e.description()), engineName());
    }
}

void SqliteDialect::close()
{
    if (!QSqlDatabase::contains(m_name))
        return;
    m_statements.clear(); // prepared statements first, or the file stays open
    m_handle = nullptr;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

void SqliteDialect::setCommandTimeout(int seconds)
{
    // Beyond what the engine counts in milliseconds is as good as forever.
    m_busyMilliseconds = int(qBound(qint64(0), qint64(seconds) * 1000, qint64(std::numeric_limits<int>::max())));
}

void SqliteDialect::beforeRun()
{
    lookAtFile(false);
}

void SqliteDialect::lookAtFile(bool writing)
{
    constexpr qint64 ReadsShareALookMs = 250;
    if (!writing && m_lastLook.isValid() && m_lastLook.elapsed() < ReadsShareALookMs)
        return;
    m_lastLook.start();
    int moved = 0;
    if (sqlite3_file_control(m_handle, "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK && moved) {
        markLost();
        throw VbError::database(QStringLiteral("فايل پايگاه داده %1 از جاي خود برداشته يا با فايل ديگري عوض شده است؛ "
                                               "تا به جاي خود برنگردد چيزي در آن نوشته نمي شود.")
                                    .arg(m_path),
                                engineName());
    }
}

bool SqliteDialect::failureLosesConnection() const
{
    switch (sqlite3_extended_errcode(m_handle) & 0xff) {
    case SQLITE_IOERR:
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
    case SQLITE_CANTOPEN:
    case SQLITE_READONLY:
        return true;
    default:
        return false;
    }
}

RowSet SqliteDialect::run(const QString &nativeSql, const QVariantList &params)
{
    // A bound statement is already one shape with its values apart:
    // nothing for the cache to share.
    if (!sql::singleQuery(nativeSql))
        lookAtFile(true);
    return timed([&] {
        return params.isEmpty() ? m_statements.run(m_handle, nativeSql) : sqlite::run(m_handle, nativeSql, params);
    });
}

int SqliteDialect::runProcedure(const ProcedureDef &procedure, QVariantList &args)
{
    lookAtFile(true);
    return timed([&] { return suite::callProcedure(m_handle, QString::fromLatin1(procedure.name), args); });
}

bool SqliteDialect::inTransaction() const
{
    return m_handle && sqlite3_get_autocommit(m_handle) == 0;
}

namespace {

// One query's rows straight from the engine: nothing is converted until
// the caller asks for a value.
class SqliteCursor : public Cursor
{
public:
    SqliteCursor(sqlite3 *db, sqlite3_stmt *stmt) : m_db(db), m_stmt(stmt)
    {
        const int n = sqlite3_column_count(stmt);
        m_money.resize(n);
        for (int c = 0; c < n; ++c) {
            const char *declared = sqlite3_column_decltype(stmt, c);
            m_money[c] = declared && QByteArray(declared).toUpper().startsWith("MONEY");
        }
    }
    ~SqliteCursor() override
    {
        sqlite3_finalize(m_stmt);
        sqlite3_close_v2(m_db);
    }

    int columnCount() const override { return int(m_money.size()); }
    QString columnName(int column) const override { return QString::fromUtf8(sqlite3_column_name(m_stmt, column)); }
    bool isMoney(int column) const override { return m_money.value(column); }

    bool next() override
    {
        if (m_done)
            return false;
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        m_done = true;
        if (rc == SQLITE_DONE)
            return false;
        sqlite::fail(m_db);
    }

    Kind kind(int column) const override
    {
        switch (sqlite3_column_type(m_stmt, column)) {
        case SQLITE_NULL:
            return Kind::Null;
        case SQLITE_INTEGER:
            return Kind::Integer;
        case SQLITE_FLOAT:
            return Kind::Real;
        default:
            return Kind::Text;
        }
    }
    qint64 integer(int column) const override { return sqlite3_column_int64(m_stmt, column); }
    double real(int column) const override { return sqlite3_column_double(m_stmt, column); }
    std::string_view text(int column) const override
    {
        const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
        return bytes ? std::string_view(bytes, size_t(sqlite3_column_bytes(m_stmt, column))) : std::string_view();
    }

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_stmt;
    QVector<bool> m_money;
    bool m_done = false;
};

// Folding of one code point for LIKE.
char32_t fold(char32_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    switch (c) {
    case 0x064A: // Arabic yeh
    case 0x0649: // alef maksura
        return 0x06CC; // Persian yeh
    case 0x0643: // Arabic kaf
        return 0x06A9; // Persian keheh
    default:
        break;
    }
    if (c >= 0x06F0 && c <= 0x06F9)
        return '0' + (c - 0x06F0);
    if (c >= 0x0660 && c <= 0x0669)
        return '0' + (c - 0x0660);
    return c;
}

// UTF-8 to folded code points; malformed bytes stand for themselves.
void decodeFolded(const unsigned char *s, int n, std::u32string &out)
{
    out.clear();
    for (int i = 0; i < n;) {
        const unsigned char b = s[i];
        char32_t c = b;
        int len = 1;
        if (b >= 0xF0 && i + 3 < n) {
            c = char32_t(b & 0x07) << 18 | char32_t(s[i + 1] & 0x3F) << 12 | char32_t(s[i + 2] & 0x3F) << 6
                | char32_t(s[i + 3] & 0x3F);
            len = 4;
        } else if (b >= 0xE0 && i + 2 < n) {
            c = char32_t(b & 0x0F) << 12 | char32_t(s[i + 1] & 0x3F) << 6 | char32_t(s[i + 2] & 0x3F);
            len = 3;
        } else if (b >= 0xC0 && i + 1 < n) {
            c = char32_t(b & 0x1F) << 6 | char32_t(s[i + 1] & 0x3F);
            len = 2;
        }
        out.push_back(fold(c));
        i += len;
    }
}

// SQL LIKE over folded texts: % any run, _ one character, the escape
// character (if any) makes the next pattern character literal.
bool likeMatch(const std::u32string &pattern, const std::u32string &text, char32_t escape, bool hasEscape)
{
    size_t p = 0, t = 0;
    size_t starP = std::u32string::npos, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size()) {
            const char32_t pc = pattern[p];
            if (hasEscape && pc == escape && p + 1 < pattern.size()) {
                if (pattern[p + 1] == text[t]) {
                    p += 2;
                    ++t;
                    continue;
                }
            } else if (pc == U'%') {
                starP = p++;
                starT = t;
                continue;
            } else if (pc == U'_' || pc == text[t]) {
                ++p;
                ++t;
                continue;
            }
        }
        if (starP == std::u32string::npos)
            return false;
        p = starP + 1;
        t = ++starT;
    }
    while (p < pattern.size() && pattern[p] == U'%')
        ++p;
    return p == pattern.size();
}

void foldingLike(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            return sqlite3_result_null(context);
    thread_local std::u32string pattern, text, escape;
    decodeFolded(sqlite3_value_text(argv[0]), sqlite3_value_bytes(argv[0]), pattern);
    decodeFolded(sqlite3_value_text(argv[1]), sqlite3_value_bytes(argv[1]), text);
    bool hasEscape = false;
    char32_t esc = 0;
    if (argc == 3) {
        decodeFolded(sqlite3_value_text(argv[2]), sqlite3_value_bytes(argv[2]), escape);
        if (escape.size() != 1)
            return sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
        hasEscape = true;
        esc = escape[0];
    }
    sqlite3_result_int(context, likeMatch(pattern, text, esc, hasEscape) ? 1 : 0);
}

} // namespace

void SqliteDialect::registerFolding(sqlite3 *db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    if (sqlite3_create_function(db, "like", 2, flags, nullptr, foldingLike, nullptr, nullptr) != SQLITE_OK
        || sqlite3_create_function(db, "like", 3, flags, nullptr, foldingLike, nullptr, nullptr) != SQLITE_OK)
        sqlite::fail(db);
}

std::unique_ptr<Cursor> SqliteDialect::stream(const QString &nativeSql)
{
    sqlite3 *db = nullptr;
    const QByteArray path = m_path.toUtf8();
    if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        const QString text = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        sqlite3_close_v2(db);
        throw VbError::database(QStringLiteral("%1: %2").arg(m_path, text), engineName());
    }
    sqlite3_busy_timeout(db, m_busyMilliseconds > 0 ? m_busyMilliseconds : std::numeric_limits<int>::max());
    const QByteArray sql = nativeSql.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    const char *tail = nullptr;
    try {
        registerFolding(db);
        if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &stmt, &tail) != SQLITE_OK)
            sqlite::fail(db);
    } catch (...) {
        sqlite3_finalize(stmt);
        sqlite3_close_v2(db);
        throw;
    }
    // More than one statement, or none: the ordinary path runs them all.
    if (!stmt || (tail && !QByteArray(tail).trimmed().isEmpty())) {
        sqlite3_finalize(stmt);
        sqlite3_close_v2(db);
        return nullptr;
    }
    return std::make_unique<SqliteCursor>(db, stmt);
}
