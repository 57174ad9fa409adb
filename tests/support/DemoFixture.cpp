#include "DemoFixture.h"

#include "host/DemoDatabase.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <sqlite3.h>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace DemoFixture {

QString temporaryFolder()
{
    static QTemporaryDir folder;
    return folder.path();
}

QDate endDate()
{
    return QDate(2026, 6, 30);
}

namespace {
QByteArray createdHash;
}

QString path()
{
    static const QString file = [] {
        // In a folder of its own, so that any file created beside it shows.
        const QString folder = temporaryFolder() + u"/demo"_s;
        QDir().mkpath(folder);
        const QString name = folder + u"/demo.sqlite"_s;
        DemoDatabase::Options options;
        options.saleLines = 8000;
        options.customers = 300;
        options.endDate = endDate();
        options.seed = 7;
        DemoDatabase::create(name, options);
        createdHash = fileHash(name);
        return name;
    }();
    return file;
}

QString changesToTheDatabase()
{
    if (createdHash.isEmpty())
        return {}; // never generated, never read
    const QString file = path();
    QStringList changes;
    if (fileHash(file) != createdHash)
        changes.append(file + u" changed"_s);
    const QFileInfo info(file);
    for (const QString &entry :
         info.dir().entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (entry != info.fileName())
            changes.append(u"%1 was created beside it"_s.arg(entry));
    }
    return changes.join(u"; "_s);
}

QByteArray fileHash(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result();
}

void write(const QString &path, const QString &sql)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
        throw std::runtime_error("cannot open test database");
    char *message = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message);
    const std::string why = message ? message : "";
    sqlite3_free(message);
    sqlite3_close(db);
    if (rc != SQLITE_OK)
        throw std::runtime_error("test database statement failed: " + why);
}

} // namespace DemoFixture
