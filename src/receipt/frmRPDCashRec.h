#pragma once

#include <QMainWindow>
#include <memory>

namespace Ui {
class frmRPDCashRec;
}
class DastelHistory;
class FarvoPicker;
class OmberAccountPicker;
class OmberBody;
class OmberButton;
class OmberDate;
class OmberSelector;
class QAction;
class QLabel;
class QLineEdit;
class QTimer;

// The cash receipt form. One instance for the component's life: created on
// first reference, loaded (Form_Load) on the first touch of it or of a
// control reached through its accessors, unloaded by closing (hidden, its
// members kept), loaded again by the next touch.
class frmRPDCashRec : public QMainWindow
{
    Q_OBJECT

public:
    static frmRPDCashRec &instance();
    static bool hasInstance();
    // Ends the instance; the next reference creates a new one (tests).
    static void destroyInstance();

    ~frmRPDCashRec() override;

    bool isLoaded() const { return m_loaded; }
    // Runs the load step when the form is not loaded.
    void ensureLoaded();
    // Runs the load step whether loaded or not: an entry operation that
    // finds the form loaded brings it in line with the new mode this way.
    void reload();
    // Hides the form and stops its timer; the members stay.
    void Unload();

    // Controls that other parts of the component reach; each touch loads the form.
    OmberSelector *mptContracts();
    FarvoPicker *TlvAccPicker();
    QLineEdit *txtID();

    // The receipt, cash box and turn on the form.
    qint32 CurrentReceiptID = 0;
    qint32 CurrentCashID = 0;
    qint32 CurrentTurn = 0;
    qint32 CurrentCashTurnID = 0;
    qint32 CurrentCode = 0;
    // The size (twips) against which the resize rule measures growth.
    qint16 DesignWidth = 0;
    qint16 DesignHeight = 0;

    // The form's width and height in twips.
    double widthTwips() const;
    double heightTwips() const;
    // The resize rule for a new size in twips.
    void applyResizeRule(double widthTwips, double heightTwips);
    // gbMaster's left edge in twips, kept exactly as the rule moves it.
    double masterLeftTwips() const { return m_masterLeft; }

public Q_SLOTS:
    void Form_Load();
    void Form_Activate();
    void Form_Resize();
    // Sets cancel to keep the form open.
    void Form_QueryUnload(bool &cancel);
    void Form_KeyDown(qint16 keyCode, qint16 shift);
    void sltBranch_KeyDown(qint16 keyCode, qint16 shift);
    void RouteKeys(qint16 keyCode, qint16 shift);

    void DisableComponents();
    void ClearForm();
    void TimerButtons_Timer();

    void cmdCashSelect_Click();
    void LoadCashTurn(qint32 &cashTurnId);
    QString GetCashName(qint32 &cashId);

    void txtID_KeyPress(qint16 &keyAscii);
    void TlvAccPicker_AccountSelected();

    void cmdExit_Click();
    void mnuExit_Click();

    // Linked components: the suite's sibling components opened from the form.
    void cmdAccTrans_Click();
    void cmdCashLedger_Click();
    void mnuCashTurn_Click();
    void mnuNewAccounts_Click();

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    frmRPDCashRec();
    void connectHandlers();
    // Runs one handler at the event boundary: errors are reported, never thrown on.
    void handle(const std::function<void()> &handler);

    // Linked components (frmRPDCashRecLinked.cpp).
    // The four buttons offered in the menu too (two lie outside the visible area).
    void addLinkedMenuEntries();
    // Creates a sibling component, registering its file once when it is not
    // registered; null when it could not be created. refused is set when
    // both creations failed with error 429.
    std::unique_ptr<QObject> createLinkedComponent(const QString &progId, const QString &file, bool &refused);
    void giveUserContext(QObject *component);

    std::unique_ptr<Ui::frmRPDCashRec> ui;
    OmberBody *comSkinner1;
    QTimer *TimerButtons;
    bool m_loaded = false;
    bool m_loading = false;
    double m_masterLeft = 0;
};
