// Every kind's whole report on a demo database as busy as the program's own, read as a supervisor
// reads it: no text under 8 pt, wrapped lines at least 1.15 times their size apart, and no text
// crossing a rule, measured on the glyphs as the painter places them.
#include "KindTest.h"
#include "platform/report/Fonts.h"

#include <QFontMetricsF>
#include <QImage>

using namespace tipdesk;
using namespace tipdesk::test;

namespace {

const QDate kLastDay(2026, 11, 25);

// The demo database of the program: 400 reports a day, here over 35 days.
class BusyEnvironment {
public:
    BusyEnvironment()
    {
        demo::DemoOptions o;
        o.out = m_dir.filePath(QStringLiteral("busy.db"));
        o.until = kLastDay;
        o.days = 35;
        demo::buildDemoDb(o);
        db::setEmbeddedOverride(o.out);
        db::Clock::setFixed(QDateTime(kLastDay.addDays(10), QTime(9, 30)));
        m_dataMod = std::make_unique<app::TDataMod1>();
        m_module = std::make_unique<stats::TDMReport>();
    }
    ~BusyEnvironment()
    {
        m_module.reset();
        m_dataMod.reset();
        db::Clock::clearFixed();
        db::setEmbeddedOverride(QString());
    }

private:
    ui::ScopedRecordingUi m_ui;
    QTemporaryDir m_dir;
    std::unique_ptr<app::TDataMod1> m_dataMod;
    std::unique_ptr<stats::TDMReport> m_module;
};

// Where the glyphs of a text primitive lie, in mm, measured as the renderer measures.
QRectF inkOf(const report::PageModel &m, const report::Primitive &t)
{
    static QImage device = [] {
        QImage i(1, 1, QImage::Format_Mono);
        i.setDotsPerMeterX(int(1200 / 0.0254));
        i.setDotsPerMeterY(int(1200 / 0.0254));
        return i;
    }();
    const report::PageFont &pf = m.fonts[size_t(t.font)];
    QFont font(pf.family);
    font.setPointSizeF(pf.pointSize);
    font.setBold(pf.bold);
    const QFontMetricsF fm(font, &device);
    const double w = fm.horizontalAdvance(t.text) * 25.4 / 1200;
    double x = t.rect.x();
    if (t.align & Qt::AlignRight)
        x += t.rect.width() - w;
    else if (t.align & Qt::AlignHCenter)
        x += (t.rect.width() - w) / 2;
    return QRectF(x, t.rect.y(), w, (fm.ascent() + fm.descent()) * 25.4 / 1200);
}

// The rules of a page as segments: lines, and the edges of outlined rectangles.
std::vector<QLineF> rulesOf(const report::Page &page)
{
    std::vector<QLineF> rules;
    for (const report::Primitive &p : page.items) {
        if (p.kind == report::Primitive::Kind::Line)
            rules.emplace_back(p.p1(), p.p2());
        if (p.kind == report::Primitive::Kind::Rect && p.penStyle != Qt::NoPen && p.penWidth > 0) {
            const QRectF &r = p.rect;
            rules.insert(rules.end(), {QLineF(r.topLeft(), r.topRight()), QLineF(r.bottomLeft(), r.bottomRight()),
                                       QLineF(r.topLeft(), r.bottomLeft()), QLineF(r.topRight(), r.bottomRight())});
        }
    }
    return rules;
}

bool crosses(const QLineF &rule, const QRectF &ink)
{
    constexpr double e = 0.05; // mm: a rule touching the ink's edge does not cross it
    const QRectF inner = ink.adjusted(e, e, -e, -e);
    if (inner.isEmpty())
        return false;
    if (qFuzzyCompare(rule.y1(), rule.y2()))
        return rule.y1() > inner.top() && rule.y1() < inner.bottom() && std::max(rule.x1(), rule.x2()) > inner.left() &&
               std::min(rule.x1(), rule.x2()) < inner.right();
    return rule.x1() > inner.left() && rule.x1() < inner.right() && std::max(rule.y1(), rule.y2()) > inner.top() &&
           std::min(rule.y1(), rule.y2()) < inner.bottom();
}

// What a page does wrong, one line a fault.
QStringList faultsOf(const report::PageModel &m, int index)
{
    const report::Page &page = m.pages[size_t(index)];
    const std::vector<QLineF> rules = rulesOf(page);
    QStringList faults;
    const report::Primitive *previous = nullptr;
    for (const report::Primitive *t : page.texts()) {
        const double size = m.fonts[size_t(t->font)].pointSize;
        const QString where = QStringLiteral("page %1 %2 \"%3\"").arg(index + 1).arg(t->source, t->text);
        if (size < 8)
            faults << QStringLiteral("%1 at %2 pt").arg(where).arg(size);
        // The next line of a wrapped text: the same component right below, at the same place.
        if (previous && previous->source == t->source && qFuzzyCompare(previous->rect.x(), t->rect.x()) &&
            t->rect.y() > previous->rect.y() && t->rect.y() - previous->rect.y() < 2.5 * size * 25.4 / 72) {
            const double step = t->rect.y() - previous->rect.y();
            if (step < 1.15 * size * 25.4 / 72 - 0.005)
                faults << QStringLiteral("%1 %2 mm under the line before").arg(where).arg(step);
        }
        previous = t;
        const QRectF ink = inkOf(m, *t);
        for (const QLineF &rule : rules)
            if (crosses(rule, ink)) {
                faults << QStringLiteral("%1 crossed by a rule at (%2,%3)-(%4,%5)")
                              .arg(where)
                              .arg(rule.x1())
                              .arg(rule.y1())
                              .arg(rule.x2())
                              .arg(rule.y2());
                break;
            }
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
        m_env = std::make_unique<BusyEnvironment>();
    }
    void cleanupTestCase() { m_env.reset(); }
    void everyKindReadsOnPaper_data();
    void everyKindReadsOnPaper();

private:
    std::unique_ptr<BusyEnvironment> m_env;
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
    const bool period = stats::FindKind(kind)->inputs == stats::KindInputs::StartEnd;
    // A kind of one day takes the last whole day of statistics; a period kind all 35 days.
    const std::optional<report::PageModel> m = RenderRequest(period ? Request(kind, kLastDay.addDays(-34), kLastDay)
                                                                    : Request(kind, kLastDay.addDays(-1), {}, 0, true));
    QVERIFY2(m && m->pageCount() > 0, "no report");
    QStringList faults;
    for (int i = 0; i < m->pageCount(); ++i)
        faults += faultsOf(*m, i);
    QVERIFY2(faults.isEmpty(),
             qPrintable(QStringLiteral("%1 faults, the first:\n").arg(faults.size()) + faults.mid(0, 400).join(u'\n')));
}

QTEST_MAIN(TstReadablePages)
#include "tst_readable_pages.moc"
