// The suite's sibling components opened from the form: the receipt's
// accounting document, the cash ledger, the cash-turn manager and the chart
// of accounts. From the creation of a component on, every step ignores its
// errors: a sibling that fails must never take the receipt form with it.

#include "receipt/frmRPDCashRec.h"

#include "ui_frmRPDCashRec.h"

#include "common/ComponentRegistry.h"
#include "common/LateBound.h"
#include "common/Module.h"
#include "common/ProgIds.h"
#include "common/SharedServices.h"
#include "common/VbRuntime.h"
#include "controls/OmberBody.h"
#include "data/DtEn.h"
#include "platform/ProcessLauncher.h"

#include <QMenu>

std::unique_ptr<QObject> frmRPDCashRec::createLinkedComponent(const QString &progId, const QString &file,
                                                              bool &refused)
{
    refused = false;
    std::unique_ptr<QObject> component;
    int error = 0;
    const auto create = [&] {
        error = 0;
        try {
            component = ComponentRegistry::create(progId);
        } catch (const VbError &e) {
            error = e.number();
        } catch (...) {
            // A plugin's own failure: no registration helps, nothing opens.
            error = VbError::InternalError;
        }
    };
    create();
    if (error != VbError::CannotCreateObject)
        return component;

    // Not registered on this machine: register its file from the suite's
    // System folder, without waiting for the registration, and try again.
    const QString commandLine = QStringLiteral("Regsvr32 ") + QStringLiteral(" ") + QLatin1Char('"')
                                + Module::context().BasePath + QStringLiteral("System\\") + file + QLatin1Char('"')
                                + QStringLiteral(" /s");
    ignoreErrors([&] { ProcessLauncher::Shell(commandLine, ProcessLauncher::NormalFocus); });
    create();
    refused = error == VbError::CannotCreateObject;
    return component;
}

void frmRPDCashRec::giveUserContext(QObject *component)
{
    const UserContext &context = Module::context();
    ignoreErrors([&] { LateBound::set(component, "UserID", context.UserID); });
    ignoreErrors([&] { LateBound::set(component, "PositionID", context.PositionID); });
    ignoreErrors([&] { LateBound::set(component, "EmployeeID", context.EmployeeID); });
    ignoreErrors([&] { LateBound::set(component, "OLEConnectionString", context.ConnectionString); });
}

void frmRPDCashRec::cmdAccTrans_Click()
{
    // The query itself traps nothing: its failure reaches the handler's boundary.
    const int rows = Module::dtEn().rssqlOmberBasePath.Query(
        QStringLiteral("Select * from tblAccountDocumentDetail Where FormID=") + QString::number(CurrentReceiptID)
            + QStringLiteral(" and FormTypeID=206"),
        [this](Recordset &details) {
            if (details.RecordCount() == 0)
                return;
            bool refused = false;
            std::unique_ptr<QObject> document =
                createLinkedComponent(progids::AccountingDocument, QStringLiteral("Lidmar.ocx"), refused);
            if (refused) {
                ShowMessage(QStringLiteral("خطا"), QStringLiteral("شما مجاز به انجام اين عمليات نيستيد."));
                return;
            }
            giveUserContext(document.get());
            ignoreErrors([&] {
                LateBound::call(document.get(), "View", {details.Fields(QStringLiteral("DocumentID"))});
            });
        });
    if (rows == 0)
        ShowMessage(QStringLiteral("خطا"), QStringLiteral("سند حسابداري عطف به اين دريافت نقدي وجود ندارد."));
}

void frmRPDCashRec::cmdCashLedger_Click()
{
    bool refused = false;
    std::unique_ptr<QObject> ledger =
        createLinkedComponent(progids::CashLedger, QStringLiteral("Rulane.ocx"), refused);
    if (refused) {
        ShowMessage(QStringLiteral("خطا"), QStringLiteral("شما به انجام اين عمليات مجاز نيستيد."));
        return;
    }
    giveUserContext(ledger.get());
    const qint32 mode = Module::context().FormMode;
    if (mode == ModeViewFinal || mode == ModeViewTemporary)
        ignoreErrors([&] { LateBound::call(ledger.get(), "View", {CurrentCashTurnID}); });
    else
        ignoreErrors([&] { LateBound::call(ledger.get(), "ClearShow"); });
    ignoreErrors([&] { comSkinner1->ApplySkin(this); });
}

void frmRPDCashRec::mnuCashTurn_Click()
{
    bool refused = false;
    std::unique_ptr<QObject> turns =
        createLinkedComponent(progids::CashTurns, QStringLiteral("Senvo.ocx"), refused);
    if (refused)
        return;
    giveUserContext(turns.get());
    ignoreErrors([&] { LateBound::call(turns.get(), "ClearShow"); });
    ignoreErrors([&] { comSkinner1->ApplySkin(this); });
    ignoreErrors([&] { ui->cmdNew->setFocus(); });
}

void frmRPDCashRec::mnuNewAccounts_Click()
{
    bool refused = false;
    std::unique_ptr<QObject> accounts =
        createLinkedComponent(progids::ChartOfAccounts, QStringLiteral("Mosker.ocx"), refused);
    if (refused)
        return;
    giveUserContext(accounts.get());
    ignoreErrors([&] { LateBound::call(accounts.get(), "ClearShow"); });
    ignoreErrors([&] { comSkinner1->ApplySkin(this); });
}

void frmRPDCashRec::addLinkedMenuEntries()
{
    // Each entry presses its button, so the button's own state decides
    // whether it runs; the entries follow the buttons whenever the menu opens.
    const std::pair<const char *, QPushButton *> entries[] = {
        {"mnuLinkedAccTrans", ui->cmdAccTrans},
        {"mnuLinkedCashLedger", ui->cmdCashLedger},
        {"mnuLinkedCashTurn", ui->mnuCashTurn},
        {"mnuLinkedNewAccounts", ui->mnuNewAccounts},
    };
    ui->mnufon2->addSeparator();
    for (const auto &[name, button] : entries) {
        QAction *action = ui->mnufon2->addAction(button->text());
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, button, &QPushButton::click);
        connect(ui->mnufon2, &QMenu::aboutToShow, action, [action, button] {
            action->setVisible(!button->isHidden());
            action->setEnabled(button->isEnabled());
        });
    }
}
