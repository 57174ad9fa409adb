#pragma once

#include "reports/CriteriaField.h"

#include <QObject>
#include <QString>

class QLineEdit;
class QPushButton;

// An id box of a criteria window with its name box and search button.
class IdBox : public QObject
{
    Q_OBJECT
public:
    IdBox(CriteriaField field, QLineEdit *id, QLineEdit *name, QPushButton *search,
          QObject *parent);

    [[nodiscard]] const CriteriaField &field() const { return m_field; }
    [[nodiscard]] QLineEdit *idEdit() const { return m_id; }
    [[nodiscard]] QLineEdit *nameEdit() const { return m_name; }
    [[nodiscard]] QPushButton *searchButton() const { return m_search; }
    [[nodiscard]] QString text() const;
    [[nodiscard]] QString name() const;
    void setId(const QString &id);
    void setName(const QString &name);
    // The box as a freshly loaded window has it.
    void reset();

private:
    void idChanged();

    CriteriaField m_field;
    QLineEdit *m_id;
    QLineEdit *m_name;
    QPushButton *m_search;
};
