#include "host/CsvOutput.h"

#include "db/CsvWriter.h"

#include <QBuffer>
#include <QFileDevice>

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
