// The result grid, picking a row, opening the search from the receipt form,
// leaving it, and the resize rule.

#include "SearchFixture.h"
#include "common/SharedServices.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QScrollBar>

namespace {

class Grid : public SearchFixture
{
protected:
    void searchIds(int from, int to)
    {
        search().cmdNewsearch_Click();
        box("txtIDFrom")->setText(QString::number(from));
        box("txtIDTo")->setText(QString::number(to));
        runSearch();
    }
};

const QColor Cream(254, 247, 235);
const QColor Sand(253, 236, 206);

} // namespace

TEST_F(Grid, EachRowNumberStaysBesideItsRowWhileTheOthersScroll)
{
    search().resize(700, 440);
    runSearch();
    QTableView *fixed = grid()->fixedColumnView();
    ASSERT_TRUE(fixed->isVisible());
    grid()->horizontalScrollBar()->setValue(grid()->horizontalScrollBar()->maximum());
    grid()->verticalScrollBar()->setValue(3);
    for (int row = 3; row < 6; ++row) {
        const QModelIndex cell = grid()->model()->index(row, 1), number = fixed->model()->index(row, 0);
        EXPECT_EQ(fixed->viewport()->mapTo(&search(), fixed->visualRect(number).topLeft()).y(),
                  grid()->viewport()->mapTo(&search(), grid()->visualRect(cell).topLeft()).y())
            << row;
    }
}

// The columns and their titles: Export.TwoRowsWithTitlesAndTypesInARightToLeftSheet.
TEST_F(Grid, ARowPickedByDoubleClickOrEnterLoadsItsReceiptIntoTheForm)
{
    search().hide();
    onModal([this](QWidget *shown) {
        ASSERT_EQ(shown, &search());
        searchIds(5, 12);
        ASSERT_EQ(grid()->Rows(), 9);
        const QModelIndex third = grid()->model()->index(2, 4);
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, grid()->visualRect(third).center());
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, grid()->visualRect(third).center());
        EXPECT_TRUE(search().isHidden());
    });
    child<QPushButton>("cmdSearch")->click();
    EXPECT_EQ(form().CurrentReceiptID, 7);
    EXPECT_EQ(form().txtID()->text(), QStringLiteral("7"));
    EXPECT_EQ(Module::context().FormMode, ModeViewFinal);

    // Hidden, not unloaded: the menu item shows the criteria and rows as
    // they were, and Enter picks too.
    onModal([this](QWidget *) {
        EXPECT_EQ(box("txtIDFrom")->text(), QStringLiteral("5"));
        ASSERT_EQ(grid()->Rows(), 9);
        QWidget *focused = focusInto(grid());
        ASSERT_EQ(focused, grid());
        grid()->setRow(6);
        QTest::keyClick(focused, Qt::Key_Return);
        EXPECT_TRUE(search().isHidden());
    });
    child<QAction>("mnuSearch")->trigger();
    EXPECT_EQ(form().CurrentReceiptID, 10);

    // With no row there is nothing to pick; closed without a pick, the
    // number box's receipt is loaded again.
    onModal([this](QWidget *) {
        box("txtDescription")->setText(QStringLiteral("هيچ چيز چنين نيست"));
        runSearch();
        EXPECT_EQ(grid()->Rows(), 1);
        search().flxCashPay_DblClick();
        EXPECT_FALSE(search().isHidden());
    });
    takeStatements();
    form().cmdSearch_Click();
    EXPECT_EQ(modalShows(), 3);
    EXPECT_EQ(form().txtID()->text(), QStringLiteral("10"));
    EXPECT_TRUE(takeStatements().contains(
        QStringLiteral("Select * From vwRecPayCashTurnDetail Where ID=10 And PayedValue = 0")));
    EXPECT_TRUE(ScriptedMessageBox::shown().isEmpty());
}

TEST_F(Grid, EscapeAndTheCloseBoxHideWhatOnlyExitEmptiesAndTheLayoutComesBackAsDesigned)
{
    // Escape from a text box and from an amount box alike: hidden, criteria
    // and rows kept, the rows still being read stopped (nothing of the search
    // surfaces over the receipt form afterwards) and the count saying so.
    db->addReceipts(3000);
    EXPECT_EQ(db->findings(ConsistencyCheck::Kind::CodeNotNoted), 0); // the bulk noted its codes...
    db->exec(QStringLiteral("UPDATE tblRecPayCashTurnDetail SET Code = 999999 WHERE ID = 1")); // ...and then each again
    EXPECT_EQ(db->findings(ConsistencyCheck::Kind::CodeNotNoted), 0);
    grid()->setSliceRows(3);
    box("txtReceivedFrom")->setText(QStringLiteral("1/000"));
    searchChild<QPushButton>("cmdSearch")->click();
    ASSERT_TRUE(grid()->loading());
    for (const char *name : {"txtDescription", "txtReceivedFrom"}) {
        search().show();
        QTest::keyClick(focusInto(box(name)), Qt::Key_Escape);
        EXPECT_TRUE(search().isHidden()) << name;
        EXPECT_TRUE(search().isLoaded()) << name;
    }
    EXPECT_FALSE(grid()->loading());
    EXPECT_EQ(box("txtReceivedFrom")->text(), QStringLiteral("1/000"));
    EXPECT_LT(grid()->Rows(), 3000);
    EXPECT_TRUE(searchChild<QLabel>("lblFound")->text().startsWith(
        QStringLiteral("%1 رديف").arg(FormatThousands(QString::number(grid()->Rows() - 1), QStringLiteral("/")))));
    EXPECT_TRUE(searchChild<QLabel>("lblFound")->text().contains(QStringLiteral("نيمه كاره")));
    search().show();
    search().close();
    EXPECT_TRUE(search().isHidden());
    EXPECT_TRUE(search().isLoaded());

    // Under the grid: how many rows, and, for a user who may see a turn's
    // balance before its close (the figure a blind count hides), the totals
    // of what was received and paid.
    grid()->setSliceRows(20000);
    search().show();
    runSearch();
    EXPECT_TRUE(searchChild<QLabel>("lblFound")->text().contains(QStringLiteral("20503")));
    db->exec(QStringLiteral("INSERT INTO tblOmberUserPermission (UserID, PermissionID) VALUES (486, 20503)"));
    search().cmdExit_Click();
    search().ensureLoaded();
    search().show();
    box("txtReceivedFrom")->setText(QStringLiteral("1/000"));
    runSearch();
    const qint64 received = db->scalar(QStringLiteral("SELECT sum(ReceivedValue) FROM tblRecPayCashTurnDetail WHERE "
                                                      "PayedValue = 0 AND ReceivedValue >= 1000")).toLongLong();
    EXPECT_EQ(searchChild<QLabel>("lblFound")->text(),
              QStringLiteral("%1 رديف؛ جمع دريافت: %2 ريال؛ جمع پرداخت: 0 ريال")
                  .arg(FormatThousands(QString::number(grid()->Rows() - 1), QStringLiteral("/")),
                       FormatThousands(QString::number(received), QStringLiteral("/"))));

    // Wider than 16 bits of twips hold (maximised on a wide screen): still
    // laid out, each button where a click reaches it. Exit unloads: the
    // next opening (from the receipt form) is empty and as designed.
    const QRect designed = searchChild<QWidget>("cmdSearch")->geometry();
    search().resize(2700, 900);
    QCoreApplication::processEvents();
    ASSERT_NE(searchChild<QWidget>("cmdSearch")->geometry(), designed);
    for (const char *name : {"cmdExit", "cmdSearch", "cmdNewsearch", "cmdExcel"}) {
        auto *button = searchChild<QWidget>(name);
        EXPECT_EQ(search().childAt(button->geometry().center()), button) << name;
    }
    searchChild<QComboBox>("cmbCash")->setCurrentIndex(1);
    searchChild<QPushButton>("cmdExit")->click();
    EXPECT_TRUE(search().isHidden());
    EXPECT_FALSE(search().isLoaded());
    onModal([&](QWidget *) {
        EXPECT_EQ(searchChild<QComboBox>("cmbCash")->currentIndex(), -1);
        EXPECT_EQ(searchChild<QComboBox>("cmbCash")->count(),
                  db->scalar(QStringLiteral("SELECT count(*) FROM tblRecPayCash")).toInt());
        EXPECT_TRUE(box("txtReceivedFrom")->text().isEmpty());
        EXPECT_EQ(grid()->Rows(), 1);
        EXPECT_EQ(grid()->Cols(), 0);
        EXPECT_EQ(searchChild<QWidget>("cmdSearch")->geometry(), designed);
        EXPECT_TRUE(search().rect().contains(searchChild<QWidget>("cmdExit")->geometry()));
    });
    form().cmdSearch_Click();
    EXPECT_EQ(modalShows(), 1);
    EXPECT_TRUE(search().isLoaded());
}

TEST_F(Grid, RowsArriveInSlicesFromOneSnapshot)
{
    grid()->setSliceRows(3);
    searchChild<QPushButton>("cmdSearch")->click();
    EXPECT_EQ(grid()->Rows(), 4);
    EXPECT_TRUE(grid()->loading());
    // Formatted at once, for the rows still to come as well.
    EXPECT_EQ(grid()->FixedCols(), 1);
    // A receipt written meanwhile is not part of this result.
    db->addReceipts(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !grid()->loading(); }, 30000));
    EXPECT_EQ(grid()->Rows(), 15);
    EXPECT_EQ(grid()->CellBackColor(14, 1), Sand);
    EXPECT_EQ(grid()->CellBackColor(13, 1), Cream);
    runSearch();
    EXPECT_EQ(grid()->Rows(), 16);
}
