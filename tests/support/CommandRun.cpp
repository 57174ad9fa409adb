#include "CommandRun.h"

#include "DemoFixture.h"
#include "host/CommandLine.h"

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

} // namespace CommandRun
