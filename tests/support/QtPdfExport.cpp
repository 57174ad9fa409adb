#include "QtPdfExport.h"

#include "presentation/PageRenderer.h"

#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <stdexcept>

using namespace Qt::StringLiterals;

bool QtPdfExport::write(Report &report, const QString &path, const Report::Progress &progress)
{
    const int pages = report.pageCount();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write " + path.toStdString());
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
            throw std::runtime_error("cannot start the PDF " + path.toStdString());
        PageRenderer renderer(report, painter, resolution / 72.0);
        for (int i = 0; i < pages; ++i) {
            if (i > 0)
                writer.newPage();
            renderer.render(report.page(i));
            if (progress && !progress(i + 1, pages)) {
                painter.end();
                file.cancelWriting();
                return false;
            }
        }
        painter.end();
    }
    if (!file.commit())
        throw std::runtime_error("cannot write " + path.toStdString());
    return true;
}
