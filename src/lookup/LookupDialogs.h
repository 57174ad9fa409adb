#pragma once

#include <memory>

class SchCompany;
class SchCustomers;
class SchProducts;
class SchSectors;
class SchTowns;
class SharedConnection;

// The five lookup dialogs' slots: one dialog object each, created on first use and kept, so
// that a caller reads a dialog's outputs after its window has closed.
class LookupDialogs
{
public:
    explicit LookupDialogs(SharedConnection &connection);
    ~LookupDialogs();

    SchCustomers &customers();
    SchTowns &towns();
    SchProducts &products();
    SchSectors &sectors();
    SchCompany &companies();

private:
    SharedConnection &m_connection;
    std::unique_ptr<SchCustomers> m_customers;
    std::unique_ptr<SchTowns> m_towns;
    std::unique_ptr<SchProducts> m_products;
    std::unique_ptr<SchSectors> m_sectors;
    std::unique_ptr<SchCompany> m_companies;
};
