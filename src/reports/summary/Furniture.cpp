#include "reports/summary/Furniture.h"

namespace tipdesk::report {

namespace {

ApprovalState::Provider &provider()
{
    static ApprovalState::Provider p;
    return p;
}

} // namespace

void ApprovalState::setProvider(Provider p)
{
    provider() = std::move(p);
}

bool ApprovalState::delegatedStampEnabled()
{
    return provider() ? provider()() : false;
}

void applyStampSwitch(ReportForm &form, const QString &stampLabel, const QString &stampShape)
{
    if (ApprovalState::delegatedStampEnabled())
        return;
    form.label(stampLabel)->setCaption(QString());
    form.shape(stampShape)->pen.color = QColor(0xFF, 0xFF, 0xFF);
}

void placeApprovalBox(ReportForm &form, Band *band, int left, int top, const QString &caption,
                      const ApprovalBoxNames &names)
{
    Layout &layout = form.layout();
    std::vector<std::unique_ptr<Item>> made;
    auto place = [&](const QString &name, ItemClass cls, int l, int t, int w, int h) {
        auto i = std::make_unique<Item>();
        i->name = name;
        i->itemClass = cls;
        i->left = left + l;
        i->top = top + t;
        i->width = w;
        i->height = h;
        return made.emplace_back(std::move(i)).get();
    };
    auto shape = [&](const QString &name, ShapeKind kind, int l, int t, int w, int h) {
        place(name, ItemClass::Shape, l, t, w, h)->shape = kind;
    };
    auto label = [&](const QString &name, const QString &text, int l, int t, int w, int h, double size) {
        Item *i = place(name, ItemClass::Label, l, t, w, h);
        i->caption = text;
        i->parentFont = false;
        i->font.name = QStringLiteral("굴림");
        i->font.size = size;
        i->font.bold = true;
        return i;
    };
    // Geometry in 0.1 mm from the outer rectangle's corner.
    shape(names.prefix + QStringLiteral("Box"), ShapeKind::Rectangle, 0, 0, 807, 217);
    Item *col = label(names.prefix + QStringLiteral("Caption"), caption, 32, 21, 42, 148, 10);
    col->wordWrap = true;
    shape(names.prefix + QStringLiteral("Col1"), ShapeKind::Rectangle, 98, 0, 180, 217);
    shape(names.prefix + QStringLiteral("Col3"), ShapeKind::Rectangle, 455, 0, 180, 217);
    shape(names.prefix + QStringLiteral("Header"), ShapeKind::HorLine, 98, 74, 712, 0);
    const QString titles[] = {QStringLiteral("담  당"), QStringLiteral("과  장"), QStringLiteral("국  장"),
                              QStringLiteral("본부장")};
    const int titleLeft[] = {124, 299, 481, 656};
    for (int k = 0; k < 4; ++k)
        label(names.prefix + QStringLiteral("Title%1").arg(k + 1), titles[k], titleLeft[k], 21, 127, 40, 10)
            ->alignment = Alignment::Center;
    shape(names.stampShape, ShapeKind::Rectangle, 478, 116, 132, 69);
    Item *stamp = label(names.stampLabel, QStringLiteral("전결"), 498, 129, 90, 45, 12);
    stamp->autoSize = true;

    for (const auto &i : made)
        if (layout.item(i->name))
            throw ReportError(QStringLiteral("보고서 %1 에 항목 %2 이(가) 이미 있습니다").arg(layout.name, i->name));
    for (auto &i : made) {
        if (band)
            band->addItem(std::move(i));
        else
            layout.items.push_back(std::move(i));
    }
}

void drawRegisterFrame(ReportForm &form, PageCanvas &canvas, const QString &titleBand, const QString &pageHeaderBand,
                       const QStringList &ruleShapes)
{
    const Layout &l = form.layout();
    canvas.setTextAlign(Qt::AlignLeft | Qt::AlignTop);
    int top = l.topMargin + form.band(pageHeaderBand)->height;
    if (canvas.pageNumber() == 1)
        top += form.band(titleBand)->height;
    const int y0 = canvas.toDeviceY(top);
    const int y1 = canvas.toDeviceY(l.pageLength - l.bottomMargin);
    canvas.setBrush(QColor());
    canvas.setPen(Qt::black, 3);
    canvas.rectangle(canvas.toDeviceX(l.leftMargin), y0, canvas.toDeviceX(l.pageWidth - l.rightMargin), y1);
    canvas.setPenWidth(1);
    for (const QString &name : ruleShapes) {
        const Item *s = form.shape(name);
        canvas.rectangle(canvas.toDeviceX(l.leftMargin + s->left), y0,
                         canvas.toDeviceX(l.leftMargin + s->left + s->width), y1);
    }
}

} // namespace tipdesk::report
