#include "db/DbError.h"

using namespace Qt::StringLiterals;

DbError::DbError(QString description, QString source)
    : m_description(std::move(description)), m_source(std::move(source)),
      m_what(QString(m_source + u": "_s + m_description).toStdString())
{
}

QString DbError::componentSource()
{
    return u"NVRptSales"_s;
}

QString DbError::recordsetSource()
{
    return u"NVRptSales.Recordset"_s;
}

QString DbError::translationSource()
{
    return u"NVRptSales.SqlTranslator"_s;
}
