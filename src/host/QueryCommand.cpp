#include "host/QueryCommand.h"

#include "db/Connection.h"
#include "db/Failure.h"
#include "host/CliStatus.h"
#include "host/CsvOutput.h"

using namespace Qt::StringLiterals;

QString QueryCommand::name() const
{
    return u"query"_s;
}

QString QueryCommand::summary() const
{
    return u"Run one SELECT statement and print its rows as CSV."_s;
}

QString QueryCommand::synopsis() const
{
    return u"[--db FILE | --odbc CONNECTION] SQL"_s;
}

QString QueryCommand::description() const
{
    return u"Runs SQL, one reading statement in SQL Server's dialect (translated for an "
           u"embedded database), and prints its rows as CSV on standard output: a header of "
           u"column names, numbers in full precision with a '.' decimal point, dates as "
           u"stored. Without --db or --odbc the demo company database is used, created in the "
           u"user's data folder on first use. Exit status: 0 done, 2 bad arguments, 3 the "
           u"statement or the database failed (the reason on standard error)."_s;
}

void QueryCommand::configure(QCommandLineParser &parser)
{
    m_database.addTo(parser);
    parser.addPositionalArgument(u"SQL"_s, u"The statement, as one argument."_s);
}

int QueryCommand::execute(const QCommandLineParser &parser, QTextStream &out, QTextStream &err)
{
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1)
        return badArguments(err, u"give the statement as one argument (quote it)"_s);
    if (const QString problem = m_database.problem(parser); !problem.isEmpty())
        return badArguments(err, problem);
    try {
        const std::shared_ptr<Connection> connection = m_database.open(parser, err);
        CsvOutput::stream(out, *connection, positional.front());
    } catch (const Failure &e) {
        err << e.description() << " (" << e.source() << ")" << Qt::endl;
        return CliStatus::Failure;
    }
    return CliStatus::Ok;
}
