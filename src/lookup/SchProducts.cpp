#include "lookup/SchProducts.h"

#include "lookup/LookupQueries.h"

using namespace Qt::StringLiterals;

SchProducts::SchProducts(SharedConnection &connection)
    : LookupDialog({.objectName = u"SchProducts"_s,
                    .caption = u"Search Products"_s,
                    .kind = Kind::Filtering,
                    .selectButton = u"BtnSelect"_s,
                    .closeButton = u"BtnClose"_s,
                    .image = true,
                    .columns = {{u"ID"_s, u"Product ID"_s, u"ProductId"_s, 1720},
                                {u"Name"_s, u"Name"_s, u"ProductName"_s, 5953},
                                {u"City"_s, u"Company"_s, u"CompanyName"_s, 3731}},
                    .idField = u"ProductId"_s,
                    .nameField = u"ProductName"_s,
                    .enterOnlyFromGrid = false,
                    .emptyOutputsOnEveryFill = true},
                   connection)
{
}

QString SchProducts::filteringQuery(const QString &filterText) const
{
    return LookupQueries::products(filterText, {ParaInIsBardana, ParaInBoth, ParaInIsBroker});
}
