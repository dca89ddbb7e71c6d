#include "platform/report/constructs/Furniture.h"

#include "app/CodeLists.h"
#include "platform/report/Layout.h"
#include "platform/report/constructs/DayBreakdown.h"

namespace tipdesk::common {

using report::Item;
using report::ItemClass;
using report::LayoutObject;
using report::ShapeKind;
using Items = std::vector<std::unique_ptr<Item>>;

namespace {

Item *add(Items &out, const QString &name, ItemClass cls, int left, int top, int width, int height)
{
    auto i = std::make_unique<Item>();
    i->name = name;
    i->itemClass = cls;
    i->left = left;
    i->top = top;
    i->width = width;
    i->height = height;
    return out.emplace_back(std::move(i)).get();
}

Item *shape(Items &out, const QString &name, ShapeKind kind, int left, int top, int width, int height)
{
    Item *i = add(out, name, ItemClass::Shape, left, top, width, height);
    i->shape = kind;
    return i;
}

// A caption of the furniture: 굴림, bold, at the given size.
Item *caption(Items &out, const QString &name, const QString &text, int left, int top, int width, int height,
              double size = 10)
{
    Item *i = add(out, name, ItemClass::Label, left, top, width, height);
    i->caption = text;
    i->parentFont = false;
    i->font.name = QStringLiteral("굴림");
    i->font.size = size;
    i->font.bold = true;
    return i;
}

// Geometry in 0.1 mm from the outer rectangle's corner.
Items approvalBox(const LayoutObject &o)
{
    Items out;
    const QString prefix = o.str(QStringLiteral("Name"));
    const int left = o.tenths(QStringLiteral("Left"), 0);
    const int top = o.tenths(QStringLiteral("Top"), 0);
    const QString text = o.str(QStringLiteral("Caption"), kApprovalCaptionWide);
    const QString stampLabel = o.str(QStringLiteral("StampLabel"));
    const QString stampShape = o.str(QStringLiteral("StampShape"));
    if (prefix.isEmpty() || stampLabel.isEmpty() || stampShape.isEmpty())
        o.fail(QStringLiteral("결재란에는 Name, StampLabel, StampShape 가 있어야 합니다"));
    // The stamp frame sits in the "국  장" column; a form may place it a little elsewhere.
    const int stampLeft = o.tenths(QStringLiteral("StampLeft"), left + 478);
    const int stampTop = o.tenths(QStringLiteral("StampTop"), top + 116);
    // The stacked caption stands level with the titles unless the form placed it elsewhere.
    const int captionTop = o.tenths(QStringLiteral("CaptionTop"), top + 21);

    shape(out, prefix + QStringLiteral("Box"), ShapeKind::Rectangle, left, top, 807, 217);
    caption(out, prefix + QStringLiteral("Caption"), text, left + 32, captionTop, 42, 148)->wordWrap = true;
    shape(out, prefix + QStringLiteral("Col1"), ShapeKind::Rectangle, left + 98, top, 180, 217);
    shape(out, prefix + QStringLiteral("Col3"), ShapeKind::Rectangle, left + 455, top, 180, 217);
    shape(out, prefix + QStringLiteral("Header"), ShapeKind::HorLine, left + 98, top + 74, 712, 0);
    const QString titles[] = {QStringLiteral("담  당"), QStringLiteral("과  장"), QStringLiteral("국  장"),
                              QStringLiteral("본부장")};
    const int titleLeft[] = {124, 299, 481, 656};
    for (int k = 0; k < 4; ++k)
        caption(out, prefix + QStringLiteral("Title%1").arg(k + 1), titles[k], left + titleLeft[k], top + 21, 127, 40)
            ->alignment = report::Alignment::Center;
    // The stamp prints only when the request asks for it ("전결인 사용"); otherwise its frame is
    // drawn white and its caption left empty, and the rest of the box prints unchanged.
    shape(out, stampShape, ShapeKind::Rectangle, stampLeft, stampTop, 132, 69)->blankUnless = kApprovalParameter;
    Item *stamp = caption(out, stampLabel, QStringLiteral("전결"), stampLeft + 20, stampTop + 13, 90, 45, 12);
    stamp->autoSize = true;
    stamp->blankUnless = kApprovalParameter;
    return out;
}

QString expand(QString pattern, const HourColumn &c)
{
    return pattern.replace(QStringLiteral("{hh}"), c.hh);
}

// The per-column texts of a row: {"Total": ..., "Morning": ..., "Afternoon": ..., "Hour": "...{hh}..."}.
struct ColumnTexts {
    QString total, morning, afternoon, hour;
    bool given = false;

    static ColumnTexts read(const LayoutObject &row, const QString &key)
    {
        ColumnTexts t;
        if (!row.has(key))
            return t;
        const LayoutObject o = row.object(key);
        t.total = o.str(QStringLiteral("Total"));
        t.morning = o.str(QStringLiteral("Morning"));
        t.afternoon = o.str(QStringLiteral("Afternoon"));
        t.hour = o.str(QStringLiteral("Hour"));
        o.finish();
        t.given = true;
        return t;
    }

    QString of(const HourColumn &c) const
    {
        switch (c.kind) {
        case HourColumn::Kind::Total:
            return total;
        case HourColumn::Kind::Morning:
            return morning;
        case HourColumn::Kind::Afternoon:
            return afternoon;
        case HourColumn::Kind::Hour:
            return expand(hour, c);
        }
        return {};
    }
};

Items hourGrid(const LayoutObject &o)
{
    Items out;
    const QString name = o.str(QStringLiteral("Name"));
    const int left = o.tenths(QStringLiteral("Left"), 0);
    const int top = o.tenths(QStringLiteral("Top"), 0);
    const int width = o.tenths(QStringLiteral("Width"), 0);
    const int height = o.tenths(QStringLiteral("Height"), 0);
    const bool frame = o.flag(QStringLiteral("Frame"), true);
    const bool columnRules = o.flag(QStringLiteral("ColumnRules"), true);
    const int inset = o.tenths(QStringLiteral("RuleInset"), 6);
    const int ruleAbove = o.tenths(QStringLiteral("RuleAbove"), 23);
    const int ruleHeight = o.tenths(QStringLiteral("RuleHeight"), 10);
    const int cellHeight = o.tenths(QStringLiteral("CellHeight"), 42);
    const std::vector<int> label = o.tenthsList(QStringLiteral("CaptionColumn"));
    const std::vector<int> lefts = o.tenthsList(QStringLiteral("Columns"));
    const std::vector<int> widths = o.tenthsList(QStringLiteral("ColumnWidths"));
    const QList<HourColumn> &columns = HourColumns();
    if (name.isEmpty())
        o.fail(QStringLiteral("시간대 표에 Name 이 없습니다"));
    if (lefts.size() != size_t(columns.size()))
        o.fail(QStringLiteral("Columns 에는 열 %1 개의 왼쪽 위치가 있어야 합니다").arg(columns.size()));
    if (widths.empty() || widths.size() > 2)
        o.fail(QStringLiteral("ColumnWidths 는 첫 열의 폭과 나머지 열의 폭입니다"));
    if (!label.empty() && label.size() != 2)
        o.fail(QStringLiteral("CaptionColumn 은 왼쪽 위치와 폭입니다"));
    const auto columnWidth = [&](qsizetype i) { return i == 0 ? widths.front() : widths.back(); };

    if (frame)
        shape(out, name + QStringLiteral("Frame"), ShapeKind::Rectangle, left, top, width, height);
    const QJsonArray rows = o.array(QStringLiteral("Rows"));
    for (int r = 0; r < rows.size(); ++r) {
        if (!rows[r].isObject())
            o.fail(QStringLiteral("Rows[%1] 은(는) 객체여야 합니다").arg(r));
        const LayoutObject row(rows[r].toObject(), o.where() + QStringLiteral(".Rows[%1]").arg(r), o.source());
        const QString prefix = name + row.str(QStringLiteral("Name"));
        const int rowTop = row.tenths(QStringLiteral("Top"), 0);
        const QString text = row.str(QStringLiteral("Caption"));
        const QString rule =
            row.choice<QString>(QStringLiteral("Rule"), QString(),
                                {{"Single", QStringLiteral("Single")}, {"Double", QStringLiteral("Double")}});
        const bool headers = row.flag(QStringLiteral("Headers"), false);
        const QString dataSet = row.str(QStringLiteral("DataSet"));
        const ColumnTexts fields = ColumnTexts::read(row, QStringLiteral("Fields"));
        const ColumnTexts expressions = ColumnTexts::read(row, QStringLiteral("Expressions"));
        const QString onPrint = row.str(QStringLiteral("OnPrint"));
        // Where the rule's line itself lies, when the form drew it elsewhere than its default
        // place above the row (the line runs through the middle of its shape).
        const int ruleTop = row.has(QStringLiteral("RuleAt")) ? row.tenths(QStringLiteral("RuleAt"), 0) - ruleHeight / 2
                                                              : rowTop - ruleAbove;
        row.finish();
        if (prefix == name)
            row.fail(QStringLiteral("행에 Name 이 없습니다"));
        if (headers && (fields.given || expressions.given || !dataSet.isEmpty() || !onPrint.isEmpty()))
            row.fail(QStringLiteral("머리글 행에는 DataSet, Fields, Expressions, OnPrint 가 없습니다"));

        if (!text.isEmpty()) {
            if (label.empty())
                row.fail(QStringLiteral("Caption 을 쓰려면 표에 CaptionColumn 이 있어야 합니다"));
            caption(out, prefix + QStringLiteral("Caption"), text, label[0], rowTop, label[1], cellHeight)->alignment =
                report::Alignment::Center;
        }
        if (!rule.isEmpty()) {
            shape(out, prefix + QStringLiteral("Rule"), ShapeKind::HorLine, left, ruleTop, width, ruleHeight);
            if (rule == QLatin1String("Double"))
                shape(out, prefix + QStringLiteral("Double"), ShapeKind::Rectangle, left, ruleTop, width, ruleHeight);
        }
        for (qsizetype c = 0; c < columns.size(); ++c) {
            const HourColumn &col = columns[c];
            const QString cell = prefix + col.key;
            if (headers) {
                caption(out, cell, col.header, lefts[size_t(c)], rowTop, columnWidth(c), cellHeight)->alignment =
                    report::Alignment::Center;
                continue;
            }
            const QString expression = expressions.of(col);
            Item *i = nullptr;
            if (!expression.isEmpty()) {
                i = add(out, cell, ItemClass::Expr, lefts[size_t(c)], rowTop, columnWidth(c), cellHeight);
                i->expression = expression;
            } else {
                i = add(out, cell, ItemClass::DBText, lefts[size_t(c)], rowTop, columnWidth(c), cellHeight);
                i->dataSet = dataSet;
                i->dataField = fields.given ? fields.of(col) : col.key;
                if (i->dataField.isEmpty())
                    row.fail(QStringLiteral("열 %1 의 필드가 없습니다").arg(col.key));
            }
            i->alignment = report::Alignment::Right;
            i->onPrint = onPrint;
        }
    }
    // Full-height rectangles around the caption column and every second column draw the
    // column rules.
    if (columnRules) {
        shape(out, name + QStringLiteral("ColLabel"), ShapeKind::Rectangle, left, top, lefts[0] - inset - left, height);
        for (qsizetype c = 0; c < columns.size(); c += 2) {
            const int from = lefts[size_t(c)] - inset;
            const int to = c + 1 < columns.size() ? lefts[size_t(c + 1)] - inset : left + width;
            shape(out, name + QStringLiteral("Col%1").arg(c), ShapeKind::Rectangle, from, top, to - from, height);
        }
    }
    return out;
}

} // namespace

const QList<HourColumn> &HourColumns()
{
    static const QList<HourColumn> columns = [] {
        QList<HourColumn> c;
        c.append({HourColumn::Kind::Total, QStringLiteral("TOTAL"), QStringLiteral("계"), {}});
        c.append({HourColumn::Kind::Morning, QStringLiteral("MORNING_TOTAL"), app::kMorningLabel, {}});
        bool afternoon = false;
        for (const app::HourBand &b : app::hourBands()) {
            if (!b.morning && !afternoon) {
                c.append({HourColumn::Kind::Afternoon, QStringLiteral("EVENING_TOTAL"), app::kAfternoonLabel, {}});
                afternoon = true;
            }
            c.append({HourColumn::Kind::Hour, b.column, b.header, b.column.right(2)});
        }
        return c;
    }();
    return columns;
}

QHash<QString, report::ConstructExpander> ItemConstructs()
{
    return {{QStringLiteral("TApprovalBox"), &approvalBox}, {QStringLiteral("THourGrid"), &hourGrid}};
}

QHash<QString, report::BandConstructExpander> BandConstructs()
{
    return {{QStringLiteral("TDayBreakdown"), &DayBreakdownBands}};
}

} // namespace tipdesk::common
