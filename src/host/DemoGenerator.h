#pragma once

#include "host/DemoDatabase.h"

struct sqlite3;

// Fills a new, empty SQLite database with the demo company's tables, a year of its trade and
// the indexes the report queries use: the same options always give the same rows.
namespace DemoGenerator {
// Throws Failure with SQLite's message when a statement fails.
void fill(sqlite3 *db, const DemoDatabase::Options &options);
} // namespace DemoGenerator
