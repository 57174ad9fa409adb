#include "lookup/LookupDialogs.h"

#include "lookup/SchCompany.h"
#include "lookup/SchCustomers.h"
#include "lookup/SchProducts.h"
#include "lookup/SchSectors.h"
#include "lookup/SchTowns.h"

LookupDialogs::LookupDialogs(SharedConnection &connection) : m_connection(connection) {}

LookupDialogs::~LookupDialogs() = default;

namespace {

template<typename Dialog> Dialog &slot(std::unique_ptr<Dialog> &held, SharedConnection &connection)
{
    if (!held)
        held = std::make_unique<Dialog>(connection);
    return *held;
}

} // namespace

SchCustomers &LookupDialogs::customers()
{
    return slot(m_customers, m_connection);
}
SchTowns &LookupDialogs::towns()
{
    return slot(m_towns, m_connection);
}
SchProducts &LookupDialogs::products()
{
    return slot(m_products, m_connection);
}
SchSectors &LookupDialogs::sectors()
{
    return slot(m_sectors, m_connection);
}
SchCompany &LookupDialogs::companies()
{
    return slot(m_companies, m_connection);
}
