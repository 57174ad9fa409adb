#include "reports/StandardFields.h"

#include "db/ResultTable.h"
#include "reports/IdLookup.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace StandardFields {

namespace {

CriteriaField idBox(const QString &key, const QString &caption, LookupKind lookup,
                    const QString &control, const QString &nameControl, const QString &button,
                    ChangeRule rule, int maxLength)
{
    CriteriaField f;
    f.kind = FieldKind::IdBox;
    f.key = key;
    f.caption = caption;
    f.label = caption;
    f.control = control;
    f.nameControl = nameControl;
    f.button = button;
    f.lookup = lookup;
    f.rule = rule;
    f.maxLength = maxLength;
    return f;
}

CriteriaField rangeBox(FieldKind kind, const QString &key, const QString &caption,
                       const QString &label, const QString &control, bool digitsOnly)
{
    CriteriaField f;
    f.kind = kind;
    f.key = key;
    f.caption = caption;
    f.label = label;
    f.control = control;
    f.maxLength = 9;
    f.digitsOnly = digitsOnly;
    f.f1 = false;
    return f;
}

// The number at the start of a range box (or the box as typed); the fallback when it is blank.
QString rangeEnd(const ReportCriteria &criteria, const QString &key, const QString &fallback,
                 bool asTyped)
{
    const QString typed = criteria.text(key);
    if (typed.trimmed().isEmpty())
        return fallback;
    return asTyped ? typed : IdLookup::leadingNumber(typed);
}

} // namespace

CriteriaField customer(ChangeRule rule)
{
    return idBox(customerKey, u"Customer"_s, LookupKind::Customer, u"txtCustomerID"_s,
                 u"txtCustomerName"_s, u"BtnSchCustomer"_s, rule, 5);
}

CriteriaField sector(ChangeRule rule, int maxLength)
{
    return idBox(sectorKey, u"Sector"_s, LookupKind::Sector, u"txtSectorID"_s, u"txtSectorName"_s,
                 u"btnSchSector"_s, rule, maxLength);
}

CriteriaField town(ChangeRule rule, int maxLength)
{
    return idBox(townKey, u"Town"_s, LookupKind::Town, u"txtTownID"_s, u"txtTownName"_s,
                 u"btnSchTown"_s, rule, maxLength);
}

CriteriaField company(ChangeRule rule, int maxLength)
{
    return idBox(companyKey, u"Company"_s, LookupKind::Company, u"TxtCompanyId"_s,
                 u"TxtCompanyName"_s, u"BtnSchCompany"_s, rule, maxLength);
}

CriteriaField product()
{
    return idBox(productKey, u"Product"_s, LookupKind::Product, u"TxtProductCode"_s,
                 u"TxtProductName"_s, u"BtnSchProduct"_s, ChangeRule::Clear, 10);
}

CriteriaField labelledCustomer(ChangeRule rule, const QString &lookupStart)
{
    CriteriaField f = customer(rule);
    f.label = u"Customer ID."_s;
    f.nameControl = u"TxtName"_s;
    f.nameLabel = u"Customer Name"_s;
    f.defaultText = u"All Customers"_s;
    f.focusAfterF1 = u"txtTownID"_s;
    f.lookupStart = lookupStart;
    return f;
}

CriteriaField labelledTown(ChangeRule rule)
{
    CriteriaField f = town(rule);
    f.label = u"Town ID."_s;
    f.nameLabel = u"Town Name"_s;
    f.defaultText = u"All Towns"_s;
    f.focusAfterF1 = u"txtSectorID"_s;
    return f;
}

CriteriaField labelledSector(ChangeRule rule)
{
    CriteriaField f = sector(rule);
    f.label = u"Sector ID."_s;
    f.nameLabel = u"Sector Name"_s;
    f.defaultText = u"All Sectors"_s;
    return f;
}

CriteriaField invoiceFrom(bool digitsOnly)
{
    return rangeBox(FieldKind::RangeFrom, invoiceFromKey, u"From invoice"_s, u"From Invoice No"_s,
                    u"txtFromInvoiceno"_s, digitsOnly);
}

CriteriaField invoiceTo(bool digitsOnly)
{
    return rangeBox(FieldKind::RangeTo, invoiceToKey, u"To invoice"_s, u"To Invoice No"_s,
                    u"txtToInvoiceno"_s, digitsOnly);
}

QString quotedClause(const ReportCriteria &criteria, const QString &key, const QString &prefix,
                     const QString &suffix)
{
    // The id enters as typed, between quotes, with its apostrophes doubled: always one literal.
    if (!criteria.given(key))
        return QString();
    return prefix + IdLookup::quoted(criteria.text(key)) + suffix;
}

QString numberClause(const ReportCriteria &criteria, const QString &key, const QString &prefix)
{
    if (!criteria.given(key))
        return QString();
    return prefix + IdLookup::leadingNumber(criteria.text(key));
}

QString invoiceRange(const ReportCriteria &criteria, const QString &joiner, const QString &column)
{
    const QString low = rangeEnd(criteria, invoiceFromKey, u"1"_s, false);
    if (!criteria.given(invoiceToKey))
        return joiner + u' ' + column + u" >= "_s + low;
    return joiner + u' ' + column + u" between "_s + low + u" and "_s +
           IdLookup::leadingNumber(criteria.text(invoiceToKey));
}

QString invoiceRangeText(const ReportCriteria &criteria, const ResultTable &rows,
                         const QString &column, bool asTyped)
{
    QString high = rangeEnd(criteria, invoiceToKey, QString(), asTyped);
    if (high.isEmpty()) {
        // Open-ended: say where the listing actually ends.
        const int c = rows.columnIndex(column);
        double highest = 0;
        for (int r = 0; r < rows.rowCount(); ++r)
            highest = std::max(highest, rows.number(c, r));
        high = QString::number(qint64(highest));
    }
    return u"Invoiceno Between : "_s + rangeEnd(criteria, invoiceFromKey, u"1"_s, asTyped) +
           u" To "_s + high;
}

} // namespace StandardFields
