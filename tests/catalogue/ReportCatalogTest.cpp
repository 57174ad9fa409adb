#include "reports/ReportCatalog.h"
#include "presentation/Report.h"
#include "presentation/ReportLayout.h"
#include "reports/ReportDefinition.h"

#include <gtest/gtest.h>
#include <set>
#include <vector>

using namespace Qt::StringLiterals;

// Each row is one whole report: found by each of its names and by its definition, with a
// layout that loads, in a group the menu shows.
TEST(ReportCatalog, EveryRowIsOneWholeReport)
{
    std::set<const ReportEntry *> grouped;
    for (ReportGroup group : ReportCatalog::groups) {
        EXPECT_FALSE(ReportCatalog::groupTitle(group).isEmpty());
        for (const ReportEntry *row : ReportCatalog::inGroup(group)) {
            EXPECT_EQ(row->group, group);
            EXPECT_TRUE(grouped.insert(row).second);
        }
    }
    EXPECT_EQ(grouped.size(), ReportCatalog::entries().size());

    for (const ReportEntry &row : ReportCatalog::entries()) {
        SCOPED_TRACE(row.commandName.toStdString());
        EXPECT_EQ(&ReportCatalog::entryOf(row.definition()), &row);
        EXPECT_EQ(&row.definition().entry(), &row);
        EXPECT_EQ(ReportCatalog::byCommandName(row.commandName), &row);
        EXPECT_EQ(ReportCatalog::byLaunchOperation(row.launchOperation), &row);
        EXPECT_EQ(row.window, u"Rpt"_s + row.launchOperation);
        EXPECT_FALSE(row.caption.isEmpty());
        EXPECT_EQ(Report::fromLayout(row.layout)->layout().name, row.layout);
    }
    EXPECT_EQ(ReportCatalog::byCommandName(u"no-such-report"_s), nullptr);
    EXPECT_EQ(ReportCatalog::byLaunchOperation(u"Sales"_s), nullptr);
}

// Two rows sharing any name or a definition are found out, each by what they share (the same
// row twice: by all six); the product's own rows share nothing.
TEST(ReportCatalog, RowsThatShareANameOrADefinitionAreFoundOut)
{
    EXPECT_EQ(ReportCatalog::duplicates(), QStringList());

    const std::span<const ReportEntry> rows = ReportCatalog::entries();
    ASSERT_GE(rows.size(), 2u);
    const ReportEntry &a = rows[0];
    const ReportEntry &b = rows[1];
    const auto with = [&](auto change) {
        ReportEntry copy = b;
        change(copy);
        return copy;
    };
    struct Case
    {
        const char *what;
        ReportEntry second;
        QStringList expected;
    };
    const Case cases[] = {
        {"distinct", b, {}},
        {"layout",
         with([&](ReportEntry &e) { e.layout = a.layout; }),
         {u"layout "_s + a.layout + u" in two rows"_s}},
        {"definition",
         with([&](ReportEntry &e) { e.definition = a.definition; }),
         {u"the definition of "_s + b.caption + u" in two rows"_s}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<ReportEntry> table{a, c.second};
        EXPECT_EQ(ReportCatalog::duplicates(table), c.expected);
    }
    // The same row twice shares everything.
    const std::vector<ReportEntry> twice{a, a};
    EXPECT_EQ(ReportCatalog::duplicates(twice).size(), 6);
}
