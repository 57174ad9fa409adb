#pragma once

class Connection;

// The host's connection as the component holds it: a reference to the host's own object,
// replaced when the host hands over another, and read afresh by every query.
class SharedConnection
{
public:
    void set(Connection *connection) { m_connection = connection; }
    [[nodiscard]] bool isSet() const { return m_connection != nullptr; }
    // Throws Failure when the host has given no connection.
    [[nodiscard]] const Connection &get() const;

private:
    Connection *m_connection = nullptr;
};
