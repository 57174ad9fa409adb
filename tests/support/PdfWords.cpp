#include "PdfWords.h"

#include <QProcess>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

std::map<int, std::vector<std::pair<QRectF, QString>>> pdfWords(const QString &pdf, int first,
                                                                int last)
{
    QProcess tool;
    tool.start(u"pdftotext"_s, {u"-bbox"_s, u"-f"_s, QString::number(first + 1), u"-l"_s,
                                QString::number(last + 1), pdf, u"-"_s});
    tool.waitForFinished(-1);
    std::map<int, std::vector<std::pair<QRectF, QString>>> words;
    QXmlStreamReader xml(tool.readAllStandardOutput());
    int page = first - 1;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"page") {
            ++page;
        } else if (xml.name() == u"word") {
            const auto a = xml.attributes();
            const QPointF topLeft(a.value(u"xMin"_s).toDouble(), a.value(u"yMin"_s).toDouble());
            const QPointF bottomRight(a.value(u"xMax"_s).toDouble(),
                                      a.value(u"yMax"_s).toDouble());
            words[page].emplace_back(QRectF(topLeft, bottomRight), xml.readElementText());
        }
    }
    return words;
}
