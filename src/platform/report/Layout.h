#pragma once

// The layout model of a banded report: the report's settings, its bands and their items, kept
// under their component names. Layouts are JSON files in the resources (resources/reports/);
// docs/report-layouts.md describes the format. Lengths are held in 0.1 mm, as the page metrics
// are read in the end-of-page handlers; the files write them in millimetres.

#include <QColor>
#include <QString>
#include <QStringList>
#include <exception>
#include <memory>
#include <vector>

namespace tipdesk::report {

// The one error type of the report engine: a layout refused at load, an unknown component, an
// expression that cannot be evaluated, an output that cannot be written.
class ReportError : public std::exception {
public:
    explicit ReportError(QString text) : m_text(std::move(text)), m_utf8(m_text.toUtf8()) {}
    const QString &text() const { return m_text; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_text;
    QByteArray m_utf8;
};

enum class BandType { PageHeader, Title, ColumnHeader, Detail, Summary, PageFooter, Child, Group };
enum class ItemClass { Label, DBText, Expr, SysData, Shape };
enum class Alignment { Left, Center, Right };
enum class SysDataKind { Date, Time, DateTime, PageNumber, DetailNo, ReportTitle };
enum class ShapeKind { Rectangle, VertLine, HorLine, TopAndBottom, RightAndLeft, Circle };

struct FontSpec {
    QString name = QStringLiteral("굴림");
    double size = 10.0; // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    QColor color = Qt::black;
    bool operator==(const FontSpec &) const = default;
};

// Frame lines of a band or an item; the width is in pixels as the layout was drawn (96 dpi).
struct FrameSpec {
    bool drawTop = false;
    bool drawBottom = false;
    bool drawLeft = false;
    bool drawRight = false;
    QColor color = Qt::black;
    int width = 1;
    bool any() const { return drawTop || drawBottom || drawLeft || drawRight; }
};

// A shape's pen; the width is in pixels as the layout was drawn (96 dpi).
struct PenSpec {
    QColor color = Qt::black;
    int width = 1;
    Qt::PenStyle style = Qt::SolidLine;
};

class Band;

class Item {
public:
    QString name;
    ItemClass itemClass = ItemClass::Label;
    int left = 0; // 0.1 mm from the band's left edge (or the paper's, for items on the report)
    int top = 0;
    int width = 0;
    int height = 0;
    FontSpec font;
    bool parentFont = true; // takes the report's font unless the layout gives one
    Alignment alignment = Alignment::Left;
    bool autoSize = false;
    bool wordWrap = false;
    bool enabled = true;
    FrameSpec frame;
    QColor color; // background; invalid = transparent

    QString caption;    // TQRLabel
    QString dataSet;    // TQRDBText: a named query; empty = the report's data set
    QString dataField;  // TQRDBText
    QString expression; // TQRExpr
    SysDataKind sysData = SysDataKind::Date;
    QString text; // TQRSysData: printed before the value
    ShapeKind shape = ShapeKind::Rectangle;
    PenSpec pen;
    QColor brush; // TQRShape fill; invalid = hollow

    QString onPrint; // handler name, wired by the form

    Band *band = nullptr; // nullptr for items placed on the report

    void setCaption(const QString &c) { caption = c; }
};

class Band {
public:
    QString name;
    BandType type = BandType::Detail;
    int height = 0; // 0.1 mm
    FrameSpec frame;
    bool forceNewPage = false;
    bool enabled = true;
    QString parentBand;  // TQRChildBand
    QString expression;  // TQRGroup
    QString master;      // TQRGroup
    QString beforePrint; // handler name
    std::vector<std::unique_ptr<Item>> items;

    Item *item(const QString &name) const;
    Item &addItem(std::unique_ptr<Item> item);
};

struct QueryDef {
    QString name;
    QString databaseName = QStringLiteral("commonDB");
    QStringList sql;
};

class Layout {
public:
    QString name;   // the report component, e.g. QReSheet
    QString source; // where it was loaded from, for error texts
    QString paperSize = QStringLiteral("A4");
    bool landscape = false;
    int pageWidth = 2100; // 0.1 mm, after orientation
    int pageLength = 2970;
    int topMargin = 100;
    int bottomMargin = 100;
    int leftMargin = 100;
    int rightMargin = 100;
    bool firstPageHeader = false;
    bool lastPageFooter = false;
    bool printIfEmpty = true;
    QString reportTitle;
    QString dataSet;
    FontSpec font;
    QString beforePrint; // handler names
    QString onEndPage;
    std::vector<QueryDef> queries;
    std::vector<std::unique_ptr<Band>> bands; // in file order
    std::vector<std::unique_ptr<Item>> items; // placed on the report, outside any band

    int bandWidth() const { return pageWidth - leftMargin - rightMargin; }
    Band *band(const QString &name) const;
    Item *item(const QString &name) const; // in any band or on the report
    std::vector<Item *> allItems() const;
};

// Parses a layout file. Refuses, with a clear error naming the place, unknown properties,
// classes, band types, enumeration values, duplicate names and dangling references; nothing is
// half-loaded. Handler names are checked by the form that wires them (ReportForm).
std::unique_ptr<Layout> parseLayout(const QByteArray &json, const QString &source);
std::unique_ptr<Layout> loadLayout(const QString &path); // a file or a ":/reports/..." resource

} // namespace tipdesk::report
