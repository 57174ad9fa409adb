#pragma once

#include "presentation/PageContent.h"
#include "presentation/ParameterField.h"
#include "presentation/ReportDatabase.h"
#include "presentation/ReportLayout.h"
#include "presentation/ReportObject.h"
#include "presentation/ReportSection.h"

#include <QDate>
#include <QPageLayout>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class DataBinding;
class QIODevice;
class ReportPages;
class ReportPrinting;
class ResultTable;
class Report;

// Where a row of a report leads: the lines behind a summary's figure, as another report.
struct RowLink
{
    QString description; // "Sales register of invoice 7002"
    // Builds the detail report. Nothing, with the reason in `message`, when it has no rows.
    // Throws Failure when it cannot be built.
    std::function<std::unique_ptr<Report>(QString &message)> open;
};

// A report object: a new instance of one layout, prepared by a report window (printer,
// orientation, title, texts, parameter values, data source) and then previewed, printed or
// exported. Pages are laid out lazily from the bound rows.
class Report
{
public:
    // Called after each page written by an export or a print; returning false cancels.
    using Progress = std::function<bool(int pagesDone, int pageCount)>;

    explicit Report(std::shared_ptr<const ReportLayout> layout);
    ~Report();
    Report(const Report &) = delete;
    Report &operator=(const Report &) = delete;

    // A new instance of the named layout (built in, or from the user's layout folder).
    [[nodiscard]] static std::unique_ptr<Report> fromLayout(const QString &name);
    // An independent report as this one stands: texts, colours, values, printer and the same
    // bound rows (shared, read-only), paginated afresh. A print or export can work on it on
    // another thread while this one stays on screen. Row links stay with this one: they lead
    // back to the windows' connection, which only their thread uses.
    [[nodiscard]] std::unique_ptr<Report> copy() const;

    [[nodiscard]] const ReportLayout &layout() const { return *m_layout; }

    // --- the operations report windows use -----------------------------------------------
    void SelectPrinter(const QString &driver, const QString &printer, const QString &port);
    [[nodiscard]] const PrinterSelection &selectedPrinter() const { return m_printer; }
    [[nodiscard]] int PaperOrientation() const; // 1 portrait, 2 landscape
    void SetPaperOrientation(int orientation);
    [[nodiscard]] const QString &ReportTitle() const { return m_title; }
    void SetReportTitle(const QString &title) { m_title = title; }
    // What the report covers, in words: the period and each criterion given with its name
    // ("Period 01-Jul-2026 to 06-Dec-2026 · Customer C0317 Khan Traders").
    // Printed on every page header; a layout's criteria line takes no room while it is empty.
    [[nodiscard]] const QString &criteriaLine() const { return m_criteriaLine; }
    void setCriteriaLine(const QString &line);
    // Rows that lead to a detail report, by row of the bound table; set by the report's
    // definition for summaries. No links: every row leads nowhere.
    using RowLinks = std::function<std::optional<RowLink>(int tableRow)>;
    void setRowLinks(RowLinks links) { m_rowLinks = std::move(links); }
    [[nodiscard]] std::optional<RowLink> rowLink(int tableRow) const
    {
        return m_rowLinks && tableRow >= 0 ? m_rowLinks(tableRow) : std::nullopt;
    }
    // Figures that each lead to their own detail (a month of a row), by row of the bound table
    // and the field's column; they take the place of row links. Pages then list their cells.
    using CellLinks =
        std::function<std::optional<RowLink>(int tableRow, const QString &column)>;
    void setCellLinks(CellLinks links) { m_cellLinks = std::move(links); }
    [[nodiscard]] bool linksCells() const { return bool(m_cellLinks); }
    // Where the figure of that field object (-1: the row as a whole) leads in a row.
    [[nodiscard]] std::optional<RowLink> link(int tableRow, int object) const;
    // The text object of that name (case ignored); a Failure naming it when there is none.
    ReportObject &textObject(const QString &name);
    // Parameter field k, 1-based in the layout's order; a Failure when there is none.
    ParameterField &ParameterFields(int number);
    [[nodiscard]] int parameterFieldCount() const { return int(m_parameters.size()); }
    [[nodiscard]] QString parameterValue(int number) const;
    ReportDatabase &Database() { return m_database; }
    [[nodiscard]] const std::vector<ReportSection> &Sections() const { return m_sections; }
    // Prints the whole report as one job, without a dialog, on the selected printer when the
    // system has one of that name, otherwise on the default printer. A Failure when there is
    // no printer at all or the job cannot be made.
    void PrintOut(bool promptUser = false);

    // --- reading it ----------------------------------------------------------------------
    [[nodiscard]] bool isBound() const { return m_pages != nullptr; }
    [[nodiscard]] std::shared_ptr<const ResultTable> rows() const;
    [[nodiscard]] int rowCount() const;
    // The bound rows in print order, and per row the outermost group level beginning there
    // (the group count where none does): for exports that walk rows rather than pages.
    [[nodiscard]] const DataBinding &binding() const;
    [[nodiscard]] const std::vector<uint8_t> &groupBreaks() const;
    [[nodiscard]] QPageLayout pageLayout() const;
    [[nodiscard]] QSizeF pageSize() const; // points, in the paper orientation
    // Counts every page (fast: band heights only).
    int pageCount();
    // Whether page n (0-based) exists, paginating only as far as needed.
    bool hasPage(int n);
    PageContent page(int n);
    [[nodiscard]] const std::vector<std::unique_ptr<ReportObject>> &objects() const
    {
        return m_objects;
    }
    [[nodiscard]] int objectIndex(const Band &band, size_t objectInBand) const;

    [[nodiscard]] QDate printDate() const { return m_printDate; }
    void setPrintDate(QDate date) { m_printDate = date; }

    // --- writing it ----------------------------------------------------------------------
    // Returns false when cancelled (no file is left then). Failure on errors.
    [[nodiscard]] bool exportPdf(const QString &path, const Progress &progress = {});
    // The bound result set as CSV: the query's rows in the query's order, whatever order the
    // layout prints them in. Every CSV of a report is written by writeCsv.
    void exportCsv(const QString &path) const;
    [[nodiscard]] bool writeCsv(QIODevice &device) const;
    // The report as a spreadsheet workbook; progress counts rows. False when cancelled.
    [[nodiscard]] bool exportXlsx(const QString &path, const Progress &progress = {}) const;
    // Prints on the printer named (empty: the selected or default one); false when cancelled.
    // Through the printing the report was given; a Failure when it was given none.
    [[nodiscard]] bool print(const QString &printerName, const Progress &progress = {});
    // How the report prints without a dialog (the printing library's); not owned.
    void setPrinting(const ReportPrinting *printing) { m_printing = printing; }

private:
    friend class ReportDatabase;
    void bind(std::shared_ptr<const ResultTable> table, std::vector<int> rows, bool allRows);
    void rebind();
    void requireBound() const;

    std::shared_ptr<const ReportLayout> m_layout;
    std::vector<std::unique_ptr<ReportObject>> m_objects;
    std::vector<int> m_bandFirstObject; // per layout band
    std::vector<ReportSection> m_sections;
    std::vector<ParameterField> m_parameters;
    ReportDatabase m_database;
    PrinterSelection m_printer;
    QPageLayout::Orientation m_orientation;
    QString m_title;
    QString m_criteriaLine;
    RowLinks m_rowLinks;
    CellLinks m_cellLinks;
    const ReportPrinting *m_printing = nullptr;
    QDate m_printDate;
    std::unique_ptr<ReportPages> m_pages;
};
