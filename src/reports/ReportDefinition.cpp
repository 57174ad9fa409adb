#include "reports/ReportDefinition.h"

#include "db/CompanyRegistry.h"
#include "db/Connection.h"
#include "db/Failure.h"
#include "db/Recordset.h"
#include "presentation/Report.h"
#include "presentation/ReportObject.h"
#include "reports/DrillDown.h"

#include <QLocale>

#include <exception>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

// Every page header names the company beside the report's title, so that a loose page of a
// long report can be placed. A company whose registry has no name, or no registry, gets a
// blank there: the line identifies pages, it is no reason to refuse the report.
void nameCompanyOnEveryPage(Report &report, const Connection &connection)
{
    for (const auto &object : report.objects()) {
        if (object->kind() != ReportObject::Kind::Text ||
            object->Name().compare(u"txtPageCompany"_s, Qt::CaseInsensitive) != 0)
            continue;
        try {
            object->SetText(CompanyRegistry::value(connection, u"companyname"_s)
                                .value_or(QVariant())
                                .toString());
        } catch (const Failure &) {
        }
        return;
    }
}

} // namespace

ReportDefinition::ReportDefinition(WindowDesign design, std::vector<CriteriaField> fields)
    : m_design(std::move(design)), m_fields(std::move(fields))
{
}

const ReportEntry &ReportDefinition::entry() const
{
    return ReportCatalog::entryOf(*this);
}

ReportDefinition::~ReportDefinition() = default;

const CriteriaField *ReportDefinition::field(const QString &key) const
{
    for (const CriteriaField &f : m_fields) {
        if (f.key == key)
            return &f;
    }
    return nullptr;
}

std::optional<Refusal> ReportDefinition::refusal(const ReportCriteria &, ReportAction) const
{
    return std::nullopt;
}

std::optional<DrillTarget> ReportDefinition::drillTarget(const ReportCriteria &,
                                                         const ResultTable &, int,
                                                         const QString &) const
{
    return std::nullopt;
}

Refusal ReportDefinition::emptyResult() const
{
    if (m_design.style == BuildStyle::QueryThenFill)
        return {u"No record found"_s, u"Information"_s, Refusal::Icon::Information, {}};
    return {u"No record exists."_s, entry().caption, Refusal::Icon::Information, {}};
}

std::unique_ptr<Report> ReportDefinition::makeReport(const ReportCriteria &criteria,
                                                     const Recordset &rows,
                                                     const Connection &connection,
                                                     const ReportPrinting *printing) const
{
    std::unique_ptr<Report> report = Report::fromLayout(layoutName(criteria));
    report->setPrinting(printing);
    prepare(*report, criteria, rows, connection);
    // The comparison's columns need the width of a landscape page, whatever the report's own.
    if (report->layout().name != entry().layout)
        report->SetPaperOrientation(2);
    nameCompanyOnEveryPage(*report, connection);
    report->setCriteriaLine(criteriaLine(criteria));
    DrillDown::attach(*report, *this, criteria, rows.rows(), connection, printing);
    return report;
}

void ReportDefinition::openRows(Recordset &rows, const ReportCriteria &criteria,
                                const Connection &connection) const
{
    const QString sql = query(criteria, connection.dialect());
    if (layoutName(criteria) == entry().layout) {
        rows.open(sql, connection);
        return;
    }
    // The same report over the earlier period, by its own query: the figures set beside this
    // period's are those the report itself gives for that period. It is read at the same time,
    // on a connection of its own to the same books, so that comparing costs the merge rather
    // than a second query after the first.
    Recordset current, earlier;
    std::exception_ptr earlierFailed;
    std::thread reader([&] {
        try {
            const std::shared_ptr<Connection> own = Connection::open(connection.origin());
            earlier.open(query(PeriodComparison::earlierCriteria(criteria), own->dialect()),
                         *own);
        } catch (...) {
            earlierFailed = std::current_exception();
        }
    });
    try {
        current.open(sql, connection);
    } catch (...) {
        reader.join();
        throw;
    }
    reader.join();
    if (earlierFailed)
        std::rethrow_exception(earlierFailed);
    rows.open(PeriodComparison::merge(*current.rows(), *earlier.rows(), *comparison()));
}

QString ReportDefinition::layoutName(const ReportCriteria &criteria) const
{
    const bool compared = comparison() &&
                          PeriodComparison::mode(criteria) != PeriodComparison::Mode::None &&
                          !PeriodComparison::problem(criteria) && criteria.from <= criteria.to;
    return compared ? u"compare/"_s + entry().layout : entry().layout;
}

QString ReportDefinition::criteriaLine(const ReportCriteria &criteria) const
{
    QString period = u"Period "_s + longDate(criteria.from) + u" to "_s + longDate(criteria.to);
    if (layoutName(criteria) != entry().layout) {
        const PeriodComparison::Period earlier = PeriodComparison::earlier(
            PeriodComparison::mode(criteria), criteria.from, criteria.to);
        period += u" compared with "_s + longDate(earlier.from) + u" to "_s + longDate(earlier.to);
    }
    QStringList parts{period};
    for (const CriteriaField &f : m_fields) {
        if (!criteria.given(f.key) || f.key == PeriodComparison::key)
            continue;
        QString part = f.caption + u' ' + criteria.text(f.key).trimmed();
        const QString name = criteria.name(f.key).trimmed();
        if (f.isIdBox() && !name.isEmpty() && name != f.defaultText)
            part += u' ' + name;
        parts.append(part);
    }
    parts.append(drillCriteria(criteria));
    if (const QString rule = coverageRule(); !rule.isEmpty())
        parts.append(rule);
    return parts.join(u" \u00B7 "_s);
}

WindowDesign ReportDefinition::twoStepWindow()
{
    WindowDesign d;
    d.fromControl = u"DtpFrom"_s;
    d.toControl = u"DtpTo"_s;
    d.style = BuildStyle::QueryThenFill;
    d.discardEnter = true;
    return d;
}

std::optional<Refusal> ReportDefinition::periodRefusal(const ReportCriteria &criteria,
                                                       const QString &focus)
{
    if (criteria.from <= criteria.to)
        return std::nullopt;
    return Refusal{u"From date must be less than or equal to To date"_s, u"Alert"_s,
                   Refusal::Icon::Exclamation, focus};
}

std::optional<Refusal> ReportDefinition::comparisonRefusal(const ReportCriteria &criteria)
{
    const std::optional<QString> problem = PeriodComparison::problem(criteria);
    if (!problem)
        return std::nullopt;
    return Refusal{*problem, u"Alert"_s, Refusal::Icon::Exclamation,
                   PeriodComparison::field().control};
}

QString ReportDefinition::longDate(QDate date)
{
    return QLocale::c().toString(date, u"dd-MMM-yyyy"_s);
}

QString ReportDefinition::dateBetween(const ReportCriteria &criteria)
{
    return u"Date Between : "_s + longDate(criteria.from) + u" To "_s + longDate(criteria.to);
}

QString ReportDefinition::shortDate(QDate date)
{
    return QLocale::c().toString(date, u"dd/MM/yyyy"_s);
}
