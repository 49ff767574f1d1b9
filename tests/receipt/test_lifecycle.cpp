#include "controls/DastelHistory.h"
#include "controls/FarvoPicker.h"
#include "controls/OmberSelector.h"
#include "core/VbError.h"
#include "host/Pardex1.h"
#include "platform/Os.h"
#include "platform/Seams.h"
#include "support/FormFixture.h"

#include <QCoreApplication>
#include <QLabel>

using Lifecycle = FormFixture;

TEST_F(Lifecycle, Parameter311ChoosesTheDetailLevelPicker)
{
    for (const bool levels : {false, true}) {
        setParameter(311, levels ? QStringLiteral("1") : QStringLiteral("0"));
        clearShow(486);
        EXPECT_EQ(Module::context().UseCounterpartyPicker, levels);
        for (const char *name : {"Label5", "TlvAccPicker", "Label11", "txtAddress"})
            EXPECT_EQ(child<QWidget>(name)->isHidden(), levels) << name;
        EXPECT_EQ(child<QWidget>("AccCredit")->isHidden(), !levels);
    }
    EXPECT_EQ(child<QObject>("AccCredit")->property("AccountID").toInt(), -1);
}

// What survives an unload is the form's members (EveryLoadStartsFromTheControlsAsDesigned);
// another cashier after an unload starts from his own open turn (of his
// two, the first row), and New works in it.
TEST_F(Lifecycle, AnotherCashierAfterAnUnloadStartsFromHisOwnOpenTurn)
{
    clearShow(486);
    form().close();
    clearShow(756);
    EXPECT_EQ(form().CurrentCashTurnID, 4);
    EXPECT_EQ(child<QLabel>("lblCashTurn")->text(), QStringLiteral("7"));
    EXPECT_EQ(child<QLabel>("lblOpenerUser")->text(), QStringLiteral("مریم احمدی"));
    form().cmdNew_Click();
    EXPECT_EQ(mode(), ModeNew) << lastBox().message.toStdString();
}

TEST_F(Lifecycle, TheKeyboardLayoutFollowsThePlatformVersion)
{
    // Without a version (a fresh platform) nothing is activated; another
    // version leaves the identifier as it was.
    const std::pair<int, const char *> cases[] = {{0, ""}, {5, "00000429"}, {4, "00000401"}, {10, "00000401"}};
    for (const auto &[version, layout] : cases) {
        seams::setOsMajorVersion(version);
        clearShow(486);
        EXPECT_EQ(Module::context().KeyboardLayoutID, QLatin1String(layout)) << version;
    }
    EXPECT_EQ(Os::requestedLayouts(), (QStringList{QString(), QStringLiteral("00000429"), QStringLiteral("00000401"),
                                                   QStringLiteral("00000401")}));
}

TEST_F(Lifecycle, CtrlNAndCtrlSRunTheirOperationsOnlyWhenTheButtonIsEnabledAndEndFailuresSilently)
{
    clearShow(486);
    frmRPDCashRec &f = form();
    // Attempts of New (its right's check) and of Save (its period's check).
    const auto attempts = [this] {
        int news = 0;
        for (const auto &e : record.entries())
            news += e.kind == StatementRecord::Entry::Call && e.args.value(1).toInt() == 20601;
        return std::pair(news, int(record.statements().filter(QStringLiteral("from tblAccountPeriod")).size()));
    };
    f.RouteKeys(78, 3); // Ctrl+Shift+N
    f.RouteKeys(78, 0);
    f.RouteKeys(83, 2); // cmdSave is disabled in mode 5
    EXPECT_EQ(attempts(), std::pair(0, 0));
    f.RouteKeys(78, 2); // mode 5: cmdNew is enabled
    EXPECT_EQ(attempts(), std::pair(1, 0));
    EXPECT_EQ(Module::context().FormMode, ModeNew);

    // Mode 1: New is off; from the branch selector as from the form. The
    // save is refused (no amount) and the mode kept: Save is still on.
    Q_EMIT child<OmberSelector>("sltBranch")->KeyDown(78, 2);
    Q_EMIT child<OmberSelector>("sltBranch")->KeyDown(83, 2);
    f.Form_KeyDown(83, 2);
    EXPECT_EQ(attempts(), std::pair(1, 2));
    EXPECT_EQ(Module::context().FormMode, ModeNew);

    // A failure of the operation a key runs is ignored; a click reports it.
    ScriptedMessageBox::answer(1);
    form().cmdCancel_Click();
    ScriptedMessageBox::clear();
    record.failNext(QStringLiteral("IsOpen =1"));
    form().RouteKeys(78, 2);
    EXPECT_TRUE(ScriptedMessageBox::shown().isEmpty());
    EXPECT_EQ(Module::context().FormMode, ModeEmpty);

    // The form stays usable: the next New works.
    child<QPushButton>("cmdNew")->click();
    EXPECT_EQ(Module::context().FormMode, ModeNew);

    // The same for a save: Ctrl+S ends it silently, and the next one saves.
    child<QLineEdit>("txtRec")->setText(QStringLiteral("1/000"));
    child<FarvoPicker>("TlvAccPicker")->setAccountID(110301);
    ScriptedMessageBox::clear();
    record.failNext(QStringLiteral("spRecPayInsertCashTurnDetail"));
    form().RouteKeys(83, 2);
    EXPECT_TRUE(ScriptedMessageBox::shown().isEmpty());
    EXPECT_EQ(Module::context().FormMode, ModeNew);
    form().RouteKeys(83, 2);
    EXPECT_EQ(Module::context().FormMode, ModeViewFinal);
}

TEST_F(Lifecycle, ClosingAsksTheHistoryPanelInModesFourAndTwo)
{
    clearShow(486);
    frmRPDCashRec &f = form();
    auto *history = child<DastelHistory>("DastelHistory1");
    history->setSavedReceiptMode(true);
    history->LoadHistory(206, 7);
    history->noteBox()->setText(QStringLiteral("نیمه‌کاره"));

    for (qint32 mode : {ModeEdit, ModeViewFinal}) {
        Module::context().FormMode = mode;
        f.close();
        EXPECT_TRUE(f.isVisible()) << mode;
        EXPECT_TRUE(f.isLoaded()) << mode;
    }
    // Other modes do not ask.
    Module::context().FormMode = ModeViewTemporary;
    f.close();
    EXPECT_FALSE(f.isVisible());
    EXPECT_FALSE(f.isLoaded());

    // cmdExit goes through the same check, and keeps the members.
    clearShow(486);
    history->noteBox()->clear();
    Module::context().FormMode = ModeViewFinal;
    f.cmdExit_Click();
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.CurrentCashID, 1);
}

TEST_F(Lifecycle, AFailingLoadStepReachesTheHostAndLeavesTheFormUnloaded)
{
    db->exec(QStringLiteral("UPDATE tblOmberBasePath SET BasePath = NULL"));
    try {
        clearShow(486);
        ADD_FAILURE() << "a null base path must fail the load";
    } catch (const VbError &e) {
        EXPECT_EQ(e.number(), VbError::InvalidUseOfNull);
    }
    EXPECT_FALSE(form().isLoaded());
    EXPECT_FALSE(form().isVisible());
}

TEST_F(Lifecycle, AFormLeftLargerThanSixteenBitsOfTwipsStillLoads)
{
    clearShow(486);
    form().resize(2400, 700); // 36000 twips wide, as when maximised on a large screen
    form().Form_Load();
    EXPECT_TRUE(form().isVisible());
}

TEST_F(Lifecycle, EveryLoadStartsFromTheControlsAsDesigned)
{
    const QPoint masterDesigned = child<QWidget>("gbMaster")->pos();
    const QSize sizeDesigned = form().size();

    // A final receipt is shown, the window made larger, then closed.
    host(486).View(1);
    ASSERT_EQ(Module::context().FormMode, ModeViewFinal);
    form().TimerButtons_Timer();
    ASSERT_TRUE(child<QWidget>("cmdReturnToTempState")->isEnabled());
    form().resize(sizeDesigned + QSize(200, 100));
    QCoreApplication::processEvents();
    ASSERT_NE(child<QWidget>("gbMaster")->pos(), masterDesigned);
    form().close();

    // Nothing of it comes back with the next opening.
    host(486).ClearShow();
    EXPECT_EQ(Module::context().FormMode, ModeEmpty);
    for (const char *name : {"txtID", "txtCode", "txtRec", "txtDescription", "txtAddress"})
        EXPECT_TRUE(child<QLineEdit>(name)->text().isEmpty()) << name;
    for (const char *name : {"mptAchiever", "sltBranch", "mptContracts"})
        EXPECT_TRUE(child<OmberSelector>(name)->IsEmpty()) << name;
    EXPECT_EQ(child<DastelHistory>("DastelHistory1")->entryCount(), 0);
    form().TimerButtons_Timer();
    EXPECT_FALSE(child<QWidget>("cmdReturnToTempState")->isEnabled());
    EXPECT_FALSE(child<QWidget>("cmdAccTrans")->isEnabled());
    EXPECT_EQ(form().size(), sizeDesigned);
    EXPECT_EQ(child<QWidget>("gbMaster")->pos(), masterDesigned);
    // The form's members do survive: the cash box and turn of that receipt.
    EXPECT_EQ(form().CurrentCashTurnID, 1);
    EXPECT_EQ(child<QLabel>("lblCashTurn")->text(), QStringLiteral("10"));

    // View(0) after a close shows the controls as designed, not the last mode's.
    form().close();
    host(486).View(0);
    EXPECT_EQ(Module::context().FormMode, ModeViewFinal);
    for (const char *name : {"cmdNew", "cmdEdit", "cmdSave", "cmdDelete", "cmdCancel", "cmdRegSave"})
        EXPECT_TRUE(child<QWidget>(name)->isEnabled()) << name;
    EXPECT_FALSE(child<QLineEdit>("txtRec")->isReadOnly());
    EXPECT_FALSE(child<QLineEdit>("txtID")->isReadOnly());
    EXPECT_TRUE(child<QLineEdit>("txtID")->text().isEmpty());
    EXPECT_EQ(child<QLabel>("lblMessage")->text(), QStringLiteral("دريافت جديد"));

    // The same when the entry finds the form still open.
    host(486).View(1);
    ASSERT_FALSE(child<QLineEdit>("txtCode")->text().isEmpty());
    host(486).View(0);
    EXPECT_TRUE(child<QLineEdit>("txtCode")->text().isEmpty());
    EXPECT_TRUE(child<QLineEdit>("txtRec")->text().isEmpty());
    EXPECT_TRUE(child<QWidget>("cmdSave")->isEnabled());
}
