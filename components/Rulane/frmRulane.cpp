#include "Rulane/frmRulane.h"

#include "ui_frmRulane.h"

#include "Rulane/frmRulaneReceipt.h"
#include "common/ComponentRegistry.h"
#include "common/LateBound.h"
#include "common/VbRuntime.h"
#include "core/PersianDate.h"
#include "core/Vb.h"
#include "sibling/SiblingForm.h"
#include "sibling/SiblingSession.h"

#include <QHeaderView>

namespace {
enum Column { ColDate, ColKind, ColNumber, ColDescription, ColAccount, ColReceived, ColPayed, ColBalance };
// The grid row of a movement keeps its index in the ledger; the opening row -1.
constexpr int LineRole = Qt::UserRole + 1;
} // namespace

frmRulane::frmRulane(SiblingSession &session, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmRulane>()), m_session(session)
{
    ui->setupUi(this);
    SiblingForm::prepare(this);
    SiblingForm::prepareTable(ui->grdLedger, {QStringLiteral("تاريخ"), QStringLiteral("نوع"), QStringLiteral("شماره"),
                                              QStringLiteral("شرح"), QStringLiteral("طرف حساب"),
                                              QStringLiteral("دريافت"), QStringLiteral("پرداخت"),
                                              QStringLiteral("مانده")});
    ui->grdLedger->horizontalHeader()->setSectionResizeMode(ColDescription, QHeaderView::Stretch);
    for (int c : {ColDate, ColKind, ColNumber, ColReceived, ColPayed, ColBalance})
        ui->grdLedger->horizontalHeader()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    ui->grdLedger->setColumnWidth(ColAccount, 220);

    connect(ui->cmdShow, &QPushButton::clicked, this, [this] { SiblingForm::handle([this] { cmdShow_Click(); }); });
    connect(ui->cmdReceipt, &QPushButton::clicked, this,
            [this] { SiblingForm::handle([this] { cmdReceipt_Click(); }); });
    connect(ui->grdLedger, &QTableWidget::cellDoubleClicked, this,
            [this] { SiblingForm::handle([this] { grdLedger_DblClick(); }); });
    connect(ui->cmdExit, &QPushButton::clicked, this, [this] { SiblingForm::handle([this] { cmdExit_Click(); }); });
}

frmRulane::~frmRulane() = default;

void frmRulane::fillCashBoxes()
{
    ui->cboCash->clear();
    for (const CashBox &box : CashLedger::cashBoxes(m_session))
        ui->cboCash->addItem(box.name, box.id);
}

void frmRulane::prepareEmpty()
{
    fillCashBoxes();
    const QString today = PersianDate::today();
    ui->dtpFrom->setValue(PersianDate::toDate(today.left(8) + QStringLiteral("01")));
    ui->dtpTo->setValue(PersianDate::toDate(today));
    showLedger(CashLedger());
    ui->lblTitle->setText(QStringLiteral("صندوق و بازه تاريخ را انتخاب كنيد و «نمايش» را بزنيد."));
}

void frmRulane::showTurn(qint32 turnId)
{
    const CashLedger ledger = CashLedger::ofTurn(m_session, turnId);
    fillCashBoxes();
    const int index = ui->cboCash->findData(ledger.cashId);
    if (index >= 0)
        ui->cboCash->setCurrentIndex(index);
    // The turn's own dates, so that "show" gives the box around the turn.
    const QString first = ledger.lines.isEmpty() ? PersianDate::today() : ledger.lines.first().farsiDate;
    const QString last = ledger.lines.isEmpty() ? PersianDate::today() : ledger.lines.last().farsiDate;
    ui->dtpFrom->setValue(PersianDate::toDate(first));
    ui->dtpTo->setValue(PersianDate::toDate(last));
    showLedger(ledger);
}

void frmRulane::showLedger(const CashLedger &ledger)
{
    m_ledger = ledger;
    ui->lblTitle->setText(ledger.title);
    QTableWidget *grid = ui->grdLedger;
    grid->clearContents();
    grid->setRowCount(0);
    if (ledger.title.isEmpty()) {
        for (QLabel *total : {ui->lblTotalReceived, ui->lblTotalPayed, ui->lblClosing})
            total->clear();
        return;
    }
    grid->setRowCount(int(ledger.lines.size()) + 1);
    grid->setItem(0, ColDescription, SiblingForm::textCell(QStringLiteral("مانده از قبل")));
    // Blind: the balances of an open turn are not this user's to see.
    grid->setItem(0, ColBalance, ledger.blind ? SiblingForm::textCell(QString()) : SiblingForm::moneyCell(ledger.opening));
    for (int c = 0; c < grid->columnCount(); ++c) {
        if (!grid->item(0, c))
            grid->setItem(0, c, SiblingForm::textCell(QString()));
        grid->item(0, c)->setData(LineRole, -1);
        grid->item(0, c)->setBackground(QColor(0xEE, 0xE8, 0xD8));
    }
    for (int i = 0; i < ledger.lines.size(); ++i) {
        const LedgerLine &line = ledger.lines[i];
        const int row = i + 1;
        const QString number = line.code.isNull() || !line.code.isValid() ? QStringLiteral("موقت")
                                                                          : Vb::textOf(line.code);
        grid->setItem(row, ColDate, SiblingForm::textCell(line.farsiDate));
        grid->setItem(row, ColKind, SiblingForm::textCell(line.isReceipt() ? QStringLiteral("دريافت")
                                                                            : QStringLiteral("پرداخت")));
        grid->setItem(row, ColNumber, SiblingForm::textCell(number));
        grid->setItem(row, ColDescription, SiblingForm::textCell(line.description));
        grid->setItem(row, ColAccount, SiblingForm::textCell(line.account));
        grid->setItem(row, ColReceived, SiblingForm::moneyCell(line.received));
        grid->setItem(row, ColPayed, SiblingForm::moneyCell(line.payed));
        grid->setItem(row, ColBalance,
                      ledger.blind ? SiblingForm::textCell(QString()) : SiblingForm::moneyCell(line.balance));
        for (int c = 0; c < grid->columnCount(); ++c)
            grid->item(row, c)->setData(LineRole, i);
    }
    if (ledger.blind) {
        ui->lblTotalReceived->clear();
        ui->lblTotalPayed->clear();
        ui->lblClosing->setText(QStringLiteral("تا بستن نوبت نشان داده نمي شود"));
        return;
    }
    ui->lblTotalReceived->setText(moneyText(ledger.totalReceived));
    ui->lblTotalPayed->setText(moneyText(ledger.totalPayed));
    ui->lblClosing->setText(moneyDisplay(ledger.closing()));
}

void frmRulane::cmdShow_Click()
{
    if (ui->cboCash->currentIndex() < 0)
        refuse(QStringLiteral("صندوق انتخاب نشده است!"));
    showLedger(CashLedger::ofCash(m_session, ui->cboCash->currentData().toInt(), ui->dtpFrom->date(),
                                  ui->dtpTo->date()));
}

const LedgerLine *frmRulane::currentLine() const
{
    const QTableWidgetItem *item = ui->grdLedger->item(ui->grdLedger->currentRow(), 0);
    if (!item)
        return nullptr;
    const int index = item->data(LineRole).toInt();
    return index >= 0 && index < m_ledger.lines.size() ? &m_ledger.lines[index] : nullptr;
}

void frmRulane::cmdReceipt_Click()
{
    if (const LedgerLine *line = currentLine())
        openLine(*line);
}

void frmRulane::grdLedger_DblClick()
{
    cmdReceipt_Click();
}

void frmRulane::openLine(const LedgerLine &line)
{
    // Read-only: the ledger is opened from the receipt form, which may be
    // editing this very receipt; a second, independent receipt form here
    // could change or delete it under that edit.
    frmRulaneReceipt card(m_session, this);
    card.load(line.id);
    SiblingForm::showModal(&card);
}

void frmRulane::cmdExit_Click()
{
    hide();
}
