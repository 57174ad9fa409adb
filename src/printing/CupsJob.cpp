#include "printing/CupsJob.h"

#include "db/Failure.h"

#include <QFile>
#include <cups/cups.h>
#include <memory>

using namespace Qt::StringLiterals;

int CupsJob::submit(const QString &printer, const QString &title, const QString &pdfPath)
{
    const QByteArray name = printer.toUtf8();
    const QByteArray file = QFile::encodeName(pdfPath);
    const QByteArray jobTitle = title.toUtf8();
    const int id = cupsPrintFile2(CUPS_HTTP_DEFAULT, name.constData(), file.constData(),
                                  jobTitle.constData(), 0, nullptr);
    if (id > 0)
        return id;
    QString reason = QString::fromUtf8(cupsLastErrorString());
    if (const QString message = stateMessage(printer); !message.isEmpty())
        reason += u" ("_s + message + u")"_s;
    throw Failure(u"The printer %1 did not accept the report: %2"_s.arg(printer, reason),
                  Failure::printingSource());
}

QString CupsJob::stateMessage(const QString &printer)
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof(uri), "ipp", nullptr, "localhost", 0,
                     "/printers/%s", printer.toUtf8().constData());
    ipp_t *request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-state-message");
    // cupsDoRequest takes the request and gives the response.
    const std::unique_ptr<ipp_t, decltype(&ippDelete)> response(
        cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/"), &ippDelete);
    if (!response)
        return QString();
    ipp_attribute_t *attribute =
        ippFindAttribute(response.get(), "printer-state-message", IPP_TAG_TEXT);
    return attribute ? QString::fromUtf8(ippGetString(attribute, 0, nullptr)).trimmed() : QString();
}
