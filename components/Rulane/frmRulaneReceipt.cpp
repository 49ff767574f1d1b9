#include "Rulane/frmRulaneReceipt.h"

#include "ui_frmRulaneReceipt.h"

#include "core/Vb.h"
#include "sibling/SiblingForm.h"
#include "sibling/SiblingSession.h"

frmRulaneReceipt::frmRulaneReceipt(SiblingSession &session, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmRulaneReceipt>()), m_session(session)
{
    ui->setupUi(this);
    SiblingForm::prepare(this);
    connect(ui->cmdExit, &QPushButton::clicked, this, [this] { SiblingForm::handle([this] { cmdExit_Click(); }); });
}

frmRulaneReceipt::~frmRulaneReceipt() = default;

void frmRulaneReceipt::load(qint32 id)
{
    const QString key = QString::number(id);
    const RowSet rows = m_session.query(QStringLiteral("Select * From vwRecPayCashTurnDetailSearch Where ID = ?"), {id});
    if (rows.rows.isEmpty())
        refuse(QStringLiteral("دريافت/پرداخت شماره %1 وجود ندارد.").arg(key));
    const auto text = [&](const char *column) { return Vb::textOf(field(rows, 0, QLatin1String(column))); };

    const bool receipt = moneyOf(field(rows, 0, QStringLiteral("ReceivedValue"))) != Currency();
    const bool confirmed = !text("Code").isEmpty();
    ui->lblState->setText(receipt ? (confirmed ? QStringLiteral("دريافت نقدي - ثبت نهايي")
                                               : QStringLiteral("دريافت نقدي - ثبت موقت"))
                                  : QStringLiteral("پرداخت نقدي"));
    ui->txtID->setText(key);
    ui->txtCode->setText(text("Code"));
    ui->txtDate->setText(text("FarsiTransactionDate"));
    ui->txtCashTurn->setText(QStringLiteral("%1 - نوبت %2").arg(text("CashDescription"), text("Turn")));
    ui->txtAmount->setText(moneyText(moneyOf(field(rows, 0, receipt ? QStringLiteral("ReceivedValue")
                                                                     : QStringLiteral("PayedValue")))));
    const QString accountCode = text("SecondAccountCode");
    ui->txtAccount->setText(accountCode.isEmpty() ? QString()
                                                  : accountCode + QStringLiteral(" - ") + text("SecondAccountTitle"));
    ui->txtContract->setText(text("AccContractTitle"));
    ui->txtBranch->setText(
        m_session.titleIn(QStringLiteral("vwAccountBranchMinor"), field(rows, 0, QStringLiteral("BranchID"))));
    ui->txtAchiever->setText(
        m_session.titleIn(QStringLiteral("vwEmployeeMinor"), field(rows, 0, QStringLiteral("AchieverID"))));
    ui->txtDescription->setText(text("Description"));
    ui->txtDescription->setCursorPosition(0);
}

void frmRulaneReceipt::cmdExit_Click()
{
    hide();
}
