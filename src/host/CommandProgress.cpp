#include "host/CommandProgress.h"

#include <QLocale>
#include <QTextStream>
#include <cmath>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kShowAfter = 500; // ms: an output done sooner shows nothing
constexpr qint64 kRedraw = 200;    // ms between two drawings of the line

// Figures grouped by thousands, whatever the user's language: 12,345.
QLocale grouped()
{
    QLocale c = QLocale::c();
    c.setNumberOptions({});
    return c;
}

QString seconds(double s)
{
    if (s < 60)
        return u"%1 s"_s.arg(std::ceil(s), 0, 'f', 0);
    const qint64 whole = qint64(std::ceil(s));
    return u"%1 min %2 s"_s.arg(whole / 60).arg(whole % 60, 2, 10, QChar(u'0'));
}

} // namespace

CommandProgress::CommandProgress(QTextStream &terminal, bool shown, Clock clock)
    : m_terminal(terminal), m_shown(shown), m_clock(std::move(clock))
{
    m_timer.start();
}

CommandProgress::~CommandProgress()
{
    finish();
}

bool CommandProgress::standardErrorIsTerminal()
{
    return isatty(STDERR_FILENO) != 0;
}

qint64 CommandProgress::now() const
{
    return m_clock ? m_clock() : m_timer.elapsed();
}

Report::Progress CommandProgress::of(const QString &what, const QString &unit)
{
    finish();
    m_what = what;
    m_unit = unit;
    m_started = now();
    m_lastDrawn = -1;
    m_done = 0;
    return [this](int done, int total) {
        update(done, total);
        return true;
    };
}

void CommandProgress::update(int done, int total)
{
    m_done = done;
    if (!m_shown)
        return;
    const qint64 t = now();
    const qint64 elapsed = t - m_started;
    if (elapsed < kShowAfter || (m_lastDrawn >= 0 && t - m_lastDrawn < kRedraw && done < total))
        return;
    m_lastDrawn = t;
    const QLocale c = grouped();
    const double rate = elapsed > 0 ? done * 1000.0 / double(elapsed) : 0;
    QString line = u"%1: %2 of %3 %4"_s.arg(m_what, c.toString(done), c.toString(total), m_unit);
    if (done > 0 && rate > 0) {
        line += u", %1 %2/s"_s.arg(c.toString(qint64(std::llround(rate))), m_unit);
        if (done < total)
            line += u", %1 left"_s.arg(seconds((total - done) / rate));
    }
    // A carriage return and blanks over the rest of the line drawn before.
    const int width = int(line.size());
    m_terminal << '\r' << line << QString(std::max(0, m_width - width), u' ');
    m_terminal.flush();
    m_width = width;
}

void CommandProgress::finish()
{
    if (m_lastDrawn < 0)
        return;
    const double took = double(now() - m_started) / 1000.0;
    const QString line =
        u"%1: %2 %3 in %4 s"_s.arg(m_what, grouped().toString(m_done), m_unit).arg(took, 0, 'f', 1);
    m_terminal << '\r' << line << QString(std::max(0, m_width - int(line.size())), u' ')
               << Qt::endl;
    m_lastDrawn = -1;
    m_width = 0;
}
