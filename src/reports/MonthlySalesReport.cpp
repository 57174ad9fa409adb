#include "reports/MonthlySalesReport.h"

#include "db/ResultTable.h"
#include "presentation/Report.h"
#include "reports/CompanyName.h"
#include "reports/SalesRegisterReport.h"
#include "reports/StandardFields.h"

#include <QLocale>

using namespace Qt::StringLiterals;

namespace {

// What a row stands for: its key and name in the joined lines (p is the product of a sale or
// return line), and how the window and the report's heading call it.
struct Grouping
{
    QString value;
    QString label;
    QString heading; // of the id column, which is narrow
    QString key;
    QString name;
};

const std::array<Grouping, 4> &groupings()
{
    static const std::array<Grouping, 4> all{{
        {u"company"_s, u"Company"_s, u"Company"_s, u"LEFT(pr.productid, 2)"_s, u"co.companyname"_s},
        {u"customer"_s, u"Customer"_s, u"Customer"_s, u"c.partyid"_s, u"c.partyname"_s},
        {u"sector"_s, u"Town/Sector"_s, u"Sector"_s, u"sr.sectorid"_s, u"sr.sectorname"_s},
        {u"product"_s, u"Product"_s, u"Product"_s, u"pr.productid"_s, u"pr.productname"_s},
    }};
    return all;
}

const Grouping &grouping(const ReportCriteria &criteria)
{
    const QString by = MonthlySalesReport::by(criteria);
    for (const Grouping &g : groupings()) {
        if (g.value == by)
            return g;
    }
    return groupings().front();
}

// A line's net value as the registers compute it: quantity times the price less discount
// plus tax, each per unit.
QString lineNet(const QString &line)
{
    return u"%1.Qty*((%1.Price-((%1.Price*%1.Discratio/100)+%1.Discvalue))+ ((%1.Price*%1.stratio/100)+%1.stvalue))"_s
        .arg(line);
}

CriteriaField companyField()
{
    CriteriaField f = StandardFields::company(ChangeRule::DefaultTextAlways, 5);
    f.label = u"Company ID."_s;
    f.nameLabel = u"Company Name"_s;
    f.defaultText = u"All Companies"_s;
    return f;
}

CriteriaField byField()
{
    CriteriaField f;
    f.kind = FieldKind::Choice;
    f.key = MonthlySalesReport::byKey;
    f.caption = u"By"_s;
    f.label = u"By"_s;
    f.control = u"CboBy"_s;
    for (const Grouping &g : groupings()) {
        f.choices.append(g.value);
        f.choiceLabels.append(g.label);
    }
    return f;
}

QDate monthStart(const ReportCriteria &criteria, int k)
{
    return QDate(criteria.from.year(), criteria.from.month(), 1).addMonths(k);
}

} // namespace

const MonthlySalesReport &MonthlySalesReport::instance()
{
    static const MonthlySalesReport definition;
    return definition;
}

MonthlySalesReport::MonthlySalesReport()
    : ReportDefinition(
          ReportDefinition::twoStepWindow(),
          {StandardFields::labelledCustomer(ChangeRule::DefaultTextAlways,
                                            u" Select * FROM Parties where IsCustomer = 1 "_s),
           StandardFields::labelledTown(ChangeRule::DefaultTextAlways),
           StandardFields::labelledSector(ChangeRule::DefaultTextAlways), companyField(),
           byField()})
{
}

QString MonthlySalesReport::by(const ReportCriteria &criteria)
{
    const QString chosen = criteria.text(byKey).trimmed();
    return chosen.isEmpty() ? groupings().front().value : chosen;
}

int MonthlySalesReport::monthCount(const ReportCriteria &criteria)
{
    return (criteria.to.year() - criteria.from.year()) * 12 + criteria.to.month() -
           criteria.from.month() + 1;
}

QString MonthlySalesReport::monthColumn(int k)
{
    return u"M%1"_s.arg(k + 1, 2, 10, QChar(u'0'));
}

QString MonthlySalesReport::monthName(const ReportCriteria &criteria, int k)
{
    return monthStart(criteria, k).toString(u"yyyy-MM"_s);
}

std::optional<Refusal> MonthlySalesReport::refusal(const ReportCriteria &criteria,
                                                   ReportAction) const
{
    if (std::optional<Refusal> period = periodRefusal(criteria, design().fromControl))
        return period;
    const QString chosen = by(criteria);
    if (std::ranges::none_of(groupings(), [&](const Grouping &g) { return g.value == chosen; }))
        return Refusal{
            u"Monthly Sales is by company, customer, sector or product, not \"%1\""_s.arg(chosen),
            u"Alert"_s, Refusal::Icon::Exclamation, u"CboBy"_s};
    const int months = monthCount(criteria);
    if (months > maxMonths)
        return Refusal{u"The period covers %1 months; Monthly Sales shows at most %2. Choose "
                       u"a shorter period."_s.arg(months)
                           .arg(maxMonths),
                       u"Alert"_s, Refusal::Icon::Exclamation, design().fromControl};
    return std::nullopt;
}

QString MonthlySalesReport::query(const ReportCriteria &criteria, SqlDialect dialect) const
{
    const Grouping &g = grouping(criteria);
    auto date = [&](QDate d) -> QString { return u"'"_s + SqlDates::literal(dialect, d) + u"'"_s; };
    // Each line belongs where its register puts it: the document's customer, the document's
    // own sector and that sector's town; the company is the product id's first two characters.
    const QString filters = SalesRegisterReport::clauses(criteria) +
                            StandardFields::quotedClause(criteria, StandardFields::companyKey,
                                                         u" and LEFT(pr.productid, 2)='"_s);
    auto lines = [&](const QString &head, const QString &body, const QString &id,
                     const QString &dateColumn, const QString &sign) -> QString {
        return u"select "_s + g.key + u" as ID, "_s + g.name + u" as Name, h."_s + dateColumn +
               u" as d, "_s + sign + u"("_s + lineNet(u"b"_s) + u") as v from "_s + head +
               u" h join "_s + body + u" b on h."_s + id + u"=b."_s + id +
               u" join parties c on c.partyid=h.customerid join products pr on pr.productid=b.productid "_s
               u" join sectors sr on sr.sectorid=h.sectorid join towns t on t.townid=sr.townid "_s
               u" left join companies co on co.companyid=LEFT(pr.productid, 2) "_s
               u" where h."_s +
               dateColumn + u" between "_s + date(criteria.from) + u" and "_s + date(criteria.to) +
               filters;
    };
    QString columns;
    const int months = monthCount(criteria);
    for (int k = 0; k < maxMonths; ++k) {
        if (k >= months) {
            columns += u", NULL as "_s + monthColumn(k);
            continue;
        }
        // The period's own ends bound its first and last month.
        const QDate first = std::max(monthStart(criteria, k), criteria.from);
        const QDate last = std::min(monthStart(criteria, k + 1).addDays(-1), criteria.to);
        columns += u", SUM(CASE WHEN x.d between "_s + date(first) + u" and "_s + date(last) +
                   u" THEN x.v ELSE 0 END) as "_s + monthColumn(k);
    }
    return u"select x.ID, MAX(x.Name) as Name"_s + columns + u", SUM(x.v) as Total from ("_s +
           lines(u"sales"_s, u"salesbody"_s, u"saleid"_s, u"saledate"_s, QString()) +
           u" union all "_s +
           lines(u"salereturns"_s, u"salereturnsbody"_s, u"salereturnid"_s, u"salereturndate"_s,
                 u"-"_s) +
           u") x group by x.ID order by x.ID"_s;
}

std::optional<DrillTarget> MonthlySalesReport::drillTarget(const ReportCriteria &criteria,
                                                           const ResultTable &rows, int row,
                                                           const QString &column) const
{
    const int key = rows.columnIndex(u"ID");
    const int figure = rows.columnIndex(column);
    if (key < 0 || figure < 0 || row < 0 || row >= rows.rowCount() || rows.isNull(figure, row))
        return std::nullopt; // a month past the period
    const QString id = rows.text(key, row).trimmed();
    if (id.isEmpty())
        return std::nullopt;
    // A month's figure opens that month's part of the period; any other the whole period.
    ReportCriteria detail{criteria.from, criteria.to, {}, {}};
    QString when = u"over the period"_s;
    for (int k = 0; k < monthCount(criteria); ++k) {
        if (column.compare(monthColumn(k), Qt::CaseInsensitive) != 0)
            continue;
        detail.from = std::max(monthStart(criteria, k), criteria.from);
        detail.to = std::min(monthStart(criteria, k + 1).addDays(-1), criteria.to);
        when = u"of "_s + monthName(criteria, k);
    }
    // The register has this report's customer, sector and town boxes; the company box and a
    // row of one company or product narrow it through criteria only drill-down sets.
    for (const QString &box : {StandardFields::customerKey, StandardFields::sectorKey,
                               StandardFields::townKey, StandardFields::companyKey}) {
        if (criteria.given(box))
            detail.texts.insert(box, criteria.text(box));
    }
    const Grouping &g = grouping(criteria);
    const QString rowKey = g.value == u"customer" ? StandardFields::customerKey
                           : g.value == u"sector" ? StandardFields::sectorKey
                           : g.value == u"product" ? StandardFields::productKey
                                                   : StandardFields::companyKey;
    detail.texts.insert(rowKey, id);
    const int nameColumn = rows.columnIndex(u"Name");
    const QString name = nameColumn < 0 ? QString() : rows.text(nameColumn, row).trimmed();
    return DrillTarget{
        &SalesRegisterReport::instance(), detail,
        u"Sales register of %1 %2 %3, %4 to %5: its sales lines (the figure here is net of "
        u"returns; its returns are in the sale return register)"_s.arg(
            g.label.toLower(), name.isEmpty() ? id : id + u' ' + name, when,
            longDate(detail.from), longDate(detail.to))};
}

void MonthlySalesReport::prepare(Report &report, const ReportCriteria &criteria,
                                 const Recordset &rows, const Connection &connection) const
{
    const Grouping &g = grouping(criteria);
    report.SetReportTitle(u"Monthly Sales by "_s + g.label);
    report.textObject(u"txtCompName"_s).SetText(CompanyName::read(connection));
    report.textObject(u"hdrKey"_s).SetText(g.heading);
    const int months = monthCount(criteria);
    for (int k = 0; k < maxMonths; ++k)
        report.textObject(u"hdr"_s + monthColumn(k))
            .SetText(k < months ? monthName(criteria, k) : QString());
    report.Database().SetDataSource(rows);
    report.SetPaperOrientation(2);
}
