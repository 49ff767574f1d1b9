#pragma once

#include <QObject>

// The suite's connection builder, used by the control's test aids: a dialog
// that yields a connection string (the embedded database file, or a SQL
// Server) and the user, position and employee to work as.
class ConnectionBuilder : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString ConnectionString MEMBER m_connectionString)
    Q_PROPERTY(qint32 UserID MEMBER m_userId)
    Q_PROPERTY(qint32 PositionID MEMBER m_positionId)
    Q_PROPERTY(qint32 EmployeeID MEMBER m_employeeId)

public:
    explicit ConnectionBuilder(QObject *parent = nullptr);

    // Runs the dialog; true when the user confirmed it.
    Q_INVOKABLE bool ShowDialog();

private:
    QString m_connectionString;
    qint32 m_userId = 486;
    qint32 m_positionId = 0;
    qint32 m_employeeId = 0;
};
