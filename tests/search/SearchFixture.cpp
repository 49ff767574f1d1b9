#include "SearchFixture.h"

void SearchFixture::SetUp()
{
    ShownFormFixture::SetUp();
    search().setReceiptNumberBox(form().txtID());
    search().show();
    takeStatements();
}

void SearchFixture::TearDown()
{
    frmRPDSearch::setOpener({});
    frmRPDSearch::setExportProgressDelay(1000);
    FormFixture::TearDown();
}

void SearchFixture::runSearch()
{
    searchChild<QPushButton>("cmdSearch")->click();
    grid()->finishLoading();
}

QList<int> SearchFixture::shownIds()
{
    QList<int> ids;
    for (int r = 1; r < grid()->Rows(); ++r)
        ids << grid()->TextMatrix(r, 0).toInt();
    return ids;
}

QList<int> SearchFixture::idsWhere(const QString &condition)
{
    QList<int> ids;
    const RowSet rows = db->run(QStringLiteral("SELECT ID FROM vwRecPayCashTurnDetailSearch WHERE ")
                                                      + condition);
    for (const auto &row : rows.rows)
        ids << row[0].toInt();
    return ids;
}
