#pragma once

// The prepared pages of a report: positioned text, lines and rectangles in millimetres from the
// paper's top-left corner. The renderer produces it knowing nothing of screens or printers; one
// painter (Painter.h) draws it onto every device, and dumpText() describes it for tests.

#include <QColor>
#include <QIODevice>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <vector>

namespace tipdesk::report {

struct PageFont {
    QString family; // as the layout names it; the platform substitutes (Fonts.h)
    double pointSize = 10.0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const PageFont &) const = default;
};

struct Primitive {
    enum class Kind : quint8 { Text, Line, Rect };
    Kind kind = Kind::Text;
    QRectF rect;         // mm; text box, rectangle, or a line from topLeft() to bottomRight()
    QString text;        // one line of text
    int font = -1;       // index into PageModel::fonts
    Qt::Alignment align; // horizontal alignment of the text in its box
    double penWidth = 0; // mm
    Qt::PenStyle penStyle = Qt::SolidLine;
    QColor color = Qt::black; // text or pen colour
    QColor fill;              // invalid = hollow
    QString source;           // the component that printed it (diagnostics and tests)

    QPointF p1() const { return rect.topLeft(); }
    QPointF p2() const { return rect.bottomRight(); }
};

struct Page {
    QSizeF size; // mm
    std::vector<Primitive> items;

    std::vector<const Primitive *> texts() const;
    QStringList textsOf(const QString &source) const; // texts printed by one component, in order
    bool contains(const QString &text) const;
};

class PageModel {
public:
    QString title;
    // Each page a complete form (a layout without detail band or page header): a workbook gives
    // every page a sheet of its own instead of one continuous sheet.
    bool pagesAreForms = false;
    std::vector<PageFont> fonts;
    std::vector<Page> pages;

    int pageCount() const { return int(pages.size()); }
    int fontIndex(const PageFont &f); // adds the font once

    // Writes and reads the saved-report format; load() throws ReportError on a foreign or
    // damaged file.
    void save(QIODevice &out) const;
    static PageModel load(QIODevice &in);
    void saveFile(const QString &path) const; // through a temporary file: nothing half-written
    static PageModel loadFile(const QString &path);
};

// One line per primitive, page by page, positions in millimetres:
//   page 1 210x297
//   text 1 QRLabel1 x=10 y=20 w=30 h=4.2 left 굴림 10 bold "교통정보 접수 대장"
//   line 1 QRShape3 x1=10 y1=20 x2=10 y2=40 pen=0.26 #000000
//   rect 1 QRShape1 x=10 y=20 w=80.7 h=21.7 pen=0.26 #000000
QString dumpText(const PageModel &model);
QString formatMm(double mm); // up to two decimals, trailing zeros dropped

} // namespace tipdesk::report
