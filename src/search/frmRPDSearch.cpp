#include "search/frmRPDSearch.h"

#include "ui_frmRPDSearch.h"

#include "common/Module.h"
#include "common/SharedServices.h"
#include "common/VbRuntime.h"
#include "controls/AmountEntry.h"
#include "controls/KeyEvents.h"
#include "core/Vb.h"
#include "core/VbError.h"
#include "search/FlexGrid.h"
#include "search/ResultTable.h"
#include "data/DtEn.h"
#include "data/SqlText.h"
#include "platform/Look.h"
#include "suite/Identifiers.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QShortcut>

namespace {
frmRPDSearch *g_instance = nullptr;

// Trims blanks only, as the criteria are read.
QString trimBlanks(const QString &text)
{
    qsizetype start = 0, end = text.size();
    while (start < end && text.at(start) == u' ')
        ++start;
    while (end > start && text.at(end - 1) == u' ')
        --end;
    return text.mid(start, end - start);
}
} // namespace

frmRPDSearch &frmRPDSearch::instance()
{
    if (!g_instance)
        g_instance = new frmRPDSearch;
    return *g_instance;
}

bool frmRPDSearch::hasInstance()
{
    return g_instance != nullptr;
}

void frmRPDSearch::destroyInstance()
{
    delete g_instance;
    g_instance = nullptr;
}

frmRPDSearch::frmRPDSearch() : ui(std::make_unique<Ui::frmRPDSearch>())
{
    ui->setupUi(this);
    Look::applyFormLook(this);
    Look::fitCaptions(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint);
    setAttribute(Qt::WA_DeleteOnClose, false);
    takeDesignState();
    connectHandlers();
}

void frmRPDSearch::takeDesignState()
{
    m_designSize = size();
    for (QWidget *w : findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        if (!w->isWindow())
            m_designGeometry.push_back({w, w->geometry()});
}

void frmRPDSearch::restoreDesignState()
{
    setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
    resize(m_designSize);
    for (const auto &[widget, geometry] : std::as_const(m_designGeometry))
        if (widget)
            widget->setGeometry(geometry);
}

frmRPDSearch::~frmRPDSearch()
{
    if (g_instance == this)
        g_instance = nullptr;
}

void frmRPDSearch::connectHandlers()
{
    connect(ui->cmdSearch, &QPushButton::clicked, this, [this] { runHandler([this] { cmdSearch_Click(); }); });
    connect(ui->cmdNewsearch, &QPushButton::clicked, this, [this] { runHandler([this] { cmdNewsearch_Click(); }); });
    connect(ui->cmdExit, &QPushButton::clicked, this, [this] { runHandler([this] { cmdExit_Click(); }); });
    connect(ui->cmdExcel, &QPushButton::clicked, this, [this] { runHandler([this] { cmdExcel_Click(); }); });
    connect(ui->flxCashPay, &FlexGrid::DblClick, this, [this] { runHandler([this] { flxCashPay_DblClick(); }); });
    connect(KeyEvents::of(ui->flxCashPay), &KeyEvents::KeyPress, this,
            [this](qint16 &key) { runHandler([&] { flxCashPay_KeyPress(key); }); });
    connect(KeyEvents::of(ui->txtReceivedFrom), &KeyEvents::KeyPress, this,
            [this](qint16 &key) { runHandler([&] { txtReceivedFrom_KeyPress(key); }); });
    connect(KeyEvents::of(ui->txtReceivedTo), &KeyEvents::KeyPress, this,
            [this](qint16 &key) { runHandler([&] { txtReceivedTo_KeyPress(key); }); });
    connect(KeyEvents::of(ui->txtIDFrom), &KeyEvents::KeyPress, this,
            [this](qint16 &key) { runHandler([&] { txtIDFrom_KeyPress(key); }); });
    connect(KeyEvents::of(ui->txtIDTo), &KeyEvents::KeyPress, this,
            [this](qint16 &key) { runHandler([&] { txtIDTo_KeyPress(key); }); });
    // The turn box takes digits typed on the Persian layout as digits too.
    KeyEvents::of(ui->txtCashTurnID);
    // Escape hides the form as picking a row does, criteria and rows kept,
    // from whichever box has the focus (the amount boxes swallow the key).
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, [this] { hide(); });
    // The count and totals follow the rows as they arrive.
    connect(ui->flxCashPay->model(), &QAbstractItemModel::rowsInserted, this, [this] { showTotals(); });
    connect(ui->flxCashPay->model(), &QAbstractItemModel::modelReset, this, [this] { showTotals(); });
    connect(ui->flxCashPay, &FlexGrid::LoadFinished, this, [this] { showTotals(); });
    // Enter in a criterion runs the search.
    for (QLineEdit *box : {ui->txtCashTurnID, ui->txtReceivedFrom, ui->txtReceivedTo, ui->txtIDFrom, ui->txtIDTo,
                           ui->txtDescription})
        connect(box, &QLineEdit::returnPressed, this, [this] { runHandler([this] { cmdSearch_Click(); }); });
    connect(KeyEvents::of(ui->txtReceivedFrom), &KeyEvents::KeyUp, this,
            [this](qint16 key, qint16 shift) { runHandler([&] { txtReceivedFrom_KeyUp(key, shift); }); });
    connect(KeyEvents::of(ui->txtReceivedTo), &KeyEvents::KeyUp, this,
            [this](qint16 key, qint16 shift) { runHandler([&] { txtReceivedTo_KeyUp(key, shift); }); });
}

void frmRPDSearch::ensureLoaded()
{
    if (m_loaded || m_loading)
        return;
    // Loaded from the start of the load step, so that its own touches do not
    // load it again; a failed load leaves it unloaded for the next touch.
    m_loaded = true;
    m_loading = true;
    restoreDesignState();
    try {
        Form_Load();
    } catch (...) {
        m_loaded = false;
        m_loading = false;
        throw;
    }
    m_loading = false;
}

OmberSelector *frmRPDSearch::mptOpenerUser()
{
    ensureLoaded();
    return ui->mptOpenerUser;
}

OmberSelector *frmRPDSearch::mptContracts()
{
    ensureLoaded();
    return ui->mptContracts;
}

FarvoPicker *frmRPDSearch::TlvAccAccount()
{
    ensureLoaded();
    return ui->TlvAccAccount;
}

FarvoPicker *frmRPDSearch::TlvAccSecondAccount()
{
    ensureLoaded();
    return ui->TlvAccSecondAccount;
}

FlexGrid *frmRPDSearch::flxCashPay()
{
    ensureLoaded();
    return ui->flxCashPay;
}

void frmRPDSearch::Form_Load()
{
    // 1-3. Every cash box, its ID as the entry's data.
    {
        const QSignalBlocker block(ui->cmbCash);
        ui->cmbCash->clear();
        Module::dtEn().rssqlRPDCash.Query(QStringLiteral("select * from tblRecPayCash "), [this](Recordset &rs) {
            if (rs.RecordCount() < 1)
                return;
            for (; !rs.Eof(); rs.MoveNext())
                ui->cmbCash->addItem(Vb::textOf(rs.Fields(QStringLiteral("Name"))),
                                     Vb::clng(rs.Fields(QStringLiteral("ID"))));
        });
        ui->cmbCash->setCurrentIndex(-1);
    }

    // 4. Both dates start empty.
    ui->dtpTransactionDateTo->Clear();
    ui->dtpTransactionDateFrom->Clear();

    // 5. The collector selector lists employees.
    ui->sltAchiever->setConnectionString(Module::context().ConnectionString);
    ui->sltAchiever->setViewMajor(QStringLiteral("vwEmployee"));
    ui->sltAchiever->setViewMinor(QStringLiteral("vwEmployeeMinor"));
    ui->sltAchiever->setTitle(QStringLiteral("كارمندان"));

    // 6. The size the resize rule measures from. It is 16-bit: a window
    // larger than 32767 twips is remembered as 32767 rather than failing.
    LastWidth = Vb::cint(qMin(widthTwips(), 32767.0));
    LastHeight = Vb::cint(qMin(heightTwips(), 32767.0));
    m_laidWidth = widthTwips();
    m_laidHeight = heightTwips();
    m_mayTotalKnown = false;
}

void frmRPDSearch::Unload()
{
    hide();
    m_loaded = false;
    // What a fresh load would show: no criteria, no cash list, no rows.
    ignoreErrors([this] { cmdNewsearch_Click(); });
    const QSignalBlocker block(ui->cmbCash);
    ui->cmbCash->clear();
    ui->flxCashPay->clearGrid();
    m_cutShort = false;
    showTotals();
    WhereClause.clear();
}

void frmRPDSearch::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (ui->flxCashPay->loading()) {
        ui->flxCashPay->stopLoading();
        m_cutShort = true;
        showTotals();
    }
}

namespace {
// An amount cell as a fixed-point value; what is not a number counts as 0.
Currency amountOf(const ResultTable &table, int row, int column)
{
    switch (table.kind(row, column)) {
    case ResultTable::Kind::Integer:
        return Currency::fromInteger(table.integer(row, column));
    case ResultTable::Kind::Null:
        return Currency();
    default:
        return Currency::fromDecimalText(table.text(row, column)).value_or(Currency());
    }
}
constexpr int ReceivedColumn = 7;
constexpr int PaidColumn = 8;
} // namespace

void frmRPDSearch::showTotals()
{
    const ResultTable &table = ui->flxCashPay->table();
    if (table.rowCount() < m_summedRows || table.rowCount() == 0) {
        m_summedRows = 0;
        m_receivedTotal = m_paidTotal = Currency();
        m_totalsOverflow = false;
    }
    const bool amounts = table.columnCount() > PaidColumn;
    // Only the rows that arrived since the last call are added.
    for (; amounts && m_summedRows < table.rowCount(); ++m_summedRows) {
        if (m_totalsOverflow)
            continue;
        try {
            m_receivedTotal += amountOf(table, m_summedRows, ReceivedColumn);
            m_paidTotal += amountOf(table, m_summedRows, PaidColumn);
        } catch (const VbError &) {
            m_totalsOverflow = true;
        }
    }
    if (table.columnCount() == 0) {
        ui->lblFound->clear();
        return;
    }
    const QString separator = QStringLiteral("/");
    QString text = QStringLiteral("%1 رديف").arg(FormatThousands(QString::number(table.rowCount()), separator));
    // The totals of an open turn are the figure its blind count hides: only
    // a user who may see a turn's balance gets them.
    if (amounts && !m_mayTotalKnown) {
        // Asked as rows arrive, outside any handler: a failure withholds them.
        m_mayTotal = false;
        ignoreErrors([this] {
            // Who may see a turn's balance before it is closed (the blind count's figure).
            m_mayTotal = Module::dtEn().spOmberHasPermission(Module::context().UserID, ids::RightCloseAnyTurn) != 0;
        });
        m_mayTotalKnown = true;
    }
    if (amounts && !m_mayTotal)
        text += QStringLiteral("؛ جمع مبالغ فقط براي كاربر داراي نقش 20503 نشان داده مي شود");
    else if (amounts)
        text += m_totalsOverflow
                    ? QStringLiteral("؛ جمع مبالغ بيش از حد نمايش است")
                    : QStringLiteral("؛ جمع دريافت: %1 ريال؛ جمع پرداخت: %2 ريال")
                          .arg(FormatThousands(m_receivedTotal.toString(), separator),
                               FormatThousands(m_paidTotal.toString(), separator));
    if (ui->flxCashPay->loading())
        text += QStringLiteral(" (در حال خواندن...)");
    else if (m_cutShort)
        text += QStringLiteral(" (خواندن نتيجه نيمه كاره ماند؛ دوباره جستجو كنيد)");
    ui->lblFound->setText(text);
}

bool frmRPDSearch::checkCriteria()
{
    // What the clause cannot say as typed is told before the search runs,
    // so that a criterion is never dropped or changed without a word.
    QString problem;
    QLineEdit *box = nullptr;
    // The turn is a 32-bit number; the ID bounds are written as read, so
    // only a number no double holds is beyond them.
    auto tooLargeTurn = [](const QString &text) {
        try {
            Vb::clng(Vb::val(text));
            return false;
        } catch (const VbError &) {
            return true;
        }
    };
    auto tooLargeBound = [](const QString &text) {
        try {
            Vb::val(text);
            return false;
        } catch (const VbError &) {
            return true;
        }
    };
    if (qsizetype at = SqlText::firstControlCharacter(ui->txtDescription->text()); at >= 0) {
        box = ui->txtDescription;
        box->setSelection(int(at), 1);
        problem = QStringLiteral("شرح جستجو نويسه اي دارد كه در شرح دريافت ها نمي آيد (سطر جديد، Tab يا نويسه "
                                 "كنترلي ديگر، در جاي %1). آن را پاك كنيد.")
                      .arg(at + 1);
    } else if (!trimBlanks(ui->txtCashTurnID->text()).isEmpty() && tooLargeTurn(ui->txtCashTurnID->text())) {
        box = ui->txtCashTurnID;
        problem = QStringLiteral("شماره نوبت صندوق بيش از حد مجاز است.");
    } else if (AmountEntry::tooLarge(ui->txtReceivedFrom->text())) {
        box = ui->txtReceivedFrom;
        problem = QStringLiteral("مبلغ «از» بيش از حد مجاز است.");
    } else if (AmountEntry::tooLarge(ui->txtReceivedTo->text())) {
        box = ui->txtReceivedTo;
        problem = QStringLiteral("مبلغ «تا» بيش از حد مجاز است.");
    } else if (!trimBlanks(ui->txtIDFrom->text()).isEmpty() && tooLargeBound(ui->txtIDFrom->text())) {
        box = ui->txtIDFrom;
        problem = QStringLiteral("شماره رايانه اي «از» بيش از حد مجاز است.");
    } else if (!trimBlanks(ui->txtIDTo->text()).isEmpty() && tooLargeBound(ui->txtIDTo->text())) {
        box = ui->txtIDTo;
        problem = QStringLiteral("شماره رايانه اي «تا» بيش از حد مجاز است.");
    }
    if (problem.isEmpty())
        return true;
    ShowMessage(QStringLiteral("اشكال"), problem);
    ignoreErrors([box] { box->setFocus(); });
    return false;
}

void frmRPDSearch::CreateWhereClause()
{
    const QString And = QStringLiteral(" AND");
    const QString AndSpaced = QStringLiteral(" And ");
    QString clause = QStringLiteral("Where");

    if (ui->cmbCash->currentIndex() != -1)
        clause += QStringLiteral(" CashID = ") + QString::number(Vb::clng(ui->cmbCash->currentData())) + And;
    if (!trimBlanks(ui->txtCashTurnID->text()).isEmpty())
        clause += QStringLiteral(" Turn = ") + QString::number(Vb::clng(Vb::val(ui->txtCashTurnID->text()))) + And;
    if (!ui->mptOpenerUser->IsEmpty())
        clause += QStringLiteral(" UserID = ") + QString::number(ui->mptOpenerUser->SelectedID()) + And;

    const QString separator = QStringLiteral("/");
    if (!trimBlanks(ui->txtReceivedFrom->text()).isEmpty())
        clause += QStringLiteral(" ReceivedValue >= ") + ParseAmount(ui->txtReceivedFrom->text(), separator).toString()
                  + AndSpaced;
    if (!trimBlanks(ui->txtReceivedTo->text()).isEmpty())
        clause += QStringLiteral(" ReceivedValue <= ") + ParseAmount(ui->txtReceivedTo->text(), separator).toString()
                  + AndSpaced;
    if (!trimBlanks(ui->txtIDFrom->text()).isEmpty())
        clause += QStringLiteral(" ID >= ") + Vb::cstr(Vb::val(ui->txtIDFrom->text())) + AndSpaced;
    if (!trimBlanks(ui->txtIDTo->text()).isEmpty())
        clause += QStringLiteral(" ID <= ") + Vb::cstr(Vb::val(ui->txtIDTo->text())) + AndSpaced;

    // The engine is told the date in a form it cannot read another way; the
    // upper bound takes the whole of its day, whatever time a receipt was
    // stored at.
    const Connection &cnt = Module::dtEn().cnt;
    if (!ui->dtpTransactionDateFrom->IsEmpty())
        clause += QStringLiteral(" TransactionDate >= '") + cnt.dateLiteral(ui->dtpTransactionDateFrom->date())
                  + QStringLiteral("'") + AndSpaced;
    if (!ui->dtpTransactionDateTo->IsEmpty())
        clause += QStringLiteral(" TransactionDate <= '") + cnt.endOfDayLiteral(ui->dtpTransactionDateTo->date())
                  + QStringLiteral("'") + AndSpaced;

    if (!ui->TlvAccSecondAccount->IsEmpty())
        clause += QStringLiteral(" RelatedAccountID = ") + QString::number(ui->TlvAccSecondAccount->AccountID()) + And;
    if (!ui->TlvAccAccount->IsEmpty())
        clause += QStringLiteral(" AccountID = ") + QString::number(ui->TlvAccAccount->AccountID()) + And;
    if (!ui->mptContracts->IsEmpty())
        clause += QStringLiteral(" ContractID = ") + QString::number(ui->mptContracts->SelectedID()) + And;
    if (!ui->sltAchiever->IsEmpty())
        clause += QStringLiteral(" AchieverID = ") + QString::number(ui->sltAchiever->SelectedID()) + And;

    // As typed, blanks included; a quote stays part of the text and a %, _
    // or [ the cashier typed is looked for as itself, not as a wildcard.
    const QString description = ui->txtDescription->text();
    if (!description.isEmpty())
        clause += QStringLiteral(" Description Like ") + SqlText::likeContains(description) + And;

    clause += QStringLiteral(" PayedValue=0");
    WhereClause = clause;
}

void frmRPDSearch::cmdNewsearch_Click()
{
    ui->cmbCash->setCurrentIndex(-1);
    ui->txtCashTurnID->setText(QString());
    ui->mptOpenerUser->Clear();
    ui->txtReceivedFrom->setText(QString());
    ui->txtReceivedTo->setText(QString());
    ui->dtpTransactionDateFrom->Clear();
    ui->dtpTransactionDateTo->Clear();
    ui->txtDescription->setText(QString());
    ui->mptContracts->Clear();
    ui->sltAchiever->Clear();
    ui->TlvAccSecondAccount->Clear();
    ui->TlvAccAccount->Clear();
    ui->txtIDFrom->setText(QString());
    ui->txtIDTo->setText(QString());
}

void frmRPDSearch::cmdExit_Click()
{
    Unload();
}

void frmRPDSearch::txtReceivedFrom_KeyPress(qint16 &keyAscii)
{
    AmountEntry::filterKey(keyAscii);
}

void frmRPDSearch::txtReceivedTo_KeyPress(qint16 &keyAscii)
{
    AmountEntry::filterKey(keyAscii);
}

void frmRPDSearch::txtIDFrom_KeyPress(qint16 &keyAscii)
{
    AmountEntry::filterKey(keyAscii);
}

void frmRPDSearch::txtIDTo_KeyPress(qint16 &keyAscii)
{
    AmountEntry::filterKey(keyAscii);
}

void frmRPDSearch::txtReceivedFrom_KeyUp(qint16, qint16)
{
    AmountEntry::regroup(ui->txtReceivedFrom);
}

void frmRPDSearch::txtReceivedTo_KeyUp(qint16, qint16)
{
    AmountEntry::regroup(ui->txtReceivedTo);
}

// ---------------------------------------------------------------- layout

double frmRPDSearch::widthTwips() const
{
    return pixelsToTwips(width());
}

double frmRPDSearch::heightTwips() const
{
    return pixelsToTwips(height());
}

void frmRPDSearch::Form_Resize()
{
    applyResizeRule(widthTwips(), heightTwips());
}

void frmRPDSearch::applyResizeRule(double width, double height)
{
    if (width <= 6000 || height <= 6000)
        return;
    // The growth is measured from the size last laid out, kept exactly: the
    // remembered 16-bit size stops at 32767 twips, a maximised window on a
    // large screen does not, and its grid must still stretch.
    const float dW = float(width - m_laidWidth);
    const float dH = float(height - m_laidHeight);
    // Right to left: the criteria keep their distance from the right edge.
    for (QWidget *w : {static_cast<QWidget *>(ui->cmbCash), static_cast<QWidget *>(ui->txtCashTurnID),
                       static_cast<QWidget *>(ui->mptOpenerUser), static_cast<QWidget *>(ui->TlvAccSecondAccount),
                       static_cast<QWidget *>(ui->TlvAccAccount), static_cast<QWidget *>(ui->mptContracts),
                       static_cast<QWidget *>(ui->txtDescription), static_cast<QWidget *>(ui->lbl_0),
                       static_cast<QWidget *>(ui->lbl_1), static_cast<QWidget *>(ui->lbl_2),
                       static_cast<QWidget *>(ui->lbl_3), static_cast<QWidget *>(ui->lbl_4),
                       static_cast<QWidget *>(ui->lbl_5), static_cast<QWidget *>(ui->lbl_6),
                       static_cast<QWidget *>(ui->frm_0), static_cast<QWidget *>(ui->frm_1)})
        MoveControlBy(w, 0, dW, 0);
    for (QWidget *w : {static_cast<QWidget *>(ui->cmdExit), static_cast<QWidget *>(ui->cmdSearch),
                       static_cast<QWidget *>(ui->cmdNewsearch)}) {
        w->move(w->x(), w->y() + twipsToPixels(dH));
        // Moved down over the grid, they stay on top of it and within reach.
        w->raise();
    }
    MoveControlBy(ui->flxCashPay, dW, 0, dH);
    MoveControlBy(ui->lblFound, dW, 0, 0);
    ui->lblFound->move(ui->lblFound->x(), ui->lblFound->y() + twipsToPixels(dH));
    m_laidWidth = width;
    m_laidHeight = height;
    LastWidth = Vb::cint(qMin(width, 32767.0));
    LastHeight = Vb::cint(qMin(height, 32767.0));
}

void frmRPDSearch::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_loaded && !m_loading)
        runHandler([this] { Form_Resize(); });
}

void frmRPDSearch::closeEvent(QCloseEvent *event)
{
    // Only the exit button empties the form: the close box hides it, as
    // Escape does, criteria and rows kept.
    event->ignore();
    hide();
}
