#include "presentation/OutputFile.h"

#include "db/DatabaseFileGuard.h"
#include "db/Failure.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
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

} // namespace

// Writes to a file descriptor through a buffer of its own and keeps the system's error of
// the first write that failed: Qt's file classes lose it ("Unknown error") on a full disk.
class OutputFile::Writer : public QIODevice
{
public:
    explicit Writer(int fd) : m_fd(fd) { QIODevice::open(WriteOnly | Unbuffered); }
    ~Writer() override
    {
        if (m_fd >= 0)
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
        if (::close(m_fd) != 0 && m_error == 0 && errno != EINTR)
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
    int m_error = 0;
    QByteArray m_buffer;
};

OutputFile::OutputFile(QString path, QString source)
    : m_path(std::move(path)), m_source(std::move(source))
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
    const QFileInfo info(m_path);
    // A link is followed: the file it points to is the one replaced, the link stays.
    m_target = QFile::encodeName(info.exists() ? info.canonicalFilePath() : m_path);
    struct stat existing
    {
    };
    const bool exists = ::stat(m_target.constData(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        fail(systemReason(EISDIR));
    int fd = -1;
    if (exists && !S_ISREG(existing.st_mode)) {
        fd = ::open(m_target.constData(), O_WRONLY | O_CLOEXEC);
        if (fd < 0)
            fail(systemReason(errno));
        m_temporary.clear();
    } else {
        const QFileInfo target(QFile::decodeName(m_target));
        m_temporary =
            QFile::encodeName(target.absolutePath() + u"/."_s + target.fileName() + u".XXXXXX"_s);
        fd = ::mkostemp(m_temporary.data(), O_CLOEXEC);
        if (fd < 0)
            fail(systemReason(errno));
        ::fchmod(fd, exists ? (existing.st_mode & 07777) : newFileMode());
    }
    m_writer = std::make_unique<Writer>(fd);
    return *m_writer;
}

void OutputFile::commit(bool written)
{
    if (!m_writer)
        fail(u"the file is not open"_s);
    const bool direct = m_temporary.isEmpty();
    const bool finished = m_writer->finish(!direct);
    const int error = m_writer->error();
    if (!finished || !written) {
        cancel();
        fail(error != 0 ? systemReason(error) : u"the data was not all written"_s);
    }
    m_writer.reset();
    if (!direct && ::rename(m_temporary.constData(), m_target.constData()) != 0) {
        const int renameError = errno;
        ::unlink(m_temporary.constData());
        fail(systemReason(renameError));
    }
}

bool OutputFile::writeRefused() const
{
    return m_writer && m_writer->error() != 0;
}

void OutputFile::cancel()
{
    m_writer.reset();
    if (!m_temporary.isEmpty())
        ::unlink(m_temporary.constData());
    m_temporary.clear();
}

void OutputFile::fail(const QString &reason) const
{
    throw Failure(u"Cannot write %1: %2"_s.arg(m_path, reason), m_source);
}
