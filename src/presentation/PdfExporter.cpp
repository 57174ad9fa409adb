#include "presentation/PdfExporter.h"

#include "db/Failure.h"
#include "presentation/OutputFile.h"
#include "presentation/PageRenderer.h"

#include <QPainter>
#include <QPdfWriter>

using namespace Qt::StringLiterals;

bool PdfExporter::write(Report &report, const QString &path, const Report::Progress &progress)
{
    const int pages = report.pageCount();
    OutputFile output(path, Failure::exportSource());
    QIODevice &file = output.open();
    // Dots per inch of the drawing coordinates. High, because the PDF engine truncates font
    // sizes to whole device pixels.
    constexpr int resolution = 1200;
    {
        QPdfWriter writer(&file);
        writer.setResolution(resolution);
        writer.setPageLayout(report.pageLayout());
        writer.setTitle(report.ReportTitle());
        writer.setCreator(u"Norvale Sales Reports"_s);
        QPainter painter;
        if (!painter.begin(&writer))
            throw Failure(u"Cannot start the PDF %1"_s.arg(path), Failure::exportSource());
        PageRenderer renderer(report, painter, resolution / 72.0);
        for (int i = 0; i < pages; ++i) {
            if (i > 0)
                writer.newPage();
            renderer.render(report.page(i));
            if (progress && !progress(i + 1, pages)) {
                painter.end();
                output.cancel();
                return false;
            }
        }
        painter.end();
    }
    output.commit();
    return true;
}
