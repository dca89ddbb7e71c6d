#pragma once

// The page canvas handed to a report's end-of-page handler. It works in device units of the
// output the report is prepared for (RenderOptions::canvasDpi): positions given in 0.1 mm from the
// paper edge are converted to rounded device coordinates, less the unprintable offset, and pen
// widths are device pixels, so a printed line's thickness follows the device's resolution. What
// is drawn lands in the page model like everything else. The brush is hollow.

#include "platform/report/PageModel.h"

#include <QColor>
#include <QString>

namespace tipdesk::report {

class PageCanvas {
public:
    PageCanvas(PageModel &model, Page &page, int pageNumber, double dpi, QPoint offsetDevice = {});

    int pageNumber() const { return m_pageNumber; }
    double dpi() const { return m_dpi; }
    int toDeviceX(int tenthsMm) const;
    int toDeviceY(int tenthsMm) const;

    void setPen(const QColor &color, int widthPx, Qt::PenStyle style = Qt::SolidLine);
    void setPenWidth(int widthPx) { m_penWidth = widthPx; }
    void setBrush(const QColor &fill) { m_fill = fill; } // invalid = hollow
    void setTextAlign(Qt::Alignment a) { m_align = a; }
    void setFont(const PageFont &font) { m_font = font; }

    // Device coordinates.
    void rectangle(int left, int top, int right, int bottom);
    void line(int x1, int y1, int x2, int y2);
    void textOut(int x, int y, const QString &text);

private:
    double toMm(int device) const;

    PageModel &m_model;
    Page &m_page;
    int m_pageNumber;
    double m_dpi;
    QPoint m_offset;
    QColor m_color = Qt::black;
    int m_penWidth = 1;
    Qt::PenStyle m_style = Qt::SolidLine;
    QColor m_fill;
    Qt::Alignment m_align = Qt::AlignLeft | Qt::AlignTop;
    PageFont m_font{QStringLiteral("굴림"), 10.0};
};

} // namespace tipdesk::report
