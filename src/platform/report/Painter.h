#pragma once

// The one painter of the page model, and the outputs built on it.

#include "platform/report/PageModel.h"

#include <QImage>
#include <QPageLayout>

class QPainter;
class QPrinter;

namespace tipdesk::report {

// Draws page `index` with the paper's top-left corner at `origin` (device pixels), at dpiX/dpiY
// device pixels per inch.
void paintPage(QPainter &painter, const PageModel &model, int index, double dpiX, double dpiY, QPointF origin = {});

// PDF with embedded fonts and selectable text; written through a temporary file.
void writePdf(const PageModel &model, const QString &path);
// One page as an image at `dpi` on white paper.
QImage renderPage(const PageModel &model, int index, double dpi);
void writePng(const PageModel &model, int index, const QString &path, double dpi = 150);
// The paper a page of `size` mm is printed on as drawn: its own size (A4, Letter … where it is one)
// in its own orientation, without margins.
QPageLayout paperFor(const QSizeF &size);
// The factor a page of `size` mm is printed at on paper of `paper` mm: 1 where it fits, else the
// largest that fits it whole (the page is then centred on the paper).
double fitScale(const QSizeF &size, const QSizeF &paper);
// Prints the printer's page range (all when none) and copies, each page on the printer's paper as
// it is set, scaled down and centred where it does not fit. Throws ReportError in Korean when the
// printer refuses the job; printed to a file, nothing half-written is left under its name.
void printModel(const PageModel &model, QPrinter &printer);

} // namespace tipdesk::report
