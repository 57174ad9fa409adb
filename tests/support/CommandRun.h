#pragma once

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <map>
#include <utility>
#include <vector>

// The command line run in process, as the report command tests run it.
namespace CommandRun {

struct Outcome
{
    int status;
    QString out;
    QString err;
};

// `nvrptsales ARGUMENTS...`.
Outcome line(const QStringList &arguments);
// `nvrptsales report NAME ARGUMENTS... --db <the demo database>`.
Outcome report(const QString &name, QStringList arguments);
// The text of a PDF as `pdftotext -layout` gives it.
QString pdfText(const QString &path);
// The words of pages first to last (0-based), as pdftotext's bounding boxes give them (points
// from the page's top left), by page.
std::map<int, std::vector<std::pair<QRectF, QString>>> pdfWords(const QString &pdf, int first,
                                                                int last);

} // namespace CommandRun
