#include "presentation/LayoutParser.h"
#include "presentation/LayoutError.h"
#include "ScopedEnvironment.h"
#include "db/Failure.h"
#include "presentation/Expression.h"
#include "presentation/LayoutLibrary.h"

#include <QTemporaryDir>

#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct Expected
{
    const char *fixture;
    const char *where;
    const char *says;
};

} // namespace

// Every kind of mistake in a layout file is reported with the file, the place and the reason.
TEST(LayoutParser, ReportsEachMistakeWithItsPlace)
{
    const Expected cases[] = {
        {"unknownKey", "$.bands[0].objects[0].colour", "unknown key"},
        {"summaryInDetail", "$.bands[0].objects[0]", "footer"},
        {"missingParameter", "$.bands[0].objects[0].index", "parameter field 2"},
        {"belowBand", "$.bands[0].objects[0]", "below its band"},
        {"badJson", "line 3", ""},
        {"unknownGroup", "$.bands[1].group", "no group 2"},
        {"noDetail", "$.bands", "no detail band"},
        {"hugeGroup", "$.bands[1].group", "between 1 and 1000"},
        {"hugeFont", "$.font.size", "at most 1000 points"},
        {"fractionalParameter", "$.bands[0].objects[0].index", "whole number"},
        {"hugeLength", "$.bands[0].height", "cannot exceed"},
    };
    for (const Expected &c : cases) {
        QFile file(u":/fixtures/%1.json"_s.arg(QLatin1String(c.fixture)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << c.fixture;
        try {
            (void)LayoutParser::parse(file.readAll(), file.fileName());
            ADD_FAILURE() << c.fixture << " was accepted";
        } catch (const LayoutError &e) {
            EXPECT_EQ(e.file(), file.fileName());
            EXPECT_EQ(e.where(), QLatin1String(c.where)) << c.fixture;
            EXPECT_TRUE(e.message().contains(QLatin1String(c.says))) << e.message().toStdString();
            EXPECT_TRUE(e.description().contains(file.fileName()));
        }
    }
}

// A computed column nested deeper than any layout needs is refused with a message, not by
// running out of stack.
TEST(Expression, RefusesNestingDeeperThanItsLimit)
{
    const int depth = 100000;
    for (const QString &text : QStringList{QString(depth, u'(') + u"a"_s + QString(depth, u')'),
                                           u"- "_s.repeated(depth) + u"a"_s}) {
        try {
            (void)Expression::parse(text);
            ADD_FAILURE() << "accepted";
        } catch (const Failure &e) {
            EXPECT_TRUE(e.description().contains(u"nested too deeply"_s))
                << e.description().left(200).toStdString();
        }
    }
    const QString fine = QString(30, u'(') + u"a + b"_s + QString(30, u')');
    EXPECT_EQ(Expression::parse(fine).names(), (QStringList{u"a"_s, u"b"_s}));
}

// A layout file that is a device or larger than any layout is refused before it is read whole.
TEST(LayoutLibrary, RefusesDevicesAndRunawayFiles)
{
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::link(u"/dev/zero"_s, folder.filePath(u"crpSalesSummary.json"_s)));
    {
        QFile big(folder.filePath(u"crpSalesRegisterIW.json"_s));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        const QByteArray spaces(1024 * 1024, ' ');
        for (int i = 0; i < 6; ++i)
            big.write(spaces);
        big.write("{}");
    }
    const ScopedEnvironment layouts("NVRPTSALES_LAYOUTS", folder.path().toUtf8());
    for (const QString &name : {u"crpSalesSummary"_s, u"crpSalesRegisterIW"_s}) {
        try {
            (void)LayoutLibrary::load(name);
            ADD_FAILURE() << "loaded " << name.toStdString();
        } catch (const LayoutError &e) {
            EXPECT_TRUE(e.file().contains(name));
        }
    }
}
