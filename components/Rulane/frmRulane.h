#pragma once

#include "Rulane/CashLedger.h"

#include <QDialog>
#include <memory>

namespace Ui {
class frmRulane;
}
class SiblingSession;

// The cash ledger's screen: the movements of one turn (View), or of a cash
// box the user picks over a Persian date range (ClearShow). A receipt row
// opens read-only in frmRulaneReceipt.
class frmRulane : public QDialog
{
    Q_OBJECT

public:
    explicit frmRulane(SiblingSession &session, QWidget *parent = nullptr);
    ~frmRulane() override;

    // Fills the box list; the range is today's Persian month so far.
    void prepareEmpty();
    // The ledger of one turn; its box and dates are put in the filter.
    void showTurn(qint32 turnId);
    const CashLedger &ledger() const { return m_ledger; }

public Q_SLOTS:
    void cmdShow_Click();
    void cmdReceipt_Click();
    void grdLedger_DblClick();
    void cmdExit_Click();

private:
    void fillCashBoxes();
    void showLedger(const CashLedger &ledger);
    // The movement of the grid's current row; null for the opening row.
    const LedgerLine *currentLine() const;
    void openLine(const LedgerLine &line);

    std::unique_ptr<Ui::frmRulane> ui;
    SiblingSession &m_session;
    CashLedger m_ledger;
};
