// The search itself: the query, the result grid's preparation and format,
// and picking a row.

#include "search/frmRPDSearch.h"

#include "ui_frmRPDSearch.h"

#include "common/Module.h"
#include "controls/VbKeys.h"
#include "core/Vb.h"
#include "data/Cursor.h"
#include "data/DtEn.h"

#include <QLineEdit>

const QString frmRPDSearch::ResultSelect = QStringLiteral(
    "Select ID As 'شماره' , Turn As 'نوبت صندوق' , CashDescription As 'صندوق' , OpenerUser as 'صندوقدار' ,Code As "
    "'شماره تاييد شده',FarsiTransactionDate As 'تاريخ ثبت',Description as 'شرح' ,ReceivedValue as "
    "'دريافت',PayedValue as 'پرداخت',AccountTitle as 'حساب بستانكار',AccountCode As 'كد حساب "
    "بستانكار',SecondAccountTitle as 'حساب بدهكار',SecondAccountCode As 'كد حساب بدهكار',AccContractTitle as "
    "'قرارداد',AccContractCode As 'كد قرارداد'   from vwRecPayCashTurnDetailSearch ");

namespace {
constexpr qint32 Cream = 15464446; // RGB 254, 247, 235
constexpr qint32 Sand = 13561085;  // RGB 253, 236, 206
constexpr int ColumnWidths[] = {1200, 1000, 1000, 2500, 1800, 1000, 2500, 1500,
                                1500, 2500, 2500, 2500, 2500, 2500, 2500};
} // namespace

void frmRPDSearch::cmdSearch_Click()
{
    if (!checkCriteria())
        return;
    m_cutShort = false;
    CreateWhereClause();
    PrepareGrid();
    const bool wasLoading = ui->flxCashPay->loading();
    try {
        // The grid keeps a compact copy of the rows rather than reading the
        // database as the user scrolls: what was found stays as it was while
        // the cashier works on, and nothing is held open on the database
        // once the rows are in. The copy is filled a slice at a time from a
        // snapshot of its own, so the first rows show at once.
        Recordset &rs = Module::dtEn().rssqlvwRPDCashTyrndetailSearch;
        if (rs.State() == 1)
            rs.Close();
        // A search still loading stops first: its reading would otherwise
        // hold the server's link while the new one waits.
        ui->flxCashPay->stopLoading();
        ui->flxCashPay->bind(rs.OpenCursor(ResultSelect + WhereClause));
    } catch (...) {
        // The grid stays usable, with what it showed before; a search that
        // was still loading says it stopped short.
        m_cutShort = wasLoading;
        showTotals();
        FormatGrid();
        throw;
    }
    FormatGrid();
}

void frmRPDSearch::PrepareGrid()
{
    ui->flxCashPay->setRedraw(false);
    ui->flxCashPay->setFixedCols(0);
}

void frmRPDSearch::FormatGrid()
{
    FlexGrid *grid = ui->flxCashPay;
    const int columns = qMin(grid->Cols(), int(std::size(ColumnWidths)));
    for (int c = 0; c < columns; ++c)
        grid->setColWidth(c, ColumnWidths[c]);
    for (int c = 0; c <= 4 && c < columns; ++c)
        grid->setColAlignmentFixed(c, Qt::AlignCenter);
    for (int c = 0; c <= 2 && c < columns; ++c)
        grid->setColAlignment(c, Qt::AlignCenter);
    // Right in the sense of the page, not mirrored in the right-to-left grid.
    for (int c = 3; c <= 4 && c < columns; ++c)
        grid->setColAlignment(c, Qt::AlignRight | Qt::AlignVCenter | Qt::AlignAbsolute);
    grid->setBackColorBkg(Cream);
    // Rows 1, 3, 5... cream and 2, 4, 6... sand over columns 1 to 14; rows
    // still to come from the query take the same bands.
    grid->setBands(1, 14, Cream, Sand);
    grid->setFixedCols(1);
    grid->setRedraw(true);
}

void frmRPDSearch::setReceiptNumberBox(QLineEdit *box)
{
    m_receiptNumberBox = box;
}

void frmRPDSearch::PickRow()
{
    FlexGrid *grid = ui->flxCashPay;
    // No data row: nothing to pick, the search stays open.
    if (grid->Row() < 1)
        return;
    const qint32 id = Vb::clng(Vb::val(grid->TextMatrix(grid->Row(), 0)));
    if (m_receiptNumberBox)
        m_receiptNumberBox->setText(QString::number(id));
    hide();
}

void frmRPDSearch::flxCashPay_DblClick()
{
    PickRow();
}

void frmRPDSearch::flxCashPay_KeyPress(qint16 &keyAscii)
{
    if (keyAscii == VbKeys::Enter)
        PickRow();
}
