#include "lookup/LookupQueries.h"

#include "db/SqlText.h"

using namespace Qt::StringLiterals;

namespace LookupQueries {

namespace {

// "name contains the text": the clause, or nothing for an empty filter.
QString containsClause(const QString &prefix, const QString &filterText)
{
    if (filterText.isEmpty())
        return QString();
    return prefix + SqlText::literalInside(filterText) + u"%'"_s;
}

} // namespace

QString customers(const QString &filterText)
{
    return u"Select * FROM Parties Where IsCustomer=1"_s +
           containsClause(u" AND PartyName LIKE '%"_s, filterText);
}

QString products(const QString &filterText, ProductFlags flags)
{
    const QString base = u"Select Products.*,CompanyName  FROM Products Inner join Companies on "
                         u"Companies.CompanyId = Products.CompanyId "_s;
    const QString clause = containsClause(u"AND ProductName LIKE '%"_s, filterText);
    if (flags.both)
        return base + u"order by Productname"_s; // every product, whatever the filter
    if (flags.isBardana)
        return base + u"Where Products.IsBardana=1 "_s + clause + u" order by Productname"_s;
    if (flags.isBroker)
        return base + u"Where IsNull(Products.IsBroker,0)=1  "_s + clause +
               u" order by Productname"_s;
    return base + u"Where Products.IsCrop=0  "_s + clause + u" order by Productname"_s;
}

QString towns()
{
    return u"Select * FROM Towns order by Townname"_s;
}

QString sectors()
{
    return u"Select s.*,t.townname FROM Sectors s join towns t on s.townid = t.townid order by Sectorname"_s;
}

QString companies()
{
    return u"Select * FROM Companies order by Companyname"_s;
}

} // namespace LookupQueries
