#pragma once

// What every form test works with: the receipt form and its module, the
// keyboard, the line edits and buttons it types into and presses.
#include "common/Module.h"
#include "common/ShownBoxes.h"
#include "receipt/frmRPDCashRec.h"
#include "support/DemoDatabase.h"
#include "support/Keyboard.h"
#include "support/ScriptedMessageBox.h"
#include "support/StatementRecord.h"

#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QVariantList>
#include <QVector>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

class Pardex1;

// A test of the forms: a private demo database, the scripted message box,
// no keyboard layouts, an empty statement record, and a host control ready
// to call ClearShow or View. Modal forms are handed to the queued actions
// (see onModal); one shown with nothing queued is just closed.
class FormFixture : public ::testing::Test
{
protected:
    FormFixture();
    ~FormFixture() override;
    void SetUp() override;
    void TearDown() override;

    // Sets the host control's user and the demo connection string.
    Pardex1 &host(qint16 userId = 486);
    // ClearShow as the host calls it; the scripted message box records
    // what it says.
    void clearShow(qint16 userId = 486);
    // The next modal show runs this action on the form it shows.
    void onModal(std::function<void(QWidget *)> action);
    int modalShows() const { return m_modalShows; }
    // SQL statements recorded since the last call.
    QStringList takeStatements();
    // Sets a system parameter in the database (the next load reads it).
    void setParameter(int id, const QString &value);
    // Brings a receipt onto the form as typing its number and Enter would.
    void loadReceipt(qint32 id);
    // The recorded calls of one procedure, their arguments in order.
    QVector<QVariantList> callsOf(const QString &procedure) const;
    // The form's mode.
    qint32 mode() const;
    // New, then an amount and (unless 0) a counter-party account typed in.
    void typeNewReceipt(const QString &amount = QStringLiteral("1/250/000"), qint32 account = 110301);
    // The text of a line edit of the receipt form.
    QString text(const char *name);
    // The last message box shown (an empty one when none was).
    static ScriptedMessageBox::Shown lastBox();
    int receipts();
    // Every receipt as it is, in one text, for "nothing changed or lost".
    QString receiptsAsTheyAre();
    // A column of a stored receipt.
    QVariant stored(const char *column, qint32 receipt);
    // How many accounting documents hold rows of the receipt.
    int documentsOf(qint32 receipt);

    frmRPDCashRec &form();
    // A control of the receipt form by its name; fails the test when missing.
    template <typename T>
    T *child(const char *name)
    {
        T *found = formWidget()->findChild<T *>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    std::unique_ptr<DemoDatabase> db;
    std::unique_ptr<Pardex1> control;
    StatementRecord record;

private:
    QWidget *formWidget();
    QVector<std::function<void(QWidget *)>> m_modalActions;
    int m_modalShows = 0;
};

// The receipt form loaded by cashier 486 before each test.
class ShownFormFixture : public FormFixture
{
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        clearShow(486);
    }
};
