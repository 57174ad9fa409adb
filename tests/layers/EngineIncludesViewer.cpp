// Deliberately wrong: the report engine reaching up to the preview window must not compile.
#include "preview/RptReportViewer.h"
