#pragma once

#include "db/Connection.h"

#include <QObject>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

class ResultTable;

// Reads queries on a thread of its own, over a connection of its own to the same database, so
// that the window asking never waits. Only the newest query counts: starting another makes
// the one running stale, and a stale query is interrupted where the database allows it and
// its rows are never delivered. Its first rows are delivered as soon as they are read, then
// all of them. Signals arrive on the thread that owns the object.
class BackgroundQuery : public QObject
{
    Q_OBJECT
public:
    explicit BackgroundQuery(int firstRows, QObject *parent = nullptr);
    ~BackgroundQuery() override;

    // Starts reading the query on a database like the connection's; returns its number.
    quint64 start(const Connection &like, const QString &sql);
    // True from start until the newest query's rows or failure have been delivered.
    [[nodiscard]] bool pending() const;
    // Waits for the newest query and delivers its outcome before returning; nothing when
    // none is pending.
    void wait();
    // How many stale queries were interrupted while they ran.
    [[nodiscard]] int interrupted() const;
    // The number of the query being read now; 0 when none is.
    [[nodiscard]] quint64 running() const;

Q_SIGNALS:
    void firstRowsRead(std::shared_ptr<const ResultTable> rows);
    void allRowsRead(std::shared_ptr<const ResultTable> rows);
    void failed(const QString &description, const QString &source);

private:
    struct Outcome
    {
        quint64 number = 0;
        std::shared_ptr<const ResultTable> rows;
        QString error;
        QString source;
    };

    void run();
    void read(quint64 number, const Connection::Origin &origin, const QString &sql);
    // Delivers what the worker has read for the newest query, on the owner's thread.
    void deliver();
    void deliverOutcome(std::unique_lock<std::mutex> &lock);

    const int m_firstRows;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    // The newest request; the worker takes it when it is free.
    quint64 m_newest = 0;
    quint64 m_taken = 0;
    Connection::Origin m_origin;
    QString m_sql;
    bool m_stopping = false;
    // What the worker is reading, so that a newer start can interrupt it.
    quint64 m_running = 0;
    std::shared_ptr<Connection> m_connection; // the worker's own
    Connection::Origin m_openOrigin;
    int m_interrupted = 0;
    // Read by the worker, waiting to be delivered.
    std::shared_ptr<const ResultTable> m_first;
    quint64 m_firstNumber = 0;
    quint64 m_firstDelivered = 0;
    Outcome m_outcome;
    quint64 m_delivered = 0;
    std::thread m_worker;
};
