#pragma once

#include "reports/ReportDefinition.h"

// Net sales and the returns recorded against them, per town, sector and customer of the sale,
// for the sales of a period; narrowed to one town, sector, customer and company when given. Town 0,
// the head office's counter, is never listed.
class CustomerTownSectorWiseSalesReport : public ReportDefinition
{
public:
    [[nodiscard]] static const CustomerTownSectorWiseSalesReport &instance();

    [[nodiscard]] QString query(const ReportCriteria &criteria, SqlDialect dialect) const override;
    [[nodiscard]] const PeriodComparison::Design *comparison() const override;
    [[nodiscard]] std::optional<Refusal> refusal(const ReportCriteria &criteria,
                                                 ReportAction action) const override;

    // The fixed town condition, then the town, sector, customer and company clauses, each
    // only for a box that is not blank; the company tests the product of `lines`, the alias
    // of the sale or return lines.
    [[nodiscard]] static QString conditions(const ReportCriteria &criteria, const QString &lines);
    // Parameter field 1: "Company Name:" and the company's name, if one was chosen.
    [[nodiscard]] static QString companyText(const ReportCriteria &criteria);

protected:
    void prepare(Report &report, const ReportCriteria &criteria, const Recordset &rows,
                 const Connection &connection) const override;

private:
    CustomerTownSectorWiseSalesReport();
};
