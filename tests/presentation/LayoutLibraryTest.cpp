#include "ScopedEnvironment.h"
#include "presentation/LayoutError.h"
#include "presentation/LayoutLibrary.h"

#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// What the user's layout folder may hold in a layout's place: only a regular file is read, and
// anything else is refused at once, never waited on.
TEST(LayoutLibrary, RefusesWhatIsNotARegularFileWithoutWaiting)
{
    const QString name = LayoutLibrary::builtInNames().front();
    QFile builtIn(u":/layouts/"_s + name + u".json"_s);
    ASSERT_TRUE(builtIn.open(QIODevice::ReadOnly));
    const QByteArray json = builtIn.readAll();

    struct Case
    {
        const char *what;
        std::function<void(const QByteArray &path)> make;
        const char *reason; // nullptr: the layout loads
    } cases[] = {
        {"named pipe", [](const QByteArray &p) { ASSERT_EQ(::mkfifo(p.constData(), 0600), 0); },
         "not a regular file"},
        {"folder", [](const QByteArray &p) { ASSERT_EQ(::mkdir(p.constData(), 0700), 0); },
         "not a regular file"},
        {"device", [](const QByteArray &p) { ASSERT_EQ(::symlink("/dev/zero", p.constData()), 0); },
         "not a regular file"},
        {"regular file",
         [&](const QByteArray &p) {
             QFile f(QFile::decodeName(p));
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             f.write(json);
         },
         nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir folder;
        const ScopedEnvironment layouts("NVRPTSALES_LAYOUTS", QFile::encodeName(folder.path()));
        const QByteArray path = QFile::encodeName(folder.filePath(name + u".json"_s));
        c.make(path);
        auto loading = std::async(std::launch::async, [&]() -> QString {
            try {
                return LayoutLibrary::load(name)->name;
            } catch (const LayoutError &e) {
                return e.message();
            }
        });
        if (loading.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
            ADD_FAILURE() << "the load waits on the " << c.what;
            ::close(::open(path.constData(), O_WRONLY | O_NONBLOCK)); // lets it go
        }
        const QString outcome = loading.get();
        if (c.reason)
            EXPECT_TRUE(outcome.contains(QString::fromLatin1(c.reason))) << outcome.toStdString();
        else
            EXPECT_EQ(outcome, name);
    }
}
