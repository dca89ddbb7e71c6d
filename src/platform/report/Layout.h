#pragma once

// The layout model of a banded report: the report's settings, its bands and their items, kept
// under their component names. Layouts are JSON files in the resources (src/reports/<family>/);
// docs/report-layouts.md describes the format. Lengths are held in 0.1 mm, as the page metrics
// are read in the end-of-page handlers; the files write them in millimetres.

#include <QColor>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
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
    // A parameter that switches the item: unless it is true, a text prints empty and a shape's
    // pen is white (the approval box's delegated-approval stamp).
    QString blankUnless;

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

// A query of the layout: its statement lines as the central server takes them. A statement that
// is composed at run time marks the place of the period with {PERIOD} and keeps its order clauses
// as named alternatives, one of which becomes the last line.
struct QueryDef {
    QString name;
    QString databaseName = QStringLiteral("commonDB");
    QStringList sql;
    std::vector<std::pair<QString, QString>> orderBy; // name, line; in file order
    // Parameters the request does not give take the values of another query of the layout,
    // opened before this one: a field named by "Fields", or else the field of the parameter's
    // own name. A missing row or a null value binds 0.
    struct ParamSource {
        QString query;
        bool integer = false;           // "Type": "Integer" or "Float"
        QHash<QString, QString> fields; // parameter (upper-cased) → field
    };
    std::optional<ParamSource> paramsFrom;

    bool composed() const;
    QStringList orderNames() const;
    // The lines with the period literal in place and the named order line appended; throws
    // ReportError for an order name the query does not have.
    QStringList compose(const QString &periodLiteral, const QString &order) const;
};
inline const QString kPeriodMarker = QStringLiteral("{PERIOD}");

// The register page frame drawn at the end of every page: a thick outline from the column
// header's top edge to the bottom margin, and the outline of every rule shape listed, over the
// same height. The title band counts on page 1 only.
struct PageFrame {
    QString handler; // the report's OnEndPage
    QString titleBand;
    QString pageHeaderBand;
    QStringList ruleShapes;
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
    std::optional<PageFrame> pageFrame;
    QStringList parameters;           // the Param.NAME the layout reads
    QHash<QString, QString> handlers; // handler name → a named handler of the engine (Formatters.h)
    std::vector<QueryDef> queries;
    std::vector<std::unique_ptr<Band>> bands; // in file order
    std::vector<std::unique_ptr<Item>> items; // placed on the report, outside any band

    int bandWidth() const { return pageWidth - leftMargin - rightMargin; }
    Band *band(const QString &name) const;
    Item *item(const QString &name) const; // in any band or on the report
    std::vector<Item *> allItems() const;
    const QueryDef *query(const QString &name) const;
};

// One object of a layout file, read strictly: every key must be asked for before finish(), and
// errors name the file and the place.
class LayoutObject {
public:
    LayoutObject(const QJsonObject &o, QString where, QString source);

    [[noreturn]] void fail(const QString &what) const;
    bool has(const QString &key) const;
    QJsonValue value(const QString &key) const;
    QString str(const QString &key, const QString &def = QString()) const;
    bool flag(const QString &key, bool def) const;
    double number(const QString &key, double def) const;
    // Millimetres in the file, 0.1 mm in the model.
    int tenths(const QString &key, int def) const;
    QJsonObject objectValue(const QString &key) const;
    LayoutObject object(const QString &key) const;
    QJsonArray array(const QString &key) const;
    QStringList strings(const QString &key) const;
    std::vector<int> tenthsList(const QString &key) const;
    template <typename E>
    E choice(const QString &key, E def, std::initializer_list<std::pair<const char *, E>> names) const
    {
        if (!has(key))
            return def;
        const QString s = str(key);
        for (const auto &[n, e] : names)
            if (s == QLatin1String(n))
                return e;
        fail(QStringLiteral("속성 %1 의 값 \"%2\" 을(를) 알 수 없습니다").arg(key, s));
    }
    void finish() const; // refuses keys nobody asked for

    const QJsonObject &json() const { return m_o; }
    const QString &where() const { return m_where; }
    const QString &source() const { return m_source; }

private:
    QJsonObject m_o;
    QString m_where;
    QString m_source;
    mutable QSet<QString> m_seen;
};

// Furniture that layouts place as one item of a class of its own (an approval box, an hour
// grid) and that stands for a set of ordinary items. The expander reads the item's object and
// returns the items, positioned from the band's (or paper's) corner and named as they print.
using ConstructExpander = std::function<std::vector<std::unique_ptr<Item>>(const LayoutObject &item)>;
void registerConstruct(const QString &className, ConstructExpander expander);
bool isConstruct(const QString &className);

// A set of bands that layouts place as one entry of "Bands" with a class of its own (a table
// whose column header, detail and summary bands share their columns). The expander reads the
// entry and returns the band objects it stands for, written as the file would write them; they
// are then read like any other band.
using BandConstructExpander = std::function<QJsonArray(const LayoutObject &entry)>;
void registerBandConstruct(const QString &className, BandConstructExpander expander);

// Parses a layout file. Refuses, with a clear error naming the place, unknown properties,
// classes, band types, enumeration values, duplicate names and dangling references; nothing is
// half-loaded. Handler names are checked by the form that wires them (ReportForm).
//
// A file may extend another one ("Extends": "Base.json", found beside it): it takes the base's
// bands and settings, adds or replaces queries by name, overrides the top-level settings it
// gives, and sets label captions through "Captions": {"QRLabel1": "..."}.
std::unique_ptr<Layout> parseLayout(const QByteArray &json, const QString &source);
std::unique_ptr<Layout> loadLayout(const QString &path); // a file or a ":/reports/..." resource
// Only the queries of a layout file (its base's included), without reading its bands: for tools
// and tests that run the statements.
std::vector<QueryDef> loadLayoutQueries(const QString &path);
// The path of a layout stem in the program's resources: ":/reports/<stem>.json".
QString layoutPath(const QString &stem);

} // namespace tipdesk::report
