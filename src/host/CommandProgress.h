#pragma once

#include "presentation/Report.h"

#include <QElapsedTimer>
#include <QString>
#include <functional>

class QTextStream;

// Progress of a long export or print on the command line: pages or rows done, the rate and
// the time left, rewritten on one line of a terminal, then a closing line saying how long the
// output took. Nothing at all when the output is not a terminal (a script's log stays clean),
// when asked to be quiet, or when the output is done before anyone would notice.
class CommandProgress
{
public:
    // Milliseconds since some fixed moment; the tests give their own clock.
    using Clock = std::function<qint64()>;

    CommandProgress(QTextStream &terminal, bool shown, Clock clock = {});
    ~CommandProgress();
    CommandProgress(const CommandProgress &) = delete;
    CommandProgress &operator=(const CommandProgress &) = delete;

    // Whether standard error is a terminal, where a line can be rewritten in place.
    [[nodiscard]] static bool standardErrorIsTerminal();

    // The callback an output reports to: "PDF" with "pages", "Excel" with "rows". It finishes
    // the line of the output before it.
    [[nodiscard]] Report::Progress of(const QString &what, const QString &unit);

private:
    void update(int done, int total);
    void finish();
    [[nodiscard]] qint64 now() const;

    QTextStream &m_terminal;
    bool m_shown;
    Clock m_clock;
    QElapsedTimer m_timer;
    QString m_what;
    QString m_unit;
    qint64 m_started = 0;
    qint64 m_lastDrawn = -1; // -1: nothing drawn yet for this output
    int m_width = 0;         // characters of the line drawn last, to blank what is left of it
    int m_done = 0;
};
