// The receipt form's four buttons that open the suite's sibling components.

#include "SiblingFixture.h"

#include "common/ComponentRegistry.h"
#include "core/VbError.h"
#include "data/DtEn.h"
#include "host/Pardex1.h"
#include "platform/ProcessLauncher.h"
#include "platform/Seams.h"

#include <QAction>
#include <QMenu>

namespace {

// Stands in for a sibling component: records, in order, every property
// written and every entry call.
class RecordingSibling : public QObject
{
    Q_OBJECT
    Q_PROPERTY(qint32 UserID READ zero WRITE setUserID)
    Q_PROPERTY(qint32 PositionID READ zero WRITE setPositionID)
    Q_PROPERTY(qint32 EmployeeID READ zero WRITE setEmployeeID)
    Q_PROPERTY(QString OLEConnectionString READ text WRITE setConnection)

public:
    static QStringList log;
    static int created;

    RecordingSibling() { ++created; }
    qint32 zero() const { return 0; }
    QString text() const { return QString(); }
    void setUserID(qint32 v) { log << QStringLiteral("UserID=%1").arg(v); }
    void setPositionID(qint32 v) { log << QStringLiteral("PositionID=%1").arg(v); }
    void setEmployeeID(qint32 v) { log << QStringLiteral("EmployeeID=%1").arg(v); }
    void setConnection(const QString &v) { log << QStringLiteral("OLEConnectionString=") + v; }
    Q_INVOKABLE void ClearShow() { log << QStringLiteral("ClearShow"); }
    Q_INVOKABLE void View(qint32 id) { log << QStringLiteral("View(%1)").arg(id); }
};
QStringList RecordingSibling::log;
int RecordingSibling::created = 0;

// A component whose entry call fails with what is not our error type.
class ThrowingSibling : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void ClearShow() { throw std::bad_alloc(); }
};

const QStringList Siblings = {QStringLiteral("Lidmar.Lidmar1"), QStringLiteral("Rulane.Rulane1"),
                              QStringLiteral("Senvo.Senvo1"), QStringLiteral("Mosker.Mosker1")};

class LinkedOperations : public SiblingFixture
{
protected:
    void SetUp() override
    {
        SiblingFixture::SetUp();
        RecordingSibling::log.clear();
        RecordingSibling::created = 0;
        seams::setLaunchHook([this](const QString &line, ProcessLauncher::WindowStyle) {
            launched << line;
            if (onLaunch)
                onLaunch();
            return qint64(4242);
        });
    }
    void TearDown() override
    {
        seams::setLaunchHook(nullptr);
        for (const QString &id : Siblings)
            ComponentRegistry::unregisterComponent(id);
        SiblingFixture::TearDown();
    }
    static void registerStandIns()
    {
        for (const QString &id : Siblings)
            ComponentRegistry::registerComponent(id, [] { return new RecordingSibling; });
    }
    QStringList contextLog() const
    {
        return {QStringLiteral("UserID=486"), QStringLiteral("PositionID=3"), QStringLiteral("EmployeeID=7"),
                QStringLiteral("OLEConnectionString=") + db->connectionString()};
    }
    // The form for user 486 (position 3, employee 7), opened empty or on a receipt.
    void open(qint32 receiptId = 0)
    {
        host(486).setPositionID(3);
        control->setEmployeeID(7);
        if (receiptId)
            control->View(receiptId);
        else
            control->ClearShow();
        ScriptedMessageBox::clear();
        takeStatements();
    }
    void press(const char *button) { child<QPushButton>(button)->click(); }

    QStringList launched;
    std::function<void()> onLaunch;
};

} // namespace

TEST_F(LinkedOperations, TheDocumentButtonOpensTheFirstDocumentOfTheReceiptOrTellsWhyNot)
{
    registerStandIns();
    open(10); // saved temporarily: no document
    press("cmdAccTrans");
    EXPECT_EQ(shownBoxes(), QStringList{errorBox(QStringLiteral("سند حسابداري عطف به اين دريافت نقدي وجود ندارد."))});

    // A second document for the same receipt, written after the first: its
    // rows come back after the first document's.
    db->exec(QStringLiteral("INSERT INTO tblAccountDocument (ID, Code) VALUES (90, 90)"));
    db->exec(QStringLiteral("INSERT INTO tblAccountDocumentDetail (DocumentID, RowNumber, AccountID, "
                                              "FormID, FormTypeID) VALUES (90, 1, 110101, 7, 206)"));
    const int firstDocument =
        db->scalar(QStringLiteral("SELECT DocumentID FROM tblAccountDocumentDetail WHERE FormID = 7 AND FormTypeID = 206 "
                                  "ORDER BY ID LIMIT 1"))
            .toInt();
    ASSERT_NE(firstDocument, 90);
    open(7);
    record.failNext(QStringLiteral("tblAccountDocumentDetail"), QStringLiteral("disk I/O error"));
    press("cmdAccTrans");
    ASSERT_EQ(shownBoxes().size(), 1);
    EXPECT_TRUE(shownBoxes()[0].startsWith(QStringLiteral("خطا|")) && shownBoxes()[0].contains(QStringLiteral("disk I/O error")));
    EXPECT_EQ(RecordingSibling::created, 0);

    // The form stays usable.
    press("cmdAccTrans");
    EXPECT_EQ(RecordingSibling::log, contextLog() << QStringLiteral("View(%1)").arg(firstDocument));

    // The menu's entries press the buttons and follow their state: without
    // a code the document's is off, the ledger's opens the turn shown.
    open(10);
    form().TimerButtons_Timer();
    auto *menu = form().findChild<QMenu *>(QStringLiteral("mnufon2"));
    ASSERT_NE(menu, nullptr);
    Q_EMIT menu->aboutToShow();
    auto *document = form().findChild<QAction *>(QStringLiteral("mnuLinkedAccTrans"));
    auto *ledger = form().findChild<QAction *>(QStringLiteral("mnuLinkedCashLedger"));
    ASSERT_TRUE(document && ledger);
    EXPECT_FALSE(document->isEnabled());
    EXPECT_TRUE(ledger->isEnabled());
    const qsizetype logged = RecordingSibling::log.size();
    document->trigger();
    EXPECT_EQ(RecordingSibling::log.size(), logged);
    ledger->trigger();
    EXPECT_EQ(RecordingSibling::log.last(), QStringLiteral("View(3)"));
}

// The ledger opens on the turn of a receipt on view, empty otherwise; the
// turn manager leaves the focus on New.
TEST_F(LinkedOperations, TheOtherButtonsOpenTheirComponentOnTheTurnShownOrEmpty)
{
    registerStandIns();
    const struct
    {
        qint32 receipt, mode; // mode 0: as the receipt leaves it
        const char *button, *entry;
    } presses[] = {
        {7, 0, "cmdCashLedger", "View(3)"}, // final, turn 3
        {6, 0, "cmdCashLedger", "View(2)"}, // temporary, turn 2
        {7, ModeNew, "cmdCashLedger", "ClearShow"}, {7, ModeEdit, "cmdCashLedger", "ClearShow"},
        {7, ModeEmpty, "cmdCashLedger", "ClearShow"}, {7, ModeEditFinal, "cmdCashLedger", "ClearShow"},
        {0, 0, "mnuCashTurn", "ClearShow"}, {0, 0, "mnuNewAccounts", "ClearShow"},
    };
    for (const auto &p : presses) {
        open(p.receipt);
        if (p.mode)
            Module::context().FormMode = p.mode;
        child<QWidget>("cmdCashSelect")->setFocus();
        RecordingSibling::log.clear();
        press(p.button);
        EXPECT_EQ(RecordingSibling::log, contextLog() << QLatin1String(p.entry)) << p.button << " " << p.mode;
        if (QLatin1String(p.button) == QLatin1String("mnuCashTurn")) {
            EXPECT_EQ(form().focusWidget(), child<QWidget>("cmdNew"));
        }
    }
    EXPECT_TRUE(launched.isEmpty());
}

// A missing component is registered from the System folder, then created again.
TEST_F(LinkedOperations, AnUnregisteredComponentIsRegisteredFromTheSystemFolderAndRefusedWhenItStaysMissing)
{
    open(7);
    const QString base = Module::context().BasePath;
    ASSERT_FALSE(base.isEmpty());

    for (const char *button : {"cmdAccTrans", "cmdCashLedger", "mnuCashTurn", "mnuNewAccounts"})
        press(button);

    QStringList expected;
    for (const char *file : {"Lidmar", "Rulane", "Senvo", "Mosker"})
        expected << QStringLiteral("Regsvr32  \"%1System\\%2.ocx\" /s").arg(base, QLatin1String(file));
    EXPECT_EQ(launched, expected);
    // Two different refusals; the turn manager and the chart end silently.
    EXPECT_EQ(shownBoxes(), (QStringList{errorBox(QStringLiteral("شما مجاز به انجام اين عمليات نيستيد.")),
                                         errorBox(QStringLiteral("شما به انجام اين عمليات مجاز نيستيد."))}));
    EXPECT_EQ(modalShows(), 0);
    EXPECT_NE(form().focusWidget(), child<QWidget>("cmdNew"));
    EXPECT_EQ(Module::dtEn().rssqlOmberBasePath.State(), 0);

    // A registration that completes at once lets the second creation open it.
    onLaunch = [] { registerStandIns(); };
    press("cmdCashLedger");
    EXPECT_EQ(launched.size(), 5);
    EXPECT_EQ(RecordingSibling::log, contextLog() << QStringLiteral("View(3)"));
}

TEST_F(LinkedOperations, AComponentFailingOtherwiseThanMissingRegistersNothingOpensNothingAndSaysNothing)
{
    // Our error at the creation, what is not our error type at the creation
    // and in the entry call.
    for (const QString &id : {Siblings[0], Siblings[1]})
        ComponentRegistry::registerComponent(id, []() -> QObject * {
            throw VbError(70, QStringLiteral("Permission denied"));
        });
    ComponentRegistry::registerComponent(Siblings[2], []() -> QObject * { throw std::runtime_error("plugin failed"); });
    ComponentRegistry::registerComponent(Siblings[3], [] { return new ThrowingSibling; });
    open(7);

    for (const char *button : {"cmdAccTrans", "cmdCashLedger", "mnuCashTurn", "mnuNewAccounts"})
        press(button);

    EXPECT_TRUE(launched.isEmpty());
    EXPECT_TRUE(ScriptedMessageBox::shown().isEmpty());
    EXPECT_EQ(modalShows(), 0);
    // The steps after the creation fail quietly; the restore steps still run.
    EXPECT_EQ(form().focusWidget(), child<QWidget>("cmdNew"));
    form().cmdNew_Click();
    EXPECT_EQ(mode(), ModeNew);
}

#include "test_linked_operations.moc"
