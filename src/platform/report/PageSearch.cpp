#include "platform/report/PageSearch.h"

#include <algorithm>

namespace tipdesk::report {

namespace {

// Folds A-Z to a-z and leaves every other character as it is: Hangul has no case, and folding
// other scripts is not what an operator typing a name expects.
QString foldLatin(const QString &s)
{
    QString folded = s;
    for (QChar &c : folded)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    return folded;
}

} // namespace

std::vector<SearchHit> findInPage(const Page &page, int pageIndex, const QString &text)
{
    std::vector<SearchHit> hits;
    if (text.isEmpty())
        return hits;
    const QString needle = foldLatin(text);
    for (size_t i = 0; i < page.items.size(); ++i) {
        const Primitive &p = page.items[i];
        if (p.kind != Primitive::Kind::Text || p.text.size() < needle.size())
            continue;
        const QString hay = foldLatin(p.text);
        for (qsizetype at = hay.indexOf(needle); at >= 0; at = hay.indexOf(needle, at + needle.size()))
            hits.push_back({pageIndex, int(i), int(at), int(needle.size())});
    }
    return hits;
}

void PageSearch::setText(const QString &text)
{
    m_text = text;
    restart();
}

void PageSearch::restart()
{
    m_hits.clear();
    m_searched = 0;
}

int PageSearch::update(const PageModel &model, int pages)
{
    const size_t before = m_hits.size();
    pages = std::min(pages, model.pageCount());
    for (; m_searched < pages; ++m_searched) {
        const auto found = findInPage(model.pages[size_t(m_searched)], m_searched, m_text);
        m_hits.insert(m_hits.end(), found.begin(), found.end());
    }
    return int(m_hits.size() - before);
}

int PageSearch::firstFrom(int page) const
{
    const auto it =
        std::lower_bound(m_hits.begin(), m_hits.end(), page, [](const SearchHit &h, int p) { return h.page < p; });
    return it == m_hits.end() ? -1 : int(it - m_hits.begin());
}

std::pair<int, int> PageSearch::hitsOn(int page) const
{
    const auto [from, to] = std::equal_range(m_hits.begin(), m_hits.end(), SearchHit{page, 0, 0, 0},
                                             [](const SearchHit &a, const SearchHit &b) { return a.page < b.page; });
    return {int(from - m_hits.begin()), int(to - m_hits.begin())};
}

} // namespace tipdesk::report
