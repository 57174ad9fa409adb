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
    return tool(u"pdftotext"_s, {u"-layout"_s, path, u"-"_s}).out;
}

QString pdfProblems(const QString &path)
{
    const Outcome check = tool(u"qpdf"_s, {u"--check"_s, path});
    const QString said = check.out + check.err;
    return check.status == 0 && !said.contains(u"WARNING"_s, Qt::CaseInsensitive) ? QString()
                                                                                  : said;
}

Outcome tool(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    const bool finished = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit;
    return {finished ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

} // namespace CommandRun
