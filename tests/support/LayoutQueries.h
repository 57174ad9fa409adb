#pragma once

#include <QString>
#include <utility>
#include <vector>

class Connection;

// Every built-in layout with its report's quoted query over a period (dates as SQLite literals)
// on the demo company: the ledgers for a product both sold and returned in the period.
namespace LayoutQueries {
std::vector<std::pair<QString, QString>> all(const Connection &db, const QString &from,
                                             const QString &to);
} // namespace LayoutQueries
