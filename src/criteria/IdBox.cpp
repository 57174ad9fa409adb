#include "criteria/IdBox.h"

#include <QLineEdit>
#include <QPushButton>

IdBox::IdBox(IdBoxSpec spec, QLineEdit *id, QLineEdit *name, QPushButton *search, QObject *parent)
    : QObject(parent), m_spec(std::move(spec)), m_id(id), m_name(name), m_search(search)
{
    m_id->setObjectName(m_spec.idName);
    m_id->setMaxLength(m_spec.maxLength);
    m_name->setObjectName(m_spec.nameName);
    m_name->setMaxLength(30);
    m_search->setObjectName(m_spec.buttonName);
    connect(m_id, &QLineEdit::textChanged, this, &IdBox::idChanged);
}

QString IdBox::text() const
{
    return m_id->text();
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
    const bool defaultText = m_spec.rule == ChangeRule::DefaultTextAlways ||
                             m_spec.rule == ChangeRule::DefaultTextWhenEmpty;
    m_name->setText(defaultText ? m_spec.defaultText : QString());
}

void IdBox::idChanged()
{
    const bool empty = m_id->text().isEmpty();
    switch (m_spec.rule) {
    case ChangeRule::Clear:
        m_name->clear();
        break;
    case ChangeRule::ClearWhenEmpty:
        if (empty)
            m_name->clear();
        break;
    case ChangeRule::DefaultTextAlways:
        m_name->setText(m_spec.defaultText);
        break;
    case ChangeRule::DefaultTextWhenEmpty:
        if (empty)
            m_name->setText(m_spec.defaultText);
        break;
    }
}
