#include "common/Module.h"
#include "controls/DastelHistory.h"
#include "controls/OmberAccountPicker.h"
#include "controls/OmberSelector.h"
#include "receipt/frmRPDCashRec.h"
#include "support/FormFixture.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <array>
#include <gtest/gtest.h>

namespace {

constexpr int Off = 0, On = 1, Keep = -1;
using Row = std::array<int, 6>;

class ControlStates : public FormFixture
{
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        clearShow(486);
    }

    void setMode(qint32 mode)
    {
        Module::context().FormMode = mode;
        form().DisableComponents();
    }
    bool open(const char *name)
    {
        if (auto *edit = form().findChild<QLineEdit *>(QLatin1String(name)))
            return !edit->isReadOnly();
        return form().findChild<QObject *>(QLatin1String(name))->property("Editable").toBool();
    }
};

const std::pair<const char *, Row> Buttons[] = {
    {"cmdNew", {Off, Off, On, On, On, Off}},    {"cmdEdit", {Off, Off, On, On, Off, Off}},
    {"cmdDelete", {Off, Off, On, On, Off, Off}}, {"cmdRegSave", {On, On, Off, Off, Off, On}},
    {"cmdSave", {On, On, Off, Off, Off, On}},    {"cmdCancel", {On, On, Off, Off, Off, On}},
    {"cmdSearch", {Off, Off, On, On, On, Off}},  {"mnuCashTurn", {Off, Off, On, On, On, Off}},
    {"cmdCashSelect", {Off, Off, On, On, On, Off}},
};
const std::pair<const char *, Row> Menus[] = {
    {"mnuNew", {Off, Off, On, On, On, Off}},        {"mnuEdit", {Off, Off, On, Off, Off, Off}},
    {"mnuEditFinal", {On, Keep, Off, On, Off, Keep}}, {"mnuDelete", {Off, Off, On, Off, Off, Off}},
    {"mnuRegSave", {On, On, Keep, Off, Off, On}},   {"mnuSave", {On, On, Off, Off, Off, On}},
    {"mnuSearch", {Off, Off, On, On, On, Off}},
};
const std::pair<const char *, Row> Inputs[] = {
    {"txtRec", {On, On, Off, Off, Off, On}},        {"mptAchiever", {On, On, Off, Off, Off, On}},
    {"sltBranch", {On, On, Off, Off, Off, On}},     {"TlvAccPicker", {On, On, Off, Off, Off, On}},
    {"AccCredit", {On, On, Off, Off, Off, On}},     {"mptContracts", {On, On, Off, Off, Off, On}},
    {"txtDescription", {On, On, Off, Off, Off, On}}, {"txtID", {Off, Off, On, On, On, Off}},
};

} // namespace

TEST_F(ControlStates, EachModeSetsButtonsMenusAndInputsAsItsColumnSays)
{
    for (int mode = 1; mode <= 6; ++mode) {
        // Every menu item starts from the opposite of what the mode asks, so
        // that "left unchanged" shows.
        for (const auto &[name, row] : Menus)
            child<QAction>(name)->setEnabled(row[mode - 1] != On);
        setMode(mode);
        for (const auto &[name, row] : Buttons)
            EXPECT_EQ(child<QWidget>(name)->isEnabled(), row[mode - 1] == On) << name << " in mode " << mode;
        for (const auto &[name, row] : Menus) {
            if (row[mode - 1] == Keep)
                EXPECT_EQ(child<QAction>(name)->isEnabled(), true) << name << " kept in mode " << mode;
            else
                EXPECT_EQ(child<QAction>(name)->isEnabled(), row[mode - 1] == On) << name << " in mode " << mode;
        }
        for (const auto &[name, row] : Inputs)
            EXPECT_EQ(open(name), row[mode - 1] == On) << name << " in mode " << mode;
        EXPECT_EQ(child<DastelHistory>("DastelHistory1")->SavedReceiptMode(), mode == 3 || mode == 4) << mode;
        // What the modes never touch keeps its design state.
        for (const char *name : {"cmdView", "cmdCashLedger", "cmdExit", "mnuNewAccounts"})
            EXPECT_TRUE(child<QWidget>(name)->isEnabled()) << name;
        for (const char *name : {"mnuPrintView", "mnuPrint", "mnuExit"})
            EXPECT_TRUE(child<QAction>(name)->isEnabled()) << name;
    }
    // The final-edit item keeps into edit mode the state the viewing mode gave it.
    setMode(ModeViewTemporary);
    setMode(ModeEdit);
    EXPECT_FALSE(child<QAction>("mnuEditFinal")->isEnabled());
    setMode(ModeViewFinal);
    setMode(ModeEdit);
    EXPECT_TRUE(child<QAction>("mnuEditFinal")->isEnabled());
}

TEST_F(ControlStates, ModesOutsideOneToSixTouchOnlyTheHistoryPanel)
{
    setMode(ModeViewFinal);
    child<QLabel>("lblMessage")->setText(QStringLiteral("x"));
    for (int mode : {0, 7}) {
        child<DastelHistory>("DastelHistory1")->setSavedReceiptMode(true);
        setMode(mode);
        EXPECT_FALSE(child<DastelHistory>("DastelHistory1")->SavedReceiptMode());
        EXPECT_TRUE(child<QWidget>("cmdEdit")->isEnabled());
        EXPECT_FALSE(child<QWidget>("cmdSave")->isEnabled());
        EXPECT_FALSE(child<QAction>("mnuEdit")->isEnabled());
        EXPECT_TRUE(child<QLineEdit>("txtRec")->isReadOnly());
        EXPECT_EQ(child<QLabel>("lblMessage")->text(), QStringLiteral("x"));
    }
    setMode(ModeEmpty);
    EXPECT_EQ(child<QLabel>("lblMessage")->text(), QString());
}

TEST_F(ControlStates, AUserWithABranchNeverChangesIt)
{
    // 486 has no branch: the selector opens with the other inputs and ClearForm leaves it empty.
    EXPECT_EQ(Module::context().UserBranchID, -1);
    setMode(ModeNew);
    EXPECT_TRUE(open("sltBranch"));
    form().ClearForm();
    EXPECT_TRUE(child<OmberSelector>("sltBranch")->IsEmpty());

    // 756 works in branch 2.
    frmRPDCashRec::destroyInstance();
    clearShow(756);
    EXPECT_EQ(Module::context().UserBranchID, 2);
    for (int mode : {ModeNew, ModeEdit, ModeEditFinal}) {
        setMode(mode);
        EXPECT_FALSE(open("sltBranch")) << mode;
    }
    form().ClearForm();
    EXPECT_EQ(child<OmberSelector>("sltBranch")->SelectedID(), 2);
    EXPECT_EQ(child<OmberSelector>("sltBranch")->chosenText(), QStringLiteral("شعبه اصفهان"));
}

TEST_F(ControlStates, ClearFormEmptiesTheReceiptButNotItsCodeDatesOrCashBox)
{
    child<QLineEdit>("txtID")->setText(QStringLiteral("8"));
    child<QLineEdit>("txtRec")->setText(QStringLiteral("1/000"));
    child<QLineEdit>("txtCode")->setText(QStringLiteral("57"));
    child<QLineEdit>("txtDescription")->setText(QStringLiteral("بابت"));
    child<QLineEdit>("txtAddress")->setText(QStringLiteral("آدرس"));
    child<OmberSelector>("mptContracts")->setSelectedID(1);
    auto *acc = child<OmberAccountPicker>("AccCredit");
    acc->setAccountID(110401);
    acc->setClassID1(7);
    child<QLabel>("lblMessage")->setText(QStringLiteral("دريافت جديد"));
    const QString cash = child<QLabel>("lblCash")->text();
    form().CurrentReceiptID = 8;

    form().ClearForm();
    for (const char *name : {"txtID", "txtRec", "txtDescription", "txtAddress"})
        EXPECT_TRUE(child<QLineEdit>(name)->text().isEmpty()) << name;
    EXPECT_TRUE(child<OmberSelector>("mptContracts")->IsEmpty());
    EXPECT_EQ(acc->AccountID(), -1);
    EXPECT_EQ(acc->ClassID1(), 7);
    EXPECT_EQ(child<QLineEdit>("txtCode")->text(), QStringLiteral("57"));
    EXPECT_EQ(child<QLabel>("lblMessage")->text(), QStringLiteral("دريافت جديد"));
    EXPECT_EQ(child<QLabel>("lblCash")->text(), cash);
    EXPECT_EQ(form().CurrentReceiptID, 8);
}

TEST_F(ControlStates, TheTimerFollowsTheConfirmedCode)
{
    auto *document = child<QWidget>("cmdAccTrans");
    auto *back = child<QWidget>("cmdReturnToTempState");
    const std::pair<const char *, bool> codes[] = {{"", false},  {"0", false}, {"abc", false},
                                                   {"-5", false}, {"12", true}, {"3x", true}};
    for (const auto &[text, confirmed] : codes) {
        child<QLineEdit>("txtCode")->setText(QString::fromUtf8(text));
        form().TimerButtons_Timer();
        EXPECT_EQ(document->isEnabled(), confirmed) << text;
        EXPECT_EQ(back->isEnabled(), confirmed) << text;
    }
    // Parameter 202 is on in the demo: the document button is shown.
    EXPECT_FALSE(document->isHidden());
    Module::context().Parameter202On = false;
    form().TimerButtons_Timer();
    EXPECT_TRUE(document->isHidden());
    EXPECT_TRUE(document->isEnabled());
    // And it ticks by itself every 100 ms.
    Module::context().Parameter202On = true;
    EXPECT_TRUE(QTest::qWaitFor([&] { return !document->isHidden(); }, 10000));
}
