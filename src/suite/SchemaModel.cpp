#include "suite/SchemaModel.h"

#include <QRegularExpression>
#include <stdexcept>

namespace schema {

const Column *Table::column(const QString &wanted) const
{
    for (const Column &c : columns)
        if (c.name.compare(wanted, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

const Table *Model::table(const QString &wanted) const
{
    for (const Table &t : tables)
        if (t.name.compare(wanted, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

namespace {

[[noreturn]] void unreadable(int lineNo, const QString &line, const char *why)
{
    throw std::runtime_error(QStringLiteral("tables.def line %1: %2: %3")
                                 .arg(lineNo)
                                 .arg(QLatin1String(why), line.trimmed())
                                 .toStdString());
}

QStringList nameList(const QString &inParens)
{
    QStringList names;
    for (const QString &n : inParens.split(u',', Qt::SkipEmptyParts))
        names << n.trimmed();
    return names;
}

// Takes the first match of pattern out of rest; its first group, or a null
// string when nothing matched.
QString take(QString &rest, const QString &pattern, bool *found = nullptr)
{
    const QRegularExpression re(pattern, QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(rest);
    if (found)
        *found = m.hasMatch();
    if (!m.hasMatch())
        return QString();
    const QString group = m.lastCapturedIndex() >= 1 ? m.captured(1) : m.captured(0);
    rest.remove(m.capturedStart(0), m.capturedLength(0));
    return group;
}

bool takeFlag(QString &rest, const QString &pattern)
{
    bool found = false;
    take(rest, pattern, &found);
    return found;
}

Column parseColumn(const QString &line, int lineNo)
{
    static const QRegularExpression head(QStringLiteral(R"(^(\w+)\s+(\w+(?:\(\s*(?:\d+|MAX)\s*\))?)(.*)$)"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = head.match(line.trimmed());
    if (!m.hasMatch())
        unreadable(lineNo, line, "a column is a name and a type");
    Column c;
    c.name = m.captured(1);
    c.type = m.captured(2).toUpper();
    QString rest = m.captured(3);
    // CHECK's condition holds blanks and parentheses: it runs to the last ")".
    const qsizetype check = rest.indexOf(QRegularExpression(QStringLiteral(R"(\bCHECK\s*\()"),
                                                            QRegularExpression::CaseInsensitiveOption));
    if (check >= 0) {
        const qsizetype open = rest.indexOf(u'(', check);
        const qsizetype close = rest.lastIndexOf(u')');
        if (close < open)
            unreadable(lineNo, line, "CHECK needs its condition in parentheses");
        c.check = rest.mid(open + 1, close - open - 1).trimmed();
        rest.remove(check, close - check + 1);
    }
    c.postgresType = take(rest, QStringLiteral(R"(\bpostgresql:(\S+))"));
    c.defaultValue = take(rest, QStringLiteral(R"(\bDEFAULT\s+(\S+))"));
    c.cascade = takeFlag(rest, QStringLiteral(R"(\bON\s+DELETE\s+CASCADE\b)"));
    c.references = take(rest, QStringLiteral(R"(\bREFERENCES\s+(\w+))"));
    c.identity = takeFlag(rest, QStringLiteral(R"(\bIDENTITY\b)"));
    c.key = takeFlag(rest, QStringLiteral(R"(\bPRIMARY\s+KEY\b)"));
    c.notNull = takeFlag(rest, QStringLiteral(R"(\bNOT\s+NULL\b)"));
    c.unique = takeFlag(rest, QStringLiteral(R"(\bUNIQUE\b)"));
    if (!rest.trimmed().isEmpty())
        unreadable(lineNo, line, "unknown words");
    if ((c.identity || c.key) && c.type != u"INT")
        unreadable(lineNo, line, "a key column is INT");
    return c;
}

} // namespace

Model parse(const QString &description)
{
    Model model;
    Table *current = nullptr;
    static const QRegularExpression tableLine(QStringLiteral(R"(^(TABLE|EXTEND)\s+(\w+)\s*$)"));
    static const QRegularExpression keyLine(QStringLiteral(R"(^(PRIMARY\s+KEY|UNIQUE)\s*\(([^)]*)\)\s*$)"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression indexLine(
        QStringLiteral(R"(^(UNIQUE\s+)?INDEX\s+(\w+)\s*\(([^)]*)\)\s*(?:WHERE\s+(.+))?$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QStringList lines = description.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (const auto m = tableLine.match(line); m.hasMatch()) {
            QVector<Table> &list = m.captured(1) == u"TABLE" ? model.tables : model.extensions;
            list.push_back(Table{m.captured(2), {}, {}, {}, {}});
            current = &list.back();
            continue;
        }
        if (!current)
            unreadable(i + 1, line, "outside a TABLE");
        if (const auto m = keyLine.match(line); m.hasMatch()) {
            if (m.captured(1).startsWith(u'P', Qt::CaseInsensitive))
                current->primaryKey = nameList(m.captured(2));
            else
                current->uniques.push_back(nameList(m.captured(2)));
        } else if (const auto m = indexLine.match(line); m.hasMatch()) {
            current->indexes.push_back(
                Index{m.captured(2), !m.captured(1).isEmpty(), nameList(m.captured(3)), m.captured(4).trimmed()});
        } else {
            current->columns.push_back(parseColumn(line, i + 1));
        }
    }
    return model;
}

namespace {

QString varcharLength(const QString &type)
{
    const qsizetype open = type.indexOf(u'(');
    return open < 0 ? QString() : type.mid(open);
}

QString mappedType(const Column &c, Engine engine)
{
    const bool text = c.type.startsWith(QLatin1String("NVARCHAR")) || c.type.startsWith(QLatin1String("VARCHAR"));
    const bool unbounded = c.type.endsWith(QLatin1String("(MAX)"));
    switch (engine) {
    case Engine::SqlServer:
        return c.type;
    case Engine::Sqlite:
        if (text)
            return unbounded ? QStringLiteral("TEXT") : QStringLiteral("VARCHAR") + varcharLength(c.type);
        return c.type;
    case Engine::Postgres:
        if (!c.postgresType.isEmpty())
            return c.postgresType;
        if (text)
            return unbounded ? QStringLiteral("text") : QStringLiteral("varchar") + varcharLength(c.type);
        if (c.type == u"MONEY")
            return QStringLiteral("numeric(19,4)");
        if (c.type == u"DATETIME")
            return QStringLiteral("timestamp");
        return QStringLiteral("integer");
    }
    return c.type;
}

QString columnDefinition(const Column &c, Engine engine)
{
    QString d = c.name + u' ';
    if (c.identity) {
        switch (engine) {
        case Engine::Sqlite: d += QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT"); break;
        case Engine::Postgres: d += QStringLiteral("integer GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY"); break;
        case Engine::SqlServer: d += QStringLiteral("INT IDENTITY(1,1) NOT NULL PRIMARY KEY"); break;
        }
    } else if (c.key) {
        // SQLite's INTEGER PRIMARY KEY is the row's own number: never null.
        d += engine == Engine::Sqlite ? QStringLiteral("INTEGER") : mappedType(c, engine);
        d += engine == Engine::SqlServer ? QStringLiteral(" NOT NULL PRIMARY KEY") : QStringLiteral(" PRIMARY KEY");
    } else {
        d += mappedType(c, engine);
        if (c.notNull)
            d += QStringLiteral(" NOT NULL");
        else if (engine == Engine::SqlServer)
            d += QStringLiteral(" NULL");
    }
    if (c.unique)
        d += QStringLiteral(" UNIQUE");
    if (!c.defaultValue.isEmpty())
        d += QStringLiteral(" DEFAULT ") + c.defaultValue;
    if (!c.references.isEmpty())
        d += QStringLiteral(" REFERENCES ") + c.references + QStringLiteral("(ID)");
    if (c.cascade)
        d += QStringLiteral(" ON DELETE CASCADE");
    if (!c.check.isEmpty())
        d += QStringLiteral(" CHECK (") + c.check + u')';
    return d;
}

} // namespace

QStringList createStatements(const Model &model, Engine engine)
{
    QStringList out;
    for (const Table &t : model.tables) {
        QStringList parts;
        for (const Column &c : t.columns)
            parts << QStringLiteral("  ") + columnDefinition(c, engine);
        if (!t.primaryKey.isEmpty())
            parts << QStringLiteral("  PRIMARY KEY (") + t.primaryKey.join(QStringLiteral(", ")) + u')';
        for (const QStringList &u : t.uniques)
            parts << QStringLiteral("  UNIQUE (") + u.join(QStringLiteral(", ")) + u')';
        QString create = QStringLiteral("CREATE TABLE ") + t.name + QStringLiteral(" (\n") + parts.join(QStringLiteral(",\n"))
                         + QStringLiteral("\n)");
        // A table keyed by several columns needs no row number of its own.
        if (engine == Engine::Sqlite && !t.primaryKey.isEmpty())
            create += QStringLiteral(" WITHOUT ROWID");
        out << create;
        for (const Index &ix : t.indexes) {
            QString index = QStringLiteral("CREATE ") + (ix.unique ? QStringLiteral("UNIQUE ") : QString())
                            + QStringLiteral("INDEX ") + ix.name + QStringLiteral(" ON ") + t.name + QStringLiteral(" (")
                            + ix.columns.join(QStringLiteral(", ")) + u')';
            if (!ix.where.isEmpty())
                index += QStringLiteral(" WHERE ") + ix.where;
            out << index;
        }
    }
    return out;
}

QStringList extendStatements(const Model &model, Engine engine)
{
    // A column a statement: SQL Server could add several at once, but one
    // form for every engine reads the same everywhere.
    QStringList out;
    for (const Table &t : model.extensions)
        for (const Column &c : t.columns)
            out << QStringLiteral("ALTER TABLE ") + t.name
                       + (engine == Engine::SqlServer ? QStringLiteral(" ADD ") : QStringLiteral(" ADD COLUMN "))
                       + columnDefinition(c, engine);
    return out;
}

QStringList batches(const QString &tsql)
{
    QStringList out;
    QString current;
    const auto flush = [&] {
        QString s = current.trimmed();
        while (s.endsWith(u';'))
            s.chop(1);
        // A batch of comments alone (a file's heading) is no statement.
        bool onlyComments = true;
        for (const QString &l : s.split(u'\n'))
            if (!l.trimmed().isEmpty() && !l.trimmed().startsWith(QLatin1String("--")))
                onlyComments = false;
        if (!onlyComments)
            out << s;
        current.clear();
    };
    for (const QString &line : tsql.split(u'\n')) {
        if (line.trimmed().compare(QLatin1String("GO"), Qt::CaseInsensitive) == 0)
            flush();
        else
            current += line + u'\n';
    }
    flush();
    return out;
}

Rule parseRule(const QString &text)
{
    Rule rule;
    static const QRegularExpression name(QStringLiteral(R"(^--\s*NAME\s+(.*)$)"), QRegularExpression::MultilineOption);
    static const QRegularExpression parameters(QStringLiteral(R"(^--\s*PARAMETERS\s+(.*)$)"),
                                               QRegularExpression::MultilineOption);
    static const QRegularExpression first(QStringLiteral(R"(^--\s*POSTGRESQL\s+(.*)$)"),
                                          QRegularExpression::MultilineOption);
    for (const QString &n : name.match(text).captured(1).split(u' ', Qt::SkipEmptyParts)) {
        const QString value = n.section(u':', 1);
        if (n.startsWith(QLatin1String("postgresql:")))
            rule.postgresName = value;
        else if (n.startsWith(QLatin1String("mssql:")))
            rule.sqlServerName = value;
        else if (n.startsWith(QLatin1String("sqlite:")))
            rule.sqliteName = value;
    }
    static const QRegularExpression parameter(QStringLiteral(R"(^@(\w+)\s+(\w+)\s*(=\s*NULL)?$)"),
                                              QRegularExpression::CaseInsensitiveOption);
    for (const QString &p : parameters.match(text).captured(1).split(u',', Qt::SkipEmptyParts)) {
        const auto m = parameter.match(p.trimmed());
        if (!m.hasMatch())
            throw std::runtime_error("a rule's parameter is \"@Name type [= NULL]\": " + p.toStdString());
        rule.parameters.push_back({m.captured(1), m.captured(2), m.hasCaptured(3)});
    }
    static const QRegularExpression sqlServerFirst(QStringLiteral(R"(^--\s*SQLSERVER\s+(.*)$)"),
                                                   QRegularExpression::MultilineOption);
    static const QRegularExpression returns(QStringLiteral(R"(^--\s*RETURNS\s+@(\w+)\s+(\w+)\s*$)"),
                                            QRegularExpression::MultilineOption);
    rule.postgresFirst = first.match(text).captured(1).trimmed();
    rule.sqlServerFirst = sqlServerFirst.match(text).captured(1).trimmed();
    if (const auto m = returns.match(text); m.hasMatch()) {
        rule.result = m.captured(1);
        rule.resultType = m.captured(2);
    }
    // The statements without the comments that head the file.
    for (QString statement : batches(text)) {
        while (statement.startsWith(QLatin1String("--")))
            statement = statement.section(u'\n', 1);
        rule.statements << statement;
    }
    if (rule.postgresName.isEmpty() || rule.sqlServerName.isEmpty() || rule.sqliteName.isEmpty() || rule.statements.isEmpty())
        throw std::runtime_error("a rule needs its three names and its statements");
    if (!rule.result.isEmpty() && rule.statements.size() != 1)
        throw std::runtime_error("a rule that answers a value is one SELECT");
    return rule;
}

namespace {

// @Name -> what the engine calls the parameter.
QString withParameters(QString sql, const Rule &rule, Engine engine)
{
    for (int i = 0; i < rule.parameters.size(); ++i) {
        const QString &p = rule.parameters[i].name;
        const QString to = engine == Engine::Sqlite ? QStringLiteral("?%1").arg(i + 1) : QStringLiteral("p_") + p.toLower();
        sql.replace(QRegularExpression(QStringLiteral("@%1\\b").arg(p), QRegularExpression::CaseInsensitiveOption), to);
    }
    return sql;
}

} // namespace

QString ruleScript(const Rule &rule, Engine engine, const std::function<QString(const QString &)> &rewrite)
{
    const QString heading = QStringLiteral("-- Generated from db/rules; edit that.\n");
    QStringList statements;
    for (const QString &s : rule.statements)
        statements << (engine == Engine::SqlServer ? s : withParameters(rewrite(s), rule, engine));
    if (engine == Engine::Sqlite)
        return heading + statements.join(QStringLiteral("\nGO\n")) + QStringLiteral("\nGO\n");
    QStringList declared;
    for (const Rule::Parameter &p : rule.parameters) {
        Column column;
        column.type = p.type.toUpper();
        if (engine == Engine::SqlServer)
            declared << u'@' + p.name + u' ' + p.type + (p.optional ? QStringLiteral(" = NULL") : QString());
        else
            declared << QStringLiteral("p_") + p.name.toLower() + u' ' + mappedType(column, engine)
                            + (p.optional ? QStringLiteral(" DEFAULT NULL") : QString());
    }
    const bool answers = !rule.result.isEmpty();
    if (engine == Engine::SqlServer) {
        if (answers)
            declared << u'@' + rule.result + u' ' + rule.resultType + QStringLiteral(" OUTPUT");
        QString body = QStringLiteral("  SET NOCOUNT ON;\n");
        if (!rule.sqlServerFirst.isEmpty())
            body += QStringLiteral("  ") + rule.sqlServerFirst + QStringLiteral(";\n");
        body += answers ? QString(QStringLiteral("SET @") + rule.result + QStringLiteral(" = (") + statements[0] + u')')
                        : statements.join(QStringLiteral(";\n"));
        return script({QStringLiteral("CREATE PROCEDURE ") + rule.sqlServerName + u' ' + declared.join(QStringLiteral(", "))
                       + QStringLiteral(" AS\nBEGIN\n") + body + QStringLiteral(";\nEND")},
                      engine, heading);
    }
    QString body;
    if (!rule.postgresFirst.isEmpty())
        body += withParameters(rule.postgresFirst, rule, engine) + QStringLiteral(";\n");
    body += answers ? QString(QStringLiteral("RETURN (") + statements[0] + QStringLiteral(");"))
                    : QString(statements.join(QStringLiteral(";\n")) + u';');
    Column result;
    result.type = rule.resultType.toUpper();
    const QString returned = answers ? mappedType(result, engine) : QStringLiteral("void");
    return script({QStringLiteral("CREATE FUNCTION ") + rule.postgresName + u'(' + declared.join(QStringLiteral(", "))
                   + QStringLiteral(") RETURNS ") + returned + QStringLiteral(" LANGUAGE plpgsql AS $$\nBEGIN\n") + body
                   + QStringLiteral("\nEND $$")},
                  engine, heading);
}

QString script(const QStringList &statements, Engine engine, const QString &heading)
{
    QString out = heading;
    if (engine == Engine::SqlServer)
        out += QStringLiteral("SET ANSI_NULLS ON;\nSET QUOTED_IDENTIFIER ON;\nGO\n");
    for (const QString &s : statements)
        out += s + (engine == Engine::SqlServer ? QStringLiteral(";\nGO\n") : QStringLiteral(";\n"));
    return out;
}

} // namespace schema
