#include "db/Failure.h"
#include "presentation/Expression.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// A computed column's arithmetic, abs() included: a change in percent is measured against the
// size of the earlier figure, so that a fall from a loss still reads as a rise.
TEST(Expression, EvaluatesArithmeticAndAbs)
{
    const struct
    {
        const char *text;
        double change, earlier, expected;
    } cases[] = {
        {"change / abs(earlier) * 100", 150, -100, 150},
        {"change / abs(earlier) * 100", -50, 200, -25},
        {"-abs(change - earlier) + ABS (earlier)", 1, 4, 1},
        {"change / earlier", 3, 0, 0}, // a division by zero prints 0
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const Expression e = Expression::parse(QString::fromLatin1(c.text));
        const double value = e.evaluate([&](int name) {
            return e.names()[name] == u"change"_s ? c.change : c.earlier;
        });
        EXPECT_DOUBLE_EQ(value, c.expected);
        EXPECT_FALSE(e.names().contains(u"abs"_s, Qt::CaseInsensitive));
    }
    for (const char *bad : {"abs(", "abs(1 2)", "abs()", "abs(1))"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW((void)Expression::parse(QString::fromLatin1(bad)), Failure);
    }
}
