// The cash box and turn the form works in.

#include "receipt/frmRPDCashRec.h"

#include "ui_frmRPDCashRec.h"

#include "cashselect/frmRPDCashSelect.h"
#include "common/Module.h"
#include "common/SharedServices.h"
#include "core/Vb.h"
#include "data/DtEn.h"

void frmRPDCashRec::cmdCashSelect_Click()
{
    qint32 cashId = 0, cashTurnId = 0, turn = 0;
    if (!frmRPDCashSelect::SelectCash(cashId, cashTurnId, turn))
        return;
    CurrentCashID = cashId;
    CurrentCashTurnID = cashTurnId;
    CurrentTurn = turn;
    ui->lblCashTurn->setText(QString::number(CurrentTurn));
    ui->lblOpenerUser->setText(GetUserFullName(Module::context().UserID));
    LoadCashTurn(CurrentCashTurnID);
}

void frmRPDCashRec::LoadCashTurn(qint32 &cashTurnId)
{
    Recordset &rs = Module::dtEn().rssqlRPDCashTurn;
    if (rs.State() != 0)
        rs.Close();
    rs.Open(QStringLiteral("Select * from tblRecPayCashTurn Where ID=") + QString::number(cashTurnId));
    if (rs.RecordCount() == 0) {
        ui->lblCashTurn->setText(QString());
    } else {
        CurrentCashTurnID = Vb::clng(rs.Fields(QStringLiteral("ID")));
        CurrentCashID = Vb::clng(rs.Fields(QStringLiteral("CashID")));
        CurrentTurn = Vb::clng(rs.Fields(QStringLiteral("Turn")));
        ui->lblCashTurn->setText(Vb::textOf(rs.Fields(QStringLiteral("Turn"))));
        ui->lblCash->setText(GetCashName(CurrentCashID));
    }
    rs.Close();
}

QString frmRPDCashRec::GetCashName(qint32 &cashId)
{
    Recordset &rs = Module::dtEn().rssqlRPDCash;
    if (rs.State() != 0)
        rs.Close();
    rs.Open(QStringLiteral("Select * from tblRecPayCash Where ID = ") + QString::number(cashId));
    QString name;
    if (rs.RecordCount() > 0)
        name = Vb::textOf(rs.Fields(QStringLiteral("Name")));
    rs.Close();
    return name;
}
