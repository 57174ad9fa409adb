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
