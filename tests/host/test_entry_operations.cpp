#include "common/ComponentRegistry.h"
#include "common/VbRuntime.h"
#include "common/ProgIds.h"
#include "host/Pardex1.h"
#include "host/PropertyBag.h"
#include "platform/ZintelMsgBox.h"
#include "report/PirelRpt.h"
#include "support/Errors.h"
#include "support/FormFixture.h"

#include <QLabel>
#include <QSignalSpy>

using EntryOperations = FormFixture;

// A host hears of every change and keeps only what differs from the
// defaults; a key it does not hold reads as the default.
TEST(HostControl, ChangesAreAnnouncedAndOnlyWhatDiffersFromTheDefaultsIsKept)
{
    Pardex1 control;
    PropertyBag bag;
    control.WriteProperties(bag);
    EXPECT_TRUE(bag.keys().isEmpty());

    QSignalSpy changed(&control, &Pardex1::PropertyChanged);
    control.setProperty("UserID", 486);
    control.setPositionID(-3);
    control.setOLEConnectionString(QStringLiteral("Provider=SQLite;Data Source=/db"));
    control.setEmployeeID(12);
    control.setEmployeeID(0); // a default again: its key goes
    QStringList names;
    for (const QList<QVariant> &signal : changed)
        names << signal[0].toString();
    EXPECT_EQ(names, (QStringList{QStringLiteral("UserID"), QStringLiteral("PositionID"),
                                  QStringLiteral("OLEConnectionString"), QStringLiteral("EmployeeID"),
                                  QStringLiteral("EmployeeID")}));
    control.WriteProperties(bag);
    EXPECT_EQ(bag.keys(), names.mid(0, 3));

    Pardex1 restored;
    restored.setEmployeeID(9);
    restored.ReadProperties(bag);
    EXPECT_EQ(restored.PositionID(), -3);
    EXPECT_EQ(restored.EmployeeID(), 0);
    EXPECT_EQ(restored.OLEConnectionString(), QStringLiteral("Provider=SQLite;Data Source=/db"));
    restored.InitProperties();
    EXPECT_EQ(restored.UserID(), 0);
    EXPECT_EQ(restored.OLEConnectionString(), QStringLiteral("0"));
}

TEST(HostControl, SixteenBitPropertiesOverflowAboveTheirRange)
{
    Pardex1 control;
    control.setUserID(32767);
    control.setUserID(-32768);
    EXPECT_EQ(errorNumber([&] { control.setUserID(32768); }), VbError::Overflow);
    EXPECT_EQ(control.UserID(), -32768);
}

// Both entries show the form modeless with the host's values in the
// context (the siblings get them: LinkedOperations).
TEST_F(EntryOperations, ClearShowAndViewFillTheContextAndShowTheFormModeless)
{
    Pardex1 &c = host(486);
    c.setEmployeeID(-7);
    c.ClearShow();
    EXPECT_EQ(Module::context().FormMode, ModeEmpty);
    EXPECT_EQ(Module::context().EmployeeID, -7); // widened with its sign
    EXPECT_TRUE(form().isVisible());
    EXPECT_EQ(child<QLabel>("lblCash")->text(), QStringLiteral("صندوق مرکزی"));

    c.View(6);
    EXPECT_EQ(form().CurrentReceiptID, 6);
    EXPECT_EQ(Module::context().FormMode, ModeViewTemporary); // receipt 6 has no code
    // An ID that does not exist still shows the form; the load says so.
    c.View(424242);
    EXPECT_TRUE(form().isVisible());
    EXPECT_EQ(Module::context().FormMode, ModeEmpty);
    EXPECT_EQ(ScriptedMessageBox::messages(), QStringList{QStringLiteral("دريافت نقدي انتخاب شده يافت نشد.")});
    EXPECT_EQ(modalShows(), 0);
}

TEST_F(EntryOperations, AUserWithoutRight206GetsTheMessageAndNoForm)
{
    clearShow(623);
    EXPECT_EQ(shownBoxes(), QStringList{QStringLiteral("خطا|شما به انجام اين عمليات مجاز نيستيد.")});
    EXPECT_FALSE(form().isVisible());
    EXPECT_EQ(modalShows(), 0);
    // The host switches to that user while another's form is on screen:
    // refused means no form to use.
    clearShow(486);
    ASSERT_TRUE(form().isVisible());
    clearShow(623);
    EXPECT_FALSE(form().isVisible());
}

TEST_F(EntryOperations, AnUnusableConnectionStringReachesTheHostAndShowsNoForm)
{
    Pardex1 &c = host(486);
    c.setOLEConnectionString(QStringLiteral("0"));
    const VbError e = raisedBy([&] { c.ClearShow(); });
    EXPECT_EQ(e.number(), VbError::ProviderNotFound);
    EXPECT_TRUE(e.description().contains(QStringLiteral("\"0\"")));
    EXPECT_FALSE(form().isVisible());

    // Unusable with a password, which the refusal quotes the string of:
    // what the cashier is shown and what is logged never hold it (a
    // driver's own refusal: the Passwords tests).
    static QStringList logged;
    c.setOLEConnectionString(QStringLiteral("Provider=Oracle;User ID=u;Password=Hunter-2024"));
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &, const QString &message) { logged << message; });
    runHandler([&] { c.ClearShow(); });
    qInstallMessageHandler(previous);
    ASSERT_FALSE(ScriptedMessageBox::shown().isEmpty() || logged.isEmpty());
    for (const QString &said : ScriptedMessageBox::messages() + logged)
        EXPECT_FALSE(said.contains(QStringLiteral("Hunter-2024"))) << said.toStdString();
    EXPECT_EQ(ScriptedMessageBox::shown().last().title, QStringLiteral("خطا"));

    // The program goes on: the next entry with a good string works.
    c.setOLEConnectionString(db->connectionString());
    c.ClearShow();
    EXPECT_TRUE(form().isVisible());
}

TEST_F(EntryOperations, AHostThatRefusesModelessWindowsGetsTheFormModal)
{
    Pardex1 &c = host(486);
    c.setHostAllowsModeless(false);
    onModal([&](QWidget *shown) {
        EXPECT_EQ(shown, &form());
        EXPECT_TRUE(shown->isVisible());
    });
    c.ClearShow();
    EXPECT_EQ(modalShows(), 1);
}

TEST_F(EntryOperations, TheControlRegistersWhatItCreatesAndKeepsWhatTheHostRegistered)
{
    // A host that registered no printer still prints, and may create the
    // control by name; the message box the host (here the test) registered
    // stays its own.
    ComponentRegistry::unregisterComponent(progids::ReportPrinter);
    Pardex1 embedded;
    EXPECT_NE(qobject_cast<PirelRpt *>(ComponentRegistry::create(progids::ReportPrinter).get()), nullptr);
    EXPECT_NE(qobject_cast<Pardex1 *>(ComponentRegistry::create(progids::Control).get()), nullptr);
    const std::unique_ptr<QObject> box = ComponentRegistry::create(progids::MessageBox);
    EXPECT_EQ(qobject_cast<ZintelMsgBox *>(box.get()), nullptr);
}
