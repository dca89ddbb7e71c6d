#pragma once

// The one painter of the page model, and the outputs built on it.

#include "platform/report/PageModel.h"

#include <QImage>

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
// Prints the printer's page range (all when none) and copies.
void printModel(const PageModel &model, QPrinter &printer);

} // namespace tipdesk::report
