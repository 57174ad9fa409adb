#include "presentation/LayoutParser.h"

#include "presentation/LayoutError.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// Beyond these no page, type or rule is real: the largest paper is under 1.2 m long.
constexpr double maxLengthMm = 2000;
constexpr double maxFontPoints = 1000;
constexpr double maxLineWidthPoints = 100;

class Reader
{
public:
    explicit Reader(const QString &file) : m_file(file) {}

    [[noreturn]] void fail(const QString &path, const QString &message) const
    {
        throw LayoutError(m_file, path, message);
    }

    void allowOnly(const QJsonObject &o, const QString &path, const QSet<QString> &keys) const
    {
        for (auto it = o.begin(); it != o.end(); ++it) {
            if (!keys.contains(it.key()))
                fail(path + u"."_s + it.key(), u"unknown key"_s);
        }
    }

    QJsonObject object(const QJsonValue &v, const QString &path) const
    {
        if (!v.isObject())
            fail(path, u"an object was expected"_s);
        return v.toObject();
    }

    QJsonArray array(const QJsonObject &o, const QString &key, const QString &path) const
    {
        const QJsonValue v = o.value(key);
        if (v.isUndefined())
            return {};
        if (!v.isArray())
            fail(path + u"."_s + key, u"a list was expected"_s);
        return v.toArray();
    }

    QString string(const QJsonObject &o, const QString &key, const QString &path,
                   const QString &fallback = QString(), bool required = false) const
    {
        const QJsonValue v = o.value(key);
        if (v.isUndefined()) {
            if (required)
                fail(path + u"."_s + key, u"missing"_s);
            return fallback;
        }
        if (!v.isString())
            fail(path + u"."_s + key, u"a text was expected"_s);
        return v.toString();
    }

    double number(const QJsonObject &o, const QString &key, const QString &path, double fallback,
                  bool required = false) const
    {
        const QJsonValue v = o.value(key);
        if (v.isUndefined()) {
            if (required)
                fail(path + u"."_s + key, u"missing"_s);
            return fallback;
        }
        if (!v.isDouble() || !std::isfinite(v.toDouble()))
            fail(path + u"."_s + key, u"a number was expected"_s);
        return v.toDouble();
    }

    // A number within the range the layout can mean; outside it a value would overflow or
    // draw nothing a reader could use.
    double bounded(const QJsonObject &o, const QString &key, const QString &path, double fallback,
                   double low, double high, bool required = false) const
    {
        const double value = number(o, key, path, fallback, required);
        if (value < low || value > high)
            fail(path + u"."_s + key, u"the value must lie between %1 and %2"_s.arg(low).arg(high));
        return value;
    }

    int whole(const QJsonObject &o, const QString &key, const QString &path, int low, int high,
              bool required = false) const
    {
        const double value = bounded(o, key, path, low, low, high, required);
        if (value != std::floor(value))
            fail(path + u"."_s + key, u"a whole number was expected"_s);
        return int(value);
    }

    bool boolean(const QJsonObject &o, const QString &key, const QString &path, bool fallback) const
    {
        const QJsonValue v = o.value(key);
        if (v.isUndefined())
            return fallback;
        if (!v.isBool())
            fail(path + u"."_s + key, u"true or false was expected"_s);
        return v.toBool();
    }

    int colour(const QJsonObject &o, const QString &key, const QString &path, int fallback) const
    {
        const QJsonValue v = o.value(key);
        if (v.isUndefined())
            return fallback;
        const QString text = v.toString();
        if (text == u"none")
            return -1;
        bool ok = false;
        const uint rgb = text.mid(1).toUInt(&ok, 16);
        if (!v.isString() || text.size() != 7 || text.front() != u'#' || !ok)
            fail(path + u"."_s + key, u"a colour as #RRGGBB or \"none\" was expected"_s);
        // OLE colours keep red in the low byte.
        return int(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
    }

    double length(const QJsonObject &o, const QString &key, const QString &path, double fallback,
                  bool required = false) const
    {
        const double mm = number(o, key, path, fallback, required);
        if (mm < 0)
            fail(path + u"."_s + key, u"a length cannot be negative"_s);
        if (mm > maxLengthMm)
            fail(path + u"."_s + key, u"a length cannot exceed %1 mm"_s.arg(maxLengthMm));
        return mm * LayoutUnits::pointsPerMillimetre;
    }

    FontDesign font(const QJsonObject &o, const QString &path, FontDesign base) const
    {
        allowOnly(o, path, {u"family"_s, u"size"_s, u"bold"_s, u"italic"_s, u"smallest"_s});
        base.family = string(o, u"family"_s, path, base.family);
        base.size = number(o, u"size"_s, path, base.size);
        if (base.size <= 0 || base.size > maxFontPoints)
            fail(path + u".size"_s,
                 u"a font size must be above 0 and at most %1 points"_s.arg(maxFontPoints));
        base.bold = boolean(o, u"bold"_s, path, base.bold);
        base.italic = boolean(o, u"italic"_s, path, base.italic);
        base.smallest = number(o, u"smallest"_s, path, base.smallest);
        if (base.smallest < 0 || base.smallest > base.size)
            fail(path + u".smallest"_s,
                 u"the smallest size must be at least 0 and at most the font's size"_s);
        return base;
    }

    ValueFormat format(const QString &text, const QString &path) const
    {
        ValueFormat f;
        const QString kind = text.section(u':', 0, 0);
        const QString argument = text.section(u':', 1);
        if (kind == u"text") {
            f.kind = ValueFormat::Kind::Text;
        } else if (kind == u"number" || kind == u"integer" || kind == u"quantity") {
            f.kind = ValueFormat::Kind::Number;
            f.decimals = kind == u"integer" ? 0 : 2;
            f.trimZeros = kind == u"quantity";
            if (!argument.isEmpty()) {
                bool ok = false;
                f.decimals = argument.toInt(&ok);
                if (!ok || f.decimals < 0 || f.decimals > 6)
                    fail(path, u"the number of decimals must be 0 to 6"_s);
            }
        } else if (kind == u"date") {
            f.kind = ValueFormat::Kind::Date;
            if (!argument.isEmpty())
                f.datePattern = argument;
        } else {
            fail(path, u"unknown format \"%1\" (text, number[:N], integer, quantity, "
                       u"date[:pattern])"_s.arg(text));
        }
        return f;
    }

private:
    QString m_file;
};

Qt::Alignment alignment(const Reader &r, const QString &text, const QString &path)
{
    if (text == u"left")
        return Qt::AlignLeft | Qt::AlignVCenter;
    if (text == u"right")
        return Qt::AlignRight | Qt::AlignVCenter;
    if (text == u"center")
        return Qt::AlignHCenter | Qt::AlignVCenter;
    r.fail(path, u"alignment must be left, right or center"_s);
}

// The value a layout file names by a word, or a LayoutError listing the place and the word.
template<typename Value, size_t N>
Value named(const Reader &r, const std::pair<const char16_t *, Value> (&table)[N],
            const QString &word, const QString &path, const QString &what)
{
    for (const auto &[name, value] : table) {
        if (word == QStringView(name))
            return value;
    }
    r.fail(path, u"unknown %1 \"%2\""_s.arg(what, word));
}

const QSet<QString> &objectKeys()
{
    static const QSet<QString> keys{
        u"type"_s,   u"name"_s,      u"style"_s,     u"x"_s,         u"y"_s,         u"width"_s,
        u"height"_s, u"text"_s,      u"column"_s,    u"format"_s,    u"blankZero"_s, u"function"_s,
        u"scope"_s,  u"field"_s,     u"index"_s,     u"prefix"_s,    u"font"_s,      u"align"_s,
        u"color"_s,  u"backColor"_s, u"fillColor"_s, u"lineColor"_s, u"lineWidth"_s, u"caption"_s,
        u"chart"_s,  u"wrap"_s};
    return keys;
}

// A chart draws every row at once: it belongs in a band printed once, after or before them.
std::shared_ptr<const ChartDesign> readChart(const Reader &r, const QJsonValue &value,
                                             const QString &path, const Band &band)
{
    if (band.kind != BandKind::ReportHeader && band.kind != BandKind::ReportFooter)
        r.fail(path, u"a chart shows all the rows: it belongs in the report header or footer"_s);
    const QJsonObject o = r.object(value, path);
    r.allowOnly(o, path,
                {u"kind"_s, u"category"_s, u"series"_s, u"largest"_s, u"others"_s, u"points"_s,
                 u"order"_s, u"total"_s, u"key"_s});
    auto chart = std::make_shared<ChartDesign>();
    static const std::pair<const char16_t *, ChartDesign::Kind> kinds[] = {
        {u"bar", ChartDesign::Kind::Bar},
        {u"column", ChartDesign::Kind::Column},
        {u"line", ChartDesign::Kind::Line}};
    chart->kind = named(r, kinds, r.string(o, u"kind"_s, path, u"column"_s), path + u".kind"_s,
                        u"chart kind"_s);
    chart->category = r.string(o, u"category"_s, path, QString(), true);
    chart->largest = r.whole(o, u"largest"_s, path, 0, 1000);
    chart->others = r.string(o, u"others"_s, path, chart->others);
    if (o.value(u"series"_s).isString()) {
        // "series": "rows": a series per row, a category per point.
        if (o.value(u"series"_s).toString() != u"rows"_s)
            r.fail(path + u".series"_s, u"series are a list of columns, or \"rows\""_s);
        chart->seriesAreRows = true;
        chart->order = r.string(o, u"order"_s, path, QString(), true);
        chart->key = r.string(o, u"key"_s, path);
        chart->total = r.string(o, u"total"_s, path);
        const QJsonArray points = r.array(o, u"points"_s, path);
        if (points.isEmpty())
            r.fail(path + u".points"_s, u"a chart of rows needs at least one point"_s);
        for (qsizetype i = 0; i < points.size(); ++i) {
            const QString p = path + u".points[%1]"_s.arg(i);
            const QJsonObject point = r.object(points[i], p);
            r.allowOnly(point, p, {u"column"_s, u"label"_s});
            chart->points.push_back({r.string(point, u"column"_s, p, QString(), true),
                                     r.string(point, u"label"_s, p)});
        }
        return chart;
    }
    const QJsonArray series = r.array(o, u"series"_s, path);
    if (series.isEmpty())
        r.fail(path + u".series"_s, u"a chart needs at least one series"_s);
    for (qsizetype i = 0; i < series.size(); ++i) {
        const QString p = path + u".series[%1]"_s.arg(i);
        const QJsonObject s = r.object(series[i], p);
        r.allowOnly(s, p, {u"column"_s, u"caption"_s, u"optional"_s});
        ChartDesign::Series one{r.string(s, u"column"_s, p, QString(), true),
                                r.string(s, u"caption"_s, p), r.boolean(s, u"optional"_s, p, false)};
        if (one.caption.isEmpty())
            one.caption = one.column;
        if (i == 0 && one.optional)
            r.fail(p + u".optional"_s, u"the first series orders the categories: it cannot be "
                                       u"optional"_s);
        chart->series.push_back(std::move(one));
    }
    return chart;
}

LayoutObject readObject(const Reader &r, QJsonObject o, const QString &path,
                        const QJsonObject &styles, const ReportLayout &layout, const Band &band,
                        const FontDesign &defaultFont)
{
    r.allowOnly(o, path, objectKeys());
    // A named style supplies defaults; the object's own keys win.
    if (o.contains(u"style"_s)) {
        const QString name = r.string(o, u"style"_s, path);
        if (!styles.contains(name))
            r.fail(path + u".style"_s, u"no style named \"%1\""_s.arg(name));
        QJsonObject merged = styles.value(name).toObject();
        for (auto it = o.begin(); it != o.end(); ++it) {
            if (it.key() == u"font" && merged.value(u"font"_s).isObject()) {
                QJsonObject font = merged.value(u"font"_s).toObject();
                const QJsonObject own = it.value().toObject();
                for (auto f = own.begin(); f != own.end(); ++f)
                    font.insert(f.key(), f.value());
                merged.insert(u"font"_s, font);
            } else {
                merged.insert(it.key(), it.value());
            }
        }
        o = merged;
        r.allowOnly(o, path, objectKeys());
    }

    LayoutObject obj;
    const QString type = r.string(o, u"type"_s, path, QString(), true);
    static const std::pair<const char16_t *, ObjectType> types[] = {
        {u"text", ObjectType::Text},
        {u"field", ObjectType::Field},
        {u"summary", ObjectType::Summary},
        {u"special", ObjectType::Special},
        {u"parameter", ObjectType::Parameter},
        {u"box", ObjectType::Box},
        {u"line", ObjectType::Line},
        {u"chart", ObjectType::Chart}};
    obj.type = named(r, types, type, path + u".type"_s, u"object type"_s);

    obj.name = r.string(o, u"name"_s, path);
    const double x = r.length(o, u"x"_s, path, 0, true);
    const double y = r.length(o, u"y"_s, path, 0);
    const double w = r.length(o, u"width"_s, path, 0, true);
    const double h = r.length(o, u"height"_s, path, 0, obj.type != ObjectType::Line);
    obj.rect = QRectF(x, y, w, h);
    if (y + h > band.height + 0.01)
        r.fail(path, u"the object reaches below its band (%1 mm high)"_s.arg(
                         band.height / LayoutUnits::pointsPerMillimetre, 0, 'f', 1));
    obj.text = r.string(o, u"text"_s, path);
    obj.prefix = r.string(o, u"prefix"_s, path);
    obj.caption = r.string(o, u"caption"_s, path);
    obj.font = o.contains(u"font"_s) ? r.font(r.object(o.value(u"font"_s), path + u".font"_s),
                                              path + u".font"_s, defaultFont)
                                     : defaultFont;
    obj.align = alignment(r, r.string(o, u"align"_s, path, u"left"_s), path + u".align"_s);
    obj.color = r.colour(o, u"color"_s, path, 0);
    obj.backColor = r.colour(o, u"backColor"_s, path, -1);
    obj.fillColor = r.colour(o, u"fillColor"_s, path, -1);
    obj.lineColor = r.colour(o, u"lineColor"_s, path, 0);
    obj.lineWidth = r.bounded(o, u"lineWidth"_s, path, 0.5, 0, maxLineWidthPoints);
    obj.wrap = r.boolean(o, u"wrap"_s, path, false);

    const QString defaultFormat = obj.type == ObjectType::Summary ? u"number"_s : u"text"_s;
    obj.format = r.format(r.string(o, u"format"_s, path, defaultFormat), path + u".format"_s);
    obj.format.blankZero = r.boolean(o, u"blankZero"_s, path, false);

    switch (obj.type) {
    case ObjectType::Field:
        obj.column = r.string(o, u"column"_s, path, QString(), true);
        break;
    case ObjectType::Summary: {
        obj.column = r.string(o, u"column"_s, path, QString(), true);
        const QString function = r.string(o, u"function"_s, path, u"sum"_s);
        if (function != u"sum" && function != u"count" && function != u"ofTotals")
            r.fail(path + u".function"_s, u"a summary is a sum, a count or ofTotals"_s);
        obj.function = function == u"sum"     ? SummaryFunction::Sum
                       : function == u"count" ? SummaryFunction::Count
                                              : SummaryFunction::OfTotals;
        const QString scope = r.string(o, u"scope"_s, path, u"report"_s);
        if (scope == u"report") {
            obj.scopeGroup = -1;
        } else if (scope.startsWith(u"group:"_s)) {
            bool ok = false;
            obj.scopeGroup = scope.mid(6).toInt(&ok) - 1;
            if (!ok || obj.scopeGroup < 0 || obj.scopeGroup >= int(layout.groups.size()))
                r.fail(path + u".scope"_s, u"no group %1"_s.arg(scope.mid(6)));
        } else {
            r.fail(path + u".scope"_s, u"the scope is \"report\" or \"group:N\""_s);
        }
        // A total is known at the end of its group or of the report, nowhere earlier.
        const bool inGroupFooter = band.kind == BandKind::GroupFooter && obj.scopeGroup >= 0 &&
                                   obj.scopeGroup <= band.group;
        const bool runningInGroupFooter = band.kind == BandKind::GroupFooter && obj.scopeGroup < 0;
        const bool inReportFooter = band.kind == BandKind::ReportFooter && obj.scopeGroup < 0;
        if (!inGroupFooter && !runningInGroupFooter && !inReportFooter)
            r.fail(path, u"a summary can only stand in the footer of its group or of the report"_s);
        break;
    }
    case ObjectType::Special: {
        const QString field = r.string(o, u"field"_s, path, QString(), true);
        static const std::pair<const char16_t *, SpecialField> fields[] = {
            {u"pageNumber", SpecialField::PageNumber},
            {u"pageNofM", SpecialField::PageNofM},
            {u"printDate", SpecialField::PrintDate},
            {u"reportTitle", SpecialField::ReportTitle},
            {u"recordCount", SpecialField::RecordCount},
            {u"criteriaLine", SpecialField::CriteriaLine},
            {u"continued", SpecialField::Continued}};
        obj.special = named(r, fields, field, path + u".field"_s, u"special field"_s);
        if (obj.special == SpecialField::Continued && band.kind != BandKind::GroupHeader)
            r.fail(path + u".field"_s, u"\"continued\" marks a group header carried over to a "
                                       u"new page: it belongs in a group header"_s);
        break;
    }
    case ObjectType::Parameter:
        obj.parameter = r.whole(o, u"index"_s, path, 1, 1000, true);
        if (obj.parameter < 1 || obj.parameter > int(layout.parameters.size()))
            r.fail(path + u".index"_s,
                   u"the layout has no parameter field %1"_s.arg(obj.parameter));
        break;
    case ObjectType::Chart:
        obj.chart = readChart(r, o.value(u"chart"_s), path + u".chart"_s, band);
        break;
    case ObjectType::Text:
        if (obj.name.isEmpty())
            r.fail(path + u".name"_s, u"a text object needs a name"_s);
        break;
    default:
        break;
    }
    return obj;
}

BandKind bandKind(const Reader &r, const QString &kind, const QString &path)
{
    static const std::pair<const char16_t *, BandKind> kinds[] = {
        {u"reportHeader", BandKind::ReportHeader}, {u"pageHeader", BandKind::PageHeader},
        {u"groupHeader", BandKind::GroupHeader},   {u"detail", BandKind::Detail},
        {u"groupFooter", BandKind::GroupFooter},   {u"reportFooter", BandKind::ReportFooter},
        {u"pageFooter", BandKind::PageFooter}};
    return named(r, kinds, kind, path, u"band kind"_s);
}

QString sectionName(BandKind kind, int group)
{
    switch (kind) {
    case BandKind::ReportHeader:
        return u"ReportHeaderSection"_s;
    case BandKind::PageHeader:
        return u"PageHeaderSection"_s;
    case BandKind::GroupHeader:
        return u"GroupHeaderSection%1"_s.arg(group + 1);
    case BandKind::Detail:
        return u"DetailSection"_s;
    case BandKind::GroupFooter:
        return u"GroupFooterSection%1"_s.arg(group + 1);
    case BandKind::ReportFooter:
        return u"ReportFooterSection"_s;
    case BandKind::PageFooter:
        return u"PageFooterSection"_s;
    }
    return QString();
}

} // namespace

ReportLayout LayoutParser::parse(const QByteArray &json, const QString &fileName)
{
    const Reader r(fileName);
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        const int line = int(json.left(error.offset).count('\n')) + 1;
        r.fail(u"line %1"_s.arg(line), error.errorString());
    }
    const QJsonObject root = r.object(document.object(), u"$"_s);
    if (!document.isObject())
        r.fail(u"$"_s, u"the layout must be a JSON object"_s);
    r.allowOnly(root, u"$"_s,
                {u"name"_s, u"title"_s, u"page"_s, u"printer"_s, u"font"_s, u"sortBy"_s,
                 u"groups"_s, u"computed"_s, u"parameters"_s, u"styles"_s, u"bands"_s,
                 u"comment"_s});

    ReportLayout layout;
    layout.name = r.string(root, u"name"_s, u"$"_s, QString(), true);
    layout.title = r.string(root, u"title"_s, u"$"_s);

    const QJsonObject page = r.object(root.value(u"page"_s), u"$.page"_s);
    r.allowOnly(page, u"$.page"_s, {u"size"_s, u"orientation"_s, u"margins"_s});
    const QString size = r.string(page, u"size"_s, u"$.page"_s, u"A4"_s);
    if (size == u"A4")
        layout.pageSize = QPageSize::A4;
    else if (size == u"Letter")
        layout.pageSize = QPageSize::Letter;
    else if (size == u"Legal")
        layout.pageSize = QPageSize::Legal;
    else
        r.fail(u"$.page.size"_s, u"the page size is A4, Letter or Legal"_s);
    const QString orientation = r.string(page, u"orientation"_s, u"$.page"_s, u"portrait"_s);
    if (orientation != u"portrait" && orientation != u"landscape")
        r.fail(u"$.page.orientation"_s, u"portrait or landscape"_s);
    layout.orientation =
        orientation == u"portrait" ? QPageLayout::Portrait : QPageLayout::Landscape;
    const QJsonObject margins = r.object(page.value(u"margins"_s), u"$.page.margins"_s);
    r.allowOnly(margins, u"$.page.margins"_s, {u"left"_s, u"top"_s, u"right"_s, u"bottom"_s});
    layout.margins = QMarginsF(r.length(margins, u"left"_s, u"$.page.margins"_s, 10),
                               r.length(margins, u"top"_s, u"$.page.margins"_s, 10),
                               r.length(margins, u"right"_s, u"$.page.margins"_s, 10),
                               r.length(margins, u"bottom"_s, u"$.page.margins"_s, 10));

    if (root.contains(u"printer"_s)) {
        const QJsonObject printer = r.object(root.value(u"printer"_s), u"$.printer"_s);
        r.allowOnly(printer, u"$.printer"_s, {u"driver"_s, u"printer"_s, u"port"_s});
        layout.printer = {r.string(printer, u"driver"_s, u"$.printer"_s),
                          r.string(printer, u"printer"_s, u"$.printer"_s),
                          r.string(printer, u"port"_s, u"$.printer"_s)};
    }

    FontDesign defaultFont{u"DejaVu Sans"_s, 8.0, false, false};
    if (root.contains(u"font"_s))
        defaultFont =
            r.font(r.object(root.value(u"font"_s), u"$.font"_s), u"$.font"_s, defaultFont);
    layout.font = defaultFont;

    const QJsonArray sortBy = r.array(root, u"sortBy"_s, u"$"_s);
    for (qsizetype i = 0; i < sortBy.size(); ++i) {
        const QString path = u"$.sortBy[%1]"_s.arg(i);
        const QJsonObject k = r.object(sortBy[i], path);
        r.allowOnly(k, path, {u"column"_s, u"descending"_s});
        layout.sortBy.push_back({r.string(k, u"column"_s, path, QString(), true),
                                 r.boolean(k, u"descending"_s, path, false)});
    }
    const QJsonArray groups = r.array(root, u"groups"_s, u"$"_s);
    for (qsizetype i = 0; i < groups.size(); ++i) {
        const QString path = u"$.groups[%1]"_s.arg(i);
        const QJsonObject g = r.object(groups[i], path);
        r.allowOnly(g, path, {u"column"_s, u"reprintHeader"_s});
        layout.groups.push_back({r.string(g, u"column"_s, path, QString(), true),
                                 r.boolean(g, u"reprintHeader"_s, path, true)});
    }
    const QJsonArray computed = r.array(root, u"computed"_s, u"$"_s);
    for (qsizetype i = 0; i < computed.size(); ++i) {
        const QString path = u"$.computed[%1]"_s.arg(i);
        const QJsonObject c = r.object(computed[i], path);
        r.allowOnly(c, path, {u"name"_s, u"expression"_s, u"emptyWhenZero"_s, u"sheetFormula"_s});
        layout.computed.push_back({r.string(c, u"name"_s, path, QString(), true),
                                   r.string(c, u"expression"_s, path, QString(), true),
                                   r.string(c, u"emptyWhenZero"_s, path, QString()),
                                   r.boolean(c, u"sheetFormula"_s, path, false)});
    }
    const QJsonArray parameters = r.array(root, u"parameters"_s, u"$"_s);
    for (qsizetype i = 0; i < parameters.size(); ++i) {
        const QString path = u"$.parameters[%1]"_s.arg(i);
        const QJsonObject p = r.object(parameters[i], path);
        r.allowOnly(p, path, {u"name"_s});
        layout.parameters.push_back({r.string(p, u"name"_s, path, QString(), true)});
    }
    const QJsonObject styles = root.contains(u"styles"_s)
                                   ? r.object(root.value(u"styles"_s), u"$.styles"_s)
                                   : QJsonObject();

    const QJsonArray bands = r.array(root, u"bands"_s, u"$"_s);
    QSet<QString> seen;
    for (qsizetype i = 0; i < bands.size(); ++i) {
        const QString path = u"$.bands[%1]"_s.arg(i);
        const QJsonObject b = r.object(bands[i], path);
        r.allowOnly(b, path, {u"kind"_s, u"group"_s, u"height"_s, u"objects"_s, u"collapse"_s});
        Band band;
        band.kind = bandKind(r, r.string(b, u"kind"_s, path, QString(), true), path + u".kind"_s);
        if (band.kind == BandKind::GroupHeader || band.kind == BandKind::GroupFooter) {
            band.group = r.whole(b, u"group"_s, path, 1, 1000, true) - 1;
            if (band.group < 0 || band.group >= int(layout.groups.size()))
                r.fail(path + u".group"_s, u"the layout has no group %1"_s.arg(band.group + 1));
        } else if (b.contains(u"group"_s)) {
            r.fail(path + u".group"_s, u"only group bands belong to a group"_s);
        }
        band.sectionName = sectionName(band.kind, band.group);
        if (seen.contains(band.sectionName))
            r.fail(path, u"a second %1"_s.arg(band.sectionName));
        seen.insert(band.sectionName);
        band.height = r.length(b, u"height"_s, path, 0, true);
        const QJsonArray strips = r.array(b, u"collapse"_s, path);
        for (qsizetype k = 0; k < strips.size(); ++k) {
            const QString stripPath = path + u".collapse[%1]"_s.arg(k);
            const QJsonObject strip = r.object(strips[k], stripPath);
            r.allowOnly(strip, stripPath, {u"y"_s, u"height"_s});
            const CollapsibleStrip one{r.length(strip, u"y"_s, stripPath, 0, true),
                                       r.length(strip, u"height"_s, stripPath, 0, true)};
            if (one.top + one.height > band.height + 0.01)
                r.fail(stripPath, u"the strip reaches below its band"_s);
            band.collapsible.push_back(one);
        }
        const QJsonArray objects = r.array(b, u"objects"_s, path);
        for (qsizetype k = 0; k < objects.size(); ++k) {
            const QString objectPath = path + u".objects[%1]"_s.arg(k);
            band.objects.push_back(readObject(r, r.object(objects[k], objectPath), objectPath,
                                              styles, layout, band, defaultFont));
        }
        layout.bands.push_back(std::move(band));
    }
    if (!layout.band(BandKind::Detail))
        r.fail(u"$.bands"_s, u"the layout has no detail band"_s);

    QSet<QString> names;
    for (const Band &band : layout.bands) {
        for (const LayoutObject &o : band.objects) {
            if (o.name.isEmpty())
                continue;
            if (names.contains(o.name.toLower()))
                r.fail(u"$.bands"_s, u"two objects are named %1"_s.arg(o.name));
            names.insert(o.name.toLower());
        }
    }
    return layout;
}
