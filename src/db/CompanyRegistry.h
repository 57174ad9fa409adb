#pragma once

#include <QString>
#include <QVariant>
#include <optional>

class Connection;

// The company's registry (Project_registry: one row per registrykey, its Value), read the one
// way the reports read it: the whole table on the shared connection, filtered to one key.
class CompanyRegistry
{
public:
    // The value of the key's row; nothing when the registry has no such row. A registry that
    // cannot be read at all is a Failure.
    [[nodiscard]] static std::optional<QVariant> value(const Connection &connection,
                                                       const QString &key);
};
