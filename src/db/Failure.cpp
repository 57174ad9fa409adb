#include "db/Failure.h"

using namespace Qt::StringLiterals;

Failure::Failure(QString description, QString source)
    : m_description(std::move(description)), m_source(std::move(source)),
      m_what(QString(m_source + u": "_s + m_description).toStdString())
{
}

QString Failure::componentSource()
{
    return u"NVRptSales"_s;
}

QString Failure::recordsetSource()
{
    return u"NVRptSales.Recordset"_s;
}

QString Failure::translationSource()
{
    return u"NVRptSales.SqlTranslator"_s;
}

QString Failure::engineSource()
{
    return u"NVRptSales.ReportEngine"_s;
}

QString Failure::layoutSource()
{
    return u"NVRptSales.Layouts"_s;
}

QString Failure::exportSource()
{
    return u"NVRptSales.Export"_s;
}

QString Failure::printingSource()
{
    return u"NVRptSales.Printing"_s;
}
