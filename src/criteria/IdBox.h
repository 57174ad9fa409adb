#pragma once

#include <QObject>
#include <QString>

class QLineEdit;
class QPushButton;

enum class LookupKind { Customer, Sector, Town, Company, Product };

// What an id box shows in its name box when the id changes.
enum class ChangeRule {
    Clear,               // emptied at every change
    ClearWhenEmpty,      // emptied when the id box has become empty
    DefaultTextAlways,   // the default text ("All Customers") at every change
    DefaultTextWhenEmpty // the default text when the id box has become empty
};

struct IdBoxSpec
{
    QString label;      // Customer
    QString idName;     // txtCustomerID
    QString nameName;   // txtCustomerName
    QString buttonName; // BtnSchCustomer
    LookupKind kind;
    int maxLength = 5;
    ChangeRule rule = ChangeRule::Clear;
    QString defaultText;
    bool f1 = true; // F1 in the box opens its lookup
    // The customer look-up's first piece, which varies between windows.
    QString customerQueryStart = QStringLiteral(" Select * FROM Parties where IsCustomer=1 ");
};

// An id box of a criteria window with its name box and search button.
class IdBox : public QObject
{
    Q_OBJECT
public:
    IdBox(IdBoxSpec spec, QLineEdit *id, QLineEdit *name, QPushButton *search, QObject *parent);

    [[nodiscard]] const IdBoxSpec &spec() const { return m_spec; }
    [[nodiscard]] QLineEdit *idEdit() const { return m_id; }
    [[nodiscard]] QLineEdit *nameEdit() const { return m_name; }
    [[nodiscard]] QPushButton *searchButton() const { return m_search; }
    [[nodiscard]] QString text() const;
    void setId(const QString &id);
    void setName(const QString &name);
    // The box as a freshly loaded window has it.
    void reset();

private:
    void idChanged();

    IdBoxSpec m_spec;
    QLineEdit *m_id;
    QLineEdit *m_name;
    QPushButton *m_search;
};
