#pragma once

#include <QString>

class OdbcConnection;

// Runs what happens in its lifetime inside a transaction that is always rolled back: on a
// server connection this undoes whatever a statement might have written despite the checks,
// whatever the login may do. Throws Failure when the connection cannot begin a transaction.
class RolledBackTransaction
{
public:
    RolledBackTransaction(OdbcConnection &connection, const QString &source);
    ~RolledBackTransaction();
    RolledBackTransaction(const RolledBackTransaction &) = delete;
    RolledBackTransaction &operator=(const RolledBackTransaction &) = delete;

private:
    OdbcConnection &m_connection;
};
