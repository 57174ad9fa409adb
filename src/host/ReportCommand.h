#pragma once

#include "host/Command.h"
#include "host/DatabaseArguments.h"

class ReportDefinition;
struct ReportCriteria;

// nvrptsales report NAME [--db FILE | --odbc CONNECTION] [criteria] [--pdf FILE] [--csv FILE]
//                        [--xlsx FILE] [--print [PRINTER]]
// Builds any report headless through its definition: the options are its window's boxes,
// checked as the boxes check them, and the report is built as its window builds it.
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
    // Why the criteria options do not fit the report's boxes; empty when they do.
    [[nodiscard]] static QString optionProblem(const ReportDefinition &definition,
                                               const QCommandLineParser &parser);
    int build(const ReportDefinition &definition, const QCommandLineParser &parser,
              QTextStream &out, QTextStream &err);

    DatabaseArguments m_database;
};
