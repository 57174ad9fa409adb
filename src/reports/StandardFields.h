#pragma once

#include "reports/CriteriaField.h"
#include "reports/ReportCriteria.h"

class ResultTable;

// The boxes most report windows share, as their model window has them, and the clause
// builders their queries share. Reports adjust a copy where their window differs.
namespace StandardFields {

inline const QString customerKey = QStringLiteral("customer");
inline const QString sectorKey = QStringLiteral("sector");
inline const QString townKey = QStringLiteral("town");
inline const QString companyKey = QStringLiteral("company");
inline const QString productKey = QStringLiteral("product");
inline const QString invoiceFromKey = QStringLiteral("invoice-from");
inline const QString invoiceToKey = QStringLiteral("invoice-to");

// Customer: txtCustomerID / txtCustomerName / BtnSchCustomer, 5 characters.
[[nodiscard]] CriteriaField customer(ChangeRule rule = ChangeRule::Clear);
// Sector: txtSectorID / txtSectorName / btnSchSector.
[[nodiscard]] CriteriaField sector(ChangeRule rule = ChangeRule::Clear, int maxLength = 5);
// Town: txtTownID / txtTownName / btnSchTown.
[[nodiscard]] CriteriaField town(ChangeRule rule = ChangeRule::Clear, int maxLength = 5);
// Company: TxtCompanyId / TxtCompanyName / BtnSchCompany.
[[nodiscard]] CriteriaField company(ChangeRule rule = ChangeRule::Clear, int maxLength = 3);
// Product: TxtProductCode / TxtProductName / BtnSchProduct, 10 characters.
[[nodiscard]] CriteriaField product();
// The analyses' boxes, each labelled with its name box ("Customer ID." / "Customer Name") and
// showing "All Customers", "All Towns", "All Sectors" while no id is chosen.
[[nodiscard]] CriteriaField labelledCustomer(ChangeRule rule, const QString &lookupStart);
[[nodiscard]] CriteriaField labelledTown(ChangeRule rule);
[[nodiscard]] CriteriaField labelledSector(ChangeRule rule);
// Invoice-number range boxes: txtFromInvoiceno and txtToInvoiceno, up to 9 digits, enough
// for any book's numbering.
[[nodiscard]] CriteriaField invoiceFrom(bool digitsOnly);
[[nodiscard]] CriteriaField invoiceTo(bool digitsOnly);
// The invoice (or return) number range on `column`: " and s.saleid between 10 and 400" with
// `joiner` " and", the number at the start of each box; 1 for a blank From box, and no upper
// bound at all for a blank To box (" and s.saleid >= 10").
[[nodiscard]] QString invoiceRange(const ReportCriteria &criteria, const QString &joiner,
                                   const QString &column);
// The range a register's text shows: the From box (as typed, or its number) or 1, and the
// To box likewise, or for a blank To box the highest number in `column` of the rows listed.
[[nodiscard]] QString invoiceRangeText(const ReportCriteria &criteria, const ResultTable &rows,
                                       const QString &column, bool asTyped);

// prefix + the box's text as typed (apostrophes doubled) + "'", when the box, trimmed, is
// not empty; otherwise nothing.
[[nodiscard]] QString quotedClause(const ReportCriteria &criteria, const QString &key,
                                   const QString &prefix,
                                   const QString &suffix = QStringLiteral("'"));
// prefix + the leading number of the box's text, when the box, trimmed, is not empty;
// otherwise nothing (a box of blanks restricts nothing, as in every report).
[[nodiscard]] QString numberClause(const ReportCriteria &criteria, const QString &key,
                                   const QString &prefix);

} // namespace StandardFields
