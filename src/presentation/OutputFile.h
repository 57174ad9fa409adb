#pragma once

#include "presentation/ScratchFile.h"

#include <QIODevice>
#include <QString>
#include <memory>

// A file an export is written to. A new or regular file is written without a name beside its
// place and put there only when complete, so that a failed or interrupted export never leaves
// half a file, nor anything else, behind. Anything else already there (a device such as
// /dev/null, a named pipe) is written directly and never replaced, and /dev/stdout,
// /dev/stderr and /dev/fd/N are the descriptors the program was given, written as they are
// (a file opened for appending is appended to). A link is written through, even one that
// points to no file yet. The database being read is never written. Every write is checked,
// and a failure names the system's reason ("No space left on device").
class OutputFile
{
public:
    enum class Placement {
        WhenComplete, // put in place by commit(); cancel() leaves what was there
        InPlace,      // truncated at open() and written where it is (a trace read as it grows)
    };

    // source: who reports a failure (the exporter).
    OutputFile(QString path, QString source, Placement placement = Placement::WhenComplete);
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // Opens the file for writing and returns it (owned by this object). Throws Failure.
    QIODevice &open();
    // Writes out what is buffered so far; false once a write has been refused.
    bool flush();
    // Puts the file in place. written: false when the writer saw a write refused. Throws
    // Failure with the reason of the first write that failed.
    void commit(bool written = true);
    // Drops what was written (a regular file keeps its previous content).
    void cancel();
    // True once the file refused a write: commit(false) then names the system's reason.
    [[nodiscard]] bool writeRefused() const;

    class Writer;

private:
    [[noreturn]] void fail(const QString &reason) const;
    // A copy of the descriptor given, checked to be open for writing.
    [[nodiscard]] int openDirect(int given);

    QString m_path;
    QString m_source;
    Placement m_placement;
    QByteArray m_target; // where the file ends up (links resolved)
    ScratchFile m_scratch; // the file being written, until it is put at m_target
    std::unique_ptr<Writer> m_writer;
};
