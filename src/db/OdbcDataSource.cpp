#include "db/OdbcDataSource.h"

#include "db/Failure.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <dlfcn.h>
#include <elf.h>
#include <odbcinst.h>
#include <sql.h>

using namespace Qt::StringLiterals;

namespace {

// One entry of the driver manager's configuration (odbc.ini or odbcinst.ini), read as the
// driver manager reads it: the user's file first, then the system's.
QString profileEntry(const QString &section, const QString &key, const char *file)
{
    char buffer[4096] = {};
    const QByteArray s = section.toUtf8();
    const QByteArray k = key.toUtf8();
    const int length =
        SQLGetPrivateProfileString(s.constData(), k.constData(), "", buffer, sizeof buffer, file);
    return length > 0 ? QString::fromUtf8(buffer, qMin(length, int(sizeof buffer) - 1)) : QString();
}

// The libraries a shared object asks the loader for (its DT_NEEDED entries).
QStringList neededLibraries(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < qint64(sizeof(Elf64_Ehdr)))
        return {};
    const uchar *data = file.map(0, file.size());
    if (!data)
        return {};
    const auto size = size_t(file.size());
    const auto *header = reinterpret_cast<const Elf64_Ehdr *>(data);
    if (memcmp(header->e_ident, ELFMAG, SELFMAG) != 0 || header->e_ident[EI_CLASS] != ELFCLASS64 ||
        header->e_shentsize != sizeof(Elf64_Shdr) ||
        header->e_shoff + size_t(header->e_shnum) * sizeof(Elf64_Shdr) > size)
        return {};
    const auto *sections = reinterpret_cast<const Elf64_Shdr *>(data + header->e_shoff);
    QStringList needed;
    for (int i = 0; i < header->e_shnum; ++i) {
        const Elf64_Shdr &dynamic = sections[i];
        if (dynamic.sh_type != SHT_DYNAMIC || dynamic.sh_link >= header->e_shnum ||
            dynamic.sh_offset + dynamic.sh_size > size)
            continue;
        const Elf64_Shdr &strings = sections[dynamic.sh_link];
        if (strings.sh_offset + strings.sh_size > size)
            continue;
        const auto *entries = reinterpret_cast<const Elf64_Dyn *>(data + dynamic.sh_offset);
        for (size_t e = 0; e < dynamic.sh_size / sizeof(Elf64_Dyn); ++e) {
            if (entries[e].d_tag == DT_NEEDED && entries[e].d_un.d_val < strings.sh_size) {
                const char *name = reinterpret_cast<const char *>(data + strings.sh_offset +
                                                                  entries[e].d_un.d_val);
                needed.append(QString::fromUtf8(
                    name, qsizetype(strnlen(name, strings.sh_size - entries[e].d_un.d_val))));
            }
        }
    }
    return needed;
}

// A library named without a folder is found where the driver manager looks for it: the
// loader's path, then the drivers' folder beside the driver manager's own library.
QString locateLibrary(const QString &name)
{
    if (name.isEmpty() || name.contains(u'/'))
        return name;
    QStringList folders = qEnvironmentVariable("LD_LIBRARY_PATH").split(u':', Qt::SkipEmptyParts);
    Dl_info self{};
    if (::dladdr(reinterpret_cast<void *>(&SQLAllocHandle), &self) != 0 && self.dli_fname) {
        const QString managerFolder =
            QFileInfo(QString::fromLocal8Bit(self.dli_fname)).absolutePath();
        folders << managerFolder + u"/odbc"_s << managerFolder;
    }
    for (const QString &folder : std::as_const(folders)) {
        const QFileInfo candidate(folder + u'/' + name);
        if (candidate.isFile())
            return candidate.absoluteFilePath();
    }
    return name;
}

} // namespace

OdbcDataSource OdbcDataSource::resolve(const OdbcConnectionString &connection)
{
    const bool named = connection.contains(u"DRIVER"_s);
    const QString driver = connection.value(u"DRIVER"_s);
    QString dsn = connection.value(u"DSN"_s);
    if (named && driver.isEmpty())
        throw Failure(u"The ODBC connection string names an empty driver"_s,
                      Failure::componentSource());
    if (named && !dsn.isEmpty())
        throw Failure(u"The ODBC connection string names both a data source (DSN) and a driver "
                      u"(DRIVER); give one of them"_s,
                      Failure::componentSource());
    if (!named && dsn.isEmpty())
        dsn = u"DEFAULT"_s; // where the driver manager looks when neither is given

    OdbcDataSource source;
    QString driverName = driver;
    if (!named) {
        driverName = profileEntry(dsn, u"Driver"_s, "odbc.ini");
        source.m_database = profileEntry(dsn, u"Database"_s, "odbc.ini");
    }
    if (connection.contains(u"Database"_s))
        source.m_database = connection.value(u"Database"_s);
    // An entry names its driver by a driver entry's name or by the library itself.
    QString library = driverName.startsWith(u'/')
                          ? driverName
                          : profileEntry(driverName, u"Driver"_s, "odbcinst.ini");
    source.m_library = locateLibrary(library.isEmpty() ? driverName : library);
    source.m_kind = kindOfLibrary(source.m_library);
    if (source.m_kind == DriverKind::Unknown)
        source.m_kind = kindOfName(driverName);
    return source;
}

QString OdbcDataSource::readOnly(OdbcConnectionString connection, DriverKind kind,
                                 const QString &file)
{
    if (kind == DriverKind::Sqlite) {
        QString uri = QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded);
        // The SQLite driver reads a value up to the next ";" and keeps braces as they are.
        uri.replace(u";"_s, u"%3B"_s).replace(u"{"_s, u"%7B"_s).replace(u"}"_s, u"%7D"_s);
        connection.set(u"Database"_s, uri + u"?mode=ro"_s);
        connection.set(u"NoCreat"_s, u"1"_s);
        connection.set(u"StepAPI"_s, u"1"_s);
    } else if (kind == DriverKind::SqlServer) {
        connection.set(u"ApplicationIntent"_s, u"ReadOnly"_s);
    }
    return connection.toString();
}

OdbcDataSource::DriverKind OdbcDataSource::kindOfLibrary(const QString &library)
{
    if (library.isEmpty())
        return DriverKind::Unknown;
    const QString file = QFileInfo(library).canonicalFilePath();
    QStringList names = neededLibraries(file.isEmpty() ? library : file);
    names.append(QFileInfo(file.isEmpty() ? library : file).fileName());
    for (const QString &name : std::as_const(names)) {
        if (name.contains(u"sqlite"_s, Qt::CaseInsensitive))
            return DriverKind::Sqlite;
    }
    for (const QString &name : std::as_const(names)) {
        if (name.contains(u"msodbcsql"_s, Qt::CaseInsensitive) ||
            name.contains(u"tdsodbc"_s, Qt::CaseInsensitive) ||
            name.startsWith(u"libsybdb"_s, Qt::CaseInsensitive))
            return DriverKind::SqlServer;
    }
    return DriverKind::Unknown;
}

OdbcDataSource::DriverKind OdbcDataSource::kindOfName(const QString &driverName)
{
    if (driverName.contains(u"sqlite"_s, Qt::CaseInsensitive))
        return DriverKind::Sqlite;
    if (driverName.contains(u"SQL Server"_s, Qt::CaseInsensitive) ||
        driverName.contains(u"FreeTDS"_s, Qt::CaseInsensitive))
        return DriverKind::SqlServer;
    return DriverKind::Unknown;
}
