#include "criteria/CriteriaGrid.h"

#include "criteria/DatePicker.h"
#include "criteria/IdBox.h"
#include "criteria/NumericKeyFilter.h"
#include "reports/IdLookup.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

CriteriaGrid::CriteriaGrid(QWidget *window) : m_window(window), m_grid(new QGridLayout)
{
    // Columns: caption, id box, search button, name label (where the window has them), name.
    m_grid->setColumnStretch(4, 1);
    m_grid->setHorizontalSpacing(6);
}

QLabel *CriteriaGrid::label(const QString &text) const
{
    auto *l = new QLabel(text, m_window);
    l->setObjectName(u"lbl"_s + QString(text).remove(u' ').remove(u'.'));
    return l;
}

void CriteriaGrid::addRow(QLabel *caption, QWidget *control)
{
    caption->setBuddy(control);
    auto *row = new QHBoxLayout;
    row->addWidget(control);
    row->addStretch(1);
    m_grid->addWidget(caption, m_row, 0);
    m_grid->addLayout(row, m_row, 1, 1, 4);
    ++m_row;
}

void CriteriaGrid::addDates(DatePicker *from, DatePicker *to)
{
    addRow(label(u"From Date"_s), from);
    auto *row = static_cast<QHBoxLayout *>(m_grid->itemAtPosition(m_row - 1, 1)->layout());
    QLabel *toCaption = label(u"To Date"_s);
    toCaption->setBuddy(to);
    row->insertSpacing(1, 24);
    row->insertWidget(2, toCaption);
    row->insertWidget(3, to);
}

IdBox *CriteriaGrid::addIdBox(const CriteriaField &field)
{
    auto *id = new QLineEdit(m_window);
    id->setFixedWidth(id->fontMetrics().horizontalAdvance(u'W') * std::max(5, field.maxLength) / 2 +
                      24);
    auto *name = new QLineEdit(m_window);
    name->setReadOnly(true);
    name->setFocusPolicy(Qt::NoFocus);
    name->setMinimumWidth(260);
    QPalette grey = name->palette();
    grey.setColor(QPalette::Base, QColor(0xE0, 0xE0, 0xE0));
    name->setPalette(grey);
    auto *search = new QPushButton(u"..."_s, m_window);
    search->setFixedWidth(30);
    search->setFocusPolicy(Qt::ClickFocus);
    const QString listed = IdLookup::listed(field.lookup);
    search->setToolTip(
        field.f1 ? QCoreApplication::translate("CriteriaWindow", "Search %1 (F1)").arg(listed)
                 : QCoreApplication::translate("CriteriaWindow", "Search %1").arg(listed));
    QLabel *caption = label(field.label);
    caption->setBuddy(id);
    m_grid->addWidget(caption, m_row, 0);
    m_grid->addWidget(id, m_row, 1);
    m_grid->addWidget(search, m_row, 2);
    if (field.nameLabel.isEmpty()) {
        m_grid->addWidget(name, m_row, 3, 1, 2);
    } else {
        QLabel *nameCaption = label(field.nameLabel);
        nameCaption->setBuddy(name);
        m_grid->addWidget(nameCaption, m_row, 3);
        m_grid->addWidget(name, m_row, 4);
    }
    ++m_row;
    return new IdBox(field, id, name, search, m_window);
}

QLineEdit *CriteriaGrid::addRangeBox(const CriteriaField &field)
{
    auto *box = new QLineEdit(m_window);
    box->setObjectName(field.control);
    box->setMaxLength(field.maxLength);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(u'9') * (field.maxLength + 1) + 16);
    box->setAlignment(Qt::AlignRight);
    if (field.digitsOnly)
        NumericKeyFilter::install(box, false);
    QLabel *caption = label(field.label);
    if (field.kind == FieldKind::RangeTo && m_rangeFrom) {
        // The high end joins the row of the low end.
        caption->setBuddy(box);
        auto *row = static_cast<QHBoxLayout *>(m_grid->itemAtPosition(m_row - 1, 1)->layout());
        row->insertSpacing(row->count() - 1, 24);
        row->insertWidget(row->count() - 1, caption);
        row->insertWidget(row->count() - 1, box);
        m_rangeFrom = nullptr;
        return box;
    }
    addRow(caption, box);
    m_rangeFrom = field.kind == FieldKind::RangeFrom ? box : nullptr;
    return box;
}

QComboBox *CriteriaGrid::addChoice(const CriteriaField &field)
{
    auto *list = new QComboBox(m_window);
    list->setObjectName(field.control);
    for (qsizetype k = 0; k < field.choices.size(); ++k)
        list->addItem(field.choiceLabels.value(k, field.choices[k]), field.choices[k]);
    addRow(label(field.label), list);
    return list;
}
