// Every kind's whole report on a demo database as busy as the program's own (400 reports a day),
// read as a supervisor reads it: no text under 8 pt, wrapped lines at least 1.15 times their size
// apart, and no text across a rule, measured on the glyphs where the painter puts them.
#include "KindTest.h"
#include "platform/report/Fonts.h"

#include <QFontMetricsF>
#include <QImage>

using namespace tipdesk;
using namespace tipdesk::test;

namespace {

const QDate kLastDay(2026, 11, 25);

// Where the glyphs of a text lie, in mm, measured as the renderer measures them.
QRectF inkOf(const report::PageModel &m, const report::Primitive &t)
{
    static QImage device = [] {
        QImage i(1, 1, QImage::Format_Mono);
        i.setDotsPerMeterX(int(1200 / 0.0254));
        i.setDotsPerMeterY(int(1200 / 0.0254));
        return i;
    }();
    QFont font(m.fonts[size_t(t.font)].family);
    font.setPointSizeF(m.fonts[size_t(t.font)].pointSize);
    font.setBold(m.fonts[size_t(t.font)].bold);
    const QFontMetricsF fm(font, &device);
    const double w = fm.horizontalAdvance(t.text) * 25.4 / 1200;
    const double free = t.rect.width() - w;
    const double x = t.rect.x() + (t.align & Qt::AlignRight ? free : t.align & Qt::AlignHCenter ? free / 2 : 0);
    return QRectF(x, t.rect.y(), w, (fm.ascent() + fm.descent()) * 25.4 / 1200);
}

// A rule crosses the ink where it passes through it, not where it touches its edge.
bool crosses(QLineF rule, const QRectF &ink)
{
    const QRectF in = ink.adjusted(0.05, 0.05, -0.05, -0.05);
    const auto [x1, x2] = std::minmax({rule.x1(), rule.x2()});
    const auto [y1, y2] = std::minmax({rule.y1(), rule.y2()});
    return x1 < in.right() && x2 > in.left() && y1 < in.bottom() && y2 > in.top();
}

QStringList faultsOf(const report::PageModel &m, int index)
{
    const report::Page &page = m.pages[size_t(index)];
    std::vector<QLineF> rules;
    for (const report::Primitive &p : page.items) {
        const QRectF &r = p.rect;
        if (p.kind == report::Primitive::Kind::Line)
            rules.emplace_back(p.p1(), p.p2());
        else if (p.kind == report::Primitive::Kind::Rect && p.penStyle != Qt::NoPen && p.penWidth > 0)
            rules.insert(rules.end(), {QLineF(r.topLeft(), r.topRight()), QLineF(r.bottomLeft(), r.bottomRight()),
                                       QLineF(r.topLeft(), r.bottomLeft()), QLineF(r.topRight(), r.bottomRight())});
    }
    QStringList faults;
    const report::Primitive *above = nullptr;
    for (const report::Primitive *t : page.texts()) {
        const double em = m.fonts[size_t(t->font)].pointSize * 25.4 / 72;
        const QString at = QStringLiteral("page %1 %2 \"%3\"").arg(index + 1).arg(t->source, t->text);
        if (em < 8 * 25.4 / 72)
            faults << at + QStringLiteral(" under 8 pt");
        // The next line of a wrapped text: the same component right below the line before.
        const double step =
            above && above->source == t->source && above->rect.x() == t->rect.x() ? t->rect.y() - above->rect.y() : 0;
        if (step > 0 && step < 1.15 * em - 0.005)
            faults << at + QStringLiteral(" %1 mm under the line before").arg(step);
        above = t;
        const QRectF ink = inkOf(m, *t);
        if (std::any_of(rules.cbegin(), rules.cend(), [&](const QLineF &r) { return crosses(r, ink); }))
            faults << at + QStringLiteral(" crossed by a rule");
    }
    return faults;
}

} // namespace

class TstReadablePages : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        report::installFontSubstitutes();
        m_env = std::make_unique<GoldenEnvironment>(kLastDay, 35, 400);
    }
    void cleanupTestCase() { m_env.reset(); }
    void everyKindReadsOnPaper_data();
    void everyKindReadsOnPaper();

private:
    std::unique_ptr<GoldenEnvironment> m_env;
};

void TstReadablePages::everyKindReadsOnPaper_data()
{
    QTest::addColumn<int>("kind");
    for (const stats::KindDescriptor *d : stats::AllKinds())
        QTest::newRow(qPrintable(QStringLiteral("kind %1").arg(d->kind))) << d->kind;
}

void TstReadablePages::everyKindReadsOnPaper()
{
    QFETCH(int, kind);
    // A kind of one day takes the last whole day of statistics; a period kind all 35 days.
    const bool period = stats::FindKind(kind)->inputs == stats::KindInputs::StartEnd;
    const std::optional<report::PageModel> m = RenderRequest(period ? Request(kind, kLastDay.addDays(-34), kLastDay)
                                                                    : Request(kind, kLastDay.addDays(-1), {}, 0, true));
    QVERIFY2(m && m->pageCount() > 0, "no report");
    QStringList faults;
    for (int i = 0; i < m->pageCount(); ++i)
        faults += faultsOf(*m, i);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.mid(0, 20).join(u'\n')));
}

QTEST_MAIN(TstReadablePages)
#include "tst_readable_pages.moc"
