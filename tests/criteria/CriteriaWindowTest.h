#pragma once

#include "ModalWatcher.h"
#include "catalogue/Reports.h"
#include "db/Connection.h"

#include <QDate>
#include <QString>
#include <gtest/gtest.h>
#include <memory>

class CriteriaWindow;
class QLineEdit;
class QWidget;

// A report's criteria window opened as the host opens it, on the demo company unless a test
// names another database, with the means to work its boxes as a user does.
class CriteriaWindowTest : public ::testing::Test
{
protected:
    void SetUp() override;
    virtual QString database() const;

    // Launches the report (by its command-line name) and waits for its window: the one
    // `window` then means.
    CriteriaWindow *open(const QString &report);
    QLineEdit *box(const QString &name) const;
    QWidget *focus() const;
    // Selects what the box holds and types the text over it.
    void type(const QString &boxName, const QString &text);
    void setPeriod(QDate from, QDate to);
    QString scalar(const QString &sql) const;
    // In a lookup dialog: narrow the list to the text and take the current row.
    static ModalWatcher::Handler pick(const QString &text);

    std::shared_ptr<Connection> connection;
    Reports reports;
    CriteriaWindow *window = nullptr;
};
