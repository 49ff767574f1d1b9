#pragma once

#include <QString>
#include <QVector>
#include "controls/ControlConnection.h"

#include <QWidget>

class Connection;
class QComboBox;
class QToolButton;

// A searchable list over one of the suite's views, on the control's own
// connection: type to filter, pick with the mouse or Enter. Holds one chosen
// row (its ID) or nothing. The base of the selectors and account pickers.
class LookupBox : public QWidget
{
    Q_OBJECT

public:
    explicit LookupBox(QWidget *parent = nullptr);
    ~LookupBox() override;

    QString ConnectionString() const { return m_connection.connectionString(); }
    void setConnectionString(const QString &text);

    bool IsEmpty() const { return m_selected < 0 && m_pendingId == 0; }
    void Clear();
    bool Editable() const { return m_editable; }
    void setEditable(bool editable);

    // The chosen row's ID, or 0 when nothing is chosen.
    qint32 chosenId() const;
    // Chooses a row by ID without raising the chosen signal. An ID the list
    // does not offer (an inactive row, say) is looked up on its own and
    // shown marked; one found nowhere is still kept, so that a stored value
    // is never lost by showing it.
    void chooseId(qint32 id);
    QString chosenText() const;

    // Rows are read again at the next use.
    void invalidate();
    int rowCount();
    QComboBox *comboBox() const { return m_combo; }

Q_SIGNALS:
    // The user chose a row (not raised by chooseId or Clear).
    void chosen(qint32 id);
    // The user emptied the box.
    void cleared();
    void KeyDown(qint16 keyCode, qint16 shift);

protected:
    struct Row
    {
        qint32 id;
        QString title;
        QString code;
        // Not among the rows the list offers: shown with a mark.
        bool offListed = false;
    };
    // The rows to offer; an empty text when the box has nothing to show yet.
    virtual QString listQuery() const = 0;
    // One row by ID, for an ID the list does not hold.
    virtual QString rowQuery(qint32 id) const = 0;
    virtual QString displayText(const Row &row) const;
    // Whether the box may query now (the account pickers wait to be prepared).
    virtual bool ready() const { return true; }
    // Adds a button beside the list, e.g. to browse the full view.
    QToolButton *addSideButton(const QString &text);
    Connection *connection();
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ensureLoaded();
    void fillCombo();
    void showChosen();
    void showChosenNow();
    bool m_showPending = false;
    void takeTypedText();
    int indexOfId(qint32 id) const;
    void dropOffListedRows();
    QVector<Row> readRows(const QString &sql);

    ControlConnection m_connection;
    QComboBox *m_combo;
    QVector<Row> m_rows;
    bool m_loaded = false;
    int m_selected = -1;
    // An ID chosen before the box could query (no connection yet, or not
    // prepared): it is the choice, and is looked up once the box can.
    qint32 m_pendingId = 0;
    bool m_editable = true;
};
