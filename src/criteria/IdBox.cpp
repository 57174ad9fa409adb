#include "criteria/IdBox.h"

#include <QLineEdit>
#include <QPushButton>

IdBox::IdBox(CriteriaField field, QLineEdit *id, QLineEdit *name, QPushButton *search,
             QObject *parent)
    : QObject(parent), m_field(std::move(field)), m_id(id), m_name(name), m_search(search)
{
    m_id->setObjectName(m_field.control);
    m_id->setMaxLength(m_field.maxLength);
    m_name->setObjectName(m_field.nameControl);
    m_name->setMaxLength(30);
    m_search->setObjectName(m_field.button);
    connect(m_id, &QLineEdit::textChanged, this, &IdBox::idChanged);
}

QString IdBox::text() const
{
    return m_id->text();
}

QString IdBox::name() const
{
    return m_name->text();
}

void IdBox::setId(const QString &id)
{
    m_id->setText(id);
}

void IdBox::setName(const QString &name)
{
    m_name->setText(name);
}

void IdBox::reset()
{
    m_id->clear();
    m_name->setText(m_field.initialName());
}

void IdBox::idChanged()
{
    const bool empty = m_id->text().isEmpty();
    switch (m_field.rule) {
    case ChangeRule::Clear:
        m_name->clear();
        break;
    case ChangeRule::ClearWhenEmpty:
        if (empty)
            m_name->clear();
        break;
    case ChangeRule::DefaultTextAlways:
        m_name->setText(m_field.defaultText);
        break;
    case ChangeRule::DefaultTextWhenEmpty:
        if (empty)
            m_name->setText(m_field.defaultText);
        break;
    }
}
