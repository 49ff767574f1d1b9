// Writes one engine's generated schema scripts from db/tables.def and
// db/views.sql and the rules of db/rules; the build runs it and embeds or
// installs what it writes.
//   pardex-schema <sqlite|postgresql|mssql> <tables.def> <views.sql> <rules folder> <folder>

#include "data/TsqlToPostgres.h"
#include "data/TsqlToSqlite.h"
#include "suite/SchemaModel.h"

#include <QDir>
#include <QFile>
#include <QTextStream>
#include <cstdio>
#include <stdexcept>

namespace {

QString readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return QString::fromUtf8(file.readAll());
}

void writeText(const QString &path, const QString &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write " + path.toStdString());
    file.write(text.toUtf8());
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 6) {
        std::fprintf(stderr,
                     "usage: pardex-schema <sqlite|postgresql|mssql> <tables.def> <views.sql> <rules folder> <folder>\n");
        return 1;
    }
    const QString name = QString::fromLocal8Bit(argv[1]);
    if (name != u"sqlite" && name != u"postgresql" && name != u"mssql") {
        std::fprintf(stderr, "pardex-schema: unknown engine %s\n", argv[1]);
        return 1;
    }
    const schema::Engine engine = name == u"sqlite"       ? schema::Engine::Sqlite
                                  : name == u"postgresql" ? schema::Engine::Postgres
                                                          : schema::Engine::SqlServer;
    try {
        const schema::Model model = schema::parse(readText(QString::fromLocal8Bit(argv[2])));
        const auto rewrite = [engine](const QString &tsql) {
            return engine == schema::Engine::Sqlite     ? tsqlToSqlite(tsql)
                   : engine == schema::Engine::Postgres ? tsqlToPostgres(tsql)
                                                        : tsql;
        };
        QStringList views = schema::batches(readText(QString::fromLocal8Bit(argv[3])));
        for (QString &view : views)
            view = rewrite(view);
        const QDir out(QString::fromLocal8Bit(argv[5]));
        if (!out.mkpath(QStringLiteral(".")))
            throw std::runtime_error("cannot create the output folder");
        const QString generated = QStringLiteral("-- Generated from db/tables.def and db/views.sql; edit those.\n");
        writeText(out.filePath(QStringLiteral("10-tables.sql")),
                  schema::script(schema::createStatements(model, engine), engine, generated));
        writeText(out.filePath(QStringLiteral("50-views.sql")), schema::script(views, engine, generated));
        writeText(out.filePath(QStringLiteral("70-sibling-components.sql")),
                  schema::script(schema::extendStatements(model, engine), engine, generated));
        // The rules: the embedded engine's C++ reads them from rules/, the
        // servers create them before their procedures, which use them.
        const QDir rules(QString::fromLocal8Bit(argv[4]));
        for (const QString &file : rules.entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name)) {
            const schema::Rule rule = schema::parseRule(readText(rules.filePath(file)));
            const QString text = schema::ruleScript(rule, engine, rewrite);
            if (engine == schema::Engine::Sqlite) {
                out.mkpath(QStringLiteral("rules"));
                writeText(out.filePath(QStringLiteral("rules/") + file), text);
            } else {
                writeText(out.filePath(QStringLiteral("25-") + file), text);
            }
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "pardex-schema: %s\n", e.what());
        return 2;
    }
    return 0;
}
