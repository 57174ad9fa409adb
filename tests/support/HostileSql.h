#pragma once

#include <QString>
#include <QStringList>
#include <random>

// Statements that try to write through a reading check: writes, transaction ends, attached and
// vacuumed copies, pragmas and second statements, hidden in comments, quotes, quoted names and
// ODBC escape sequences (which a driver may rewrite wherever it finds them). Each either is
// refused or, run, changes nothing. folder: where ATTACH and VACUUM INTO would create files.
namespace HostileSql {
// Every write in every disguise, each with one of the escapes.
QStringList all(const QString &folder);
// One of the same, drawn at random, sometimes two run together.
QString random(std::mt19937 &rng, const QString &folder);
} // namespace HostileSql
