#include "host/DemoDatabase.h"

#include "db/Failure.h"
#include "host/DemoGenerator.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Puts the finished file at its place unless something is there already: atomic, so that
// of several programs creating the same database at once exactly one wins and none ever
// sees half a file. False when the place is taken.
bool placeWithoutReplacing(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0)
        return true;
    if (errno == EEXIST)
        return false;
    // File systems without an exclusive rename still have an exclusive link.
    if (::link(source.constData(), target.constData()) == 0) {
        ::unlink(source.constData());
        return true;
    }
    if (errno == EEXIST)
        return false;
    throw Failure(u"Cannot move the new database to %1: %2"_s.arg(
                      to, QString::fromLocal8Bit(std::strerror(errno))),
                  Failure::componentSource());
}

} // namespace

void DemoDatabase::create(const QString &path, const Options &options)
{
    const auto exists = [&] {
        return Failure(
            u"%1 already exists; the demo database is only written to a new file"_s.arg(path),
            Failure::componentSource());
    };
    if (QFileInfo::exists(path))
        throw exists();
    if (!options.endDate.isValid())
        throw Failure(u"The end date is not a valid date"_s, Failure::componentSource());
    // A name of its own beside the target: another program creating the same file at the
    // same time has its own.
    const QFileInfo target(path);
    QTemporaryFile reserved(target.absolutePath() + u"/."_s + target.fileName() +
                            u"-XXXXXX.partial"_s);
    if (!reserved.open())
        throw Failure(u"Cannot create %1: %2"_s.arg(path, reserved.errorString()), u"SQLite"_s);
    reserved.close(); // SQLite writes it; the reservation removes it unless it was placed

    sqlite3 *db = nullptr;
    const QByteArray file = QFile::encodeName(reserved.fileName());
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        const QString why = QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close(db);
        throw Failure(u"Cannot create %1: %2"_s.arg(path, why), u"SQLite"_s);
    }
    try {
        sqlite3_exec(
            db, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; PRAGMA page_size = 8192;",
            nullptr, nullptr, nullptr);
        DemoGenerator::fill(db, options);
        if (sqlite3_close(db) != SQLITE_OK)
            throw Failure(u"Cannot finish writing %1"_s.arg(path), u"SQLite"_s);
        db = nullptr;
        // A database is read by others: the reservation's owner-only mode is not its own.
        QFile::setPermissions(reserved.fileName(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                  QFileDevice::ReadGroup | QFileDevice::ReadOther);
        if (!placeWithoutReplacing(reserved.fileName(), path))
            throw exists();
        reserved.setAutoRemove(false);
    } catch (...) {
        if (db)
            sqlite3_close(db);
        throw;
    }
}

QString DemoDatabase::companyName()
{
    return u"Norvale Agro Distributors (Pvt) Ltd."_s;
}
