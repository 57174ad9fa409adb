#pragma once

#include "host/Command.h"
#include "host/DatabaseArguments.h"

// nvrptsales report NAME [--db FILE | --odbc CONNECTION] [criteria] [--pdf FILE] [--csv FILE]
//                        [--print [PRINTER]]
// Builds a report headless through the same query and preparation as its window.
class ReportCommand : public Command
{
public:
    QString name() const override;
    QString summary() const override;
    QString synopsis() const override;
    QString description() const override;

    // "--print" may be followed by a printer name or by nothing: make that one argument.
    static QStringList normalisePrintOption(const QStringList &arguments);

protected:
    void configure(QCommandLineParser &parser) override;
    int execute(const QCommandLineParser &parser, QTextStream &out, QTextStream &err) override;

private:
    int salesRegister(const QCommandLineParser &parser, QTextStream &out, QTextStream &err);

    DatabaseArguments m_database;
};
