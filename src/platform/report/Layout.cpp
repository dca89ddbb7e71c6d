#include "platform/report/Layout.h"
#include "platform/report/Expression.h"
#include "platform/report/Formatters.h"
#include "platform/report/constructs/Furniture.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <cmath>

namespace tipdesk::report {

Item *Band::item(const QString &n) const
{
    for (const auto &i : items)
        if (i->name.compare(n, Qt::CaseInsensitive) == 0)
            return i.get();
    return nullptr;
}

Item &Band::addItem(std::unique_ptr<Item> i)
{
    i->band = this;
    items.push_back(std::move(i));
    return *items.back();
}

Band *Layout::band(const QString &n) const
{
    for (const auto &b : bands)
        if (b->name.compare(n, Qt::CaseInsensitive) == 0)
            return b.get();
    return nullptr;
}

Item *Layout::item(const QString &n) const
{
    for (const auto &b : bands)
        if (Item *i = b->item(n))
            return i;
    for (const auto &i : items)
        if (i->name.compare(n, Qt::CaseInsensitive) == 0)
            return i.get();
    return nullptr;
}

std::vector<Item *> Layout::allItems() const
{
    std::vector<Item *> out;
    for (const auto &b : bands)
        for (const auto &i : b->items)
            out.push_back(i.get());
    for (const auto &i : items)
        out.push_back(i.get());
    return out;
}

const QueryDef *Layout::query(const QString &n) const
{
    for (const QueryDef &q : queries)
        if (q.name.compare(n, Qt::CaseInsensitive) == 0)
            return &q;
    return nullptr;
}

bool QueryDef::composed() const
{
    return !orderBy.empty() || sql.join(u'\n').contains(kPeriodMarker);
}

QStringList QueryDef::orderNames() const
{
    QStringList names;
    for (const auto &[n, line] : orderBy)
        names << n;
    return names;
}

QStringList QueryDef::compose(const QString &periodLiteral, const QString &order) const
{
    QStringList lines;
    for (const QString &line : sql)
        lines << QString(line).replace(kPeriodMarker, periodLiteral);
    if (orderBy.empty() && order.isEmpty())
        return lines;
    for (const auto &[n, line] : orderBy)
        if (n == order) {
            lines << line;
            return lines;
        }
    throw ReportError(QStringLiteral("쿼리 %1 에 정렬 \"%2\" 이(가) 없습니다").arg(name, order));
}

LayoutObject::LayoutObject(const QJsonObject &o, QString where, QString source)
    : m_o(o), m_where(std::move(where)), m_source(std::move(source))
{
}

void LayoutObject::fail(const QString &what) const
{
    throw ReportError(QStringLiteral("보고서 양식 %1 (%2): %3").arg(m_source, m_where, what));
}

bool LayoutObject::has(const QString &k) const
{
    m_seen.insert(k);
    return m_o.contains(k);
}

QJsonValue LayoutObject::value(const QString &k) const
{
    m_seen.insert(k);
    return m_o.value(k);
}

QString LayoutObject::str(const QString &k, const QString &def) const
{
    if (!has(k))
        return def;
    const QJsonValue v = value(k);
    if (!v.isString())
        fail(QStringLiteral("속성 %1 은(는) 문자열이어야 합니다").arg(k));
    return v.toString();
}

bool LayoutObject::flag(const QString &k, bool def) const
{
    if (!has(k))
        return def;
    const QJsonValue v = value(k);
    if (!v.isBool())
        fail(QStringLiteral("속성 %1 은(는) true 또는 false 여야 합니다").arg(k));
    return v.toBool();
}

double LayoutObject::number(const QString &k, double def) const
{
    if (!has(k))
        return def;
    const QJsonValue v = value(k);
    if (!v.isDouble() || !std::isfinite(v.toDouble()))
        fail(QStringLiteral("속성 %1 은(는) 숫자여야 합니다").arg(k));
    return v.toDouble();
}

namespace {

int toTenths(const LayoutObject &o, const QString &k, double mm)
{
    if (mm < -10000 || mm > 10000)
        o.fail(QStringLiteral("속성 %1 의 값 %2 이(가) 범위를 벗어났습니다").arg(k).arg(mm));
    return int(std::lround(mm * 10));
}

} // namespace

int LayoutObject::tenths(const QString &k, int def) const
{
    if (!has(k))
        return def;
    return toTenths(*this, k, number(k, 0));
}

QJsonObject LayoutObject::objectValue(const QString &k) const
{
    const QJsonValue v = value(k);
    if (!v.isObject())
        fail(QStringLiteral("속성 %1 은(는) 객체여야 합니다").arg(k));
    return v.toObject();
}

LayoutObject LayoutObject::object(const QString &k) const
{
    return LayoutObject(objectValue(k), m_where + u'.' + k, m_source);
}

QJsonArray LayoutObject::array(const QString &k) const
{
    if (!has(k))
        return {};
    const QJsonValue v = value(k);
    if (!v.isArray())
        fail(QStringLiteral("속성 %1 은(는) 배열이어야 합니다").arg(k));
    return v.toArray();
}

QStringList LayoutObject::strings(const QString &k) const
{
    QStringList out;
    for (const QJsonValue &v : array(k)) {
        if (!v.isString())
            fail(QStringLiteral("속성 %1 의 값은 문자열이어야 합니다").arg(k));
        out << v.toString();
    }
    return out;
}

std::vector<int> LayoutObject::tenthsList(const QString &k) const
{
    std::vector<int> out;
    for (const QJsonValue &v : array(k)) {
        if (!v.isDouble() || !std::isfinite(v.toDouble()))
            fail(QStringLiteral("속성 %1 의 값은 숫자여야 합니다").arg(k));
        out.push_back(toTenths(*this, k, v.toDouble()));
    }
    return out;
}

void LayoutObject::finish() const
{
    for (auto it = m_o.begin(); it != m_o.end(); ++it)
        if (!m_seen.contains(it.key()))
            fail(QStringLiteral("알 수 없는 속성 \"%1\"").arg(it.key()));
}

namespace {

using Reader = LayoutObject;

QHash<QString, ConstructExpander> &constructs()
{
    static QHash<QString, ConstructExpander> c = common::ItemConstructs();
    return c;
}

QHash<QString, BandConstructExpander> &bandConstructs()
{
    static QHash<QString, BandConstructExpander> c = common::BandConstructs();
    return c;
}

// The "Bands" of a layout with every band construct replaced by the bands it stands for.
QJsonArray expandBandConstructs(const QJsonArray &bands, const QString &source)
{
    QJsonArray out;
    for (int i = 0; i < bands.size(); ++i) {
        const QJsonObject o = bands[i].toObject();
        const auto it = bandConstructs().constFind(o.value(QStringLiteral("Class")).toString());
        if (!bands[i].isObject() || it == bandConstructs().cend()) {
            out.append(bands[i]);
            continue;
        }
        const QString name = o.value(QStringLiteral("Name")).toString();
        const Reader n(o, name.isEmpty() ? QStringLiteral("Bands[%1]").arg(i) : name, source);
        n.str(QStringLiteral("Class"));
        n.str(QStringLiteral("Name"));
        for (const QJsonValue &band : (*it)(n))
            out.append(band);
        n.finish();
    }
    return out;
}

QColor parseColor(const Reader &r, const QString &key, const QColor &def)
{
    if (!r.has(key))
        return def;
    const QString s = r.str(key);
    static const std::pair<const char *, QRgb> named[] = {
        {"clBlack", 0x000000}, {"clWhite", 0xFFFFFF},  {"clRed", 0xFF0000},  {"clBlue", 0x0000FF},
        {"clGray", 0x808080},  {"clSilver", 0xC0C0C0}, {"clNavy", 0x000080}, {"clGreen", 0x008000}};
    for (const auto &[n, rgb] : named)
        if (s == QLatin1String(n))
            return QColor::fromRgb(rgb);
    if (s == QLatin1String("clNone"))
        return QColor();
    const QColor c = QColor::fromString(s);
    if (!s.startsWith(u'#') || !c.isValid())
        r.fail(QStringLiteral("속성 %1 의 색 \"%2\" 을(를) 알 수 없습니다").arg(key, s));
    return c;
}

FontSpec parseFont(const Reader &parent, const FontSpec &base)
{
    Reader r(parent.objectValue(QStringLiteral("Font")), parent.where() + QStringLiteral(".Font"), parent.source());
    FontSpec f = base;
    f.name = r.str(QStringLiteral("Name"), f.name);
    f.size = r.number(QStringLiteral("Size"), f.size);
    if (f.size <= 0 || f.size > 200)
        r.fail(QStringLiteral("글꼴 크기 %1 이(가) 범위를 벗어났습니다").arg(f.size));
    f.color = parseColor(r, QStringLiteral("Color"), f.color);
    if (r.has(QStringLiteral("Style"))) {
        f.bold = f.italic = f.underline = false;
        for (const QJsonValue &v : r.array(QStringLiteral("Style"))) {
            const QString s = v.toString();
            if (s == QLatin1String("fsBold"))
                f.bold = true;
            else if (s == QLatin1String("fsItalic"))
                f.italic = true;
            else if (s == QLatin1String("fsUnderline"))
                f.underline = true;
            else
                r.fail(QStringLiteral("글꼴 스타일 \"%1\" 을(를) 알 수 없습니다").arg(s));
        }
    }
    r.finish();
    return f;
}

FrameSpec parseFrame(const Reader &parent)
{
    Reader r(parent.objectValue(QStringLiteral("Frame")), parent.where() + QStringLiteral(".Frame"), parent.source());
    FrameSpec f;
    f.drawTop = r.flag(QStringLiteral("DrawTop"), false);
    f.drawBottom = r.flag(QStringLiteral("DrawBottom"), false);
    f.drawLeft = r.flag(QStringLiteral("DrawLeft"), false);
    f.drawRight = r.flag(QStringLiteral("DrawRight"), false);
    f.color = parseColor(r, QStringLiteral("Color"), f.color);
    f.width = int(r.number(QStringLiteral("Width"), 1));
    r.finish();
    return f;
}

PenSpec parsePen(const Reader &parent)
{
    Reader r(parent.objectValue(QStringLiteral("Pen")), parent.where() + QStringLiteral(".Pen"), parent.source());
    PenSpec p;
    p.color = parseColor(r, QStringLiteral("Color"), p.color);
    p.width = int(r.number(QStringLiteral("Width"), 1));
    p.style = r.choice<Qt::PenStyle>(
        QStringLiteral("Style"), Qt::SolidLine,
        {{"psSolid", Qt::SolidLine}, {"psDash", Qt::DashLine}, {"psDot", Qt::DotLine}, {"psClear", Qt::NoPen}});
    r.finish();
    return p;
}

std::unique_ptr<Item> parseItem(const Reader &n)
{
    auto item = std::make_unique<Item>();
    item->name = n.str(QStringLiteral("Name"));
    if (item->name.isEmpty())
        n.fail(QStringLiteral("항목에 Name 이 없습니다"));
    item->itemClass = n.choice<ItemClass>(QStringLiteral("Class"), ItemClass::Label,
                                          {{"TQRLabel", ItemClass::Label},
                                           {"TQRDBText", ItemClass::DBText},
                                           {"TQRExpr", ItemClass::Expr},
                                           {"TQRSysData", ItemClass::SysData},
                                           {"TQRShape", ItemClass::Shape}});
    if (!n.has(QStringLiteral("Class")))
        n.fail(QStringLiteral("항목에 Class 가 없습니다"));
    item->left = n.tenths(QStringLiteral("Left"), 0);
    item->top = n.tenths(QStringLiteral("Top"), 0);
    item->width = n.tenths(QStringLiteral("Width"), 0);
    item->height = n.tenths(QStringLiteral("Height"), 0);
    item->enabled = n.flag(QStringLiteral("Enabled"), true);
    item->onPrint = n.str(QStringLiteral("OnPrint"));
    item->blankUnless = n.str(QStringLiteral("BlankUnless"));
    const bool isShape = item->itemClass == ItemClass::Shape;
    if (isShape) {
        item->shape = n.choice<ShapeKind>(QStringLiteral("Shape"), ShapeKind::Rectangle,
                                          {{"qrsRectangle", ShapeKind::Rectangle},
                                           {"qrsVertLine", ShapeKind::VertLine},
                                           {"qrsHorLine", ShapeKind::HorLine},
                                           {"qrsTopAndBottom", ShapeKind::TopAndBottom},
                                           {"qrsRightAndLeft", ShapeKind::RightAndLeft},
                                           {"qrsCircle", ShapeKind::Circle}});
        if (n.has(QStringLiteral("Pen")))
            item->pen = parsePen(n);
        if (n.has(QStringLiteral("Brush")))
            item->brush = parseColor(n, QStringLiteral("Brush"), QColor());
        if (!item->onPrint.isEmpty())
            n.fail(QStringLiteral("도형에는 OnPrint 가 없습니다"));
    } else {
        if (n.has(QStringLiteral("Font"))) {
            item->font = parseFont(n, FontSpec());
            item->parentFont = false;
        }
        item->alignment = n.choice<Alignment>(QStringLiteral("Alignment"), Alignment::Left,
                                              {{"taLeftJustify", Alignment::Left},
                                               {"taCenter", Alignment::Center},
                                               {"taRightJustify", Alignment::Right}});
        item->autoSize = n.flag(QStringLiteral("AutoSize"), false);
        item->wordWrap = n.flag(QStringLiteral("WordWrap"), false);
        if (n.has(QStringLiteral("Frame")))
            item->frame = parseFrame(n);
        item->color = parseColor(n, QStringLiteral("Color"), QColor());
    }
    switch (item->itemClass) {
    case ItemClass::Label:
        item->caption = n.str(QStringLiteral("Caption"));
        break;
    case ItemClass::DBText:
        item->dataSet = n.str(QStringLiteral("DataSet"));
        item->dataField = n.str(QStringLiteral("DataField"));
        if (item->dataField.isEmpty())
            n.fail(QStringLiteral("DataField 가 없습니다"));
        break;
    case ItemClass::Expr:
        item->expression = n.str(QStringLiteral("Expression"));
        if (item->expression.trimmed().isEmpty())
            n.fail(QStringLiteral("Expression 이 없습니다"));
        if (n.flag(QStringLiteral("ResetAfterPrint"), false))
            n.fail(QStringLiteral("ResetAfterPrint 는 지원하지 않습니다"));
        break;
    case ItemClass::SysData:
        item->sysData = n.choice<SysDataKind>(QStringLiteral("Data"), SysDataKind::Date,
                                              {{"qrsDate", SysDataKind::Date},
                                               {"qrsTime", SysDataKind::Time},
                                               {"qrsDateTime", SysDataKind::DateTime},
                                               {"qrsPageNumber", SysDataKind::PageNumber},
                                               {"qrsDetailNo", SysDataKind::DetailNo},
                                               {"qrsReportTitle", SysDataKind::ReportTitle}});
        if (!n.has(QStringLiteral("Data")))
            n.fail(QStringLiteral("Data 가 없습니다"));
        item->text = n.str(QStringLiteral("Text"));
        break;
    case ItemClass::Shape:
        break;
    }
    n.finish();
    return item;
}

// An item of the file: an ordinary one, or a construct standing for several.
std::vector<std::unique_ptr<Item>> parseItems(const QJsonValue &v, const QString &where, const QString &source)
{
    if (!v.isObject())
        throw ReportError(QStringLiteral("보고서 양식 %1 (%2): 항목은 객체여야 합니다").arg(source, where));
    const QString itemName = v.toObject().value(QStringLiteral("Name")).toString();
    const Reader n(v.toObject(), itemName.isEmpty() ? where : itemName, source);
    std::vector<std::unique_ptr<Item>> out;
    const QString cls = v.toObject().value(QStringLiteral("Class")).toString();
    auto it = constructs().constFind(cls);
    if (it == constructs().cend()) {
        out.push_back(parseItem(n));
        return out;
    }
    n.str(QStringLiteral("Class"));
    out = (*it)(n);
    n.finish();
    return out;
}

QJsonObject readJson(const QByteArray &json, const QString &source)
{
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &err);
    if (err.error != QJsonParseError::NoError)
        throw ReportError(QStringLiteral("보고서 양식 %1: JSON 오류 (위치 %2): %3")
                              .arg(source)
                              .arg(err.offset)
                              .arg(err.errorString()));
    if (!doc.isObject())
        throw ReportError(QStringLiteral("보고서 양식 %1: 최상위는 객체여야 합니다").arg(source));
    return doc.object();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw ReportError(QStringLiteral("보고서 양식 %1 을(를) 열 수 없습니다: %2").arg(path, f.errorString()));
    return f.readAll();
}

// The file's object with its base merged in: the base's keys, then the file's, queries added or
// replaced by name. Captions are left for the model.
QJsonObject resolveExtends(const QJsonObject &child, const QString &source, int depth = 0)
{
    const QJsonValue ext = child.value(QStringLiteral("Extends"));
    if (ext.isUndefined())
        return child;
    if (!ext.isString() || ext.toString().isEmpty())
        throw ReportError(QStringLiteral("보고서 양식 %1: Extends 는 양식 파일 이름이어야 합니다").arg(source));
    if (depth > 4)
        throw ReportError(QStringLiteral("보고서 양식 %1: Extends 가 너무 깊습니다").arg(source));
    const QString slash = source.contains(u'/') ? source.left(source.lastIndexOf(u'/') + 1) : QString();
    const QString basePath = slash + ext.toString();
    QJsonObject base = resolveExtends(readJson(readFile(basePath), basePath), basePath, depth + 1);
    for (auto it = child.begin(); it != child.end(); ++it) {
        if (it.key() == QLatin1String("Extends"))
            continue;
        if (it.key() == QLatin1String("Queries")) {
            QJsonArray merged = base.value(it.key()).toArray();
            for (const QJsonValue &q : it.value().toArray()) {
                const QString name = q.toObject().value(QStringLiteral("Name")).toString();
                bool replaced = false;
                for (qsizetype k = 0; k < merged.size(); ++k)
                    if (merged[k]
                            .toObject()
                            .value(QStringLiteral("Name"))
                            .toString()
                            .compare(name, Qt::CaseInsensitive) == 0) {
                        merged[k] = q;
                        replaced = true;
                    }
                if (!replaced)
                    merged.append(q);
            }
            base.insert(it.key(), merged);
        } else {
            base.insert(it.key(), it.value());
        }
    }
    return base;
}

// The "Queries" of a layout object; claim() refuses a name used twice.
std::vector<QueryDef> parseQueries(const Reader &rr, const std::function<void(const QString &, const Reader &)> &claim)
{
    std::vector<QueryDef> out;
    const QJsonArray queries = rr.array(QStringLiteral("Queries"));
    for (int i = 0; i < queries.size(); ++i) {
        if (!queries[i].isObject())
            rr.fail(QStringLiteral("Queries[%1] 은(는) 객체여야 합니다").arg(i));
        Reader q(queries[i].toObject(), QStringLiteral("Queries[%1]").arg(i), rr.source());
        QueryDef def;
        def.name = q.str(QStringLiteral("Name"));
        if (def.name.isEmpty())
            q.fail(QStringLiteral("쿼리에 Name 이 없습니다"));
        claim(def.name, q);
        def.databaseName = q.str(QStringLiteral("DatabaseName"), def.databaseName);
        for (const QJsonValue &line : q.array(QStringLiteral("SQL"))) {
            if (!line.isString())
                q.fail(QStringLiteral("SQL 의 줄은 문자열이어야 합니다"));
            def.sql << line.toString();
        }
        if (q.has(QStringLiteral("OrderBy"))) {
            const Reader o = q.object(QStringLiteral("OrderBy"));
            for (auto it = o.json().begin(); it != o.json().end(); ++it)
                def.orderBy.emplace_back(it.key(), o.str(it.key()));
            if (def.orderBy.empty())
                q.fail(QStringLiteral("OrderBy 가 비어 있습니다"));
            o.finish();
        }
        if (q.has(QStringLiteral("ParamsFrom"))) {
            const Reader f = q.object(QStringLiteral("ParamsFrom"));
            QueryDef::ParamSource source;
            source.query = f.str(QStringLiteral("Query"));
            source.integer = f.choice<bool>(QStringLiteral("Type"), false, {{"Integer", true}, {"Float", false}});
            if (f.has(QStringLiteral("Fields"))) {
                const Reader fields = f.object(QStringLiteral("Fields"));
                for (auto it = fields.json().begin(); it != fields.json().end(); ++it)
                    source.fields.insert(it.key().toUpper(), fields.str(it.key()));
                fields.finish();
            }
            f.finish();
            if (source.query.isEmpty())
                f.fail(QStringLiteral("ParamsFrom 에 Query 가 없습니다"));
            def.paramsFrom = source;
        }
        q.finish();
        out.push_back(std::move(def));
    }
    return out;
}

// The parameters the expressions read and the queries the parameter sources name must be the
// layout's own, so that a report never meets an unknown name halfway through.
void checkReferences(Layout &layout, const Reader &where)
{
    // A construct switched by a parameter brings it along (the approval box its "Approval").
    for (const Item *i : layout.allItems())
        if (!i->blankUnless.isEmpty() && !layout.parameters.contains(i->blankUnless, Qt::CaseInsensitive))
            layout.parameters << i->blankUnless;
    const auto declared = [&](const QString &name) { return layout.parameters.contains(name, Qt::CaseInsensitive); };
    const auto check = [&](const QString &owner, const QString &expression) {
        for (const QString &p : Expression::parse(expression).parameters())
            if (!declared(p))
                where.fail(QStringLiteral("%1 의 매개변수 Param.%2 이(가) Parameters 에 없습니다").arg(owner, p));
    };
    for (const Item *i : layout.allItems()) {
        if (i->itemClass == ItemClass::Expr)
            check(i->name, i->expression);
    }
    for (const auto &b : layout.bands)
        if (b->type == BandType::Group)
            check(b->name, b->expression);
    for (const QueryDef &q : layout.queries)
        if (q.paramsFrom && !layout.query(q.paramsFrom->query))
            where.fail(
                QStringLiteral("쿼리 %1 의 ParamsFrom 쿼리 \"%2\" 이(가) 없습니다").arg(q.name, q.paramsFrom->query));
}

} // namespace

void registerConstruct(const QString &className, ConstructExpander expander)
{
    constructs().insert(className, std::move(expander));
}

bool isConstruct(const QString &className)
{
    return constructs().contains(className);
}

void registerBandConstruct(const QString &className, BandConstructExpander expander)
{
    bandConstructs().insert(className, std::move(expander));
}

QString layoutPath(const QString &stem)
{
    return QStringLiteral(":/reports/") + stem + QStringLiteral(".json");
}

std::unique_ptr<Layout> parseLayout(const QByteArray &json, const QString &source)
{
    const QJsonObject root = resolveExtends(readJson(json, source), source);

    auto layout = std::make_unique<Layout>();
    layout->source = source;
    Reader r(root, QStringLiteral("report"), layout->source);
    layout->name = r.str(QStringLiteral("Name"));
    if (layout->name.isEmpty())
        r.fail(QStringLiteral("보고서에 Name 이 없습니다"));
    Reader rr(root, layout->name, layout->source);
    rr.str(QStringLiteral("Name"));

    if (rr.has(QStringLiteral("Page"))) {
        Reader p(rr.objectValue(QStringLiteral("Page")), layout->name + QStringLiteral(".Page"), layout->source);
        layout->paperSize = p.str(QStringLiteral("PaperSize"), QStringLiteral("A4"));
        if (layout->paperSize != QLatin1String("A4"))
            p.fail(QStringLiteral("용지 \"%1\" 은(는) 지원하지 않습니다 (A4)").arg(layout->paperSize));
        layout->landscape =
            p.choice<bool>(QStringLiteral("Orientation"), false, {{"poPortrait", false}, {"poLandscape", true}});
        layout->topMargin = p.tenths(QStringLiteral("TopMargin"), 100);
        layout->bottomMargin = p.tenths(QStringLiteral("BottomMargin"), 100);
        layout->leftMargin = p.tenths(QStringLiteral("LeftMargin"), 100);
        layout->rightMargin = p.tenths(QStringLiteral("RightMargin"), 100);
        p.finish();
    }
    layout->pageWidth = layout->landscape ? 2970 : 2100;
    layout->pageLength = layout->landscape ? 2100 : 2970;
    if (layout->topMargin < 0 || layout->bottomMargin < 0 || layout->leftMargin < 0 || layout->rightMargin < 0 ||
        layout->topMargin + layout->bottomMargin >= layout->pageLength ||
        layout->leftMargin + layout->rightMargin >= layout->pageWidth)
        rr.fail(QStringLiteral("여백이 용지보다 큽니다"));

    for (const QJsonValue &v : rr.array(QStringLiteral("Options"))) {
        const QString o = v.toString();
        if (o == QLatin1String("FirstPageHeader"))
            layout->firstPageHeader = true;
        else if (o == QLatin1String("LastPageFooter"))
            layout->lastPageFooter = true;
        else
            rr.fail(QStringLiteral("알 수 없는 옵션 \"%1\"").arg(o));
    }
    layout->printIfEmpty = rr.flag(QStringLiteral("PrintIfEmpty"), true);
    layout->reportTitle = rr.str(QStringLiteral("ReportTitle"));
    layout->dataSet = rr.str(QStringLiteral("DataSet"));
    if (rr.has(QStringLiteral("Font")))
        layout->font = parseFont(rr, FontSpec());
    layout->beforePrint = rr.str(QStringLiteral("BeforePrint"));
    layout->onEndPage = rr.str(QStringLiteral("OnEndPage"));
    layout->parameters = rr.strings(QStringLiteral("Parameters"));
    if (rr.has(QStringLiteral("Handlers"))) {
        const Reader h = rr.object(QStringLiteral("Handlers"));
        for (auto it = h.json().begin(); it != h.json().end(); ++it) {
            const QString named = h.str(it.key());
            if (!isItemFormatter(named) && !isBandEvent(named))
                h.fail(QStringLiteral("처리기 %1 의 \"%2\" 은(는) 알 수 없는 처리기입니다").arg(it.key(), named));
            layout->handlers.insert(it.key(), named);
        }
        h.finish();
    }

    QSet<QString> names;
    auto claim = [&](const QString &name, const Reader &where) {
        if (names.contains(name.toUpper()))
            where.fail(QStringLiteral("이름 \"%1\" 이(가) 두 번 쓰였습니다").arg(name));
        names.insert(name.toUpper());
    };
    names.insert(layout->name.toUpper());

    for (QueryDef &def : parseQueries(rr, claim))
        layout->queries.push_back(std::move(def));

    const QJsonArray bands = expandBandConstructs(rr.array(QStringLiteral("Bands")), layout->source);
    for (int i = 0; i < bands.size(); ++i) {
        if (!bands[i].isObject())
            rr.fail(QStringLiteral("Bands[%1] 은(는) 객체여야 합니다").arg(i));
        const QString bandName = bands[i].toObject().value(QStringLiteral("Name")).toString();
        Reader b(bands[i].toObject(), bandName.isEmpty() ? QStringLiteral("Bands[%1]").arg(i) : bandName,
                 layout->source);
        auto band = std::make_unique<Band>();
        band->name = b.str(QStringLiteral("Name"));
        if (band->name.isEmpty())
            b.fail(QStringLiteral("밴드에 Name 이 없습니다"));
        claim(band->name, b);
        const QString cls = b.str(QStringLiteral("Class"), QStringLiteral("TQRBand"));
        if (cls == QLatin1String("TQRBand")) {
            if (!b.has(QStringLiteral("BandType")))
                b.fail(QStringLiteral("밴드에 BandType 이 없습니다"));
            band->type = b.choice<BandType>(QStringLiteral("BandType"), BandType::Detail,
                                            {{"rbPageHeader", BandType::PageHeader},
                                             {"rbTitle", BandType::Title},
                                             {"rbColumnHeader", BandType::ColumnHeader},
                                             {"rbDetail", BandType::Detail},
                                             {"rbSummary", BandType::Summary},
                                             {"rbPageFooter", BandType::PageFooter}});
        } else if (cls == QLatin1String("TQRChildBand")) {
            band->type = BandType::Child;
            band->parentBand = b.str(QStringLiteral("ParentBand"));
            if (band->parentBand.isEmpty())
                b.fail(QStringLiteral("자식 밴드에 ParentBand 가 없습니다"));
        } else if (cls == QLatin1String("TQRGroup")) {
            band->type = BandType::Group;
            band->expression = b.str(QStringLiteral("Expression"));
            band->master = b.str(QStringLiteral("Master"));
            if (band->expression.trimmed().isEmpty())
                b.fail(QStringLiteral("그룹 밴드에 Expression 이 없습니다"));
        } else {
            b.fail(QStringLiteral("알 수 없는 밴드 클래스 \"%1\"").arg(cls));
        }
        band->height = b.tenths(QStringLiteral("Height"), 0);
        if (band->height < 0)
            b.fail(QStringLiteral("밴드 높이가 음수입니다"));
        if (b.has(QStringLiteral("Frame")))
            band->frame = parseFrame(b);
        band->forceNewPage = b.flag(QStringLiteral("ForceNewPage"), false);
        band->enabled = b.flag(QStringLiteral("Enabled"), true);
        band->beforePrint = b.str(QStringLiteral("BeforePrint"));
        const QJsonArray items = b.array(QStringLiteral("Items"));
        for (int k = 0; k < items.size(); ++k)
            for (auto &item : parseItems(items[k], band->name + QStringLiteral(".Items[%1]").arg(k), layout->source)) {
                claim(item->name, b);
                band->addItem(std::move(item));
            }
        b.finish();
        layout->bands.push_back(std::move(band));
    }
    const QJsonArray items = rr.array(QStringLiteral("Items"));
    for (int k = 0; k < items.size(); ++k)
        for (auto &item : parseItems(items[k], layout->name + QStringLiteral(".Items[%1]").arg(k), layout->source)) {
            claim(item->name, rr);
            layout->items.push_back(std::move(item));
        }

    if (rr.has(QStringLiteral("PageFrame"))) {
        const Reader f = rr.object(QStringLiteral("PageFrame"));
        PageFrame frame;
        frame.handler = layout->onEndPage;
        frame.titleBand = f.str(QStringLiteral("TitleBand"));
        frame.pageHeaderBand = f.str(QStringLiteral("PageHeaderBand"));
        frame.ruleShapes = f.strings(QStringLiteral("RuleShapes"));
        f.finish();
        if (frame.handler.isEmpty())
            f.fail(QStringLiteral("PageFrame 에는 OnEndPage 처리기 이름이 있어야 합니다"));
        for (const QString &b : {frame.titleBand, frame.pageHeaderBand})
            if (!layout->band(b))
                f.fail(QStringLiteral("밴드 \"%1\" 이(가) 없습니다").arg(b));
        for (const QString &name : std::as_const(frame.ruleShapes)) {
            const Item *i = layout->item(name);
            if (!i || i->itemClass != ItemClass::Shape)
                f.fail(QStringLiteral("도형 \"%1\" 이(가) 없습니다").arg(name));
        }
        layout->pageFrame = frame;
    }

    if (rr.has(QStringLiteral("Captions"))) {
        const Reader c = rr.object(QStringLiteral("Captions"));
        for (auto it = c.json().begin(); it != c.json().end(); ++it) {
            Item *i = layout->item(it.key());
            if (!i || i->itemClass != ItemClass::Label)
                c.fail(QStringLiteral("TQRLabel \"%1\" 이(가) 없습니다").arg(it.key()));
            i->caption = c.str(it.key());
        }
        c.finish();
    }
    rr.finish();
    checkReferences(*layout, rr);

    for (const auto &band : layout->bands) {
        if (band->type != BandType::Child)
            continue;
        const Band *parent = layout->band(band->parentBand);
        if (!parent || parent == band.get())
            rr.fail(QStringLiteral("밴드 %1 의 ParentBand \"%2\" 이(가) 없습니다").arg(band->name, band->parentBand));
        for (const auto &other : layout->bands)
            if (other.get() != band.get() && other->type == BandType::Child &&
                other->parentBand.compare(band->parentBand, Qt::CaseInsensitive) == 0)
                rr.fail(QStringLiteral("밴드 %1 에 자식 밴드가 둘입니다").arg(band->parentBand));
    }
    // A chain of child bands must end at a band that is not a child.
    for (const auto &band : layout->bands) {
        const Band *b = band.get();
        for (int hops = 0; b && b->type == BandType::Child; ++hops) {
            if (hops > int(layout->bands.size()))
                rr.fail(QStringLiteral("밴드 %1 의 ParentBand 가 순환합니다").arg(band->name));
            b = layout->band(b->parentBand);
        }
    }
    return layout;
}

std::unique_ptr<Layout> loadLayout(const QString &path)
{
    return parseLayout(readFile(path), path);
}

std::vector<QueryDef> loadLayoutQueries(const QString &path)
{
    const QJsonObject root = resolveExtends(readJson(readFile(path), path), path);
    QSet<QString> names;
    const Reader r(root, QStringLiteral("Queries"), path);
    return parseQueries(r, [&](const QString &name, const Reader &where) {
        if (names.contains(name.toUpper()))
            where.fail(QStringLiteral("이름 \"%1\" 이(가) 두 번 쓰였습니다").arg(name));
        names.insert(name.toUpper());
    });
}

} // namespace tipdesk::report
