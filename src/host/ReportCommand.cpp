#include "host/ReportCommand.h"

#include "criteria/ReportCatalog.h"
#include "criteria/reports/SalesRegisterReport.h"
#include "db/Connection.h"
#include "db/Failure.h"
#include "db/Recordset.h"
#include "db/SharedConnection.h"
#include "host/CliStatus.h"
#include "host/CsvOutput.h"
#include "host/PeriodDefaults.h"
#include "presentation/Report.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

QString ReportCommand::name() const
{
    return u"report"_s;
}

QString ReportCommand::summary() const
{
    return u"Build a report headless: to PDF, to CSV, or to a printer."_s;
}

QString ReportCommand::synopsis() const
{
    return u"NAME [--db FILE | --odbc CONNECTION] [--from YYYY-MM-DD] [--to YYYY-MM-DD] "
           u"[--customer ID] [--sector ID] [--town ID] [--company ID] [--product ID] "
           u"[--invoice-from N] [--invoice-to N] [--pdf FILE] [--csv FILE] [--print [PRINTER]]"_s;
}

QString ReportCommand::description() const
{
    QStringList names;
    for (const ReportEntry &e : ReportCatalog::entries())
        names.append(e.commandName);
    return u"Builds the report NAME exactly as its window does (same query, same texts) and "
           u"writes it as PDF, as CSV (the report's rows), or to a printer; with none of these, "
           u"the CSV goes to standard output. An id option is the text typed into that report's "
           u"id box; a report without such a box refuses it. The period defaults to the "
           u"financial period's start and today. Available now: sales-register (the other "
           u"reports, %1, are not yet). Exit status: 0 built, 1 no record, 2 bad arguments, "
           u"3 database or report failure."_s.arg(names.mid(1).join(u", "_s));
}

QStringList ReportCommand::normalisePrintOption(const QStringList &arguments)
{
    QStringList result;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == u"--print") {
            const bool named = i + 1 < arguments.size() && !arguments[i + 1].startsWith(u'-');
            result.append(u"--print="_s + (named ? arguments[++i] : QString()));
        } else {
            result.append(arguments[i]);
        }
    }
    return result;
}

void ReportCommand::configure(QCommandLineParser &parser)
{
    parser.addPositionalArgument(u"NAME"_s, u"The report, for example sales-register."_s);
    m_database.addTo(parser);
    parser.addOption({u"from"_s,
                      u"First day of the period (default: start of the financial period)."_s,
                      u"YYYY-MM-DD"_s});
    parser.addOption({u"to"_s, u"Last day of the period (default: today)."_s, u"YYYY-MM-DD"_s});
    parser.addOption({u"customer"_s, u"Customer id, as typed into the customer box."_s, u"ID"_s});
    parser.addOption({u"sector"_s, u"Sector id, as typed into the sector box."_s, u"ID"_s});
    parser.addOption({u"town"_s, u"Town id, as typed into the town box."_s, u"ID"_s});
    parser.addOption({u"company"_s, u"Company id, as typed into the company box."_s, u"ID"_s});
    parser.addOption({u"product"_s, u"Product id, as typed into the product box."_s, u"ID"_s});
    parser.addOption({u"invoice-from"_s, u"First invoice number (digits; default 1)."_s, u"N"_s});
    parser.addOption({u"invoice-to"_s, u"Last invoice number (digits; default 99999)."_s, u"N"_s});
    parser.addOption({u"pdf"_s, u"Write the report as a PDF file."_s, u"FILE"_s});
    parser.addOption(
        {u"csv"_s, u"Write the report's rows as a CSV file (- for standard output)."_s, u"FILE"_s});
    parser.addOption({u"print"_s,
                      u"Print the report, on PRINTER or on the report's printer (the "
                      u"default printer when the system has no printer of that name)."_s,
                      u"PRINTER"_s});
}

int ReportCommand::execute(const QCommandLineParser &parser, QTextStream &out, QTextStream &err)
{
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1)
        return badArguments(err, u"name one report"_s);
    if (const QString problem = m_database.problem(parser); !problem.isEmpty())
        return badArguments(err, problem);
    const ReportEntry *entry = ReportCatalog::byCommandName(positional.front());
    if (!entry)
        return badArguments(err, u"there is no report named %1"_s.arg(positional.front()));
    if (entry->kind != ReportKind::SalesRegister)
        return badArguments(err, u"the report %1 cannot be built from the command line yet"_s.arg(
                                     entry->commandName));
    return salesRegister(parser, out, err);
}

int ReportCommand::salesRegister(const QCommandLineParser &parser, QTextStream &out,
                                 QTextStream &err)
{
    // The window's boxes: customer, sector and town take 5 characters; invoice numbers 5 digits.
    for (const QString &refused : {u"company"_s, u"product"_s}) {
        if (parser.isSet(refused))
            return badArguments(err, u"the sales register has no %1 box"_s.arg(refused));
    }
    for (const QString &id : {u"customer"_s, u"sector"_s, u"town"_s}) {
        if (parser.value(id).size() > 5)
            return badArguments(err, u"--%1 takes at most 5 characters, as its box does"_s.arg(id));
    }
    static const QRegularExpression digits(u"^[0-9]{0,5}$"_s);
    for (const QString &bound : {u"invoice-from"_s, u"invoice-to"_s}) {
        if (!digits.match(parser.value(bound)).hasMatch())
            return badArguments(err, u"--%1 takes an invoice number: up to 5 digits"_s.arg(bound));
    }
    auto date = [&](const QString &option, QDate &target) {
        if (!parser.isSet(option))
            return true;
        target = QDate::fromString(parser.value(option), u"yyyy-MM-dd"_s);
        return target.isValid();
    };

    try {
        const std::unique_ptr<Connection> connection = m_database.open(parser, err);
        SharedConnection shared;
        shared.set(connection.get());
        SalesRegisterReport::Criteria criteria{PeriodDefaults(shared).PeriodStartDate(),
                                               QDate::currentDate(),
                                               parser.value(u"customer"_s),
                                               parser.value(u"sector"_s),
                                               parser.value(u"town"_s),
                                               parser.value(u"invoice-from"_s),
                                               parser.value(u"invoice-to"_s)};
        if (!date(u"from"_s, criteria.from) || !date(u"to"_s, criteria.to))
            return badArguments(err, u"--from and --to take a date as YYYY-MM-DD"_s);

        Recordset rows;
        rows.open(SalesRegisterReport::query(criteria, connection->dialect()), *connection);
        if (rows.recordCount() == 0) {
            err << "No record exists." << Qt::endl;
            return CliStatus::NoRecord;
        }
        std::unique_ptr<Report> report = SalesRegisterReport::prepare(criteria, rows, *connection);
        bool wrote = false;
        if (parser.isSet(u"pdf"_s)) {
            report->exportPdf(parser.value(u"pdf"_s));
            wrote = true;
        }
        if (parser.isSet(u"csv"_s) && parser.value(u"csv"_s) != u"-") {
            report->exportCsv(parser.value(u"csv"_s));
            wrote = true;
        }
        if (parser.isSet(u"print"_s)) {
            report->print(parser.value(u"print"_s));
            wrote = true;
        }
        if (!wrote || parser.value(u"csv"_s) == u"-") {
            if (!CsvOutput::write(out, *rows.rows()))
                throw Failure(u"Cannot write the rows to standard output"_s,
                              Failure::componentSource());
        }
    } catch (const Failure &f) {
        err << f.description() << " (" << f.source() << ")" << Qt::endl;
        return CliStatus::Failure;
    }
    return CliStatus::Ok;
}
