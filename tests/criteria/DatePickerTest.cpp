#include "criteria/DatePicker.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

// A date picker between two other controls, as in a report window.
class DatePickers : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto *layout = new QVBoxLayout(&window);
        before = new QLineEdit(&window);
        picker = new DatePicker(&window);
        after = new QLineEdit(&window);
        layout->addWidget(before);
        layout->addWidget(picker);
        layout->addWidget(after);
        picker->setDate(QDate(2026, 3, 5));
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    QWidget window;
    QLineEdit *before = nullptr;
    DatePicker *picker = nullptr;
    QLineEdit *after = nullptr;
};

TEST_F(DatePickers, TabLeavesAndDigitsReplaceThePartClicked)
{
    picker->setFocus();
    QTest::keyClick(picker, Qt::Key_Tab);
    EXPECT_EQ(window.focusWidget(), after); // not on to the month
    QTest::keyClick(after, Qt::Key_Backtab);
    EXPECT_EQ(window.focusWidget(), picker);
    QTest::keyClick(picker, Qt::Key_Backtab);
    EXPECT_EQ(window.focusWidget(), before);

    // A click on the month, then digits: the month is replaced; arrows still walk the parts.
    auto *edit = picker->findChild<QLineEdit *>();
    ASSERT_NE(edit, nullptr);
    const int monthAt = edit->fontMetrics().horizontalAdvance(QStringLiteral("05/0"));
    QTest::mouseClick(edit, Qt::LeftButton, Qt::NoModifier,
                      QPoint(edit->contentsRect().left() + monthAt + 2, edit->height() / 2));
    QTest::keyClicks(picker, QStringLiteral("11"));
    EXPECT_EQ(picker->date(), QDate(2026, 11, 5)) << edit->text().toStdString();
}

TEST_F(DatePickers, AltDownAndF4OpenTheCalendar)
{
    picker->setFocus();
    QTest::keyClick(picker, Qt::Key_F4);
    ASSERT_NE(picker->calendarWidget(), nullptr);
    EXPECT_TRUE(picker->calendarWidget()->isVisible());
    picker->calendarWidget()->window()->close();
    QApplication::processEvents();
    EXPECT_FALSE(picker->calendarWidget()->isVisible());
    picker->setFocus();
    QTest::keyClick(picker, Qt::Key_Down, Qt::AltModifier);
    EXPECT_TRUE(picker->calendarWidget()->isVisible());
    picker->calendarWidget()->window()->close();
    // A plain Down still steps the part it is on.
    picker->setFocus();
    picker->setSelectedSection(QDateTimeEdit::DaySection);
    QTest::keyClick(picker, Qt::Key_Down);
    EXPECT_EQ(picker->date(), QDate(2026, 3, 4));
}

// A year typed into the box stays within the dates every database can hold: the last days of
// 1752 are refused as the years before it are.
TEST_F(DatePickers, TypedYearsStayWithinTheDatabasesRange)
{
    const std::pair<int, bool> cases[] = {{1752, false}, {1753, true}, {9999, true}};
    for (const auto &[year, accepted] : cases) {
        SCOPED_TRACE(year);
        picker->setDate(QDate(2026, 12, 5));
        picker->setFocus();
        picker->setSelectedSection(QDateTimeEdit::YearSection);
        QTest::keyClicks(picker, QString::number(year));
        QTest::keyClick(picker, Qt::Key_Tab);
        if (accepted)
            EXPECT_EQ(picker->date(), QDate(year, 12, 5));
        else
            EXPECT_GE(picker->date(), QDate(1753, 1, 1));
    }
}
