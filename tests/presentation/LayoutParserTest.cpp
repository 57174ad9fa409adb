#include "presentation/LayoutParser.h"
#include "presentation/LayoutError.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// Every kind of mistake in a layout file is reported with the file, the place and the reason.
TEST(LayoutParser, ReportsEachMistakeWithItsPlace)
{
    const char *detail = R"({"kind": "detail", "height": 5})";
    const char *oneGroup = R"("groups": [{"column": "region"}], )";
    const char *oneParameter = R"("parameters": [{"name": "Period"}], )";
    const struct
    {
        const char *name, *head, *object, *bands, *where, *says;
    } cases[] = {
        {"unknownKey", "",
         R"({"type": "field", "column": "x", "x": 0, "width": 10, "height": 5, "colour": "#000000"})",
         nullptr, "$.bands[0].objects[0].colour", "unknown key"},
        {"summaryInDetail", "",
         R"({"type": "summary", "column": "x", "x": 0, "width": 10, "height": 5})", nullptr,
         "$.bands[0].objects[0]", "footer"},
        {"missingParameter", oneParameter,
         R"({"type": "parameter", "index": 2, "x": 0, "width": 10, "height": 5})", nullptr,
         "$.bands[0].objects[0].index", "parameter field 2"},
        {"fractionalParameter", oneParameter,
         R"({"type": "parameter", "index": 1.5, "x": 0, "width": 10, "height": 5})", nullptr,
         "$.bands[0].objects[0].index", "whole number"},
        {"belowBand", "",
         R"({"type": "field", "column": "x", "x": 0, "y": 2, "width": 10, "height": 5})", nullptr,
         "$.bands[0].objects[0]", "below its band"},
        {"badJson", "", nullptr, "\n\n{\"kind\": \"detail\" \"height\": 5}", "line 3", ""},
        {"unknownGroup", oneGroup, nullptr, R"(, {"kind": "groupFooter", "group": 2, "height": 5})",
         "$.bands[1].group", "no group 2"},
        {"hugeGroup", oneGroup, nullptr,
         R"(, {"kind": "groupFooter", "group": 1e300, "height": 5})", "$.bands[1].group",
         "between 1 and 1000"},
        {"noDetail", "", nullptr, R"({"kind": "pageHeader", "height": 5})", "$.bands",
         "no detail band"},
        {"hugeFont", R"("font": {"family": "DejaVu Sans", "size": 1e308}, )", nullptr, "",
         "$.font.size", "at most 1000 points"},
        {"smallestAboveSize", R"("font": {"size": 7, "smallest": 8}, )", nullptr, "",
         "$.font.smallest", "at most the font's size"},
        {"hugeLength", "", nullptr, R"({"kind": "detail", "height": 1e300})", "$.bands[0].height",
         "cannot exceed"},
        {"stripBelowBand", "", nullptr,
         R"({"kind": "detail", "height": 5, "collapse": [{"y": 3, "height": 3}]})",
         "$.bands[0].collapse[0]", "below its band"},
        {"seriesOfWhat", "", nullptr,
         R"(, {"kind": "reportFooter", "height": 50, "objects": [{"type": "chart", "x": 0, )"
         R"("width": 90, "height": 40, "chart": {"category": "n", "series": "columns"}}]})",
         "$.bands[1].objects[0].chart.series", "\"rows\""},
        {"rowsWithoutPoints", "", nullptr,
         R"(, {"kind": "reportFooter", "height": 50, "objects": [{"type": "chart", "x": 0, )"
         R"("width": 90, "height": 40, "chart": {"category": "n", "series": "rows", )"
         R"("order": "t", "points": []}}]})",
         "$.bands[1].objects[0].chart.points", "at least one point"},
    };
    for (const auto &c : cases) {
        QByteArray bands;
        if (c.object)
            bands = R"({"kind": "detail", "height": 5, "objects": [)" + QByteArray(c.object) + "]}";
        else if (QByteArray(c.bands).startsWith(", ") || !*c.bands)
            bands = detail + QByteArray(c.bands);
        else
            bands = c.bands;
        const QByteArray json = R"({"name": ")" + QByteArray(c.name) +
                                R"(", "page": {"margins": {}}, )" + c.head + R"("bands": [)" +
                                bands + "]}";
        const QString file = QLatin1String(c.name) + u".json"_s;
        try {
            (void)LayoutParser::parse(json, file);
            ADD_FAILURE() << c.name << " was accepted";
        } catch (const LayoutError &e) {
            EXPECT_EQ(e.file(), file);
            EXPECT_EQ(e.where(), QLatin1String(c.where)) << c.name;
            EXPECT_TRUE(e.message().contains(QLatin1String(c.says))) << e.message().toStdString();
            EXPECT_TRUE(e.description().contains(file));
        }
    }
}
