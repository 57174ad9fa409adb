#pragma once

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QRectF>
#include <QString>
#include <memory>
#include <vector>

// A report layout: the template every report object of that layout is a new instance of. All
// lengths are in points (1/72 inch); the layout files give millimetres. Colours are OLE colour
// values (0x00BBGGRR; -1 for none), the values the report objects' BackColor and FillColor use.
enum class BandKind {
    ReportHeader,
    PageHeader,
    GroupHeader,
    Detail,
    GroupFooter,
    ReportFooter,
    PageFooter
};

enum class ObjectType { Text, Field, Summary, Special, Parameter, Box, Line, Chart };

enum class SpecialField {
    PageNumber,
    PageNofM,
    PrintDate,
    ReportTitle,
    RecordCount,
    CriteriaLine, // what the report covers (Report::criteriaLine); takes no room when empty
    Continued     // "(continued)" on a group header repeated at the top of a page; else nothing
};

// OfTotals: a computed column worked out from the totals of its inputs (a percentage of the
// totals, not a sum of the rows' percentages).
enum class SummaryFunction { Sum, Count, OfTotals };

struct FontDesign
{
    QString family;
    double size = 8.0; // points
    bool bold = false;
    bool italic = false;
    // Points: the smallest an amount may be set in to fit its box; 0: the engine's own rule.
    double smallest = 0;
};

struct ValueFormat
{
    enum class Kind { Text, Number, Date };
    Kind kind = Kind::Text;
    int decimals = 2;       // Number: digits after the point
    bool trimZeros = false; // Number: drop trailing zeros of the decimals (quantities)
    bool blankZero = false; // Number: show nothing for zero
    QString datePattern = QStringLiteral("dd/MM/yyyy");
};

// A chart of the bound rows: one category per row (the largest few, the rest summed into one),
// one bar or line per value column. A series may be optional: it is drawn only when the result
// has its column (a comparison the user may not have asked for).
struct ChartDesign
{
    enum class Kind { Bar, Column, Line }; // bars run across, columns and lines upwards
    struct Series
    {
        QString column;
        QString caption;
        bool optional = false;
    };
    Kind kind = Kind::Column;
    QString category; // the column naming each category
    std::vector<Series> series;
    int largest = 0; // 0: every row; else the largest by the first series, the rest summed
    QString others = QStringLiteral("Others");

    // Or the other way round: a series per row (the largest few by the `order` column, named
    // by `category`) and a category per listed column, labelled by the text of a text object
    // (a month's heading). A column null in every row (a month past the period) is left out.
    // `total`, when given, captions one more series: the sum of every row.
    struct Point
    {
        QString column;
        QString labelObject;
    };
    bool seriesAreRows = false;
    QString key; // rows: a column whose text goes before the name (names repeat)
    std::vector<Point> points;
    QString order;
    QString total;
};

struct LayoutObject
{
    ObjectType type = ObjectType::Text;
    QString name;
    QRectF rect;    // within the band
    QString text;   // Text: the design text, until SetText replaces it
    QString column; // Field, Summary: result column or computed column
    ValueFormat format;
    SummaryFunction function = SummaryFunction::Sum;
    int scopeGroup = -1; // Summary: group level (0 = outermost), -1 = whole report
    SpecialField special = SpecialField::PageNumber;
    int parameter = 0; // Parameter: 1-based number of the parameter field shown
    QString prefix;    // Special, Parameter: text before the value
    QString caption;   // Field: its column's heading in a spreadsheet, where no label names it
    FontDesign font;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
    int color = 0;          // text colour
    int backColor = -1;     // text and field objects
    int fillColor = -1;     // boxes
    int lineColor = 0;      // boxes and lines
    double lineWidth = 0.5; // points
    // Text too wide for one line is broken at spaces onto as many lines as the box holds.
    bool wrap = false;
    std::shared_ptr<const ChartDesign> chart; // Chart
};

// A horizontal strip of a band that takes no room when every object lying in it shows nothing
// for the whole report (a second line of months that a short period leaves empty): texts
// without text, fields and summaries of columns null in every row.
struct CollapsibleStrip
{
    double top = 0;    // points, within the band
    double height = 0; // points
};

struct Band
{
    BandKind kind = BandKind::Detail;
    int group = -1; // group bands: level, 0 = outermost
    QString sectionName;
    double height = 0;
    std::vector<LayoutObject> objects;
    std::vector<CollapsibleStrip> collapsible;
};

struct GroupDesign
{
    QString column;
    bool reprintHeader = true; // repeat the header at the top of a page the group runs onto
};

struct SortKey
{
    QString column;
    bool descending = false;
};

struct ComputedColumn
{
    QString name;
    QString expression; // arithmetic over columns: + - * / ( ) and numbers
    QString emptyWhenZero; // a column that, where it is 0 (as printed), leaves this one empty
    bool sheetFormula = false; // a workbook computes it from the row's cells, following edits
};

struct ParameterDesign
{
    QString name;
};

struct PrinterSelection
{
    QString driver;
    QString printer;
    QString port;
};

struct ReportLayout
{
    QString name;
    QString title;
    QPageSize::PageSizeId pageSize = QPageSize::A4;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF margins; // points
    FontDesign font;     // the body type: objects without a font of their own, and the smallest
                       // an amount is ever set in to fit its box
    PrinterSelection printer;
    std::vector<SortKey> sortBy; // rows are sorted so first (stable), for queries with no order
    std::vector<GroupDesign> groups;
    std::vector<ComputedColumn> computed;
    std::vector<ParameterDesign> parameters;
    std::vector<Band> bands; // in print order: headers, detail, footers

    [[nodiscard]] const Band *band(BandKind kind, int group = -1) const
    {
        for (const Band &b : bands) {
            if (b.kind == kind && b.group == group)
                return &b;
        }
        return nullptr;
    }
};

namespace LayoutUnits {
constexpr double pointsPerMillimetre = 72.0 / 25.4;
} // namespace LayoutUnits
