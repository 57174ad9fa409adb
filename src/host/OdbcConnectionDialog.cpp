#include "host/OdbcConnectionDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// An attribute value as ODBC reads it: in braces, with closing braces doubled, when it holds
// a character that would end or split it.
QString odbcValue(const QString &value)
{
    const bool plain = !value.contains(u';') && !value.contains(u'{') && !value.contains(u'}') &&
                       !value.contains(u'=') && value.trimmed() == value;
    if (plain)
        return value;
    return u'{' + QString(value).replace(u"}"_s, u"}}"_s) + u'}';
}

} // namespace

OdbcConnectionDialog::OdbcConnectionDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"OdbcConnectionDialog"_s);
    setWindowTitle(tr("Open ODBC Connection"));
    m_source = new QLineEdit(this);
    m_source->setObjectName(u"txtSource"_s);
    m_source->setMinimumWidth(360);
    m_source->setPlaceholderText(u"Sales   or   Driver={ODBC Driver 18 for SQL Server};Server=..."_s);
    m_user = new QLineEdit(this);
    m_user->setObjectName(u"txtUser"_s);
    m_password = new QLineEdit(this);
    m_password->setObjectName(u"txtPassword"_s);
    m_password->setEchoMode(QLineEdit::Password);
    auto *form = new QFormLayout;
    form->addRow(tr("&Data source or connection string:"), m_source);
    form->addRow(tr("&User:"), m_user);
    form->addRow(tr("&Password:"), m_password);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("C&onnect"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

QString OdbcConnectionDialog::connectionString() const
{
    const QString source = m_source->text().trimmed();
    if (source.isEmpty())
        return QString();
    QString text = source.contains(u'=') ? source : u"DSN="_s + odbcValue(source);
    auto add = [&](const QString &key, const QString &value) {
        if (value.isEmpty())
            return;
        if (!text.endsWith(u';'))
            text += u';';
        text += key + u'=' + odbcValue(value);
    };
    add(u"UID"_s, m_user->text());
    add(u"PWD"_s, m_password->text());
    return text;
}

QString OdbcConnectionDialog::ask(QWidget *parent)
{
    OdbcConnectionDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.connectionString();
}
