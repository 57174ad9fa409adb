#include "db/SharedConnection.h"

#include "db/Failure.h"

using namespace Qt::StringLiterals;

const Connection &SharedConnection::get() const
{
    if (!m_connection)
        throw Failure(u"There is no database connection: the host has not handed one over"_s,
                      Failure::componentSource());
    return *m_connection;
}
