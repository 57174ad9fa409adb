#include "lookup/SchTowns.h"

using namespace Qt::StringLiterals;

SchTowns::SchTowns(SharedConnection &connection)
    : LookupDialog({u"SchTowns"_s,
                    u"Search Town"_s,
                    Kind::Seeking,
                    u"CmdSelect"_s,
                    u"CmdClose"_s,
                    false,
                    {{u"ID"_s, u"Town ID"_s, u"TownId"_s, 1720},
                     {u"Name"_s, u"Town Name"_s, u"Townname"_s, 9604}},
                    u"townID"_s,
                    u"TownName"_s,
                    false,
                    false,
                    u"Townname like '"_s},
                   connection)
{
}

QString SchTowns::listQuery() const
{
    return u"Select * FROM Towns order by Townname"_s;
}
