#include "DemoFixture.h"

#include "host/DemoDatabase.h"

#include <QCryptographicHash>
#include <QFile>
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

QString path()
{
    static const QString file = [] {
        const QString name = temporaryFolder() + u"/demo.sqlite"_s;
        DemoDatabase::Options options;
        options.saleLines = 8000;
        options.customers = 300;
        options.endDate = endDate();
        options.seed = 7;
        DemoDatabase::create(name, options);
        return name;
    }();
    return file;
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
