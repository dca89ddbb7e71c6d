#include "platform/report/SheetGrid.h"

#include <QDate>
#include <QHash>
#include <QLineF>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <optional>
#include <set>

namespace tipdesk::report {

namespace {

// mm: edges closer than kCollapse are one column edge and tops closer than kSameRow one row; no
// column is narrower than kNarrowest (none that narrow holds a printed character).
constexpr double kCollapse = 1.0;
constexpr double kSameRow = 1.0;
constexpr double kNarrowest = 3.5;
// mm: how far a text box may stand inside the rules that frame it, and a rule beyond a cell's
// text and still frame it.
constexpr double kInset = 0.8;
constexpr double kReach = 0.6;
constexpr double kSamePlace = 0.05;

struct VRule {
    double x, y1, y2;
};
struct HRule {
    double y, x1, x2;
};

void addRules(const Primitive &p, std::vector<VRule> &v, std::vector<HRule> &h)
{
    if (p.kind == Primitive::Kind::Line) {
        const QLineF l(p.p1(), p.p2());
        if (std::abs(l.x1() - l.x2()) < kSamePlace)
            v.push_back({l.x1(), std::min(l.y1(), l.y2()), std::max(l.y1(), l.y2())});
        else if (std::abs(l.y1() - l.y2()) < kSamePlace)
            h.push_back({l.y1(), std::min(l.x1(), l.x2()), std::max(l.x1(), l.x2())});
    } else if (p.kind == Primitive::Kind::Rect && p.penStyle != Qt::NoPen && p.penWidth > 0) {
        const QRectF r = p.rect.normalized();
        v.push_back({r.left(), r.top(), r.bottom()});
        v.push_back({r.right(), r.top(), r.bottom()});
        h.push_back({r.top(), r.left(), r.right()});
        h.push_back({r.bottom(), r.left(), r.right()});
    }
}

// The page's text with the run of digits that is page number `n` replaced, or a null string.
QString withoutPageNumber(const QString &text, int n)
{
    static const QRegularExpression digits(QStringLiteral("\\d+"));
    const QString number = QString::number(n);
    for (auto it = digits.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured() == number)
            return QString(text).replace(m.capturedStart(), m.capturedLength(), u'#');
    }
    return {};
}

// What of each page goes into the sheet.
struct SheetPage {
    std::vector<const Primitive *> texts; // by top, then left
    std::vector<VRule> v;
    std::vector<HRule> h;
};

bool byPosition(const Primitive *a, const Primitive *b)
{
    return a->rect.y() != b->rect.y() ? a->rect.y() < b->rect.y() : a->rect.x() < b->rect.x();
}

// Texts by rows of the same top.
std::vector<std::vector<const Primitive *>> rowsOf(const std::vector<const Primitive *> &texts)
{
    std::vector<std::vector<const Primitive *>> rows;
    double top = 0;
    for (const Primitive *t : texts) {
        if (rows.empty() || t->rect.y() - top >= kSameRow) {
            rows.emplace_back();
            top = t->rect.y();
        }
        rows.back().push_back(t);
    }
    return rows;
}

QString keyOf(const Primitive &t)
{
    return t.source + u'\x1f' + t.text + u'\x1f' + QString::number(std::lround(t.rect.x() * 10));
}

// The pages of a flowing report as one sheet: page numbers left out everywhere, and on later
// pages the leading rows that repeat page 1's headers (the same components printing the same
// texts in the same places, shifted alike). `repeated` gets page 1's texts that later pages
// repeat.
std::vector<SheetPage> continuousPages(const PageModel &model, std::set<const Primitive *> &repeated)
{
    const int n = model.pageCount();
    std::set<const Primitive *> pageNumbers;
    if (n > 1) {
        for (const Primitive *first : model.pages[0].texts()) {
            const QString pattern = withoutPageNumber(first->text, 1);
            if (pattern.isNull())
                continue;
            std::vector<const Primitive *> found{first};
            for (int p = 1; p < n && int(found.size()) == p; ++p)
                for (const Primitive *t : model.pages[size_t(p)].texts())
                    if (t->source == first->source && std::abs(t->rect.x() - first->rect.x()) < kSamePlace &&
                        std::abs(t->rect.y() - first->rect.y()) < kSamePlace &&
                        withoutPageNumber(t->text, p + 1) == pattern) {
                        found.push_back(t);
                        break;
                    }
            if (int(found.size()) == n)
                pageNumbers.insert(found.begin(), found.end());
        }
    }
    // Page 1's header components print once or a few lines a page; detail fields print on every row.
    QHash<QString, std::vector<const Primitive *>> onFirst;
    QHash<QString, int> printsOnFirst;
    for (const Primitive *t : model.pages[0].texts()) {
        onFirst[keyOf(*t)].push_back(t);
        ++printsOnFirst[t->source];
    }
    std::vector<SheetPage> pages(static_cast<size_t>(n));
    for (int p = 0; p < n; ++p) {
        const Page &page = model.pages[size_t(p)];
        SheetPage &out = pages[size_t(p)];
        for (const Primitive *t : page.texts())
            if (!t->text.isEmpty() && !pageNumbers.count(t))
                out.texts.push_back(t);
        std::sort(out.texts.begin(), out.texts.end(), byPosition);
        double headerBottom = -1;
        if (p > 0) {
            std::optional<double> dy;
            std::set<const Primitive *> skip;
            for (const auto &row : rowsOf(out.texts)) {
                std::vector<const Primitive *> matched;
                for (const Primitive *t : row) {
                    const auto it = onFirst.constFind(keyOf(*t));
                    if (it == onFirst.cend() || printsOnFirst.value(t->source) > 4)
                        break;
                    const auto f = std::find_if(it->cbegin(), it->cend(), [&](const Primitive *f) {
                        return !dy || std::abs(*dy - (t->rect.y() - f->rect.y())) < kSamePlace;
                    });
                    if (f == it->cend())
                        break;
                    dy = t->rect.y() - (*f)->rect.y();
                    matched.push_back(*f);
                }
                if (matched.size() != row.size())
                    break;
                for (const Primitive *t : row) {
                    skip.insert(t);
                    headerBottom = std::max(headerBottom, t->rect.bottom());
                }
                if (p == 1)
                    repeated.insert(matched.begin(), matched.end());
            }
            std::erase_if(out.texts, [&](const Primitive *t) { return skip.count(t) > 0; });
        }
        for (const Primitive &item : page.items)
            if (item.kind != Primitive::Kind::Text &&
                std::max(item.rect.top(), item.rect.bottom()) > headerBottom + 1.5)
                addRules(item, out.v, out.h);
    }
    return pages;
}

SheetPage wholePage(const Page &page)
{
    SheetPage out;
    for (const Primitive *t : page.texts())
        if (!t->text.isEmpty())
            out.texts.push_back(t);
    std::sort(out.texts.begin(), out.texts.end(), byPosition);
    for (const Primitive &item : page.items)
        addRules(item, out.v, out.h);
    return out;
}

// The rules a text stands between, or its own box where no rule frames it.
std::pair<double, double> spanOf(const Primitive &t, const std::vector<VRule> &v, bool *framed)
{
    const double middle = t.rect.center().y();
    std::optional<double> left, right;
    for (const VRule &r : v) {
        if (middle < r.y1 || middle > r.y2)
            continue;
        if (r.x <= t.rect.left() + kInset && (!left || r.x > *left))
            left = r.x;
        if (r.x >= t.rect.right() - kInset && (!right || r.x < *right))
            right = r.x;
    }
    *framed = left && right;
    return *framed ? std::pair(*left, *right) : std::pair(t.rect.left(), t.rect.right());
}

int nearest(const std::vector<double> &edges, double x)
{
    const auto it = std::lower_bound(edges.begin(), edges.end(), x);
    if (it == edges.end())
        return int(edges.size()) - 1;
    if (it != edges.begin() && x - *(it - 1) < *it - x)
        return int(it - edges.begin()) - 1;
    return int(it - edges.begin());
}

// Column edges: the rules that frame a text (a rule framing none, such as the outer line of a
// double frame, makes no column) and the edges of texts no rule frames, each weighed by the texts
// that stand on it. Edges within kCollapse are one; of edges closer than kNarrowest (no column
// that narrow holds a printed character) the one more texts stand on is kept: the table's rules
// win over the approval box's beside them.
std::vector<double> columnEdges(const std::vector<SheetPage> &pages)
{
    std::vector<std::pair<double, int>> edges; // x, weight
    for (const SheetPage &page : pages)
        for (const Primitive *t : page.texts) {
            bool framed = false;
            const auto [l, r] = spanOf(*t, page.v, &framed);
            edges.emplace_back(l, framed ? 2 : 1);
            edges.emplace_back(r, framed ? 2 : 1);
        }
    std::sort(edges.begin(), edges.end());
    std::vector<std::pair<double, int>> merged;
    for (size_t i = 0; i < edges.size();) {
        std::pair<double, int> heaviest = edges[i];
        int weight = 0;
        size_t j = i;
        for (; j < edges.size() && edges[j].first - edges[i].first < kCollapse; ++j) {
            weight += edges[j].second;
            if (edges[j].second > heaviest.second)
                heaviest = edges[j];
        }
        merged.emplace_back(heaviest.first, weight);
        i = j;
    }
    std::stable_sort(merged.begin(), merged.end(), [](const auto &a, const auto &b) { return a.second > b.second; });
    std::vector<double> kept;
    for (const auto &[x, weight] : merged)
        if (std::none_of(kept.cbegin(), kept.cend(), [x = x](double k) { return std::abs(k - x) < kNarrowest; }))
            kept.push_back(x);
    std::sort(kept.begin(), kept.end());
    return kept;
}

// A label with a wide gap of spaces printed over a text that fits in the gap ("(        )" over
// an identifier): the cell shows the text between the label's two parts.
bool surround(GridCell &cell, const Primitive &first, const Primitive &second)
{
    static const QRegularExpression gap(QStringLiteral(" {3,}"));
    if (!cell.before.isEmpty() || !cell.after.isEmpty())
        return false;
    for (const auto &[label, inner] : {std::pair(&first, &second), std::pair(&second, &first)}) {
        const QRegularExpressionMatch m = gap.match(label->text);
        if (!m.hasMatch() || inner->rect.left() < label->rect.left() - kInset ||
            inner->rect.right() > label->rect.right() + kInset)
            continue;
        cell.before = label->text.left(m.capturedStart()).trimmed();
        cell.after = label->text.mid(m.capturedEnd()).trimmed();
        cell.text = inner->text;
        cell.align = inner->align;
        return true;
    }
    return false;
}

GridSheet gridOf(const PageModel &model, const std::vector<SheetPage> &pages,
                 const std::set<const Primitive *> &repeated)
{
    GridSheet sheet;
    sheet.paper = model.pages.front().size;
    sheet.columns = columnEdges(pages);
    const int ncols = std::max(1, int(sheet.columns.size()) - 1);
    if (sheet.columns.size() < 2)
        sheet.columns = {0, model.pages.front().size.width()};
    std::vector<std::vector<std::pair<double, double>>> vAt(sheet.columns.size());
    int rowNo = 0;
    for (const SheetPage &page : pages) {
        for (auto &a : vAt)
            a.clear();
        for (const VRule &r : page.v) {
            const int b = nearest(sheet.columns, r.x);
            if (std::abs(sheet.columns[size_t(b)] - r.x) < kCollapse)
                vAt[size_t(b)].emplace_back(r.y1, r.y2);
        }
        std::vector<HRule> h = page.h;
        std::sort(h.begin(), h.end(), [](const HRule &a, const HRule &b) { return a.y < b.y; });
        const auto vHit = [&](int b, double y) {
            return std::any_of(vAt[size_t(b)].cbegin(), vAt[size_t(b)].cend(),
                               [&](const auto &r) { return r.first - 0.3 <= y && y <= r.second + 0.3; });
        };
        const auto hHit = [&](double lo, double hi, double x) {
            auto it = std::lower_bound(h.cbegin(), h.cend(), lo, [](const HRule &r, double y) { return r.y < y; });
            for (; it != h.cend() && it->y <= hi; ++it)
                if (it->x1 - 0.5 <= x && x <= it->x2 + 0.5)
                    return true;
            return false;
        };
        const auto rows = rowsOf(page.texts);
        for (size_t r = 0; r < rows.size(); ++r, ++rowNo) {
            const auto &row = rows[r];
            double top = row.front()->rect.y(), bottom = 0, lineHeight = 0;
            for (const Primitive *t : row) {
                top = std::min(top, t->rect.y());
                bottom = std::max(bottom, t->rect.bottom());
                lineHeight = std::max(lineHeight, t->rect.height());
                if (repeated.count(t)) {
                    if (sheet.repeatFirst < 0)
                        sheet.repeatFirst = rowNo;
                    sheet.repeatLast = rowNo;
                }
            }
            if (rowNo == 0)
                sheet.top = top;
            const double above = r > 0 ? rows[r - 1].front()->rect.bottom() : top - 3;
            const double below = r + 1 < rows.size() ? rows[r + 1].front()->rect.y() : bottom + 3;
            sheet.rowHeights.push_back(r + 1 < rows.size() ? std::clamp(below - top, 0.9 * lineHeight, 2 * lineHeight)
                                                           : 1.2 * lineHeight);
            const double middle = (top + bottom) / 2;
            const auto bordersOf = [&](int c0, int c1) {
                const double x = (sheet.columns[size_t(c0)] + sheet.columns[size_t(c1) + 1]) / 2;
                quint8 b = 0;
                if (vHit(c0, middle))
                    b |= GridCell::Left;
                if (vHit(c1 + 1, middle))
                    b |= GridCell::Right;
                if (hHit(std::min(above, top), top + kReach, x))
                    b |= GridCell::Top;
                if (hHit(bottom - kReach, std::max(below, bottom), x))
                    b |= GridCell::Bottom;
                return b;
            };
            std::vector<int> owner(size_t(ncols), -1);
            std::vector<GridCell> cells;
            std::vector<const Primitive *> sources; // of the cells with text
            std::vector<const Primitive *> byX(row);
            std::sort(byX.begin(), byX.end(), [](auto *a, auto *b) { return a->rect.x() < b->rect.x(); });
            for (const Primitive *t : byX) {
                bool framed = false;
                const auto [l, rr] = spanOf(*t, page.v, &framed);
                int c0 = std::min(nearest(sheet.columns, l), ncols - 1);
                int c1 = std::max(c0, std::min(nearest(sheet.columns, rr) - 1, ncols - 1));
                if (owner[size_t(c0)] >= 0) {
                    const size_t k = size_t(owner[size_t(c0)]);
                    if (!surround(cells[k], *sources[k], *t)) // else two texts in one cell, read left to right
                        cells[k].text += u' ' + t->text;
                    continue;
                }
                for (int c = c0 + 1; c <= c1; ++c)
                    if (owner[size_t(c)] >= 0) {
                        c1 = c - 1;
                        break;
                    }
                for (int c = c0; c <= c1; ++c)
                    owner[size_t(c)] = int(cells.size());
                cells.push_back({rowNo, c0, c1, t->text, t->font, t->align, bordersOf(c0, c1), {}, {}});
                sources.push_back(t);
            }
            for (int c = 0; c < ncols; ++c)
                if (owner[size_t(c)] < 0)
                    if (const quint8 b = bordersOf(c, c))
                        cells.push_back({rowNo, c, c, {}, -1, {}, b, {}, {}});
            std::sort(cells.begin(), cells.end(), [](const GridCell &a, const GridCell &b) { return a.col < b.col; });
            sheet.cells.insert(sheet.cells.end(), cells.begin(), cells.end());
        }
    }
    return sheet;
}

} // namespace

std::vector<GridSheet> sheetGrids(const PageModel &model)
{
    std::vector<GridSheet> sheets;
    if (model.pages.empty())
        return sheets;
    if (model.pagesAreForms) {
        for (const Page &page : model.pages)
            sheets.push_back(gridOf(model, {wholePage(page)}, {}));
        return sheets;
    }
    std::set<const Primitive *> repeated;
    const std::vector<SheetPage> pages = continuousPages(model, repeated);
    sheets.push_back(gridOf(model, pages, repeated));
    return sheets;
}

CellValue cellValue(const QString &printed)
{
    static const QRegularExpression whole(QStringLiteral("^-?(0|[1-9][0-9]{0,14})$"));
    static const QRegularExpression grouped(QStringLiteral("^-?[1-9][0-9]{0,2}(,[0-9]{3}){1,4}$"));
    static const QRegularExpression decimal(QStringLiteral("^-?(0|[1-9][0-9]{0,12})?\\.([0-9]{1,6})$"));
    static const QRegularExpression percent(QStringLiteral("^-?(0|[1-9][0-9]{0,12})?(\\.([0-9]{1,6}))?%$"));
    const QString text = printed.trimmed();
    CellValue v;
    if (text.isEmpty() || text.size() > 24)
        return v;
    if (whole.match(text).hasMatch()) {
        // A day key printed as eight digits stays a day.
        if (text.size() == 8 && QDate::fromString(text, QStringLiteral("yyyyMMdd")).isValid())
            return v;
        v.number = true;
        v.value = text.toDouble();
    } else if (grouped.match(text).hasMatch()) {
        v.number = true;
        v.value = QString(text).remove(u',').toDouble();
        v.format = "#,##0";
    } else if (const QRegularExpressionMatch m = decimal.match(text); m.hasMatch()) {
        v.number = true;
        v.value = text.toDouble();
        // Oracle prints fractions without the leading zero; so does the format.
        v.format =
            (m.captured(1).isEmpty() ? QByteArray("#.") : QByteArray("0.")) + QByteArray(m.capturedLength(2), '0');
    } else if (const QRegularExpressionMatch m = percent.match(text);
               m.hasMatch() && m.capturedLength(1) + m.capturedLength(3) > 0) {
        v.number = true;
        // To 15 digits, as printed: 0.7 / 100 is 0.006999999999999999 in binary.
        v.value = QString::number(text.chopped(1).toDouble() / 100, 'g', 15).toDouble();
        const QByteArray whole = m.captured(1).isEmpty() ? QByteArray("#") : QByteArray("0");
        v.format = whole + (m.capturedLength(3) > 0 ? '.' + QByteArray(m.capturedLength(3), '0') : QByteArray()) + '%';
    }
    return v;
}

} // namespace tipdesk::report
