#pragma once

#include <QString>
#include <memory>

class Connection;

// The in-house controls' own connection to the suite database, opened on
// first use. Their lookups are the controls' business, not the component's
// statements: they are not recorded and faults are not injected into them.
class ControlConnection
{
public:
    ControlConnection();
    ~ControlConnection();

    const QString &connectionString() const { return m_connectionString; }
    // A new string drops the connection held; returns whether it changed.
    bool setConnectionString(const QString &text);
    // Null while there is no connection string.
    Connection *get();

private:
    QString m_connectionString;
    std::unique_ptr<Connection> m_connection;
};
