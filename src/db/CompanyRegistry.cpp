#include "db/CompanyRegistry.h"

#include "db/Recordset.h"
#include "db/SqlText.h"

using namespace Qt::StringLiterals;

std::optional<QVariant> CompanyRegistry::value(const Connection &connection, const QString &key)
{
    Recordset registry;
    registry.open(u"select * from Project_registry"_s, connection);
    registry.setFilter(u"registrykey='"_s + SqlText::literalInside(key) + u"'"_s);
    if (registry.eof())
        return std::nullopt;
    return registry.field(u"Value"_s);
}
