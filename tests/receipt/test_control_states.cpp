#include "controls/DastelHistory.h"
#include "controls/OmberSelector.h"
#include "support/FormFixture.h"

#include <QAction>

namespace {

class ControlStates : public ShownFormFixture
{
protected:
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

} // namespace

// While a receipt is written (modes 1, 2 and 6) its inputs and the buttons
// that end the writing are open, and nothing that leaves it is; in the
// viewing modes it is the other way round, and Edit and Delete need a
// receipt on the form (3 and 4).
TEST_F(ControlStates, WritingAReceiptOpensItsInputsAndClosesWhatWouldLeaveIt)
{
    for (int mode = 1; mode <= 6; ++mode) {
        setMode(mode);
        const bool writing = mode == ModeNew || mode == ModeEdit || mode == ModeEditFinal;
        const bool shown = mode == ModeViewTemporary || mode == ModeViewFinal;
        for (const char *name : {"txtRec", "mptAchiever", "sltBranch", "TlvAccPicker", "AccCredit", "mptContracts",
                                 "txtDescription"})
            EXPECT_EQ(open(name), writing) << name << " in mode " << mode;
        EXPECT_EQ(open("txtID"), !writing) << mode;
        for (const char *name : {"cmdSave", "cmdRegSave", "cmdCancel"})
            EXPECT_EQ(child<QWidget>(name)->isEnabled(), writing) << name << " in mode " << mode;
        for (const char *name : {"cmdNew", "cmdSearch", "cmdCashSelect", "mnuCashTurn"})
            EXPECT_EQ(child<QWidget>(name)->isEnabled(), !writing) << name << " in mode " << mode;
        for (const char *name : {"cmdEdit", "cmdDelete"})
            EXPECT_EQ(child<QWidget>(name)->isEnabled(), shown) << name << " in mode " << mode;
        EXPECT_EQ(child<QAction>("mnuSave")->isEnabled(), writing) << mode;
        EXPECT_EQ(child<QAction>("mnuNew")->isEnabled(), !writing) << mode;
        // A final receipt is not edited or deleted from the menu but through its own item.
        EXPECT_EQ(child<QAction>("mnuEdit")->isEnabled(), mode == ModeViewTemporary) << mode;
        EXPECT_EQ(child<QAction>("mnuDelete")->isEnabled(), mode == ModeViewTemporary) << mode;
        EXPECT_EQ(child<DastelHistory>("DastelHistory1")->SavedReceiptMode(), shown) << mode;
        // What the modes never touch stays usable.
        for (const char *name : {"cmdView", "cmdCashLedger", "cmdExit", "mnuNewAccounts"})
            EXPECT_TRUE(child<QWidget>(name)->isEnabled()) << name;
    }
    // The final-edit item keeps into edit mode the state the viewing mode gave it.
    setMode(ModeViewTemporary);
    setMode(ModeEdit);
    EXPECT_FALSE(child<QAction>("mnuEditFinal")->isEnabled());
    setMode(ModeViewFinal);
    setMode(ModeEdit);
    EXPECT_TRUE(child<QAction>("mnuEditFinal")->isEnabled());
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
}
