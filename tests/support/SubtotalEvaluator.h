#pragma once

#include "XlsxReader.h"

#include <QString>
#include <map>
#include <optional>
#include <set>
#include <tuple>

// A workbook's SUBTOTAL(9|3, ranges) cells computed as a spreadsheet computes them: the sum or
// count of the cells in the ranges, other subtotals left out. The subtotals a range meets are
// evaluated too, so a range that reaches back to its own cell, directly or through another
// subtotal, is found as the circular reference it is. For tests only.
class SubtotalEvaluator
{
public:
    explicit SubtotalEvaluator(const XlsxReader &book) : m_book(book) {}

    // The formula's value at a cell of a sheet; nothing, with the reason in `fault`, for a
    // formula it cannot read, a sheet the workbook lacks or a circular reference.
    std::optional<double> value(int sheet, int row, int column, QString &fault);
    // A formula's value as if it stood at (sheet, row, column).
    std::optional<double> evaluate(int sheet, int row, int column, const QString &formula,
                                   QString &fault);

private:
    using Key = std::tuple<int, int, int>;
    const XlsxReader &m_book;
    std::map<Key, double> m_done;
    std::set<Key> m_inProgress;
};
