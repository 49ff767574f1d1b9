#pragma once

#include "core/Currency.h"

#include <QPointer>
#include <QRect>
#include <QVector>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

namespace Ui {
class frmRPDSearch;
}
class FarvoPicker;
class FlexGrid;
class OmberSelector;
class QLineEdit;

// The search form: fourteen criteria over the cash receipts, the result
// grid, and the export of the grid to a spreadsheet. One instance for the
// component's life: loaded (Form_Load) on the first touch of a control
// reached through its accessors, hidden when a row is picked (criteria and
// rows kept), unloaded by its exit button (the next opening starts empty).
class frmRPDSearch : public QWidget
{
    Q_OBJECT

public:
    static frmRPDSearch &instance();
    static bool hasInstance();
    // Ends the instance; the next reference creates a new one (tests).
    static void destroyInstance();
    ~frmRPDSearch() override;

    bool isLoaded() const { return m_loaded; }
    void ensureLoaded();

    // Controls the entry operations prepare; each touch loads the form.
    OmberSelector *mptOpenerUser();
    OmberSelector *mptContracts();
    FarvoPicker *TlvAccAccount();
    FarvoPicker *TlvAccSecondAccount();
    FlexGrid *flxCashPay();

    // The box a picked row's receipt number is written into: the opener
    // hands over its own number box before each show.
    void setReceiptNumberBox(QLineEdit *box);

    // The select list the clause follows; its aliases are the grid's titles.
    static const QString ResultSelect;
    // Rebuilt by CreateWhereClause on every search.
    QString WhereClause;
    // The size (twips) the resize rule last laid the form out for.
    qint16 LastWidth = 0;
    qint16 LastHeight = 0;

    double widthTwips() const;
    double heightTwips() const;
    // The resize rule for a new size in twips.
    void applyResizeRule(double widthTwips, double heightTwips);

    // Opens a written workbook with the desktop's handler; false when
    // nothing could open it. Tests put their own here: nothing is launched.
    using Opener = std::function<bool(const QString &path)>;
    static void setOpener(Opener opener);
    // How long an export runs before its progress shows (tests: at once).
    static void setExportProgressDelay(int milliseconds);

public Q_SLOTS:
    void Form_Load();
    void Form_Resize();
    void Unload();

    void CreateWhereClause();
    void cmdSearch_Click();
    void cmdNewsearch_Click();
    void cmdExit_Click();
    void cmdExcel_Click();

    void flxCashPay_DblClick();
    void flxCashPay_KeyPress(qint16 &keyAscii);

    void txtReceivedFrom_KeyPress(qint16 &keyAscii);
    void txtReceivedTo_KeyPress(qint16 &keyAscii);
    void txtIDFrom_KeyPress(qint16 &keyAscii);
    void txtIDTo_KeyPress(qint16 &keyAscii);
    void txtReceivedFrom_KeyUp(qint16 keyCode, qint16 shift);
    void txtReceivedTo_KeyUp(qint16 keyCode, qint16 shift);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    // Whatever hides the form (a picked row, Escape) stops the rows still
    // being read: nothing of the search may surface over the receipt form.
    void hideEvent(QHideEvent *event) override;

private:
    frmRPDSearch();
    void connectHandlers();
    // Every opening after an unload starts from the form as designed.
    void takeDesignState();
    void restoreDesignState();
    // The number of rows found and the totals of the amount columns, under the grid.
    void showTotals();
    // False, after telling the cashier, when a box holds what the clause
    // cannot say as typed (a control character, a number beyond its range).
    bool checkCriteria();
    void PrepareGrid();
    void FormatGrid();
    void PickRow();

    std::unique_ptr<Ui::frmRPDSearch> ui;
    QPointer<QLineEdit> m_receiptNumberBox;
    bool m_loaded = false;
    bool m_loading = false;
    QSize m_designSize;
    QVector<QPair<QPointer<QWidget>, QRect>> m_designGeometry;
    // The size last laid out, exactly: the 16-bit remembered size stops at
    // 32767 twips, the layout on a large screen does not.
    double m_laidWidth = 0;
    double m_laidHeight = 0;
    // Totals of the rows summed so far (they arrive a slice at a time).
    int m_summedRows = 0;
    Currency m_receivedTotal;
    Currency m_paidTotal;
    bool m_totalsOverflow = false;
    // Whether the user may see the totals (asked once per load).
    bool m_mayTotal = false;
    bool m_mayTotalKnown = false;
    bool m_cutShort = false;
};
