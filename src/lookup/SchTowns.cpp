#include "lookup/SchTowns.h"

#include "lookup/LookupQueries.h"

using namespace Qt::StringLiterals;

SchTowns::SchTowns(SharedConnection &connection)
    : LookupDialog({.objectName = u"SchTowns"_s,
                    .caption = u"Search Town"_s,
                    .kind = Kind::Seeking,
                    .selectButton = u"CmdSelect"_s,
                    .closeButton = u"CmdClose"_s,
                    .image = false,
                    .columns = {{u"ID"_s, u"Town ID"_s, u"TownId"_s, 1720},
                                {u"Name"_s, u"Town Name"_s, u"Townname"_s, 9604}},
                    .idField = u"townID"_s,
                    .nameField = u"TownName"_s,
                    .enterOnlyFromGrid = false,
                    .emptyOutputsOnEveryFill = false,
                    .criterionPrefix = u"Townname like '"_s},
                   connection)
{
}

QString SchTowns::listQuery() const
{
    return LookupQueries::towns();
}
