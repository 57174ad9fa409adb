#include "DemoFixture.h"
#include "LayoutQueries.h"
#include "PdfWords.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "presentation/Report.h"

#include <QTemporaryDir>
#include <set>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// A criteria line too long for the page's width goes on over a second line where its box has
// room for one, so that no criterion is cut off.
TEST(CriteriaLine, WrapsOntoASecondLineWhereItsBoxHoldsTwo)
{
    QStringList parts{u"Period 01-Jul-2026 to 07-Dec-2026"_s};
    for (int k = 1; k <= 5; ++k)
        parts.append(u"Criterion%1 Value%1 of a long name"_s.arg(k));
    const QString line = parts.join(u" · "_s);
    const QStringList words = line.split(u' ', Qt::SkipEmptyParts);

    const auto db = Connection::openSqlite(DemoFixture::path());
    QTemporaryDir folder(DemoFixture::temporaryFolder() + u"/criteria-XXXXXX"_s);
    ASSERT_TRUE(folder.isValid());
    // The register's box holds two lines; the company-wise one holds one and cuts the text.
    for (const auto &[layout, wraps] : {std::pair{u"crpSalesRegisterIW"_s, true},
                                        std::pair{u"CrpCompanyWiseSale"_s, false}}) {
        SCOPED_TRACE(layout.toStdString());
        QString query;
        for (const auto &[name, sql] : LayoutQueries::all(*db, u"2026-03-01"_s, u"2026-03-03"_s))
            query = name == layout ? sql : query;
        ASSERT_FALSE(query.isEmpty());
        Recordset rows;
        rows.open(query, *db);
        auto report = Report::fromLayout(layout);
        report->Database().SetDataSource(rows, 3, 1);
        report->setCriteriaLine(line);
        const QString pdf = folder.filePath(layout + u".pdf"_s);
        ASSERT_TRUE(report->exportPdf(pdf));

        // The criteria line's words on the first page, in reading order.
        const auto page = pdfWords(pdf, 0, 0)[0];
        const auto first = std::find_if(page.begin(), page.end(),
                                        [](const auto &w) { return w.second == u"Period"_s; });
        ASSERT_NE(first, page.end());
        QStringList printed;
        std::set<int> baselines;
        QString endOfFirstLine;
        for (auto w = first; w != page.end() && printed.size() < words.size(); ++w) {
            if (baselines.size() == 1 && std::lround(w->first.bottom()) != *baselines.begin() &&
                endOfFirstLine.isEmpty())
                endOfFirstLine = printed.last();
            printed.append(w->second);
            baselines.insert(int(std::lround(w->first.bottom())));
            EXPECT_LT(w->first.right(), 595.3 - report->layout().margins.right() + 0.5)
                << w->second.toStdString();
        }
        if (wraps) {
            EXPECT_EQ(printed, words);
            EXPECT_EQ(baselines.size(), 2u);
            EXPECT_EQ(endOfFirstLine, u"·"_s); // broken between criteria, not inside one
        } else {
            EXPECT_NE(printed.last(), words.last()); // cut, with its ellipsis
        }
    }
}
