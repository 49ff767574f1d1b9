#pragma once

#include "Senvo/CashTurns.h"

#include <QDialog>
#include <memory>

namespace Ui {
class frmSenvo;
}
class SiblingSession;

// The cash-turn manager's screen: the turns of the user's boxes, opening a
// new one, and closing one with a blind count. The expected cash of an
// open turn is never shown; after the close the count, the expected cash
// and the difference are. Closed turns can only be looked at.
class frmSenvo : public QDialog
{
    Q_OBJECT

public:
    explicit frmSenvo(SiblingSession &session, QWidget *parent = nullptr);
    ~frmSenvo() override;

    void load();
    const QVector<TurnRow> &turns() const { return m_turns; }
    // Selects the grid row of a turn.
    void selectTurn(qint32 turnId);

public Q_SLOTS:
    void cboCash_Click();
    void cmdOpenTurn_Click();
    void grdTurns_SelChange();
    void cmdCloseTurn_Click();
    void txtOpeningCash_KeyPress(qint16 &keyAscii);
    void txtCounted_KeyPress(qint16 &keyAscii);
    void cmdExit_Click();

private:
    void fillTurns();
    const TurnRow *selectedTurn() const;
    static QString resultText(Currency expected, Currency counted, Currency difference);

    std::unique_ptr<Ui::frmSenvo> ui;
    SiblingSession &m_session;
    CashTurns m_turnsStore;
    QVector<TurnRow> m_turns;
};
