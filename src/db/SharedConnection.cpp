#include "db/SharedConnection.h"

#include "db/Connection.h"
#include "db/Failure.h"

using namespace Qt::StringLiterals;

void SharedConnection::set(Connection &connection)
{
    m_connection = connection.shared_from_this();
}

const Connection &SharedConnection::get() const
{
    if (!m_connection)
        throw Failure(u"There is no database connection: the host has not handed one over"_s,
                      Failure::componentSource());
    return *m_connection;
}
