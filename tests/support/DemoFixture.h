#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

// The demo company database the tests read, generated once per test program in a temporary
// folder, with a fixed end date so that every run sees the same data.
namespace DemoFixture {
QString path();
QDate endDate();
QString temporaryFolder();
// SHA-256 of a file's bytes, to prove that reading left a database untouched.
QByteArray fileHash(const QString &path);
// What became of the demo database since it was generated: empty when its bytes are those it
// was made with and nothing was created beside it; otherwise what changed.
QString changesToTheDatabase();
// Runs statements on a database with write access: for tests that build their own cases.
void write(const QString &path, const QString &sql);
} // namespace DemoFixture
