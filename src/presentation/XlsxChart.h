#pragma once

#include "presentation/XlsxSheetLayout.h"

#include <QString>
#include <vector>

class DataBinding;
struct lxw_workbook;
struct lxw_worksheet;

// The layout's chart as a chart of the workbook's own, placed beside the rows it draws and
// bound to their cells (categories, one series per value column the sheet shows, named by the
// column's header cell), so that it follows a user's edits.
class XlsxChart
{
public:
    // The rows of one sheet: its header row and its data rows (0-based, inclusive).
    struct Rows
    {
        QString sheetName;
        int header = 0;
        int first = 0;
        int last = -1;
    };

    // Adds the first chart of the layout to the sheet; nothing when the layout has none, when
    // its rows are broken by group totals or when the sheet does not show its categories.
    // Returns whether a chart was added.
    static bool insert(lxw_workbook *workbook, lxw_worksheet *sheet, const ReportLayout &layout,
                       const DataBinding &binding,
                       const std::vector<XlsxSheetLayout::Column> &columns, const Rows &rows);
};
