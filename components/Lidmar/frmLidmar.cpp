#include "Lidmar/frmLidmar.h"

#include "ui_frmLidmar.h"

#include "controls/KeyEvents.h"
#include "core/Vb.h"
#include "sibling/SiblingForm.h"
#include "sibling/SiblingSession.h"

#include <QHeaderView>

namespace {
enum Column { ColRow, ColCode, ColTitle, ColObjects, ColDebit, ColCredit, ColDescription };
}

frmLidmar::frmLidmar(SiblingSession &session, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmLidmar>()), m_session(session)
{
    ui->setupUi(this);
    SiblingForm::prepare(this);
    SiblingForm::prepareTable(ui->grdRows, {QStringLiteral("رديف"), QStringLiteral("كد حساب"),
                                            QStringLiteral("عنوان حساب"), QStringLiteral("تفصيلي"),
                                            QStringLiteral("بدهكار"), QStringLiteral("بستانكار"),
                                            QStringLiteral("شرح")});
    QHeaderView *header = ui->grdRows->horizontalHeader();
    for (int c : {ColRow, ColCode, ColDebit, ColCredit})
        header->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(ColDescription, QHeaderView::Stretch);
    ui->grdRows->setColumnWidth(ColTitle, 190);
    ui->grdRows->setColumnWidth(ColObjects, 170);
    // One line a row; a long description is read in full from its tooltip.
    ui->grdRows->setWordWrap(false);

    connect(KeyEvents::of(ui->txtDocCode), &KeyEvents::KeyPress, this,
            [this](qint16 &key) { SiblingForm::handle([&] { txtDocCode_KeyPress(key); }); });
    connect(ui->cmdExit, &QPushButton::clicked, this, [this] { SiblingForm::handle([this] { cmdExit_Click(); }); });
    clear();
}

frmLidmar::~frmLidmar() = default;

void frmLidmar::clear()
{
    m_document = AccountingDocument();
    for (QLineEdit *box : {ui->txtDocCode, ui->txtDocDate, ui->txtCreator, ui->txtDocDescription})
        box->clear();
    ui->grdRows->setRowCount(0);
    for (QLabel *label : {ui->lblTotalDebit, ui->lblTotalCredit, ui->lblBalance})
        label->clear();
}

void frmLidmar::showDocument(qint32 id)
{
    const AccountingDocument doc = AccountingDocument::load(m_session, id);
    m_document = doc;
    ui->txtDocCode->setText(QString::number(doc.code));
    ui->txtDocDate->setText(doc.farsiDate);
    ui->txtCreator->setText(doc.creator);
    ui->txtDocDescription->setText(doc.description);
    ui->txtDocDescription->setCursorPosition(0);

    QTableWidget *grid = ui->grdRows;
    grid->setRowCount(int(doc.rows.size()));
    for (int r = 0; r < doc.rows.size(); ++r) {
        const DocumentRow &row = doc.rows[r];
        grid->setItem(r, ColRow, SiblingForm::textCell(QString::number(row.rowNumber)));
        grid->setItem(r, ColCode, SiblingForm::textCell(row.accountCode));
        grid->setItem(r, ColTitle, SiblingForm::textCell(row.accountTitle));
        grid->setItem(r, ColObjects, SiblingForm::textCell(row.objects.join(QStringLiteral("، "))));
        grid->setItem(r, ColDebit, SiblingForm::moneyCell(row.debit));
        grid->setItem(r, ColCredit, SiblingForm::moneyCell(row.credit));
        grid->setItem(r, ColDescription, SiblingForm::textCell(row.description));
        grid->item(r, ColDescription)->setToolTip(row.description);
    }

    ui->lblTotalDebit->setText(moneyText(doc.totalDebit));
    ui->lblTotalCredit->setText(moneyText(doc.totalCredit));
    if (doc.balanced()) {
        ui->lblBalance->setText(QStringLiteral("سند تراز است."));
        ui->lblBalance->setStyleSheet(QStringLiteral("color: #1b6e20; padding: 2px 8px;"));
    } else {
        const Currency gap = doc.imbalance();
        ui->lblBalance->setText(QStringLiteral("سند تراز نيست: %1 ريال %2 بيشتر است.")
                                    .arg(moneyText(gap < Currency() ? -gap : gap),
                                         gap < Currency() ? QStringLiteral("بستانكار") : QStringLiteral("بدهكار")));
        ui->lblBalance->setStyleSheet(
            QStringLiteral("color: white; background: #b3261e; font-weight: bold; padding: 2px 8px;"));
    }
}

void frmLidmar::txtDocCode_KeyPress(qint16 &keyAscii)
{
    if (keyAscii != 13)
        return;
    const QString typed = ui->txtDocCode->text().trimmed();
    const qint32 code = Vb::clng(Vb::val(typed));
    const qint32 id = code > 0 ? AccountingDocument::idOfCode(m_session, code) : 0;
    if (id == 0) {
        clear();
        ui->txtDocCode->setText(typed);
        refuse(QStringLiteral("سندي با شماره %1 وجود ندارد.").arg(typed));
    }
    showDocument(id);
}

void frmLidmar::cmdExit_Click()
{
    hide();
}
