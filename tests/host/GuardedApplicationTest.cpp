#include "ModalWatcher.h"
#include "db/Failure.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <new>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

// An object whose handling of a user event does whatever the test hands it, throws included.
class Thrower : public QObject
{
public:
    std::function<void()> onEvent;
    int handled = 0;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        ++handled;
        if (onEvent)
            onEvent();
        return true;
    }
};

void deliver(Thrower &thrower)
{
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&thrower, &event);
}

} // namespace

// Whatever a handler throws ends that operation with a message box and the program goes on:
// the host's windows run under this application object.
TEST(GuardedApplicationTest, AThrowEndsTheOperationWithAMessageAndTheProgramGoesOn)
{
    struct Case
    {
        std::function<void()> raise;
        QString title;
        QString text;
    };
    const std::vector<Case> cases{
        {[] { throw Failure(u"The query was refused"_s, u"SQLite"_s); }, u"SQLite"_s,
         u"The query was refused"_s},
        {[] { throw std::out_of_range("vector index"); }, Failure::componentSource(),
         u"vector index"_s},
        {[] { throw std::bad_alloc(); }, Failure::componentSource(), u"Out of memory"_s},
        {[] { throw 42; }, Failure::componentSource(),
         u"An unexpected failure ended the operation"_s},
    };
    Thrower thrower;
    ModalWatcher watcher;
    for (const Case &c : cases) {
        watcher.clear();
        thrower.onEvent = c.raise;
        deliver(thrower);
        ASSERT_EQ(watcher.count(), 1) << c.text.toStdString();
        EXPECT_EQ(watcher.last().title, c.title);
        EXPECT_EQ(watcher.last().text, c.text);
        EXPECT_EQ(watcher.last().icon, QMessageBox::Critical);
    }
    // Still delivering: the next event is handled as any other.
    thrower.onEvent = nullptr;
    deliver(thrower);
    EXPECT_EQ(thrower.handled, int(cases.size()) + 1);
}

// A second failure while the first one's message is up is written to standard error instead
// of stacking a second modal box over the first.
TEST(GuardedApplicationTest, AFailureWhileOneIsShownGoesToStandardError)
{
    Thrower inner;
    inner.onEvent = [] { throw std::runtime_error("second failure"); };
    Thrower outer;
    outer.onEvent = [] { throw std::runtime_error("first failure"); };
    ModalWatcher watcher([&](QWidget *box) {
        deliver(inner);
        ModalWatcher::close(box);
    });
    testing::internal::CaptureStderr();
    deliver(outer);
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_EQ(watcher.count(), 1);
    EXPECT_EQ(watcher.last().text, u"first failure"_s);
    EXPECT_NE(err.find("second failure"), std::string::npos) << err;
    EXPECT_EQ(inner.handled, 1);

    // Once the first box is closed, a failure shows its own box again.
    watcher.clear();
    testing::internal::CaptureStderr();
    deliver(inner);
    testing::internal::GetCapturedStderr();
    ASSERT_EQ(watcher.count(), 1);
    EXPECT_EQ(watcher.last().text, u"second failure"_s);
}
