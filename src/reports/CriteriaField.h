#pragma once

#include <QString>
#include <QStringList>

enum class LookupKind { Customer, Sector, Town, Company, Product };

// What an id box shows in its name box when the id changes.
enum class ChangeRule {
    Clear,               // emptied at every change
    ClearWhenEmpty,      // emptied when the id box has become empty
    DefaultTextAlways,   // the default text ("All Customers") at every change
    DefaultTextWhenEmpty // the default text when the id box has become empty
};

enum class FieldKind {
    IdBox,     // an id with its name box and search button
    RangeFrom, // the low end of a number range ("From Invoice No")
    RangeTo,   // its high end, shown on the same row
    Choice     // one of a few fixed values, picked from a list
};

// One box of a report's criteria: how its window shows it, how its id is looked up, and how
// the command line takes it. Widget-free, so the window, the command line and drill-down
// read the same design.
struct CriteriaField
{
    FieldKind kind = FieldKind::IdBox;
    QString key;         // the criterion's key and command-line option: customer, invoice-from
    QString caption;     // how the criteria line names it: Customer, From invoice
    QString label;       // the box's label in the window: Customer, Customer ID.
    QString control;     // txtCustomerID
    QString nameControl; // txtCustomerName (id boxes)
    QString nameLabel;   // a label of its own for the name box, where the window has one
    QString button;      // BtnSchCustomer (id boxes)
    LookupKind lookup = LookupKind::Customer;
    int maxLength = 5;
    bool digitsOnly = false; // range boxes that take digits only, typed or pasted
    ChangeRule rule = ChangeRule::Clear;
    QString defaultText; // the name box's text while no id is chosen, for the default rules
    bool defaultTextAtLoad = true; // a new window shows the default text (else an empty box)
    bool f1 = true;                // F1 in the box opens its lookup
    QString focusAfterF1;          // the control that takes the focus after F1; empty: it stays
    // The customer look-up's first piece, which varies between windows.
    QString lookupStart = QStringLiteral(" Select * FROM Parties where IsCustomer=1 ");
    // A choice's values as the command line takes them, the first the default, and how the
    // window lists them.
    QStringList choices;
    QStringList choiceLabels;
    // Tab and Enter reach the box after the command buttons, so that a box added to a window
    // leaves the order of the window's own controls as it was.
    bool afterCommands = false;

    [[nodiscard]] bool isIdBox() const { return kind == FieldKind::IdBox; }
    // The name box's text while no look-up has found the id: empty, or the default text.
    [[nodiscard]] QString initialName() const
    {
        const bool defaultRule =
            rule == ChangeRule::DefaultTextAlways || rule == ChangeRule::DefaultTextWhenEmpty;
        return defaultRule && defaultTextAtLoad ? defaultText : QString();
    }
};
