#pragma once

#include <QString>
#include <memory>
#include <vector>

class Report;
class ReportLayout;
class ResultTable;

// Sales by region and customer for the engine's tests, with the two-group layout of the test
// fixtures (":/fixtures/twoGroups.json") that totals them by customer, region and in all.
namespace RegionSales {

struct Sale
{
    QString region, customer;
    double amount;
    qint64 qty;
    double price;
};

// Random sales in region and customer order: `regions` regions, a customer every
// `perCustomer` sales, amounts from `lowest` up.
std::vector<Sale> random(int count, unsigned seed, int regions = 4, int perCustomer = 7,
                         double lowest = 0);
// Sales of one price and rising amounts: a region every `perRegion`, a customer every
// `perCustomer` sales.
std::vector<Sale> steady(int count, int perRegion, int perCustomer);
// The sales as rows; an amount that is NaN is a null.
std::shared_ptr<ResultTable> table(const std::vector<Sale> &rows, bool withAmount = true);
// A layout of the test fixtures by name.
std::shared_ptr<const ReportLayout> layout(const QString &name = QStringLiteral("twoGroups"));
// The two-group layout bound to the sales.
std::unique_ptr<Report> report(const std::vector<Sale> &rows);

} // namespace RegionSales
