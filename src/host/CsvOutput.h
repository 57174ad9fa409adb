#pragma once

#include <QTextStream>

#include <functional>

class Connection;
class QIODevice;
class Report;

// Writes result rows as CSV to a command's output stream: straight to its device when it has
// one (standard output, a file), through a buffer when it writes to a string (tests).
class CsvOutput
{
public:
    // A report's rows, exactly as its CSV file holds them (Report::writeCsv).
    [[nodiscard]] static bool write(QTextStream &out, const Report &report);
    // Runs a statement and writes its rows as they are read, a batch at a time, each batch on
    // its way out before the next is read: a result of any size in flat memory. Throws
    // Failure when the statement fails or the output refuses a write.
    static void stream(QTextStream &out, const Connection &connection, const QString &sql);

private:
    static bool toStream(QTextStream &out, const std::function<bool(QIODevice &)> &write);
};
