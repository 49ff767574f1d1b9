// The final save of a receipt: the checks in their order, the procedure of
// the form's mode, the action log, the detail levels, the accounting
// document, and the history.

#include "receipt/frmRPDCashRec.h"

#include "ui_frmRPDCashRec.h"

#include "common/Module.h"
#include "common/SharedServices.h"
#include "common/VbRuntime.h"
#include "controls/DastelHistory.h"
#include "controls/FarvoPicker.h"
#include "controls/OmberAccountPicker.h"
#include "controls/OmberDate.h"
#include "controls/OmberSelector.h"
#include "controls/VbKeys.h"
#include "core/Vb.h"
#include "data/DtEn.h"
#include "receipt/ReceiptInput.h"
#include "suite/Identifiers.h"

#include <QScopeGuard>
#include <QTime>

namespace {

// A Persian date box's Gregorian value as the procedures take it.
QDateTime dateOf(const OmberDate *box)
{
    return box->Value().toDate().startOfDay();
}

// Blanks around the text go, as the platform's trim removes them.
QString trimBlanks(const QString &text)
{
    int begin = 0, end = int(text.size());
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin);
}

// A value of the detail-level update: the number, or the word for nothing.
QString levelValue(bool use, qint32 value)
{
    return use && value != -1 ? QString::number(value) : QStringLiteral("NULL");
}

QString selectedOrNull(const OmberSelector *selector)
{
    return selector->IsEmpty() ? QStringLiteral("Null") : QString::number(selector->SelectedID());
}

} // namespace

bool frmRPDCashRec::IsAmountMandatory()
{
    return parameterIsSet(ids::ParamAmountRequired);
}

bool frmRPDCashRec::IsBranchMandatory()
{
    return parameterIsSet(ids::ParamBranchRequired);
}

bool frmRPDCashRec::parameterIsSet(qint32 id)
{
    bool set = false;
    Module::dtEn().rssqlOmberBasePath.Query(
        QStringLiteral("Select Value From tblOmberSystemParameters Where ID = ") + QString::number(id),
        [&](Recordset &rs) {
            // A null counts as empty text; text reads by its leading number.
            if (rs.RecordCount() > 0)
                set = Vb::numberOf(rs.Fields(QStringLiteral("value"))) != 0;
        });
    return set;
}

qint32 frmRPDCashRec::counterpartyAccount() const
{
    return Module::context().UseCounterpartyPicker ? ui->AccCredit->AccountID() : ui->TlvAccPicker->AccountID();
}

bool frmRPDCashRec::counterpartyMissing() const
{
    // The level picker says -1 for nothing (it never holds 0); the plain
    // picker says so by being empty.
    return Module::context().UseCounterpartyPicker ? ui->AccCredit->AccountID() <= 0 : ui->TlvAccPicker->IsEmpty();
}

void frmRPDCashRec::writeFormAction(qint32 eventId, const QString &suffix)
{
    const QTime now = QTime::currentTime();
    Module::dtEn().spOmberInsertFormAction(
        eventId, QString::number(CurrentReceiptID), ids::FormCashReceipt,
        QStringLiteral("دريافت نقدي به ش.ر. ”") + QString::number(CurrentReceiptID) + suffix,
        Module::context().UserID, dateOf(ui->dtpDate), ui->dtpDate->FarsiDate(), now.hour() * 60 + now.minute());
}

void frmRPDCashRec::updateDetailLevels()
{
    const bool levels = Module::context().UseCounterpartyPicker;
    const OmberAccountPicker *acc = ui->AccCredit;
    Module::dtEn().rssqlOmberBasePath.Query(
        QStringLiteral("Update tblRecPayCashTurnDetail set ClassID1 = ") + levelValue(levels, acc->ClassID1())
        + QStringLiteral(", ObjectID1 = ") + levelValue(levels, acc->ObjectID1()) + QStringLiteral(",ClassID2 = ")
        + levelValue(levels, acc->ClassID2()) + QStringLiteral(", ObjectID2 = ") + levelValue(levels, acc->ObjectID2())
        + QStringLiteral(",ClassID3 = ") + levelValue(levels, acc->ClassID3()) + QStringLiteral(", ObjectID3 = ")
        + levelValue(levels, acc->ObjectID3()) + QStringLiteral(",BranchID = ") + selectedOrNull(ui->sltBranch)
        + QStringLiteral(", AchieverID = ") + selectedOrNull(ui->mptAchiever) + QStringLiteral(" Where ID = ")
        + QString::number(CurrentReceiptID));
}

void frmRPDCashRec::writeReceipt(qint32 code, bool insert)
{
    DtEn &dtEn = Module::dtEn();
    CurrentCode = code;
    if (insert)
        dtEn.spRecPayInsertCashTurnDetail(CurrentReceiptID, CurrentCashTurnID, CurrentCode, dateOf(ui->dtpOpenDate),
                                          ui->dtpOpenDate->FarsiDate(), trimBlanks(ui->txtDescription->text()),
                                          ParseAmount(ui->txtRec->text(), QStringLiteral("/")), Currency(),
                                          counterpartyAccount(), ui->mptContracts->SelectedID(), ids::FormCashReceipt,
                                          -1);
    else
        dtEn.spRecPayUpdateCashTurnDetail(CurrentReceiptID, CurrentCashTurnID, CurrentCode, dateOf(ui->dtpOpenDate),
                                          ui->dtpOpenDate->FarsiDate(), trimBlanks(ui->txtDescription->text()),
                                          ParseAmount(ui->txtRec->text(), QStringLiteral("/")), Currency(),
                                          counterpartyAccount(), ui->mptContracts->SelectedID());
}

void frmRPDCashRec::logUnfinishedCreation()
{
    if (!completingNewReceipt() || m_unfinishedLogged)
        return;
    inStep(savedAs(), [this] { writeFormAction(ids::EventReceiptCreated, QStringLiteral("“ ايجاد شد.")); });
    m_unfinishedLogged = true;
}

QString frmRPDCashRec::savedAs(const QString &step) const
{
    // Once the receipt is written, a later failure must say that it is.
    return QStringLiteral("دريافت نقدي با شماره رايانهاي %1 ثبت شد ولي %2 انجام نشد").arg(CurrentReceiptID).arg(step);
}

void frmRPDCashRec::cmdSave_Click()
{
    UserContext &context = Module::context();
    const Currency amount = ParseAmount(ui->txtRec->text(), QStringLiteral("/"));

    // The checks, each stopping the save with the form as it was.
    if (!IsDateInUserPeriod(ui->dtpOpenDate->FarsiDate(), context.UserID))
        return;
    if (IsAmountMandatory() && amount == Currency()) {
        ShowMessage(QStringLiteral("اشکال"), QStringLiteral("مبلغ بايد مقدار داشته  باشد!"));
        ignoreErrors([this] { ui->txtRec->setFocus(); });
        return;
    }
    if (IsBranchMandatory() && ui->sltBranch->IsEmpty()) {
        ShowMessage(QStringLiteral("اشکال"), QStringLiteral("فيلد شعبه الزامي است!"));
        ignoreErrors([this] { ui->sltBranch->setFocus(); });
        return;
    }
    if (context.Parameter125On && ui->mptAchiever->IsEmpty()) {
        ShowMessage(QStringLiteral("خطا"), QStringLiteral("وصول كننده مشخص نمي باشد."));
        return;
    }
    if (context.UseCounterpartyPicker) {
        for (int level = 1; level <= 3; ++level)
            if (ui->AccCredit->classId(level) > 0 && ui->AccCredit->objectId(level) <= 0) {
                ShowMessage(QStringLiteral("خطا"), QStringLiteral("لازم است که سطوح تفصيل طرف حساب مشخص شوند."));
                return;
            }
    }
    if (context.Parameter29Value == 1 && counterpartyMissing()) {
        ShowMessage(QStringLiteral("خطا"), QStringLiteral("طرف حساب مشخص نشده است."));
    } else {
        // What is typed is stored as typed or not at all.
        if (!receiptInputStorable(ui->txtDescription, ui->txtRec, true))
            return;
        // A save that wrote its receipt and then failed leaves the form in
        // the new receipt's mode: saving again completes that receipt, with
        // what the form shows now, rather than writing the money a second
        // time; the final-edit menu reached since changes nothing in that.
        const bool resumed = completingNewReceipt();
        const qint32 mode = resumed && context.FormMode == ModeEditFinal ? ModeNew : context.FormMode;
        if (mode != ModeNew && !stillAsRead())
            return;
        // However the writes end: what a failed step left written counts as
        // this form's own when it saves again.
        const auto countOwnWrites = qScopeGuard([this] { readOwnChangeCount(); });
        // Each write is a statement of its own: a failure stops the save
        // there and what was written before stays.
        switch (mode) {
        case ModeNew: {
            inStep(QStringLiteral("ثبت دريافت نقدي"), [&] { writeReceipt(0, !resumed); });
            if (!resumed) {
                m_unfinishedReceipt = CurrentReceiptID;
                m_unfinishedLogged = false;
            }
            if (CurrentReceiptID > 0)
                logUnfinishedCreation();
            m_unfinishedLogged = true;
            context.FormMode = ModeViewFinal;
            DisableComponents();
            ui->txtID->setText(QString::number(CurrentReceiptID));
            ui->txtCode->setText(QString::number(CurrentCode));
            break;
        }
        case ModeEdit:
            inStep(QStringLiteral("ثبت دريافت نقدي"), [this] { writeReceipt(0, false); });
            if (CurrentReceiptID > 0)
                inStep(savedAs(), [this] { writeFormAction(ids::EventReceiptEdited, QStringLiteral("“ اصلاح شد.")); });
            context.FormMode = ModeViewFinal;
            DisableComponents();
            ui->txtCode->setText(QString::number(CurrentCode));
            break;
        case ModeEditFinal: {
            // The code, the dates and the cash turn stay as stored.
            inStep(QStringLiteral("ثبت دريافت نقدي"), [&] {
                Module::dtEn().spRecPayGeneralUpdateCashTurnDetail(
                    CurrentReceiptID, ids::FormCashReceipt, trimBlanks(ui->txtDescription->text()), amount, Currency(),
                    counterpartyAccount(), ui->mptContracts->SelectedID());
            });
            if (CurrentReceiptID > 0)
                inStep(savedAs(), [this] {
                    writeFormAction(ids::EventReceiptEditedAfterClose,
                                    QStringLiteral("“ اصلاح پس از بسته شدن صندوق شد."));
                });
            context.FormMode = ModeViewFinal;
            DisableComponents();
            qint16 enter = VbKeys::Enter;
            inStep(savedAs(QStringLiteral("بارگذاري دوباره آن")), [&] { txtID_KeyPress(enter); });
            break;
        }
        default:
            break;
        }
        inStep(savedAs(QStringLiteral("ثبت سطوح تفصيلي، شعبه و وصول كننده")), [this] { updateDetailLevels(); });
        if (Vb::val(ui->txtCode->text()) > 0 && context.Parameter202On)
            inStep(savedAs(QStringLiteral("ثبت سند حسابداري")), [this] { WriteReceiptDocument(); });
        m_unfinishedReceipt = 0;
        ignoreErrors([this] { ui->cmdNew->setFocus(); });
    }
    ignoreErrors([this] { ui->DastelHistory1->LoadHistory(ids::FormCashReceipt, CurrentReceiptID); });
}

void frmRPDCashRec::mnuSave_Click()
{
    cmdSave_Click();
}
