#include "host/CsvOutput.h"

#include "db/Connection.h"
#include "db/CsvWriter.h"
#include "db/Failure.h"
#include "db/ResultTable.h"

#include <QBuffer>
#include <QFileDevice>

using namespace Qt::StringLiterals;

bool CsvOutput::write(QTextStream &out, const ResultTable &table)
{
    out.flush();
    if (QIODevice *device = out.device()) {
        bool ok = CsvWriter::write(*device, table);
        if (auto *file = qobject_cast<QFileDevice *>(device))
            ok = file->flush() && ok;
        return ok;
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!CsvWriter::write(buffer, table))
        return false;
    out << QString::fromUtf8(buffer.data());
    return true;
}

void CsvOutput::stream(QTextStream &out, const Connection &connection, const QString &sql)
{
    out.flush();
    QIODevice *device = out.device();
    auto *file = qobject_cast<QFileDevice *>(device);
    bool first = true;
    connection.stream(sql, [&](const ResultTable &batch) {
        bool ok;
        if (device) {
            ok = first ? CsvWriter::write(*device, batch) : CsvWriter::writeRows(*device, batch);
            if (file)
                ok = file->flush() && ok;
        } else {
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            ok = first ? CsvWriter::write(buffer, batch) : CsvWriter::writeRows(buffer, batch);
            out << QString::fromUtf8(buffer.data());
        }
        first = false;
        if (!ok)
            throw Failure(u"Cannot write the rows to standard output: %1"_s.arg(
                              device ? device->errorString() : u"the stream refused them"_s),
                          Failure::componentSource());
    });
}
