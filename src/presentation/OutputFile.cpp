#include "presentation/OutputFile.h"

#include "db/Failure.h"

#include <QFile>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Qt's words for a failure when it has them, else the system's for the last failed call.
QString reasonOf(const QFileDevice &file, int error)
{
    const QString qt = file.errorString();
    if (error != 0 && (qt.isEmpty() || qt == u"Unknown error"))
        return systemReason(error);
    return qt;
}

} // namespace

OutputFile::OutputFile(QString path, QString source)
    : m_path(std::move(path)), m_source(std::move(source))
{
}

OutputFile::~OutputFile()
{
    if (m_file && m_file->isOpen())
        cancel();
}

QIODevice &OutputFile::open()
{
    if (m_path.isEmpty())
        fail(u"no file name given"_s);
    struct stat info{};
    const QByteArray native = QFile::encodeName(m_path);
    m_direct = ::stat(native.constData(), &info) == 0 && !S_ISREG(info.st_mode);
    if (m_direct && S_ISDIR(info.st_mode))
        fail(systemReason(EISDIR));
    if (m_direct)
        m_file = std::make_unique<QFile>(m_path);
    else
        m_file = std::make_unique<QSaveFile>(m_path);
    errno = 0;
    if (!m_file->open(QIODevice::WriteOnly))
        fail(reasonOf(*m_file, errno));
    return *m_file;
}

void OutputFile::commit(bool written)
{
    if (!m_file || !m_file->isOpen())
        fail(u"the file is not open"_s);
    errno = 0;
    if (!written || m_file->error() != QFileDevice::NoError || !m_file->flush()) {
        const QString reason = reasonOf(*m_file, errno);
        cancel();
        fail(reason.isEmpty() ? u"the data was not all written"_s : reason);
    }
    if (m_direct) {
        m_file->close();
        if (m_file->error() != QFileDevice::NoError)
            fail(reasonOf(*m_file, errno));
        return;
    }
    if (!static_cast<QSaveFile &>(*m_file).commit())
        fail(reasonOf(*m_file, errno));
}

void OutputFile::cancel()
{
    if (!m_file)
        return;
    if (!m_direct)
        static_cast<QSaveFile &>(*m_file).cancelWriting();
    m_file.reset(); // a save file not committed removes what it wrote
}

bool OutputFile::sameFile(const QString &a, const QString &b)
{
    struct stat first{};
    struct stat second{};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

void OutputFile::fail(const QString &reason) const
{
    throw Failure(u"Cannot write %1: %2"_s.arg(m_path, reason), m_source);
}
