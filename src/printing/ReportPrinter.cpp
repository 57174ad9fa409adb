#include "printing/ReportPrinter.h"

#include "presentation/ReportPrinting.h"

#include "db/Failure.h"
#include "printing/CupsJob.h"
#include "presentation/PageRenderer.h"
#include "presentation/PdfExporter.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

QString ReportPrinter::choosePrinter(const QString &wanted)
{
    const QStringList available = QPrinterInfo::availablePrinterNames();
    if (available.isEmpty())
        throw Failure(u"No printer is installed: the report was not printed"_s, Failure::printingSource());
    if (!wanted.isEmpty() && available.contains(wanted))
        return wanted;
    const QString fallback = QPrinterInfo::defaultPrinterName();
    return fallback.isEmpty() ? available.front() : fallback;
}

bool ReportPrinter::print(Report &report, const QString &printerName,
                          const Report::Progress &progress)
{
    const QString wanted = printerName.isEmpty() ? report.selectedPrinter().printer : printerName;
    if (!printerName.isEmpty() && !QPrinterInfo::availablePrinterNames().contains(printerName))
        throw Failure(u"There is no printer named %1"_s.arg(printerName), Failure::printingSource());
    const QString chosen = choosePrinter(wanted);
    // The engine's own PDF goes to the queue as one job, so that the server's answer (job
    // accepted, or refused and why) reaches the caller; Qt's printer drops that answer.
    QTemporaryDir folder;
    if (!folder.isValid())
        throw Failure(u"Cannot prepare the print job: %1"_s.arg(folder.errorString()),
                      Failure::printingSource());
    const QString pdf = folder.filePath(u"report.pdf"_s);
    if (!PdfExporter::write(report, pdf, progress))
        return false;
    CupsJob::submit(chosen,
                    report.ReportTitle().isEmpty() ? report.layout().name : report.ReportTitle(),
                    pdf);
    return true;
}

bool ReportPrinter::print(Report &report, QPrinter &printer, const Report::Progress &progress)
{
    const int pages = report.pageCount();
    printer.setFullPage(true); // the layout's own margins place everything
    printer.setPageLayout(report.pageLayout());
    printer.setDocName(report.ReportTitle().isEmpty() ? report.layout().name
                                                      : report.ReportTitle());
    QPainter painter;
    if (!painter.begin(&printer))
        throw Failure(u"Cannot start a print job on %1"_s.arg(printer.printerName()),
                      Failure::printingSource());
    PageRenderer renderer(report, painter, printer.resolution() / 72.0);
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            printer.newPage();
        renderer.render(report.page(i));
        if (progress && !progress(i + 1, pages)) {
            printer.abort();
            painter.end();
            return false;
        }
    }
    painter.end();
    if (printer.printerState() == QPrinter::Error)
        throw Failure(u"The print job on %1 failed"_s.arg(printer.printerName()), Failure::printingSource());
    return true;
}

const ReportPrinting &ReportPrinter::printing()
{
    class Printing : public ReportPrinting
    {
    public:
        bool print(Report &report, const QString &printerName,
                   const Report::Progress &progress) const override
        {
            return ReportPrinter::print(report, printerName, progress);
        }
    };
    static const Printing printing;
    return printing;
}
