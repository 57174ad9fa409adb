#include "CriteriaWindowTest.h"
#include "ReportRow.h"

#include "DemoFixture.h"
#include "criteria/CriteriaWindow.h"
#include "db/Connection.h"
#include "db/ResultTable.h"
#include "host/PeriodDefaults.h"
#include "lookup/LookupDialog.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

void CriteriaWindowTest::SetUp()
{
    connection = Connection::openSqlite(database());
    reports.InitializeClass(*connection, PeriodDefaults::of(*connection));
}

QString CriteriaWindowTest::database() const
{
    return DemoFixture::path();
}

CriteriaWindow *CriteriaWindowTest::open(const QString &report)
{
    reports.launch(reportRow(report));
    window = reports.window(reportRow(report));
    EXPECT_NE(window, nullptr);
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    return window;
}

QLineEdit *CriteriaWindowTest::box(const QString &name) const
{
    return window->findChild<QLineEdit *>(name);
}

QWidget *CriteriaWindowTest::focus() const
{
    return window->focusWidget();
}

void CriteriaWindowTest::type(const QString &boxName, const QString &text)
{
    QLineEdit *edit = box(boxName);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

void CriteriaWindowTest::setPeriod(QDate from, QDate to)
{
    window->fromDate()->setDate(from);
    window->toDate()->setDate(to);
}

QString CriteriaWindowTest::scalar(const QString &sql) const
{
    return connection->execute(sql)->text(0, 0);
}

ModalWatcher::Handler CriteriaWindowTest::pick(const QString &text)
{
    return [text](QWidget *modal) {
        auto *dialog = qobject_cast<LookupDialog *>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->filterBox()->setText(text);
        dialog->selectButton()->click();
    };
}
