#include "host/DemoDbCommand.h"

#include "reports/SqlDateRange.h"
#include "db/Failure.h"
#include "host/CliStatus.h"
#include "host/DemoDatabase.h"

#include <QElapsedTimer>

using namespace Qt::StringLiterals;

QString DemoDbCommand::name() const
{
    return u"demo-db"_s;
}

QString DemoDbCommand::summary() const
{
    return u"Create a demo company database (a SQLite file) to try the reports on."_s;
}

QString DemoDbCommand::synopsis() const
{
    return u"FILE [--lines N] [--customers N] [--end-date YYYY-MM-DD] [--seed S]"_s;
}

QString DemoDbCommand::description() const
{
    return u"Creates FILE, a SQLite database with a year of a distributor's trade up to the end "
           u"date: towns, sectors, customers, supplier companies and their products, sales with "
           u"discounts, bonus and sales tax, sale returns, purchases, purchase returns and "
           u"stock. The same options and seed always give the same data. An existing FILE is "
           u"never overwritten."_s;
}

void DemoDbCommand::configure(QCommandLineParser &parser)
{
    parser.addPositionalArgument(u"FILE"_s, u"The database file to create."_s);
    parser.addOption({u"lines"_s, u"Number of sale lines (default 50000)."_s, u"N"_s});
    parser.addOption({u"customers"_s, u"Number of customers (default 400)."_s, u"N"_s});
    parser.addOption(
        {u"end-date"_s, u"Last day of the year of trade (default today)."_s, u"YYYY-MM-DD"_s});
    parser.addOption({u"seed"_s, u"Seed of the generated data (default 1)."_s, u"S"_s});
}

int DemoDbCommand::execute(const QCommandLineParser &parser, QTextStream &out, QTextStream &err)
{
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return badArguments(err, u"give exactly one FILE to create"_s);

    DemoDatabase::Options options;
    auto positive = [&](const QString &option, int &target) {
        if (!parser.isSet(option))
            return true;
        bool ok = false;
        const int value = parser.value(option).toInt(&ok);
        if (!ok || value < 1)
            return false;
        target = value;
        return true;
    };
    if (!positive(u"lines"_s, options.saleLines) || options.saleLines > 50'000'000)
        return badArguments(err, u"--lines takes a whole number from 1 to 50000000"_s);
    if (!positive(u"customers"_s, options.customers) || options.customers > 600'000)
        return badArguments(err, u"--customers takes a whole number from 1 to 600000"_s);
    if (parser.isSet(u"end-date"_s)) {
        // A year of trade ends on the date: it starts within the range too.
        options.endDate = SqlDateRange::parse(parser.value(u"end-date"_s));
        if (!SqlDateRange::contains(options.endDate.addYears(-1)))
            return badArguments(err, u"--end-date takes a date as YYYY-MM-DD, from %1 to %2"_s.arg(
                                         SqlDateRange::first().addYears(1).toString(Qt::ISODate),
                                         SqlDateRange::last().toString(Qt::ISODate)));
    }
    if (parser.isSet(u"seed"_s)) {
        bool ok = false;
        options.seed = parser.value(u"seed"_s).toULongLong(&ok);
        if (!ok)
            return badArguments(err, u"--seed takes a whole number"_s);
    }

    QElapsedTimer timer;
    timer.start();
    try {
        DemoDatabase::create(files.front(), options);
    } catch (const Failure &e) {
        err << "nvrptsales demo-db: " << e.description() << Qt::endl;
        return CliStatus::Failure;
    }
    out << "Created " << files.front() << " with " << options.saleLines << " sale lines in "
        << QString::number(double(timer.elapsed()) / 1000.0, 'f', 1) << " s." << Qt::endl;
    return CliStatus::Ok;
}
