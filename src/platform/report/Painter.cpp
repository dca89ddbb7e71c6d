#include "platform/report/Painter.h"
#include "platform/report/Fonts.h"
#include "platform/report/Layout.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

namespace tipdesk::report {

void paintPage(QPainter &painter, const PageModel &model, int index, double dpiX, double dpiY, QPointF origin)
{
    if (index < 0 || index >= model.pageCount())
        return;
    installFontSubstitutes();
    const Page &page = model.pages[size_t(index)];
    const double sx = dpiX / 25.4;
    const double sy = dpiY / 25.4;
    auto map = [&](QPointF p) { return QPointF(origin.x() + p.x() * sx, origin.y() + p.y() * sy); };
    auto mapRect = [&](const QRectF &r) { return QRectF(map(r.topLeft()), map(r.bottomRight())); };

    std::vector<QFont> fonts;
    fonts.reserve(model.fonts.size());
    for (const PageFont &f : model.fonts) {
        QFont font(f.family);
        font.setPointSizeF(f.pointSize);
        font.setBold(f.bold);
        font.setItalic(f.italic);
        font.setUnderline(f.underline);
        fonts.push_back(font);
    }
    int currentFont = -1;
    painter.save();
    painter.setBrush(Qt::NoBrush);
    for (const Primitive &p : page.items) {
        switch (p.kind) {
        case Primitive::Kind::Text:
            if (p.font != currentFont) {
                // The font's point size is resolved against the device, so it needs no scaling.
                painter.setFont(fonts[size_t(p.font)]);
                currentFont = p.font;
            }
            painter.setPen(p.color);
            painter.drawText(mapRect(p.rect), int(p.align | Qt::AlignTop | Qt::TextSingleLine), p.text);
            break;
        case Primitive::Kind::Line: {
            QPen pen(p.color, std::max(1.0, p.penWidth * sx), p.penStyle, Qt::SquareCap);
            painter.setPen(pen);
            painter.drawLine(map(p.p1()), map(p.p2()));
            break;
        }
        case Primitive::Kind::Rect: {
            if (p.penStyle == Qt::NoPen || p.penWidth <= 0)
                painter.setPen(Qt::NoPen);
            else
                painter.setPen(QPen(p.color, std::max(1.0, p.penWidth * sx), p.penStyle, Qt::SquareCap, Qt::MiterJoin));
            painter.setBrush(p.fill.isValid() ? QBrush(p.fill) : QBrush(Qt::NoBrush));
            painter.drawRect(mapRect(p.rect));
            painter.setBrush(Qt::NoBrush);
            break;
        }
        }
    }
    painter.restore();
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
        for (int i = 0; i < model.pageCount(); ++i) {
            if (i > 0) {
                writer.setPageLayout(pageLayoutFor(model.pages[size_t(i)]));
                writer.newPage();
            }
            paintPage(painter, model, i, writer.resolution(), writer.resolution());
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

void printModel(const PageModel &model, QPrinter &printer)
{
    if (model.pageCount() == 0)
        return;
    int from = printer.fromPage() > 0 ? printer.fromPage() : 1;
    int to = printer.toPage() > 0 ? printer.toPage() : model.pageCount();
    from = std::max(1, from);
    to = std::min(model.pageCount(), to);
    if (from > to)
        return;
    printer.setFullPage(true);
    printer.setDocName(model.title);
    QPainter painter;
    if (!painter.begin(&printer))
        throw ReportError(QStringLiteral("프린터를 열 수 없습니다."));
    for (int i = from - 1; i < to; ++i) {
        if (i > from - 1)
            printer.newPage();
        paintPage(painter, model, i, printer.logicalDpiX(), printer.logicalDpiY());
    }
    painter.end();
}

} // namespace tipdesk::report
