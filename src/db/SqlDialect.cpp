#include "db/SqlDialect.h"

using namespace Qt::StringLiterals;

QString SqlDates::literal(SqlDialect dialect, QDate date)
{
    return date.toString(dialect == SqlDialect::Sqlite ? u"yyyy-MM-dd"_s : u"yyyyMMdd"_s);
}
