#include "criteria/reports/RptSalesRegister.h"

#include "db/Connection.h"
#include "presentation/Report.h"

#include <QDateEdit>
#include <QLineEdit>

using namespace Qt::StringLiterals;

RptSalesRegister::RptSalesRegister(const ReportEntry &entry, ReportContext &context)
    : CriteriaWindow(entry, context)
{
    addDateRow(u"DtpFromDate"_s, u"dtpToDate"_s);
    addIdBox({u"Customer"_s, u"txtCustomerID"_s, u"txtCustomerName"_s, u"BtnSchCustomer"_s,
              LookupKind::Customer});
    addIdBox(
        {u"Sector"_s, u"txtSectorID"_s, u"txtSectorName"_s, u"btnSchSector"_s, LookupKind::Sector});
    IdBoxSpec town{u"Town"_s, u"txtTownID"_s, u"txtTownName"_s, u"btnSchTown"_s, LookupKind::Town};
    town.rule = ChangeRule::ClearWhenEmpty;
    addIdBox(town);
    addNumberRow(u"txtFromInvoiceno"_s, u"From Invoice No"_s, u"txtToInvoiceno"_s,
                 u"To Invoice No"_s, 5, true);
    addCommandButtons(u"Pre&view"_s, u"&Print"_s, u"&Close"_s);
}

SalesRegisterReport::Criteria RptSalesRegister::criteria() const
{
    return {fromDate()->date(),
            toDate()->date(),
            idBox(u"txtCustomerID"_s)->text(),
            idBox(u"txtSectorID"_s)->text(),
            idBox(u"txtTownID"_s)->text(),
            numberBox(u"txtFromInvoiceno"_s)->text(),
            numberBox(u"txtToInvoiceno"_s)->text()};
}

QString RptSalesRegister::composeQuery()
{
    return SalesRegisterReport::query(criteria(), connection().dialect());
}

std::unique_ptr<Report> RptSalesRegister::prepareReport()
{
    return SalesRegisterReport::prepare(criteria(), resultSetForBuild(), connection());
}
