#pragma once

#include <QWidget>

class PropertyBag;
class QPushButton;

// The component's public face: the user control a host places on one of its
// screens. The host sets the user, position, employee and connection
// string, then opens the cash receipt form empty (ClearShow) or on one
// receipt (View).
class Pardex1 : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int UserID READ UserID WRITE setUserID)
    Q_PROPERTY(int PositionID READ PositionID WRITE setPositionID)
    Q_PROPERTY(QString OLEConnectionString READ OLEConnectionString WRITE setOLEConnectionString)
    Q_PROPERTY(int EmployeeID READ EmployeeID WRITE setEmployeeID)
    Q_PROPERTY(bool HostAllowsModeless READ HostAllowsModeless WRITE setHostAllowsModeless)

public:
    explicit Pardex1(QWidget *parent = nullptr);

    // 16-bit properties: values outside -32768..32767 raise error 6.
    qint16 UserID() const { return m_userId; }
    void setUserID(int value);
    qint16 PositionID() const { return m_positionId; }
    void setPositionID(int value);
    QString OLEConnectionString() const { return m_connectionString; }
    void setOLEConnectionString(const QString &value);
    qint16 EmployeeID() const { return m_employeeId; }
    void setEmployeeID(int value);

    // A host setting: whether the host shows a component's modeless windows.
    bool HostAllowsModeless() const { return m_allowsModeless; }
    void setHostAllowsModeless(bool allows) { m_allowsModeless = allows; }

    void InitProperties();
    void ReadProperties(const PropertyBag &bag);
    void WriteProperties(PropertyBag &bag) const;

    // Entry operations; errors before the show reach the caller.
    Q_INVOKABLE void ClearShow();
    Q_INVOKABLE void View(qint32 ID);

    // The developers' own test buttons.
    void cmdClearShow_Click();
    void Command2_Click();

Q_SIGNALS:
    // The host's property-change notification, with the property's name.
    void PropertyChanged(const QString &name);

private:
    void enter(qint32 mode, const qint32 *receiptId);
    void setSmall(qint16 &member, int value, const char *name);

    qint16 m_userId = 0;
    qint16 m_positionId = 0;
    QString m_connectionString = QStringLiteral("0");
    qint16 m_employeeId = 0;
    bool m_allowsModeless = true;
};
