// The control for the reports' checks: the definitions' own headers, the engine's and the
// printing interface the engine declares compile.
#include "presentation/ReportPrinting.h"
#include "reports/HeadlessReport.h"
#include "reports/ReportCatalog.h"
