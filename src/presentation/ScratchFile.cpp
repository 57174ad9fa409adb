#include "presentation/ScratchFile.h"

#include <QRandomGenerator>
#include <QStringBuilder>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray descriptorName(int fd)
{
    return QByteArray("/proc/self/fd/") + QByteArray::number(fd);
}

QByteArray hiddenNameBeside(const QByteArray &target)
{
    const qsizetype slash = target.lastIndexOf('/');
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray suffix(8, 'x');
    for (char &c : suffix)
        c = letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))];
    return target.left(slash + 1) + QByteArray(".") + target.mid(slash + 1) + QByteArray(".") + suffix;
}

} // namespace

int ScratchFile::create(const QByteArray &folder, mode_t mode)
{
    discard();
    // Linking an unnamed file into place goes through its /proc name: without /proc mounted,
    // a named file is the only way.
    if (::access("/proc/self/fd", X_OK) == 0) {
        m_fd = ::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
        if (m_fd >= 0)
            return ::fchmod(m_fd, mode) == 0 ? 0 : errno;
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return errno;
    }
    QByteArray name = folder + QByteArray("/.nvrptsales.XXXXXX");
    m_fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (m_fd < 0)
        return errno;
    m_name = name;
    m_cleanup = SignalCleanup(m_name, SignalCleanup::Kind::File);
    return ::fchmod(m_fd, mode) == 0 ? 0 : errno;
}

QByteArray ScratchFile::openName() const
{
    return m_name.isEmpty() ? descriptorName(m_fd) : m_name;
}

int ScratchFile::putAt(const QByteArray &target)
{
    int error = 0;
    if (!m_name.isEmpty()) {
        if (::rename(m_name.constData(), target.constData()) == 0)
            m_name.clear();
        else
            error = errno;
    } else if (::linkat(AT_FDCWD, descriptorName(m_fd).constData(), AT_FDCWD,
                        target.constData(), AT_SYMLINK_FOLLOW) != 0) {
        // A link never replaces a file: one that is there is replaced by a rename, from a
        // hidden name held only for that moment.
        error = errno;
        for (int attempt = 0; error == EEXIST && attempt < 16; ++attempt) {
            const QByteArray hidden = hiddenNameBeside(target);
            SignalCleanup cleanup(hidden, SignalCleanup::Kind::File);
            if (::linkat(AT_FDCWD, descriptorName(m_fd).constData(), AT_FDCWD, hidden.constData(),
                         AT_SYMLINK_FOLLOW) != 0) {
                error = errno;
                if (error == EEXIST)
                    continue; // the hidden name was taken: another one
                break;
            }
            error = ::rename(hidden.constData(), target.constData()) == 0 ? 0 : errno;
            if (error != 0)
                ::unlink(hidden.constData());
        }
    }
    discard();
    return error;
}

void ScratchFile::discard()
{
    if (!m_name.isEmpty())
        ::unlink(m_name.constData());
    m_name.clear();
    m_cleanup.release();
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}
