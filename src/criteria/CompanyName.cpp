#include "criteria/CompanyName.h"

#include "db/Failure.h"
#include "db/Recordset.h"

using namespace Qt::StringLiterals;

QString CompanyName::read(const Connection &connection)
{
    Recordset registry;
    registry.open(u"select * from Project_registry"_s, connection);
    registry.setFilter(u"registrykey='companyname'"_s);
    if (registry.eof())
        throw Failure(u"The company name is missing: the registry (Project_registry) has no row "
                      u"companyname"_s,
                      Failure::componentSource());
    const QString name = registry.field(u"Value"_s).toString();
    registry.close();
    return name;
}
