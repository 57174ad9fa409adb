#pragma once

#include <QSqlDatabase>

// Runs what happens in its lifetime inside a transaction that is always rolled back: on a
// server connection this undoes whatever a statement might have written despite the checks,
// whatever the login may do. Throws Failure when the connection cannot begin a transaction.
class RolledBackTransaction
{
public:
    RolledBackTransaction(QSqlDatabase db, const QString &source);
    ~RolledBackTransaction();
    RolledBackTransaction(const RolledBackTransaction &) = delete;
    RolledBackTransaction &operator=(const RolledBackTransaction &) = delete;

private:
    QSqlDatabase m_db;
};
