// A password in a connection string never reaches a message, an error, the
// statement trace or the admin tool's output: masking reads the string as
// the parser does, values are quoted when they are written into a string,
// and what a driver says is scrubbed.

#include "data/ConnectionString.h"
#include "data/DtEn.h"
#include "support/Programs.h"
#include "support/Errors.h"

namespace {

// A server nobody listens on: the driver refuses at once.
const QString Unreachable = QStringLiteral(
    "Provider=SQLOLEDB.1;Data Source=127.0.0.1,1;Initial Catalog=OmberDB;User ID=sa;Password=Hunter-2024;");

} // namespace

TEST(Passwords, MaskingReadsTheStringAsTheParserDoes)
{
    const struct
    {
        const char *text;
        const char *masked;
        const char *secret;
    } cases[] = {
        // A doubled quote inside a quoted password: the whole value goes.
        {"Password=\"ab\"\"cd-secret\";X=1", "Password=****;X=1", "cd-secret"},
        // What follows the closing quote belongs to the pair too.
        {"Password='x'tail-secret;X=1", "Password=****;X=1", "tail-secret"},
        // Any blank around the key, as the parser trims it.
        {"Password\u00a0 = nbsp-secret ;X=1", "Password\u00a0 =****;X=1", "nbsp-secret"},
        {"\tpwd=tab-secret", "\tpwd=****", "tab-secret"},
        // Every key that names a password.
        {"Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password=jet-secret", "Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password=****", "jet-secret"},
        // A string inside a value has passwords of its own, however it
        // quotes or braces them: all from the first one on goes.
        {"Extended Properties=\"ODBC;PWD=inner-secret;UID=u\";X=1", "Extended Properties=\"ODBC;PWD=****\";X=1", "inner-secret"},
        {"Extended Properties=\"ODBC;PWD={in;ner-secret};UID=u\";X=1", "Extended Properties=\"ODBC;PWD=****\";X=1", "ner-secret"},
        {"Extended Properties='ODBC;Password=''in;ner-secret'''", "Extended Properties=\"ODBC;Password=****\"", "ner-secret"},
        // Found by the fuzzer: a quoted value whose password key ends it, with text after it.
        {"Pssword='id1;Password='ig''nored;X=1", "Pssword='id1;Password='****;X=1", "ig"},
        {"A='PWD=inner-secret'tail;X=1", "A=\"PWD=****\"****;X=1", "inner-secret"},
        {"Extended Properties=\"ODBC;PWD=in'ner-secret\";X=1", "Extended Properties=\"ODBC;PWD=****\";X=1", "ner-secret"},
        // Found by the fuzzer: a quoted value holding a password, with text after its closing quote.
        {"Source=\"s33;PWD={x};\"s32;PWD={x};Je.=irSOPL", "Source=\"s33;PWD=****\"****;PWD=****;Je.=irSOPL", "{x}"},
        // Found by fuzz_connection_string: another key's ignored tail held a
        // password's text, which another program could take for one.
        {"PWD={x};Extended Properties=\" a \"PWD={x};User ID=sa",
         "PWD=****;Extended Properties=\" a \"****;User ID=sa", "{x}"},
        // An empty password has nothing to hide.
        {"User ID=sa;Password=;X=1", "User ID=sa;Password=;X=1", nullptr},
    };
    for (const auto &c : cases) {
        const QString text = QString::fromUtf8(c.text);
        const QString masked = ConnectionString::masked(text);
        EXPECT_EQ(masked, QString::fromUtf8(c.masked)) << c.text;
        if (c.secret) {
            EXPECT_FALSE(masked.contains(QString::fromUtf8(c.secret))) << c.text;
        }
        // Read again, every other value is as it was.
        EXPECT_EQ(ConnectionString(masked).value("X"), ConnectionString(text).value("X")) << c.text;
    }
    EXPECT_EQ(ConnectionString(QStringLiteral("PWD=a;Password=b;Password=b;Extended Properties=\"Pwd=c;Uid=d\"")).secrets(),
              (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    // A braced password inside a value, whole and as the driver reads it,
    // goes from a driver's message before its ";" could cut it.
    const ConnectionString braced(QStringLiteral("Extended Properties=\"ODBC;PWD={se;cret}\""));
    EXPECT_EQ(braced.secrets(), (QStringList{QStringLiteral("{se;cret}"), QStringLiteral("se;cret")}));
    EXPECT_EQ(braced.scrubbed(QStringLiteral("login failed: PWD={se;cret};UID=x")),
              QStringLiteral("login failed: PWD=****;UID=x"));
}

TEST(Passwords, ValuesWrittenIntoAStringReadBackAsThemselves)
{
    for (const QString &value : {QStringLiteral("p;Provider=x"), QStringLiteral(" lead"), QStringLiteral("trail "),
                                 QStringLiteral("\"quoted\""), QStringLiteral("'single"), QStringLiteral("plain"),
                                 QString()}) {
        const ConnectionString cs(QStringLiteral("Password=") + ConnectionString::quoted(value)
                                  + QStringLiteral(";User ID=u"));
        EXPECT_EQ(cs.value("Password"), value) << value.toStdString();
        EXPECT_EQ(cs.value("User ID"), QStringLiteral("u")) << value.toStdString();
    }
    // The password given to Open stays one value: none of it shows when the
    // string is quoted in an error.
    DtEn dtEn;
    dtEn.cnt.setConnectionString(QStringLiteral("Provider=Nope"));
    const VbError e = raisedBy([&] { dtEn.cnt.Open(QStringLiteral("sa"), QStringLiteral("p;w=1;secret-tail")); });
    EXPECT_EQ(e.number(), VbError::ProviderNotFound);
    EXPECT_FALSE(e.description().contains(QStringLiteral("secret-tail"))) << e.description().toStdString();
    EXPECT_FALSE(e.description().contains(QStringLiteral("w=1"))) << e.description().toStdString();
}

// Values written whole into the driver's string:
// ConnectionStrings.SqlServerStringsBecomeOdbcStrings. A real driver's
// refusal: the admin tool below, and the host's entry operations
// (EntryOperations.AnUnusableConnectionStringReachesTheHostAndShowsNoForm).
TEST(Passwords, TheAdminToolAndTheStatementTraceNeverShowThem)
{
    DemoDatabase db;
    // The embedded engine ignores a password, the trace still prints the statement.
    const ProgramRun traced = runDbTool({QStringLiteral("exec"), db.connectionString() + QStringLiteral(";Password=Trace-Secret"),
                                 QStringLiteral("Select count(*) as n from tblUser")},
                                true);
    EXPECT_EQ(traced.exitCode, 0) << traced.err.toStdString();
    EXPECT_TRUE(traced.err.contains(QStringLiteral("SQL  Select count(*) as n from tblUser"))) << traced.err.toStdString();
    EXPECT_FALSE(QString(traced.out + traced.err).contains(QStringLiteral("Trace-Secret")));

    // call reports its errors where exec does.
    for (const QStringList &args :
         {QStringList{QStringLiteral("exec"), Unreachable, QStringLiteral("Select 1")},
          QStringList{QStringLiteral("check"), Unreachable},
          QStringList{QStringLiteral("exec"), QStringLiteral("Provider=Other;Password=Hunter-2024"), QStringLiteral("x")}}) {
        const ProgramRun r = runDbTool(args, true);
        EXPECT_NE(r.exitCode, 0) << args.join(u' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
        EXPECT_FALSE(QString(r.out + r.err).contains(QStringLiteral("Hunter-2024"))) << r.err.toStdString();
    }
}
