#include "ScopedEnvironment.h"
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

TEST(TextRun, NeverCutsAnAmountShort)
{
    QFont font(u"DejaVu Sans"_s);
    font.setPixelSize(20);
    QRawFont raw = QRawFont::fromFont(font);
    raw.setPixelSize(20);
    const QString total = u"1,063,643,123.45"_s;
    const qreal natural = TextRun(raw, total, 1e9).width();

    const TextRun fitted = TextRun::amount(raw, total, natural * 0.8, 12);
    EXPECT_EQ(fitted.glyphs().glyphIndexes().size(), total.size()); // every figure is there
    EXPECT_LE(fitted.width(), natural * 0.8);
    EXPECT_GT(fitted.width(), natural * 0.7); // only as much smaller as needed
    const TextRun tooWide = TextRun::amount(raw, total, natural * 0.3, 12);
    EXPECT_EQ(tooWide.glyphs().glyphIndexes().size(), total.size());
    EXPECT_NEAR(tooWide.width(), natural * 0.6,
                natural * 0.02); // no smaller than 12 px, then wider
    // A total at the body size is never set smaller.
    EXPECT_EQ(TextRun::amount(raw, total, natural * 0.8, 20).width(), natural);
    EXPECT_EQ(TextRun::amount(raw, u"12.50"_s, natural, 12).width(),
              TextRun(raw, u"12.50"_s, 1e9).width());
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

    {
        const ScopedEnvironment layouts("NVRPTSALES_LAYOUTS", folder.path().toUtf8());
        EXPECT_EQ(LayoutLibrary::load(u"crpSalesSummary"_s)->title, u"Daily Sales Summary"_s);
        EXPECT_EQ(LayoutLibrary::load(u"crpSalesRegisterIW"_s)->title,
                  u"Sales Register"_s); // not overridden
    }
    EXPECT_EQ(LayoutLibrary::load(u"crpSalesSummary"_s)->title, u"Sales Summary"_s);
}
