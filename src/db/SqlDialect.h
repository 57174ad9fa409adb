#pragma once

#include <QDate>
#include <QString>

// The SQL dialect a connection speaks. Report queries are written for SQL Server and run
// there as they stand; on the embedded database they are translated first.
enum class SqlDialect { SqlServer, Sqlite };

namespace SqlDates {
// A date as the dialect's unambiguous literal, without the quotes (the query pieces supply
// them): yyyy-MM-dd on SQLite, whose date columns hold that form; yyyyMMdd on SQL Server,
// which reads it the same whatever the server's language or date format.
[[nodiscard]] QString literal(SqlDialect dialect, QDate date);
} // namespace SqlDates
