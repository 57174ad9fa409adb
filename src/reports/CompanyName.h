#pragma once

#include <QString>

class Connection;

// The company's name as the registry holds it (Project_registry, key companyname), for the
// reports that print it. A Failure when the row is missing.
namespace CompanyName {
[[nodiscard]] QString read(const Connection &connection);
}
