#include "DemoFixture.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtGlobal>
#include <gtest/gtest.h>

#if defined(NVR_TEST_GUARDED)
#include "host/GuardedApplication.h"
using TestApplication = GuardedApplication;
#elif defined(NVR_TEST_WIDGETS)
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

namespace {

// The tests never read or change the user's own files: their home, data, configuration and
// cache folders are private to the run, and layouts are the built-in ones unless a test says
// otherwise. Programs the tests start inherit the same.
void isolateFromTheUser(const QTemporaryDir &sandbox)
{
    for (const char *name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"}) {
        const QString folder = sandbox.filePath(QString::fromLatin1(name).toLower());
        QDir().mkpath(folder);
        qputenv(name, QFile::encodeName(folder));
    }
    const QString runtime = sandbox.filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    qunsetenv("NVRPTSALES_LAYOUTS");
}

// After every test of the program, the demo database the tests read is as it was made.
class DatabaseUntouched : public ::testing::Environment
{
public:
    void TearDown() override
    {
        const QString changes = DemoFixture::changesToTheDatabase();
        EXPECT_TRUE(changes.isEmpty()) << changes.toStdString();
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir sandbox;
    if (!sandbox.isValid())
        return 1;
    isolateFromTheUser(sandbox);
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new DatabaseUntouched);
    return RUN_ALL_TESTS();
}
