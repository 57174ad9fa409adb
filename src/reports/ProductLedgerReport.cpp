#include "reports/ProductLedgerReport.h"

#include "reports/StandardFields.h"

using namespace Qt::StringLiterals;

ProductLedgerReport::ProductLedgerReport(ReportKind kind)
    : ReportDefinition(kind, WindowDesign{}, {StandardFields::product()})
{
}

std::optional<Refusal> ProductLedgerReport::refusal(const ReportCriteria &criteria,
                                                    ReportAction) const
{
    const QString code = field(StandardFields::productKey)->control;
    if (!criteria.given(StandardFields::productKey))
        return Refusal{u"Enter Product Code."_s, entry().caption, Refusal::Icon::Exclamation,
                       code};
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
