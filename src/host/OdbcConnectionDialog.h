#pragma once

#include <QDialog>

class QLineEdit;

// Asks for an ODBC data source: a DSN or a whole connection string, and the user and password
// to sign in with. The password is never shown as typed.
class OdbcConnectionDialog : public QDialog
{
    Q_OBJECT
public:
    explicit OdbcConnectionDialog(QWidget *parent = nullptr);

    // Asks the user; an empty string when cancelled or left empty.
    [[nodiscard]] static QString ask(QWidget *parent);

    // The connection string for what is typed: a data source name becomes DSN=name; the user
    // and password are added as UID and PWD, braced where ODBC needs it.
    [[nodiscard]] QString connectionString() const;

    [[nodiscard]] QLineEdit *sourceBox() const { return m_source; }
    [[nodiscard]] QLineEdit *userBox() const { return m_user; }
    [[nodiscard]] QLineEdit *passwordBox() const { return m_password; }

private:
    QLineEdit *m_source;
    QLineEdit *m_user;
    QLineEdit *m_password;
};
