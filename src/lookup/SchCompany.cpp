#include "lookup/SchCompany.h"

#include "lookup/LookupQueries.h"

using namespace Qt::StringLiterals;

SchCompany::SchCompany(SharedConnection &connection)
    : LookupDialog({.objectName = u"SchCompany"_s,
                    .caption = u"Search Company"_s,
                    .kind = Kind::Seeking,
                    .selectButton = u"CmdSelect"_s,
                    .closeButton = u"CmdClose"_s,
                    .image = true,
                    .columns = {{u"ID"_s, u"Comp. ID"_s, u"CompanyId"_s, 1720},
                                {u"Name"_s, u"Company Name"_s, u"Companyname"_s, 9604}},
                    .idField = u"companyid"_s,
                    .nameField = u"CompanyName"_s,
                    .enterOnlyFromGrid = false,
                    .emptyOutputsOnEveryFill = false,
                    .criterionPrefix = u"Companyname like '"_s},
                   connection)
{
}

QString SchCompany::listQuery() const
{
    return LookupQueries::companies();
}
