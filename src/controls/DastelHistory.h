#pragma once

#include "controls/ControlConnection.h"

#include <QWidget>

class Connection;
class QLabel;
class QLineEdit;
class QTreeWidget;
class OmberButton;

// The history panel: the action-log entries of one record of a form type,
// newest first, with user, Persian date and time; and a note the user may
// add to a saved record. It cannot let its window close while a note is
// typed but not saved.
class DastelHistory : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString ConnectionString READ ConnectionString WRITE setConnectionString)
    Q_PROPERTY(qint16 UserID MEMBER m_userId)
    Q_PROPERTY(qint16 PositionID MEMBER m_positionId)
    Q_PROPERTY(bool SavedReceiptMode READ SavedReceiptMode WRITE setSavedReceiptMode)

public:
    explicit DastelHistory(QWidget *parent = nullptr);
    ~DastelHistory() override;

    QString ConnectionString() const { return m_connection.connectionString(); }
    void setConnectionString(const QString &text);
    bool SavedReceiptMode() const { return m_savedMode; }
    void setSavedReceiptMode(bool saved);
    qint16 userId() const { return m_userId; }

    Q_INVOKABLE void LoadHistory(qint32 formTypeId, qint32 recordId);
    Q_INVOKABLE void Clear();
    // False while a note is typed and not yet saved.
    Q_INVOKABLE bool CanClose();

    qint32 loadedFormType() const { return m_formType; }
    qint32 loadedRecordId() const { return m_recordId; }
    int entryCount() const;
    // Shown texts of one entry: description, user, date, time.
    QStringList entry(int row) const;
    QLineEdit *noteBox() const { return m_note; }
    void addNote();

private:
    void updateNoteButton();

    ControlConnection m_connection;
    qint16 m_userId = 0;
    qint16 m_positionId = 0;
    bool m_savedMode = false;
    qint32 m_formType = 0;
    qint32 m_recordId = 0;
    QTreeWidget *m_list;
    QLineEdit *m_note;
    OmberButton *m_addNote;
    QLabel *m_warning;
};
