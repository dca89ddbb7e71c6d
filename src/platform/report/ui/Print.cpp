#include "platform/report/ui/Print.h"
#include "platform/report/Allocator.h"
#include "platform/report/Layout.h"
#include "platform/report/Painter.h"

#include <QFile>
#include <QPainter>
#include <QPrinter>

#include <filesystem>

namespace tipdesk::report {

namespace {

void printPages(const PageModel &model, QPrinter &printer, int from, int to)
{
    QPainter painter;
    if (!painter.begin(&printer))
        throw ReportError(QStringLiteral("프린터를 열 수 없습니다. 프린터가 연결되어 있고 켜져 있는지 확인하십시오."));
    const QSizeF paper = printer.pageLayout().fullRect(QPageLayout::Millimeter).size();
    DocumentPainter pages;
    for (int i = from - 1; i < to; ++i) {
        if (i > from - 1 && !printer.newPage())
            break;
        const QSizeF size = model.pages[size_t(i)].size;
        const double scale = fitScale(size, paper);
        const QPointF originMm = scale < 1 ? QPointF((paper.width() - size.width() * scale) / 2,
                                                     (paper.height() - size.height() * scale) / 2)
                                           : QPointF();
        const double dpiX = printer.logicalDpiX();
        const double dpiY = printer.logicalDpiY();
        pages.paintPage(painter, model, i, dpiX * scale, dpiY * scale,
                        QPointF(originMm.x() * dpiX / 25.4, originMm.y() * dpiY / 25.4));
    }
    painter.end();
    if (printer.printerState() == QPrinter::Error || printer.printerState() == QPrinter::Aborted)
        throw ReportError(
            QStringLiteral("프린터가 인쇄 작업을 받지 않았습니다. 프린터 상태를 확인한 뒤 다시 인쇄하십시오."));
}

} // namespace

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
    keepFreedMemory();
    const QString target = printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : QString();
    if (target.isEmpty()) {
        printPages(model, printer, from, to);
        return;
    }
    // Printed to a file: written beside it first, so a failure leaves nothing half-written there.
    const QString partial = target + QStringLiteral(".part");
    QFile::remove(partial);
    printer.setOutputFileName(partial);
    try {
        printPages(model, printer, from, to);
    } catch (...) {
        printer.setOutputFileName(target);
        QFile::remove(partial);
        throw;
    }
    printer.setOutputFileName(target);
    // Replaces a file of that name in one step: it is never gone while the new one is not there.
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(partial).toStdString(), QFile::encodeName(target).toStdString(), error);
    if (error) {
        QFile::remove(partial);
        throw ReportError(
            QStringLiteral("%1 에 인쇄할 수 없습니다: %2").arg(target, QString::fromStdString(error.message())));
    }
}

} // namespace tipdesk::report
