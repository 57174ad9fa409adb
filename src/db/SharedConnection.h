#pragma once

#include <memory>

class Connection;

// The host's connection as the component holds it: a share of the host's own object (never a
// copy), replaced when the host hands over another, and read afresh by every query.
class SharedConnection
{
public:
    // Takes a share of the connection, which every connection offers (they are made shared).
    void set(Connection &connection);
    [[nodiscard]] bool isSet() const { return m_connection != nullptr; }
    // Throws Failure when the host has given no connection.
    [[nodiscard]] const Connection &get() const;

private:
    std::shared_ptr<const Connection> m_connection;
};
