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
    Module::dtEn().rssqlRPDCashTurn.Query(
        QStringLiteral("Select * from tblRecPayCashTurn Where ID=") + QString::number(cashTurnId),
        [this](Recordset &rs) {
            if (rs.RecordCount() == 0) {
                ui->lblCashTurn->setText(QString());
                return;
            }
            CurrentCashTurnID = Vb::clng(rs.Fields(QStringLiteral("ID")));
            CurrentCashID = Vb::clng(rs.Fields(QStringLiteral("CashID")));
            CurrentTurn = Vb::clng(rs.Fields(QStringLiteral("Turn")));
            ui->lblCashTurn->setText(Vb::textOf(rs.Fields(QStringLiteral("Turn"))));
            ui->lblCash->setText(GetCashName(CurrentCashID));
        });
}

QString frmRPDCashRec::GetCashName(qint32 &cashId)
{
    QString name;
    Module::dtEn().rssqlRPDCash.Query(QStringLiteral("Select * from tblRecPayCash Where ID = ") + QString::number(cashId),
                                      [&](Recordset &rs) {
                                          if (rs.RecordCount() > 0)
                                              name = Vb::textOf(rs.Fields(QStringLiteral("Name")));
                                      });
    return name;
}
