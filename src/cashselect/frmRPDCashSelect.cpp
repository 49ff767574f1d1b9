#include "cashselect/frmRPDCashSelect.h"

#include "ui_frmRPDCashSelect.h"

#include "common/Module.h"
#include "common/SharedServices.h"
#include "common/VbRuntime.h"
#include "core/Vb.h"
#include "data/DtEn.h"
#include "platform/FormShower.h"
#include "platform/Look.h"

#include <QCloseEvent>
#include <QKeyEvent>

namespace {
frmRPDCashSelect *g_instance = nullptr;
} // namespace

frmRPDCashSelect &frmRPDCashSelect::instance()
{
    if (!g_instance)
        g_instance = new frmRPDCashSelect;
    return *g_instance;
}

void frmRPDCashSelect::destroyInstance()
{
    delete g_instance;
    g_instance = nullptr;
}

frmRPDCashSelect::frmRPDCashSelect() : ui(std::make_unique<Ui::frmRPDCashSelect>())
{
    ui->setupUi(this);
    Look::applyFormLook(this);
    Look::fitCaptions(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    connect(ui->cmbCash, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int index) {
        if (index >= 0)
            runHandler([this] { cmbCash_Click(); });
    });
    connect(ui->cmdOkey, &QPushButton::clicked, this, [this] { runHandler([this] { cmdOkey_Click(); }); });
    connect(ui->cmdExit, &QPushButton::clicked, this, [this] { runHandler([this] { cmdExit_Click(); }); });
}

frmRPDCashSelect::~frmRPDCashSelect()
{
    if (g_instance == this)
        g_instance = nullptr;
}

bool frmRPDCashSelect::SelectCash(qint32 &outCashID, qint32 &outCashTurnID, qint32 &outCashTurn)
{
    return instance().select(outCashID, outCashTurnID, outCashTurn);
}

bool frmRPDCashSelect::select(qint32 &outCashID, qint32 &outCashTurnID, qint32 &outCashTurn)
{
    m_selectedCashId = -1;
    m_selectedCashTurnId = -1;
    m_selectedTurn = -1;
    m_confirmed = false;
    try {
        Form_Load();
    } catch (...) {
        unload();
        throw;
    }
    FormShower::showModal(this);
    if (m_confirmed) {
        outCashID = m_selectedCashId;
        outCashTurnID = m_selectedCashTurnId;
        outCashTurn = m_selectedTurn;
    }
    const bool confirmed = m_confirmed;
    unload();
    return confirmed;
}

void frmRPDCashSelect::unload()
{
    hide();
    const QSignalBlocker block(ui->cmbCash);
    ui->cmbCash->clear();
    ui->txtUser->clear();
    ui->txtTurnID->clear();
    ui->lblMessage->clear();
    ui->cmdOkey->setEnabled(true);
}

void frmRPDCashSelect::Form_Load()
{
    const qint32 user = Module::context().UserID;
    ui->txtUser->setText(GetUserFullName(user));
    const QSignalBlocker block(ui->cmbCash);
    Module::dtEn().rssqlUser.Query(
        QStringLiteral("select * from vwRecPayCashUsers Where CashPermitUserID=") + QString::number(user),
        [this](Recordset &rs) {
            for (; !rs.Eof(); rs.MoveNext()) {
                const QVariant id = rs.Fields(QStringLiteral("ID"));
                ui->cmbCash->addItem(
                    Vb::textOf(id) + QStringLiteral("...") + Vb::textOf(rs.Fields(QStringLiteral("Name"))),
                    Vb::clng(id));
            }
        });
    ui->cmbCash->setCurrentIndex(-1);
    ui->lblMessage->setText(QString());
}

void frmRPDCashSelect::cmbCash_Click()
{
    m_selectedCashId = -1;
    m_selectedCashTurnId = -1;
    m_selectedTurn = -1;
    const qint32 cashId = Vb::clng(ui->cmbCash->currentData());
    m_selectedCashId = cashId;
    const QString user = QString::number(Module::context().UserID);
    const QString cash = QString::number(cashId);

    Recordset &rs = Module::dtEn().rssqlRPDCashTurn;
    const auto takeFirst = [this](Recordset &found) {
        if (found.RecordCount() == 0)
            return;
        m_selectedCashTurnId = Vb::clng(found.Fields(QStringLiteral("ID")));
        m_selectedTurn = Vb::clng(found.Fields(QStringLiteral("Turn")));
    };
    // An open turn the user opened himself, else one he was made a member of.
    int count = rs.Query(QStringLiteral("select * from tblRecPayCashTurn Where IsOpen = 1 And CashID = ") + cash
                             + QStringLiteral(" And UserID =") + user,
                         takeFirst);
    if (count == 0)
        count = rs.Query(QStringLiteral("Select * from tblRecPayCashTurn Where IsOpen = 1  And CashID = ") + cash
                             + QStringLiteral(" and (UserID =") + user
                             + QStringLiteral(" or ID in (Select x.CashTurnID from tblRecPayCashTurnUser x Where x.UserID=")
                             + user + QStringLiteral("))"),
                         takeFirst);
    if (count == 0) {
        ui->cmdOkey->setEnabled(false);
        ui->lblMessage->setText(QStringLiteral("نوبت صندوق بازي وجود ندارد."));
    } else {
        ui->cmdOkey->setEnabled(true);
    }
    ui->txtTurnID->setText(QString::number(m_selectedTurn));
}

void frmRPDCashSelect::cmdOkey_Click()
{
    if (ui->cmbCash->currentIndex() == -1) {
        ShowMessage(QStringLiteral("اشكال"), QStringLiteral("صندوق انتخاب نشده است!"));
        ignoreErrors([this] { ui->cmbCash->setFocus(); });
        return;
    }
    m_confirmed = true;
    hide();
}

void frmRPDCashSelect::cmdExit_Click()
{
    hide();
}

void frmRPDCashSelect::closeEvent(QCloseEvent *event)
{
    // The close box is the exit button.
    event->ignore();
    runHandler([this] { cmdExit_Click(); });
}

void frmRPDCashSelect::keyPressEvent(QKeyEvent *event)
{
    // Escape leaves like the exit button; Enter is not a confirmation by itself.
    if (event->key() == Qt::Key_Escape) {
        runHandler([this] { cmdExit_Click(); });
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return;
    QDialog::keyPressEvent(event);
}
