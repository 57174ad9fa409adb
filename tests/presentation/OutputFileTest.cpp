#include "db/Failure.h"
#include "presentation/OutputFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// Where an export's bytes end up, whatever its name stands for, and what is left beside it.

namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

mode_t permissionsOf(const QString &path)
{
    struct stat info
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                      QDir::NoDotAndDotDot,
                                  QDir::Name);
}

// Writes text through an OutputFile named name and puts it in place.
void write(const QString &name, const QByteArray &text,
           OutputFile::Placement placement = OutputFile::Placement::WhenComplete)
{
    OutputFile output(name, u"test"_s, placement);
    output.open().write(text);
    output.commit();
}

QString failureOf(const std::function<void()> &work)
{
    try {
        work();
    } catch (const Failure &f) {
        return f.description();
    }
    return {};
}

} // namespace

// Links are written through, to a file that is there or not yet; the links stay links; nothing
// else is left in either folder.
TEST(OutputFile, WritesThroughLinksEvenToNoFileYet)
{
    QTemporaryDir folder, elsewhere;
    const QString existing = elsewhere.filePath(u"kept.csv"_s);
    put(existing, "old\n");
    struct Case
    {
        const char *link;   // in folder
        QString pointsTo;   // as the link is written
        QString file;       // the file that must hold the text
    } cases[] = {
        {"to-existing", existing, existing},
        {"dangling", elsewhere.filePath(u"new.csv"_s), elsewhere.filePath(u"new.csv"_s)},
        {"relative-dangling", u"../"_s + QFileInfo(elsewhere.path()).fileName() + u"/rel.csv"_s,
         elsewhere.filePath(u"rel.csv"_s)},
        {"to-dangling", folder.filePath(u"dangling"_s), elsewhere.filePath(u"new.csv"_s)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.link);
        const QString link = folder.filePath(QString::fromLatin1(c.link));
        ASSERT_EQ(::symlink(QFile::encodeName(c.pointsTo).constData(),
                            QFile::encodeName(link).constData()),
                  0);
        write(link, QByteArray(c.link) + '\n');
        EXPECT_TRUE(QFileInfo(link).isSymLink());
        EXPECT_EQ(contentOf(c.file), QByteArray(c.link) + '\n');
    }
    EXPECT_EQ(entries(folder.path()).size(), qsizetype(std::size(cases)));
    EXPECT_EQ(entries(elsewhere.path()), (QStringList{u"kept.csv"_s, u"new.csv"_s, u"rel.csv"_s}));

    // A loop of links names no file at all.
    const QString a = folder.filePath(u"a"_s), b = folder.filePath(u"b"_s);
    ASSERT_EQ(::symlink("b", QFile::encodeName(a).constData()), 0);
    ASSERT_EQ(::symlink("a", QFile::encodeName(b).constData()), 0);
    EXPECT_TRUE(failureOf([&] { write(a, "x"); }).contains(u"Too many levels of symbolic links"_s));
    EXPECT_TRUE(QFileInfo(a).isSymLink() && QFileInfo(b).isSymLink());
}

// While an export is written it has no name: a process killed then (even by kill -9, which no
// handler sees) leaves nothing. Finished, it has the permissions of the file it replaced.
TEST(OutputFile, HasNoNameUntilCompleteAndKeepsThePermissions)
{
    QTemporaryDir folder;
    const QString target = folder.filePath(u"report.pdf"_s);
    put(target, "yesterday");
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0640), 0);
    for (bool complete : {false, true}) {
        OutputFile output(target, u"test"_s);
        output.open().write(QByteArray(1 << 20, 'x'));
        EXPECT_TRUE(output.flush());
        EXPECT_EQ(entries(folder.path()), QStringList{u"report.pdf"_s});
        EXPECT_EQ(contentOf(target), "yesterday");
        if (complete)
            output.commit();
        else
            output.cancel();
    }
    EXPECT_EQ(contentOf(target), QByteArray(1 << 20, 'x'));
    EXPECT_EQ(permissionsOf(target), 0640u);
    EXPECT_EQ(entries(folder.path()), QStringList{u"report.pdf"_s});
}

// /dev/fd/N is the descriptor the program was given, as it was given: a file opened for
// appending is appended to, and one that is closed or read-only is refused with the system's
// reason.
TEST(OutputFile, DescriptorNamesAreTheOpenDescriptors)
{
    QTemporaryDir folder;
    const QString log = folder.filePath(u"log"_s);
    put(log, "earlier\n");
    const int appending = ::open(QFile::encodeName(log).constData(), O_WRONLY | O_APPEND);
    const int readOnly = ::open(QFile::encodeName(log).constData(), O_RDONLY);
    const int closed = ::dup(readOnly);
    ::close(closed);
    ASSERT_GE(appending, 0);
    ASSERT_GE(readOnly, 0);
    const auto name = [](const char *prefix, int fd) -> QString {
        return QString::fromLatin1(prefix) + QString::number(fd);
    };

    write(name("/dev/fd/", appending), "appended\n");
    write(name("/proc/self/fd/", appending), "again\n", OutputFile::Placement::InPlace);
    EXPECT_EQ(contentOf(log), "earlier\nappended\nagain\n");
    EXPECT_EQ(entries(folder.path()), QStringList{u"log"_s});

    EXPECT_GE(::fcntl(appending, F_GETFD), 0); // still open for the program's other writes

    EXPECT_TRUE(failureOf([&] { write(name("/dev/fd/", readOnly), "x"); })
                    .contains(u"Bad file descriptor"_s));
    EXPECT_TRUE(failureOf([&] { write(name("/dev/fd/", closed), "x"); })
                    .contains(u"Bad file descriptor"_s));
    EXPECT_EQ(contentOf(log), "earlier\nappended\nagain\n");
    for (int fd : {appending, readOnly})
        ::close(fd);
}

// In place, a trace is truncated at once and readable as it is written.
TEST(OutputFile, InPlaceIsReadableWhileWritten)
{
    QTemporaryDir folder;
    const QString trace = folder.filePath(u"trace"_s);
    put(trace, "an earlier run\n");
    OutputFile output(trace, u"test"_s, OutputFile::Placement::InPlace);
    QIODevice &device = output.open();
    EXPECT_EQ(contentOf(trace), QByteArray());
    device.write("first line\n");
    ASSERT_TRUE(output.flush());
    EXPECT_EQ(contentOf(trace), "first line\n");
    output.commit();
    EXPECT_EQ(entries(folder.path()), QStringList{u"trace"_s});
}
