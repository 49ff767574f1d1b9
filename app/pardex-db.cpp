// The admin tool of the embedded suite database: create one, run a
// statement or call a procedure through the data environment, check a
// database's consistency.

#include "core/Vb.h"
#include "core/VbError.h"
#include "data/ConnectionString.h"
#include "data/ConsistencyCheck.h"
#include "data/Dialect.h"
#include "data/DtEn.h"
#include "data/PostgresSuite.h"
#include "data/ProcedureDefs.h"
#include "suite/SuiteDatabase.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QTextStream>
#include <algorithm>
#include <cstdio>

namespace {

QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}

QTextStream &err()
{
    static QTextStream s(stderr);
    return s;
}

// The commands, one usage line each; then what check looks for. Wrong
// arguments get them after "usage:", --help after Qt's usage line (as the
// "or:" lines a manual page's synopsis is made of) with the options.
const char *const CommandLines[] = {
    "pardex-db init PATH [--demo] [--receipts N] [--base-path DIR] [--force]",
    "pardex-db init \"Provider=PostgreSQL;Data Source=HOST[,PORT];Initial Catalog=DB;User ID=U;Password=P\" "
    "[--demo] [--receipts N] [--base-path DIR] [--force]",
    "pardex-db exec CONNECTION-STRING SQL",
    "pardex-db call CONNECTION-STRING PROCEDURE [ARG...]   (NULL for a null argument)",
    "pardex-db check PATH|CONNECTION-STRING [--repair]",
};
const char *const About =
    "\n"
    "init creates a suite database: an embedded file, or the tables, views and\n"
    "procedures in an empty PostgreSQL database.\n"
    "exec runs one statement and prints its rows tab-separated; call calls one of\n"
    "the suite's stored procedures and prints its return value and outputs.\n"
    "check lists what receipts, accounting documents, cash turns and codes\n"
    "disagree on: receipts with a code but no document (when documents are on,\n"
    "system parameter 202), documents whose receipt is gone, a receipt in two\n"
    "documents, members of a turn that is gone or has no opener, a closed turn\n"
    "whose receipts changed after its close, a code given twice in one form\n"
    "type, and a damaged file. --repair removes, in one\n"
    "transaction, only what needs no guess: the document rows of receipts that\n"
    "are gone (and such a document when nothing else is left in it) and the\n"
    "members of turns that are gone; the rest is listed for a person to decide.\n"
    "Exit status: 0 nothing found (or all repaired), 1 findings remain,\n"
    "2 wrong arguments, 3 the database could not be checked.";

QString commandLines(const char *prefix)
{
    QString text;
    for (const char *line : CommandLines)
        text += QLatin1String(prefix) + QLatin1String(line) + u'\n';
    return text;
}

int usage()
{
    err() << "usage:\n" << commandLines("  ") << "Try 'pardex-db --help'.\n";
    err().flush();
    return 2;
}

// Tabs and line breaks inside values would break the tab-separated lines.
QString cell(const QVariant &v)
{
    QString t = Vb::textOf(v);
    t.replace(u'\t', u' ').replace(u'\n', u' ').replace(u'\r', u' ');
    return t;
}

// The options as parsed; path is the one argument after the command.
int init(QString path, suite::CreateOptions options)
{
    if (options.extraReceipts > 0 && !options.demo) {
        err() << "pardex-db: --receipts needs --demo (the receipts use its cash boxes and accounts)\n";
        return 2;
    }
    QElapsedTimer timer;
    timer.start();
    // A connection string names a database on a server (or a file); a plain
    // argument is the path of a new embedded file.
    const ConnectionString cs(path);
    if (path.contains(u'=') && cs.has(QStringLiteral("Provider"))) {
        switch (Dialect::engineOf(cs)) {
        case Dialect::Engine::Postgres:
            pgsuite::createDatabase(path, options);
            err() << "created the suite database in " << ConnectionString::masked(path) << " in " << timer.elapsed()
                  << " ms\n";
            return 0;
        case Dialect::Engine::Sqlite:
            path = cs.value({"Data Source", "DataSource", "Database"});
            break;
        default:
            err() << "pardex-db: init creates the suite database on SQLite and PostgreSQL only; for SQL Server run "
                     "the scripts of db/mssql\n";
            return 2;
        }
    }
    suite::createDatabase(path, options);
    err() << "created " << path << " in " << timer.elapsed() << " ms\n";
    return 0;
}

int exec(const QStringList &args)
{
    if (args.size() != 2)
        return usage();
    DtEn dtEn;
    dtEn.cnt.setConnectionString(args[0]);
    const RowSet rows = dtEn.cnt.execute(args[1]);
    if (rows.returnsRows) {
        out() << rows.columns.join(u'\t') << '\n';
        for (const auto &row : rows.rows) {
            QStringList cells;
            for (const QVariant &v : row)
                cells << cell(v);
            out() << cells.join(u'\t') << '\n';
        }
    }
    out().flush();
    return 0;
}

int call(const QStringList &args)
{
    if (args.size() < 2)
        return usage();
    const ProcedureDef *def = Procedures::find(args[1]);
    if (!def) {
        err() << "pardex-db: unknown procedure " << args[1] << '\n';
        return 2;
    }
    QVariantList values;
    for (int i = 2; i < args.size(); ++i)
        values << (args[i].compare(QStringLiteral("NULL"), Qt::CaseInsensitive) == 0 ? QVariant() : QVariant(args[i]));
    if (values.size() != def->params.size()) {
        err() << "pardex-db: " << def->name << " takes " << def->params.size() << " arguments:";
        for (const ProcedureParam &p : def->params)
            err() << ' ' << p.name;
        err() << '\n';
        return 2;
    }
    DtEn dtEn;
    dtEn.cnt.setConnectionString(args[0]);
    const int result = dtEn.callByName(args[1], values);
    out() << def->returnName << '=' << result << '\n';
    for (int i = 0; i < def->params.size(); ++i)
        if (def->params[i].direction == ProcedureParam::InOut)
            out() << def->params[i].name << '=' << Vb::textOf(values[i]) << '\n';
    out().flush();
    return 0;
}

// A path alone means the embedded database in that file.
QString connectionStringFor(const QString &target)
{
    if (target.contains(u'=') || target.contains(u';'))
        return target;
    return QStringLiteral("Provider=SQLite;Data Source=") + ConnectionString::quoted(target);
}

int check(const QString &target, bool repair)
{
    try {
        DtEn dtEn;
        dtEn.cnt.setConnectionString(connectionStringFor(target));
        ConsistencyCheck checker(dtEn.cnt);
        QVector<ConsistencyCheck::Finding> findings = checker.run();
        // A damaged file is listed, never written: a repair could only make
        // it worse before someone has a copy.
        if (repair && ConsistencyCheck::damaged(findings)) {
            out() << QStringLiteral("فايل آسيب ديده است؛ ترميمي انجام نشد.") << '\n';
        } else if (repair) {
            for (const QString &line : checker.repair())
                out() << QStringLiteral("ترميم: ") << line << '\n';
            findings = checker.run();
        }
        for (const auto &f : findings)
            out() << f.text << '\n';
        if (findings.isEmpty())
            out() << QStringLiteral("ناسازگاري يافت نشد.") << '\n';
        else
            out() << QStringLiteral("%1 ناسازگاري يافت شد.").arg(findings.size()) << '\n';
        out().flush();
        return findings.isEmpty() ? 0 : 1;
    } catch (const VbError &e) {
        out().flush();
        err() << "pardex-db: " << e.description() << " (" << e.number() << ")\n";
        return 3;
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pardex-db"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PARDEX_VERSION));

    QCommandLineParser parser;
    // Qt's usage line comes first, so the description starts with the rest.
    parser.setApplicationDescription(commandLines("  or:  ") + QString::fromUtf8(About));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("init: the demo organisation, users and receipts"));
    const QCommandLineOption receipts(QStringLiteral("receipts"), QStringLiteral("init --demo: N more receipts"),
                                      QStringLiteral("N"));
    const QCommandLineOption basePath(QStringLiteral("base-path"),
                                      QStringLiteral("init: the folder stored for the report templates"),
                                      QStringLiteral("DIR"));
    const QCommandLineOption force(QStringLiteral("force"),
                                   QStringLiteral("init: replace the file, or fill a database that holds tables"));
    const QCommandLineOption repair(QStringLiteral("repair"), QStringLiteral("check: repair what needs no guess"));
    parser.addOptions({demo, receipts, basePath, force, repair});
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("init, exec, call or check"));
    parser.addPositionalArgument(QStringLiteral("arguments"), QStringLiteral("the command's"),
                                 QStringLiteral("[ARG...]"));
    // exec and call take what follows as it stands: a statement or an
    // argument may begin with a dash.
    const QStringList arguments = app.arguments();
    if (arguments.size() > 1 && (arguments[1] == u"exec" || arguments[1] == u"call"))
        parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!parser.parse(arguments)) {
        err() << "pardex-db: " << parser.errorText() << '\n';
        return usage();
    }
    if (parser.isSet(help))
        parser.showHelp(0);
    if (parser.isSet(version))
        parser.showVersion();

    QStringList args = parser.positionalArguments();
    if (args.isEmpty())
        return usage();
    const QString command = args.takeFirst();
    // Each command takes its own options only.
    const auto onlyOptions = [&](const QList<QCommandLineOption> &allowed) {
        for (const QString &name : parser.optionNames())
            if (std::none_of(allowed.cbegin(), allowed.cend(),
                             [&](const QCommandLineOption &o) { return o.names().contains(name); }))
                return false;
        return true;
    };
    try {
        if (command == u"init") {
            if (args.size() != 1 || args.first().isEmpty() || !onlyOptions({demo, receipts, basePath, force}))
                return usage();
            suite::CreateOptions options;
            options.demo = parser.isSet(demo);
            options.overwrite = parser.isSet(force);
            if (parser.isSet(receipts)) {
                bool ok = false;
                options.extraReceipts = parser.value(receipts).toLongLong(&ok);
                if (!ok || options.extraReceipts < 0)
                    return usage();
            }
            if (parser.isSet(basePath)) {
                options.reportBasePath = parser.value(basePath);
                if (!options.reportBasePath.endsWith(u'/'))
                    options.reportBasePath += u'/';
            }
            return init(args.first(), options);
        }
        if (command == u"exec" || command == u"call") {
            if (!onlyOptions({}))
                return usage();
            return command == u"exec" ? exec(args) : call(args);
        }
        if (command == u"check") {
            if (args.size() != 1 || args.first().isEmpty() || !onlyOptions({repair}))
                return usage();
            return check(args.first(), parser.isSet(repair));
        }
    } catch (const VbError &e) {
        err() << "pardex-db: " << e.description() << " (" << e.number() << ")\n";
        return 1;
    }
    return usage();
}
