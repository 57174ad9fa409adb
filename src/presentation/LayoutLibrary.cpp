#include "presentation/LayoutLibrary.h"

#include "db/Failure.h"
#include "presentation/LayoutError.h"
#include "presentation/LayoutParser.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
constexpr qint64 maxLayoutBytes = 4 * 1024 * 1024;

// The text of a layout in the user's folder; info: what its name stood for. Throws
// LayoutError.
QByteArray readUserLayout(const QString &path, const struct stat &info)
{
    // A layout is a few kilobytes; a device, a pipe or a runaway file is refused before it is
    // opened (opening a pipe waits for a writer), and again by what was opened, in case the
    // name was replaced in between. Reading stops at the limit whatever the file claims.
    const auto notRegular = [&] {
        return LayoutError(path, u"$"_s, u"the layout is not a regular file"_s);
    };
    if (!S_ISREG(info.st_mode))
        throw notRegular();
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        throw LayoutError(path, u"$"_s, QString::fromLocal8Bit(std::strerror(errno)));
    QFile file;
    struct stat opened
    {
    };
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        throw notRegular();
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw LayoutError(path, u"$"_s, file.errorString());
    }
    QByteArray json = file.read(maxLayoutBytes + 1);
    if (json.size() > maxLayoutBytes)
        throw LayoutError(path, u"$"_s,
                          u"the layout file is larger than %1 bytes"_s.arg(maxLayoutBytes));
    return json;
}

} // namespace

QString LayoutLibrary::userFolder()
{
    const QString given = qEnvironmentVariable("NVRPTSALES_LAYOUTS");
    if (!given.isEmpty())
        return given;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           u"/nvrptsales/layouts"_s;
}

QStringList LayoutLibrary::builtInNames()
{
    QStringList names;
    for (const QString &file :
         QDir(u":/layouts"_s).entryList({u"*.json"_s}, QDir::Files, QDir::Name))
        names.append(file.chopped(5));
    return names;
}

std::shared_ptr<const ReportLayout> LayoutLibrary::load(const QString &name)
{
    const QString userPath = userFolder() + u"/"_s + name + u".json"_s;
    QString path = userPath;
    QByteArray json;
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(userPath).constData(), &info) == 0) {
        json = readUserLayout(userPath, info);
    } else {
        path = u":/layouts/"_s + name + u".json"_s;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw Failure(u"There is no report layout named %1"_s.arg(name),
                          Failure::layoutSource());
        json = file.readAll();
    }
    auto layout = std::make_shared<ReportLayout>(LayoutParser::parse(json, path));
    if (layout->name != name)
        throw LayoutError(
            path, u"$.name"_s,
            u"the file is named %1 but holds the layout %2"_s.arg(name, layout->name));
    return layout;
}

