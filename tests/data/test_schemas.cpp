// One description, three engines: the scripts generated for SQLite,
// PostgreSQL and SQL Server give every column the component's inserts leave
// out a value of their own (and SQL Server is never given one for an
// identity), the SQL Server scripts (never run here) hold
// every object the component uses, each procedure with the described
// parameters (on the other engines the form tests run every statement and
// call every procedure).

#include "data/ProcedureDefs.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

struct Column
{
    bool needsValue = false; // NOT NULL (or a key) with neither identity nor default
    bool identity = false;
};

struct Schema
{
    QMap<QString, QMap<QString, Column>> tables; // lower-case names
    QSet<QString> views, procedures;
};

QString withoutComments(QString sql)
{
    static const QRegularExpression line(QStringLiteral("--[^\\n]*"));
    return sql.remove(line);
}

// Splits on commas outside parentheses.
QStringList topLevelParts(const QString &body)
{
    QStringList parts;
    int depth = 0, start = 0;
    for (int i = 0; i < body.size(); ++i) {
        if (body[i] == u'(')
            ++depth;
        else if (body[i] == u')')
            --depth;
        else if (body[i] == u',' && depth == 0) {
            parts << body.mid(start, i - start);
            start = i + 1;
        }
    }
    parts << body.mid(start);
    return parts;
}

QString firstWord(const QString &text)
{
    static const QRegularExpression word(QStringLiteral("^\\s*\\[?([A-Za-z_][A-Za-z0-9_]*)"));
    const auto m = word.match(text);
    return m.hasMatch() ? m.captured(1).toLower() : QString();
}

bool has(const QString &text, const char *pattern)
{
    return QRegularExpression(QLatin1String(pattern), QRegularExpression::CaseInsensitiveOption).match(text).hasMatch();
}

// The tables of a script as the engine reads them: which columns an insert
// must name. An engine fills a column an insert leaves out from its
// identity (SQL Server's IDENTITY, PostgreSQL's GENERATED ... AS IDENTITY,
// SQLite's INTEGER PRIMARY KEY) or its DEFAULT, else with NULL -- which a
// NOT NULL column or a key refuses.
void readScript(const QString &sql, Schema &schema, bool sqlite = false)
{
    static const QRegularExpression table(QStringLiteral("CREATE\\s+TABLE\\s+(\\w+)\\s*\\("),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression created(QStringLiteral("CREATE\\s+(VIEW|PROCEDURE)\\s+(?:dbo\\.)?(\\w+)"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tableKey(QStringLiteral("^\\s*PRIMARY\\s+KEY\\s*\\(([^)]*)\\)"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QSet<QString> constraints = {QStringLiteral("primary"), QStringLiteral("unique"),
                                              QStringLiteral("constraint"), QStringLiteral("foreign"),
                                              QStringLiteral("check")};
    for (auto it = table.globalMatch(sql); it.hasNext();) {
        const auto m = it.next();
        int depth = 1, i = int(m.capturedEnd());
        const int start = i;
        for (; i < sql.size() && depth > 0; ++i)
            depth += sql[i] == u'(' ? 1 : sql[i] == u')' ? -1 : 0;
        auto &columns = schema.tables[m.captured(1).toLower()];
        for (const QString &part : topLevelParts(sql.mid(start, i - 1 - start))) {
            const QString name = firstWord(part);
            if (const auto key = tableKey.match(part); key.hasMatch()) {
                for (const QString &c : key.captured(1).split(u','))
                    columns[c.trimmed().toLower()].needsValue = true;
            } else if (!name.isEmpty() && !constraints.contains(name)) {
                // SQLite numbers an INTEGER PRIMARY KEY itself; PostgreSQL does not.
                const bool identity = has(part, "\\bIDENTITY\\b")
                                      || (sqlite && has(part, "^\\s*\\w+\\s+INTEGER\\s+PRIMARY\\s+KEY"));
                const bool required = has(part, "\\bNOT\\s+NULL\\b") || has(part, "\\bPRIMARY\\s+KEY\\b");
                columns[name].needsValue = required && !identity && !has(part, "\\bDEFAULT\\b");
                columns[name].identity = identity;
            }
        }
    }
    for (auto it = created.globalMatch(sql); it.hasNext();) {
        const auto m = it.next();
        (m.captured(1).compare(u"view", Qt::CaseInsensitive) == 0 ? schema.views : schema.procedures)
            .insert(m.captured(2).toLower());
    }
}

// The generated scripts of an engine.
QStringList scriptsOf(const QString &engine)
{
    const QDir dir(QStringLiteral(PARDEX_DB_DIR) + u'/' + engine);
    QStringList texts;
    for (const QString &name : dir.entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        texts << withoutComments(QString::fromUtf8(file.readAll()));
    }
    EXPECT_FALSE(texts.isEmpty()) << dir.path().toStdString();
    return texts;
}

struct Insert
{
    QString where, table;
    QStringList columns;
};

// Every "INSERT INTO table (columns)" of the given texts.
void collectInserts(const QString &text, const QString &where, QVector<Insert> &out)
{
    static const QRegularExpression insert(QStringLiteral("insert\\s+into\\s+(\\w+)\\s*\\(([^)]*)\\)"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression name(QStringLiteral("^\\w+$"));
    for (auto it = insert.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        QStringList columns;
        for (const QString &c : m.captured(2).split(u','))
            columns << c.trimmed().toLower();
        if (std::all_of(columns.cbegin(), columns.cend(), [](const QString &c) { return name.match(c).hasMatch(); }))
            out.push_back({where, m.captured(1).toLower(), columns});
    }
}

// The inserts the program's own code writes (adjacent C++ string literals
// joined, so a column list may span lines).
const QVector<Insert> &programInserts()
{
    static const QVector<Insert> inserts = [] {
        QVector<Insert> found;
        static const QRegularExpression adjacent(QStringLiteral("\"\\s*\""));
        for (const char *folder : {"/src", "/components"}) {
            QDirIterator it(QStringLiteral(PARDEX_SOURCE_DIR) + QLatin1String(folder), {QStringLiteral("*.cpp")},
                            QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                QFile file(it.next());
                EXPECT_TRUE(file.open(QIODevice::ReadOnly));
                collectInserts(QString::fromUtf8(file.readAll()).remove(adjacent), it.fileName(), found);
            }
        }
        return found;
    }();
    return inserts;
}

} // namespace

TEST(Schemas, EveryColumnAnInsertLeavesOutGetsAValueFromEachEngine)
{
    QStringList engines = {QStringLiteral("sqlite"), QStringLiteral("postgresql")};
#ifdef PARDEX_SQLSERVER
    engines << QStringLiteral("mssql");
#endif
    for (const QString &engineName : engines) {
        const std::string engine = engineName.toStdString();
        Schema schema;
        QVector<Insert> inserts = programInserts();
        for (const QString &text : scriptsOf(engineName)) {
            readScript(text, schema, engineName == u"sqlite");
            collectInserts(text, QStringLiteral("the engine's scripts"), inserts);
        }
        ASSERT_GT(schema.tables.size(), 30) << engine;
        ASSERT_GT(inserts.size(), 10) << engine;
        for (const Insert &insert : inserts) {
            const auto table = schema.tables.constFind(insert.table);
            if (table == schema.tables.cend()) {
                ADD_FAILURE() << engine << ": " << insert.where.toStdString() << " inserts into "
                              << insert.table.toStdString() << ", which its scripts do not create";
                continue;
            }
            for (auto c = table->cbegin(); c != table->cend(); ++c) {
                EXPECT_FALSE(c->needsValue && !insert.columns.contains(c.key()))
                    << engine << ": " << insert.where.toStdString() << " leaves out " << insert.table.toStdString()
                    << "." << c.key().toStdString() << ", which has neither identity nor default";
                // SQL Server refuses a value for an identity column.
                EXPECT_FALSE(engine == "mssql" && c->identity && insert.columns.contains(c.key()))
                    << insert.where.toStdString() << " gives " << insert.table.toStdString() << "."
                    << c.key().toStdString() << ", an identity column";
            }
        }
    }
}

#ifdef PARDEX_SQLSERVER
// SQL Server cannot run here: its scripts are read instead. They hold every
// table, with its columns, and every view of the SQLite scripts, whose
// every statement the form tests run.
TEST(Schemas, TheSqlServerScriptsHoldEveryObjectTheComponentUses)
{
    Schema sqlite, schema;
    for (const QString &text : scriptsOf(QStringLiteral("sqlite")))
        readScript(text, sqlite, true);
    for (const QString &text : scriptsOf(QStringLiteral("mssql")))
        readScript(text, schema);
    ASSERT_GT(sqlite.views.size(), 15);
    for (auto table = sqlite.tables.cbegin(); table != sqlite.tables.cend(); ++table)
        for (auto column = table->cbegin(); column != table->cend(); ++column)
            EXPECT_TRUE(schema.tables.value(table.key()).contains(column.key()))
                << table.key().toStdString() << "." << column.key().toStdString();
    for (const QString &view : std::as_const(sqlite.views))
        EXPECT_TRUE(schema.views.contains(view)) << view.toStdString();
    // Each procedure takes the parameters the data environment's one
    // description gives, in its order, OUTPUT where it is in/out.
    static const QRegularExpression header(QStringLiteral("CREATE\\s+PROCEDURE\\s+(?:dbo\\.)?(\\w+)(.*?)\\bAS\\b"),
                                           QRegularExpression::CaseInsensitiveOption
                                               | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression parameter(QStringLiteral("(@\\w+)\\s+\\w+(?:\\s*\\([^)]*\\))?(\\s+OUTPUT)?"),
                                              QRegularExpression::CaseInsensitiveOption);
    QMap<QString, QStringList> declared;
    for (const QString &text : scriptsOf(QStringLiteral("mssql")))
        for (auto it = header.globalMatch(text); it.hasNext();) {
            const auto m = it.next();
            QStringList &params = declared[m.captured(1).toLower()];
            for (auto p = parameter.globalMatch(m.captured(2)); p.hasNext();) {
                const auto q = p.next();
                params << q.captured(1).toLower() + (q.captured(2).isEmpty() ? QString() : QStringLiteral(" out"));
            }
        }
    for (const ProcedureDef *procedure : Procedures::all()) {
        QStringList described;
        for (const ProcedureParam &p : procedure->params)
            described << QString::fromLatin1(p.name).toLower()
                             + (p.direction == ProcedureParam::InOut ? QStringLiteral(" out") : QString());
        const QString name = QString::fromLatin1(procedure->name).toLower();
        ASSERT_TRUE(declared.contains(name)) << procedure->name;
        EXPECT_EQ(declared[name], described) << procedure->name;
    }
}
#endif
