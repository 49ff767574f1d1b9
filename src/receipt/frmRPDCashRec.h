#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QVector>
#include <memory>

namespace Ui {
class frmRPDCashRec;
}
class Connection;
class DastelHistory;
class FarvoPicker;
class OmberAccountPicker;
class OmberBody;
class OmberButton;
class OmberDate;
class OmberSelector;
class QAbstractButton;
class QAction;
class QLabel;
class QLineEdit;
class QTimer;
class Recordset;

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
    // Holds the receipt for a save, return or deletion, marked as mark's,
    // when its stored count of changes is still readCount and no other form
    // holds it; false when another cashier changed or deleted it since, or
    // holds it now. A hold lapses after HoldLapsesAfterSeconds.
    static bool holdAsRead(Connection &cnt, qint32 receipt, qint32 readCount, qint32 mark);
    static constexpr int HoldLapsesAfterSeconds = 600;

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

    // Amount entry and the description box.
    void txtRec_KeyPress(qint16 &KeyAscii);
    void txtRec_KeyUp(qint16 KeyCode, qint16 Shift);
    void txtDescription_GotFocus();

    // Starting and abandoning the editing of a receipt.
    void cmdNew_Click();
    void cmdEdit_Click();
    void cmdCancel_Click();
    void mnuNew_Click();
    void mnuEdit_Click();

    // Saving, keeping as a draft, returning to the draft state, deleting.
    void cmdSave_Click();
    void mnuSave_Click();
    void cmdRegSave_Click();
    void mnuRegSave_Click();
    void mnuEditFinal_Click();
    void cmdReturnToTempState_Click();
    void cmdDelete_Click();
    void mnuDelete_Click();
    bool IsAmountMandatory();
    bool IsBranchMandatory();

    // The receipt's accounting document.
    void WriteReceiptDocument();
    void RemoveReceiptDocument();

    void cmdExit_Click();
    void mnuExit_Click();

    // --- Linked components (frmRPDCashRecLinked.cpp) ---
    void cmdAccTrans_Click();
    void cmdCashLedger_Click();
    void mnuCashTurn_Click();
    void mnuNewAccounts_Click();
    // --- end of the linked components ---

    // --- Opening the search (frmRPDCashRecSearch.cpp) ---
    void cmdSearch_Click();
    void mnuSearch_Click();
    // --- end of the search block ---

    // ---- Printing (frmRPDCashRecPrint.cpp) ----
    void cmdView_Click();
    void mnuPrintView_Click();
    void mnuPrint_Click();

public:
    // The report printer "PirelRpt.PirelRpt1", created through the component
    // registry by the first print and kept while the form lives.
    std::unique_ptr<QObject> rptPrint;
    // ---- end of printing ----

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Tab follows the order in which a receipt is filled in.
    bool focusNextPrevChild(bool next) override;

private:
    frmRPDCashRec();
    void connectHandlers();
    // A button's click and a menu item's trigger run a handler at the event boundary.
    void onClick(QAbstractButton *button, void (frmRPDCashRec::*handler)());
    void onTrigger(QAction *action, void (frmRPDCashRec::*handler)());
    // The controls as designed, taken once after the form is built; every
    // load starts from them, so nothing of an earlier receipt or mode
    // survives an unload (only the form's members do).
    void takeDesignState();
    // Pieces of the saves.
    bool parameterIsSet(qint32 id);
    qint32 counterpartyAccount() const;
    // One rule for "no counter-party chosen", in the save's check and in the
    // document step alike: the picker in use holds no account.
    bool counterpartyMissing() const;
    void writeReceipt(qint32 code, bool insert);
    // A new receipt written by a save that failed afterwards, and whether
    // its creation was logged. While the form still shows it as new, every
    // save, cancel or edit works on that stored receipt: nothing is written
    // twice and nothing stored is forgotten.
    qint32 m_unfinishedReceipt = 0;
    bool m_unfinishedLogged = false;
    bool completingNewReceipt() const { return m_unfinishedReceipt != 0 && m_unfinishedReceipt == CurrentReceiptID; }
    // Writes that receipt's creation to the action log when no save did yet.
    void logUnfinishedCreation();
    // The user and database the cash box and turn members were chosen for:
    // another cashier entering after an unload starts from his own turn.
    qint32 m_cashUser = 0;
    QString m_cashConnection;
    void writeFormAction(qint32 eventId, const QString &suffix);
    // Shows the stored receipt of txtID again, throwing away what the form
    // holds; a failed read leaves nothing editable.
    void reloadStoredReceipt();
    // The form emptied after a receipt was not found (or is gone).
    void showNoReceipt();
    // How many changes the stored receipt had when the form read it (or
    // last wrote it itself); -1 unknown (a database without the count).
    // A save, return or deletion first holds the receipt as read: when
    // another cashier changed or deleted the receipt since, the form
    // refuses, says who and when, and shows what is stored instead.
    qint32 m_changeCount = -1;
    void rememberChangeCount(const Recordset &loaded);
    bool stillAsRead();
    // The receipt this form holds while its work runs, and the mark its
    // holds carry; the work lets the receipt go however it ends.
    qint32 m_heldReceipt = 0;
    qint32 m_holdMark = 0;
    qint32 holdMark();
    void letGo();
    void readOwnChangeCount();
    void updateDetailLevels();
    QString savedAs(const QString &step = QStringLiteral("ثبت رويداد آن در كارنامه عمليات")) const;
    void restoreDesignState();
    struct DesignedControl
    {
        QPointer<QWidget> widget;
        QRect geometry;
        bool positioned; // placed by the design, not by a layout
        bool enabled;
        bool hidden;
        QString text;
        bool readOnly;
    };
    QVector<DesignedControl> m_design;
    QVector<QWidget *> m_tabOrder;
    QVector<QPair<QAction *, bool>> m_designActions;
    QSize m_designSize;
    double m_designMasterLeft = 0;
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
