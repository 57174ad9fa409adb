#include "reports/CompanyName.h"

#include "db/CompanyRegistry.h"
#include "db/Failure.h"

using namespace Qt::StringLiterals;

QString CompanyName::read(const Connection &connection)
{
    const std::optional<QVariant> name = CompanyRegistry::value(connection, u"companyname"_s);
    if (!name)
        throw Failure(u"The company name is missing: the registry (Project_registry) has no row "
                      u"companyname"_s,
                      Failure::componentSource());
    return name->toString();
}
