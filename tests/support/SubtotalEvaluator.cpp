#include "SubtotalEvaluator.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

std::optional<double> SubtotalEvaluator::value(int sheet, int row, int column, QString &fault)
{
    const Key key{sheet, row, column};
    if (const auto done = m_done.find(key); done != m_done.end())
        return done->second;
    const XlsxReader::Cell *cell = m_book.sheets()[size_t(sheet)].cell(row, column);
    if (!cell || cell->formula.isEmpty())
        return cell ? cell->number() : 0.0;
    if (!m_inProgress.insert(key).second) {
        fault = u"circular reference through %1!R%2C%3"_s.arg(m_book.sheets()[size_t(sheet)].name)
                    .arg(row + 1)
                    .arg(column + 1);
        return std::nullopt;
    }
    const std::optional<double> result = evaluate(sheet, row, column, cell->formula, fault);
    m_inProgress.erase(key);
    if (result)
        m_done[key] = *result;
    return result;
}

std::optional<double> SubtotalEvaluator::evaluate(int sheet, int row, int column,
                                                  const QString &formula, QString &fault)
{
    static const QRegularExpression call(u"^SUBTOTAL\\((9|3),(.+)\\)$"_s);
    static const QRegularExpression range(
        u"(?:'((?:[^']|'')+)'!)?([A-Z]+)([0-9]+):([A-Z]+)([0-9]+)"_s);
    const QRegularExpressionMatch m = call.match(formula);
    if (!m.hasMatch()) {
        fault = u"not a subtotal: "_s + formula;
        return std::nullopt;
    }
    const bool count = m.captured(1) == u"3";
    const Key self{sheet, row, column};
    double result = 0;
    auto it = range.globalMatch(m.captured(2));
    while (it.hasNext()) {
        const QRegularExpressionMatch r = it.next();
        int sheetIndex = sheet;
        if (r.capturedLength(1) > 0) {
            const QString name = r.captured(1).replace(u"''"_s, u"'"_s);
            sheetIndex = -1;
            for (size_t s = 0; s < m_book.sheets().size(); ++s) {
                if (m_book.sheets()[s].name == name)
                    sheetIndex = int(s);
            }
            if (sheetIndex < 0) {
                fault = u"no sheet named "_s + name;
                return std::nullopt;
            }
        }
        int firstRow = 0, firstColumn = 0, lastRow = 0, lastColumn = 0;
        XlsxReader::parseReference(r.captured(2) + r.captured(3), firstRow, firstColumn);
        XlsxReader::parseReference(r.captured(4) + r.captured(5), lastRow, lastColumn);
        const XlsxReader::Sheet &from = m_book.sheets()[size_t(sheetIndex)];
        for (auto rowIt = from.rows.lower_bound(firstRow);
             rowIt != from.rows.end() && rowIt->first <= lastRow; ++rowIt) {
            for (int c = firstColumn; c <= lastColumn; ++c) {
                const XlsxReader::Cell *cell = from.cell(rowIt->first, c);
                if (!cell)
                    continue;
                if (Key{sheetIndex, rowIt->first, c} == self) {
                    fault = u"%1 refers to its own cell"_s.arg(formula);
                    return std::nullopt;
                }
                if (!cell->formula.isEmpty()) {
                    // Left out of the sum, but a spreadsheet still computes it first.
                    if (!value(sheetIndex, rowIt->first, c, fault))
                        return std::nullopt;
                    continue;
                }
                result += count ? 1.0 : cell->number();
            }
        }
    }
    return result;
}
