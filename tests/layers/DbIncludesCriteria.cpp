// Deliberately wrong: the data layer reaching up to the report catalogue must not compile.
#include "criteria/ReportCatalog.h"
