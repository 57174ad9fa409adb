#include "ReportChecks.h"

#include "DemoFixture.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "presentation/Report.h"

#include <QFile>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace ReportChecks {

QString demoCopy(const QString &name, const QString &changes)
{
    const QString copy = DemoFixture::temporaryFolder() + u"/"_s + name;
    QFile::remove(copy);
    if (!QFile::copy(DemoFixture::path(), copy))
        throw std::runtime_error("cannot copy the demo database");
    QFile(copy).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    DemoFixture::write(copy, changes);
    return copy;
}

QString longNumberedBook()
{
    // Lines and returns follow their documents' new numbers before the documents take them.
    auto renumber = [](const QString &month, const QString &offset) {
        const QString sales =
            u"(select SaleId from Sales where SaleDate like '"_s + month + u"%')"_s;
        const QString returns = u"(select SaleReturnID from SaleReturns where SaleReturnDate "
                                u"like '"_s +
                                month + u"%')"_s;
        return u"update SalesBody set SaleId = SaleId + %1 where SaleId in %2;"
               u"update SaleReturns set SaleId = SaleId + %1 where SaleId in %2;"
               u"update Sales set SaleId = SaleId + %1 where SaleId in %2;"
               u"update SaleReturnsBody set SaleReturnID = SaleReturnID + %1 "
               u"where SaleReturnID in %3;"
               u"update SaleReturns set SaleReturnID = SaleReturnID + %1 "
               u"where SaleReturnID in %3;"_s.arg(offset, sales, returns);
    };
    static const QString path =
        demoCopy(u"long-numbers.sqlite"_s,
                 renumber(u"2026-05"_s, u"100000"_s) + renumber(u"2026-06"_s, u"999000000"_s));
    return path;
}

std::map<QString, QStringList> byKey(const Connection &db, const QString &sql)
{
    std::map<QString, QStringList> values;
    const auto t = db.execute(sql);
    for (int r = 0; r < t->rowCount(); ++r) {
        QStringList row;
        for (int k = 1; k < t->columnCount(); ++k)
            row.append(t->text(k, r));
        values[t->text(0, r).toUpper()] = row;
    }
    return values;
}

std::vector<double> columnSums(const Connection &db, const QString &sql, const QStringList &columns)
{
    Recordset rows;
    rows.open(sql, db);
    const ResultTable &t = *rows.rows();
    std::vector<double> sums;
    for (const QString &column : columns) {
        double sum = 0;
        for (int r = 0; r < t.rowCount(); ++r)
            sum += t.number(t.columnIndex(column), r);
        sums.push_back(sum);
    }
    return sums;
}

QStringList printed(Report &report, const QString &object)
{
    QStringList texts;
    for (int n = 0; n < report.pageCount(); ++n) {
        for (const PageItem &item : report.page(n).items) {
            if (report.objects()[size_t(item.object)]->Name() == object)
                texts.append(item.text);
        }
    }
    return texts;
}

double amount(const QString &printed)
{
    return QString(printed).remove(u',').toDouble();
}

} // namespace ReportChecks
