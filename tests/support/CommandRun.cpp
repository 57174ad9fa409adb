#include "CommandRun.h"

#include "DemoFixture.h"
#include "host/CommandLine.h"

#include <QProcess>
#include <QXmlStreamReader>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace CommandRun {

Outcome line(const QStringList &arguments)
{
    Outcome o;
    QTextStream out(&o.out), err(&o.err);
    CommandLine commandLine;
    o.status = commandLine.run(arguments, out, err);
    out.flush();
    err.flush();
    return o;
}

Outcome report(const QString &name, QStringList arguments)
{
    arguments.prepend(name);
    arguments.prepend(u"report"_s);
    arguments << u"--db"_s << DemoFixture::path();
    return line(arguments);
}

QString pdfText(const QString &path)
{
    QProcess p;
    p.start(u"pdftotext"_s, {u"-layout"_s, path, u"-"_s});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

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

} // namespace CommandRun
