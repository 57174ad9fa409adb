#include "reports/IdLookup.h"

#include "db/SqlText.h"

using namespace Qt::StringLiterals;

namespace IdLookup {

QString leadingNumber(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    QString digits;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9' && digits.size() < 18)
        digits += text[i++];
    bool ok = false;
    const qlonglong value = digits.toLongLong(&ok);
    return QString::number(ok ? value : 0);
}

QString quoted(const QString &text)
{
    return SqlText::literalInside(text);
}

QString query(const CriteriaField &field, const QString &id)
{
    switch (field.lookup) {
    case LookupKind::Customer:
        return field.lookupStart + u" And PartyId='"_s + quoted(id) + u"'"_s;
    case LookupKind::Sector:
        return u" Select * FROM Sectors"_s + u" where SectorId="_s + leadingNumber(id);
    case LookupKind::Town:
        return u" Select * FROM Towns"_s + u" where TownId="_s + leadingNumber(id);
    case LookupKind::Company:
        return u" Select * FROM Companies"_s + u" where CompanyId="_s + leadingNumber(id);
    case LookupKind::Product:
        return u" Select * FROM Products"_s + u" Where ProductId='"_s + quoted(id) + u"'"_s;
    }
    return QString();
}

QString nameField(LookupKind kind)
{
    switch (kind) {
    case LookupKind::Customer:
        return u"PartyName"_s;
    case LookupKind::Sector:
        return u"Sectorname"_s;
    case LookupKind::Town:
        return u"TownName"_s;
    case LookupKind::Company:
        return u"CompanyName"_s;
    case LookupKind::Product:
        return u"ProductName"_s;
    }
    return QString();
}

} // namespace IdLookup
