#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class frmRPDCashSelect;
}

// The dialog that lists the cash boxes the user may work on and finds an
// open turn of the chosen one. Single instance; each SelectCash loads it
// afresh, shows it modally and unloads it.
class frmRPDCashSelect : public QDialog
{
    Q_OBJECT

public:
    static frmRPDCashSelect &instance();
    static void destroyInstance();
    ~frmRPDCashSelect() override;

    // True when the user confirmed; the outputs are then the chosen cash
    // box, its open turn's ID and number, and are left untouched otherwise.
    static bool SelectCash(qint32 &outCashID, qint32 &outCashTurnID, qint32 &outCashTurn);

    qint32 selectedCashId() const { return m_selectedCashId; }
    qint32 selectedCashTurnId() const { return m_selectedCashTurnId; }
    qint32 selectedTurn() const { return m_selectedTurn; }
    bool confirmed() const { return m_confirmed; }

public Q_SLOTS:
    void Form_Load();
    void cmbCash_Click();
    void cmdOkey_Click();
    void cmdExit_Click();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    frmRPDCashSelect();
    bool select(qint32 &outCashID, qint32 &outCashTurnID, qint32 &outCashTurn);
    void unload();

    std::unique_ptr<Ui::frmRPDCashSelect> ui;
    bool m_confirmed = false;
    qint32 m_selectedCashId = -1;
    qint32 m_selectedCashTurnId = -1;
    qint32 m_selectedTurn = -1;
};
