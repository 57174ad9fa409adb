// Deliberately wrong: the report engine reaching for the printing library must not compile.
#include "printing/ReportPrinter.h"
