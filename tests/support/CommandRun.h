#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

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

} // namespace CommandRun
