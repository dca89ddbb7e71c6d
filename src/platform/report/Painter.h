#pragma once

// The one painter of the page model, and the outputs built on it.

#include "platform/report/PageModel.h"

#include <QImage>
#include <QPageLayout>
#include <memory>
#include <span>

class QPainter;

namespace tipdesk::report {

// Characters of one text primitive marked under the glyphs, as found text is in the preview.
struct Highlight {
    int item = -1; // index into the page's items
    int offset = 0;
    int length = 0;
    QColor color;
};

// Draws page `index` with the paper's top-left corner at `origin` (device pixels), at dpiX/dpiY
// device pixels per inch.
void paintPage(QPainter &painter, const PageModel &model, int index, double dpiX, double dpiY, QPointF origin = {},
               std::span<const Highlight> highlights = {});

class ShapedLines;

// Draws the pages of one document onto one device, shaping each line of text once for all of
// them: a report repeats its names, labels and figures on every page.
class DocumentPainter {
public:
    DocumentPainter();
    ~DocumentPainter();
    DocumentPainter(const DocumentPainter &) = delete;
    DocumentPainter &operator=(const DocumentPainter &) = delete;

    void paintPage(QPainter &painter, const PageModel &model, int index, double dpiX, double dpiY, QPointF origin = {},
                   std::span<const Highlight> highlights = {});

private:
    std::unique_ptr<ShapedLines> m_shaped;
};

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

} // namespace tipdesk::report
