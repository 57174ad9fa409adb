#include "TotalsFooting.h"

#include "PdfWords.h"
#include "SubtotalEvaluator.h"
#include "XlsxReader.h"
#include "presentation/DataBinding.h"
#include "presentation/Report.h"

#include <cmath>
#include <map>
#include <set>

using namespace Qt::StringLiterals;

namespace TotalsFooting {

namespace {

struct Placed
{
    BandKind kind;
    const LayoutObject *object;
};

// Per report object: its band and design.
std::vector<Placed> placedObjects(const Report &report)
{
    std::vector<Placed> placed(report.objects().size(), {BandKind::Detail, nullptr});
    for (const Band &band : report.layout().bands) {
        for (size_t k = 0; k < band.objects.size(); ++k)
            placed[size_t(report.objectIndex(band, k))] = {band.kind, &band.objects[k]};
    }
    return placed;
}

bool isFigure(const LayoutObject &o)
{
    return o.type == ObjectType::Summary ||
           (o.type == ObjectType::Field && o.format.kind == ValueFormat::Kind::Number);
}

} // namespace

qint64 millionths(const QString &printed)
{
    QString text = QString(printed).remove(u',');
    const bool negative = text.startsWith(u'-');
    if (negative)
        text.remove(0, 1);
    const qsizetype point = text.indexOf(u'.');
    const QString whole = point < 0 ? text : text.left(point);
    const QString fraction = point < 0 ? QString() : text.mid(point + 1).leftJustified(6, u'0');
    const qint64 value = whole.toLongLong() * 1'000'000 + fraction.toLongLong();
    return negative ? -value : value;
}

QStringList pageFaults(Report &report, int &totalsChecked, int first, int last)
{
    const std::vector<Placed> placed = placedObjects(report);
    const DataBinding &binding = report.binding();
    // Columns printed on detail lines as figures, and per summary of such a column in a footer,
    // the figures printed since its group began.
    std::set<int> printedColumns;
    for (const Placed &p : placed) {
        if (p.object && p.kind == BandKind::Detail && p.object->type == ObjectType::Field &&
            isFigure(*p.object))
            printedColumns.insert(binding.reference(p.object->column));
    }
    std::map<int, std::vector<int>> summariesOfColumn;
    std::map<int, qint64> sums;
    for (size_t i = 0; i < placed.size(); ++i) {
        const LayoutObject *o = placed[i].object;
        if (o && o->type == ObjectType::Summary && o->function == SummaryFunction::Sum &&
            (placed[i].kind == BandKind::GroupFooter ||
             placed[i].kind == BandKind::ReportFooter) &&
            printedColumns.count(binding.reference(o->column))) {
            summariesOfColumn[binding.reference(o->column)].push_back(int(i));
            sums[int(i)] = 0;
        }
    }
    QStringList faults;
    totalsChecked = 0;
    const int end = last < 0 ? report.pageCount() - 1 : last;
    for (int n = first; n <= end; ++n) {
        for (const PageItem &item : report.page(n).items) {
            const Placed &p = placed[size_t(item.object)];
            if (!p.object || !isFigure(*p.object))
                continue;
            if (p.kind == BandKind::Detail && p.object->type == ObjectType::Field) {
                for (int s : summariesOfColumn[binding.reference(p.object->column)])
                    sums[s] += millionths(item.text);
                continue;
            }
            const auto sum = sums.find(item.object);
            if (sum == sums.end())
                continue;
            ++totalsChecked;
            if (millionths(item.text) != sum->second)
                faults.append(u"page %1: %2 prints %3, its lines add up to %4"_s.arg(n + 1)
                                  .arg(report.objects()[size_t(item.object)]->Name(), item.text)
                                  .arg(double(sum->second) / 1e6, 0, 'f', 6));
            if (p.kind == BandKind::GroupFooter)
                sum->second = 0;
        }
    }
    return faults;
}

QStringList pdfFaults(Report &report, const QString &pdf, int &figuresChecked, int first,
                      int last)
{
    const std::vector<Placed> placed = placedObjects(report);
    const int end = last < 0 ? report.pageCount() - 1 : last;
    const auto words = pdfWords(pdf, first, end);
    QStringList faults;
    figuresChecked = 0;
    for (int n = first; n <= end; ++n) {
        const auto found = words.find(n);
        for (const PageItem &item : report.page(n).items) {
            const Placed &p = placed[size_t(item.object)];
            if (!p.object || !isFigure(*p.object) || item.text.isEmpty())
                continue;
            ++figuresChecked;
            QString read;
            if (found != words.end()) {
                for (const auto &[rect, word] : found->second) {
                    if (item.rect.contains(rect.center()))
                        read += word;
                }
            }
            if (read != item.text)
                faults.append(u"page %1: %2 prints %3, the PDF reads \"%4\""_s.arg(n + 1)
                                  .arg(report.objects()[size_t(item.object)]->Name(), item.text,
                                       read));
        }
    }
    return faults;
}

QStringList workbookFaults(const XlsxReader &book, int &subtotalsChecked)
{
    SubtotalEvaluator evaluator(book);
    QStringList faults;
    subtotalsChecked = 0;
    for (size_t s = 0; s < book.sheets().size(); ++s) {
        for (const auto &[r, row] : book.sheets()[s].rows) {
            for (const auto &[c, cell] : row.cells) {
                if (cell.formula.isEmpty())
                    continue;
                ++subtotalsChecked;
                QString fault;
                const std::optional<double> computed = evaluator.value(int(s), r, c, fault);
                const QString where = u"%1!R%2C%3"_s.arg(book.sheets()[s].name).arg(r + 1).arg(c + 1);
                if (!computed) {
                    faults.append(where + u": "_s + fault);
                    continue;
                }
                // Both at the decimals the cell shows.
                const qsizetype point = cell.numberFormat.indexOf(u'.');
                const int decimals = point < 0 ? 0 : int(cell.numberFormat.mid(point + 1)
                                                             .section(u';', 0, 0)
                                                             .count(u'0'));
                const double scale = std::pow(10.0, decimals);
                if (std::llround(*computed * scale) != std::llround(cell.number() * scale))
                    faults.append(u"%1: %2 stores %3, the sheet computes %4"_s.arg(
                        where, cell.formula, cell.value, QString::number(*computed, 'f', 6)));
            }
        }
    }
    return faults;
}

} // namespace TotalsFooting
