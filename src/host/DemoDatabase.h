#pragma once

#include <QDate>
#include <QString>
#include <cstdint>

// Creates the demo company database: a SQLite file holding every table and column the reports
// read, filled with a year of a distributor's trade (towns and sectors, customers, supplier
// companies and their products, sales with discounts, bonus and sales tax, sale returns,
// purchases, purchase returns, opening and current stock). The same options and seed always
// give the same data. This is the host's tool, not the reporting component, which never
// writes to a database.
class DemoDatabase
{
public:
    struct Options
    {
        int saleLines = 50000;
        int customers = 400;
        QDate endDate = QDate::currentDate();
        quint64 seed = 1;
    };

    // Writes the database to path; refuses an existing file. Throws Failure on failure and
    // leaves no partial file behind.
    static void create(const QString &path, const Options &options);

    // Name of the demo company, as stored in the registry.
    static QString companyName();
};
