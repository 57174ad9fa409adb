#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The command line run in process, as the report command tests run it, and the tools that read
// what it wrote.
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
// What qpdf finds wrong with a PDF's structure: empty when it is sound, without a warning.
QString pdfProblems(const QString &path);
// A tool run to its end: its exit status (-1 when it did not finish) and its outputs.
Outcome tool(const QString &program, const QStringList &arguments);

} // namespace CommandRun
