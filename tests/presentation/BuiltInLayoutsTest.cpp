#include "DemoFixture.h"
#include "db/Connection.h"
#include "db/ResultTable.h"
#include "presentation/LayoutLibrary.h"
#include "presentation/TextRun.h"
#include "presentation/ValueFormatter.h"

#include <QFont>
#include <QRawFont>
#include <gtest/gtest.h>
#include <map>

using namespace Qt::StringLiterals;

namespace {

// A layout object's type, one pixel a point.
QRawFont rawFont(const FontDesign &design)
{
    QFont font(design.family);
    font.setPixelSize(100);
    font.setBold(design.bold);
    font.setItalic(design.italic);
    QRawFont raw = QRawFont::fromFont(font);
    raw.setPixelSize(design.size);
    return raw;
}

double textWidth(const LayoutObject &o, const QString &text)
{
    return TextRun(rawFont(o.font), text, 1e9).width();
}

// Where a single line of the object's text falls, from the band's top (points): its font's
// height centred in the box, as the renderer sets it.
std::pair<double, double> textLine(const LayoutObject &o)
{
    const QRawFont raw = rawFont(o.font);
    const double height = raw.ascent() + raw.descent();
    const double top = o.rect.top() + (o.rect.height() - height) / 2;
    return {top, top + height};
}

bool printsText(const LayoutObject &o)
{
    return o.type != ObjectType::Box && o.type != ObjectType::Line;
}

constexpr double kPadding = 2.0; // points, both sides of a box
constexpr double kColumnSpace = 1.5 * LayoutUnits::pointsPerMillimetre; // between two values

} // namespace

// What every layout promises a reader: the criteria line heads every page, a group carried over
// says so, no two values on a line run into each other, headings, labels and grand totals fit,
// and the longest name of each kind the demo company has is printed whole.
TEST(BuiltInLayouts, SayWhatTheyCoverAndKeepEveryFigureReadable)
{
    const auto connection = Connection::openSqlite(DemoFixture::path());
    std::map<QString, QStringList> names; // column, lower case -> the names it shows
    const std::pair<QString, QString> lists[] = {
        {u"productname"_s, u"select ProductName from Products"_s},
        {u"customername"_s, u"select PartyName from Parties"_s},
        {u"sectorname"_s, u"select SectorName from Sectors"_s},
        {u"townname"_s, u"select TownName from Towns"_s},
        {u"companyname"_s, u"select CompanyName from Companies"_s}};
    for (const auto &[column, sql] : lists) {
        const auto table = connection->execute(sql);
        for (int r = 0; r < table->rowCount(); ++r)
            names[column].append(table->text(0, r));
        ASSERT_GT(names[column].size(), 5) << column.toStdString();
    }
    const ValueFormat money{.kind = ValueFormat::Kind::Number, .decimals = 2};
    const QString grandTotal = ValueFormatter::number(999999999.99, money);

    for (const QString &name : LayoutLibrary::builtInNames()) {
        SCOPED_TRACE(name.toStdString());
        const auto layout = LayoutLibrary::load(name);
        const Band *pageHeader = layout->band(BandKind::PageHeader);
        ASSERT_NE(pageHeader, nullptr);
        EXPECT_EQ(std::count_if(pageHeader->objects.begin(), pageHeader->objects.end(),
                                [](const LayoutObject &o) {
                                    return o.type == ObjectType::Special &&
                                           o.special == SpecialField::CriteriaLine;
                                }),
                  1);
        for (int g = 0; g < int(layout->groups.size()); ++g) {
            const Band *header = layout->band(BandKind::GroupHeader, g);
            ASSERT_NE(header, nullptr);
            EXPECT_TRUE(layout->groups[size_t(g)].reprintHeader);
            EXPECT_TRUE(std::any_of(header->objects.begin(), header->objects.end(),
                                    [](const LayoutObject &o) {
                                        return o.type == ObjectType::Special &&
                                               o.special == SpecialField::Continued;
                                    }))
                << "group " << g + 1;
        }

        for (const Band &band : layout->bands) {
            for (size_t i = 0; i < band.objects.size(); ++i) {
                const LayoutObject &o = band.objects[i];
                if (!printsText(o))
                    continue;
                const std::string what = o.name.toStdString();
                for (size_t k = i + 1; k < band.objects.size(); ++k) {
                    const LayoutObject &other = band.objects[k];
                    const auto [top, bottom] = textLine(o);
                    const auto [otherTop, otherBottom] = textLine(other);
                    if (!printsText(other) || bottom <= otherTop || otherBottom <= top)
                        continue;
                    EXPECT_GE(std::max(o.rect.left(), other.rect.left()),
                              std::min(o.rect.right(), other.rect.right()) - 0.01)
                        << what << " and " << other.name.toStdString() << " share a line";
                }
                // Headings and labels whole, clear of the column beside them; a grand total of
                // hundreds of millions fits with room to spare.
                const bool grandMoney = o.type == ObjectType::Summary && o.scopeGroup < 0 &&
                                        o.format.decimals == 2 && !o.format.trimZeros &&
                                        o.function == SummaryFunction::Sum;
                if ((o.type == ObjectType::Text && !(o.align & Qt::AlignHCenter)) || grandMoney) {
                    EXPECT_LE(textWidth(o, grandMoney ? grandTotal : o.text) + kColumnSpace,
                              o.rect.width())
                        << what;
                }
                const auto list = names.find(o.column.toLower());
                if (o.type == ObjectType::Field && list != names.end()) {
                    QString widest;
                    for (const QString &text : list->second) {
                        if (textWidth(o, text) > textWidth(o, widest))
                            widest = text;
                    }
                    EXPECT_LE(textWidth(o, widest) + kPadding, o.rect.width())
                        << what << ": " << widest.toStdString();
                }
            }
        }
    }
}
