#include "preview/ReportJob.h"

#include "db/Failure.h"

#include <QElapsedTimer>
#include <QThread>
#include <new>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kProgressInterval = 40; // milliseconds between progress signals

} // namespace

ReportJob::ReportJob(std::unique_ptr<Report> report, Work work, QObject *parent)
    : QObject(parent), m_report(std::move(report)), m_work(std::move(work))
{
}

ReportJob::~ReportJob()
{
    cancel();
    wait();
    delete m_thread;
}

void ReportJob::start()
{
    if (m_thread)
        return;
    m_thread = QThread::create([this] { run(); });
    connect(m_thread, &QThread::finished, this, [this] { Q_EMIT finished(m_outcome); });
    m_thread->start();
}

bool ReportJob::isRunning() const
{
    return m_thread && !m_thread->isFinished();
}

void ReportJob::wait()
{
    if (m_thread)
        m_thread->wait();
}

void ReportJob::run()
{
    // Progress is signalled a few times a second at most, and always for the last page, so a
    // job of thousands of pages does not flood the event queue.
    QElapsedTimer sinceSignal;
    sinceSignal.start();
    const Report::Progress progress = [&](int done, int total) {
        if (done >= total || sinceSignal.elapsed() >= kProgressInterval) {
            Q_EMIT this->progress(done, total);
            sinceSignal.restart();
        }
        return !m_cancelled.load();
    };
    try {
        const bool completed = m_work(*m_report, progress);
        m_outcome = completed ? Outcome::Completed : Outcome::Cancelled;
    } catch (const Failure &f) {
        m_description = f.description();
        m_source = f.source();
        m_outcome = Outcome::Failed;
    } catch (const std::bad_alloc &) {
        fail(u"Out of memory"_s);
    } catch (const std::exception &e) {
        fail(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        // An exception leaving a thread's function ends the program: whatever it was, the
        // work failed and the preview says so.
        fail(u"An unexpected failure ended the work"_s);
    }
}

void ReportJob::fail(const QString &description)
{
    m_description = description;
    m_source = Failure::componentSource();
    m_outcome = Outcome::Failed;
}
