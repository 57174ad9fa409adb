#include "lookup/SchCustomers.h"

#include "lookup/LookupQueries.h"

using namespace Qt::StringLiterals;

SchCustomers::SchCustomers(SharedConnection &connection)
    : LookupDialog({.objectName = u"SchCustomers"_s,
                    .caption = u"Search Customers"_s,
                    .kind = Kind::Filtering,
                    .selectButton = u"BtnSelect"_s,
                    .closeButton = u"BtnClose"_s,
                    .image = true,
                    .columns = {{u"ID"_s, u"Customer ID"_s, u"PartyID"_s, 1826},
                                {u"Name"_s, u"Name"_s, u"PartyName"_s, 6376},
                                {u"City"_s, u"City"_s, u"City"_s, 3200}},
                    .idField = u"PartyId"_s,
                    .nameField = u"PartyName"_s},
                   connection)
{
}

QString SchCustomers::filteringQuery(const QString &filterText) const
{
    return LookupQueries::customers(filterText);
}
