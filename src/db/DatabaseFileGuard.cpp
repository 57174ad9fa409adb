#include "db/DatabaseFileGuard.h"

#include <QFile>
#include <algorithm>
#include <mutex>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace {

struct Guarded
{
    std::mutex mutex;
    std::vector<std::pair<uint64_t, uint64_t>> files; // device, inode; once per connection
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

} // namespace

DatabaseFileGuard::DatabaseFileGuard(const QString &path)
{
    m_guarding = identify(path, m_device, m_inode);
    if (!m_guarding)
        return;
    Guarded &g = guarded();
    const std::lock_guard<std::mutex> lock(g.mutex);
    g.files.emplace_back(m_device, m_inode);
}

DatabaseFileGuard::~DatabaseFileGuard()
{
    if (!m_guarding)
        return;
    Guarded &g = guarded();
    const std::lock_guard<std::mutex> lock(g.mutex);
    const auto at = std::find(g.files.begin(), g.files.end(), std::pair(m_device, m_inode));
    if (at != g.files.end())
        g.files.erase(at);
}

bool DatabaseFileGuard::isGuarded(const QString &path)
{
    uint64_t device = 0, inode = 0;
    if (!identify(path, device, inode))
        return false;
    Guarded &g = guarded();
    const std::lock_guard<std::mutex> lock(g.mutex);
    return std::find(g.files.begin(), g.files.end(), std::pair(device, inode)) != g.files.end();
}
