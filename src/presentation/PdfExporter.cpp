#include "presentation/PdfExporter.h"

#include "db/Failure.h"
#include "presentation/OutputFile.h"
#include "presentation/PdfDocumentWriter.h"
#include "presentation/PdfFontSet.h"
#include "presentation/PdfPagePool.h"

#include <QDateTime>
#include <QTimeZone>
#include <algorithm>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

// libdeflate's level for page streams and fonts, measured on the million-line register on two
// cores: level 3 writes about 6,000 bytes a page (Qt's writer wrote 8,200) at some 2,600 pages
// a second. Level 6 saves another eighth of the bytes but, a fifth slower, falls under 2,000
// pages a second when the machine is busy.
constexpr int kCompressionLevel = 3;

// The creation date: SOURCE_DATE_EPOCH when set, so that the same report gives the same file.
// A value that is not a count of seconds giving a year a PDF date can hold (four digits, from
// 1970) is ignored with a warning rather than written as a broken date.
std::string creationDate()
{
    constexpr qint64 kLastSecond = 253402300799; // 9999-12-31 23:59:59 UTC
    const QByteArray given = qgetenv("SOURCE_DATE_EPOCH");
    QDateTime when = QDateTime::currentDateTimeUtc();
    if (!given.isEmpty()) {
        bool ok = std::all_of(given.begin(), given.end(), [](char c) { return c >= '0' && c <= '9'; });
        const qint64 epoch = ok ? given.toLongLong(&ok) : -1;
        if (ok && epoch <= kLastSecond)
            when = QDateTime::fromSecsSinceEpoch(epoch, QTimeZone::utc());
        else
            qWarning("SOURCE_DATE_EPOCH=%s is not a usable time: the PDF is dated now",
                     given.constData());
    }
    return "(D:" + when.toString(u"yyyyMMddHHmmss"_s).toStdString() + "Z)";
}

void appendReference(std::string &out, int object)
{
    PdfDocumentWriter::appendInteger(out, object);
    out += " 0 R";
}

} // namespace

bool PdfExporter::write(Report &report, const QString &path, const Report::Progress &progress)
{
    const int pages = report.pageCount();
    OutputFile output(path, Failure::exportSource());
    QIODevice &file = output.open();
    try {
        PdfDocumentWriter document(file, kCompressionLevel);
        const int catalog = document.reserveObject();
        const int pageTree = document.reserveObject();
        const int resources = document.reserveObject();
        const int info = document.reserveObject();
        PdfFontSet fonts;
        // Pages are laid out here, in order (the paginator walks the rows forwards), and
        // encoded and deflated by a worker on each core.
        const int cores = int(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
        PdfPagePool pool(report, fonts, cores, kCompressionLevel);

        const QRect paper = report.pageLayout().fullRectPoints();
        std::string pageTail = " /MediaBox [0 0 ";
        PdfDocumentWriter::appendInteger(pageTail, paper.width());
        pageTail += ' ';
        PdfDocumentWriter::appendInteger(pageTail, paper.height());
        pageTail += "] /Resources ";
        appendReference(pageTail, resources);

        std::string dictionary;
        std::string kids;
        int submitted = 0;
        for (int i = 0; i < pages; ++i) {
            while (submitted < pages && submitted - i < pool.capacity())
                pool.submit(report.page(submitted++));
            const std::string &content = pool.take();
            const int contents = document.reserveObject();
            const int pageObject = document.reserveObject();
            document.writeDeflatedStream(contents, {}, content);
            dictionary.assign("<< /Type /Page /Parent ");
            appendReference(dictionary, pageTree);
            dictionary += pageTail;
            dictionary += " /Contents ";
            appendReference(dictionary, contents);
            dictionary += " >>";
            document.writeObject(pageObject, dictionary);
            appendReference(kids, pageObject);
            kids += ' ';
            if (progress && !progress(i + 1, pages)) {
                output.cancel();
                return false;
            }
        }
        pool.finish();
        document.writeObject(resources,
                             "<< /ProcSet [/PDF /Text] /Font << " + fonts.write(document) + ">> >>");
        std::string tree = "<< /Type /Pages /Kids [" + kids + "] /Count ";
        PdfDocumentWriter::appendInteger(tree, pages);
        document.writeObject(pageTree, tree + " >>");
        std::string root = "<< /Type /Catalog /Pages ";
        appendReference(root, pageTree);
        document.writeObject(catalog, root + " >>");
        std::string about = "<< /Title ";
        PdfDocumentWriter::appendTextString(about, report.ReportTitle());
        about += " /Creator ";
        PdfDocumentWriter::appendTextString(about, u"Norvale Sales Reports"_s);
        about += " /Producer ";
        PdfDocumentWriter::appendTextString(about, u"Norvale Sales Reports"_s);
        about += " /CreationDate " + creationDate() + " >>";
        document.writeObject(info, about);
        document.finish(catalog, info);
    } catch (const Failure &) {
        if (output.writeRefused())
            output.commit(false); // throws the system's reason ("No space left on device")
        throw;
    }
    output.commit();
    return true;
}
