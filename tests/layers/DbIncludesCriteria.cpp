// Deliberately wrong: the data layer reaching up to the report catalogue must not compile.
#include "reports/ReportCatalog.h"
