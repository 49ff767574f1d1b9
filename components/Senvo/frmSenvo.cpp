#include "Senvo/frmSenvo.h"

#include "ui_frmSenvo.h"

#include "common/SharedServices.h"
#include "controls/AmountEntry.h"
#include "controls/KeyEvents.h"
#include "sibling/SiblingForm.h"
#include "sibling/SiblingSession.h"
#include "suite/Identifiers.h"

#include <QHeaderView>

namespace {
enum Column { ColCash, ColTurn, ColCashier, ColMembers, ColState, ColOpened, ColClosed, ColOpening, ColCounted,
              ColExpected, ColDifference };
constexpr int TurnRole = Qt::UserRole + 1;

void attachAmountEntry(QLineEdit *box, QObject *context, const std::function<void(qint16 &)> &keyPress)
{
    QObject::connect(KeyEvents::of(box), &KeyEvents::KeyPress, context,
                     [keyPress](qint16 &key) { SiblingForm::handle([&] { keyPress(key); }); });
    QObject::connect(KeyEvents::of(box), &KeyEvents::KeyUp, context, [box](qint16, qint16) { AmountEntry::regroup(box); });
}

} // namespace

frmSenvo::frmSenvo(SiblingSession &session, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmSenvo>()), m_session(session), m_turnsStore(session)
{
    ui->setupUi(this);
    SiblingForm::prepare(this);
    SiblingForm::prepareTable(ui->grdTurns,
                              {QStringLiteral("صندوق"), QStringLiteral("نوبت"), QStringLiteral("صندوقدار"),
                               QStringLiteral("اعضا"), QStringLiteral("وضعيت"), QStringLiteral("باز شده"),
                               QStringLiteral("بسته شده"), QStringLiteral("اول نوبت"), QStringLiteral("شمارش شده"),
                               QStringLiteral("مورد انتظار"), QStringLiteral("اختلاف")});
    ui->grdTurns->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ui->grdTurns->horizontalHeader()->setSectionResizeMode(ColMembers, QHeaderView::Stretch);

    connect(ui->cboCash, &QComboBox::activated, this, [this] { SiblingForm::handle([this] { cboCash_Click(); }); });
    connect(ui->cmdOpenTurn, &QPushButton::clicked, this,
            [this] { SiblingForm::handle([this] { cmdOpenTurn_Click(); }); });
    connect(ui->grdTurns, &QTableWidget::itemSelectionChanged, this,
            [this] { SiblingForm::handle([this] { grdTurns_SelChange(); }); });
    connect(ui->cmdCloseTurn, &QPushButton::clicked, this,
            [this] { SiblingForm::handle([this] { cmdCloseTurn_Click(); }); });
    connect(ui->cmdExit, &QPushButton::clicked, this, [this] { SiblingForm::handle([this] { cmdExit_Click(); }); });
    attachAmountEntry(ui->txtOpeningCash, this, [this](qint16 &key) { txtOpeningCash_KeyPress(key); });
    attachAmountEntry(ui->txtCounted, this, [this](qint16 &key) { txtCounted_KeyPress(key); });
}

frmSenvo::~frmSenvo() = default;

void frmSenvo::load()
{
    ui->cboCash->clear();
    for (const CashTurns::Cash &cash : m_turnsStore.cashBoxes())
        ui->cboCash->addItem(cash.name, cash.id);
    const bool mayOpen = m_session.hasPermission(ids::RightOpenTurn);
    ui->gbOpen->setEnabled(mayOpen);
    if (!mayOpen)
        ui->gbOpen->setToolTip(QStringLiteral("شما مجوز باز كردن نوبت را نداريد."));
    cboCash_Click();
    fillTurns();
    // The cashier's own open turn is the one he most likely came to close.
    for (const TurnRow &t : std::as_const(m_turns))
        if (t.open && t.userId == m_session.user().userId) {
            selectTurn(t.id);
            break;
        }
    grdTurns_SelChange();
}

void frmSenvo::fillTurns()
{
    m_turns = m_turnsStore.turns();
    QTableWidget *grid = ui->grdTurns;
    const QSignalBlocker block(grid);
    grid->clearContents();
    grid->setRowCount(int(m_turns.size()));
    for (int r = 0; r < m_turns.size(); ++r) {
        const TurnRow &t = m_turns[r];
        grid->setItem(r, ColCash, SiblingForm::textCell(t.cashName));
        grid->setItem(r, ColTurn, SiblingForm::textCell(QString::number(t.turn)));
        grid->setItem(r, ColCashier, SiblingForm::textCell(t.cashier));
        grid->setItem(r, ColMembers, SiblingForm::textCell(t.members.join(QStringLiteral("، "))));
        grid->setItem(r, ColState, SiblingForm::textCell(t.open ? QStringLiteral("باز") : QStringLiteral("بسته")));
        grid->setItem(r, ColOpened, SiblingForm::textCell(t.farsiOpen));
        grid->setItem(r, ColClosed, SiblingForm::textCell(t.farsiClose));
        grid->setItem(r, ColOpening, SiblingForm::moneyCell(t.opening));
        // Blind: nothing of what an open turn should hold is shown.
        if (!t.open && t.counted.isValid() && t.difference.isValid()) {
            const Currency counted = t.counted.value<Currency>();
            const Currency difference = t.difference.value<Currency>();
            grid->setItem(r, ColCounted, SiblingForm::moneyCell(counted));
            grid->setItem(r, ColExpected, SiblingForm::moneyCell(counted - difference));
            grid->setItem(r, ColDifference, SiblingForm::moneyCell(difference));
            if (difference != Currency())
                grid->item(r, ColDifference)->setForeground(QColor(0xB3, 0x26, 0x1E));
        } else {
            for (int c : {ColCounted, ColExpected, ColDifference})
                grid->setItem(r, c, SiblingForm::textCell(QString()));
        }
        for (int c = 0; c < grid->columnCount(); ++c) {
            grid->item(r, c)->setData(TurnRole, t.id);
            if (t.open)
                grid->item(r, c)->setBackground(QColor(0xE6, 0xF2, 0xE0));
        }
    }
}

const TurnRow *frmSenvo::selectedTurn() const
{
    const QList<QTableWidgetItem *> selected = ui->grdTurns->selectedItems();
    if (selected.isEmpty())
        return nullptr;
    const qint32 id = selected.first()->data(TurnRole).toInt();
    for (const TurnRow &t : m_turns)
        if (t.id == id)
            return &t;
    return nullptr;
}

void frmSenvo::selectTurn(qint32 turnId)
{
    for (int r = 0; r < ui->grdTurns->rowCount(); ++r)
        if (ui->grdTurns->item(r, 0)->data(TurnRole).toInt() == turnId) {
            // The current cell selects its row, whether the grid is laid out yet or not.
            ui->grdTurns->setCurrentCell(r, 0);
            return;
        }
}

void frmSenvo::cboCash_Click()
{
    ui->lstMembers->clear();
    if (ui->cboCash->currentIndex() < 0) {
        ui->txtNextTurn->clear();
        return;
    }
    const qint32 cashId = ui->cboCash->currentData().toInt();
    ui->txtNextTurn->setText(QString::number(m_turnsStore.nextTurnNumber(cashId)));
    for (const TurnMember &member : m_turnsStore.candidates(cashId)) {
        auto *item = new QListWidgetItem(member.name, ui->lstMembers);
        item->setData(Qt::UserRole, member.userId);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

void frmSenvo::cmdOpenTurn_Click()
{
    if (ui->cboCash->currentIndex() < 0)
        refuse(QStringLiteral("صندوق انتخاب نشده است!"));
    QList<qint32> members;
    for (int i = 0; i < ui->lstMembers->count(); ++i)
        if (ui->lstMembers->item(i)->checkState() == Qt::Checked)
            members << ui->lstMembers->item(i)->data(Qt::UserRole).toInt();
    const Currency opening = ParseAmount(ui->txtOpeningCash->text(), QStringLiteral("/"));
    const qint32 id = m_turnsStore.open(ui->cboCash->currentData().toInt(), opening, members);
    ui->txtOpeningCash->clear();
    cboCash_Click();
    fillTurns();
    selectTurn(id);
    grdTurns_SelChange();
}

void frmSenvo::grdTurns_SelChange()
{
    const TurnRow *turn = selectedTurn();
    ui->txtCounted->clear();
    ui->lblCloseResult->clear();
    if (!turn) {
        ui->lblSelectedTurn->setText(QStringLiteral("نوبتي انتخاب نشده است."));
        ui->txtCounted->setEnabled(false);
        ui->cmdCloseTurn->setEnabled(false);
        return;
    }
    ui->lblSelectedTurn->setText(QStringLiteral("%1 - نوبت %2 (%3)")
                                     .arg(turn->cashName)
                                     .arg(turn->turn)
                                     .arg(turn->open ? QStringLiteral("باز") : QStringLiteral("بسته")));
    ui->txtCounted->setEnabled(turn->open);
    ui->cmdCloseTurn->setEnabled(turn->open);
    if (turn->open) {
        ui->lblCloseResult->setText(QStringLiteral("پول صندوق را بشماريد و مبلغ را وارد كنيد؛ مانده مورد انتظار پس "
                                                   "از بستن نشان داده مي شود."));
    } else if (turn->counted.isValid() && turn->difference.isValid()) {
        const Currency counted = turn->counted.value<Currency>();
        const Currency difference = turn->difference.value<Currency>();
        ui->lblCloseResult->setText(resultText(counted - difference, counted, difference));
    } else {
        ui->lblCloseResult->setText(QStringLiteral("اين نوبت بدون شمارش بسته شده است."));
    }
}

QString frmSenvo::resultText(Currency expected, Currency counted, Currency difference)
{
    const QString verdict = difference == Currency() ? QStringLiteral("بدون اختلاف")
                            : difference < Currency() ? QStringLiteral("كسري صندوق")
                                                      : QStringLiteral("اضافه صندوق");
    return QStringLiteral("مانده مورد انتظار: %1 ريال\nشمارش شده: %2 ريال\nاختلاف: %3 ريال (%4)")
        .arg(moneyText(expected), moneyText(counted), moneyDisplay(difference), verdict);
}

void frmSenvo::cmdCloseTurn_Click()
{
    const TurnRow *turn = selectedTurn();
    if (!turn)
        refuse(QStringLiteral("نوبتي انتخاب نشده است."));
    if (ui->txtCounted->text().trimmed().isEmpty()) {
        ui->txtCounted->setFocus();
        refuse(QStringLiteral("موجودي شمارش شده صندوق را وارد كنيد."));
    }
    const Currency counted = ParseAmount(ui->txtCounted->text(), QStringLiteral("/"));
    const qint32 id = turn->id;
    const QString question = QStringLiteral("نوبت %1 صندوق «%2» با موجودي شمارش شده %3 ريال بسته شود؟ نوبت بسته ديگر "
                                            "تغيير نمي كند.")
                                 .arg(turn->turn)
                                 .arg(turn->cashName, moneyText(counted));
    if (AskQuestion(QStringLiteral("هشدار"), question) != 6)
        return;
    const CloseResult result = m_turnsStore.close(id, counted);
    fillTurns();
    selectTurn(id);
    grdTurns_SelChange();
    ui->lblCloseResult->setText(resultText(result.expected, result.counted, result.difference));
}

void frmSenvo::txtOpeningCash_KeyPress(qint16 &keyAscii)
{
    AmountEntry::filterKey(keyAscii);
}

void frmSenvo::txtCounted_KeyPress(qint16 &keyAscii)
{
    AmountEntry::filterKey(keyAscii);
}

void frmSenvo::cmdExit_Click()
{
    hide();
}
