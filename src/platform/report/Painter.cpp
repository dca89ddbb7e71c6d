#include "platform/report/Painter.h"
#include "platform/report/Allocator.h"
#include "platform/report/Fonts.h"
#include "platform/report/Layout.h"

#include <QGlyphRun>
#include <QHash>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextLayout>

namespace tipdesk::report {

// Single lines of text shaped once for the device and kept while a document is drawn: a report
// repeats its names, labels and figures on every page, and shaping is most of the cost of text.
class ShapedLines {
public:
    struct Line {
        QList<QGlyphRun> runs;
        qreal width = 0;
        qreal height = 0;
    };

    const Line &get(const QFont &font, int fontIndex, const QString &text, QPaintDevice *device)
    {
        const auto key = std::make_pair(fontIndex, text);
        if (auto it = m_lines.constFind(key); it != m_lines.cend())
            return it.value();
        Line line;
        QTextLayout layout(text, font, device);
        QTextOption option;
        option.setWrapMode(QTextOption::NoWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        QTextLine l = layout.createLine();
        layout.endLayout();
        if (l.isValid()) {
            line.width = l.naturalTextWidth();
            line.height = l.height();
        }
        line.runs = layout.glyphRuns();
        return m_lines.insert(key, std::move(line)).value();
    }

private:
    QHash<std::pair<int, QString>, Line> m_lines;
};

namespace {

// The part of a line's box under characters [offset, offset + length), laid out as the line is
// drawn from `at`; the whole box where the line cannot be laid out.
QRectF markedPart(const QString &text, const QFont &font, QPaintDevice *device, QPointF at, const QRectF &box,
                  int offset, int length)
{
    QTextLayout layout(text, font, device);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid())
        return box;
    const qreal x1 = at.x() + line.cursorToX(offset);
    const qreal x2 = at.x() + line.cursorToX(offset + length);
    const QRectF part(QPointF(std::min(x1, x2), box.top()), QPointF(std::max(x1, x2), box.bottom()));
    return part.intersected(box).isEmpty() ? box : part.intersected(box);
}

void paintShaped(QPainter &painter, const PageModel &model, int index, double dpiX, double dpiY, QPointF origin,
                 ShapedLines &shaped, std::span<const Highlight> highlights = {})
{
    if (index < 0 || index >= model.pageCount())
        return;
    installFontSubstitutes();
    const Page &page = model.pages[size_t(index)];
    const double sx = dpiX / 25.4;
    const double sy = dpiY / 25.4;
    auto map = [&](QPointF p) { return QPointF(origin.x() + p.x() * sx, origin.y() + p.y() * sy); };
    auto mapRect = [&](const QRectF &r) { return QRectF(map(r.topLeft()), map(r.bottomRight())); };

    // Point sizes are resolved against the device; where the page is drawn at another scale (a
    // zoomed preview on a screen) the fonts follow it.
    const double fontScale = painter.device() ? dpiY / painter.device()->logicalDpiY() : 1.0;
    std::vector<QFont> fonts;
    fonts.reserve(model.fonts.size());
    for (const PageFont &f : model.fonts) {
        QFont font(f.family);
        font.setPointSizeF(f.pointSize * fontScale);
        font.setBold(f.bold);
        font.setItalic(f.italic);
        font.setUnderline(f.underline);
        fonts.push_back(font);
    }
    QPen pen(Qt::black);
    painter.save();
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    for (size_t item = 0; item < page.items.size(); ++item) {
        const Primitive &p = page.items[item];
        switch (p.kind) {
        case Primitive::Kind::Text: {
            const QRectF box = mapRect(p.rect);
            const ShapedLines::Line &line = shaped.get(fonts[size_t(p.font)], p.font, p.text, painter.device());
            QPointF at = box.topLeft();
            if (p.align & Qt::AlignRight)
                at.rx() += box.width() - line.width;
            else if (p.align & Qt::AlignHCenter)
                at.rx() += (box.width() - line.width) / 2;
            for (const Highlight &h : highlights)
                if (h.item == int(item))
                    painter.fillRect(
                        markedPart(p.text, fonts[size_t(p.font)], painter.device(), at, box, h.offset, h.length),
                        h.color);
            // Glyphs take only the pen's colour. A pen is set only where what it draws changes:
            // on a PDF every change of pen costs more than the line or text drawn with it.
            if (pen.color() != p.color || pen.style() == Qt::NoPen) {
                pen = QPen(p.color);
                painter.setPen(pen);
            }
            // A line wider or taller than its box is cut at the box, as text drawn into a
            // rectangle always was.
            const bool clip = line.width > box.width() + 0.5 || line.height > box.height() + 0.5;
            if (clip) {
                painter.save();
                painter.setClipRect(box, Qt::IntersectClip);
            }
            for (const QGlyphRun &run : line.runs)
                painter.drawGlyphRun(at, run);
            if (p.font >= 0 && fonts[size_t(p.font)].underline() && !line.runs.isEmpty()) {
                // Glyph runs carry no decoration: the underline is drawn as the text layout would.
                const QFontMetricsF fm(fonts[size_t(p.font)], painter.device());
                const qreal y = at.y() + fm.ascent() + fm.underlinePos();
                painter.save();
                painter.setPen(QPen(p.color, fm.lineWidth()));
                painter.drawLine(QPointF(at.x(), y), QPointF(at.x() + line.width, y));
                painter.restore();
            }
            if (clip)
                painter.restore();
            break;
        }
        case Primitive::Kind::Line: {
            const QPen linePen(p.color, std::max(1.0, p.penWidth * sx), p.penStyle, Qt::SquareCap);
            if (linePen != pen) {
                pen = linePen;
                painter.setPen(pen);
            }
            painter.drawLine(map(p.p1()), map(p.p2()));
            break;
        }
        case Primitive::Kind::Rect: {
            if (p.penStyle == Qt::NoPen || p.penWidth <= 0)
                pen = QPen(Qt::NoPen);
            else
                pen = QPen(p.color, std::max(1.0, p.penWidth * sx), p.penStyle, Qt::SquareCap, Qt::MiterJoin);
            painter.setPen(pen);
            painter.setBrush(p.fill.isValid() ? QBrush(p.fill) : QBrush(Qt::NoBrush));
            painter.drawRect(mapRect(p.rect));
            painter.setBrush(Qt::NoBrush);
            break;
        }
        }
    }
    painter.restore();
}

} // namespace

void paintPage(QPainter &painter, const PageModel &model, int index, double dpiX, double dpiY, QPointF origin,
               std::span<const Highlight> highlights)
{
    ShapedLines shaped;
    paintShaped(painter, model, index, dpiX, dpiY, origin, shaped, highlights);
}

DocumentPainter::DocumentPainter() : m_shaped(std::make_unique<ShapedLines>())
{
}

DocumentPainter::~DocumentPainter() = default;

void DocumentPainter::paintPage(QPainter &painter, const PageModel &model, int index, double dpiX, double dpiY,
                                QPointF origin, std::span<const Highlight> highlights)
{
    paintShaped(painter, model, index, dpiX, dpiY, origin, *m_shaped, highlights);
}

namespace {

QPageLayout pageLayoutFor(const Page &page)
{
    const QPageSize size(page.size, QPageSize::Millimeter);
    return QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

} // namespace

void writePdf(const PageModel &model, const QString &path)
{
    if (model.pageCount() == 0)
        throw ReportError(QStringLiteral("인쇄할 페이지가 없습니다."));
    keepFreedMemory();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw ReportError(QStringLiteral("%1 에 저장할 수 없습니다: %2").arg(path, file.errorString()));
    {
        QPdfWriter writer(&file);
        writer.setTitle(model.title);
        writer.setCreator(QStringLiteral("tipdesk"));
        writer.setResolution(1200);
        writer.setPageLayout(pageLayoutFor(model.pages.front()));
        QPainter painter;
        if (!painter.begin(&writer))
            throw ReportError(QStringLiteral("%1 에 PDF 를 쓸 수 없습니다.").arg(path));
        ShapedLines shaped;
        for (int i = 0; i < model.pageCount(); ++i) {
            if (i > 0) {
                writer.setPageLayout(pageLayoutFor(model.pages[size_t(i)]));
                writer.newPage();
            }
            paintShaped(painter, model, i, writer.resolution(), writer.resolution(), {}, shaped);
        }
        painter.end();
    }
    if (!file.commit())
        throw ReportError(QStringLiteral("%1 에 저장할 수 없습니다: %2").arg(path, file.errorString()));
}

QImage renderPage(const PageModel &model, int index, double dpi)
{
    if (index < 0 || index >= model.pageCount())
        throw ReportError(QStringLiteral("%1 페이지가 없습니다.").arg(index + 1));
    const QSizeF mm = model.pages[size_t(index)].size;
    QImage image(int(std::lround(mm.width() * dpi / 25.4)), int(std::lround(mm.height() * dpi / 25.4)),
                 QImage::Format_RGB32);
    image.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
    image.setDotsPerMeterY(int(std::lround(dpi / 0.0254)));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintPage(painter, model, index, dpi, dpi);
    return image;
}

void writePng(const PageModel &model, int index, const QString &path, double dpi)
{
    const QImage image = renderPage(model, index, dpi);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
        throw ReportError(QStringLiteral("%1 에 저장할 수 없습니다: %2").arg(path, file.errorString()));
}

QPageLayout paperFor(const QSizeF &size)
{
    const bool landscape = size.width() > size.height();
    // Named by its portrait size, so that A4 turned sideways is still A4 to the printer.
    const QPageSize paper(landscape ? size.transposed() : size, QPageSize::Millimeter);
    return QPageLayout(paper, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(),
                       QPageLayout::Millimeter);
}

double fitScale(const QSizeF &size, const QSizeF &paper)
{
    constexpr double kTolerance = 0.5; // mm: paper sizes are rounded to points
    if (size.isEmpty() || paper.isEmpty() ||
        (size.width() <= paper.width() + kTolerance && size.height() <= paper.height() + kTolerance))
        return 1.0;
    return std::min(paper.width() / size.width(), paper.height() / size.height());
}

} // namespace tipdesk::report
