#pragma once

#include <QDate>
#include <QVariant>
#include <QWidget>

class QLineEdit;
class QToolButton;

// The suite's date box: shows and takes a Persian date (yyyy/mm/dd), holds
// the Gregorian date as its Value, may be empty, and offers a calendar in
// the Persian calendar. A locked box shows its date and takes no input.
class OmberDate : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QVariant Value READ Value WRITE setValue NOTIFY Change)
    Q_PROPERTY(QString FarsiDate READ FarsiDate)
    Q_PROPERTY(bool Locked READ Locked WRITE setLocked)

public:
    explicit OmberDate(QWidget *parent = nullptr);

    // The Gregorian date, or null when the box is empty.
    QVariant Value() const;
    // A date, a date and time (the time is dropped) or null.
    void setValue(const QVariant &value);
    QString FarsiDate() const;
    Q_INVOKABLE void Clear();
    Q_INVOKABLE bool IsEmpty() const { return !m_date.isValid(); }
    bool Locked() const { return m_locked; }
    void setLocked(bool locked);

    QDate date() const { return m_date; }
    void openCalendar();

Q_SIGNALS:
    void Change();

private:
    void show(const QDate &date);
    void takeTypedText();

    QDate m_date;
    bool m_locked = false;
    QLineEdit *m_edit;
    QToolButton *m_button;
};
