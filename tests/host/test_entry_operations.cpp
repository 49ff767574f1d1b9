#include "common/Module.h"
#include "core/VbError.h"
#include "data/Diagnostics.h"
#include "data/DtEn.h"
#include "host/Pardex1.h"
#include "platform/Os.h"
#include "receipt/frmRPDCashRec.h"
#include "support/FormFixture.h"
#include "support/ScriptedMessageBox.h"

#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {
class EntryOperations : public FormFixture
{
protected:
    QString labelText(const char *name) { return child<QLabel>(name)->text(); }
};
} // namespace

TEST_F(EntryOperations, ClearShowFillsTheContextAndShowsTheFormModeless)
{
    Pardex1 &c = host(486);
    c.setPositionID(2);
    c.setEmployeeID(-7);
    c.ClearShow();
    const UserContext &context = Module::context();
    EXPECT_EQ(context.FormMode, ModeEmpty);
    EXPECT_EQ(context.UserID, 486);
    EXPECT_EQ(context.PositionID, 2);
    EXPECT_EQ(context.EmployeeID, -7); // widened with its sign
    EXPECT_EQ(context.ConnectionString, db->connectionString());
    frmRPDCashRec &form = frmRPDCashRec::instance();
    EXPECT_TRUE(form.isLoaded());
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(modalShows(), 0);
    EXPECT_EQ(labelText("lblCash"), QStringLiteral("صندوق مرکزی"));
    EXPECT_EQ(labelText("lblCashTurn"), QStringLiteral("12"));
    EXPECT_EQ(labelText("lblOpenerUser"), QStringLiteral("علی رضایی"));
    EXPECT_TRUE(ScriptedMessageBox::shown().isEmpty());
    // The right to the form is asked after the form has loaded.
    EXPECT_EQ(Diagnostics::instance().calls(), QStringList{QStringLiteral("spOmberHasPermission")});
    EXPECT_EQ(Diagnostics::instance().entries().last().args, (QVariantList{486, 206}));
}

TEST_F(EntryOperations, AUserWithoutRight206GetsTheMessageAndNoFormButTheFormIsLoaded)
{
    clearShow(623);
    ASSERT_EQ(ScriptedMessageBox::shown().size(), 1);
    EXPECT_EQ(ScriptedMessageBox::shown()[0].title, QStringLiteral("خطا"));
    EXPECT_EQ(ScriptedMessageBox::shown()[0].message, QStringLiteral("شما به انجام اين عمليات مجاز نيستيد."));
    frmRPDCashRec &form = frmRPDCashRec::instance();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(form.isLoaded());
    EXPECT_EQ(modalShows(), 0);
}

TEST_F(EntryOperations, AnUnusableConnectionStringReachesTheHostAndShowsNoForm)
{
    Pardex1 &c = host(486);
    c.setOLEConnectionString(QStringLiteral("0"));
    try {
        c.ClearShow();
        ADD_FAILURE() << "the connection error must reach the host";
    } catch (const VbError &e) {
        EXPECT_EQ(e.number(), VbError::ProviderNotFound);
        EXPECT_TRUE(e.description().contains(QStringLiteral("\"0\"")));
    }
    EXPECT_FALSE(frmRPDCashRec::instance().isVisible());
    EXPECT_FALSE(frmRPDCashRec::instance().isLoaded());
    EXPECT_TRUE(Diagnostics::instance().calls().isEmpty());

    // The program goes on: the next entry with a good string works.
    c.setOLEConnectionString(db->connectionString());
    c.ClearShow();
    EXPECT_TRUE(frmRPDCashRec::instance().isVisible());
}

TEST_F(EntryOperations, AHostThatRefusesModelessWindowsGetsTheFormModal)
{
    Pardex1 &c = host(486);
    c.setHostAllowsModeless(false);
    QWidget *shown = nullptr;
    bool visibleWhileShown = false;
    onModal([&](QWidget *form) {
        shown = form;
        visibleWhileShown = form->isVisible();
    });
    c.ClearShow();
    EXPECT_EQ(modalShows(), 1);
    EXPECT_EQ(shown, &frmRPDCashRec::instance());
    EXPECT_TRUE(visibleWhileShown);
}

TEST_F(EntryOperations, ViewOpensTheFormOnTheReceiptAskedFor)
{
    Pardex1 &c = host(486);
    c.View(6);
    EXPECT_EQ(frmRPDCashRec::instance().CurrentReceiptID, 6);
    EXPECT_EQ(Module::context().FormMode, ModeViewTemporary); // receipt 6 has no code
    EXPECT_TRUE(frmRPDCashRec::instance().isVisible());

    // An ID that does not exist still shows the form; the load says so.
    c.View(424242);
    EXPECT_TRUE(frmRPDCashRec::instance().isVisible());
    EXPECT_EQ(Module::context().FormMode, ModeEmpty);
    EXPECT_EQ(ScriptedMessageBox::messages().last(), QStringLiteral("دريافت نقدي انتخاب شده يافت نشد."));
}

TEST_F(EntryOperations, AnEntryWhileTheFormIsLoadedBringsItInLineWithTheNewMode)
{
    Pardex1 &c = host(486);
    c.View(7);
    EXPECT_EQ(Module::context().FormMode, ModeViewFinal);
    auto *code = frmRPDCashRec::instance().findChild<QLineEdit *>(QStringLiteral("txtCode"));
    EXPECT_FALSE(code->text().isEmpty());
    c.ClearShow();
    EXPECT_EQ(Module::context().FormMode, ModeEmpty);
    EXPECT_TRUE(frmRPDCashRec::instance().findChild<QLineEdit *>(QStringLiteral("txtID"))->text().isEmpty());
    EXPECT_FALSE(frmRPDCashRec::instance().findChild<QWidget *>(QStringLiteral("cmdEdit"))->isEnabled());
}
