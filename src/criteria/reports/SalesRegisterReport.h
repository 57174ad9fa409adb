#pragma once

#include "db/SqlDialect.h"

#include <QDate>
#include <QString>
#include <memory>

class Connection;
class Recordset;
class Report;

// The sales register: every invoice line of a period, for one customer, sector and town
// when given, within a range of invoice numbers. Its query and its report are built here for
// the report window and the command line alike.
class SalesRegisterReport
{
public:
    // The criteria as typed: the id boxes' texts, the invoice boxes' digits.
    struct Criteria
    {
        QDate from;
        QDate to;
        QString customerId;
        QString sectorId;
        QString townId;
        QString fromInvoice;
        QString toInvoice;
    };

    // Invoice bounds as they enter the query: the number typed, or 1 and 99999.
    [[nodiscard]] static QString fromBound(const Criteria &criteria);
    [[nodiscard]] static QString toBound(const Criteria &criteria);
    // The customer, sector and town clauses, each only for an id box that is not blank.
    [[nodiscard]] static QString clauses(const Criteria &criteria);
    [[nodiscard]] static QString query(const Criteria &criteria, SqlDialect dialect);
    // The range line of the report: "Invoiceno Between : 1 To 99999".
    [[nodiscard]] static QString invoiceText(const Criteria &criteria);
    // A new report object from the open, non-empty result of the query.
    [[nodiscard]] static std::unique_ptr<Report>
    prepare(const Criteria &criteria, const Recordset &rows, const Connection &connection);
};
