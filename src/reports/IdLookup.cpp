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

namespace {

// Per kind of id: the look-up's text up to the id, whether the id enters as a number, the
// column that holds the name, and what a search lists.
struct Table
{
    QString select;
    bool numeric;
    QString nameField;
    QString listed;
};

const Table &tableOf(LookupKind kind)
{
    static const Table tables[] = {
        {{}, false, u"PartyName"_s, u"customers"_s},
        {u" Select * FROM Sectors where SectorId="_s, true, u"Sectorname"_s, u"sectors"_s},
        {u" Select * FROM Towns where TownId="_s, true, u"TownName"_s, u"towns"_s},
        {u" Select * FROM Companies where CompanyId="_s, true, u"CompanyName"_s, u"companies"_s},
        {u" Select * FROM Products Where ProductId="_s, false, u"ProductName"_s, u"products"_s},
    };
    static_assert(int(LookupKind::Product) == 4, "one table per kind, in the kinds' order");
    return tables[size_t(kind)];
}

} // namespace

QString query(const CriteriaField &field, const QString &id)
{
    const Table &table = tableOf(field.lookup);
    // A customer's look-up is the box's own query, narrowed to the id.
    const QString select = field.lookup == LookupKind::Customer
                               ? field.lookupStart + u" And PartyId="_s
                               : table.select;
    return select + (table.numeric ? leadingNumber(id) : u"'"_s + quoted(id) + u"'"_s);
}

QString nameField(LookupKind kind)
{
    return tableOf(kind).nameField;
}

QString listed(LookupKind kind)
{
    return tableOf(kind).listed;
}

} // namespace IdLookup
