// What every control may do in each form mode, emptying the receipt, and
// the timer that follows the confirmed code.

#include "receipt/frmRPDCashRec.h"

#include "ui_frmRPDCashRec.h"

#include "common/Module.h"
#include "core/Vb.h"

#include <array>

namespace {

// Columns are the modes 1 to 6.
using ModeRow = std::array<int, 6>;
constexpr int Off = 0;
constexpr int On = 1;
constexpr int Keep = -1;   // menu item left as it is
constexpr int Branch = 2;  // open only for a user without a branch of his own

} // namespace

void frmRPDCashRec::DisableComponents()
{
    const qint32 mode = Module::context().FormMode;
    ui->DastelHistory1->setSavedReceiptMode(mode == ModeViewTemporary || mode == ModeViewFinal);
    if (mode < 1 || mode > 6)
        return;
    const int m = mode - 1;

    const std::pair<QWidget *, ModeRow> buttons[] = {
        {ui->cmdNew, {Off, Off, On, On, On, Off}},       {ui->cmdEdit, {Off, Off, On, On, Off, Off}},
        {ui->cmdDelete, {Off, Off, On, On, Off, Off}},   {ui->cmdRegSave, {On, On, Off, Off, Off, On}},
        {ui->cmdSave, {On, On, Off, Off, Off, On}},      {ui->cmdCancel, {On, On, Off, Off, Off, On}},
        {ui->cmdSearch, {Off, Off, On, On, On, Off}},
    };
    for (const auto &[control, row] : buttons)
        control->setEnabled(row[m] == On);

    const std::pair<QAction *, ModeRow> menus[] = {
        {ui->mnuNew, {Off, Off, On, On, On, Off}},        {ui->mnuEdit, {Off, Off, On, Off, Off, Off}},
        {ui->mnuEditFinal, {On, Keep, Off, On, Off, Keep}}, {ui->mnuDelete, {Off, Off, On, Off, Off, Off}},
        {ui->mnuRegSave, {On, On, Keep, Off, Off, On}},   {ui->mnuSave, {On, On, Off, Off, Off, On}},
        {ui->mnuSearch, {Off, Off, On, On, On, Off}},
    };
    for (const auto &[action, row] : menus)
        if (row[m] != Keep)
            action->setEnabled(row[m] == On);

    const ModeRow cashButtons = {Off, Off, On, On, On, Off};
    ui->mnuCashTurn->setEnabled(cashButtons[m] == On);
    ui->cmdCashSelect->setEnabled(cashButtons[m] == On);

    const ModeRow inputs = {On, On, Off, Off, Off, On};
    const bool open = inputs[m] == On;
    const bool branchOpen = open && Module::context().UserBranchID < 1;
    ui->txtRec->setReadOnly(!open);
    ui->mptAchiever->setEditable(open);
    ui->sltBranch->setEditable(branchOpen);
    ui->TlvAccPicker->setEditable(open);
    ui->AccCredit->setEditable(open);
    ui->mptContracts->setEditable(open);
    ui->txtDescription->setReadOnly(!open);
    ui->txtID->setReadOnly(open);

    if (mode == ModeEmpty)
        ui->lblMessage->setText(QString());
}

void frmRPDCashRec::ClearForm()
{
    // No stored receipt is shown any more: nothing to compare a save with.
    m_changeCount = -1;
    ui->txtID->setText(QString());
    ui->txtRec->setText(QString());
    ui->TlvAccPicker->Clear();
    ui->AccCredit->setAccountID(-1);
    ui->mptContracts->Clear();
    ui->txtAddress->setText(QString());
    ui->mptAchiever->Clear();
    ui->sltBranch->Clear();
    ui->DastelHistory1->Clear();
    ui->txtDescription->setText(QString());
    const qint32 branch = Module::context().UserBranchID;
    if (branch >= 1) {
        ui->sltBranch->setSelectedID(branch);
        ui->sltBranch->setEditable(false);
    }
}

void frmRPDCashRec::TimerButtons_Timer()
{
    ui->cmdAccTrans->setVisible(Module::context().Parameter202On);
    ui->cmdAccTrans->setEnabled(Vb::val(ui->txtCode->text()) > 0);
    ui->cmdReturnToTempState->setEnabled(Vb::val(ui->txtCode->text()) > 0);
}
