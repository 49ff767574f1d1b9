#pragma once

#include "search/FlexGrid.h"
#include "search/frmRPDSearch.h"
#include "support/FormFixture.h"

// A search form on a private demo database, loaded by ClearShow for user
// 486 and shown (not modally), with the receipt form's number box as the
// place a picked row goes.
class SearchFixture : public ShownFormFixture
{
protected:
    void SetUp() override;
    void TearDown() override;

    frmRPDSearch &search() { return frmRPDSearch::instance(); }
    FlexGrid *grid() { return searchChild<FlexGrid>("flxCashPay"); }
    template <typename T>
    T *searchChild(const char *name)
    {
        T *found = search().findChild<T *>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QLineEdit *box(const char *name) { return searchChild<QLineEdit>(name); }
    // Presses the search button and waits for every row.
    void runSearch();
    // The receipt IDs the grid shows, in order.
    QList<int> shownIds();
    // IDs of receipts the view lists for a condition, in the view's order.
    QList<int> idsWhere(const QString &condition);
};
