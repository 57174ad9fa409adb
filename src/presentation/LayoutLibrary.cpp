#include "presentation/LayoutLibrary.h"

#include "db/Failure.h"
#include "presentation/LayoutError.h"
#include "presentation/LayoutParser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {
constexpr qint64 maxLayoutBytes = 4 * 1024 * 1024;
}

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
    QString path = userFolder() + u"/"_s + name + u".json"_s;
    if (!QFile::exists(path))
        path = u":/layouts/"_s + name + u".json"_s;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(u"There is no report layout named %1"_s.arg(name),
                      Failure::layoutSource());
    // A layout is a few kilobytes; a device, a pipe or a runaway file is refused before it is
    // read, and reading stops at the limit whatever the file claims.
    if (!path.startsWith(u':') && !QFileInfo(path).isFile())
        throw LayoutError(path, u"$"_s, u"the layout is not a regular file"_s);
    const QByteArray json = file.read(maxLayoutBytes + 1);
    if (json.size() > maxLayoutBytes)
        throw LayoutError(path, u"$"_s,
                          u"the layout file is larger than %1 bytes"_s.arg(maxLayoutBytes));
    auto layout = std::make_shared<ReportLayout>(LayoutParser::parse(json, path));
    if (layout->name != name)
        throw LayoutError(
            path, u"$.name"_s,
            u"the file is named %1 but holds the layout %2"_s.arg(name, layout->name));
    return layout;
}
