// The connection builder of the test aids: what the user types for a server
// comes back as a connection string that reads back the same values, its
// password hidden from the dialog's view (masked quotes: Passwords tests).

#include "data/ConnectionString.h"
#include "platform/ConnectionBuilder.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include "support/Keyboard.h"

#include <gtest/gtest.h>

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
