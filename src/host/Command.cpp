#include "host/Command.h"

#include "host/CliStatus.h"

using namespace Qt::StringLiterals;

int Command::run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({u"h"_s, u"help"_s}, u"Show this help."_s);
    parser.addOption(help);
    configure(parser);
    if (!parser.parse(QStringList{u"nvrptsales "_s + name()} + arguments))
        return badArguments(err, parser.errorText());
    // Qt keeps the last of a repeated option; a script that says two things means neither.
    QStringList seen;
    for (const QString &option : parser.optionNames()) {
        if (seen.contains(option))
            return badArguments(err, u"--%1 is given more than once"_s.arg(option));
        seen.append(option);
    }
    if (parser.isSet(help)) {
        out << helpText(parser);
        return CliStatus::Ok;
    }
    return execute(parser, out, err);
}

int Command::badArguments(QTextStream &err, const QString &message) const
{
    err << "nvrptsales " << name() << ": " << message << Qt::endl
        << "Try 'nvrptsales " << name() << " --help'." << Qt::endl;
    return CliStatus::BadArguments;
}

QString Command::helpText(const QCommandLineParser &parser) const
{
    QString options = parser.helpText();
    // Qt's own usage line names no command; ours replaces it.
    const qsizetype firstBreak = options.indexOf(u'\n');
    options = options.mid(firstBreak + 1).trimmed();
    return u"Usage: nvrptsales "_s + name() + u" "_s + synopsis() + u"\n\n"_s + description() +
           u"\n\n"_s + options + u"\n"_s;
}
