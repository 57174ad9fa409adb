#include "DemoFixture.h"
#include "host/CliStatus.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// The real program under misuse and attack: outputs never destroy what is there, nothing is
// made where others could plant something, status 0 only when true.

namespace {

struct Outcome
{
    int status = -1;
    QString err;
};

// The real program, as a script runs it.
Outcome program(const QStringList &arguments,
                const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment(),
                const QString &stdoutFile = QString(), const std::function<void()> &limits = {})
{
    QProcess p;
    p.setProcessEnvironment(env);
    if (limits)
        p.setChildProcessModifier(limits);
    if (!stdoutFile.isEmpty())
        p.setStandardOutputFile(stdoutFile);
    p.start(QStringLiteral(NVR_EXECUTABLE), arguments);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return {};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
}

QStringList june(const QString &db)
{
    return {u"report"_s, u"sales-register"_s, u"--db"_s, db,
            u"--from"_s, u"2026-06-29"_s,     u"--to"_s, u"2026-06-30"_s};
}

mode_t modeOf(const QString &path)
{
    struct stat info
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode : 0;
}

} // namespace

TEST(CommandSafety, DevicesAndPipesAreWrittenDirectlyNeverReplaced)
{
    QTemporaryDir folder;
    // A named pipe that the test holds open both ways, so the writer never waits for a reader.
    const QString pipe = folder.filePath(u"rows.pipe"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const int fd = ::open(QFile::encodeName(pipe).constData(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    const Outcome toPipe = program(june(DemoFixture::path()) << u"--csv"_s << pipe);
    EXPECT_EQ(toPipe.status, CliStatus::Ok) << toPipe.err.toStdString();
    EXPECT_TRUE(S_ISFIFO(modeOf(pipe)));
    QByteArray received(1 << 16, '\0');
    const ssize_t got = ::read(fd, received.data(), size_t(received.size()));
    ::close(fd);
    ASSERT_GT(got, 0);
    EXPECT_TRUE(received.startsWith("sectorname,townname,saleid"));

    // A device that is full: the report fails with the cause, and the device stays a device.
    // As root, a private twin of /dev/full, so that a fault here could never replace the real one.
    QString full = u"/dev/full"_s;
    if (::geteuid() == 0) {
        full = folder.filePath(u"full"_s);
        if (::mknod(QFile::encodeName(full).constData(), S_IFCHR | 0600, makedev(1, 7)) != 0)
            GTEST_SKIP() << "cannot make a private full device";
    }
    for (const QString &option : {u"--csv"_s, u"--pdf"_s, u"--xlsx"_s}) {
        const Outcome toFull = program(june(DemoFixture::path()) << option << full);
        EXPECT_EQ(toFull.status, CliStatus::Failure) << option.toStdString();
        EXPECT_TRUE(toFull.err.contains(u"No space left on device"_s)) << toFull.err.toStdString();
        EXPECT_TRUE(S_ISCHR(modeOf(full)));
    }
}

// Small outputs sit in a buffer until the end: the final flush must be checked too.
TEST(CommandSafety, StandardOutputThatCannotBeWrittenIsAFailure)
{
    for (const QStringList &arguments :
         {QStringList{u"query"_s, u"--db"_s, DemoFixture::path(), u"select 1 as one"_s},
          QStringList{u"--help"_s}, june(DemoFixture::path())}) {
        const Outcome r =
            program(arguments, QProcessEnvironment::systemEnvironment(), u"/dev/full"_s);
        EXPECT_EQ(r.status, CliStatus::Failure) << arguments.join(u' ').toStdString();
        if (arguments.front() != u"report") {
            EXPECT_TRUE(r.err.contains(u"No space left on device"_s)) << r.err.toStdString();
        }
    }
}

// Qt wants a runtime folder; without a session the program gives it a private one, and
// makes nothing of a predictable name in the shared temporary folder, where another user
// could have planted a link.
TEST(CommandSafety, NothingOfAPredictableNameInTheSharedTemporaryFolder)
{
    QTemporaryDir shared;
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QFile::setPermissions(
        elsewhere.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                              QFileDevice::ReadOther | QFileDevice::ExeOther));
    const mode_t modeBefore = modeOf(elsewhere.path());
    const QString planted = shared.filePath(u"nvrptsales-runtime-"_s + QString::number(::getuid()));
    ASSERT_TRUE(QFile::link(elsewhere.path(), planted));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"TMPDIR"_s, shared.path());
    for (const char *name : {"XDG_RUNTIME_DIR", "QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QString::fromLatin1(name));
    QTemporaryDir out;
    const Outcome r =
        program(june(DemoFixture::path()) << u"--pdf"_s << out.filePath(u"r.pdf"_s), env);
    EXPECT_EQ(r.status, CliStatus::Ok) << r.err.toStdString();
    EXPECT_EQ(modeOf(elsewhere.path()), modeBefore);
    EXPECT_TRUE(QDir(elsewhere.path()).isEmpty());
    EXPECT_EQ(QDir(shared.path())
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
              QStringList{QFileInfo(planted).fileName()});
}

// Several first uses at once: one creates the default database and says so, the others
// read it, and nothing but the database is left in its folder.
TEST(CommandSafety, FirstUsesAtOnceAllReadTheOneDefaultDatabase)
{
    QTemporaryDir data;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"XDG_DATA_HOME"_s, data.path());
    std::vector<std::unique_ptr<QProcess>> runs;
    for (int i = 0; i < 4; ++i) {
        runs.push_back(std::make_unique<QProcess>());
        runs.back()->setProcessEnvironment(env);
        runs.back()->start(QStringLiteral(NVR_EXECUTABLE),
                           {u"query"_s, u"select registrykey from Project_registry order by 1"_s});
    }
    QString errors;
    for (auto &p : runs) {
        ASSERT_TRUE(p->waitForFinished(120000));
        errors += QString::fromUtf8(p->readAllStandardError());
        EXPECT_EQ(p->exitCode(), CliStatus::Ok) << errors.toStdString();
        EXPECT_EQ(p->readAllStandardOutput(), "registrykey\r\ncompanyname\r\nperiodstart\r\n");
    }
    EXPECT_TRUE(errors.contains(u"demo"_s));
    EXPECT_EQ(QDir(data.filePath(u"nvrptsales"_s))
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{u"demo.sqlite"_s});
}

// Rows go out as the statement yields them: even an endless one prints at once, in a process
// whose memory is capped far below what holding its rows would take.
TEST(CommandSafety, QueryStreamsRowsAsTheyCome)
{
    QProcess p;
    p.setChildProcessModifier([] {
        const rlimit cap{128u << 20, 128u << 20};
        ::setrlimit(RLIMIT_DATA, &cap);
    });
    p.start(QStringLiteral(NVR_EXECUTABLE),
            {u"query"_s, u"--db"_s, DemoFixture::path(),
             u"with n as (select 1 as i union all select i + 1 from n) "
             u"select i, i * 2 as j, i * 0.5 as k from n"_s});
    QByteArray received;
    const QDeadlineTimer deadline(60000);
    while (received.count('\n') <= 10000 && p.state() != QProcess::NotRunning &&
           !deadline.hasExpired())
        if (p.waitForReadyRead(int(deadline.remainingTime())))
            received += p.readAllStandardOutput();
    const bool stillRunning = p.state() == QProcess::Running;
    p.kill();
    p.waitForFinished();
    EXPECT_TRUE(stillRunning) << p.readAllStandardError().toStdString();
    const QList<QByteArray> lines = received.split('\n');
    ASSERT_GT(lines.size(), 10000);
    EXPECT_EQ(lines.front(), "i,j,k\r");
    for (int i = 1; i < 10000; ++i) // every row once, in order, across the batches
        ASSERT_EQ(lines[i], QByteArray::number(i) + ',' + QByteArray::number(2 * i) + ',' +
                                QByteArray::number(i * 0.5) + '\r');
}

// A write the system refuses part way (here: a file size cap, as a full disk would) fails
// with the system's reason, and the file that was there stays whole, with nothing beside it.
TEST(CommandSafety, AFailedExportSaysWhyAndLeavesThePreviousFileWhole)
{
    QTemporaryDir folder;
    for (const QString &option : {u"--csv"_s, u"--pdf"_s}) {
        const QString target = folder.filePath(u"report"_s);
        QFile previous(target);
        ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
        previous.write("the report of yesterday\n");
        previous.close();

        const Outcome r = program(
            {u"report"_s, u"sales-register"_s, u"--db"_s, DemoFixture::path(), option, target},
            QProcessEnvironment::systemEnvironment(), QString(), [] {
                const rlimit cap{16384, 16384};
                ::setrlimit(RLIMIT_FSIZE, &cap);
                ::signal(SIGXFSZ, SIG_IGN); // the refused write then says why instead of killing
            });
        EXPECT_EQ(r.status, CliStatus::Failure) << option.toStdString();
        EXPECT_TRUE(r.err.contains(u"File too large"_s)) << r.err.toStdString();
        ASSERT_TRUE(previous.open(QIODevice::ReadOnly));
        EXPECT_EQ(previous.readAll(), QByteArray("the report of yesterday\n"));
        previous.close();
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{u"report"_s});
    }
}
