#include "presentation/SignalCleanup.h"

#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// A termination that lands while a library's scratch file still has its name waits for the
// deferral to end, and then ends the process as it would have, held files removed.
TEST(SignalCleanup, ASignalDuringADeferralEndsTheProcessAfterIt)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray held = QFile::encodeName(dir.filePath(u"held"_s));
    const QByteArray lived = QFile::encodeName(dir.filePath(u"lived-on"_s));
    QFile file(QFile::decodeName(held));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SignalCleanup hold(held, SignalCleanup::Kind::File);
        {
            const SignalCleanup::Deferral deferral;
            ::raise(SIGTERM);
            ::close(::open(lived.constData(), O_CREAT | O_WRONLY, 0600));
        }
        ::_exit(0); // the deferred signal ends the process before this
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
    EXPECT_TRUE(QFile::exists(QFile::decodeName(lived)));
    EXPECT_FALSE(QFile::exists(QFile::decodeName(held)));
}
