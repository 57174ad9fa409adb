#pragma once

#include "reports/ReportCatalog.h"
#include "reports/CriteriaField.h"
#include "reports/DrillDown.h"
#include "reports/PeriodComparison.h"
#include "reports/ReportCriteria.h"
#include "db/SqlDialect.h"

#include <memory>
#include <optional>
#include <vector>

class Connection;
class Recordset;
class Report;
class ReportPrinting;

enum class ReportAction { Preview, Print };

// What a window says instead of building, and why the command line refuses to build.
struct Refusal
{
    enum class Icon { Information, Exclamation };
    QString text;
    QString title;
    Icon icon = Icon::Exclamation;
    QString focus; // the control that takes the focus afterwards; empty: it stays
};

enum class BuildStyle {
    // BuildReport runs the query, answers an empty result with "No record exists." and puts a
    // new preview window holding the prepared report into the slot; Preview shows it modeless.
    Whole,
    // BuildReport runs the query only. Preview and Print test the rows themselves ("No record
    // found"); FillReport prepares the report in the preview window that the slot holds, and
    // Preview shows that window modally, owned by the criteria window.
    QueryThenFill
};

// The window's own design: its date pickers, command captions and way of building.
struct WindowDesign
{
    QString fromControl = QStringLiteral("DtpFromDate");
    QString toControl = QStringLiteral("dtpToDate");
    QString previewCaption = QStringLiteral("Pre&view");
    QString printCaption = QStringLiteral("&Print");
    QString closeCaption = QStringLiteral("&Close");
    BuildStyle style = BuildStyle::Whole;
    bool discardEnter = false; // Enter moves on and is then thrown away
    QString emptyFocus;        // the box Preview selects and focuses when nothing was found
    bool busyPointerOnPreview = true;
};

// One report, whole: its criteria, its query, the preparation of its report object and its
// messages. Its window declares its controls from it; the command line derives its options,
// checks and help from it; drill-down builds a detail report through it. Widget-free.
class ReportDefinition
{
public:
    virtual ~ReportDefinition();
    ReportDefinition(const ReportDefinition &) = delete;
    ReportDefinition &operator=(const ReportDefinition &) = delete;

    // Its catalogue row: caption, layout, window and names.
    [[nodiscard]] const ReportEntry &entry() const;
    [[nodiscard]] const WindowDesign &design() const { return m_design; }
    [[nodiscard]] const std::vector<CriteriaField> &fields() const { return m_fields; }
    // The box of that key; nullptr when the report has none.
    [[nodiscard]] const CriteriaField *field(const QString &key) const;

    // The report's query, in SQL Server's dialect with the connection's date literals.
    [[nodiscard]] virtual QString query(const ReportCriteria &criteria,
                                        SqlDialect dialect) const = 0;
    // Why these criteria cannot be built, checked before any query; nothing when they can.
    [[nodiscard]] virtual std::optional<Refusal> refusal(const ReportCriteria &criteria,
                                                         ReportAction action) const;
    // Where a row of the report's rows leads (or the figure in one column of it, for a report
    // whose figures lead each to their own lines), for a report that names its own detail;
    // nothing leaves it to DrillDown's links.
    [[nodiscard]] virtual std::optional<DrillTarget>
    drillTarget(const ReportCriteria &criteria, const ResultTable &rows, int row,
                const QString &column) const;
    // Whether its links are per figure (drillTarget with a column) rather than per row.
    [[nodiscard]] virtual bool linksCells() const { return false; }
    // How the report's rows are set beside an earlier period's; nullptr: they are not.
    [[nodiscard]] virtual const PeriodComparison::Design *comparison() const { return nullptr; }
    // Opens the report's rows for the criteria: its query's, merged with the same query's
    // over the earlier period when a comparison is chosen. Failures throw Failure.
    void openRows(Recordset &rows, const ReportCriteria &criteria,
                  const Connection &connection) const;
    // The layout a report of these criteria takes: the catalogue's, or its comparison variant.
    [[nodiscard]] QString layoutName(const ReportCriteria &criteria) const;
    // The answer to a query that found nothing.
    [[nodiscard]] Refusal emptyResult() const;

    // A new report object of the report's layout, prepared from the criteria and bound to the
    // rows (open, not empty), its criteria line written. It prints without a dialog through
    // the printing handed over (not owned; none: printing fails and says so), as do the
    // detail reports its rows lead to.
    [[nodiscard]] std::unique_ptr<Report> makeReport(const ReportCriteria &criteria,
                                                     const Recordset &rows,
                                                     const Connection &connection,
                                                     const ReportPrinting *printing = nullptr) const;
    // The analyses' window: DtpFrom/DtpTo, built in two steps, Enter thrown away after its Tab.
    [[nodiscard]] static WindowDesign twoStepWindow();
    // What the report covers, in words: the period and each criterion given, with its name,
    // then the report's own rule of what it counts, if it has one.
    [[nodiscard]] QString criteriaLine(const ReportCriteria &criteria) const;
    // A rule of the report's query that leaves out what a reader would expect counted.
    [[nodiscard]] virtual QString coverageRule() const { return QString(); }
    // Criteria that only drill-down sets (no box shows them), in words, for the criteria line.
    [[nodiscard]] virtual QStringList drillCriteria(const ReportCriteria &) const { return {}; }

protected:
    ReportDefinition(WindowDesign design, std::vector<CriteriaField> fields);

    // The report's own preparation of a new report object: printer, orientation, title, texts,
    // parameter fields, and the rows as its data source.
    virtual void prepare(Report &report, const ReportCriteria &criteria, const Recordset &rows,
                         const Connection &connection) const = 0;

    // "From date must be less than or equal to To date", when From is later than To.
    [[nodiscard]] static std::optional<Refusal> periodRefusal(const ReportCriteria &criteria,
                                                              const QString &focus);
    // Why the comparison chosen cannot be made (the period before the first date a report
    // takes), with the focus on the choice; nothing when it can.
    [[nodiscard]] static std::optional<Refusal> comparisonRefusal(const ReportCriteria &criteria);
    // dd-MMM-yyyy with English month names, whatever the machine's language.
    [[nodiscard]] static QString longDate(QDate date);
    // "Date Between : 01-Apr-2014 To 15-Apr-2014"
    [[nodiscard]] static QString dateBetween(const ReportCriteria &criteria);
    // dd/MM/yyyy, as the analyses print their period.
    [[nodiscard]] static QString shortDate(QDate date);

private:
    WindowDesign m_design;
    std::vector<CriteriaField> m_fields;
};
