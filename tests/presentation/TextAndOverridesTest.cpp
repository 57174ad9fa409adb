#include "presentation/LayoutLibrary.h"
#include "presentation/TextRun.h"

#include <QFile>
#include <QFont>
#include <QRawFont>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(TextRun, CutsTooLongTextsWithAnEllipsis)
{
    QFont font(u"DejaVu Sans"_s);
    font.setPixelSize(20);
    QRawFont raw = QRawFont::fromFont(font);
    raw.setPixelSize(20);
    const TextRun whole(raw, u"Knapsack Sprayer 16L"_s, 1000);
    ASSERT_TRUE(whole.isValid());
    const TextRun cut(raw, u"Knapsack Sprayer 16L"_s, whole.width() / 2);
    ASSERT_TRUE(cut.isValid());
    EXPECT_LE(cut.width(), whole.width() / 2);
    EXPECT_LT(cut.glyphs().glyphIndexes().size(), whole.glyphs().glyphIndexes().size());
    EXPECT_EQ(cut.glyphs().glyphIndexes().back(), raw.glyphIndexesForString(u"\u2026"_s).front());
    // Text that needs shaping takes Qt's own path.
    EXPECT_FALSE(TextRun(raw, u"\u0645\u062D\u0645\u062F"_s, 1000).isValid());
}

TEST(LayoutLibrary, AUserFolderOverridesABuiltInLayout)
{
    QTemporaryDir folder;
    QFile builtIn(u":/layouts/crpSalesSummary.json"_s);
    ASSERT_TRUE(builtIn.open(QIODevice::ReadOnly));
    QByteArray json = builtIn.readAll();
    json.replace("\"title\": \"Sales Summary\"", "\"title\": \"Daily Sales Summary\"");
    QFile own(folder.filePath(u"crpSalesSummary.json"_s));
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    own.write(json);
    own.close();

    qputenv("NVRPTSALES_LAYOUTS", folder.path().toUtf8());
    EXPECT_EQ(LayoutLibrary::load(u"crpSalesSummary"_s)->title, u"Daily Sales Summary"_s);
    EXPECT_EQ(LayoutLibrary::load(u"crpSalesRegisterIW"_s)->title,
              u"Sales Register"_s); // not overridden
    qunsetenv("NVRPTSALES_LAYOUTS");
    EXPECT_EQ(LayoutLibrary::load(u"crpSalesSummary"_s)->title, u"Sales Summary"_s);
}
