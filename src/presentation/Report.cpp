#include "presentation/Report.h"

#include "db/CsvWriter.h"
#include "db/Failure.h"
#include "db/ResultTable.h"
#include "presentation/DataBinding.h"
#include "presentation/LayoutLibrary.h"
#include "presentation/OutputFile.h"
#include "presentation/PdfExporter.h"
#include "presentation/ReportPages.h"
#include "presentation/ReportPrinting.h"
#include "presentation/XlsxExporter.h"

#include <QPageSize>

using namespace Qt::StringLiterals;

Report::Report(std::shared_ptr<const ReportLayout> layout)
    : m_layout(std::move(layout)), m_database(*this), m_printer(m_layout->printer),
      m_orientation(m_layout->orientation), m_title(m_layout->title),
      m_printDate(QDate::currentDate())
{
    for (const Band &band : m_layout->bands) {
        m_bandFirstObject.push_back(int(m_objects.size()));
        std::vector<ReportObject *> objects;
        for (const LayoutObject &o : band.objects) {
            m_objects.push_back(std::make_unique<ReportObject>(o));
            objects.push_back(m_objects.back().get());
        }
        m_sections.emplace_back(band.sectionName, std::move(objects));
    }
    for (const ParameterDesign &p : m_layout->parameters)
        m_parameters.emplace_back(p.name);
}

Report::~Report() = default;

std::unique_ptr<Report> Report::fromLayout(const QString &name)
{
    return std::make_unique<Report>(LayoutLibrary::load(name));
}

std::unique_ptr<Report> Report::copy() const
{
    auto other = std::make_unique<Report>(m_layout);
    other->m_printer = m_printer;
    other->m_orientation = m_orientation;
    other->m_title = m_title;
    other->m_criteriaLine = m_criteriaLine;
    other->m_printDate = m_printDate;
    other->m_printing = m_printing;
    for (size_t i = 0; i < m_objects.size(); ++i) {
        const ReportObject &from = *m_objects[i];
        ReportObject &to = *other->m_objects[i];
        if (from.kind() == ReportObject::Kind::Text)
            to.SetText(from.text());
        to.SetBackColor(from.BackColor());
        to.SetFillColor(from.FillColor());
    }
    other->m_parameters = m_parameters;
    if (m_pages)
        other->m_pages = m_pages->copyFor(*other);
    return other;
}

int Report::objectIndex(const Band &band, size_t objectInBand) const
{
    const size_t bandIndex = size_t(&band - m_layout->bands.data());
    return m_bandFirstObject[bandIndex] + int(objectInBand);
}

void Report::SelectPrinter(const QString &driver, const QString &printer, const QString &port)
{
    m_printer = {driver, printer, port};
}

int Report::PaperOrientation() const
{
    return m_orientation == QPageLayout::Portrait ? 1 : 2;
}

void Report::SetPaperOrientation(int orientation)
{
    if (orientation != 1 && orientation != 2)
        throw Failure(
            u"Paper orientation %1 is neither portrait (1) nor landscape (2)"_s.arg(orientation),
            Failure::engineSource());
    const QPageLayout::Orientation o =
        orientation == 1 ? QPageLayout::Portrait : QPageLayout::Landscape;
    if (o == m_orientation)
        return;
    m_orientation = o;
    if (m_pages)
        rebind(); // another page height
}

void Report::setCriteriaLine(const QString &line)
{
    const bool heightsChange = line.isEmpty() != m_criteriaLine.isEmpty();
    m_criteriaLine = line;
    if (m_pages && heightsChange)
        rebind(); // a criteria line appearing or going changes the page header's height
}

std::optional<RowLink> Report::link(int tableRow, int object) const
{
    if (!m_cellLinks)
        return rowLink(tableRow);
    if (tableRow < 0 || object < 0 || object >= int(m_objects.size()))
        return std::nullopt;
    const LayoutObject &o = m_objects[size_t(object)]->layout();
    if (o.type != ObjectType::Field)
        return std::nullopt;
    return m_cellLinks(tableRow, o.column);
}

ReportObject &Report::textObject(const QString &name)
{
    for (const auto &o : m_objects) {
        if (o->kind() == ReportObject::Kind::Text &&
            o->Name().compare(name, Qt::CaseInsensitive) == 0)
            return *o;
    }
    throw Failure(u"The report %1 has no text object named %2"_s.arg(m_layout->name, name),
                  Failure::engineSource());
}

ParameterField &Report::ParameterFields(int number)
{
    if (number < 1 || number > int(m_parameters.size()))
        throw Failure(u"The report %1 has no parameter field %2 (it has %3)"_s.arg(m_layout->name)
                          .arg(number)
                          .arg(m_parameters.size()),
                      Failure::engineSource());
    return m_parameters[size_t(number - 1)];
}

QString Report::parameterValue(int number) const
{
    return number >= 1 && number <= int(m_parameters.size())
               ? m_parameters[size_t(number - 1)].currentValue()
               : QString();
}

void Report::bind(std::shared_ptr<const ResultTable> table, std::vector<int> rows, bool allRows)
{
    auto binding =
        std::make_unique<DataBinding>(std::move(table), std::move(rows), allRows, *m_layout);
    m_pages = std::make_unique<ReportPages>(*this, std::move(binding));
}

// Paginates the bound rows again, after a change of the page or band heights.
void Report::rebind()
{
    m_pages = m_pages->relaid();
}

void Report::requireBound() const
{
    if (!m_pages)
        throw Failure(u"The report %1 has no data source"_s.arg(m_layout->name), Failure::engineSource());
}

std::shared_ptr<const ResultTable> Report::rows() const
{
    return m_pages ? m_pages->binding().sharedTable() : nullptr;
}

int Report::rowCount() const
{
    return m_pages ? m_pages->binding().rowCount() : 0;
}

const DataBinding &Report::binding() const
{
    requireBound();
    return m_pages->binding();
}

const std::vector<uint8_t> &Report::groupBreaks() const
{
    requireBound();
    return m_pages->groupBreaks();
}

QPageLayout Report::pageLayout() const
{
    return QPageLayout(QPageSize(m_layout->pageSize), m_orientation, QMarginsF(),
                       QPageLayout::Point);
}

QSizeF Report::pageSize() const
{
    const QSizeF portrait = QPageSize(m_layout->pageSize).size(QPageSize::Point);
    return m_orientation == QPageLayout::Portrait ? portrait : portrait.transposed();
}

int Report::pageCount()
{
    requireBound();
    return m_pages->pageCount();
}

bool Report::hasPage(int n)
{
    requireBound();
    return m_pages->hasPage(n);
}

PageContent Report::page(int n)
{
    requireBound();
    if (!m_pages->hasPage(n))
        throw Failure(u"The report has no page %1"_s.arg(n + 1), Failure::engineSource());
    return m_pages->page(n);
}

bool Report::exportPdf(const QString &path, const Progress &progress)
{
    requireBound();
    return PdfExporter::write(*this, path, progress);
}

void Report::exportCsv(const QString &path) const
{
    requireBound();
    OutputFile output(path, Failure::engineSource());
    output.commit(writeCsv(output.open()));
}

bool Report::writeCsv(QIODevice &device) const
{
    requireBound();
    return CsvWriter::write(device, m_pages->binding().table());
}

bool Report::exportXlsx(const QString &path, const Progress &progress) const
{
    requireBound();
    return XlsxExporter(*this).write(path, progress);
}

bool Report::print(const QString &printerName, const Progress &progress)
{
    requireBound();
    if (!m_printing)
        throw Failure(u"The report %1 was given no way to print"_s.arg(m_layout->name),
                      Failure::printingSource());
    return m_printing->print(*this, printerName, progress);
}

void Report::PrintOut(bool promptUser)
{
    if (promptUser)
        throw Failure(u"A print dialog is offered by the report viewer, not by the report"_s,
                      Failure::engineSource());
    if (!print(QString())) // nothing cancels it here: a print that did not finish failed
        throw Failure(u"The report %1 was not printed"_s.arg(m_layout->name),
                      Failure::printingSource());
}
