#include "lookup/SchSectors.h"

using namespace Qt::StringLiterals;

SchSectors::SchSectors(SharedConnection &connection)
    : LookupDialog({u"SchSectors"_s,
                    u"Search Sectors"_s,
                    Kind::Seeking,
                    u"CmdSelect"_s,
                    u"CmdClose"_s,
                    false,
                    {{u"ID"_s, u"Sector ID"_s, u"Sectorid"_s, 1720},
                     {u"Name"_s, u"Name"_s, u"Sectorname"_s, 5953},
                     {u"City"_s, u"Town"_s, u"townname"_s, 3731}},
                    u"Sectorid"_s,
                    u"Sectorname"_s,
                    true,
                    false,
                    u"Sectorname like '"_s},
                   connection)
{
}

QString SchSectors::listQuery() const
{
    return u"Select s.*,t.townname FROM Sectors s join towns t on s.townid = t.townid order by Sectorname"_s;
}
