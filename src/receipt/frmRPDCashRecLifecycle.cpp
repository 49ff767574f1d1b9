// Loading, activating, resizing and closing the cash receipt form, and the
// keys it turns into button presses.

#include "receipt/frmRPDCashRec.h"

#include "ui_frmRPDCashRec.h"

#include "common/Module.h"
#include "common/SharedServices.h"
#include "controls/OmberBody.h"
#include "controls/VbKeys.h"
#include "core/Vb.h"
#include "core/VbError.h"
#include "data/DtEn.h"
#include "platform/Os.h"

void frmRPDCashRec::Form_Load()
{
    UserContext &context = Module::context();
    DtEn &dtEn = Module::dtEn();

    // 1. Keyboard layout: Arabic on version 4, Persian on 5 and 6.
    const int major = Os::majorVersion();
    if (major == 4)
        context.KeyboardLayoutID = QStringLiteral("00000401");
    else if (major == 5 || major == 6)
        context.KeyboardLayoutID = QStringLiteral("00000429");
    Os::activateKeyboardLayout(context.KeyboardLayoutID);

    // 2. History panel.
    ui->DastelHistory1->setConnectionString(context.ConnectionString);
    ui->DastelHistory1->setProperty("UserID", QVariant::fromValue(Vb::cint(double(context.UserID))));
    ui->DastelHistory1->setProperty("PositionID", QVariant::fromValue(Vb::cint(double(context.PositionID))));

    // 3. Today's date from the server.
    ui->dtpDate->setValue(GetServerDate());

    // 4. The size the resize rule measures from. It is 16-bit, and a window
    // larger than 32767 twips (maximised on a large screen) would overflow
    // it. Deliberately, and only here and in the resize rule, the form
    // avoids that overflow instead of raising it: such a size is
    // remembered as 32767, so the load does not fail on a large screen.
    DesignWidth = Vb::cint(qMin(widthTwips(), 32767.0));
    DesignHeight = Vb::cint(qMin(heightTwips(), 32767.0));

    // 5, 6. Employee and branch selectors.
    const QString connectionString = dtEn.Connections().first()->ConnectionString();
    ui->mptAchiever->setConnectionString(connectionString);
    ui->mptAchiever->setTitle(QStringLiteral("كارمندان"));
    ui->mptAchiever->Clear();
    ui->mptAchiever->setViewMajor(QStringLiteral("vwEmployee"));
    ui->mptAchiever->setViewMinor(QStringLiteral("vwEmployeeMinor"));
    ui->sltBranch->setConnectionString(connectionString);
    ui->sltBranch->setTitle(QStringLiteral("شعب"));
    ui->sltBranch->Clear();
    ui->sltBranch->setViewMajor(QStringLiteral("vwAccountBranchMajor"));
    ui->sltBranch->setViewMinor(QStringLiteral("vwAccountBranchMinor"));

    // 7, 8. Which counter-party picker the suite uses.
    Recordset &general = dtEn.rssqlOmberBasePath;
    context.UseCounterpartyPicker =
        general.Query(QStringLiteral("Select * From tblOmberSystemParameters Where ID = 311 and Value=1")) > 0;
    if (context.UseCounterpartyPicker) {
        ui->Label5->hide();
        ui->TlvAccPicker->hide();
        ui->Label11->hide();
        ui->txtAddress->hide();
        ui->AccCredit->show();
        ui->AccCredit->setConnectionString(connectionString);
        ui->AccCredit->SetTitle(QStringLiteral("مشخصات طرف حساب"));
        ui->AccCredit->setAccountID(-1);
    } else {
        ui->Label5->show();
        ui->TlvAccPicker->show();
        ui->Label11->show();
        ui->txtAddress->show();
        ui->AccCredit->hide();
    }

    // The cash box and turn kept from an earlier opening are the user's own
    // choice: another user, or another database, starts without them.
    if (m_cashUser != context.UserID || m_cashConnection != context.ConnectionString) {
        CurrentCashID = 0;
        CurrentTurn = 0;
        CurrentCashTurnID = 0;
        ui->lblCash->setText(QString());
        ui->lblCashTurn->setText(QString());
        ui->lblOpenerUser->setText(QString());
        m_cashUser = context.UserID;
        m_cashConnection = context.ConnectionString;
    }

    // 9. The receipt asked for by View, or the user's open turn for ClearShow.
    if (context.FormMode == ModeViewFinal) {
        if (CurrentReceiptID != 0) {
            ui->txtID->setText(QString::number(CurrentReceiptID));
            qint16 enter = VbKeys::Enter;
            txtID_KeyPress(enter);
        }
    } else if (context.FormMode == ModeEmpty) {
        if (CurrentCashID == 0 || CurrentTurn == 0) {
            ui->lblOpenerUser->setText(GetUserFullName(context.UserID));
            dtEn.rssqlRPDCashTurn.Query(
                QStringLiteral("Select * from tblRecPayCashTurn Where IsOpen = 1  And UserID =")
                    + QString::number(context.UserID),
                [&](Recordset &turns) {
                    if (turns.RecordCount() < 1) {
                        ui->lblCashTurn->setText(QString());
                        return;
                    }
                    CurrentCashID = Vb::clng(turns.Fields(QStringLiteral("CashID")));
                    CurrentTurn = Vb::clng(turns.Fields(QStringLiteral("Turn")));
                    CurrentCashTurnID = Vb::clng(turns.Fields(QStringLiteral("ID")));
                    ui->lblCashTurn->setText(Vb::textOf(turns.Fields(QStringLiteral("Turn"))));
                    ui->lblCash->setText(GetCashName(CurrentCashID));
                });
        }
        DisableComponents();
        ClearForm();
    }

    // 10. The suite's base path; a null one is an error like any other.
    general.Query(QStringLiteral("Select * From vwOmberBasePath Order By ID "), [&](Recordset &rs) {
        if (rs.RecordCount() == 0)
            return;
        const QVariant basePath = rs.Fields(QStringLiteral("BasePath"));
        if (basePath.isNull())
            throw VbError::invalidUseOfNull();
        context.BasePath = Vb::textOf(basePath);
    });

    // 11. Settings that decide the save.
    general.Query(QStringLiteral("Select Value From tblOmberSystemParameters Where ID = 29"), [&](Recordset &rs) {
        if (rs.RecordCount() > 0)
            context.Parameter29Value = Vb::cint(Vb::numberOf(rs.Fields(QStringLiteral("Value"))));
    });
    context.Parameter202On =
        general.Query(QStringLiteral("Select * From tblOmberSystemParameters Where ID = 202 and Value=1")) > 0;
    context.Parameter125On =
        general.Query(QStringLiteral("Select * From tblOmberSystemParameters Where ID = 125 and Value=1")) > 0;

    // 12, 13. The user's branch and primary store, -1 when none.
    context.UserBranchID = -1;
    general.Query(QStringLiteral("select * from tbluser where ID =") + QString::number(context.UserID),
                  [&](Recordset &rs) {
                      if (rs.RecordCount() > 0)
                          context.UserBranchID =
                              Vb::clng(ToNumber(Vb::textOf(rs.Fields(QStringLiteral("BranchID")))));
                  });
    context.UserInventoryID = -1;
    general.Query(QStringLiteral("Select InventoryID from tblInventoryUser Where IsPrimary=1 and UserID=")
                      + QString::number(context.UserID),
                  [&](Recordset &rs) {
                      if (rs.RecordCount() > 0)
                          context.UserInventoryID =
                              Vb::clng(ToNumber(Vb::textOf(rs.Fields(QStringLiteral("InventoryID")))));
                  });
}

void frmRPDCashRec::Form_Activate()
{
    comSkinner1->ApplySkin(this);
}

void frmRPDCashRec::Form_Resize()
{
    applyResizeRule(widthTwips(), heightTwips());
}

void frmRPDCashRec::applyResizeRule(double width, double height)
{
    if (width < 7890 || height <= 6000)
        return;
    // The remembered size is 16-bit. The other place (with the load step)
    // where the form deliberately avoids the overflow it would raise: a
    // window beyond 32767 twips is left unlaid rather than failing.
    if (width > 32767 || height > 32767)
        return;
    m_masterLeft += (width - DesignWidth) / 2;
    ui->gbMaster->move(twipsToPixels(m_masterLeft), ui->gbMaster->y());
    MoveControlBy(ui->DastelHistory1, float(width - DesignWidth), 0, float(height - DesignHeight));
    DesignWidth = Vb::cint(width);
    DesignHeight = Vb::cint(height);
}

void frmRPDCashRec::Form_QueryUnload(bool &cancel)
{
    const qint32 mode = Module::context().FormMode;
    if ((mode == ModeViewFinal || mode == ModeEdit) && !ui->DastelHistory1->CanClose())
        cancel = true;
}

void frmRPDCashRec::Form_KeyDown(qint16 keyCode, qint16 shift)
{
    RouteKeys(keyCode, shift);
}

void frmRPDCashRec::sltBranch_KeyDown(qint16 keyCode, qint16 shift)
{
    RouteKeys(keyCode, shift);
}

void frmRPDCashRec::RouteKeys(qint16 keyCode, qint16 shift)
{
    // The routing ignores errors: one raised by the operation it runs ends
    // that operation silently, unlike a click on the button, whose failure
    // is reported.
    try {
        if (shift != VbKeys::CtrlMask)
            return;
        if (keyCode == 78 && ui->cmdNew->isEnabled())
            cmdNew_Click();
        else if (keyCode == 83 && ui->cmdSave->isEnabled())
            cmdSave_Click();
    } catch (...) {
        // Whatever the operation raised, ours or a plugin's.
    }
}

void frmRPDCashRec::cmdExit_Click()
{
    close();
}

void frmRPDCashRec::mnuExit_Click()
{
    cmdExit_Click();
}
