#pragma once

// The demo company database's tables, with every column the reports read, declared with the
// affinities that give SQL Server's comparisons (ids as INTEGER or case-blind TEXT, amounts as
// REAL, dates as ISO text), and the indexes the report queries use.
namespace DemoSchema {
const char *tables();
const char *indexes();
} // namespace DemoSchema
