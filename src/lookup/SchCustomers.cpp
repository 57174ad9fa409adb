#include "lookup/SchCustomers.h"

using namespace Qt::StringLiterals;

SchCustomers::SchCustomers(SharedConnection &connection)
    : LookupDialog({u"SchCustomers"_s,
                    u"Search Customers"_s,
                    Kind::Filtering,
                    u"BtnSelect"_s,
                    u"BtnClose"_s,
                    true,
                    {{u"ID"_s, u"Customer ID"_s, u"PartyID"_s, 1826},
                     {u"Name"_s, u"Name"_s, u"PartyName"_s, 6376},
                     {u"City"_s, u"City"_s, u"City"_s, 3200}},
                    u"PartyId"_s,
                    u"PartyName"_s},
                   connection)
{
}

QString SchCustomers::clausePrefix() const
{
    return u" AND PartyName LIKE '%"_s;
}

QString SchCustomers::filteringQuery(const QString &clause) const
{
    return u"Select * FROM Parties Where IsCustomer=1"_s + clause;
}
