#include "criteria/CriteriaAccessibility.h"

#include "criteria/CriteriaWindow.h"
#include "criteria/DatePicker.h"

#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

QString withoutAccessKey(QString caption)
{
    return caption.remove(u'&');
}

// What the lookup of an id box lists: "customer", "products"...
std::pair<QString, QString> things(LookupKind kind)
{
    switch (kind) {
    case LookupKind::Customer:
        return {u"customer"_s, u"customers"_s};
    case LookupKind::Sector:
        return {u"sector"_s, u"sectors"_s};
    case LookupKind::Town:
        return {u"town"_s, u"towns"_s};
    case LookupKind::Company:
        return {u"company"_s, u"companies"_s};
    case LookupKind::Product:
        break;
    }
    return {u"product"_s, u"products"_s};
}

void describe(QWidget *control, const QString &name, const QString &description)
{
    control->setAccessibleName(name);
    control->setAccessibleDescription(description);
}

void describeDate(QDateEdit *edit, const QString &name, const QString &purpose)
{
    const QString description =
        purpose + u", as dd/mm/yyyy. Alt+Down opens the calendar; the Menu key or Shift+F10 "
                  u"offers preset periods."_s;
    if (auto *picker = qobject_cast<DatePicker *>(edit))
        picker->setAccessibleText(name, description);
    else
        describe(edit, name, description);
}

} // namespace

void CriteriaAccessibility::describe(CriteriaWindow &window)
{
    describeDate(window.fromDate(), u"From Date"_s, u"First day of the report period"_s);
    describeDate(window.toDate(), u"To Date"_s, u"Last day of the report period"_s);
    for (const CriteriaField &field : window.definition().fields()) {
        const QString label = withoutAccessKey(field.label);
        if (QLineEdit *box = window.numberBox(field.control)) {
            ::describe(box, label,
                       field.kind == FieldKind::RangeFrom
                           ? u"First number of the range listed; digits only"_s
                           : u"Last number of the range listed; digits only"_s);
            continue;
        }
        if (field.kind == FieldKind::Choice) {
            if (auto *list = window.findChild<QWidget *>(field.control))
                ::describe(list, label,
                           u"What the report's rows are: one of %1"_s.arg(
                               (field.choiceLabels.isEmpty() ? field.choices : field.choiceLabels)
                                   .join(u", "_s)));
            continue;
        }
        IdBox *box = window.idBox(field.control);
        if (!box)
            continue;
        const auto [one, many] = things(field.lookup);
        ::describe(
            box->idEdit(), label,
            u"The %1's id; empty for all %2. %3 picks one from the list of %2."_s.arg(
                one, many, field.f1 ? u"F1 or the search button"_s : u"The search button"_s));
        ::describe(
            box->nameEdit(),
            field.nameLabel.isEmpty() ? field.caption + u" name"_s : field.nameLabel,
            u"Name of the %1 whose id is typed beside it; filled in by the window"_s.arg(one));
        ::describe(box->searchButton(), u"Search %1"_s.arg(many),
                   u"Opens the list of %1 to pick the %2 from"_s.arg(many, one));
    }
    ::describe(window.previewButton(), withoutAccessKey(window.previewButton()->text()),
               u"Builds the report and shows it on screen"_s);
    ::describe(window.printButton(), withoutAccessKey(window.printButton()->text()),
               u"Builds the report and prints it without asking"_s);
    ::describe(window.closeButton(), withoutAccessKey(window.closeButton()->text()),
               u"Closes this window (Ctrl+Q)"_s);
}
