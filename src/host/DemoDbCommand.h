#pragma once

#include "host/Command.h"

// nvrptsales demo-db FILE [--lines N] [--customers N] [--end-date YYYY-MM-DD] [--seed S]
class DemoDbCommand : public Command
{
public:
    QString name() const override;
    QString summary() const override;
    QString synopsis() const override;
    QString description() const override;

protected:
    void configure(QCommandLineParser &parser) override;
    int execute(const QCommandLineParser &parser, QTextStream &out, QTextStream &err) override;
};
