#include "CommandRun.h"

#include "DemoFixture.h"
#include "host/CommandLine.h"

#include <QFile>
#include <QProcess>
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

QList<QByteArray> csvLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines = file.readAll().split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    for (QByteArray &line : lines)
        line = line.trimmed();
    return lines;
}

} // namespace CommandRun
