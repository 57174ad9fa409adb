#include "host/ReportCommand.h"

#include "reports/ReportCatalog.h"
#include "reports/HeadlessReport.h"
#include "reports/ReportDefinition.h"
#include "reports/SqlDateRange.h"
#include "db/Connection.h"
#include "db/DatabaseFileGuard.h"
#include "db/Failure.h"
#include "db/ResultTable.h"
#include "host/CliStatus.h"
#include "host/CommandProgress.h"
#include "host/CsvOutput.h"
#include "host/PeriodDefaults.h"
#include "presentation/Report.h"
#include "printing/ReportPrinter.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

// Every criterion option a report may take, in the order help lists them.
struct CriterionOption
{
    QString key;
    QString valueName;
    QString help;
};

const std::vector<CriterionOption> &criterionOptions()
{
    static const std::vector<CriterionOption> options{
        {u"customer"_s, u"ID"_s, u"Customer id, as typed into the customer box."_s},
        {u"sector"_s, u"ID"_s, u"Sector id, as typed into the sector box."_s},
        {u"town"_s, u"ID"_s, u"Town id, as typed into the town box."_s},
        {u"company"_s, u"ID"_s, u"Company id, as typed into the company box."_s},
        {u"product"_s, u"ID"_s, u"Product code, as typed into the product box."_s},
        {u"invoice-from"_s, u"N"_s, u"First invoice (or return) number (default 1)."_s},
        {u"invoice-to"_s, u"N"_s, u"Last invoice (or return) number (default: no upper bound)."_s},
        {u"by"_s, u"KIND"_s, u"What a row of the report stands for, one of its choices."_s},
        {u"compare"_s, u"PERIOD"_s,
         u"Set the earlier period's figures beside this period's: previous-period (as many "
         u"whole months, or days, just before) or previous-year (the same dates a year "
         u"earlier)."_s},
    };
    return options;
}

// "--customer ID (5)" for each box of a report, in its window's order.
QString optionList(const ReportDefinition &definition)
{
    QStringList parts;
    for (const CriteriaField &f : definition.fields()) {
        if (f.kind == FieldKind::Choice) {
            parts.append(u"--%1 %2"_s.arg(f.key, f.choices.join(u'|')));
            continue;
        }
        QString value = f.isIdBox() ? u"ID"_s : u"N"_s;
        parts.append(u"--%1 %2 (%3%4)"_s.arg(f.key, value, QString::number(f.maxLength),
                                             f.digitsOnly ? u" digits"_s : QString()));
    }
    return parts.isEmpty() ? u"no criteria besides the period"_s : parts.join(u", "_s);
}

} // namespace

QString ReportCommand::name() const
{
    return u"report"_s;
}

QString ReportCommand::summary() const
{
    return u"Build a report headless: to PDF, to CSV, to a spreadsheet, or to a printer."_s;
}

QString ReportCommand::synopsis() const
{
    return u"NAME [--db FILE | --odbc CONNECTION] [--from YYYY-MM-DD] [--to YYYY-MM-DD] "
           u"[--customer ID] [--sector ID] [--town ID] [--company ID] [--product ID] "
           u"[--invoice-from N] [--invoice-to N] [--by KIND] [--compare PERIOD] [--pdf FILE] [--csv FILE] [--xlsx FILE] "
           u"[--print [PRINTER]] [--quiet]"_s;
}

QString ReportCommand::description() const
{
    QString text =
        u"Builds the report NAME exactly as its window does (same query, same texts) and "
        u"writes it as PDF, as CSV (the report's rows), as an Excel workbook (the report's "
        u"rows with live subtotals), or to a printer; with none of these, "
        u"the CSV goes to standard output. An id option is the text typed into that report's "
        u"box, up to the box's length; a report without such a box refuses it. The period "
        u"defaults to the financial period's start and today.\n\nReports and their options:\n"_s;
    for (const ReportEntry &e : ReportCatalog::entries())
        text += u"  "_s + e.commandName + u"\n      "_s + e.caption + u": "_s +
                optionList(e.definition()) + u"\n"_s;
    text += u"\nExit status: 0 built, 1 no record, 2 bad arguments (or criteria the report's "
            u"window refuses, with its message), 3 database or report failure."_s;
    return text;
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
    for (const CriterionOption &option : criterionOptions())
        parser.addOption({option.key, option.help, option.valueName});
    parser.addOption({u"pdf"_s, u"Write the report as a PDF file."_s, u"FILE"_s});
    parser.addOption(
        {u"csv"_s, u"Write the report's rows as a CSV file (- for standard output)."_s, u"FILE"_s});
    parser.addOption({u"xlsx"_s,
                      u"Write the report as an Excel workbook: its rows, its group subtotals "
                      u"as formulas, groups as outline levels."_s,
                      u"FILE"_s});
    parser.addOption({u"print"_s,
                      u"Print the report, on PRINTER or on the report's printer (the "
                      u"default printer when the system has no printer of that name)."_s,
                      u"PRINTER"_s});
    parser.addOption({u"quiet"_s, u"Show no progress of a long export or print."_s});
}

QString ReportCommand::optionProblem(const ReportDefinition &definition,
                                     const QCommandLineParser &parser)
{
    static const QRegularExpression digits(u"^[0-9]*$"_s);
    for (const CriterionOption &option : criterionOptions()) {
        if (!parser.isSet(option.key))
            continue;
        const CriteriaField *field = definition.field(option.key);
        if (!field)
            return u"the %1 has no %2 box"_s.arg(definition.entry().caption, option.key);
        const QString value = parser.value(option.key);
        if (field->kind == FieldKind::Choice) {
            if (!field->choices.contains(value))
                return u"--%1 takes one of %2"_s.arg(option.key, field->choices.join(u", "_s));
            continue;
        }
        if (value.size() > field->maxLength)
            return u"--%1 takes at most %2 characters, as its box does"_s.arg(
                option.key, QString::number(field->maxLength));
        if (field->digitsOnly && !digits.match(value).hasMatch())
            return u"--%1 takes a number: up to %2 digits"_s.arg(option.key,
                                                                 QString::number(field->maxLength));
    }
    return QString();
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
    const ReportDefinition &definition = entry->definition();
    if (const QString problem = optionProblem(definition, parser); !problem.isEmpty())
        return badArguments(err, problem);
    for (const QString &option : {u"pdf"_s, u"csv"_s, u"xlsx"_s}) {
        if (parser.isSet(option) && parser.value(option).isEmpty())
            return badArguments(err, u"--%1 needs a file name"_s.arg(option));
    }
    return build(definition, parser, out, err);
}

int ReportCommand::build(const ReportDefinition &definition, const QCommandLineParser &parser,
                         QTextStream &out, QTextStream &err)
{
    auto date = [&](const QString &option, QDate &target) {
        if (!parser.isSet(option))
            return true;
        target = SqlDateRange::parse(parser.value(option));
        return target.isValid();
    };
    ReportCriteria criteria;
    criteria.to = QDate::currentDate();
    if (!date(u"from"_s, criteria.from) || !date(u"to"_s, criteria.to))
        return badArguments(err, u"--from and --to take a date as YYYY-MM-DD, from %1 to %2"_s.arg(
                                     SqlDateRange::first().toString(Qt::ISODate),
                                     SqlDateRange::last().toString(Qt::ISODate)));
    for (const CriteriaField &f : definition.fields())
        criteria.texts.insert(f.key, parser.value(f.key));

    try {
        const std::shared_ptr<Connection> connection = m_database.open(parser, err);
        // Writing the report over the database it reads would destroy the data: refused here,
        // before any work, as a bad argument (the export itself would refuse it too).
        for (const QString &option : {u"pdf"_s, u"csv"_s, u"xlsx"_s}) {
            if (parser.isSet(option) && DatabaseFileGuard::isGuarded(parser.value(option)))
                return badArguments(err, u"--%1 names the database being read (%2)"_s.arg(
                                             option, parser.value(option)));
        }
        if (!criteria.from.isValid())
            criteria.from = PeriodDefaults(*connection).PeriodStartDate();
        HeadlessReport headless(definition, std::move(criteria), *connection,
                                &ReportPrinter::printing());
        switch (headless.build()) {
        case HeadlessReport::Outcome::Refused:
            err << headless.message().text << Qt::endl;
            return CliStatus::BadArguments;
        case HeadlessReport::Outcome::Empty:
            err << headless.message().text << Qt::endl;
            return CliStatus::NoRecord;
        case HeadlessReport::Outcome::Built:
            break;
        }
        Report &report = *headless.report();
        CommandProgress progress(err, !parser.isSet(u"quiet"_s) &&
                                          CommandProgress::standardErrorIsTerminal());
        // Nothing here cancels an output: one that reports it did not finish failed.
        const auto finished = [](bool done, const QString &what) {
            if (!done)
                throw Failure(u"The %1 was not finished"_s.arg(what), Failure::componentSource());
        };
        bool wrote = false;
        if (parser.isSet(u"pdf"_s)) {
            finished(report.exportPdf(parser.value(u"pdf"_s), progress.of(u"PDF"_s, u"pages"_s)),
                     u"PDF"_s);
            wrote = true;
        }
        if (parser.isSet(u"csv"_s) && parser.value(u"csv"_s) != u"-") {
            report.exportCsv(parser.value(u"csv"_s));
            wrote = true;
        }
        if (parser.isSet(u"xlsx"_s)) {
            finished(report.exportXlsx(parser.value(u"xlsx"_s), progress.of(u"Excel"_s, u"rows"_s)),
                     u"workbook"_s);
            wrote = true;
        }
        if (parser.isSet(u"print"_s)) {
            finished(report.print(parser.value(u"print"_s), progress.of(u"Printing"_s, u"pages"_s)),
                     u"print"_s);
            wrote = true;
        }
        if (!wrote || parser.value(u"csv"_s) == u"-") {
            if (!CsvOutput::write(out, report))
                throw Failure(u"Cannot write the rows to standard output"_s,
                              Failure::componentSource());
        }
    } catch (const Failure &f) {
        err << f.description() << " (" << f.source() << ")" << Qt::endl;
        return CliStatus::Failure;
    }
    return CliStatus::Ok;
}
