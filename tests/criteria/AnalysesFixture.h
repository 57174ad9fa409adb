#pragma once

#include <QDate>
#include <QString>

// A copy of the demo company with the cases the sales analyses must get right written into
// it, all around one period (from() to to()):
// - company 98 "Returns Only Traders" whose product 98001 was only returned in the period,
//   against a sale made before it;
// - product 11999, id under company 11 but Products.CompanyId 12, sold in the period;
// - one sale of the period with two lines of one product (11001) and a return against it
//   dated after the period.
namespace AnalysesFixture {
QString path();
QDate from();
QDate to();
// The sale of the period written here, with two lines of 11001.
qint64 twoLineSale();
} // namespace AnalysesFixture
