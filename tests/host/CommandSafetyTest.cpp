#include "DemoFixture.h"
#include "host/CliStatus.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
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

// Neither a session's runtime folder nor a display: the program makes its own runtime folder
// in TMPDIR, the folder the test watches.
QProcessEnvironment privateEnvironment(const QString &tmp)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"TMPDIR"_s, tmp);
    for (const char *name : {"XDG_RUNTIME_DIR", "QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QString::fromLatin1(name));
    return env;
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

    QTemporaryDir out;
    const Outcome r = program(june(DemoFixture::path()) << u"--pdf"_s << out.filePath(u"r.pdf"_s),
                              privateEnvironment(shared.path()));
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
#ifndef __SANITIZE_ADDRESS__
    // AddressSanitizer's shadow memory alone exceeds the cap: under it, rows are still seen to
    // stream, and the flat memory is left to the ordinary build.
    p.setChildProcessModifier([] {
        const rlimit cap{128u << 20, 128u << 20};
        ::setrlimit(RLIMIT_DATA, &cap);
    });
#endif
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

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

// Whether the process has a file open in one of the folders other than the export's own name
// (which it has once it is in place): an export being written.
bool writesInto(qint64 pid, const QStringList &folders, const QString &target)
{
    const QString fds = u"/proc/%1/fd"_s.arg(pid);
    for (const QString &fd : QDir(fds).entryList(QDir::Files | QDir::System)) {
        QByteArray open(4096, '\0');
        const ssize_t length = ::readlink(QFile::encodeName(fds + u'/' + fd).constData(),
                                          open.data(), size_t(open.size()));
        open.truncate(std::max<ssize_t>(length, 0));
        for (const QString &folder : folders)
            if (open.startsWith(QByteArray(QFile::encodeName(folder) + '/')) &&
                open != QFile::encodeName(target))
                return true;
    }
    return false;
}

// Stops the process once it writes into one of the folders; false when it ended first.
bool stoppedWhileWriting(QProcess &p, const QStringList &folders, const QString &target)
{
    const QDeadlineTimer deadline(60000);
    while (p.state() == QProcess::Running && !deadline.hasExpired()) {
        if (writesInto(p.processId(), folders, target)) {
            ::kill(pid_t(p.processId()), SIGSTOP);
            if (writesInto(p.processId(), folders, target)) // still: it cannot get any further
                return true;
            ::kill(pid_t(p.processId()), SIGCONT);
        }
        ::usleep(500);
    }
    return false;
}

// As a shell starts a program: signals at their defaults, whatever the test process ignores.
void startAsAShellDoes(QProcess &p, const QStringList &arguments)
{
    p.setChildProcessModifier([] {
        for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
            ::signal(signal, SIG_DFL);
    });
    p.start(QStringLiteral(NVR_EXECUTABLE), arguments);
}

} // namespace

// An export ended by a signal while it writes leaves nothing: the file it replaces is whole,
// and nothing is beside it, in the temporary folder or of the runtime folder; kill -9 included.
TEST(CommandSafety, AnExportEndedBySignalLeavesNothingBehind)
{
    const struct
    {
        const char *option;
        int signal;
    } cases[] = {{"--xlsx", SIGTERM}, {"--pdf", SIGKILL}, {"--xlsx", SIGINT}, {"--pdf", SIGHUP}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.option) + " " + strsignal(c.signal));
        QTemporaryDir out, tmp;
        const QString target = out.filePath(u"report"_s);
        QProcess p;
        bool caught = false;
        for (int attempt = 0; attempt < 5 && !caught; ++attempt) { // a busy machine may be late
            ASSERT_TRUE(writeFile(target, "the report of yesterday\n"));
            p.setProcessEnvironment(privateEnvironment(tmp.path()));
            startAsAShellDoes(p, {u"report"_s, u"sales-register"_s, u"--db"_s, DemoFixture::path(),
                                  QString::fromLatin1(c.option), target});
            ASSERT_TRUE(p.waitForStarted());
            caught = stoppedWhileWriting(p, {out.path(), tmp.path()}, target);
            if (!caught)
                p.waitForFinished(60000);
        }
        ASSERT_TRUE(caught) << "every export ended before it could be caught";
        ::kill(pid_t(p.processId()), c.signal);
        ::kill(pid_t(p.processId()), SIGCONT);
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitStatus(), QProcess::CrashExit);
        EXPECT_EQ(entriesOf(out.path()), QStringList{u"report"_s});
        EXPECT_EQ(contentOf(target), "the report of yesterday\n");
        // Nothing removes the (empty) runtime folder after kill -9; no file is anywhere.
        QStringList left;
        for (QDirIterator it(tmp.path(),
                             QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
             it.hasNext();)
            if (const QFileInfo found(it.next()); !(c.signal == SIGKILL && found.isDir()))
                left.append(found.filePath());
        EXPECT_EQ(left, QStringList());
    }
}

// A reader that goes away (a closed pipe) ends the run as it ends any program, and its
// runtime folder goes with it.
TEST(CommandSafety, AClosedPipeLeavesNoRuntimeFolder)
{
    QTemporaryDir tmp;
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ::close(ends[0]); // the reader is gone before anything is written
    QProcess p;
    p.setProcessEnvironment(privateEnvironment(tmp.path()));
    const int writeEnd = ends[1];
    p.setChildProcessModifier([writeEnd] {
        ::signal(SIGPIPE, SIG_DFL);
        ::dup2(writeEnd, STDOUT_FILENO);
    });
    p.start(QStringLiteral(NVR_EXECUTABLE),
            {u"report"_s, u"sales-register"_s, u"--db"_s, DemoFixture::path()});
    ::close(writeEnd);
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitStatus(), QProcess::CrashExit) << p.exitCode();
    EXPECT_EQ(entriesOf(tmp.path()), QStringList());
}

// /dev/stdout is the standard output the program was given: a file opened for appending keeps
// what it held, and a workbook goes into a pipe.
TEST(CommandSafety, StandardOutputByNameIsTheDescriptorGiven)
{
    QTemporaryDir folder;
    const QString log = folder.filePath(u"log.csv"_s);
    ASSERT_TRUE(writeFile(log, "an earlier run\n"));
    QProcess appending;
    appending.setStandardOutputFile(log, QIODevice::Append);
    appending.start(QStringLiteral(NVR_EXECUTABLE), june(DemoFixture::path())
                                                        << u"--csv"_s << u"/dev/stdout"_s);
    ASSERT_TRUE(appending.waitForFinished(120000));
    EXPECT_EQ(appending.exitCode(), CliStatus::Ok)
        << appending.readAllStandardError().toStdString();
    EXPECT_TRUE(contentOf(log).startsWith("an earlier run\nsectorname,townname,saleid"));

    QProcess piped;
    piped.start(QStringLiteral(NVR_EXECUTABLE), june(DemoFixture::path())
                                                    << u"--xlsx"_s << u"/dev/stdout"_s);
    ASSERT_TRUE(piped.waitForFinished(120000));
    EXPECT_EQ(piped.exitCode(), CliStatus::Ok) << piped.readAllStandardError().toStdString();
    const QByteArray workbook = piped.readAllStandardOutput();
    EXPECT_TRUE(workbook.startsWith("PK\x03\x04"));
    EXPECT_TRUE(workbook.contains("PK\x05\x06")); // the end of the archive's directory
}

// The focus trace is an output like any other: never written over the database, even though
// it is named before the database is opened.
TEST(CommandSafety, TheFocusTraceIsNeverWrittenOverTheDatabase)
{
    QTemporaryDir folder;
    const QString db = folder.filePath(u"company.sqlite"_s);
    ASSERT_TRUE(QFile::copy(DemoFixture::path(), db));
    const QString link = folder.filePath(u"trace.txt"_s);
    ASSERT_TRUE(QFile::link(db, link));
    const QByteArray before = DemoFixture::fileHash(db);
    for (const QString &trace : {db, link}) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(NVR_EXECUTABLE), {u"--db"_s, db, u"--trace-focus"_s, trace});
        const bool ended = p.waitForFinished(30000);
        if (!ended) {
            p.kill();
            p.waitForFinished();
        }
        EXPECT_TRUE(ended) << "the window opened";
        EXPECT_EQ(p.exitCode(), CliStatus::BadArguments);
        EXPECT_TRUE(p.readAllStandardError().contains("database")) << trace.toStdString();
        EXPECT_EQ(DemoFixture::fileHash(db), before);
    }
}

// SOURCE_DATE_EPOCH dates the PDF when it is a time a PDF date can hold; anything else is
// ignored with a warning, and the PDF is dated now.
TEST(CommandSafety, OnlyAUsableSourceDateEpochDatesThePdf)
{
    const QString now = QDateTime::currentDateTimeUtc().toString(u"yyyyMMdd"_s);
    const std::pair<QString, QString> cases[] = {
        // the variable, and the date the PDF bears
        {u"0"_s, u"19700101000000"_s}, {u"253402300799"_s, u"99991231235959"_s},
        {u"253402300800"_s, now},      {u"-1"_s, now},
        {u" 1767225600"_s, now},       {u"99999999999999999999"_s, now},
    };
    QTemporaryDir folder;
    const QString pdf = folder.filePath(u"r.pdf"_s);
    static const QRegularExpression dated(u"/CreationDate \\(D:([0-9]{14})Z\\)"_s);
    for (const auto &[epoch, date] : cases) {
        SCOPED_TRACE(epoch.toStdString());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"SOURCE_DATE_EPOCH"_s, epoch);
        const Outcome r = program(june(DemoFixture::path()) << u"--pdf"_s << pdf, env);
        EXPECT_EQ(r.status, CliStatus::Ok) << r.err.toStdString();
        const QRegularExpressionMatch match = dated.match(QString::fromLatin1(contentOf(pdf)));
        ASSERT_TRUE(match.hasMatch());
        EXPECT_TRUE(match.captured(1).startsWith(date)) << match.captured(1).toStdString();
        EXPECT_EQ(r.err.contains(u"SOURCE_DATE_EPOCH"_s), date == now) << r.err.toStdString();
    }
}
