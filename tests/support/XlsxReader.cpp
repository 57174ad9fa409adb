#include "XlsxReader.h"

#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace {

// The number formats a workbook may use by id without declaring them.
QString builtInFormat(int id)
{
    static const std::map<int, QString> formats{
        {0, u"General"_s},  {1, u"0"_s},         {2, u"0.00"_s},      {3, u"#,##0"_s},
        {4, u"#,##0.00"_s}, {14, u"m/d/yyyy"_s}, {15, u"d-mmm-yy"_s}, {49, u"@"_s}};
    const auto it = formats.find(id);
    return it == formats.end() ? u"builtin:%1"_s.arg(id) : it->second;
}

// Text as a spreadsheet shows it: _xHHHH_ stands for the character HHHH.
QString unescaped(const QString &text)
{
    static const QRegularExpression escape(u"_x([0-9A-Fa-f]{4})_"_s);
    QString out;
    qsizetype from = 0;
    auto it = escape.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += text.mid(from, m.capturedStart() - from);
        out += QChar(char16_t(m.captured(1).toUShort(nullptr, 16)));
        from = m.capturedEnd();
    }
    return out + text.mid(from);
}

// Per cell style index, the style's number format.
std::vector<QString> styleFormats(const QByteArray &stylesXml)
{
    std::map<int, QString> custom;
    std::vector<QString> formats;
    QXmlStreamReader xml(stylesXml);
    bool inCellXfs = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"numFmt")
            custom[xml.attributes().value(u"numFmtId"_s).toInt()] =
                xml.attributes().value(u"formatCode"_s).toString();
        else if (xml.isStartElement() && xml.name() == u"cellXfs")
            inCellXfs = true;
        else if (xml.isEndElement() && xml.name() == u"cellXfs")
            inCellXfs = false;
        else if (inCellXfs && xml.isStartElement() && xml.name() == u"xf") {
            const int id = xml.attributes().value(u"numFmtId"_s).toInt();
            const auto it = custom.find(id);
            formats.push_back(it != custom.end() ? it->second : builtInFormat(id));
        }
    }
    return formats;
}

XlsxReader::Sheet readSheet(const QByteArray &sheetXml, const std::vector<QString> &formats)
{
    XlsxReader::Sheet sheet;
    QXmlStreamReader xml(sheetXml);
    XlsxReader::Row *row = nullptr;
    XlsxReader::Cell *cell = nullptr;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) {
            if (xml.isEndElement() && xml.name() == u"c")
                cell = nullptr;
            continue;
        }
        const auto a = xml.attributes();
        if (xml.name() == u"row") {
            row = &sheet.rows[a.value(u"r"_s).toInt() - 1];
            row->outlineLevel = a.value(u"outlineLevel"_s).toInt();
        } else if (xml.name() == u"c" && row) {
            int r = 0, c = 0;
            XlsxReader::parseReference(a.value(u"r"_s).toString(), r, c);
            cell = &row->cells[c];
            cell->type = a.value(u"t"_s).toString();
            const int style = a.value(u"s"_s).toInt();
            cell->numberFormat = style >= 0 && size_t(style) < formats.size()
                                     ? formats[size_t(style)]
                                     : u"General"_s;
        } else if (cell && xml.name() == u"v") {
            cell->value = xml.readElementText();
        } else if (cell && xml.name() == u"t") {
            cell->value = unescaped(xml.readElementText());
        } else if (cell && xml.name() == u"f") {
            cell->formula = xml.readElementText();
        } else if (xml.name() == u"pane" && a.value(u"state"_s) == u"frozen") {
            sheet.frozenTopLeft = a.value(u"topLeftCell"_s).toString();
        } else if (xml.name() == u"pageSetup") {
            sheet.orientation = a.value(u"orientation"_s).toString();
            sheet.paperSize = a.value(u"paperSize"_s).toInt();
        } else if (xml.name() == u"autoFilter") {
            sheet.autoFilter = a.value(u"ref"_s).toString();
        }
    }
    return sheet;
}

} // namespace

const XlsxReader::Cell *XlsxReader::Sheet::cell(int row, int column) const
{
    const auto r = rows.find(row);
    if (r == rows.end())
        return nullptr;
    const auto c = r->second.cells.find(column);
    return c == r->second.cells.end() ? nullptr : &c->second;
}

QByteArray XlsxReader::entry(const QString &path, const QString &name)
{
    QProcess unzip;
    unzip.start(u"unzip"_s, {u"-p"_s, path, name});
    unzip.waitForFinished(60000);
    return unzip.readAllStandardOutput();
}

bool XlsxReader::parseReference(const QString &reference, int &row, int &column)
{
    column = 0;
    qsizetype i = 0;
    for (; i < reference.size() && reference[i].isLetter(); ++i)
        column = column * 26 + (reference[i].toUpper().unicode() - u'A' + 1);
    bool ok = false;
    row = reference.mid(i).toInt(&ok) - 1;
    column -= 1;
    return ok && i > 0;
}

XlsxReader::XlsxReader(const QString &path)
{
    QProcess list;
    list.start(u"unzip"_s, {u"-Z1"_s, path});
    list.waitForFinished(60000);
    if (list.exitStatus() != QProcess::NormalExit || list.exitCode() != 0)
        return;
    m_entries = QString::fromUtf8(list.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);

    const std::vector<QString> formats = styleFormats(entry(path, u"xl/styles.xml"_s));
    QXmlStreamReader workbook(entry(path, u"xl/workbook.xml"_s));
    int number = 0;
    while (!workbook.atEnd()) {
        workbook.readNext();
        if (workbook.isStartElement() && workbook.name() == u"sheet") {
            ++number;
            Sheet sheet =
                readSheet(entry(path, u"xl/worksheets/sheet%1.xml"_s.arg(number)), formats);
            sheet.name = workbook.attributes().value(u"name"_s).toString();
            m_sheets.push_back(std::move(sheet));
        }
    }
    m_valid = !m_sheets.empty();
}
