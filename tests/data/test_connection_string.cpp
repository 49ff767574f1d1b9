#include "data/ConnectionString.h"
#include "data/DtEn.h"
#include "data/OdbcDialect.h"
#include "platform/ConnectionBuilder.h"
#include "support/Keyboard.h"

#include "support/Errors.h"

#include "support/Printers.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

TEST(ConnectionStrings, KeysAreCaseInsensitiveAndValuesMayBeQuoted)
{
    const ConnectionString cs(QStringLiteral(
        "provider=SQLOLEDB.1; Data Source = srv01,1433 ;Initial Catalog='Omber;Main';"
        "User ID=\"sa\";Password='it''s';Persist Security Info=False"));
    EXPECT_EQ(cs.provider(), QStringLiteral("SQLOLEDB.1"));
    EXPECT_EQ(cs.value("DATA SOURCE"), QStringLiteral("srv01,1433"));
    EXPECT_EQ(cs.value("initial catalog"), QStringLiteral("Omber;Main"));
    EXPECT_EQ(cs.value("User ID"), QStringLiteral("sa"));
    EXPECT_EQ(cs.value("Password"), QStringLiteral("it's"));
    EXPECT_FALSE(cs.has("Mode"));
    EXPECT_TRUE(ConnectionString(QStringLiteral("0")).provider().isEmpty());
}

TEST(ConnectionStrings, TheDesignTimeStringOpensAndClosesWithoutADatabase)
{
    DtEn dtEn;
    dtEn.cnt.Open(QString(), QString());
    EXPECT_EQ(dtEn.cnt.State(), 1);
    EXPECT_EQ(raisedBy([&] { dtEn.cnt.setConnectionString(QStringLiteral("x")); }).number(), VbError::ObjectOpen);
    EXPECT_EQ(raisedBy([&] { dtEn.rssqlUser.Open(); }).number(), VbError::ConnectionUnusable);
    dtEn.cnt.Close();
    EXPECT_EQ(dtEn.cnt.State(), 0);
}

// Every value stays whole, whatever it holds (a quoted source naming a
// user, blanks around a password).
TEST(ConnectionStrings, SqlServerStringsBecomeOdbcStrings)
{
    const struct
    {
        const char *oledb, *driver, *odbc;
    } cases[] = {
        {"Provider=SQLOLEDB.1;Password=p;w;Persist Security Info=True;User ID=omber;Initial Catalog=OmberDB;"
         "Data Source=tcp:db.local,1533", "FreeTDS",
         "DRIVER={FreeTDS};SERVER=db.local;PORT=1533;TDS_Version=7.4;ClientCharset=UTF-8;DATABASE=OmberDB;UID=omber;PWD=p;"},
        {"Provider=SQLOLEDB;Data Source=\"db.local,1433;UID=intruder\";User ID=omber;Password=\" spaced \"", "FreeTDS",
         "DRIVER={FreeTDS};SERVER=db.local;PORT={1433;UID=intruder};TDS_Version=7.4;ClientCharset=UTF-8;UID=omber;"
         "PWD={ spaced };"},
        {"Provider=MSOLEDBSQL;Integrated Security=SSPI;Initial Catalog=X;Data Source=(local)",
         "ODBC Driver 18 for SQL Server",
         "DRIVER={ODBC Driver 18 for SQL Server};SERVER=localhost;TrustServerCertificate=yes;DATABASE=X;"
         "Trusted_Connection=yes;"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(OdbcDialect::odbcConnectionString(ConnectionString(QString::fromUtf8(c.oledb)), QLatin1String(c.driver)),
                  QString::fromUtf8(c.odbc)) << c.oledb;
    EXPECT_EQ(Dialect::engineOf(ConnectionString(QStringLiteral("Provider=SQLNCLI11;Data Source=x"))),
              Dialect::Engine::SqlServer);
}

TEST(ConnectionStrings, DateLiteralsAreUnambiguousForEachEngineBeforeTheConnectionOpens)
{
    // ISO dates on PostgreSQL: read the same under every DateStyle.
    for (const auto &[cs, literal] : {std::pair{"Provider=SQLite;Data Source=/x.db", "2026-03-04 00:00:00"},
                                      std::pair{"Provider=SQLOLEDB;Data Source=x", "20260304"},
                                      std::pair{"Provider=PostgreSQL;Data Source=db,5433;Initial Catalog=x", "2026-03-04 00:00:00"}}) {
        DtEn dtEn;
        dtEn.cnt.setConnectionString(QLatin1String(cs));
        EXPECT_EQ(dtEn.cnt.dateLiteral(QDate(2026, 3, 4)), QLatin1String(literal)) << cs;
    }
}

TEST(ConnectionStrings, FailingPostgresStringsAreQuotedMasked)
{
    // Nothing listens on port 1: refused at once, the string quoted with its password masked.
    DtEn refused;
    refused.cnt.setConnectionString(
        QStringLiteral("Provider=PostgreSQL;Data Source=127.0.0.1,1;Initial Catalog=x;User ID=u;Password=topsecret"));
    const VbError e = raisedBy([&] { refused.rssqlUser.Query(QStringLiteral("select 1")); });
    EXPECT_TRUE(e.isDatabaseError());
    EXPECT_TRUE(e.description().startsWith(QStringLiteral("اتصال به سرور پايگاه داده برقرار نشد"))) << e.description().toStdString();
    EXPECT_TRUE(e.description().contains(QStringLiteral("Data Source=127.0.0.1,1;Initial Catalog=x;User ID=u;Password=****")));
    EXPECT_FALSE(e.description().contains(QStringLiteral("topsecret")));
    EXPECT_EQ(refused.cnt.State(), 0);

    DtEn badPort;
    badPort.cnt.setConnectionString(QStringLiteral("Provider=PostgreSQL;Data Source=h,x;Initial Catalog=x"));
    EXPECT_TRUE(raisedBy([&] { badPort.cnt.Open(); }).description().contains(QStringLiteral("درگاه")));
    DtEn noDatabase;
    noDatabase.cnt.setConnectionString(QStringLiteral("Provider=PostgreSQL;Data Source=h"));
    EXPECT_TRUE(raisedBy([&] { noDatabase.cnt.Open(); }).description().contains(QStringLiteral("Initial Catalog")));
}

// The connection builder of the test aids: what the user types for a server
// comes back as a connection string that reads back the same values, its
// password hidden from the dialog's view (masked quotes: Passwords tests).
namespace {

// Fills the dialog as the user would once it is up, then confirms it.
void fillAndConfirm(const std::function<void(QWidget *)> &fill)
{
    whenShown([fill](QWidget *dialog) {
        fill(dialog);
        dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    });
}

QLineEdit *edit(QWidget *dialog, const char *name)
{
    return dialog->findChild<QLineEdit *>(QLatin1String(name));
}

} // namespace

TEST(ConnectionBuilderDialog, AServerPasswordComesBackWholeAndIsNeverShown)
{
    ConnectionBuilder builder;
    const QString password = QStringLiteral(" p;ss\"word=1 ");
    fillAndConfirm([&](QWidget *dialog) {
        const auto radios = dialog->findChildren<QRadioButton *>();
        for (QRadioButton *r : radios)
            if (r->text() == u"SQL Server")
                r->setChecked(true);
        edit(dialog, "txtServer")->setText(QStringLiteral("db.local,1433"));
        edit(dialog, "txtDatabase")->setText(QStringLiteral("Omber;DB"));
        edit(dialog, "txtLogin")->setText(QStringLiteral("sa"));
        edit(dialog, "txtPassword")->setText(password);
        EXPECT_EQ(edit(dialog, "txtPassword")->echoMode(), QLineEdit::Password);
    });
    ASSERT_TRUE(builder.ShowDialog());
    const QString text = builder.property("ConnectionString").toString();
    const ConnectionString cs(text);
    EXPECT_EQ(cs.value("Password"), password) << text.toStdString();
    EXPECT_EQ(cs.value("Initial Catalog"), QStringLiteral("Omber;DB"));
    EXPECT_EQ(cs.value("User ID"), QStringLiteral("sa"));
    EXPECT_EQ(cs.value("Data Source"), QStringLiteral("db.local,1433"));

    // Opened again on that string, the dialog holds the same password for
    // the next confirmation, still out of view.
    fillAndConfirm([&](QWidget *dialog) {
        EXPECT_EQ(edit(dialog, "txtPassword")->text(), password);
        EXPECT_EQ(edit(dialog, "txtPassword")->echoMode(), QLineEdit::Password);
    });
    ASSERT_TRUE(builder.ShowDialog());
    EXPECT_EQ(builder.property("ConnectionString").toString(), text);
}
