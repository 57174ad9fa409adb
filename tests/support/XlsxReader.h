#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <map>
#include <vector>

// A written workbook read back from its package's XML (the package unzipped with the system's
// unzip): sheet names, cells with their type, value, formula and number format, row outline
// levels, the frozen pane and the autofilter. For tests only.
class XlsxReader
{
public:
    struct Cell
    {
        QString type; // the cell's t attribute: "" (number), "inlineStr", "s", "str", "b"
        QString value;
        QString formula;
        QString numberFormat; // "General" when the cell has none
        [[nodiscard]] bool isText() const { return type == u"inlineStr" || type == u"s"; }
        [[nodiscard]] double number() const { return value.toDouble(); }
    };
    struct Row
    {
        int outlineLevel = 0;
        std::map<int, Cell> cells; // by 0-based column
    };
    struct Sheet
    {
        QString name;
        std::map<int, Row> rows; // by 0-based row
        QString frozenTopLeft;   // the first cell below the frozen pane, e.g. "A6"
        QString autoFilter;      // e.g. "A5:J120"
        QString orientation;     // of the page set-up: "portrait", "landscape" or ""
        int paperSize = 0;       // the sheet's paper code (9: A4); 0 when not set
        [[nodiscard]] const Cell *cell(int row, int column) const;
    };

    explicit XlsxReader(const QString &path);

    [[nodiscard]] bool isValid() const { return m_valid; }
    [[nodiscard]] const std::vector<Sheet> &sheets() const { return m_sheets; }
    // The package's entries, as the unzip tool lists them.
    [[nodiscard]] const QStringList &entries() const { return m_entries; }

    // One entry of the package; empty when missing.
    static QByteArray entry(const QString &path, const QString &name);
    // "C12" -> row 11, column 2.
    static bool parseReference(const QString &reference, int &row, int &column);

private:
    bool m_valid = false;
    QStringList m_entries;
    std::vector<Sheet> m_sheets;
};
