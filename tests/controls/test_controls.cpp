#include "controls/DastelHistory.h"
#include "controls/FarvoPicker.h"
#include "controls/OmberAccountPicker.h"
#include "controls/OmberDate.h"
#include "controls/OmberSelector.h"
#include "core/PersianDate.h"
#include "data/DtEn.h"
#include "support/DemoDatabase.h"
#include "support/Keyboard.h"

#include <QApplication>
#include <QComboBox>
#include <QWheelEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

TEST(DateBox, HoldsAGregorianValueAndShowsItsPersianDate)
{
    OmberDate box;
    EXPECT_TRUE(box.IsEmpty() && box.Value().isNull() && box.FarsiDate().isEmpty());
    box.setValue(QDateTime(QDate(2026, 3, 4), QTime(14, 30)));
    EXPECT_EQ(box.Value().toDate(), QDate(2026, 3, 4));
    EXPECT_EQ(box.FarsiDate(), QStringLiteral("1404/12/13"));
    box.Clear();
    EXPECT_TRUE(box.IsEmpty());

    // Typing a Persian date sets the value; what is not a date is undone.
    auto *text = box.findChild<QLineEdit *>(QStringLiteral("text"));
    box.setValue(QDate(2026, 12, 5));
    text->setText(QStringLiteral("1405/1/2"));
    Q_EMIT text->editingFinished();
    EXPECT_EQ(box.FarsiDate(), QStringLiteral("1405/01/02"));
    text->setText(QStringLiteral("1405/13/40"));
    Q_EMIT text->editingFinished();
    EXPECT_EQ(box.FarsiDate(), QStringLiteral("1405/01/02"));

    // A locked box takes nothing typed.
    box.setLocked(true);
    text->setText(QStringLiteral("1400/01/01"));
    Q_EMIT text->editingFinished();
    EXPECT_EQ(box.FarsiDate(), QStringLiteral("1405/01/02"));
}

class LookupTest : public ::testing::Test
{
protected:
    DemoDatabase db;
};

TEST_F(LookupTest, SelectorsKeepAStoredIdTheListDoesNotOfferAndAChoiceMadeBeforeTheConnection)
{
    // Employee 9 leaves: the minor view (the list) no longer offers him,
    // yet he is shown. An ID that no row has is kept too: showing a stored
    // value must never lose it.
    db.exec(QStringLiteral("UPDATE tblEmployee SET IsActive = 0 WHERE ID = 9"));
    OmberSelector achiever;
    achiever.setConnectionString(db.connectionString());
    achiever.setViewMajor(QStringLiteral("vwEmployee"));
    achiever.setViewMinor(QStringLiteral("vwEmployeeMinor"));
    EXPECT_EQ(achiever.rowCount(), 11);
    for (const auto &[id, text] : {std::pair{9, "امیر صادقی (غيرفعال)"}, {3, "علی رضایی"}, {77, "77 (نامعلوم)"},
                                   {9, "امیر صادقی (غيرفعال)"}}) {
        achiever.setSelectedID(id);
        EXPECT_EQ(achiever.SelectedID(), id);
        EXPECT_EQ(achiever.chosenText(), QString::fromUtf8(text));
    }
    OmberSelector contracts;
    contracts.setViewMinor(QStringLiteral("vwAccountContractProjectMinor"));
    contracts.setSelectedID(2);
    EXPECT_EQ(contracts.SelectedID(), 2);
    contracts.setConnectionString(db.connectionString());
    EXPECT_EQ(contracts.chosenText(), QStringLiteral("پروژه ساختمان اداری ونک"));
    FarvoPicker picker;
    picker.setConnectionString(db.connectionString());
    picker.setAccountID(110302);
    EXPECT_TRUE(picker.chosenText().isEmpty()); // not prepared: nothing queried yet
    picker.setPrepared(true);
    EXPECT_EQ(picker.chosenText(), QStringLiteral("110302 - شرکت آریا تجارت"));
}

TEST_F(LookupTest, TypingChoosesARowAndRaisesTheEvents)
{
    FarvoPicker picker;
    picker.setConnectionString(db.connectionString());
    picker.setPrepared(true);
    QSignalSpy selected(&picker, &FarvoPicker::AccountSelected);
    QSignalSpy keys(&picker, &LookupBox::KeyDown);
    QLineEdit *edit = picker.comboBox()->lineEdit();
    // The keys go where a user's typing goes: to the widget with the focus.
    QWidget *focused = focusInto(&picker);
    ASSERT_NE(focused, nullptr);
    QTest::keyClick(focused, Qt::Key_N, Qt::ControlModifier);
    // The Ctrl key itself comes first, then N with Ctrl held.
    ASSERT_EQ(keys.size(), 2);
    EXPECT_EQ(keys[0][0].value<qint16>(), 17);
    EXPECT_EQ(keys[1][0].value<qint16>(), 78);
    EXPECT_EQ(keys[1][1].value<qint16>(), 2);

    // Typed and Enter: the row of that text is chosen.
    edit->selectAll();
    typeText(QApplication::focusWidget(), QStringLiteral("110303 - فروشگاه زنجیره‌ای کوروش"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(picker.AccountID(), 110303);
    EXPECT_EQ(selected.size(), 1);
    // Text the box shows without the user typing it (an earlier choice not
    // yet redrawn) is no choice when the editing ends.
    edit->setText(QStringLiteral("110302 - شرکت آریا تجارت"));
    Q_EMIT edit->editingFinished();
    EXPECT_EQ(picker.AccountID(), 110303);
    // Neither are the arrows, the page keys or the wheel: they change nothing.
    focusInto(&picker);
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown}) {
        QTest::keyClick(QApplication::focusWidget(), key);
        picker.comboBox()->hidePopup();
    }
    QWheelEvent wheel(QPointF(5, 5), picker.comboBox()->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(picker.comboBox(), &wheel);
    EXPECT_EQ(picker.AccountID(), 110303);
    EXPECT_EQ(selected.size(), 1);
    // Text that names no account goes back to the choice; emptying clears it.
    edit->selectAll();
    typeText(QApplication::focusWidget(), QStringLiteral("نامعلوم"));
    Q_EMIT edit->editingFinished();
    EXPECT_EQ(picker.AccountID(), 110303);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    Q_EMIT edit->editingFinished();
    EXPECT_TRUE(picker.IsEmpty());
    EXPECT_EQ(selected.size(), 1);
}

TEST_F(LookupTest, TheDetailLevelPickerUsesMinusOneForNothingAndTakesTheLevelsOfAChosenAccount)
{
    OmberAccountPicker picker;
    EXPECT_EQ(picker.AccountID(), -1);
    for (int level = 1; level <= 3; ++level)
        EXPECT_EQ(std::pair(picker.classId(level), picker.objectId(level)), std::pair(-1, -1)) << level;
    picker.setConnectionString(db.connectionString());
    // The levels look up their objects as the selectors do: employee 9 has left.
    db.exec(QStringLiteral("UPDATE tblEmployee SET IsActive = 0 WHERE ID = 9"));
    picker.setAccountID(110401);
    picker.setClassID1(5);
    picker.setObjectID1(9);
    EXPECT_EQ(picker.findChild<OmberSelector *>(QStringLiteral("sltObject1"))->chosenText(),
              QStringLiteral("امیر صادقی (غيرفعال)"));

    // Choosing an account takes its levels' classes from its definition.
    auto *account = picker.findChild<FarvoPicker *>(QStringLiteral("account"));
    focusInto(account);
    account->comboBox()->lineEdit()->selectAll();
    typeText(QApplication::focusWidget(), QStringLiteral("110402 - علی‌الحساب کارکنان"));
    Q_EMIT account->comboBox()->lineEdit()->editingFinished();
    EXPECT_EQ(picker.AccountID(), 110402);
    EXPECT_EQ(picker.ClassID1(), 5);
    EXPECT_EQ(picker.ObjectID1(), -1);
    EXPECT_EQ(picker.ClassID2(), -1);
}

TEST_F(LookupTest, HistoryListsEntriesNewestFirstAndHoldsTheWindowWhileANoteIsUnsaved)
{
    // Dated tomorrow, so that it stays the newest when the note is added.
    const QDate tomorrow = QDate::currentDate().addDays(1);
    DtEn dtEn;
    dtEn.cnt.setConnectionString(db.connectionString());
    dtEn.spOmberInsertFormAction(20602, QStringLiteral("7"), 206, QStringLiteral("دريافت نقدي به ش.ر. ”7“ اصلاح شد."),
                                 756, tomorrow.startOfDay(), PersianDate::fromDate(tomorrow), 14 * 60 + 5);
    DastelHistory history;
    history.setConnectionString(db.connectionString());
    history.setProperty("UserID", QVariant::fromValue<qint16>(486));
    history.setSavedReceiptMode(true);
    history.LoadHistory(206, 7);
    ASSERT_EQ(history.entryCount(), 2);
    EXPECT_EQ(history.entry(0), (QStringList{QStringLiteral("دريافت نقدي به ش.ر. ”7“ اصلاح شد."),
                                             QStringLiteral("مریم احمدی"), PersianDate::fromDate(tomorrow),
                                             QStringLiteral("14:05")}));
    EXPECT_EQ(history.entry(1)[0], QStringLiteral("دريافت نقدي به ش.ر. ”7“ ايجاد شد."));

    history.noteBox()->setText(QStringLiteral("مشتری رسید کاغذی را هم گرفت"));
    EXPECT_FALSE(history.CanClose());
    history.addNote();
    EXPECT_TRUE(history.CanClose());
    EXPECT_EQ(history.entryCount(), 3);
    EXPECT_EQ(history.entry(1)[0], QStringLiteral("يادداشت: مشتری رسید کاغذی را هم گرفت"));
    // Not in saved-receipt mode, no note can be typed.
    history.setSavedReceiptMode(false);
    EXPECT_FALSE(history.noteBox()->isEnabled());
    history.Clear();
    EXPECT_EQ(history.entryCount(), 0);
}
