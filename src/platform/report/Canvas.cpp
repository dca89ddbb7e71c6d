#include "platform/report/Canvas.h"

#include <cmath>

namespace tipdesk::report {

PageCanvas::PageCanvas(PageModel &model, Page &page, int pageNumber, double dpi, QPoint offsetDevice)
    : m_model(model), m_page(page), m_pageNumber(pageNumber), m_dpi(dpi), m_offset(offsetDevice)
{
}

int PageCanvas::toDeviceX(int tenthsMm) const
{
    return int(std::lround(tenthsMm * m_dpi / 254.0)) - m_offset.x();
}

int PageCanvas::toDeviceY(int tenthsMm) const
{
    return int(std::lround(tenthsMm * m_dpi / 254.0)) - m_offset.y();
}

double PageCanvas::toMm(int device) const
{
    return device * 25.4 / m_dpi;
}

void PageCanvas::setPen(const QColor &color, int widthPx, Qt::PenStyle style)
{
    m_color = color;
    m_penWidth = widthPx;
    m_style = style;
}

void PageCanvas::rectangle(int left, int top, int right, int bottom)
{
    Primitive p;
    p.kind = Primitive::Kind::Rect;
    p.rect = QRectF(QPointF(toMm(left + m_offset.x()), toMm(top + m_offset.y())),
                    QPointF(toMm(right + m_offset.x()), toMm(bottom + m_offset.y())));
    p.penWidth = toMm(std::max(1, m_penWidth));
    p.penStyle = m_style;
    p.color = m_color;
    p.fill = m_fill;
    p.source = QStringLiteral("OnEndPage");
    m_page.items.push_back(std::move(p));
}

void PageCanvas::line(int x1, int y1, int x2, int y2)
{
    Primitive p;
    p.kind = Primitive::Kind::Line;
    p.rect = QRectF(QPointF(toMm(x1 + m_offset.x()), toMm(y1 + m_offset.y())),
                    QPointF(toMm(x2 + m_offset.x()), toMm(y2 + m_offset.y())));
    p.penWidth = toMm(std::max(1, m_penWidth));
    p.penStyle = m_style;
    p.color = m_color;
    p.source = QStringLiteral("OnEndPage");
    m_page.items.push_back(std::move(p));
}

void PageCanvas::textOut(int x, int y, const QString &text)
{
    Primitive p;
    p.kind = Primitive::Kind::Text;
    // A text box from the point to the right paper edge; alignment is applied within it.
    const double xm = toMm(x + m_offset.x());
    const double ym = toMm(y + m_offset.y());
    const double h = m_font.pointSize * 25.4 / 72.0 * 1.2;
    p.rect = QRectF(xm, ym, std::max(1.0, m_page.size.width() - xm), h);
    p.text = text;
    p.font = m_model.fontIndex(m_font);
    p.align = m_align & Qt::AlignHorizontal_Mask;
    p.color = m_color;
    p.source = QStringLiteral("OnEndPage");
    m_page.items.push_back(std::move(p));
}

} // namespace tipdesk::report
