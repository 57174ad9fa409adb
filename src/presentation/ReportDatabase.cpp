#include "presentation/ReportDatabase.h"

#include "db/Failure.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "presentation/Report.h"

using namespace Qt::StringLiterals;

void ReportDatabase::SetDataSource(const Recordset &recordset, int dataTag, int tableNumber)
{
    if (dataTag != 0 && dataTag != 3)
        throw Failure(u"Data tag %1 is not a result set"_s.arg(dataTag),
                      Failure::engineSource());
    if (tableNumber != 0 && tableNumber != 1)
        throw Failure(u"The report has no table %1"_s.arg(tableNumber),
                      Failure::engineSource());
    if (!recordset.isOpen())
        throw Failure(u"The result set given as the report's data source is closed"_s,
                      Failure::engineSource());
    const bool filtered = !recordset.filter().trimmed().isEmpty();
    m_report.bind(recordset.rows(), filtered ? recordset.visibleRows() : std::vector<int>(),
                  !filtered);
}
