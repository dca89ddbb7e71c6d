#pragma once

// Finding text in the prepared pages. Each text primitive is one printed line, so a hit never
// spans lines: a word cut by wrapping is not found across the cut, as on paper.

#include "platform/report/PageModel.h"

#include <vector>

namespace tipdesk::report {

struct SearchHit {
    int page = -1;
    int item = -1;  // index into the page's items
    int offset = 0; // in the primitive's text, UTF-16 units
    int length = 0;
    bool operator==(const SearchHit &) const = default;
};

// The hits of `text` on one page, in reading order of the page's primitives. Latin letters match
// either case; everything else (Hangul among it) matches as typed.
std::vector<SearchHit> findInPage(const Page &page, int pageIndex, const QString &text);

// The hits over a model that may still be growing: update() searches only pages it has not seen,
// so a report still being built is searched as its pages arrive.
class PageSearch {
public:
    // Starts over with another text; an empty text finds nothing.
    void setText(const QString &text);
    const QString &text() const { return m_text; }
    // Searches pages [searchedPages(), pages) of the model; returns how many hits were added.
    int update(const PageModel &model, int pages);
    // Forgets what was searched, keeping the text (the model was replaced).
    void restart();

    const std::vector<SearchHit> &hits() const { return m_hits; }
    int searchedPages() const { return m_searched; }
    // The first hit on page `page` or after it, -1 when there is none.
    int firstFrom(int page) const;
    // The hits on one page, as indices into hits().
    std::pair<int, int> hitsOn(int page) const;

private:
    QString m_text;
    std::vector<SearchHit> m_hits;
    int m_searched = 0;
};

} // namespace tipdesk::report
