#pragma once

#include "presentation/Report.h"

#include <QList>
#include <QRectF>
#include <QString>
#include <vector>

// The places where a text (case ignored) is printed on every page of a report, found once
// (on a job's thread) and then walked in turn by the preview.
class PageSearch
{
public:
    struct Match
    {
        int page;
        QRectF rect; // points on the page
    };

    // Finds every match, page by page; false when cancelled through progress.
    bool run(Report &report, const QString &text, const Report::Progress &progress);

    [[nodiscard]] bool isEmpty() const { return m_matches.empty(); }
    [[nodiscard]] int count() const { return int(m_matches.size()); }
    [[nodiscard]] const Match &at(int index) const { return m_matches[size_t(index)]; }
    // How many pages hold a match.
    [[nodiscard]] int pagesFound() const { return m_pagesFound; }
    // The first match on the page or after it; the first of all when there is none.
    [[nodiscard]] int firstFrom(int page) const;
    // The matches on a page; `current` becomes the place of match `index` among them, or -1.
    [[nodiscard]] QList<QRectF> onPage(int page, int index, int &current) const;

private:
    std::vector<Match> m_matches;
    int m_pagesFound = 0;
};
