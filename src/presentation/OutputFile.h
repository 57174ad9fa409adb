#pragma once

#include <QIODevice>
#include <QString>
#include <memory>

// A file an export is written to. A new or regular file is written under a name of its own
// beside its place and put there only when complete, so a failed export never leaves half a
// file over a good one. Anything else already there (a device such as /dev/null, a named
// pipe) is written directly and never replaced. Every write is checked, and a failure names
// the system's reason ("No space left on device").
class OutputFile
{
public:
    // source: who reports a failure (the exporter).
    OutputFile(QString path, QString source);
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // Opens the file for writing and returns it (owned by this object). Throws Failure.
    QIODevice &open();
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

    QString m_path;
    QString m_source;
    QByteArray m_target;    // where the file ends up (links resolved)
    QByteArray m_temporary; // the name it is written under; empty when written directly
    std::unique_ptr<Writer> m_writer;
};
