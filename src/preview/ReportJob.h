#pragma once

#include "presentation/Report.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

class QThread;

// One long piece of work on a report (a print, an export, a search), run on a thread of its
// own on a copy of the report that the job owns: the preview stays responsive and the report
// on screen is never touched by another thread. Progress and the end arrive as signals on the
// thread that made the job; the work sees Cancel through its progress callback.
class ReportJob : public QObject
{
    Q_OBJECT
public:
    enum class Outcome { Running, Completed, Cancelled, Failed };
    // Returns false when cancelled; throws Failure (or anything else) when it fails.
    using Work = std::function<bool(Report &report, const Report::Progress &progress)>;

    ReportJob(std::unique_ptr<Report> report, Work work, QObject *parent = nullptr);
    // Cancels the work and waits for it: a job never outlives its owner's thread.
    ~ReportJob() override;
    ReportJob(const ReportJob &) = delete;
    ReportJob &operator=(const ReportJob &) = delete;

    void start();
    void cancel() { m_cancelled = true; }
    [[nodiscard]] bool isRunning() const;
    // Blocks until the work has ended (its finished signal still arrives through the loop).
    void wait();

    [[nodiscard]] Outcome outcome() const { return m_outcome; }
    // What failed and who raised it, after Outcome::Failed.
    [[nodiscard]] const QString &description() const { return m_description; }
    [[nodiscard]] const QString &source() const { return m_source; }

Q_SIGNALS:
    void progress(int done, int total);
    void finished(ReportJob::Outcome outcome);

private:
    void run();
    void fail(const QString &description);

    std::unique_ptr<Report> m_report;
    Work m_work;
    QThread *m_thread = nullptr;
    std::atomic_bool m_cancelled = false;
    // Written by the worker before its thread ends; read after the end only.
    Outcome m_outcome = Outcome::Running;
    QString m_description;
    QString m_source;
};
