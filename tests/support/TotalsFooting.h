#pragma once

#include <QString>
#include <QStringList>

class Report;
class XlsxReader;

// What an accountant checks of a printed report: every total equals the sum of the figures
// printed above it since its group began, as printed; the PDF reads as the pages print; and
// every subtotal of the workbook is the sum of the cells it covers, to the cent. Each check
// returns its faults, one line each, and counts the totals it compared. For tests and benches.
namespace TotalsFooting {
// Pages first to last (0-based, inclusive; last -1: to the end), in order.
QStringList pageFaults(Report &report, int &totalsChecked, int first = 0, int last = -1);
// Every figure (number field or summary) printed on pages first to last against the words
// pdftotext finds in its place in the PDF.
QStringList pdfFaults(Report &report, const QString &pdf, int &figuresChecked, int first = 0,
                      int last = -1);
// Every SUBTOTAL of a workbook: no circular reference, and its stored figure, at the decimals
// its cell shows, is what the spreadsheet computes.
QStringList workbookFaults(const XlsxReader &book, int &subtotalsChecked);
// A printed figure ("-1,234.56", "12.5", "") in millionths.
qint64 millionths(const QString &printed);
} // namespace TotalsFooting
