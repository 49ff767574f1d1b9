#include "controls/ControlConnection.h"

#include "data/Connection.h"

ControlConnection::ControlConnection() = default;
ControlConnection::~ControlConnection() = default;

bool ControlConnection::setConnectionString(const QString &text)
{
    if (text == m_connectionString)
        return false;
    m_connectionString = text;
    m_connection.reset();
    return true;
}

Connection *ControlConnection::get()
{
    if (m_connectionString.isEmpty())
        return nullptr;
    if (!m_connection) {
        m_connection = std::make_unique<Connection>(m_connectionString);
        m_connection->setRecorded(false);
    }
    return m_connection.get();
}
