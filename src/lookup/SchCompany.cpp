#include "lookup/SchCompany.h"

using namespace Qt::StringLiterals;

SchCompany::SchCompany(SharedConnection &connection)
    : LookupDialog({u"SchCompany"_s,
                    u"Search Company"_s,
                    Kind::Seeking,
                    u"CmdSelect"_s,
                    u"CmdClose"_s,
                    true,
                    {{u"ID"_s, u"Comp. ID"_s, u"CompanyId"_s, 1720},
                     {u"Name"_s, u"Company Name"_s, u"Companyname"_s, 9604}},
                    u"companyid"_s,
                    u"CompanyName"_s,
                    false,
                    false,
                    u"Companyname like '"_s},
                   connection)
{
}

QString SchCompany::listQuery() const
{
    return u"Select * FROM Companies order by Companyname"_s;
}
