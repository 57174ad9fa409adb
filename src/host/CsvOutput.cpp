#include "host/CsvOutput.h"

#include "db/Connection.h"
#include "db/CsvWriter.h"
#include "db/Failure.h"
#include "db/ResultTable.h"
#include "presentation/Report.h"

#include <QBuffer>
#include <QFileDevice>

using namespace Qt::StringLiterals;

bool CsvOutput::write(QTextStream &out, const Report &report)
{
    return toStream(out, [&](QIODevice &device) { return report.writeCsv(device); });
}

bool CsvOutput::toStream(QTextStream &out, const std::function<bool(QIODevice &)> &write)
{
    out.flush();
    if (QIODevice *device = out.device()) {
        bool ok = write(*device);
        if (auto *file = qobject_cast<QFileDevice *>(device))
            ok = file->flush() && ok;
        return ok;
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!write(buffer))
        return false;
    out << QString::fromUtf8(buffer.data());
    return true;
}

void CsvOutput::stream(QTextStream &out, const Connection &connection, const QString &sql)
{
    QIODevice *device = out.device();
    bool first = true;
    connection.stream(sql, [&](const ResultTable &batch) {
        const bool ok = toStream(out, [&](QIODevice &to) {
            return first ? CsvWriter::write(to, batch) : CsvWriter::writeRows(to, batch);
        });
        first = false;
        if (!ok)
            throw Failure(u"Cannot write the rows to standard output: %1"_s.arg(
                              device ? device->errorString() : u"the stream refused them"_s),
                          Failure::componentSource());
    });
}
