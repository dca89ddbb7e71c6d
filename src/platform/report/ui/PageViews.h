#pragma once

// The pages of the preview, drawn straight from the page model at the current zoom.

#include "platform/report/PageModel.h"
#include "platform/report/Painter.h"

#include <QWidget>
#include <memory>
#include <vector>

namespace tipdesk::report {

class PageSearch;

// The zoom steps: two that fit the window (the whole page, the page's width), then percentages,
// through which Ctrl+wheel, Ctrl+= and Ctrl+- move.
inline constexpr int kFitSteps = 2;
inline constexpr int kZoomPercents[] = {25, 50, 75, 100, 125, 150, 200, 300, 400};
// The resolution a page of `mm` is drawn at in zoom step `step`, in a viewport of `viewport` px on
// a screen of `screenDpi`.
double zoomDpi(int step, const QSizeF &mm, const QSize &viewport, double screenDpi);

// The widget inside the preview's scroll area: the current page alone, or in continuous mode
// every page one under another. Only pages meeting the exposed area are painted, so a long report
// scrolls as fast as a short one.
class PageView : public QWidget {
public:
    explicit PageView(QWidget *parent);

    double dpi() const { return m_dpi; }
    bool continuous() const { return m_continuous; }
    // Lays out the first `pages` pages of `model` (nullptr: one blank sheet) at `dpi`: page
    // `current` alone, or all of them when continuous.
    void show(const PageModel *model, int pages, int current, double dpi, bool continuous);
    // The model's content changed under the same address: shaped lines are no longer valid.
    void forgetShapes();
    // The hits to mark (nullptr: none) and the current one, an index into its hits.
    void setSearch(const PageSearch *search, int currentHit);

    // A page's sheet in this widget's coordinates; the page laid out for an index not shown.
    QRect pageRect(int index) const;
    // The page whose sheet holds (or is nearest above) widget row y.
    int pageAt(int y) const;
    // A rectangle in millimetres on a page, in this widget's coordinates.
    QRect mmRect(int page, const QRectF &mm) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSize sheetSize(int index) const;

    const PageModel *m_model = nullptr;
    int m_first = 0; // the page laid out at m_tops[0]
    std::vector<int> m_tops;
    double m_dpi = 96;
    bool m_continuous = false;
    const PageSearch *m_search = nullptr;
    int m_currentHit = -1;
    // Shaping holds for one model at one zoom.
    std::unique_ptr<DocumentPainter> m_painter;
    int m_painted = 0;
};

} // namespace tipdesk::report
