#include "lookup/SchProducts.h"

using namespace Qt::StringLiterals;

SchProducts::SchProducts(SharedConnection &connection)
    : LookupDialog({u"SchProducts"_s,
                    u"Search Products"_s,
                    Kind::Filtering,
                    u"BtnSelect"_s,
                    u"BtnClose"_s,
                    true,
                    {{u"ID"_s, u"Product ID"_s, u"ProductId"_s, 1720},
                     {u"Name"_s, u"Name"_s, u"ProductName"_s, 5953},
                     {u"City"_s, u"Company"_s, u"CompanyName"_s, 3731}},
                    u"ProductId"_s,
                    u"ProductName"_s,
                    false,
                    true},
                   connection)
{
}

QString SchProducts::clausePrefix() const
{
    return u"AND ProductName LIKE '%"_s;
}

QString SchProducts::filteringQuery(const QString &clause) const
{
    const QString base = u"Select Products.*,CompanyName  FROM Products Inner join Companies on "
                         u"Companies.CompanyId = Products.CompanyId "_s;
    if (ParaInBoth)
        return base + u"order by Productname"_s; // every product, whatever the filter
    if (ParaInIsBardana)
        return base + u"Where Products.IsBardana=1 "_s + clause + u" order by Productname"_s;
    if (ParaInIsBroker)
        return base + u"Where IsNull(Products.IsBroker,0)=1  "_s + clause +
               u" order by Productname"_s;
    return base + u"Where Products.IsCrop=0  "_s + clause + u" order by Productname"_s;
}
