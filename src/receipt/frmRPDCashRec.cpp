#include "receipt/frmRPDCashRec.h"

#include "ui_frmRPDCashRec.h"

#include "common/Module.h"
#include "common/SharedServices.h"
#include "common/VbRuntime.h"
#include "controls/KeyEvents.h"
#include "controls/DastelHistory.h"
#include "controls/FarvoPicker.h"
#include "controls/OmberAccountPicker.h"
#include "controls/OmberBody.h"
#include "controls/OmberDate.h"
#include "controls/OmberSelector.h"
#include "controls/VbKeys.h"
#include "platform/Look.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QKeyEvent>
#include <QTimer>

namespace {
frmRPDCashRec *g_instance = nullptr;
} // namespace

frmRPDCashRec &frmRPDCashRec::instance()
{
    if (!g_instance)
        g_instance = new frmRPDCashRec;
    return *g_instance;
}

bool frmRPDCashRec::hasInstance()
{
    return g_instance != nullptr;
}

void frmRPDCashRec::destroyInstance()
{
    delete g_instance;
    g_instance = nullptr;
}

frmRPDCashRec::frmRPDCashRec()
    : ui(std::make_unique<Ui::frmRPDCashRec>()), comSkinner1(new OmberBody(this)), TimerButtons(new QTimer(this))
{
    ui->setupUi(this);
    Look::applyFormLook(this);
    Look::fitCaptions(this);
    setAttribute(Qt::WA_DeleteOnClose, false);
    comSkinner1->setObjectName(QStringLiteral("comSkinner1"));
    TimerButtons->setObjectName(QStringLiteral("TimerButtons"));
    TimerButtons->setInterval(100);
    // The suite's caption "-" only marks these as separators; left as their
    // text, the style would draw it beside the line.
    for (QAction *separator : {ui->r5667, ui->m1}) {
        separator->setSeparator(true);
        separator->setText(QString());
    }

    // Locked by design and never unlocked.
    ui->dtpDate->setLocked(true);
    ui->dtpOpenDate->setLocked(true);
    ui->AccCredit->hide();
    m_masterLeft = pixelsToTwips(ui->gbMaster->x());
    takeDesignState();
    m_tabOrder = {ui->txtID,      ui->txtRec,     ui->TlvAccPicker, ui->AccCredit,  ui->mptContracts,
                  ui->mptAchiever, ui->sltBranch, ui->txtDescription, ui->cmdSave,  ui->cmdRegSave,
                  ui->cmdCancel,  ui->cmdNew,     ui->cmdEdit,      ui->cmdDelete,  ui->cmdSearch,
                  ui->cmdView,    ui->cmdCashLedger, ui->mnuCashTurn, ui->cmdCashSelect, ui->cmdExit};

    connectHandlers();
    // Key preview: the form sees the keys of its own controls first (its
    // filter is installed after the controls' own key events, so it runs
    // before them); keys typed inside an in-house control are that control's.
    for (QWidget *w : findChildren<QWidget *>())
        if (!VbKeys::insideUserControl(w, this))
            w->installEventFilter(this);
    TimerButtons->start();
}

frmRPDCashRec::~frmRPDCashRec()
{
    if (g_instance == this)
        g_instance = nullptr;
}

void frmRPDCashRec::handle(const std::function<void()> &handler)
{
    const qint32 modeBefore = Module::context().FormMode;
    bool failed = true;
    runHandler([&] {
        handler();
        failed = false;
    });
    // An operation stopped half-way may have set the mode without the
    // controls that go with it; they follow the mode again, so that no
    // button is on that the mode keeps off.
    if (failed && m_loaded && Module::context().FormMode != modeBefore)
        ignoreErrors([this] { DisableComponents(); });
}

void frmRPDCashRec::connectHandlers()
{
    connect(TimerButtons, &QTimer::timeout, this, &frmRPDCashRec::TimerButtons_Timer);
    onClick(ui->cmdCashSelect, &frmRPDCashRec::cmdCashSelect_Click);
    onClick(ui->cmdExit, &frmRPDCashRec::cmdExit_Click);
    onTrigger(ui->mnuExit, &frmRPDCashRec::mnuExit_Click);
    onClick(ui->cmdNew, &frmRPDCashRec::cmdNew_Click);
    onClick(ui->cmdEdit, &frmRPDCashRec::cmdEdit_Click);
    onClick(ui->cmdCancel, &frmRPDCashRec::cmdCancel_Click);
    onTrigger(ui->mnuNew, &frmRPDCashRec::mnuNew_Click);
    onTrigger(ui->mnuEdit, &frmRPDCashRec::mnuEdit_Click);
    onClick(ui->cmdSave, &frmRPDCashRec::cmdSave_Click);
    onTrigger(ui->mnuSave, &frmRPDCashRec::mnuSave_Click);
    onClick(ui->cmdRegSave, &frmRPDCashRec::cmdRegSave_Click);
    onTrigger(ui->mnuRegSave, &frmRPDCashRec::mnuRegSave_Click);
    onTrigger(ui->mnuEditFinal, &frmRPDCashRec::mnuEditFinal_Click);
    onClick(ui->cmdReturnToTempState, &frmRPDCashRec::cmdReturnToTempState_Click);
    onClick(ui->cmdDelete, &frmRPDCashRec::cmdDelete_Click);
    onTrigger(ui->mnuDelete, &frmRPDCashRec::mnuDelete_Click);
    connect(KeyEvents::of(ui->txtRec), &KeyEvents::KeyPress, this,
            [this](qint16 &key) { handle([&] { txtRec_KeyPress(key); }); });
    connect(KeyEvents::of(ui->txtRec), &KeyEvents::KeyUp, this,
            [this](qint16 key, qint16 shift) { handle([&] { txtRec_KeyUp(key, shift); }); });
    // Emptying the picker is choosing no account: the organisation text goes too.
    connect(ui->TlvAccPicker, &LookupBox::cleared, this, [this] { handle([this] { TlvAccPicker_AccountSelected(); }); });
    connect(ui->TlvAccPicker, &FarvoPicker::AccountSelected, this,
            [this] { handle([this] { TlvAccPicker_AccountSelected(); }); });
    connect(ui->sltBranch, &LookupBox::KeyDown, this,
            [this](qint16 key, qint16 shift) { handle([&] { sltBranch_KeyDown(key, shift); }); });
    connect(KeyEvents::of(ui->txtID), &KeyEvents::KeyPress, this,
            [this](qint16 &key) { handle([&] { txtID_KeyPress(key); }); });
    // Opening the search.
    connect(ui->cmdSearch, &QPushButton::clicked, this, [this] { handle([this] { cmdSearch_Click(); }); });
    connect(ui->mnuSearch, &QAction::triggered, this, [this] { handle([this] { mnuSearch_Click(); }); });

    // Printing.
    connect(ui->cmdView, &QPushButton::clicked, this, [this] { handle([this] { cmdView_Click(); }); });
    connect(ui->mnuPrintView, &QAction::triggered, this, [this] { handle([this] { mnuPrintView_Click(); }); });
    connect(ui->mnuPrint, &QAction::triggered, this, [this] { handle([this] { mnuPrint_Click(); }); });

    // Linked components.
    onClick(ui->cmdAccTrans, &frmRPDCashRec::cmdAccTrans_Click);
    onClick(ui->cmdCashLedger, &frmRPDCashRec::cmdCashLedger_Click);
    onClick(ui->mnuCashTurn, &frmRPDCashRec::mnuCashTurn_Click);
    onClick(ui->mnuNewAccounts, &frmRPDCashRec::mnuNewAccounts_Click);
    addLinkedMenuEntries();
}

void frmRPDCashRec::onClick(QAbstractButton *button, void (frmRPDCashRec::*handler)())
{
    connect(button, &QAbstractButton::clicked, this, [this, handler] { handle([this, handler] { (this->*handler)(); }); });
}

void frmRPDCashRec::onTrigger(QAction *action, void (frmRPDCashRec::*handler)())
{
    connect(action, &QAction::triggered, this, [this, handler] { handle([this, handler] { (this->*handler)(); }); });
}

void frmRPDCashRec::ensureLoaded()
{
    if (!m_loaded)
        reload();
}

void frmRPDCashRec::takeDesignState()
{
    m_designSize = size();
    m_designMasterLeft = m_masterLeft;
    for (QWidget *w : findChildren<QWidget *>()) {
        // The in-house controls' insides are theirs; they are reset through
        // their own members below.
        if (w->isWindow() || VbKeys::insideUserControl(w->parentWidget(), this))
            continue;
        DesignedControl d{w, w->geometry(), !w->parentWidget() || !w->parentWidget()->layout(),
                          !w->testAttribute(Qt::WA_Disabled), w->isHidden(), QString(), false};
        if (auto *edit = qobject_cast<QLineEdit *>(w)) {
            d.text = edit->text();
            d.readOnly = edit->isReadOnly();
        } else if (auto *label = qobject_cast<QLabel *>(w)) {
            d.text = label->text();
        }
        m_design.push_back(d);
    }
    for (QAction *a : findChildren<QAction *>())
        m_designActions.push_back({a, a->isEnabled()});
}

void frmRPDCashRec::restoreDesignState()
{
    // The labels of the cash box and turn show what the form's members
    // hold, and those survive an unload.
    const QWidget *keptLabels[] = {ui->lblCash, ui->lblCashTurn, ui->lblOpenerUser};
    resize(m_designSize);
    m_masterLeft = m_designMasterLeft;
    for (const DesignedControl &d : std::as_const(m_design)) {
        QWidget *w = d.widget;
        if (!w)
            continue;
        if (d.positioned)
            w->setGeometry(d.geometry);
        w->setEnabled(d.enabled);
        w->setHidden(d.hidden);
        if (std::find(std::begin(keptLabels), std::end(keptLabels), w) != std::end(keptLabels))
            continue;
        if (auto *edit = qobject_cast<QLineEdit *>(w)) {
            edit->setText(d.text);
            edit->setReadOnly(d.readOnly);
        } else if (auto *label = qobject_cast<QLabel *>(w)) {
            label->setText(d.text);
        }
    }
    for (const auto &[action, enabled] : std::as_const(m_designActions))
        action->setEnabled(enabled);
    for (LookupBox *box : {static_cast<LookupBox *>(ui->mptAchiever), static_cast<LookupBox *>(ui->sltBranch),
                           static_cast<LookupBox *>(ui->mptContracts), static_cast<LookupBox *>(ui->TlvAccPicker)}) {
        box->Clear();
        box->setEditable(true);
    }
    ui->AccCredit->setAccountID(-1);
    for (int level = 1; level <= 3; ++level) {
        ui->AccCredit->setClassId(level, -1);
        ui->AccCredit->setObjectId(level, -1);
    }
    ui->AccCredit->setEditable(true);
    ui->dtpDate->Clear();
    ui->dtpOpenDate->Clear();
    ui->DastelHistory1->Clear();
    ui->DastelHistory1->noteBox()->clear();
    ui->DastelHistory1->setSavedReceiptMode(false);
}

void frmRPDCashRec::reload()
{
    if (m_loading)
        return;
    restoreDesignState();
    // Loaded from the start of the load step, so that the step's own touches
    // of the form do not load it again; a failed load leaves it unloaded.
    m_loaded = true;
    m_loading = true;
    try {
        Form_Load();
    } catch (...) {
        m_loaded = false;
        m_loading = false;
        throw;
    }
    m_loading = false;
    if (!TimerButtons->isActive())
        TimerButtons->start();
}

void frmRPDCashRec::Unload()
{
    TimerButtons->stop();
    m_loaded = false;
    hide();
}

OmberSelector *frmRPDCashRec::mptContracts()
{
    ensureLoaded();
    return ui->mptContracts;
}

FarvoPicker *frmRPDCashRec::TlvAccPicker()
{
    ensureLoaded();
    return ui->TlvAccPicker;
}

QLineEdit *frmRPDCashRec::txtID()
{
    ensureLoaded();
    return ui->txtID;
}

double frmRPDCashRec::widthTwips() const
{
    return pixelsToTwips(width());
}

double frmRPDCashRec::heightTwips() const
{
    return pixelsToTwips(height());
}

void frmRPDCashRec::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        handle([this] { Form_Activate(); });
}

void frmRPDCashRec::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    // The rule measures growth from the size the load step remembered.
    if (m_loaded && !m_loading)
        handle([this] { Form_Resize(); });
}

void frmRPDCashRec::closeEvent(QCloseEvent *event)
{
    event->ignore();
    bool cancel = false;
    handle([&] { Form_QueryUnload(cancel); });
    if (!cancel)
        Unload();
}

bool frmRPDCashRec::focusNextPrevChild(bool next)
{
    QWidget *focus = QApplication::focusWidget();
    int at = -1;
    for (int i = 0; i < m_tabOrder.size() && at < 0; ++i)
        if (m_tabOrder[i] == focus || m_tabOrder[i]->isAncestorOf(focus))
            at = i;
    if (at < 0)
        return QMainWindow::focusNextPrevChild(next);
    const int n = int(m_tabOrder.size());
    for (int step = 1; step < n; ++step) {
        QWidget *candidate = m_tabOrder[(at + (next ? step : n - step)) % n];
        QWidget *target = candidate;
        while (target->focusProxy())
            target = target->focusProxy();
        // A control the design keeps out of sight (above gbMaster's edge) is
        // skipped: the focus must never go where the cashier cannot see it.
        if (candidate->isVisible() && !candidate->visibleRegion().isEmpty() && candidate->isEnabled()
            && target->isEnabled() && (target->focusPolicy() & Qt::TabFocus)) {
            target->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return true;
}

bool frmRPDCashRec::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn && watched == ui->txtDescription) {
        handle([this] { txtDescription_GotFocus(); });
        // A click places the caret after the focus arrives; select again once it has.
        if (static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason)
            QTimer::singleShot(0, this, [this] { handle([this] { txtDescription_GotFocus(); }); });
    }
    // Once per key, at the widget that has the focus, not again as the key
    // travels up to the form.
    if (event->type() == QEvent::KeyPress && watched == QApplication::focusWidget()) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const qint16 code = VbKeys::keyCode(key);
        const qint16 shift = VbKeys::shiftState(key);
        handle([&] { Form_KeyDown(code, shift); });
        // Enter goes on to the next field of the receipt, and presses a
        // button that has the focus; the receipt number keeps its own Enter.
        const bool enter = (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
                           && !(key->modifiers() & ~Qt::KeypadModifier);
        if (enter && (watched == ui->txtRec || watched == ui->txtDescription)) {
            focusNextPrevChild(true);
            return true;
        }
        if (enter && !key->isAutoRepeat()) {
            if (auto *button = qobject_cast<QAbstractButton *>(watched); button && button->isEnabled()) {
                button->click();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
