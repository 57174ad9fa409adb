#include "host/CommandProgress.h"
#include "CommandRun.h"

#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// What a terminal shows of an output's progress, step by step: each step is the clock and the
// pages done when the output reports, and the line it rewrites then ("" for none).
TEST(CommandProgress, ShowsPagesRateAndTimeLeftOnOneLine)
{
    struct Step
    {
        qint64 at; // ms
        int done;
        QString drawn;
    };
    const std::vector<Step> steps{
        {100, 40, {}}, // too soon to bother anyone
        {1000, 250, u"PDF: 250 of 1,000 pages, 250 pages/s, 3 s left"_s},
        {1100, 300, {}}, // the line was drawn a moment ago
        {2000, 500, u"PDF: 500 of 1,000 pages, 250 pages/s, 2 s left"_s},
        {2100, 1000, u"PDF: 1,000 of 1,000 pages, 476 pages/s"_s}, // the last page, at once
    };
    QString text;
    QTextStream terminal(&text);
    qint64 now = 0;
    {
        CommandProgress progress(terminal, true, [&now] { return now; });
        const Report::Progress report = progress.of(u"PDF"_s, u"pages"_s);
        for (const Step &step : steps) {
            SCOPED_TRACE(step.at);
            const qsizetype before = text.size();
            now = step.at;
            EXPECT_TRUE(report(step.done, 1000)); // never cancels
            const QString drawn = text.mid(before);
            if (step.drawn.isEmpty()) {
                EXPECT_EQ(drawn, QString());
            } else {
                EXPECT_TRUE(drawn.startsWith(u'\r')) << drawn.toStdString();
                EXPECT_EQ(drawn.mid(1).trimmed(), step.drawn);
            }
        }
        text.clear();
    }
    // The closing line, blanked out to the width of the longer line it is written over.
    EXPECT_EQ(text.trimmed(), u"PDF: 1,000 pages in 2.1 s"_s);
    EXPECT_TRUE(text.startsWith(u'\r'));
    EXPECT_TRUE(text.endsWith(u'\n'));
    EXPECT_GE(text.size() - 2, steps.back().drawn.size());
}

// Nothing is written when the progress is not to be shown, or when the output is over quickly.
TEST(CommandProgress, StaysSilentWhenNotWanted)
{
    for (const bool shown : {false, true}) {
        QString text;
        QTextStream terminal(&text);
        qint64 now = 0;
        {
            CommandProgress progress(terminal, shown, [&now] { return now; });
            const Report::Progress report = progress.of(u"PDF"_s, u"pages"_s);
            now = shown ? 300 : 5000;
            report(10, 10);
        }
        EXPECT_EQ(text, QString()) << shown;
    }
    // Standard error of the command under the tests is a pipe: nothing but the outcome there,
    // quiet or not.
    QTemporaryDir folder;
    for (const QStringList &extra : {QStringList{}, QStringList{u"--quiet"_s}}) {
        const auto run = CommandRun::report(
            u"sales-register"_s,
            QStringList{u"--from"_s, u"2026-06-01"_s, u"--pdf"_s, folder.filePath(u"r.pdf"_s)} +
                extra);
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_EQ(run.err, QString()) << extra.join(u' ').toStdString();
    }
}
