#include "db/DatabaseFileGuard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <mutex>
#include <sys/stat.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

struct File
{
    uint64_t device;
    uint64_t inode;
    QString where;
};

struct Guarded
{
    std::mutex mutex;
    std::vector<File> files; // once per connection
};

Guarded &guarded()
{
    static Guarded g;
    return g;
}

bool identify(const QString &path, uint64_t &device, uint64_t &inode)
{
    struct stat info
    {
    };
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0 ||
        !S_ISREG(info.st_mode))
        return false;
    device = uint64_t(info.st_dev);
    inode = uint64_t(info.st_ino);
    return true;
}

// Where a path leads, whether the file exists or not: links followed, its folder canonical.
QString whereItLeads(const QString &path)
{
    QFileInfo info(QDir::current().absoluteFilePath(path));
    for (int hops = 0; info.isSymLink() && hops < 40; ++hops)
        info = QFileInfo(info.absoluteDir().absoluteFilePath(info.symLinkTarget()));
    const QString folder = info.absoluteDir().canonicalPath();
    return folder.isEmpty() ? info.absoluteFilePath() : folder + u'/' + info.fileName();
}

const QString sideFileSuffixes[] = {u"-wal"_s, u"-shm"_s, u"-journal"_s};

} // namespace

DatabaseFileGuard::DatabaseFileGuard(const QString &path)
{
    m_guarding = identify(path, m_device, m_inode);
    if (!m_guarding)
        return;
    m_where = whereItLeads(path);
    Guarded &g = guarded();
    const std::lock_guard<std::mutex> lock(g.mutex);
    g.files.push_back({m_device, m_inode, m_where});
}

DatabaseFileGuard::~DatabaseFileGuard()
{
    if (!m_guarding)
        return;
    Guarded &g = guarded();
    const std::lock_guard<std::mutex> lock(g.mutex);
    const auto at = std::find_if(g.files.begin(), g.files.end(), [this](const File &f) {
        return f.device == m_device && f.inode == m_inode && f.where == m_where;
    });
    if (at != g.files.end())
        g.files.erase(at);
}

bool DatabaseFileGuard::isGuarded(const QString &path)
{
    if (path.isEmpty())
        return false;
    uint64_t device = 0, inode = 0;
    const bool exists = identify(path, device, inode);
    const QString where = whereItLeads(path);
    Guarded &g = guarded();
    const std::lock_guard<std::mutex> lock(g.mutex);
    for (const File &f : g.files) {
        if (exists && f.device == device && f.inode == inode)
            return true;
        for (const QString &suffix : sideFileSuffixes) {
            uint64_t sideDevice = 0, sideInode = 0;
            if (where == f.where + suffix ||
                (exists && identify(f.where + suffix, sideDevice, sideInode) &&
                 sideDevice == device && sideInode == inode))
                return true;
        }
    }
    return false;
}
