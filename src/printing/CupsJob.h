#pragma once

#include <QString>

// One print job handed to the CUPS server (the one CUPS_SERVER names, or the system's) as a
// PDF file. The server answers at once whether it accepted the job; a queue that rejects
// jobs is a failure that carries the printer's own reason.
class CupsJob
{
public:
    // Submits the PDF file to the queue; returns the job's id. Throws Failure naming the
    // printer and its reason when the job was not accepted.
    static int submit(const QString &printer, const QString &title, const QString &pdfPath);

    // The printer's state message ("Paper jam", or what its administrator wrote when it
    // stopped taking jobs); empty when it gives none.
    [[nodiscard]] static QString stateMessage(const QString &printer);
};
