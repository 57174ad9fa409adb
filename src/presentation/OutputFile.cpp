#include "presentation/OutputFile.h"

#include "db/DatabaseFileGuard.h"
#include "db/Failure.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The mode a new file gets: what the user's umask lets through of rw-rw-rw-.
mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The descriptor a name such as /dev/stdout or /dev/fd/3 stands for; -1 for any other name.
// Opening such a name anew would truncate a file the shell opened for appending, and cannot
// reopen a pipe at all: the descriptor itself is written.
int givenDescriptor(const QString &path)
{
    if (path == u"/dev/stdout")
        return STDOUT_FILENO;
    if (path == u"/dev/stderr")
        return STDERR_FILENO;
    for (const QString &prefix : {u"/dev/fd/"_s, u"/proc/self/fd/"_s}) {
        if (!path.startsWith(prefix))
            continue;
        const QStringView number = QStringView(path).mid(prefix.size());
        bool ok = !number.isEmpty() &&
                  std::all_of(number.begin(), number.end(), [](QChar c) { return c.isDigit(); });
        const int fd = ok ? number.toInt(&ok) : -1;
        return ok ? fd : -1;
    }
    return -1;
}

// The file path finally names: links followed, its folder canonical. A link that points to no
// file names the file it points to, which is then made there. Returns 0 or the system's error.
int resolveTarget(const QByteArray &path, QByteArray &target)
{
    constexpr int kMaxLinks = 40; // as the system allows
    QByteArray current = path;
    for (int links = 0;; ++links) {
        struct stat info
        {
        };
        if (::lstat(current.constData(), &info) != 0) {
            if (errno != ENOENT)
                return errno;
            break;
        }
        if (!S_ISLNK(info.st_mode))
            break;
        if (links == kMaxLinks)
            return ELOOP;
        QByteArray link(PATH_MAX, '\0');
        const ssize_t length = ::readlink(current.constData(), link.data(), size_t(link.size()));
        if (length < 0)
            return errno;
        link.truncate(length);
        current = link.startsWith('/') ? link : current.left(current.lastIndexOf('/') + 1) + link;
    }
    const qsizetype slash = current.lastIndexOf('/');
    const QByteArray name = current.mid(slash + 1);
    if (name.isEmpty() || name == "." || name == "..")
        return EISDIR;
    const QByteArray folder =
        slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : current.left(slash);
    char *real = ::realpath(folder.constData(), nullptr);
    if (!real)
        return errno;
    target = QByteArray(real);
    std::free(real);
    if (!target.endsWith('/'))
        target += '/';
    target += name;
    return 0;
}

} // namespace

// Writes to a file descriptor through a buffer of its own and keeps the system's error of
// the first write that failed: Qt's file classes lose it ("Unknown error") on a full disk.
class OutputFile::Writer : public QIODevice
{
public:
    // owned: the descriptor is closed by the writer (a scratch file's is not).
    Writer(int fd, bool owned) : m_fd(fd), m_owned(owned) { QIODevice::open(WriteOnly | Unbuffered); }
    ~Writer() override
    {
        if (m_owned && m_fd >= 0)
            ::close(m_fd);
    }

    [[nodiscard]] int error() const { return m_error; }

    // Writes out what is buffered; false (with error() set) when the system refused it.
    bool drain()
    {
        const char *data = m_buffer.constData();
        qsizetype left = m_buffer.size();
        while (left > 0 && m_error == 0) {
            const ssize_t n = ::write(m_fd, data, size_t(left));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                m_error = n < 0 ? errno : EIO;
                break;
            }
            data += n;
            left -= n;
        }
        m_buffer.clear();
        return m_error == 0;
    }

    // Drains, and for a regular file makes sure it reached the disk; then closes.
    bool finish(bool sync)
    {
        if (drain() && sync && ::fsync(m_fd) != 0 && errno != EINVAL && errno != EROFS)
            m_error = errno;
        if (m_owned && ::close(m_fd) != 0 && m_error == 0 && errno != EINTR)
            m_error = errno;
        m_fd = -1;
        QIODevice::close();
        return m_error == 0;
    }
protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 length) override
    {
        if (m_error != 0)
            return -1;
        m_buffer.append(data, length);
        if (m_buffer.size() >= (1 << 16) && !drain())
            return -1;
        return length;
    }

private:
    int m_fd;
    bool m_owned;
    int m_error = 0;
    QByteArray m_buffer;
};

OutputFile::OutputFile(QString path, QString source, Placement placement)
    : m_path(std::move(path)), m_source(std::move(source)), m_placement(placement)
{
}

OutputFile::~OutputFile()
{
    if (m_writer)
        cancel();
}

QIODevice &OutputFile::open()
{
    if (m_path.isEmpty())
        fail(u"no file name given"_s);
    if (DatabaseFileGuard::isGuarded(m_path))
        fail(u"it is the database the report reads"_s);
    if (const int given = givenDescriptor(m_path); given >= 0) {
        m_writer = std::make_unique<Writer>(openDirect(given), true);
        return *m_writer;
    }
    if (const int error = resolveTarget(QFile::encodeName(m_path), m_target); error != 0)
        fail(systemReason(error));
    // A link to a file not there yet may still name one the database will make beside it.
    if (DatabaseFileGuard::isGuarded(QFile::decodeName(m_target)))
        fail(u"it is the database the report reads"_s);
    struct stat existing
    {
    };
    const bool exists = ::stat(m_target.constData(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        fail(systemReason(EISDIR));
    if ((exists && !S_ISREG(existing.st_mode)) || m_placement == Placement::InPlace) {
        const int flags = exists && !S_ISREG(existing.st_mode) ? 0 : O_CREAT | O_TRUNC;
        const int fd = ::open(m_target.constData(), O_WRONLY | O_CLOEXEC | flags, 0666);
        if (fd < 0)
            fail(systemReason(errno));
        m_writer = std::make_unique<Writer>(fd, true);
        return *m_writer;
    }
    const QByteArray folder = m_target.left(std::max<qsizetype>(m_target.lastIndexOf('/'), 1));
    const mode_t mode = exists ? (existing.st_mode & 07777) : newFileMode();
    if (const int error = m_scratch.create(folder, mode); error != 0)
        fail(systemReason(error));
    m_writer = std::make_unique<Writer>(m_scratch.descriptor(), false);
    return *m_writer;
}

int OutputFile::openDirect(int given)
{
    const int flags = ::fcntl(given, F_GETFL);
    if (flags < 0)
        fail(systemReason(errno));
    if ((flags & O_ACCMODE) == O_RDONLY)
        fail(systemReason(EBADF));
    // A copy of the descriptor shares its offset and its append mode.
    const int fd = ::fcntl(given, F_DUPFD_CLOEXEC, 3);
    if (fd < 0)
        fail(systemReason(errno));
    return fd;
}

bool OutputFile::flush()
{
    return m_writer && m_writer->drain();
}

void OutputFile::commit(bool written)
{
    if (!m_writer)
        fail(u"the file is not open"_s);
    const bool scratch = m_scratch.descriptor() >= 0;
    const bool finished = m_writer->finish(scratch);
    const int error = m_writer->error();
    if (!finished || !written) {
        cancel();
        fail(error != 0 ? systemReason(error) : u"the data was not all written"_s);
    }
    m_writer.reset();
    if (scratch) {
        if (const int putError = m_scratch.putAt(m_target); putError != 0)
            fail(systemReason(putError));
    }
}

bool OutputFile::writeRefused() const
{
    return m_writer && m_writer->error() != 0;
}

void OutputFile::cancel()
{
    m_writer.reset();
    m_scratch.discard();
}

void OutputFile::fail(const QString &reason) const
{
    throw Failure(u"Cannot write %1: %2"_s.arg(m_path, reason), m_source);
}
