#pragma once

#include <QString>

// Report queries assembled from their quoted pieces. Dates are passed as they enter the query
// (the dialect's literal); clause texts as the report composes them.
namespace ReferenceQueries {
QString salesRegister(const QString &from, const QString &to, const QString &clauses,
                      const QString &low = QStringLiteral("1"),
                      const QString &high = QStringLiteral("99999"));
QString salesSummary(const QString &from, const QString &to, const QString &clauses);
QString saleReturnRegister(const QString &from, const QString &to, const QString &range,
                           const QString &clauses);
QString saleReturnsSummary(const QString &from, const QString &to, const QString &clauses);
QString companyWiseSale(const QString &from, const QString &to, const QString &clauses);
QString companySectorWiseSale(const QString &from, const QString &to, const QString &id,
                              const QString &clauses);
QString customerTownSectorWiseSales(const QString &from, const QString &to, const QString &clauses);
// The mended analysis: sale lines and return lines summed apart, each once, under the sale's
// customer; each branch with its own clauses (the company tests its own lines' products).
QString customerTownSectorWiseSalesByLine(const QString &from, const QString &to,
                                          const QString &saleLineClauses,
                                          const QString &returnLineClauses);
QString productWiseSales(const QString &from, const QString &to, const QString &clauses);
QString productSalesLedger(const QString &from, const QString &to, const QString &id);
QString productSaleReturnLedger(const QString &from, const QString &to, const QString &id);
QString salesStockStatement(const QString &from, const QString &to, const QString &clauses);
} // namespace ReferenceQueries
