#include "platform/report/ui/PageViews.h"
#include "platform/report/PageSearch.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

namespace tipdesk::report {

namespace {

constexpr int kGap = 8;          // px between sheets in continuous mode
constexpr int kPagesShaped = 64; // pages painted before their shaped lines are let go

} // namespace

double zoomDpi(int step, const QSizeF &mm, const QSize &viewport, double screenDpi)
{
    switch (step) {
    case 0:
        return std::min(viewport.width() / (mm.width() / 25.4), viewport.height() / (mm.height() / 25.4));
    case 1:
        return viewport.width() / (mm.width() / 25.4);
    default:
        return screenDpi * kZoomPercents[step - kFitSteps] / 100.0;
    }
}

PageView::PageView(QWidget *parent) : QWidget(parent), m_painter(std::make_unique<DocumentPainter>())
{
    // The scroll area's background shows between the sheets.
    setAutoFillBackground(false);
}

QSize PageView::sheetSize(int index) const
{
    const QSizeF mm =
        (m_model && index >= 0 && index < m_model->pageCount()) ? m_model->pages[size_t(index)].size : QSizeF(210, 297);
    return {int(mm.width() * m_dpi / 25.4) + 1, int(mm.height() * m_dpi / 25.4) + 1};
}

void PageView::show(const PageModel *model, int pages, int current, double dpi, bool continuous)
{
    if (model != m_model || dpi != m_dpi)
        forgetShapes();
    m_model = pages > 0 ? model : nullptr;
    m_dpi = dpi;
    m_continuous = continuous;
    m_first = continuous || !m_model ? 0 : current;
    const int count = continuous && m_model ? pages : 1;
    m_tops.resize(size_t(count));
    int width = 0;
    int y = 0;
    for (int i = 0; i < count; ++i) {
        m_tops[size_t(i)] = y;
        const QSize sheet = sheetSize(m_first + i);
        width = std::max(width, sheet.width());
        y += sheet.height() + (continuous ? kGap : 0);
    }
    setFixedSize(width, continuous ? y - kGap : y);
    update();
}

void PageView::forgetShapes()
{
    m_painted = 0;
    m_painter = std::make_unique<DocumentPainter>();
}

void PageView::setSearch(const PageSearch *search, int currentHit)
{
    m_search = search;
    m_currentHit = currentHit;
    update();
}

QRect PageView::pageRect(int index) const
{
    const int i = std::clamp(index - m_first, 0, int(m_tops.size()) - 1);
    const QSize sheet = sheetSize(m_first + i);
    return {QPoint((width() - sheet.width()) / 2, m_tops[size_t(i)]), sheet};
}

int PageView::pageAt(int y) const
{
    const auto it = std::upper_bound(m_tops.begin(), m_tops.end(), y);
    return m_first + std::max(0, int(it - m_tops.begin()) - 1);
}

QRect PageView::mmRect(int page, const QRectF &mm) const
{
    const QPoint origin = pageRect(page).topLeft();
    const double s = m_dpi / 25.4;
    return QRectF(origin + QPointF(mm.left() * s, mm.top() * s), mm.size() * s).toAlignedRect();
}

void PageView::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const int from = pageAt(event->rect().top());
    const int to = pageAt(event->rect().bottom());
    std::vector<Highlight> marks;
    for (int index = from; index <= to; ++index) {
        const QRect sheet = pageRect(index);
        if (!sheet.intersects(event->rect()))
            continue;
        p.fillRect(sheet, Qt::white);
        if (m_model) {
            marks.clear();
            if (m_search) {
                const auto [first, last] = m_search->hitsOn(index);
                for (int h = first; h < last; ++h) {
                    const SearchHit &hit = m_search->hits()[size_t(h)];
                    // Translucent, so the text stays legible under the mark.
                    marks.push_back({hit.item, hit.offset, hit.length,
                                     h == m_currentHit ? QColor(255, 140, 0, 150) : QColor(255, 230, 0, 110)});
                }
            }
            // Shapes are kept for the pages around; a long read through a report starts afresh now
            // and then rather than holding every line it has passed.
            if (++m_painted > kPagesShaped)
                forgetShapes();
            m_painter->paintPage(p, *m_model, index, m_dpi, m_dpi, sheet.topLeft(), marks);
        }
        p.setPen(Qt::darkGray);
        p.setBrush(Qt::NoBrush);
        p.drawRect(sheet.adjusted(0, 0, -1, -1));
    }
}

} // namespace tipdesk::report
