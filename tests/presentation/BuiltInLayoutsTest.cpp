#include "CommandRun.h"
#include "DemoFixture.h"
#include "LayoutQueries.h"
#include "PdfWords.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "presentation/LayoutLibrary.h"
#include "presentation/Report.h"
#include "presentation/TextRun.h"
#include "presentation/ValueFormatter.h"
#include "reports/ReportCatalog.h"
#include "reports/ReportDefinition.h"

#include <QFont>
#include <QRawFont>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <set>

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
    // The largest grand totals of a year of a million-line demo company (measured once, every
    // report over its last year, with nvr_report_pages --measure): its sales of 48 to 50
    // thousand million have eleven figures before the point; a product ledger is one
    // product's, and the busiest sells 469 million.
    const QString companyTotal = ValueFormatter::number(99999999999.99, money);
    const QString productTotal = ValueFormatter::number(999999999.99, money);

    for (const QString &name : LayoutLibrary::builtInNames()) {
        SCOPED_TRACE(name.toStdString());
        const auto layout = LayoutLibrary::load(name);
        const bool ledger = name.contains(u"Ledger"_s);
        const QString &grandTotal = ledger ? productTotal : companyTotal;
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
                // Headings and labels whole, clear of the column beside them; the largest grand
                // total fits with room to spare.
                const bool grandMoney = o.type == ObjectType::Summary && o.scopeGroup < 0 &&
                                        o.format.decimals == 2 && !o.format.trimZeros &&
                                        o.function == SummaryFunction::Sum;
                if ((o.type == ObjectType::Text && !(o.align & Qt::AlignHCenter)) || grandMoney) {
                    LayoutObject fitted = o; // a total may be set down to its smallest size
                    if (grandMoney && o.font.smallest > 0)
                        fitted.font.size = o.font.smallest;
                    EXPECT_LE(textWidth(fitted, grandMoney ? grandTotal : o.text) + kColumnSpace,
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

// A loose page says which report it belongs to: from page 2 on, every layout's page header
// prints the report's title and the company. Each report is bound to its own query's rows on
// the demo company, repeated where one period holds too few of them to fill two pages.
TEST(BuiltInLayouts, NameTheReportAndTheCompanyOnEveryPage)
{
    const auto db = Connection::openSqlite(DemoFixture::path());
    const QString company = u"Harbour & Vale Traders (Pvt) Ltd"_s;
    QTemporaryDir folder(DemoFixture::temporaryFolder() + u"/pages-XXXXXX"_s);
    ASSERT_TRUE(folder.isValid());
    const auto queries = LayoutQueries::all(*db, u"2025-07-01"_s, u"2026-06-30"_s);
    EXPECT_EQ(queries.size(), LayoutLibrary::builtInNames().size());
    for (const auto &[name, query] : queries) {
        SCOPED_TRACE(name.toStdString());
        const int rows =
            int(db->execute(u"select count(*) from ("_s + query + u") q"_s)->number(0, 0));
        ASSERT_GT(rows, 0);
        QStringList copies{u"select 1 as copy"_s};
        for (int k = 2; k <= (150 + rows - 1) / rows; ++k)
            copies.append(u"select %1"_s.arg(k));
        Recordset result;
        result.open(u"select q.* from ("_s + query + u") q cross join ("_s +
                        copies.join(u" union all "_s) + u") n"_s,
                    *db);
        auto report = Report::fromLayout(name);
        report->textObject(u"txtPageCompany"_s).SetText(company);
        report->setCriteriaLine(u"Period 01-Jul-2025 to 30-Jun-2026"_s);
        report->Database().SetDataSource(result, 3, 1);
        ASSERT_GE(report->pageCount(), 2);
        const QString pdf = folder.filePath(name + u".pdf"_s);
        ASSERT_TRUE(report->exportPdf(pdf));
        const QStringList pages = CommandRun::pdfText(pdf).split(u'\f');
        ASSERT_GE(pages.size(), 2);
        const QString pageTwo = pages[1].simplified();
        EXPECT_TRUE(pageTwo.contains(report->ReportTitle())) << pageTwo.left(300).toStdString();
        EXPECT_TRUE(pageTwo.contains(company)) << pageTwo.left(300).toStdString();
    }
}

// A total prints under the figures it adds up: in every footer its right edge is that of its
// column, and totals share a line only where their columns' figures do.
TEST(BuiltInLayouts, PrintTotalsUnderTheirColumns)
{
    for (const QString &name : LayoutLibrary::builtInNames()) {
        SCOPED_TRACE(name.toStdString());
        const auto layout = LayoutLibrary::load(name);
        const Band *detail = layout->band(BandKind::Detail);
        ASSERT_NE(detail, nullptr);
        std::map<QString, const LayoutObject *> figures; // column, lower case
        for (const LayoutObject &o : detail->objects) {
            if (o.type == ObjectType::Field)
                figures.emplace(o.column.toLower(), &o);
        }
        const auto sameLine = [](const LayoutObject &a, const LayoutObject &b) {
            const auto [top, bottom] = textLine(a);
            const auto [otherTop, otherBottom] = textLine(b);
            return bottom > otherTop && otherBottom > top;
        };
        int totals = 0;
        for (const Band &band : layout->bands) {
            if (band.kind != BandKind::GroupFooter && band.kind != BandKind::ReportFooter)
                continue;
            std::vector<std::pair<const LayoutObject *, const LayoutObject *>> placed;
            for (const LayoutObject &o : band.objects) {
                const auto figure = figures.find(o.column.toLower());
                if (o.type != ObjectType::Summary || figure == figures.end())
                    continue;
                EXPECT_NEAR(o.rect.right(), figure->second->rect.right(), 0.01)
                    << o.name.toStdString();
                placed.emplace_back(&o, figure->second);
                ++totals;
            }
            // Totals too wide for their columns may alternate between two lines; totals of
            // figures on different lines never share one.
            for (size_t i = 0; i < placed.size(); ++i) {
                for (size_t k = i + 1; k < placed.size(); ++k) {
                    EXPECT_LE(sameLine(*placed[i].first, *placed[k].first),
                              sameLine(*placed[i].second, *placed[k].second))
                        << placed[i].first->name.toStdString() << " and "
                        << placed[k].first->name.toStdString();
                }
            }
        }
        EXPECT_GT(totals, 0);
    }
}

// The register's grand total reads across one line, its four amounts in their columns' order:
// gross, discount, sales tax, net, each the sum of the period's lines worked out afresh.
TEST(BuiltInLayouts, PrintTheRegistersGrandTotalOnOneLine)
{
    QTemporaryDir folder(DemoFixture::temporaryFolder() + u"/total-XXXXXX"_s);
    ASSERT_TRUE(folder.isValid());
    const QString pdf = folder.filePath(u"register.pdf"_s);
    const auto run = CommandRun::report(u"sales-register"_s,
                                        {u"--from"_s, u"2026-04-01"_s, u"--to"_s, u"2026-06-30"_s,
                                         u"--invoice-to"_s, u"99999"_s, u"--pdf"_s, pdf});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList lines = CommandRun::pdfText(pdf).split(u'\n');
    const auto grand = std::find_if(lines.begin(), lines.end(), [](const QString &line) {
        return line.contains(u"Grand total"_s);
    });
    ASSERT_NE(grand, lines.end());
    static const QRegularExpression amount(u"-?[0-9][0-9,]*\\.[0-9]{2}"_s);
    std::vector<double> printed;
    for (const auto &m : amount.globalMatch(*grand))
        printed.push_back(m.captured().remove(u',').toDouble());

    const auto db = Connection::openSqlite(DemoFixture::path());
    const auto table = db->execute(
        u"select b.Qty, b.Price, b.Discratio, b.Discvalue, b.stratio, b.stvalue from SalesBody b "
        u"join Sales s on s.SaleID = b.SaleID where s.SaleDate between '2026-04-01' and "
        u"'2026-06-30' and s.SaleID <= 99999"_s);
    ASSERT_GT(table->rowCount(), 100);
    const auto cents = [](double v) { return std::round(v * 100) / 100; };
    double gross = 0, discount = 0, tax = 0, net = 0;
    for (int r = 0; r < table->rowCount(); ++r) {
        const double qty = table->number(0, r), price = table->number(1, r);
        const double unitDiscount = price * table->number(2, r) / 100 + table->number(3, r);
        const double unitTax = price * table->number(4, r) / 100 + table->number(5, r);
        gross += cents(qty * price);
        discount += cents(qty * unitDiscount);
        tax += cents(qty * unitTax);
        net += cents(qty * (price - unitDiscount + unitTax));
    }
    // Whether lines are rounded before they are added moves a total by at most half a cent a
    // line; the order of the amounts is what is at stake here.
    const double slack = 0.005 * table->rowCount();
    ASSERT_EQ(printed.size(), 4u) << grand->toStdString();
    EXPECT_NEAR(printed[0], gross, slack);
    EXPECT_NEAR(printed[1], discount, slack);
    EXPECT_NEAR(printed[2], tax, slack);
    EXPECT_NEAR(printed[3], net, slack);
}

// The register's grand total is set in its own type while it fits its columns, and a year's
// total, too long for that, is set smaller rather than run into the next column.
TEST(BuiltInLayouts, PrintTheRegistersGrandTotalLegibleAndInsideItsColumns)
{
    const auto layout = LayoutLibrary::load(u"crpSalesRegisterIW"_s);
    std::vector<QRectF> columns; // points, as pdftotext measures the page
    for (const QString &name : {u"fldGrossvalue"_s, u"fldTotaldisc"_s, u"fldSalestax"_s,
                                u"fldNetValue"_s}) {
        const LayoutObject *o = nullptr;
        for (const LayoutObject &c : layout->band(BandKind::Detail)->objects)
            o = c.name == name ? &c : o;
        ASSERT_NE(o, nullptr) << name.toStdString();
        columns.push_back(o->rect.translated(layout->margins.left(), 0));
    }
    QTemporaryDir folder(DemoFixture::temporaryFolder() + u"/total-XXXXXX"_s);
    ASSERT_TRUE(folder.isValid());
    const auto db = Connection::openSqlite(DemoFixture::path());
    const auto queries = LayoutQueries::all(*db, u"2026-03-01"_s, u"2026-03-31"_s);
    const auto register_ = std::find_if(queries.begin(), queries.end(), [](const auto &q) {
        return q.first == u"crpSalesRegisterIW"_s;
    });
    ASSERT_NE(register_, queries.end());
    const QStringList names = db->execute(register_->second)->columnNames();
    // A month's total fits at full size; the same lines at a hundred times the money make
    // totals of 16 characters and more.
    for (const int scale : {1, 100}) {
        SCOPED_TRACE(scale);
        QStringList picked;
        for (const QString &c : names) {
            const bool money = c.compare(u"Grossvalue"_s, Qt::CaseInsensitive) == 0 ||
                               c.compare(u"Totaldisc"_s, Qt::CaseInsensitive) == 0 ||
                               c.compare(u"Salestax"_s, Qt::CaseInsensitive) == 0 ||
                               c.compare(u"NetValue"_s, Qt::CaseInsensitive) == 0;
            picked.append(money ? u"q.%1 * %2 as %1"_s.arg(c).arg(scale) : u"q."_s + c);
        }
        Recordset rows;
        rows.open(u"select "_s + picked.join(u", "_s) + u" from ("_s + register_->second +
                      u") q"_s,
                  *db);
        auto report = Report::fromLayout(u"crpSalesRegisterIW"_s);
        report->Database().SetDataSource(rows, 3, 1);
        const QString pdf = folder.filePath(u"register-%1.pdf"_s.arg(scale));
        ASSERT_TRUE(report->exportPdf(pdf));
        const int longest = scale == 1 ? 0 : 16;
        const int last = report->pageCount() - 1;
        const auto words = pdfWords(pdf, last, last)[last];
        const auto label = std::find_if(words.begin(), words.end(),
                                        [](const auto &w) { return w.second == u"Grand"_s; });
        ASSERT_NE(label, words.end());
        std::vector<QRectF> amounts;
        qsizetype longestPrinted = 0;
        for (const auto &[box, text] : words) {
            if (box.center().y() > label->first.top() && box.center().y() < label->first.bottom() &&
                box.left() > label->first.right() && text.front().isDigit()) {
                amounts.push_back(box);
                longestPrinted = std::max(longestPrinted, text.size());
            }
        }
        ASSERT_EQ(amounts.size(), columns.size());
        EXPECT_GE(longestPrinted, longest);
        for (size_t k = 0; k < amounts.size(); ++k) {
            EXPECT_GE(amounts[k].left(), columns[k].left()) << k;
            EXPECT_LE(amounts[k].right(), columns[k].right() + 0.01) << k;
            if (longest == 0) { // the label's type: same height as its words
                EXPECT_NEAR(amounts[k].height(), label->first.height(),
                            0.02 * label->first.height());
            }
        }
    }
}

// An id column prints whole every id its boxes take: as many of the widest character a box
// accepts (digits, for ids that are numbers) as the longest box of that kind takes.
TEST(BuiltInLayouts, PrintEveryIdTheirBoxesTakeWhole)
{
    // The column each lookup's ids print in, and whether those ids are numbers.
    const std::map<LookupKind, std::pair<QString, bool>> idColumns{
        {LookupKind::Customer, {u"customerid"_s, false}},
        {LookupKind::Product, {u"productid"_s, false}},
        {LookupKind::Town, {u"townid"_s, true}},
        {LookupKind::Sector, {u"sectorid"_s, true}},
        {LookupKind::Company, {u"companyid"_s, true}}};
    std::map<QString, std::pair<int, bool>> boxes; // column -> longest box, digits only
    const auto take = [&](const QStringList &columns, int length, bool digits) {
        for (const QString &column : columns) {
            auto &[longest, numbers] = boxes[column];
            longest = std::max(longest, length);
            numbers = digits;
        }
    };
    for (const ReportEntry &entry : ReportCatalog::entries()) {
        const ReportDefinition *definition = &entry.definition();
        for (const CriteriaField &f : definition->fields()) {
            if (!f.isIdBox()) {
                take({u"saleid"_s, u"salereturnid"_s}, f.maxLength, true);
                continue;
            }
            const auto &[column, digits] = idColumns.at(f.lookup);
            take({column}, f.maxLength, digits);
        }
    }
    std::set<QString> printed;
    for (const QString &name : LayoutLibrary::builtInNames()) {
        SCOPED_TRACE(name.toStdString());
        const auto layout = LayoutLibrary::load(name);
        for (const Band &band : layout->bands) {
            for (const LayoutObject &o : band.objects) {
                const auto box = boxes.find(o.column.toLower());
                if (o.type != ObjectType::Field || box == boxes.end())
                    continue;
                const auto &[length, digits] = box->second;
                QString widest;
                for (char16_t c = digits ? u'0' : u'!'; c <= (digits ? u'9' : u'~'); ++c) {
                    if (textWidth(o, QString(QChar(c))) > textWidth(o, widest))
                        widest = QString(QChar(c));
                }
                EXPECT_LE(textWidth(o, widest.repeated(length)) + kPadding, o.rect.width())
                    << o.name.toStdString() << ": " << length << " x " << widest.toStdString();
                printed.insert(box->first);
            }
        }
    }
    // Every kind of id a box takes is printed somewhere, so none of them went unchecked.
    for (const auto &[column, box] : boxes)
        EXPECT_TRUE(printed.contains(column)) << column.toStdString();
}
