#pragma once

#include "data/Connection.h"

// All of one write or none of it: begins on construction, rolls back when
// the scope ends without commit() (an error on the way out).
class Transaction
{
public:
    explicit Transaction(Connection &connection) : m_connection(connection) { m_connection.BeginTrans(); }
    ~Transaction()
    {
        if (m_done)
            return;
        try {
            m_connection.RollbackTrans();
        } catch (...) {
            // The engine ends a failed transaction by itself; nothing is left to undo.
        }
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit()
    {
        m_connection.CommitTrans();
        m_done = true;
    }

private:
    Connection &m_connection;
    bool m_done = false;
};
