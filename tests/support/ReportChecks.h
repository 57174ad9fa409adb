#pragma once

#include "reports/ReportCriteria.h"

#include <QString>
#include <QStringList>
#include <map>
#include <vector>

class Connection;
class Report;

// What the report tests share: changed copies of the demo company, tables read by key, column
// sums and what a report printed.
namespace ReportChecks {
// The boxes of the two registers in their windows' order, as typed.
struct RegisterBoxes
{
    QDate from;
    QDate to;
    QString customer, sector, town, fromNumber, toNumber;

    operator ReportCriteria() const
    {
        return {from,
                to,
                {{QStringLiteral("customer"), customer},
                 {QStringLiteral("sector"), sector},
                 {QStringLiteral("town"), town},
                 {QStringLiteral("invoice-from"), fromNumber},
                 {QStringLiteral("invoice-to"), toNumber}},
                {}};
    }
};

// A copy of the demo company in the temporary folder with the statements run on it.
QString demoCopy(const QString &name, const QString &changes);
// A copy of the demo company whose May invoices and returns are numbered from 100,000 and
// June's from 999,000,000, as a book past the fifth digit numbers them.
QString longNumberedBook();
// A table's rows by the text of their first column in upper case: the other columns' texts.
std::map<QString, QStringList> byKey(const Connection &db, const QString &sql);
// The sums of the named columns over a query's rows.
std::vector<double> columnSums(const Connection &db, const QString &sql,
                               const QStringList &columns);
// The texts printed for the named object, in print order over every page.
QStringList printed(Report &report, const QString &object);
// An amount as printed, without its thousands separators.
double amount(const QString &printed);
} // namespace ReportChecks
