#include "presentation/LayoutLibrary.h"

#include "db/Failure.h"
#include "presentation/LayoutError.h"
#include "presentation/LayoutParser.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

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
    auto layout = std::make_shared<ReportLayout>(LayoutParser::parse(file.readAll(), path));
    if (layout->name != name)
        throw LayoutError(
            path, u"$.name"_s,
            u"the file is named %1 but holds the layout %2"_s.arg(name, layout->name));
    return layout;
}
