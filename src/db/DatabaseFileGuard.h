#pragma once

#include <QString>
#include <cstdint>

// Marks a database file as read by an open connection for as long as the guard lives, so that
// no report output is ever written over it: an export that names it, directly, through a link
// or under another spelling of its path, is refused instead of destroying the data. The files
// SQLite keeps beside it (-wal, -shm, -journal) are guarded with it, whether they exist yet or
// not: an export written there would lose committed rows or corrupt the next reader.
class DatabaseFileGuard
{
public:
    // path: the database file; a path that names no file (a server database) guards nothing.
    explicit DatabaseFileGuard(const QString &path);
    ~DatabaseFileGuard();
    DatabaseFileGuard(const DatabaseFileGuard &) = delete;
    DatabaseFileGuard &operator=(const DatabaseFileGuard &) = delete;

    // True when path names a file that an open connection reads, or one of its side files.
    // Safe from any thread.
    [[nodiscard]] static bool isGuarded(const QString &path);

private:
    bool m_guarding = false;
    uint64_t m_device = 0;
    uint64_t m_inode = 0;
    QString m_where; // the file's canonical path, where its side files are named after it
};
