// Builds report layouts from a database with each report's own query, writes them as PDF files
// and measures them: for every amount and text column, the widest value printed against the
// room its box gives. scripts/report-pages.sh uses it for the reports that `nvrptsales report`
// cannot build yet, to look at every layout's pages as a user would.
//
//   nvr_report_pages --db FILE [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--out DIR]
//                    [--criteria TEXT] [--no-criteria] [--measure] [--id-option] [NAME...]

#include "ReferenceQueries.h"
#include "db/Connection.h"
#include "db/Failure.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "presentation/Report.h"
#include "presentation/TextRun.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QRawFont>
#include <QTextStream>
#include <functional>
#include <map>

using namespace Qt::StringLiterals;

namespace {

struct Period
{
    QString from, to; // as they enter the query
    QDate first, last;
};

// What a report's window would give it: its query, texts, parameter values and criteria.
struct Definition
{
    QString name; // as on the command line
    QString layout;
    std::function<QString(const Period &, const QString &id)> query;
    QString idQuery; // picks the one id the report needs (most lines in the period), if any
    QString idLabel;
    QString idOption; // the report command's option for it
};

QString day(QDate d)
{
    return d.toString(u"dd-MMM-yyyy"_s);
}

const std::vector<Definition> &definitions()
{
    using namespace ReferenceQueries;
    static const QString busiestProduct =
        u"select sb.productid, p.productname from salesbody sb join sales s on s.saleid = "
        u"sb.saleid join products p on p.productid = sb.productid where s.saledate between "
        u"'%1' and '%2' group by sb.productid, p.productname order by count(*) desc"_s;
    static const QString busiestReturnedProduct =
        u"select rb.productid, p.productname from salereturnsbody rb join salereturns r on "
        u"r.salereturnid = rb.salereturnid join products p on p.productid = rb.productid where "
        u"r.salereturndate between '%1' and '%2' group by rb.productid, p.productname order by "
        u"count(*) desc"_s;
    static const QString busiestCompany =
        u"select c.companyid, c.companyname from salesbody sb join sales s on s.saleid = "
        u"sb.saleid join products p on p.productid = sb.productid join companies c on "
        u"c.companyid = p.companyid where s.saledate between '%1' and '%2' group by "
        u"c.companyid, c.companyname order by count(*) desc"_s;
    auto forOne = [](QString name, QString layout, auto query, QString idQuery, QString label,
                     QString option) {
        Definition d;
        d.name = std::move(name);
        d.layout = std::move(layout);
        d.query = query;
        d.idQuery = std::move(idQuery);
        d.idLabel = std::move(label);
        d.idOption = std::move(option);
        return d;
    };
    auto plain = [&](QString name, QString layout, auto query) {
        return forOne(std::move(name), std::move(layout), query, {}, {}, {});
    };
    static const std::vector<Definition> all = {
        plain(u"sales-register"_s, u"crpSalesRegisterIW"_s,
              [](const Period &p, const QString &) { return salesRegister(p.from, p.to, {}); }),
        plain(u"sales-summary"_s, u"crpSalesSummary"_s,
              [](const Period &p, const QString &) { return salesSummary(p.from, p.to, {}); }),
        plain(u"sale-return-register"_s, u"crpSaleReturnsRegisterIW"_s,
              [](const Period &p, const QString &) {
                  return saleReturnRegister(p.from, p.to,
                                            u" And r.salereturnid between 1 and 99999"_s, {});
              }),
        plain(
            u"sale-returns-summary"_s, u"crpSaleReturnsSummary"_s,
            [](const Period &p, const QString &) { return saleReturnsSummary(p.from, p.to, {}); }),
        plain(u"company-wise-sale"_s, u"CrpCompanyWiseSale"_s,
              [](const Period &p, const QString &) { return companyWiseSale(p.from, p.to, {}); }),
        forOne(
            u"company-sector-wise-sale"_s, u"CrpCompanySectorWiseSale"_s,
            [](const Period &p, const QString &id) {
                return companySectorWiseSale(p.from, p.to, id, {});
            },
            busiestCompany, u"Company"_s, u"--company"_s),
        plain(u"customer-town-sector-wise-sales"_s, u"crpSalesCTSwise"_s,
              [](const Period &p, const QString &) {
                  return customerTownSectorWiseSales(p.from, p.to, {});
              }),
        plain(u"product-wise-sales"_s, u"CrpProductWiseSale"_s,
              [](const Period &p, const QString &) { return productWiseSales(p.from, p.to, {}); }),
        forOne(
            u"product-sales-ledger"_s, u"CrpProductSalesLedger"_s,
            [](const Period &p, const QString &id) { return productSalesLedger(p.from, p.to, id); },
            busiestProduct, u"Product"_s, u"--product"_s),
        forOne(
            u"product-sale-return-ledger"_s, u"crpSaleReturnsLedger"_s,
            [](const Period &p, const QString &id) {
                return productSaleReturnLedger(p.from, p.to, id);
            },
            busiestReturnedProduct, u"Product"_s, u"--product"_s),
        plain(
            u"sales-stock-statement"_s, u"crpSalesStockStatement"_s,
            [](const Period &p, const QString &) { return salesStockStatement(p.from, p.to, {}); }),
    };
    return all;
}

// Texts and parameter fields as the windows write them, near enough to judge a page by.
void fillTexts(Report &report, const Period &p, const QString &idText)
{
    const QString dates = u"Date Between : %1 To %2"_s.arg(day(p.first), day(p.last));
    const std::map<QString, QString> texts = {
        {u"txtCompName"_s, u"Norvale Agro Traders"_s},
        {u"txtDate"_s, dates},
        {u"txtInvoice"_s, u"Invoiceno Between : 1 To 99999"_s},
        {u"txtProduct"_s, idText},
    };
    for (const auto &o : report.objects()) {
        if (o->kind() != ReportObject::Kind::Text)
            continue;
        const auto text = texts.find(o->Name());
        if (text != texts.end())
            o->SetText(text->second);
    }
    const QString period = u"From Date : %1,   To Date : %2"_s.arg(
        p.first.toString(u"dd/MM/yyyy"_s), p.last.toString(u"dd/MM/yyyy"_s));
    for (int k = 1; k <= report.parameterFieldCount(); ++k) {
        const QString name = report.layout().parameters[size_t(k - 1)].name;
        QString value = name + u": All"_s;
        if (name == u"Period")
            value = period;
        else if (name == u"Company" && !idText.isEmpty())
            value = u"Company: "_s + idText;
        report.ParameterFields(k).AddCurrentValue(value);
    }
}

struct Widest
{
    QString object;
    QString text;
    double needed = 0; // points, with the box's padding
    double room = 0;
};

// For every field and total, the value that needs the most room on any page.
std::vector<Widest> measure(Report &report)
{
    std::map<int, Widest> widest;
    std::map<int, QRawFont> fonts;
    for (int n = 0; n < report.pageCount(); ++n) {
        for (const PageItem &item : report.page(n).items) {
            const LayoutObject &o = report.objects()[size_t(item.object)]->layout();
            if (o.type != ObjectType::Field && o.type != ObjectType::Summary)
                continue;
            auto font = fonts.find(item.object);
            if (font == fonts.end()) {
                QFont f(o.font.family);
                f.setPixelSize(100);
                f.setBold(o.font.bold);
                f.setItalic(o.font.italic);
                QRawFont raw = QRawFont::fromFont(f);
                raw.setPixelSize(o.font.size); // one pixel a point
                font = fonts.emplace(item.object, raw).first;
            }
            const double needed = TextRun(font->second, item.text, 1e9).width() + 2.0;
            Widest &w = widest[item.object];
            if (needed > w.needed)
                w = {o.name, item.text, needed, o.rect.width()};
        }
    }
    std::vector<Widest> out;
    for (const auto &[object, w] : widest)
        out.push_back(w);
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({u"db"_s, u"The SQLite database."_s, u"FILE"_s});
    parser.addOption({u"from"_s, u"First day."_s, u"YYYY-MM-DD"_s, u"2026-01-01"_s});
    parser.addOption({u"to"_s, u"Last day."_s, u"YYYY-MM-DD"_s, u"2026-12-06"_s});
    parser.addOption({u"out"_s, u"Folder for the PDF files."_s, u"DIR"_s, u"."_s});
    parser.addOption(
        {u"criteria"_s, u"The criteria line (default: the period and the id)."_s, u"TEXT"_s});
    parser.addOption({u"no-criteria"_s, u"Print no criteria line."_s});
    parser.addOption({u"no-pdf"_s, u"Write no PDF."_s});
    parser.addOption({u"measure"_s, u"Print the widest value of every field and total."_s});
    parser.addOption({u"id-option"_s, u"Only print the report command's option for the id the "
                                      u"report is built for (--product ID), if it needs one."_s});
    parser.addPositionalArgument(u"NAME"_s, u"Reports to build (default: all)."_s);
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    const Period period{parser.value(u"from"_s), parser.value(u"to"_s),
                        QDate::fromString(parser.value(u"from"_s), Qt::ISODate),
                        QDate::fromString(parser.value(u"to"_s), Qt::ISODate)};
    if (!parser.isSet(u"db"_s) || !period.first.isValid() || !period.last.isValid()) {
        err << "nvr_report_pages: --db FILE, and dates as YYYY-MM-DD" << Qt::endl;
        return 2;
    }
    const QStringList wanted = parser.positionalArguments();
    try {
        const auto connection = Connection::openSqlite(parser.value(u"db"_s));
        for (const Definition &d : definitions()) {
            if (!wanted.isEmpty() && !wanted.contains(d.name))
                continue;
            QString id, idText;
            if (!d.idQuery.isEmpty()) {
                const auto picked = connection->execute(d.idQuery.arg(period.from, period.to));
                id = picked->text(0, 0);
                idText = id + u" "_s + picked->text(1, 0);
            }
            if (parser.isSet(u"id-option"_s)) {
                if (!id.isEmpty())
                    out << d.idOption << " " << id << Qt::endl;
                continue;
            }
            Recordset rows;
            rows.open(d.query(period, id), *connection);
            if (rows.recordCount() == 0) {
                err << d.name << ": no record" << Qt::endl;
                continue;
            }
            auto report = Report::fromLayout(d.layout);
            fillTexts(*report, period, idText);
            QString criteria = u"Period %1 to %2"_s.arg(day(period.first), day(period.last));
            if (!idText.isEmpty())
                criteria += u" \u00B7 "_s + d.idLabel + u" "_s + idText;
            if (parser.isSet(u"criteria"_s))
                criteria = parser.value(u"criteria"_s);
            if (!parser.isSet(u"no-criteria"_s))
                report->setCriteriaLine(criteria);
            report->Database().SetDataSource(rows, 3, 1);
            const QString pdf = QDir(parser.value(u"out"_s)).filePath(d.name + u".pdf"_s);
            if (!parser.isSet(u"no-pdf"_s) && !report->exportPdf(pdf))
                return 1; // nothing cancels it here
            out << d.name << ": " << rows.recordCount() << " rows, " << report->pageCount()
                << " pages" << (parser.isSet(u"no-pdf"_s) ? QString() : u", "_s + pdf) << Qt::endl;
            if (parser.isSet(u"measure"_s)) {
                constexpr double mm = 25.4 / 72.0;
                // Room to spare in a box is the space between its value and the column before.
                for (const Widest &w : measure(*report)) {
                    const double spare = (w.room - w.needed + 2.0) * mm;
                    out << QString::asprintf("  %-26s %-40s needs %6.1f mm of %6.1f%s\n",
                                             qPrintable(w.object), qPrintable(w.text.left(40)),
                                             w.needed * mm, w.room * mm,
                                             w.needed > w.room ? "  TOO NARROW"
                                             : spare < 1.5     ? "  CROWDED"
                                                               : "");
                }
                out.flush();
            }
        }
    } catch (const Failure &f) {
        err << f.description() << Qt::endl;
        return 3;
    }
    return 0;
}
