// The control for DbIncludesCriteria.cpp: the data layer's own headers compile.
#include "db/Connection.h"
