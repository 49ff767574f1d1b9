#include "receipt/frmRPDCashRec.h"

#include "ui_frmRPDCashRec.h"

#include "common/SharedServices.h"
#include "common/VbRuntime.h"
#include "controls/KeyEvents.h"
#include "controls/OmberBody.h"
#include "controls/VbKeys.h"
#include "platform/Look.h"

#include <QApplication>
#include <QCloseEvent>
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
    setAttribute(Qt::WA_DeleteOnClose, false);
    comSkinner1->setObjectName(QStringLiteral("comSkinner1"));
    TimerButtons->setObjectName(QStringLiteral("TimerButtons"));
    TimerButtons->setInterval(100);
    ui->r5667->setSeparator(true);
    ui->m1->setSeparator(true);

    // Locked by design and never unlocked.
    ui->dtpDate->setLocked(true);
    ui->dtpOpenDate->setLocked(true);
    ui->AccCredit->hide();
    m_masterLeft = pixelsToTwips(ui->gbMaster->x());

    // Key preview: the form sees the keys of its own controls first; keys
    // typed inside an in-house control are that control's.
    for (QWidget *w : findChildren<QWidget *>())
        if (!VbKeys::insideUserControl(w, this))
            w->installEventFilter(this);
    connectHandlers();
    TimerButtons->start();
}

frmRPDCashRec::~frmRPDCashRec()
{
    if (g_instance == this)
        g_instance = nullptr;
}

void frmRPDCashRec::handle(const std::function<void()> &handler)
{
    runHandler(handler);
}

void frmRPDCashRec::connectHandlers()
{
    connect(TimerButtons, &QTimer::timeout, this, &frmRPDCashRec::TimerButtons_Timer);
    connect(ui->cmdCashSelect, &QPushButton::clicked, this, [this] { handle([this] { cmdCashSelect_Click(); }); });
    connect(ui->cmdExit, &QPushButton::clicked, this, [this] { handle([this] { cmdExit_Click(); }); });
    connect(ui->mnuExit, &QAction::triggered, this, [this] { handle([this] { mnuExit_Click(); }); });
    connect(ui->TlvAccPicker, &FarvoPicker::AccountSelected, this,
            [this] { handle([this] { TlvAccPicker_AccountSelected(); }); });
    connect(ui->sltBranch, &LookupBox::KeyDown, this,
            [this](qint16 key, qint16 shift) { handle([&] { sltBranch_KeyDown(key, shift); }); });
    connect(KeyEvents::of(ui->txtID), &KeyEvents::KeyPress, this,
            [this](qint16 &key) { handle([&] { txtID_KeyPress(key); }); });

    // Linked components.
    connect(ui->cmdAccTrans, &QPushButton::clicked, this, [this] { handle([this] { cmdAccTrans_Click(); }); });
    connect(ui->cmdCashLedger, &QPushButton::clicked, this, [this] { handle([this] { cmdCashLedger_Click(); }); });
    connect(ui->mnuCashTurn, &QPushButton::clicked, this, [this] { handle([this] { mnuCashTurn_Click(); }); });
    connect(ui->mnuNewAccounts, &QPushButton::clicked, this, [this] { handle([this] { mnuNewAccounts_Click(); }); });
    addLinkedMenuEntries();
}

void frmRPDCashRec::ensureLoaded()
{
    if (!m_loaded)
        reload();
}

void frmRPDCashRec::reload()
{
    if (m_loading)
        return;
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

bool frmRPDCashRec::eventFilter(QObject *watched, QEvent *event)
{
    // Once per key, at the widget that has the focus, not again as the key
    // travels up to the form.
    if (event->type() == QEvent::KeyPress && watched == QApplication::focusWidget()) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const qint16 code = VbKeys::keyCode(key);
        const qint16 shift = VbKeys::shiftState(key);
        handle([&] { Form_KeyDown(code, shift); });
    }
    return QMainWindow::eventFilter(watched, event);
}
