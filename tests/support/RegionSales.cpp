#include "RegionSales.h"

#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "presentation/LayoutParser.h"
#include "presentation/Report.h"

#include <QFile>
#include <cmath>
#include <random>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace RegionSales {

std::vector<Sale> random(int count, unsigned seed, int regions, int perCustomer, double lowest)
{
    std::mt19937 random(seed);
    std::vector<Sale> rows;
    for (int i = 0; i < count; ++i) {
        const int region = i * regions / count;
        rows.push_back({u"Region %1"_s.arg(region),
                        u"Customer %1-%2"_s.arg(region).arg(i / perCustomer),
                        double(random() % 100000) / 100.0 + lowest, qint64(random() % 50),
                        double(random() % 900) / 10.0});
    }
    return rows;
}

std::vector<Sale> steady(int count, int perRegion, int perCustomer)
{
    std::vector<Sale> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back({u"Region %1"_s.arg(i / perRegion), u"Customer %1"_s.arg(i / perCustomer),
                        i * 1.25, i % 7, 12.5});
    return rows;
}

std::shared_ptr<ResultTable> table(const std::vector<Sale> &rows, bool withAmount)
{
    QStringList names{u"REGION"_s, u"Customer"_s, u"qty"_s, u"price"_s};
    if (withAmount)
        names.append(u"Amount"_s);
    auto table = std::make_shared<ResultTable>(names);
    for (const Sale &s : rows) {
        const QByteArray region = s.region.toUtf8(), customer = s.customer.toUtf8();
        table->appendText(0, std::string_view(region.constData(), size_t(region.size())));
        table->appendText(1, std::string_view(customer.constData(), size_t(customer.size())));
        table->appendInteger(2, s.qty);
        table->appendReal(3, s.price);
        if (withAmount && std::isnan(s.amount))
            table->appendNull(4);
        else if (withAmount)
            table->appendReal(4, s.amount);
    }
    table->finish();
    return table;
}

std::shared_ptr<const ReportLayout> layout(const QString &name)
{
    QFile file(u":/fixtures/"_s + name + u".json"_s);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("no such test layout: " + name.toStdString());
    return std::make_shared<ReportLayout>(LayoutParser::parse(file.readAll(), file.fileName()));
}

std::unique_ptr<Report> report(const std::vector<Sale> &rows)
{
    auto bound = std::make_unique<Report>(layout());
    Recordset rs;
    rs.open(table(rows));
    bound->Database().SetDataSource(rs);
    return bound;
}

} // namespace RegionSales
