#include "lookup/SchSectors.h"

#include "lookup/LookupQueries.h"

using namespace Qt::StringLiterals;

SchSectors::SchSectors(SharedConnection &connection)
    : LookupDialog({.objectName = u"SchSectors"_s,
                    .caption = u"Search Sectors"_s,
                    .kind = Kind::Seeking,
                    .selectButton = u"CmdSelect"_s,
                    .closeButton = u"CmdClose"_s,
                    .image = false,
                    .columns = {{u"ID"_s, u"Sector ID"_s, u"Sectorid"_s, 1720},
                                {u"Name"_s, u"Name"_s, u"Sectorname"_s, 5953},
                                {u"City"_s, u"Town"_s, u"townname"_s, 3731}},
                    .idField = u"Sectorid"_s,
                    .nameField = u"Sectorname"_s,
                    .enterOnlyFromGrid = true,
                    .emptyOutputsOnEveryFill = false,
                    .criterionPrefix = u"Sectorname like '"_s},
                   connection)
{
}

QString SchSectors::listQuery() const
{
    return LookupQueries::sectors();
}
