#include "reports/ProductLedgerReport.h"

#include "reports/IdLookup.h"
#include "reports/StandardFields.h"

using namespace Qt::StringLiterals;

ProductLedgerReport::ProductLedgerReport(Source source)
    : ReportDefinition(WindowDesign{}, {StandardFields::product()}), m_source(std::move(source))
{
}

QString ProductLedgerReport::query(const ReportCriteria &criteria, SqlDialect dialect) const
{
    const Source &s = m_source;
    // Ordered by the select list's customer name: the parties table has a party name only.
    return s.columns +
           u" ,%1.qty,%1.bonus,%1.price,(%1.Qty*%1.Price) as Grossvalue "
           u" ,%1.Qty*((%1.Price*%1.Discratio/100)+%1.Discvalue) as Totaldisc "
           u" ,%1.Qty*((%1.Price*%1.stratio/100)+%1.stvalue) as Salestax "
           u" ,%1.Qty*((%1.Price-((%1.Price*%1.Discratio/100)+%1.Discvalue))+ ((%1.Price*%1.stratio/100)+%1.stvalue)) as NetValue "_s
               .arg(s.line) +
           s.tables +
           u" join parties c on c.partyid=%1.customerid "
           u" join sectors sr on sr.sectorid=%1.sectorid "
           u" join towns t on t.townid=sr.townid "_s.arg(s.document) +
           u" where "_s + s.date + u" between '"_s + SqlDates::literal(dialect, criteria.from) +
           u"' and '"_s + SqlDates::literal(dialect, criteria.to) + u"'"_s + u" and "_s + s.line +
           u".productid='"_s + IdLookup::quoted(criteria.text(StandardFields::productKey)) +
           u"' "_s + u" order by "_s + s.order;
}

std::optional<Refusal> ProductLedgerReport::refusal(const ReportCriteria &criteria,
                                                    ReportAction) const
{
    const QString code = field(StandardFields::productKey)->control;
    if (!criteria.given(StandardFields::productKey))
        return Refusal{u"Enter Product Code."_s, entry().caption, Refusal::Icon::Exclamation, code};
    // The name is there only when a look-up has found the code since it last changed.
    if (criteria.name(StandardFields::productKey).trimmed().isEmpty())
        return Refusal{u"Product Code doesn't exist."_s, entry().caption,
                       Refusal::Icon::Exclamation, code};
    return std::nullopt;
}

QString ProductLedgerReport::productText(const ReportCriteria &criteria)
{
    return u"Product : "_s + criteria.text(StandardFields::productKey) + u"   "_s +
           criteria.name(StandardFields::productKey);
}
