#include "host/DefaultDatabase.h"

#include "db/Failure.h"
#include "host/DemoDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

QString DefaultDatabase::path()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (folder.isEmpty())
        folder = QDir::homePath() + u"/.local/share"_s;
    return folder + u"/nvrptsales/demo.sqlite"_s;
}

QString DefaultDatabase::ensure(QTextStream &log)
{
    const QString file = path();
    if (!QFileInfo::exists(file)) {
        QDir().mkpath(QFileInfo(file).absolutePath());
        log << "Creating the demo company database " << file << " (first use)..." << Qt::endl;
        try {
            DemoDatabase::create(file, DemoDatabase::Options());
        } catch (const Failure &) {
            // Another first use at the same moment made it first: read that one.
            if (!QFileInfo::exists(file))
                throw;
        }
    }
    return file;
}
