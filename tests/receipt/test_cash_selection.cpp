#include "cashselect/frmRPDCashSelect.h"
#include "support/FormFixture.h"

#include <QComboBox>
#include <QLabel>

namespace {

class CashSelection : public ShownFormFixture
{
protected:
    void SetUp() override
    {
        ShownFormFixture::SetUp();
        takeStatements();
    }

    template <typename T>
    static T *in(QWidget *w, const char *name)
    {
        T *found = w->findChild<T *>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString label(const char *name) { return child<QLabel>(name)->text(); }
    static int entryOf(QWidget *dialog, qint32 cashId)
    {
        return in<QComboBox>(dialog, "cmbCash")->findData(cashId);
    }
};

} // namespace

// A box of the user's own open turn, then one of a turn he is a member of.
TEST_F(CashSelection, ChoosingABoxFindsItsOpenTurnAndConfirmingTakesIt)
{
    const struct
    {
        qint32 cash, turnId, turn;
        const char *cashName;
    } choices[] = {{1, 3, 12, "صندوق مرکزی"}, {2, 4, 7, "صندوق فروشگاه"}};
    for (const auto &c : choices) {
        QStringList entries;
        onModal([&](QWidget *dialog) {
            auto *list = in<QComboBox>(dialog, "cmbCash");
            for (int i = 0; i < list->count(); ++i)
                entries << list->itemText(i);
            EXPECT_EQ(list->currentIndex(), -1); // nothing chosen beforehand
            EXPECT_EQ(in<QLineEdit>(dialog, "txtUser")->text(), QStringLiteral("علی رضایی"));
            list->setCurrentIndex(entryOf(dialog, c.cash));
            EXPECT_EQ(in<QLineEdit>(dialog, "txtTurnID")->text(), QString::number(c.turn));
            in<QPushButton>(dialog, "cmdOkey")->click();
        });
        form().cmdCashSelect_Click();
        EXPECT_EQ(entries, (QStringList{QStringLiteral("1...صندوق مرکزی"), QStringLiteral("2...صندوق فروشگاه"),
                                        QStringLiteral("4...صندوق تنخواه")}));
        EXPECT_EQ(form().CurrentCashID, c.cash);
        EXPECT_EQ(form().CurrentCashTurnID, c.turnId);
        EXPECT_EQ(form().CurrentTurn, c.turn);
        EXPECT_EQ(label("lblCash"), QString::fromUtf8(c.cashName));
        EXPECT_EQ(label("lblCashTurn"), QString::number(c.turn));
        EXPECT_EQ(label("lblOpenerUser"), QStringLiteral("علی رضایی"));
    }
}

// A box without an open turn after one with it disables confirmation; the
// exit button and the close box leave the form as it was, and every show
// lists the boxes afresh.
TEST_F(CashSelection, ABoxWithoutAnOpenTurnCannotBeTakenAndLeavingChangesNothing)
{
    const qint32 cash = form().CurrentCashID, turnId = form().CurrentCashTurnID, turn = form().CurrentTurn;
    const QString cashLabel = label("lblCash"), turnLabel = label("lblCashTurn");
    for (int way = 0; way < 2; ++way) {
        int entries = 0;
        onModal([&, way](QWidget *dialog) {
            auto *list = in<QComboBox>(dialog, "cmbCash");
            entries = list->count();
            list->setCurrentIndex(entryOf(dialog, 1));
            list->setCurrentIndex(entryOf(dialog, 4));
            EXPECT_FALSE(in<QPushButton>(dialog, "cmdOkey")->isEnabled());
            EXPECT_EQ(in<QLineEdit>(dialog, "txtTurnID")->text(), QStringLiteral("-1"));
            EXPECT_EQ(in<QLabel>(dialog, "lblMessage")->text(), QStringLiteral("نوبت صندوق بازي وجود ندارد."));
            EXPECT_EQ(frmRPDCashSelect::instance().selectedCashTurnId(), -1);
            // Choosing one with a turn again enables it; leaving does not take it.
            list->setCurrentIndex(entryOf(dialog, 2));
            EXPECT_TRUE(in<QPushButton>(dialog, "cmdOkey")->isEnabled());
            if (way == 0)
                in<QPushButton>(dialog, "cmdExit")->click();
            else
                dialog->close(); // the close box acts as the exit button
        });
        form().cmdCashSelect_Click();
        EXPECT_EQ(entries, 3);
        EXPECT_EQ(form().CurrentCashID, cash);
        EXPECT_EQ(form().CurrentCashTurnID, turnId);
        EXPECT_EQ(form().CurrentTurn, turn);
        EXPECT_EQ(label("lblCash"), cashLabel);
        EXPECT_EQ(label("lblCashTurn"), turnLabel);
    }
    EXPECT_EQ(modalShows(), 2);
}

TEST_F(CashSelection, AUserWithNoPermittedBoxSeesAnEmptyListAndCannotConfirm)
{
    Module::context().UserID = 623;
    int count = -1;
    onModal([&](QWidget *dialog) {
        count = in<QComboBox>(dialog, "cmbCash")->count();
        in<QPushButton>(dialog, "cmdOkey")->click();
        EXPECT_TRUE(dialog->isVisible()); // the dialog stays open
        in<QPushButton>(dialog, "cmdExit")->click();
    });
    form().cmdCashSelect_Click();
    EXPECT_EQ(count, 0);
    EXPECT_EQ(shownBoxes(), QStringList{QStringLiteral("اشكال|صندوق انتخاب نشده است!")});
}
