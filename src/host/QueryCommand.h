#pragma once

#include "host/Command.h"
#include "host/DatabaseArguments.h"

// nvrptsales query [--db FILE | --odbc CONNECTION] SQL: the rows of one statement as CSV.
class QueryCommand : public Command
{
public:
    QString name() const override;
    QString summary() const override;
    QString synopsis() const override;
    QString description() const override;

protected:
    void configure(QCommandLineParser &parser) override;
    int execute(const QCommandLineParser &parser, QTextStream &out, QTextStream &err) override;

private:
    DatabaseArguments m_database;
};
