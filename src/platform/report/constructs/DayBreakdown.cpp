#include "platform/report/constructs/DayBreakdown.h"

#include "platform/report/Layout.h"

#include <optional>

namespace tipdesk::common {

using report::LayoutObject;

namespace {

// Lengths come in 0.1 mm from the reader and go back into the file's millimetres.
double mm(int tenths)
{
    return tenths / 10.0;
}

constexpr int kTextHeight = 42; // one line of 10 pt text
constexpr int kInset = 5;       // a text's distance from the lines either side of it

struct Span {
    int left = 0;
    int right = 0;
    int width() const { return right - left; }
};

Span readSpan(const LayoutObject &o, const QString &key)
{
    const std::vector<int> v = o.tenthsList(key);
    if (v.size() != 2 || v[0] >= v[1])
        o.fail(QStringLiteral("%1 은(는) 왼쪽과 오른쪽 위치입니다").arg(key));
    return {v[0], v[1]};
}

// A placement given as [inset or left, width].
Span readPlace(const LayoutObject &o, const QString &key)
{
    const std::vector<int> v = o.tenthsList(key);
    if (v.size() != 2 || v[1] <= 0)
        o.fail(QStringLiteral("%1 은(는) 위치와 폭입니다").arg(key));
    return {v[0], v[0] + v[1]};
}

QJsonObject box(const QString &name, const char *cls, int left, int top, int width, int height)
{
    return {{"Name", name},   {"Class", QLatin1String(cls)}, {"Left", mm(left)},
            {"Top", mm(top)}, {"Width", mm(width)},          {"Height", mm(height)}};
}

QJsonObject boldFont()
{
    return {{"Name", QStringLiteral("굴림")}, {"Size", 10}, {"Style", QJsonArray{QStringLiteral("fsBold")}}};
}

// A bold caption centred over [left, right].
QJsonObject caption(const QString &name, const QString &text, int left, int right, int top)
{
    QJsonObject o = box(name, "TQRLabel", left + kInset, top, right - left - 2 * kInset, kTextHeight);
    o.insert("Caption", text);
    o.insert("Alignment", QStringLiteral("taCenter"));
    o.insert("Font", boldFont());
    return o;
}

QJsonObject field(const QString &name, const QString &dataSet, const QString &dataField, Span at, int top,
                  const QString &alignment)
{
    QJsonObject o = box(name, "TQRDBText", at.left, top, at.width(), kTextHeight);
    if (!dataSet.isEmpty())
        o.insert("DataSet", dataSet);
    o.insert("DataField", dataField);
    o.insert("Alignment", alignment);
    return o;
}

QJsonObject shape(const QString &name, const char *kind, int left, int width, int height)
{
    QJsonObject o = box(name, "TQRShape", left, 0, width, height);
    o.insert("Shape", QLatin1String(kind));
    return o;
}

// One of the three bands: its name, height and frame as the layout gives them.
struct BandSpec {
    QJsonObject json;
    QJsonArray items;
    int height = 0;
    int textTop = 0; // the texts stand in the middle of the band

    BandSpec(const LayoutObject &o, const QString &key, const char *bandType)
    {
        const LayoutObject b = o.object(key);
        const QString name = b.str(QStringLiteral("Name"));
        height = b.tenths(QStringLiteral("Height"), 0);
        if (name.isEmpty() || height <= 0)
            b.fail(QStringLiteral("밴드에는 Name 과 Height 가 있어야 합니다"));
        json = {{"Name", name}, {"BandType", QLatin1String(bandType)}, {"Height", mm(height)}};
        if (b.has(QStringLiteral("Frame")))
            json.insert("Frame", b.value(QStringLiteral("Frame")));
        b.finish();
        textTop = (height - kTextHeight) / 2;
    }

    QJsonObject finished()
    {
        json.insert("Items", items);
        return json;
    }
};

struct Column {
    QString name;
    QString caption;
    Span span;
    std::optional<int> divider;
    QStringList fields; // detail: [count, share] beside a divider, else at most one
    QStringList totals; // summary: the same places
    Span at;            // the one field of a column without a divider
    Span count, share;  // a pair's places, where the column has its own
};

QJsonArray dayBreakdown(const LayoutObject &o)
{
    BandSpec header(o, QStringLiteral("ColumnHeader"), "rbColumnHeader");
    BandSpec detail(o, QStringLiteral("Detail"), "rbDetail");
    BandSpec summary(o, QStringLiteral("Summary"), "rbSummary");
    const QString sumSet = o.str(QStringLiteral("SummaryDataSet"));
    const Span count = readPlace(o, QStringLiteral("Count"));
    const Span share = readPlace(o, QStringLiteral("Share"));
    if (sumSet.isEmpty())
        o.fail(QStringLiteral("SummaryDataSet 이 없습니다"));

    // The day column: the day key and the day name, one caption over each part.
    const LayoutObject d = o.object(QStringLiteral("Day"));
    const Span day = readSpan(d, QStringLiteral("Span"));
    const int dayDivider = d.tenths(QStringLiteral("Divider"), -1);
    const QStringList dayCaptions = d.strings(QStringLiteral("Captions"));
    const QStringList dayFields = d.strings(QStringLiteral("Fields"));
    const QString dayAlignment = d.str(QStringLiteral("Alignment"), QStringLiteral("taCenter"));
    const QJsonValue weekdayFont = d.has(QStringLiteral("WeekdayFont")) ? d.value(QStringLiteral("WeekdayFont"))
                                                                        : QJsonValue(QJsonValue::Undefined);
    const QString sumCaption = d.str(QStringLiteral("SumCaption"));
    d.finish();
    if (dayDivider <= day.left || dayDivider >= day.right)
        d.fail(QStringLiteral("Divider 는 Span 안에 있어야 합니다"));
    if (dayCaptions.size() != 2 || dayFields.size() != 2)
        d.fail(QStringLiteral("Captions 와 Fields 는 날짜와 요일의 둘입니다"));

    std::vector<Column> columns;
    const QJsonArray list = o.array(QStringLiteral("Columns"));
    int previous = day.right;
    for (int k = 0; k < list.size(); ++k) {
        if (!list[k].isObject())
            o.fail(QStringLiteral("Columns[%1] 은(는) 객체여야 합니다").arg(k));
        const LayoutObject c(list[k].toObject(), o.where() + QStringLiteral(".Columns[%1]").arg(k), o.source());
        Column col;
        col.name = c.str(QStringLiteral("Name"));
        col.caption = c.str(QStringLiteral("Caption"));
        col.span = readSpan(c, QStringLiteral("Span"));
        if (c.has(QStringLiteral("Divider")))
            col.divider = c.tenths(QStringLiteral("Divider"), 0);
        col.fields = c.strings(QStringLiteral("Fields"));
        col.totals = c.strings(QStringLiteral("Totals"));
        if (c.has(QStringLiteral("At")))
            col.at = readPlace(c, QStringLiteral("At"));
        col.count = c.has(QStringLiteral("Count")) ? readPlace(c, QStringLiteral("Count")) : count;
        col.share = c.has(QStringLiteral("Share")) ? readPlace(c, QStringLiteral("Share")) : share;
        c.finish();
        if (col.name.isEmpty())
            c.fail(QStringLiteral("열에 Name 이 없습니다"));
        // The columns follow one another without a gap, so every line is drawn once.
        if (col.span.left != previous)
            c.fail(QStringLiteral("열은 앞 열이 끝나는 %1 mm 에서 시작해야 합니다").arg(mm(previous)));
        previous = col.span.right;
        const qsizetype places = col.divider ? 2 : 1;
        if (col.fields.size() > places || (!col.totals.isEmpty() && col.totals.size() != col.fields.size()) ||
            (col.divider && col.fields.size() != 2))
            c.fail(QStringLiteral("구분선이 있는 열은 건수와 비율 필드 둘을, 없는 열은 필드 하나까지 씁니다"));
        if (col.divider && (*col.divider <= col.span.left || *col.divider >= col.span.right))
            c.fail(QStringLiteral("Divider 는 Span 안에 있어야 합니다"));
        if (!col.divider && !col.fields.isEmpty() && col.at.width() <= 0)
            c.fail(QStringLiteral("구분선이 없는 열의 필드는 At 에 놓입니다"));
        columns.push_back(col);
    }

    // The day column.
    header.items.append(caption(QStringLiteral("QRLabelDay"), dayCaptions[0], day.left, dayDivider, header.textTop));
    header.items.append(caption(QStringLiteral("QRLabelWeek"), dayCaptions[1], dayDivider, day.right, header.textTop));
    detail.items.append(field(QStringLiteral("QRDBTextDay"), QString(), dayFields[0],
                              {day.left + kInset, dayDivider - kInset}, detail.textTop, dayAlignment));
    QJsonObject weekday = field(QStringLiteral("QRDBTextWeek"), QString(), dayFields[1],
                                {dayDivider + kInset, day.right - kInset}, detail.textTop, QStringLiteral("taCenter"));
    if (!weekdayFont.isUndefined())
        weekday.insert("Font", weekdayFont);
    detail.items.append(weekday);
    detail.items.append(shape(QStringLiteral("QRLineDDay"), "qrsVertLine", dayDivider, 0, detail.height));
    if (!sumCaption.isEmpty())
        summary.items.append(caption(QStringLiteral("QRLabelSum"), sumCaption, day.left, day.right, summary.textTop));

    // The columns: captions, fields and totals, and the thin line inside each pair.
    const QString right = QStringLiteral("taRightJustify");
    for (const Column &col : columns) {
        if (!col.caption.isEmpty())
            header.items.append(caption(QStringLiteral("QRLabel") + col.name, col.caption, col.span.left,
                                        col.span.right, header.textTop));
        for (qsizetype k = 0; k < col.fields.size(); ++k) {
            Span at = col.at;
            if (col.divider)
                at = k == 0 ? Span{col.span.left + col.count.left, col.span.left + col.count.right}
                            : Span{*col.divider + col.share.left, *col.divider + col.share.right};
            const QString suffix = k == 0 ? QString() : QStringLiteral("Per");
            detail.items.append(field(QStringLiteral("QRDBText") + col.name + suffix, QString(), col.fields[k], at,
                                      detail.textTop, right));
            if (k < col.totals.size())
                summary.items.append(field(QStringLiteral("QRDBSum") + col.name + suffix, sumSet, col.totals[k], at,
                                           summary.textTop, right));
        }
        if (col.divider) {
            detail.items.append(
                shape(QStringLiteral("QRLineD") + col.name, "qrsVertLine", *col.divider, 0, detail.height));
            summary.items.append(
                shape(QStringLiteral("QRLineS") + col.name, "qrsVertLine", *col.divider, 0, summary.height));
        }
    }

    // Rules around every second column, the day column first: between them they draw every line
    // between two columns, in each band over its own height.
    std::vector<std::pair<QString, Span>> spans{{QStringLiteral("Day"), day}};
    for (const Column &col : columns)
        spans.emplace_back(col.name, col.span);
    for (size_t k = 0; k < spans.size(); k += 2) {
        const auto &[name, span] = spans[k];
        for (BandSpec *band : {&header, &detail, &summary}) {
            const QString prefix = band == &header   ? QStringLiteral("QRShapeH")
                                   : band == &detail ? QStringLiteral("QRShapeD")
                                                     : QStringLiteral("QRShapeS");
            band->items.append(shape(prefix + name, "qrsRightAndLeft", span.left, span.width(), band->height));
        }
    }
    return {header.finished(), detail.finished(), summary.finished()};
}

} // namespace

QJsonArray DayBreakdownBands(const LayoutObject &entry)
{
    return dayBreakdown(entry);
}

} // namespace tipdesk::common
