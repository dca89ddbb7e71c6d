#include "platform/report/Renderer.h"
#include "platform/db/Clock.h"
#include "platform/db/DbError.h"
#include "platform/db/Query.h"
#include "platform/report/Allocator.h"
#include "platform/report/Expression.h"
#include "platform/report/Fonts.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace tipdesk::report {

namespace {

constexpr double kMeasureDpi = 1200; // text is measured as the PDF writer lays it out
constexpr double kDesignDpi = 96;    // pen and frame widths are pixels as the layouts were drawn

double mm(int tenths)
{
    return tenths / 10.0;
}

double designPx(int px)
{
    return std::max(1, px) * 25.4 / kDesignDpi;
}

QPaintDevice *measureDevice()
{
    static QImage image = [] {
        QImage i(1, 1, QImage::Format_Mono);
        i.setDotsPerMeterX(int(std::lround(kMeasureDpi / 0.0254)));
        i.setDotsPerMeterY(int(std::lround(kMeasureDpi / 0.0254)));
        return i;
    }();
    return &image;
}

struct MeasuredFont {
    QFont font;
    QFontMetricsF metrics;
    double lineHeight;                          // mm, one line's box
    double lineStep;                            // mm, from one wrapped line to the next
    int index;                                  // in the page model
    mutable QHash<QString, double> widths = {}; // of the values measured in it, px: figures recur row after row
};

// Wrapped lines step down by the font's own line spacing, never closer than this many times its
// size: glyphs of lines set one size apart touch, and the last one runs into the row's rule.
constexpr double kMinLeading = 1.15;
// A text too wide for its field shrinks no further than this (or its own size, if smaller);
// past it, it wraps inside its field. Smaller print is not read on paper.
constexpr double kTextFloorPt = 8.0;

double pointsToMm(double pt)
{
    return pt * 25.4 / 72.0;
}

// A value that reads as a figure: digits with their signs, separators and units (counts, shares,
// dates, times). A figure never wraps: cut into lines, it reads as two numbers.
bool isFigure(const QString &text)
{
    bool digit = false;
    for (const QChar c : text) {
        if (c.isDigit())
            digit = true;
        else if (!QStringView(u" +-.,:/%()").contains(c))
            return false;
    }
    return digit;
}

// The text lines of an item as they will be placed.
struct Prepared {
    Item *item;
    QStringList lines; // empty for shapes
    double width;      // mm, after AutoSize
    double leftShift;  // mm, AutoSize moving a right or centred item
    const MeasuredFont *font = nullptr;
    bool late = false;  // page number: known only once the band is placed
    bool wraps = false; // word-wrapped, or a text wider than its field at the smallest size

    double linesHeight() const { return lines.size() * font->lineStep; }
};

} // namespace

class RendererState {
public:
    RendererState(ReportForm &f, const RenderOptions &o) : form(f), layout(f.layout()), options(o)
    {
        installFontSubstitutes();
        keepFreedMemory();
        model.title = layout.reportTitle;
        for (const auto &b : layout.bands) {
            switch (b->type) {
            case BandType::PageHeader:
                pageHeaders.push_back(b.get());
                break;
            case BandType::Title:
                titles.push_back(b.get());
                break;
            case BandType::ColumnHeader:
                columnHeaders.push_back(b.get());
                break;
            case BandType::Detail:
                details.push_back(b.get());
                break;
            case BandType::Summary:
                summaries.push_back(b.get());
                break;
            case BandType::PageFooter:
                footers.push_back(b.get());
                break;
            case BandType::Group:
                groups.push_back({b.get(), {}, false});
                break;
            case BandType::Child:
                children.insert(b->parentBand.toUpper(), b.get());
                break;
            }
        }
        for (Item *i : layout.allItems())
            if (i->itemClass == ItemClass::Expr)
                expressions.emplace(i, Expression::parse(i->expression));
        for (auto &g : groups)
            groupExpressions.emplace(g.band, Expression::parse(g.band->expression));
        model.pagesAreForms = details.empty() && pageHeaders.empty();
        footerHeight = 0;
        for (Band *b : footers)
            footerHeight += mm(b->height);
        today = db::Clock::now();
    }

    void begin()
    {
        begun = true;
        if (const ReportBeforePrint *h = form.reportBeforePrintHandler()) {
            bool print = true;
            (*h)(form, print);
            if (!print) {
                phase = Phase::Done;
                return;
            }
        }
        if (!layout.dataSet.isEmpty()) {
            data = form.findQuery(layout.dataSet);
            if (!data)
                throw ReportError(QStringLiteral("보고서 %1 의 DataSet \"%2\" 을(를) 찾을 수 없습니다")
                                      .arg(layout.name, layout.dataSet));
            if (!data->active())
                data->open();
            data->first();
            totalRecords = data->recordCount();
            if (data->isEmpty() && !layout.printIfEmpty) {
                phase = Phase::Done;
                return;
            }
        }
        startPage();
        phase = Phase::Records;
    }

    bool step()
    {
        if (!begun)
            begin();
        switch (phase) {
        case Phase::Records:
            if (data) {
                if (data->eof()) {
                    phase = Phase::Summary;
                    break;
                }
                record();
                data->next();
            } else {
                record(); // a report without a data set prints its detail once
                phase = Phase::Summary;
            }
            break;
        case Phase::Summary:
            for (Band *b : summaries)
                printBand(b);
            finishPage(true);
            phase = Phase::Done;
            break;
        case Phase::Done:
            break;
        }
        return phase != Phase::Done;
    }

    // ---- records ----

    void record()
    {
        ++recordsDone;
        bool reset = false;
        for (auto &g : groups) {
            const QString v = db::Field::displayText(groupExpressions.at(g.band).evaluate(resolver()));
            if (reset || !g.seen || v != g.value) {
                g.value = v;
                g.seen = true;
                reset = true; // an outer group change restarts the inner ones
                printBand(g.band);
            }
        }
        ++detailNo;
        for (Band *b : details)
            printBand(b, true);
    }

    Expression::Resolver resolver()
    {
        return [this](const QString &queryName, const QString &field) -> std::optional<QVariant> {
            if (queryName.compare(QLatin1String("Param"), Qt::CaseInsensitive) == 0)
                return form.parameter(field);
            db::Query *q = queryName.isEmpty() ? data : form.findQuery(queryName);
            if (!q)
                throw ReportError(QStringLiteral("보고서 %1: 쿼리 \"%2\" 을(를) 찾을 수 없습니다")
                                      .arg(layout.name, queryName.isEmpty() ? QStringLiteral("DataSet") : queryName));
            if (q->isEmpty())
                return std::nullopt;
            const int index = q->fieldIndex(field);
            if (index < 0)
                throw ReportError(QStringLiteral("보고서 %1: 필드 \"%2\" 이(가) 쿼리 %3 에 없습니다")
                                      .arg(layout.name, field, q->objectName()));
            return q->field(index).value();
        };
    }

    // ---- bands ----

    const MeasuredFont &measured(const Item &item)
    {
        // Every row asks again for the same items' fonts.
        if (const auto known = itemFonts.find(&item); known != itemFonts.end())
            return *known->second;
        const MeasuredFont &font = measuredFont(item);
        itemFonts.emplace(&item, &font);
        return font;
    }

    const MeasuredFont &measuredFont(const Item &item)
    {
        const FontSpec &f = item.parentFont ? layout.font : item.font;
        return measuredFont(f, f.size);
    }

    const MeasuredFont &measuredFont(const FontSpec &f, double size)
    {
        const QString key =
            QStringLiteral("%1|%2|%3%4%5").arg(f.name).arg(size).arg(f.bold).arg(f.italic).arg(f.underline);
        auto it = fonts.find(key);
        if (it == fonts.end()) {
            QFont font(f.name);
            font.setPointSizeF(size);
            font.setBold(f.bold);
            font.setItalic(f.italic);
            font.setUnderline(f.underline);
            QFontMetricsF fm(font, measureDevice());
            const int index = model.fontIndex(PageFont{f.name, size, f.bold, f.italic, f.underline});
            const double height = fm.height() * 25.4 / kMeasureDpi;
            const double step = std::max(fm.lineSpacing() * 25.4 / kMeasureDpi, kMinLeading * pointsToMm(size));
            it = fonts.emplace(key, std::make_unique<MeasuredFont>(MeasuredFont{font, fm, height, step, index})).first;
        }
        return *it->second;
    }

    QString sysText(const Item &i)
    {
        switch (i.sysData) {
        case SysDataKind::Date:
            return today.date().toString(QStringLiteral("yyyy-MM-dd"));
        case SysDataKind::Time:
            return today.time().toString(QStringLiteral("HH:mm:ss"));
        case SysDataKind::DateTime:
            return today.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        case SysDataKind::PageNumber:
            return QString::number(pageNo);
        case SysDataKind::DetailNo:
            return QString::number(detailNo);
        case SysDataKind::ReportTitle:
            return layout.reportTitle;
        }
        return {};
    }

    // An item switched by a parameter (the approval box's stamp) prints blank unless it is true.
    bool blanked(const Item &i) const { return !i.blankUnless.isEmpty() && !form.parameter(i.blankUnless).toBool(); }

    QString valueOf(const Item &i)
    {
        QString v;
        switch (i.itemClass) {
        case ItemClass::Label:
            v = i.caption;
            break;
        case ItemClass::DBText: {
            db::Query *q = i.dataSet.isEmpty() ? data : form.findQuery(i.dataSet);
            if (!q)
                throw ReportError(QStringLiteral("보고서 %1: 항목 %2 의 DataSet \"%3\" 을(를) 찾을 수 없습니다")
                                      .arg(layout.name, i.name, i.dataSet.isEmpty() ? layout.dataSet : i.dataSet));
            if (!q->isEmpty()) {
                // A field keeps its place in the result while the report is built; a query a
                // handler reopened with other columns is looked up again.
                int &index = fieldIndexes.try_emplace(std::make_pair(&i, q), -1).first->second;
                if (index < 0 || index >= q->fieldCount() ||
                    q->result().columns[index].compare(i.dataField, Qt::CaseInsensitive) != 0)
                    index = q->fieldIndex(i.dataField);
                if (index < 0)
                    throw ReportError(QStringLiteral("보고서 %1: 항목 %2 의 필드 \"%3\" 이(가) 없습니다")
                                          .arg(layout.name, i.name, i.dataField));
                v = q->field(index).asString();
            }
            break;
        }
        case ItemClass::Expr:
            v = db::Field::displayText(expressions.at(&i).evaluate(resolver()));
            break;
        case ItemClass::SysData:
            v = i.text + sysText(i);
            break;
        case ItemClass::Shape:
            break;
        }
        if (!i.onPrint.isEmpty())
            if (const ItemPrint *h = form.itemHandler(i.onPrint))
                (*h)(i, v);
        if (blanked(i))
            v.clear();
        return v;
    }

    QStringList wrap(const QString &text, const MeasuredFont &f, double widthMm)
    {
        QStringList out;
        for (const QString &para : text.split(u'\n')) {
            QString p = para;
            if (p.endsWith(u'\r'))
                p.chop(1);
            if (p.isEmpty()) {
                out << QString();
                continue;
            }
            QTextLayout tl(p, f.font, measureDevice());
            QTextOption opt;
            opt.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            tl.setTextOption(opt);
            tl.beginLayout();
            // A little narrower than the box, so hinting on a coarse screen cannot push the last
            // character past the edge.
            const double widthPx = std::max(1.0, (widthMm - 0.2) * kMeasureDpi / 25.4);
            for (QTextLine line = tl.createLine(); line.isValid(); line = tl.createLine()) {
                line.setLineWidth(widthPx);
                out << p.mid(line.textStart(), line.textLength()).trimmed();
            }
            tl.endLayout();
        }
        return out;
    }

    // The vertical rules a band's shapes draw, in 0.1 mm from its left edge.
    struct Rule {
        int x, top, bottom;
    };
    const std::vector<Rule> &rulesOf(const std::vector<std::unique_ptr<Item>> &items)
    {
        auto [it, added] = bandRules.try_emplace(&items);
        if (added)
            for (const auto &i : items) {
                if (i->itemClass != ItemClass::Shape || !i->enabled)
                    continue;
                const int top = i->top, bottom = i->top + i->height;
                if (i->shape == ShapeKind::VertLine)
                    it->second.push_back({i->left + i->width / 2, top, bottom});
                if (i->shape == ShapeKind::RightAndLeft || i->shape == ShapeKind::Rectangle) {
                    it->second.push_back({i->left, top, bottom});
                    it->second.push_back({i->left + i->width, top, bottom});
                }
            }
        return it->second;
    }

    // A value never reaches across a rule of its band: a box drawn a little over one ends at it.
    // (A centred value keeps its box: its centre is where the layout put it.)
    static void keepOffRules(Prepared &p, const std::vector<Rule> &rules)
    {
        constexpr int kNear = 10; // 1 mm: a rule further inside divides the box on purpose
        const Item &i = *p.item;
        int left = i.left, right = i.left + i.width;
        for (const Rule &r : rules) {
            if (r.x <= left || r.x >= right || r.bottom <= i.top || r.top >= i.top + i.height)
                continue;
            if (right - r.x <= kNear)
                right = r.x;
            else if (r.x - left <= kNear)
                left = r.x;
        }
        p.leftShift = mm(left - i.left);
        p.width = mm(right - left);
    }

    // Prepares a band's items; returns the band's height in mm.
    double prepare(const std::vector<std::unique_ptr<Item>> &items, double designHeight, std::vector<Prepared> &out)
    {
        out.clear();
        const std::vector<Rule> &rules = rulesOf(items);
        for (const auto &ptr : items) {
            Item &i = *ptr;
            if (!i.enabled)
                continue;
            Prepared p{&i, {}, mm(i.width), 0};
            if (i.itemClass != ItemClass::Shape) {
                if (!rules.empty() && !i.autoSize && i.alignment != Alignment::Center &&
                    (i.itemClass == ItemClass::DBText || i.itemClass == ItemClass::Expr))
                    keepOffRules(p, rules);
                p.font = &measured(i);
                if (i.itemClass == ItemClass::SysData && i.sysData == SysDataKind::PageNumber) {
                    p.late = true;
                } else {
                    const QString v = valueOf(i);
                    p.wraps = i.wordWrap;
                    p.lines = i.wordWrap ? wrap(v, *p.font, p.width) : QStringList{v};
                }
                if (i.autoSize && !i.wordWrap && !p.late)
                    autoSize(p);
                else if (!i.wordWrap && (i.itemClass == ItemClass::DBText || i.itemClass == ItemClass::Expr))
                    fitValue(p);
            }
            out.push_back(std::move(p));
        }
        return grownHeight(out, designHeight);
    }

    // A value wider than its box prints in a smaller size of its font rather than cut at the box:
    // a figure cut to its last digits reads as another number, so a figure shrinks as far as it
    // must. A text shrinks down to the floor and past it wraps inside its box, growing the band.
    // Captions keep their size.
    void fitValue(Prepared &p)
    {
        const QString &text = p.lines.value(0);
        const double boxPx = p.width * kMeasureDpi / 25.4;
        if (text.isEmpty() || text.size() * p.font->metrics.maxWidth() <= boxPx)
            return; // fits whatever its characters (most values: no measuring)
        auto known = p.font->widths.find(text);
        if (known == p.font->widths.end())
            known = p.font->widths.insert(text, p.font->metrics.horizontalAdvance(text));
        const double widthPx = *known;
        if (widthPx <= boxPx)
            return;
        const FontSpec &f = p.item->parentFont ? layout.font : p.item->font;
        // Half points, a little under the exact ratio, so the device's hinting cannot push it over.
        const double size = std::max(1.0, std::floor(f.size * boxPx / widthPx * 0.97 * 2) / 2);
        const double floor = std::min(f.size, kTextFloorPt);
        if (size >= floor || isFigure(text)) {
            p.font = &measuredFont(f, size);
            return;
        }
        p.font = &measuredFont(f, floor);
        p.lines = wrap(text, *p.font, p.width);
        p.wraps = p.lines.size() > 1;
    }

    void autoSize(Prepared &p)
    {
        const double w = p.font->metrics.horizontalAdvance(p.lines.value(0)) * 25.4 / kMeasureDpi;
        const double design = mm(p.item->width);
        p.width = w;
        if (p.item->alignment == Alignment::Right)
            p.leftShift = design - w;
        else if (p.item->alignment == Alignment::Center)
            p.leftShift = (design - w) / 2;
    }

    void emitLine(QPointF a, QPointF b, double pen, const QColor &color, Qt::PenStyle style, const QString &src)
    {
        Primitive p;
        p.kind = Primitive::Kind::Line;
        p.rect = QRectF(a, b);
        p.penWidth = pen;
        p.color = color;
        p.penStyle = style;
        p.source = src;
        page().items.push_back(std::move(p));
    }

    void emitFrame(const FrameSpec &f, const QRectF &r, const QString &src)
    {
        if (!f.any())
            return;
        const double w = designPx(f.width);
        if (f.drawTop)
            emitLine(r.topLeft(), r.topRight(), w, f.color, Qt::SolidLine, src);
        if (f.drawBottom)
            emitLine(r.bottomLeft(), r.bottomRight(), w, f.color, Qt::SolidLine, src);
        if (f.drawLeft)
            emitLine(r.topLeft(), r.bottomLeft(), w, f.color, Qt::SolidLine, src);
        if (f.drawRight)
            emitLine(r.topRight(), r.bottomRight(), w, f.color, Qt::SolidLine, src);
    }

    void emitShape(const Item &i, const QRectF &r)
    {
        const double w = designPx(i.pen.width);
        const QColor c = blanked(i) ? QColor(0xFF, 0xFF, 0xFF) : i.pen.color;
        const Qt::PenStyle s = i.pen.style;
        switch (i.shape) {
        case ShapeKind::Rectangle:
        case ShapeKind::Circle: {
            Primitive p;
            p.kind = Primitive::Kind::Rect;
            p.rect = r;
            p.penWidth = s == Qt::NoPen ? 0 : w;
            p.penStyle = s;
            p.color = c;
            p.fill = i.brush;
            p.source = i.name;
            page().items.push_back(std::move(p));
            break;
        }
        case ShapeKind::VertLine:
            emitLine({r.center().x(), r.top()}, {r.center().x(), r.bottom()}, w, c, s, i.name);
            break;
        case ShapeKind::HorLine:
            emitLine({r.left(), r.center().y()}, {r.right(), r.center().y()}, w, c, s, i.name);
            break;
        case ShapeKind::TopAndBottom:
            emitLine(r.topLeft(), r.topRight(), w, c, s, i.name);
            emitLine(r.bottomLeft(), r.bottomRight(), w, c, s, i.name);
            break;
        case ShapeKind::RightAndLeft:
            emitLine(r.topLeft(), r.bottomLeft(), w, c, s, i.name);
            emitLine(r.topRight(), r.bottomRight(), w, c, s, i.name);
            break;
        }
    }

    // Places prepared items with the band's (or paper's) top-left corner at origin.
    void emitItems(std::vector<Prepared> &items, QPointF origin, double designHeight, double height)
    {
        const double growth = height - designHeight;
        for (Prepared &p : items) {
            Item &i = *p.item;
            if (p.late) {
                p.lines = QStringList{valueOf(i)};
                if (i.autoSize)
                    autoSize(p);
            }
            const double x = origin.x() + mm(i.left) + p.leftShift;
            const double y = origin.y() + mm(i.top);
            if (i.itemClass == ItemClass::Shape) {
                // Shapes reaching the band's foot (the column rules) grow with the band.
                double h = mm(i.height);
                if (growth > 0 && i.top + i.height >= int(std::lround(designHeight * 10)) - 1)
                    h += growth;
                emitShape(i, QRectF(x, y, mm(i.width), h));
                continue;
            }
            const double lineH = p.font->lineHeight;
            const double boxH = p.wraps ? std::max(mm(i.height), p.linesHeight()) : mm(i.height);
            const QRectF box(x, y, p.width, boxH);
            if (i.color.isValid()) {
                Primitive bg;
                bg.kind = Primitive::Kind::Rect;
                bg.rect = box;
                bg.penStyle = Qt::NoPen;
                bg.fill = i.color;
                bg.source = i.name;
                page().items.push_back(std::move(bg));
            }
            const Qt::Alignment align = i.alignment == Alignment::Right    ? Qt::AlignRight
                                        : i.alignment == Alignment::Center ? Qt::AlignHCenter
                                                                           : Qt::AlignLeft;
            for (int k = 0; k < p.lines.size(); ++k) {
                if (p.lines[k].isEmpty())
                    continue;
                Primitive t;
                t.kind = Primitive::Kind::Text;
                t.rect = p.wraps ? QRectF(x, y + k * p.font->lineStep, p.width, lineH)
                                 : QRectF(x, y, p.width, std::max(boxH, lineH));
                t.text = p.lines[k];
                t.font = p.font->index;
                t.align = align;
                t.color = (i.parentFont ? layout.font : i.font).color;
                t.source = i.name;
                page().items.push_back(std::move(t));
            }
            emitFrame(i.frame, box, i.name);
        }
    }

    static bool wrapsOver(const Prepared &p) { return p.wraps && p.lines.size() > 1; }

    static bool carriesOver(const std::vector<Prepared> &items)
    {
        return std::any_of(items.begin(), items.end(), wrapsOver);
    }

    // The band's height for its items: one line fits the box as it was drawn; a text wrapped over
    // more lines grows its box and the band with it, keeping the padding drawn above and below.
    static double grownHeight(const std::vector<Prepared> &items, double design)
    {
        double height = design;
        for (const Prepared &p : items)
            if (wrapsOver(p))
                height = std::max(height, design + p.linesHeight() - mm(p.item->height));
        return height;
    }

    // Keeps in `items` what fits in `room` mm and returns what goes on the next page: the lines
    // of the word-wrapped texts that did not fit, and the shapes (the column rules), so the
    // continuation is ruled like its band. Every other item prints in the first part only.
    static std::vector<Prepared> splitAt(std::vector<Prepared> &items, double room)
    {
        std::vector<Prepared> rest;
        for (Prepared &p : items) {
            if (p.item->itemClass == ItemClass::Shape) {
                rest.push_back(p);
                continue;
            }
            if (!wrapsOver(p))
                continue;
            const double step = p.font->lineStep;
            const qsizetype fit = std::max<qsizetype>(1, qsizetype((room - mm(p.item->top)) / step + 1e-6));
            if (fit >= p.lines.size())
                continue;
            Prepared tail = p;
            tail.lines = p.lines.mid(fit);
            p.lines = p.lines.first(fit);
            rest.push_back(std::move(tail));
        }
        return rest;
    }

    bool fixedArea(const Band *b) const { return b->type == BandType::PageHeader || b->type == BandType::PageFooter; }

    void printBand(Band *b, bool detail = false)
    {
        if (!b->enabled)
            return;
        if (!b->beforePrint.isEmpty())
            if (const BandBeforePrint *h = form.bandHandler(b->beforePrint)) {
                bool print = true;
                (*h)(*b, print);
                if (!print)
                    return;
            }
        if (detail)
            for (auto &[item, expr] : expressions)
                if (expr.hasAggregate())
                    expr.accumulate(resolver());
        if (b->forceNewPage && contentOnPage) {
            finishPage(false);
            startPage();
        }
        std::vector<Prepared> items;
        const double design = mm(b->height);
        double height = prepare(b->items, design, items);
        if (!fixedArea(b) && y + height > limit() + 1e-6 && contentOnPage) {
            finishPage(false);
            startPage();
        }
        const double x0 = mm(layout.leftMargin);
        // A band taller than a whole page (a very long text) is carried over: the part that fits
        // fills the page, and its word-wrapped texts go on at the top of the next ones, so no
        // line is printed past the bottom margin.
        while (!fixedArea(b) && y + height > limit() + 1e-6 && carriesOver(items)) {
            const double room = limit() - y;
            std::vector<Prepared> rest = splitAt(items, room);
            emitItems(items, {x0, y}, design, room);
            emitFrame(b->frame, QRectF(x0, y, mm(layout.bandWidth()), room), b->name);
            finishPage(false);
            startPage();
            items = std::move(rest);
            height = grownHeight(items, design);
        }
        emitItems(items, {x0, y}, design, height);
        emitFrame(b->frame, QRectF(x0, y, mm(layout.bandWidth()), height), b->name);
        y += height;
        if (b->type != BandType::PageHeader && b->type != BandType::Title && b->type != BandType::ColumnHeader)
            contentOnPage = true;
        if (Band *child = children.value(b->name.toUpper()))
            printBand(child, false);
    }

    // ---- pages ----

    Page &page() { return model.pages.back(); }

    double limit() const { return mm(layout.pageLength - layout.bottomMargin) - footerHeight; }

    void startPage()
    {
        ++pageNo;
        form.setPageNumber(pageNo);
        Page p;
        p.size = QSizeF(mm(layout.pageWidth), mm(layout.pageLength));
        model.pages.push_back(std::move(p));
        y = mm(layout.topMargin);
        contentOnPage = false;
        if (pageNo > 1 || layout.firstPageHeader)
            for (Band *b : pageHeaders)
                printBand(b);
        if (pageNo == 1)
            for (Band *b : titles)
                printBand(b);
        for (Band *b : columnHeaders)
            printBand(b);
    }

    void finishPage(bool last)
    {
        if (!last || layout.lastPageFooter) {
            y = limit();
            for (Band *b : footers)
                printBand(b);
        }
        std::vector<Prepared> items;
        prepare(layout.items, 0, items);
        emitItems(items, {0, 0}, 0, 0);
        if (const EndPage *h = form.endPageHandler()) {
            PageCanvas canvas(model, page(), pageNo, options.canvasDpi, options.unprintableOffset);
            (*h)(form, canvas);
        }
        pagesDone = pageNo;
    }

    enum class Phase { Records, Summary, Done };
    struct GroupState {
        Band *band;
        QString value;
        bool seen;
    };

    ReportForm &form;
    const Layout &layout;
    RenderOptions options;
    PageModel model;
    Phase phase = Phase::Records;
    bool begun = false;
    db::Query *data = nullptr;
    int totalRecords = 0;
    int recordsDone = 0;
    int detailNo = 0;
    int pageNo = 0;
    int pagesDone = 0;
    double y = 0;
    double footerHeight = 0;
    bool contentOnPage = false;
    QDateTime today;
    std::vector<Band *> pageHeaders, titles, columnHeaders, details, summaries, footers;
    std::vector<GroupState> groups;
    QHash<QString, Band *> children;
    std::map<const Item *, Expression> expressions;
    std::map<Band *, Expression> groupExpressions;
    std::map<QString, std::unique_ptr<MeasuredFont>> fonts;
    std::map<const Item *, const MeasuredFont *> itemFonts;
    std::map<const std::vector<std::unique_ptr<Item>> *, std::vector<Rule>> bandRules;
    std::map<std::pair<const Item *, const db::Query *>, int> fieldIndexes;
};

Renderer::Renderer(ReportForm &form, const RenderOptions &options) : d(std::make_unique<RendererState>(form, options))
{
}

Renderer::~Renderer() = default;

bool Renderer::step()
{
    return d->step();
}

void Renderer::run()
{
    while (d->step()) {
    }
}

bool Renderer::finished() const
{
    return d->phase == RendererState::Phase::Done;
}

int Renderer::completedPages() const
{
    return d->pagesDone;
}

double Renderer::progress() const
{
    if (finished())
        return 1;
    return d->totalRecords > 0 ? double(d->recordsDone) / d->totalRecords : 0;
}

const PageModel &Renderer::model() const
{
    return d->model;
}

PageModel Renderer::takeModel()
{
    return std::move(d->model);
}

} // namespace tipdesk::report
