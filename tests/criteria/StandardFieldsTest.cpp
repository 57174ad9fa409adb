#include "reports/StandardFields.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// The clause builders every report's criteria go through: what a user types must restrict
// the report without ever leaving its literal or its number.
TEST(StandardFieldClauses, TypedIdsStayOneLiteralAndNumbersStayNumbers)
{
    auto with = [](const QString &text) {
        return ReportCriteria{{}, {}, {{StandardFields::customerKey, text}}, {}};
    };
    using StandardFields::customerKey, StandardFields::numberClause, StandardFields::quotedClause;
    const QString prefix = u" and c.partyid='"_s;
    // An id enters as typed, blanks kept, every apostrophe doubled.
    EXPECT_EQ(quotedClause(with(u" O'Ha"_s), customerKey, prefix), prefix + u" O''Ha'"_s);
    EXPECT_EQ(quotedClause(with(u"' or '1'='1"_s), customerKey, prefix),
              prefix + u"'' or ''1''=''1'"_s);
    EXPECT_EQ(quotedClause(with(u"C1"_s), customerKey, prefix, u"' "_s), prefix + u"C1' "_s);
    // A number enters as the digits it starts with, 0 when there are none.
    EXPECT_EQ(numberClause(with(u" 0012ab"_s), customerKey, u"id="_s), u"id=12"_s);
    EXPECT_EQ(numberClause(with(u"x9"_s), customerKey, u"id="_s), u"id=0"_s);
    EXPECT_EQ(numberClause(with(u"1' or 1=1"_s), customerKey, u"id="_s), u"id=1"_s);
    // A box of blanks, or none, restricts nothing.
    for (const QString &empty : {QString(), u"   "_s}) {
        EXPECT_TRUE(quotedClause(with(empty), customerKey, prefix).isEmpty());
        EXPECT_TRUE(numberClause(with(empty), customerKey, u"id="_s).isEmpty());
    }
}

// An invoice range enters as numbers; a blank To box sets no upper end at all, so that a book
// numbered past any fixed bound is listed whole.
TEST(StandardFieldClauses, InvoiceRangesAreNumbersAndOpenWithoutALastNumber)
{
    struct Case
    {
        QString from, to, expected;
    };
    const std::vector<Case> cases{
        {{}, {}, u" and n >= 1"_s},
        {u"0250"_s, u"   "_s, u" and n >= 250"_s},
        {u"abc"_s, {}, u" and n >= 0"_s},
        {u"12a"_s, u"999999999"_s, u" and n between 12 and 999999999"_s},
        {u"  "_s, u"40x"_s, u" and n between 1 and 40"_s},
        {u"1' or 1=1"_s, u"5; delete"_s, u" and n between 1 and 5"_s},
    };
    for (const Case &c : cases) {
        const ReportCriteria criteria{
            {},
            {},
            {{StandardFields::invoiceFromKey, c.from}, {StandardFields::invoiceToKey, c.to}},
            {}};
        EXPECT_EQ(StandardFields::invoiceRange(criteria, u" and"_s, u"n"_s), c.expected)
            << c.from.toStdString() << " to " << c.to.toStdString();
    }
}
