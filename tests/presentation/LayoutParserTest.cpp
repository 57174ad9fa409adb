#include "presentation/LayoutParser.h"
#include "presentation/LayoutError.h"

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
