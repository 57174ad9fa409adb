#pragma once

#include "presentation/SignalCleanup.h"

#include <QByteArray>
#include <sys/types.h>

// A file that has no name while it is written: whatever ends the process, kill -9 included,
// the system reclaims it, and it gets its name only when it is put in place, complete. Where
// the file system cannot make a file without a name (O_TMPFILE), it gets a hidden random name
// instead, removed when a signal ends the process. Errors are returned as errno values.
class ScratchFile
{
public:
    ScratchFile() = default;
    ~ScratchFile() { discard(); }
    ScratchFile(const ScratchFile &) = delete;
    ScratchFile &operator=(const ScratchFile &) = delete;

    // Makes the file in folder, open for reading and writing, with the permission bits mode.
    // Returns 0 or the system's error.
    [[nodiscard]] int create(const QByteArray &folder, mode_t mode);
    // The open file (owned by this object); -1 before create().
    [[nodiscard]] int descriptor() const { return m_fd; }
    // A name to open the same file by, for a library that only takes a file name.
    [[nodiscard]] QByteArray openName() const;
    // Gives the file the name target (in the folder it was made in), replacing what is there.
    // Returns 0 or the system's error; the file is discarded either way.
    [[nodiscard]] int putAt(const QByteArray &target);
    // Closes the file and removes whatever name it has.
    void discard();

private:
    int m_fd = -1;
    QByteArray m_name; // empty while unnamed
    SignalCleanup m_cleanup;
};
