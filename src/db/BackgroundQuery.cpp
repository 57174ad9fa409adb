#include "db/BackgroundQuery.h"

#include "db/Failure.h"
#include "db/ResultTable.h"

#include <QMetaObject>
#include <new>

using namespace Qt::StringLiterals;

namespace {

bool sameOrigin(const Connection::Origin &a, const Connection::Origin &b)
{
    return a.odbc == b.odbc && a.target == b.target;
}

} // namespace

BackgroundQuery::BackgroundQuery(int firstRows, QObject *parent)
    : QObject(parent), m_firstRows(firstRows), m_worker([this] { run(); })
{
}

BackgroundQuery::~BackgroundQuery()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        if (m_connection && m_running != 0)
            m_connection->interrupt();
    }
    m_changed.notify_all();
    m_worker.join();
}

quint64 BackgroundQuery::start(const Connection &like, const QString &sql)
{
    quint64 number;
    {
        std::lock_guard lock(m_mutex);
        number = ++m_newest;
        m_origin = like.origin();
        m_sql = sql;
        if (m_connection && m_running != 0) {
            m_connection->interrupt();
            ++m_interrupted;
        }
    }
    m_changed.notify_all();
    return number;
}

bool BackgroundQuery::pending() const
{
    std::lock_guard lock(m_mutex);
    return m_delivered != m_newest;
}

int BackgroundQuery::interrupted() const
{
    std::lock_guard lock(m_mutex);
    return m_interrupted;
}

quint64 BackgroundQuery::running() const
{
    std::lock_guard lock(m_mutex);
    return m_running;
}

void BackgroundQuery::wait()
{
    std::unique_lock lock(m_mutex);
    if (m_delivered == m_newest)
        return;
    m_changed.wait(lock, [this] { return m_outcome.number == m_newest || m_stopping; });
    deliverOutcome(lock);
}

void BackgroundQuery::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || m_taken != m_newest; });
        if (m_stopping)
            break;
        const quint64 number = m_newest;
        const Connection::Origin origin = m_origin;
        const QString sql = m_sql;
        m_taken = number;
        lock.unlock();
        read(number, origin, sql);
        lock.lock();
    }
    // The connection was opened on this thread and is closed on it.
    std::shared_ptr<Connection> last = std::move(m_connection);
    lock.unlock();
    last.reset();
}

void BackgroundQuery::read(quint64 number, const Connection::Origin &origin, const QString &sql)
{
    Outcome outcome{number, {}, {}, {}};
    try {
        if (!m_connection || !sameOrigin(m_openOrigin, origin)) {
            std::shared_ptr<Connection> opened = Connection::open(origin);
            std::shared_ptr<Connection> old;
            {
                std::lock_guard lock(m_mutex);
                old = std::exchange(m_connection, std::move(opened));
                m_openOrigin = origin;
            }
        }
        {
            std::lock_guard lock(m_mutex);
            if (number != m_newest)
                return; // already stale
            m_running = number;
        }
        Connection::FirstRows first{m_firstRows, [this, number](auto rows) {
                                        {
                                            std::lock_guard lock(m_mutex);
                                            m_first = std::move(rows);
                                            m_firstNumber = number;
                                        }
                                        QMetaObject::invokeMethod(this, [this] { deliver(); },
                                                                  Qt::QueuedConnection);
                                    }};
        try {
            outcome.rows = m_connection->execute(sql, first);
        } catch (const Failure &f) {
            // An interrupt meant for the query before may land on this one as it starts.
            std::unique_lock lock(m_mutex);
            if (f.description() != u"interrupted"_s || number != m_newest)
                throw;
            lock.unlock();
            outcome.rows = m_connection->execute(sql, first);
        }
    } catch (const Failure &f) {
        outcome.error = f.description();
        outcome.source = f.source();
    } catch (const std::bad_alloc &) {
        outcome.error = u"Out of memory"_s;
        outcome.source = Failure::componentSource();
    } catch (const std::exception &e) {
        outcome.error = QString::fromLocal8Bit(e.what());
        outcome.source = Failure::componentSource();
    } catch (...) {
        // Nothing may leave the reading thread; the window shows this as any failure.
        outcome.error = u"An unexpected failure ended the query"_s;
        outcome.source = Failure::componentSource();
    }
    {
        std::lock_guard lock(m_mutex);
        m_running = 0;
        if (number != m_newest)
            return; // stale: never shown
        m_outcome = std::move(outcome);
    }
    m_changed.notify_all();
    QMetaObject::invokeMethod(this, [this] { deliver(); }, Qt::QueuedConnection);
}

void BackgroundQuery::deliver()
{
    std::unique_lock lock(m_mutex);
    if (m_first && m_firstNumber == m_newest && m_firstDelivered != m_newest &&
        m_delivered != m_newest) {
        m_firstDelivered = m_newest;
        std::shared_ptr<const ResultTable> rows = std::move(m_first);
        lock.unlock();
        Q_EMIT firstRowsRead(std::move(rows));
        lock.lock();
    }
    if (m_outcome.number == m_newest && m_delivered != m_newest)
        deliverOutcome(lock);
}

void BackgroundQuery::deliverOutcome(std::unique_lock<std::mutex> &lock)
{
    if (m_outcome.number != m_newest || m_delivered == m_newest)
        return;
    m_delivered = m_newest;
    Outcome outcome = std::move(m_outcome);
    m_outcome = {};
    m_first.reset();
    lock.unlock();
    if (outcome.error.isEmpty())
        Q_EMIT allRowsRead(std::move(outcome.rows));
    else
        Q_EMIT failed(outcome.error, outcome.source);
    lock.lock();
}
