#include "platform/ConnectionBuilder.h"

#include "data/ConnectionString.h"
#include "platform/Look.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QVBoxLayout>

ConnectionBuilder::ConnectionBuilder(QObject *parent) : QObject(parent)
{
    m_connectionString = QStringLiteral("Provider=SQLite;Data Source=")
                         + QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                         + QStringLiteral("/demo.db");
}

bool ConnectionBuilder::ShowDialog()
{
    QDialog dialog(QApplication::activeWindow());
    dialog.setObjectName(QStringLiteral("ConnectionBuilderDialog"));
    dialog.setWindowTitle(QStringLiteral("اتصال به پايگاه داده"));
    Look::applyFormLook(&dialog);

    const ConnectionString current(m_connectionString);
    const bool embedded = current.provider().compare(QStringLiteral("SQLite"), Qt::CaseInsensitive) == 0;

    auto *embeddedChoice = new QRadioButton(QStringLiteral("پايگاه داده داخلي (فايل)"), &dialog);
    auto *serverChoice = new QRadioButton(QStringLiteral("SQL Server"), &dialog);
    // The shared server the suite is tested on; same fields as SQL Server.
    auto *postgresChoice = new QRadioButton(QStringLiteral("PostgreSQL"), &dialog);
    postgresChoice->setObjectName(QStringLiteral("optPostgres"));
    const bool postgres = current.provider().compare(QStringLiteral("PostgreSQL"), Qt::CaseInsensitive) == 0;
    embeddedChoice->setChecked(embedded);
    serverChoice->setChecked(!embedded && !postgres);
    postgresChoice->setChecked(postgres);

    auto *file = new QLineEdit(embedded ? current.value("Data Source") : QString(), &dialog);
    file->setObjectName(QStringLiteral("txtFile"));
    file->setLayoutDirection(Qt::LeftToRight);
    auto *browse = new QPushButton(QStringLiteral("..."), &dialog);
    QObject::connect(browse, &QPushButton::clicked, &dialog, [&] {
        const QString path = QFileDialog::getOpenFileName(&dialog, QStringLiteral("فايل پايگاه داده"), file->text(),
                                                          QStringLiteral("SQLite (*.db *.sqlite);;* (*)"));
        if (!path.isEmpty())
            file->setText(path);
    });
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(file, 1);
    fileRow->addWidget(browse);

    auto makeEdit = [&](const QString &value, const char *name) {
        auto *e = new QLineEdit(value, &dialog);
        e->setObjectName(QLatin1String(name));
        e->setLayoutDirection(Qt::LeftToRight);
        return e;
    };
    QLineEdit *server = makeEdit(embedded ? QString() : current.value("Data Source"), "txtServer");
    QLineEdit *database = makeEdit(embedded ? QString() : current.value("Initial Catalog"), "txtDatabase");
    QLineEdit *login = makeEdit(embedded ? QString() : current.value("User ID"), "txtLogin");
    QLineEdit *password = makeEdit(embedded ? QString() : current.value("Password"), "txtPassword");
    password->setEchoMode(QLineEdit::Password);

    auto makeSpin = [&](qint32 value, const char *name) {
        auto *s = new QSpinBox(&dialog);
        s->setObjectName(QLatin1String(name));
        s->setRange(-32768, 32767);
        s->setValue(value);
        return s;
    };
    QSpinBox *user = makeSpin(m_userId, "spnUser");
    QSpinBox *position = makeSpin(m_positionId, "spnPosition");
    QSpinBox *employee = makeSpin(m_employeeId, "spnEmployee");

    auto *form = new QFormLayout;
    form->addRow(embeddedChoice);
    form->addRow(QStringLiteral("فايل:"), fileRow);
    form->addRow(serverChoice);
    form->addRow(postgresChoice);
    form->addRow(QStringLiteral("سرور:"), server);
    form->addRow(QStringLiteral("پايگاه داده:"), database);
    form->addRow(QStringLiteral("نام كاربري:"), login);
    form->addRow(QStringLiteral("كلمه عبور:"), password);
    form->addRow(QStringLiteral("كاربر:"), user);
    form->addRow(QStringLiteral("سمت:"), position);
    form->addRow(QStringLiteral("كارمند:"), employee);

    auto enable = [&] {
        const bool e = embeddedChoice->isChecked();
        file->setEnabled(e);
        browse->setEnabled(e);
        for (QLineEdit *w : {server, database, login, password})
            w->setEnabled(!e);
    };
    QObject::connect(embeddedChoice, &QRadioButton::toggled, &dialog, enable);
    enable();

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("تاييد"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("انصراف"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addLayout(form);
    layout->addWidget(buttons);

    if (dialog.exec() != QDialog::Accepted)
        return false;
    const auto quoted = &ConnectionString::quoted;
    if (embeddedChoice->isChecked()) {
        m_connectionString = QStringLiteral("Provider=SQLite;Data Source=") + quoted(file->text().trimmed());
    } else if (postgresChoice->isChecked()) {
        m_connectionString = QStringLiteral("Provider=PostgreSQL;Data Source=") + quoted(server->text().trimmed())
                             + QStringLiteral(";Initial Catalog=") + quoted(database->text().trimmed())
                             + QStringLiteral(";User ID=") + quoted(login->text()) + QStringLiteral(";Password=")
                             + quoted(password->text());
    } else {
        m_connectionString = QStringLiteral("Provider=SQLOLEDB.1;Persist Security Info=True;Data Source=")
                             + quoted(server->text().trimmed()) + QStringLiteral(";Initial Catalog=")
                             + quoted(database->text().trimmed()) + QStringLiteral(";User ID=")
                             + quoted(login->text()) + QStringLiteral(";Password=") + quoted(password->text());
    }
    m_userId = user->value();
    m_positionId = position->value();
    m_employeeId = employee->value();
    return true;
}
