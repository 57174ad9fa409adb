#include "criteria/DatePicker.h"
#include "criteria/PeriodPresets.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolTip>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

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

// A date typed that does not exist stays as typed and keeps the focus, whichever way the user
// tries to leave (Enter, Tab, a click on another control, its access key), with the reason
// beside the box; a date that exists is taken as typed.
TEST_F(DatePickers, RefuseADateThatDoesNotExistWhereItIsTyped)
{
    auto *button = new QPushButton(u"&Go"_s, &window);
    window.layout()->addWidget(button);
    int pressed = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++pressed; });
    struct Case
    {
        QDate start; // the box's date before typing
        QString day, month;
        QString why; // "" when the date exists
    };
    const Case cases[] = {
        {QDate(2026, 1, 5), u"31"_s, u"02"_s, u"February 2026 has 28 days"_s},
        {QDate(2025, 1, 5), u"29"_s, u"02"_s, u"February 2025 has 28 days"_s},
        {QDate(2026, 1, 5), u"31"_s, u"04"_s, u"April 2026 has 30 days"_s},
        {QDate(2024, 1, 5), u"29"_s, u"02"_s, {}},
        {QDate(2026, 1, 5), u"30"_s, u"04"_s, {}},
    };
    auto *edit = picker->findChild<QLineEdit *>();
    for (const Case &c : cases) {
        const QString typed = c.day + u'/' + c.month + u'/' + QString::number(c.start.year());
        SCOPED_TRACE(typed.toStdString());
        picker->setDate(c.start);
        picker->setFocus();
        picker->setSelectedSection(QDateTimeEdit::DaySection);
        QTest::keyClicks(picker, c.day);
        picker->setSelectedSection(QDateTimeEdit::MonthSection);
        QTest::keyClicks(picker, c.month);
        QApplication::processEvents();
        ASSERT_EQ(edit->text(), typed);
        if (c.why.isEmpty()) {
            EXPECT_EQ(picker->refusal(), QString());
            QTest::keyClick(picker, Qt::Key_Tab);
            EXPECT_EQ(window.focusWidget(), after);
            EXPECT_EQ(picker->date(), QDate::fromString(typed, u"dd/MM/yyyy"_s));
            continue;
        }
        QTest::keyClick(picker, Qt::Key_Return);
        QTest::keyClick(picker, Qt::Key_Tab);
        for (QWidget *other : {static_cast<QWidget *>(button), static_cast<QWidget *>(after)}) {
            // Clicked as a display delivers it: to the window, which hands it to the control.
            QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {},
                              other->mapTo(&window, other->rect().center()));
        }
        QTest::keyClick(&window, Qt::Key_G, Qt::AltModifier);
        EXPECT_EQ(window.focusWidget(), picker);
        EXPECT_EQ(pressed, 0);
        EXPECT_EQ(edit->text(), typed); // not mended into another date
        EXPECT_TRUE(QToolTip::isVisible());
        EXPECT_TRUE(QToolTip::text().contains(c.why)) << QToolTip::text().toStdString();
        EXPECT_TRUE(picker->refusal().contains(c.why));
        // Mended by the user, the date is taken and the box lets the focus go.
        picker->setSelectedSection(QDateTimeEdit::DaySection);
        QTest::keyClicks(picker, u"01"_s);
        QTest::keyClick(picker, Qt::Key_Tab);
        EXPECT_EQ(window.focusWidget(), after);
        EXPECT_EQ(picker->date(), QDate(c.start.year(), c.month.toInt(), 1));
    }
}

// The periods an accountant asks for, on a day of the year and a financial year starting on
// the company's period start (whose year does not matter).
TEST(PeriodPresets, CountFromTheFinancialYear)
{
    using P = std::vector<std::pair<QString, QString>>; // from, to as dd/MM/yyyy
    struct Case
    {
        QDate today;
        QDate periodStart;
        P expected; // this and last month, quarter and financial year
    };
    const Case cases[] = {
        {QDate(2026, 1, 5),
         QDate(2026, 1, 1),
         {{u"01/01/2026"_s, u"05/01/2026"_s},
          {u"01/12/2025"_s, u"31/12/2025"_s},
          {u"01/01/2026"_s, u"05/01/2026"_s},
          {u"01/10/2025"_s, u"31/12/2025"_s},
          {u"01/01/2026"_s, u"05/01/2026"_s},
          {u"01/01/2025"_s, u"31/12/2025"_s}}},
        {QDate(2026, 3, 31),
         QDate(2019, 4, 1),
         {{u"01/03/2026"_s, u"31/03/2026"_s},
          {u"01/02/2026"_s, u"28/02/2026"_s},
          {u"01/01/2026"_s, u"31/03/2026"_s},
          {u"01/10/2025"_s, u"31/12/2025"_s},
          {u"01/04/2025"_s, u"31/03/2026"_s},
          {u"01/04/2024"_s, u"31/03/2025"_s}}},
        {QDate(2026, 7, 1),
         QDate(2030, 7, 1),
         {{u"01/07/2026"_s, u"01/07/2026"_s},
          {u"01/06/2026"_s, u"30/06/2026"_s},
          {u"01/07/2026"_s, u"01/07/2026"_s},
          {u"01/04/2026"_s, u"30/06/2026"_s},
          {u"01/07/2026"_s, u"01/07/2026"_s},
          {u"01/07/2025"_s, u"30/06/2026"_s}}},
        {QDate(2026, 11, 20),
         QDate(2026, 10, 16),
         {{u"01/11/2026"_s, u"20/11/2026"_s},
          {u"01/10/2026"_s, u"31/10/2026"_s},
          {u"16/10/2026"_s, u"20/11/2026"_s},
          {u"16/07/2026"_s, u"15/10/2026"_s},
          {u"16/10/2026"_s, u"20/11/2026"_s},
          {u"16/10/2025"_s, u"15/10/2026"_s}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.today.toString(Qt::ISODate).toStdString());
        P got;
        QStringList captions;
        for (const auto &period : PeriodPresets::at(c.today, c.periodStart)) {
            got.emplace_back(period.from.toString(u"dd/MM/yyyy"_s),
                             period.to.toString(u"dd/MM/yyyy"_s));
            captions.append(period.caption);
        }
        EXPECT_EQ(got, c.expected);
        EXPECT_EQ(captions, (QStringList{u"This month"_s, u"Last month"_s, u"This quarter"_s,
                                         u"Last quarter"_s, u"Financial year to date"_s,
                                         u"Last financial year"_s}));
    }
}

// The presets are reached from the keyboard in the box (Shift+F10 or the Menu key) and set
// both ends of the period; the focus stays where it was and Tab still leaves for the next box.
TEST_F(DatePickers, OfferPresetPeriodsFromTheKeyboard)
{
    DatePicker to(&window);
    to.hide();
    picker->offerPeriods(picker, &to, [] { return QDate(2020, 7, 1); });
    const QDate today = QDate::currentDate();
    const QDate month(today.year(), today.month(), 1);
    for (const auto key : {Qt::Key_F10, Qt::Key_Menu}) {
        SCOPED_TRACE(int(key));
        picker->setDate(QDate(2026, 3, 5));
        to.setDate(QDate(2026, 3, 5));
        picker->setFocus();
        if (key == Qt::Key_F10) {
            QTest::keyClick(picker, key, Qt::ShiftModifier);
        } else {
            // What a display makes of the Menu key: a context menu asked for from the keyboard.
            QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(2, 2),
                                      picker->mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(picker, &menuKey);
        }
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(menu->actions().size(), 6);
        EXPECT_TRUE(menu->actions()[1]->text().startsWith(u"Last month"_s));
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
        QApplication::processEvents();
        EXPECT_EQ(picker->date(), month.addMonths(-1));
        EXPECT_EQ(to.date(), month.addDays(-1));
        EXPECT_EQ(window.focusWidget(), picker);
    }
    QTest::keyClick(picker, Qt::Key_Tab);
    EXPECT_EQ(window.focusWidget(), after);
}
