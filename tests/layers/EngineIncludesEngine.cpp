// The control for EngineIncludesViewer.cpp: the engine's own headers and the data layer's
// compile.
#include "db/Recordset.h"
#include "presentation/Report.h"
