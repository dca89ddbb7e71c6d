#include "../ledger/LedgerConsole.h"
#include "../stats/KindTest.h"
#include "platform/report/Layout.h"
#include "platform/report/constructs/Furniture.h"

#include <QJsonDocument>
#include <QtTest>
#include <algorithm>

using namespace tipdesk;
using test::Count;

namespace {

constexpr int kReporters = 4; // "제보자별"
constexpr int kHandling = 5;  // "처리 현황별"
constexpr int kContent = 6;   // "내용별"

constexpr std::nullopt_t null = std::nullopt;

// STAT_HUB, 1 to 6 March 2005 (3 March has no row), with a day on either side of the period:
// 100 = 29 + 10 + 20 + 1 + 23 + 17; 40 with shares of 23/40 = 57.5%; 200 with 1/200 = .5% and
// nothing sent; a day whose total is 0 while some counts are not; a day with missing counts.
const QStringList kColumns{"TOTAL",    "REPORTER1", "REPORTER2", "REPORTER3", "REPORTER4", "REPORTER5", "REPORTER6",
                           "RESULT1",  "RESULT2",   "RESULT3",   "CONTENT1",  "CONTENT2",  "CONTENT3",  "CONTENT4",
                           "CONTENT5", "CONTENT6",  "CONTENT7",  "CONTENT8",  "CONTENT9"};
const std::pair<const char *, std::vector<Count>> kDays[] = {
    {"20050228", {77, 77, 0, 0, 0, 0, 0, 77, 0, 0, 77, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"20050301", {100, 29, 10, 20, 1, 23, 17, 29, 46, 25, 10, 15, 1, 0, 5, 20, 8, 29, 12}},
    {"20050302", {40, 23, 17, 0, 0, 0, 0, 23, 1, 16, 17, 0, 0, 0, 0, 0, 0, 23, 0}},
    {"20050304", {200, 1, 199, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 199, 0, 0}},
    {"20050305", {0, 3, 0, 0, 0, 0, 0, 0, 2, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"20050306", {10, null, 10, 0, 0, 0, 0, 4, null, 6, 10, 0, 0, 0, 0, 0, 0, null, 0}},
    {"20050307", {88, 88, 0, 0, 0, 0, 0, 88, 0, 0, 88, 0, 0, 0, 0, 0, 0, 0, 0}},
};

// A hundred days from 1 January 2006, day n counting n, all of them correspondents' reports,
// handled in house and about congestion.
const QDate kLongStart(2006, 1, 1);
constexpr int kLongDays = 100;

QString fixtureRows()
{
    QString s;
    for (const auto &[day, values] : kDays)
        s += test::InsertDay(QStringLiteral("STAT_HUB"), QLatin1String(day), kColumns, values);
    for (int n = 1; n <= kLongDays; ++n) {
        std::vector<Count> values(size_t(kColumns.size()), 0);
        values[0] = values[1] = values[7] = values[17] = n; // TOTAL, REPORTER1, RESULT1, CONTENT8
        s += test::InsertDay(QStringLiteral("STAT_HUB"), kLongStart.addDays(n - 1).toString("yyyyMMdd"), kColumns,
                             values);
    }
    return s;
}

// The column header's captions left to right, and the caption over each printed value of a
// row in print order (a pair's count and share both stand under its caption).
QStringList headerOf(int kind)
{
    switch (kind) {
    case kReporters:
        return {"날짜", "요일", "계", "통신원", "경찰제보처", "시민", "직원", "고정제보처", "기타"};
    case kHandling:
        return {"날짜", "요일", "계", "자체처리", "방송", "비보도", "방송비율", "비고"};
    default:
        return {"날짜", "요일", "계", "정체", "원활", "사고", "공사", "행사", "기상", "안내", "기관통보", "기타"};
    }
}

QStringList placesOf(int kind)
{
    QStringList places;
    for (const QString &caption : headerOf(kind)) {
        if (caption == QStringLiteral("비고"))
            continue;
        const bool single = caption == QStringLiteral("날짜") || caption == QStringLiteral("요일") ||
                            caption == QStringLiteral("계") || caption == QStringLiteral("방송비율");
        places << caption;
        if (!single)
            places << caption;
    }
    return places;
}

// "20050301 화 100 29 29% ..." with "-" for a value that prints nothing, as "caption:value".
QStringList labelled(int kind, const char *values)
{
    const QStringList v = QString::fromUtf8(values).split(u' ');
    const QStringList places = placesOf(kind);
    if (v.size() != places.size())
        return {QStringLiteral("(%1 values for %2 places)").arg(v.size()).arg(places.size())};
    QStringList out;
    for (qsizetype i = 0; i < v.size(); ++i)
        if (v[i] != QLatin1String("-"))
            out << places[i] + u':' + v[i];
    return out;
}

// The column header's captions on a page, left to right.
std::vector<const report::Primitive *> headerCaptions(const report::Page &page)
{
    std::vector<const report::Primitive *> out;
    const report::Primitive *day = nullptr;
    for (const report::Primitive &p : page.items)
        if (p.source == QLatin1String("QRLabelDay"))
            day = &p;
    if (!day)
        return out;
    for (const report::Primitive &p : page.items)
        if (p.kind == report::Primitive::Kind::Text && qAbs(p.rect.top() - day->rect.top()) < 0.05)
            out.push_back(&p);
    std::sort(out.begin(), out.end(), [](auto *a, auto *b) { return a->rect.left() < b->rect.left(); });
    return out;
}

// Every text printed on the line of a component's n-th text (from 0), left to right, as
// "caption:value" with the caption of the column it stands in.
QStringList printedLine(const report::PageModel &m, const QString &source, int n = 0)
{
    for (const report::Page &page : m.pages) {
        for (const report::Primitive &key : page.items) {
            if (key.source != source || n-- > 0)
                continue;
            const auto captions = headerCaptions(page);
            std::vector<const report::Primitive *> line;
            for (const report::Primitive &p : page.items)
                if (p.kind == report::Primitive::Kind::Text && qAbs(p.rect.top() - key.rect.top()) < 0.05)
                    line.push_back(&p);
            std::sort(line.begin(), line.end(), [](auto *a, auto *b) { return a->rect.left() < b->rect.left(); });
            QStringList out;
            for (const report::Primitive *p : line) {
                QString caption = QStringLiteral("?");
                for (const report::Primitive *c : captions)
                    if (p->rect.center().x() > c->rect.left() - 0.5 && p->rect.center().x() < c->rect.right() + 0.5)
                        caption = c->text;
                out << caption + u':' + p->text;
            }
            return out;
        }
    }
    return {QStringLiteral("(no %1 %2)").arg(source).arg(n)};
}

// The x positions (from the band's left edge) of the vertical lines crossing the line of a
// component's first text.
QList<double> rulesAcross(const report::PageModel &m, const QString &source, double leftMargin)
{
    for (const report::Page &page : m.pages)
        for (const report::Primitive &key : page.items) {
            if (key.source != source)
                continue;
            const double y = key.rect.center().y();
            QList<double> xs;
            for (const report::Primitive &p : page.items) {
                if (p.kind != report::Primitive::Kind::Line || qAbs(p.p1().x() - p.p2().x()) > 0.01)
                    continue;
                if (std::min(p.p1().y(), p.p2().y()) < y && std::max(p.p1().y(), p.p2().y()) > y) {
                    const double x = std::round((p.p1().x() - leftMargin) * 10) / 10;
                    if (!xs.contains(x))
                        xs << x;
                }
            }
            std::sort(xs.begin(), xs.end());
            return xs;
        }
    return {};
}

} // namespace

// Kinds 4, 5 and 6: a row per day with the day's total and its categories, each with the
// database's share cut to one decimal, and the period's totals from the sum query.
class TstBreakdowns : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void rowsAndPeriodTotals_data();
    void rowsAndPeriodTotals();
    void oneDayPeriod_data();
    void oneDayPeriod();
    void periodWithoutRowsMeansNoReport_data();
    void periodWithoutRowsMeansNoReport();
    void columnRules_data();
    void columnRules();
    void longPeriodOverSeveralPages_data();
    void longPeriodOverSeveralPages();
    void breakdownRefusals_data();
    void breakdownRefusals();
    void goldenPages_data();
    void goldenPages();

private:
    std::unique_ptr<test::StatsEnvironment> m_env;
};

// The tests only read the fixture: one database serves them all.
void TstBreakdowns::initTestCase()
{
    m_env = std::make_unique<test::StatsEnvironment>(fixtureRows());
}

void TstBreakdowns::cleanupTestCase()
{
    m_env.reset();
}

void TstBreakdowns::init()
{
    m_env->ui().clear();
}

void TstBreakdowns::rowsAndPeriodTotals_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<QStringList>("totals");
    // Correspondents (1), police points (5), citizens (2), staff (4), fixed points (3), others (6).
    // The total row is the period's sums and their shares of 350, not an average of the days.
    QTest::newRow("reporter types")
        << kReporters
        << QList<QStringList>{labelled(kReporters, "20050301 화 100 29 29% 23 23% 10 10% 1 1% 20 20% 17 17%"),
                              labelled(kReporters, "20050302 수 40 23 57.5% 0 0% 17 42.5% 0 0% 0 0% 0 0%"),
                              labelled(kReporters, "20050304 금 200 1 .5% 0 0% 199 99.5% 0 0% 0 0% 0 0%"),
                              labelled(kReporters, "20050305 토 0 3 0% 0 0% 0 0% 0 0% 0 0% 0 0%"),
                              labelled(kReporters, "20050306 일 10 - 0% 0 0% 10 100% 0 0% 0 0% 0 0%")}
        << labelled(kReporters, "계 - 350 56 16% 23 6.5% 236 67.4% 1 .2% 20 5.7% 17 4.8%");
    // In house, broadcast, not broadcast, and the broadcast share of what was sent (46 of 71, 1 of
    // 17; nothing sent prints 0%; 2 of 2 on the day whose total is 0). Over the period 49 of 90:
    // the day with a missing broadcast count is left out of both sums.
    QTest::newRow("handling") << kHandling
                              << QList<QStringList>{labelled(kHandling, "20050301 화 100 29 29% 46 46% 25 25% 64.7%"),
                                                    labelled(kHandling, "20050302 수 40 23 57.5% 1 2.5% 16 40% 5.8%"),
                                                    labelled(kHandling, "20050304 금 200 1 .5% 0 0% 0 0% 0%"),
                                                    labelled(kHandling, "20050305 토 0 0 0% 2 0% 0 0% 100%"),
                                                    labelled(kHandling, "20050306 일 10 4 40% - 0% 6 60% 0%")}
                              << labelled(kHandling, "계 - 350 57 16.2% 49 14% 47 13.4% 54.4%");
    // Congestion (8), flow (1), accidents (5), construction (3), events (4), weather (6),
    // guidance (2), notices (9), others (7).
    QTest::newRow("content")
        << kContent
        << QList<QStringList>{labelled(kContent,
                                       "20050301 화 100 29 29% 10 10% 5 5% 1 1% 0 0% 20 20% 15 15% 12 12% 8 8%"),
                              labelled(kContent, "20050302 수 40 23 57.5% 17 42.5% 0 0% 0 0% 0 0% 0 0% 0 0% 0 0% 0 0%"),
                              labelled(kContent, "20050304 금 200 0 0% 0 0% 1 .5% 0 0% 0 0% 0 0% 0 0% 0 0% 199 99.5%"),
                              labelled(kContent, "20050305 토 0 0 0% 3 0% 0 0% 0 0% 0 0% 0 0% 0 0% 0 0% 0 0%"),
                              labelled(kContent, "20050306 일 10 - 0% 10 100% 0 0% 0 0% 0 0% 0 0% 0 0% 0 0% 0 0%")}
        << labelled(kContent, "계 - 350 52 14.8% 40 11.4% 6 1.7% 1 .2% 0 0% 20 5.7% 15 4.2% 12 3.4% 207 59.1%");
}

void TstBreakdowns::rowsAndPeriodTotals()
{
    QFETCH(int, kind);
    QFETCH(QList<QStringList>, rows);
    QFETCH(QStringList, totals);
    const std::optional<report::PageModel> run =
        test::RenderRequest(test::Request(kind, QDate(2005, 3, 1), QDate(2005, 3, 6)));
    QVERIFY(run);
    QCOMPARE(run->pageCount(), 1);
    QStringList header;
    for (const report::Primitive *c : headerCaptions(run->pages.front()))
        header << c->text;
    QCOMPARE(header, headerOf(kind));
    // In day order, without the day that has no row and without the days around the period.
    QCOMPARE(test::TextsOf(*run, QStringLiteral("QRDBTextDay")),
             (QStringList{"20050301", "20050302", "20050304", "20050305", "20050306"}));
    for (int r = 0; r < rows.size(); ++r)
        QCOMPARE(printedLine(*run, QStringLiteral("QRDBTextDay"), r), rows[r]);
    QCOMPARE(printedLine(*run, QStringLiteral("QRLabelSum")), totals);
}

void TstBreakdowns::oneDayPeriod_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QStringList>("row");
    QTest::addColumn<QStringList>("totals");
    // A single day: the total row repeats its figures.
    QTest::newRow("reporter types, one day")
        << kReporters << QDate(2005, 3, 2)
        << labelled(kReporters, "20050302 수 40 23 57.5% 0 0% 17 42.5% 0 0% 0 0% 0 0%")
        << labelled(kReporters, "계 - 40 23 57.5% 0 0% 17 42.5% 0 0% 0 0% 0 0%");
    QTest::newRow("handling, one day") << kHandling << QDate(2005, 3, 1)
                                       << labelled(kHandling, "20050301 화 100 29 29% 46 46% 25 25% 64.7%")
                                       << labelled(kHandling, "계 - 100 29 29% 46 46% 25 25% 64.7%");
    QTest::newRow("content, one day") << kContent << QDate(2005, 3, 4)
                                      << labelled(kContent,
                                                  "20050304 금 200 0 0% 0 0% 1 .5% 0 0% 0 0% 0 0% 0 0% 0 0% 199 99.5%")
                                      << labelled(kContent,
                                                  "계 - 200 0 0% 0 0% 1 .5% 0 0% 0 0% 0 0% 0 0% 0 0% 199 99.5%");
    // A period whose only total is 0 while some counts are not: the shares of the day and of the
    // period print 0% instead of the database refusing the division.
    QTest::newRow("reporter types, total 0")
        << kReporters << QDate(2005, 3, 5) << labelled(kReporters, "20050305 토 0 3 0% 0 0% 0 0% 0 0% 0 0% 0 0%")
        << labelled(kReporters, "계 - 0 3 0% 0 0% 0 0% 0 0% 0 0% 0 0%");
    QTest::newRow("handling, total 0") << kHandling << QDate(2005, 3, 5)
                                       << labelled(kHandling, "20050305 토 0 0 0% 2 0% 0 0% 100%")
                                       << labelled(kHandling, "계 - 0 0 0% 2 0% 0 0% 100%");
    QTest::newRow("content, total 0") << kContent << QDate(2005, 3, 5)
                                      << labelled(kContent,
                                                  "20050305 토 0 0 0% 3 0% 0 0% 0 0% 0 0% 0 0% 0 0% 0 0% 0 0%")
                                      << labelled(kContent, "계 - 0 0 0% 3 0% 0 0% 0 0% 0 0% 0 0% 0 0% 0 0% 0 0%");
    // Missing counts: the count prints nothing, its share 0%; the period's sums skip it.
    QTest::newRow("handling, missing count")
        << kHandling << QDate(2005, 3, 6) << labelled(kHandling, "20050306 일 10 4 40% - 0% 6 60% 0%")
        << labelled(kHandling, "계 - 10 4 40% 0 0% 6 60% 0%");
    QTest::newRow("content, missing count")
        << kContent << QDate(2005, 3, 6)
        << labelled(kContent, "20050306 일 10 - 0% 10 100% 0 0% 0 0% 0 0% 0 0% 0 0% 0 0% 0 0%")
        << labelled(kContent, "계 - 10 0 0% 10 100% 0 0% 0 0% 0 0% 0 0% 0 0% 0 0% 0 0%");
}

void TstBreakdowns::oneDayPeriod()
{
    QFETCH(int, kind);
    QFETCH(QDate, day);
    QFETCH(QStringList, row);
    QFETCH(QStringList, totals);
    const std::optional<report::PageModel> run = test::RenderRequest(test::Request(kind, day, day));
    QVERIFY(run);
    QVERIFY(m_env->ui().entries.isEmpty());
    QCOMPARE(test::TextsOf(*run, QStringLiteral("QRDBTextDay")).size(), 1);
    QCOMPARE(printedLine(*run, QStringLiteral("QRDBTextDay")), row);
    QCOMPARE(printedLine(*run, QStringLiteral("QRLabelSum")), totals);
}

void TstBreakdowns::periodWithoutRowsMeansNoReport_data()
{
    QTest::addColumn<int>("kind");
    for (int kind : {kReporters, kHandling, kContent})
        QTest::addRow("kind %d", kind) << kind;
}

void TstBreakdowns::periodWithoutRowsMeansNoReport()
{
    QFETCH(int, kind);
    const std::optional<report::PageModel> run =
        test::RenderRequest(test::Request(kind, QDate(2005, 3, 3), QDate(2005, 3, 3)));
    QVERIFY(!run);
}

void TstBreakdowns::columnRules_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<double>("leftMargin");
    QTest::addColumn<QList<double>>("header");
    QTest::addColumn<QList<double>>("dividers"); // inside the pairs, in the detail and summary bands
    QTest::addColumn<double>("dayLine");         // between the day and its name, in the detail band only
    QTest::newRow("reporter types") << kReporters << 10.0
                                    << QList<double>{0, 30.7, 45.2, 70.3, 94.5, 118.6, 142.9, 167.5, 190}
                                    << QList<double>{57.1, 81.5, 105.8, 129.6, 154.2, 178.6} << 21.4;
    QTest::newRow("handling") << kHandling << 18.0 << QList<double>{0, 31.2, 47.1, 79.4, 111.4, 142.6, 160, 174}
                              << QList<double>{62.6, 94.9, 126.6} << 20.3;
    QTest::newRow("content") << kContent << 10.0 << QList<double>{0,     29.1,  53.2,  78,  102.2, 127, 151.1,
                                                                  175.9, 200.1, 224.9, 252, 276.8, 277}
                             << QList<double>{65.1, 89.5, 114.3, 138.5, 163, 187.4, 212.2, 237.4, 264.2} << 19.1;
}

void TstBreakdowns::columnRules()
{
    QFETCH(int, kind);
    QFETCH(double, leftMargin);
    QFETCH(QList<double>, header);
    QFETCH(QList<double>, dividers);
    QFETCH(double, dayLine);
    const std::optional<report::PageModel> run =
        test::RenderRequest(test::Request(kind, QDate(2005, 3, 1), QDate(2005, 3, 2)));
    QVERIFY(run);
    QList<double> summary = header + dividers;
    std::sort(summary.begin(), summary.end());
    QList<double> detail = summary;
    detail << dayLine;
    std::sort(detail.begin(), detail.end());
    QCOMPARE(rulesAcross(*run, QStringLiteral("QRLabelDay"), leftMargin), header);
    QCOMPARE(rulesAcross(*run, QStringLiteral("QRDBTextDay"), leftMargin), detail);
    QCOMPARE(rulesAcross(*run, QStringLiteral("QRLabelSum"), leftMargin), summary);
}

void TstBreakdowns::longPeriodOverSeveralPages_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("firstShare");
    for (const auto &[kind, title, share] : {std::tuple{kReporters, "제보자별제보현황", "QRDBTextComPer"},
                                             std::tuple{kHandling, "처리현황", "QRDBTextSelfPer"},
                                             std::tuple{kContent, "내용별제보현황", "QRDBTextCnt8Per"}})
        QTest::addRow("kind %d", kind) << kind << QString::fromUtf8(title) << QString::fromLatin1(share);
}

void TstBreakdowns::longPeriodOverSeveralPages()
{
    QFETCH(int, kind);
    QFETCH(QString, title);
    QFETCH(QString, firstShare);
    const std::optional<report::PageModel> run =
        test::RenderRequest(test::Request(kind, kLongStart, kLongStart.addDays(kLongDays - 1)));
    QVERIFY(run);
    const report::PageModel &m = *run;
    QVERIFY2(m.pageCount() >= 3, qPrintable(QString::number(m.pageCount())));
    QStringList days, pageNumbers;
    for (int n = 0; n < kLongDays; ++n)
        days << kLongStart.addDays(n).toString("yyyyMMdd");
    for (int p = 1; p <= m.pageCount(); ++p)
        pageNumbers << QString::number(p);
    QCOMPARE(test::TextsOf(m, QStringLiteral("QRDBTextDay")), days);
    QCOMPARE(test::TextsOf(m, firstShare), QStringList(kLongDays, QStringLiteral("100%")));
    // The column header on every page, the title on the first, the total row once at the end.
    QCOMPARE(test::PagesWith(m, QStringLiteral("QRLabelTotal")), test::AllPages(m));
    QCOMPARE(test::TextsOf(m, QStringLiteral("QRSysDataPage")), pageNumbers);
    QCOMPARE(test::PagesWith(m, QStringLiteral("QRLabelTitle")), QList<int>{1});
    QCOMPARE(m.pages.front().textsOf(QStringLiteral("QRLabelTitle")), QStringList{title});
    QCOMPARE(test::PagesWith(m, QStringLiteral("QRLabelSum")), QList<int>{m.pageCount()});
    QCOMPARE(test::TextsOf(m, QStringLiteral("QRDBSumTotal")), QStringList{QString::number(kLongDays * 101 / 2)});
    for (int p = 0; p < m.pageCount(); ++p)
        QVERIFY(!headerCaptions(m.pages[size_t(p)]).empty());
}

void TstBreakdowns::breakdownRefusals_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QJsonValue>("value");
    const auto column = [](double left, double right, const QJsonValue &divider, const QJsonArray &fields) {
        QJsonObject c{{"Name", "Col"}, {"Caption", "칸"}, {"Span", QJsonArray{left, right}}, {"Fields", fields}};
        if (!divider.isNull())
            c.insert("Divider", divider);
        return QJsonArray{c};
    };
    QTest::newRow("gap between columns") << "Columns" << QJsonValue(column(31, 50, 40, {"A", "B"}));
    QTest::newRow("divider outside the span") << "Columns" << QJsonValue(column(30, 50, 55, {"A", "B"}));
    QTest::newRow("pair with one field") << "Columns" << QJsonValue(column(30, 50, 40, {"A"}));
    QTest::newRow("single field without a place") << "Columns" << QJsonValue(column(30, 50, QJsonValue(), {"A"}));
    QTest::newRow("unknown property") << "Colour" << QJsonValue("red");
    QTest::newRow("no sum query") << "SummaryDataSet" << QJsonValue("");
}

void TstBreakdowns::breakdownRefusals()
{
    QFETCH(QString, key);
    QFETCH(QJsonValue, value);
    QJsonObject table{{"Class", "TDayBreakdown"},
                      {"SummaryDataSet", "qrySum"},
                      {"ColumnHeader", QJsonObject{{"Name", "H"}, {"Height", 6}}},
                      {"Detail", QJsonObject{{"Name", "D"}, {"Height", 6}}},
                      {"Summary", QJsonObject{{"Name", "S"}, {"Height", 6}}},
                      {"Count", QJsonArray{0.5, 9}},
                      {"Share", QJsonArray{0.5, 9}},
                      {"Day", QJsonObject{{"Span", QJsonArray{0, 30}},
                                          {"Divider", 20},
                                          {"Captions", QJsonArray{"날짜", "요일"}},
                                          {"Fields", QJsonArray{"STAT_DAY", "STR_WEEK"}}}},
                      {"Columns", QJsonArray{QJsonObject{{"Name", "Col"},
                                                         {"Caption", "칸"},
                                                         {"Span", QJsonArray{30, 50}},
                                                         {"Divider", 40},
                                                         {"Fields", QJsonArray{"A", "B"}}}}}};
    const auto parse = [](const QJsonObject &t) {
        const QJsonObject layout{{"Name", "QRTest"}, {"Bands", QJsonArray{t}}};
        return report::parseLayout(QJsonDocument(layout).toJson(), QStringLiteral("test.json"));
    };
    // As given, the table is read: three bands with the pair's items.
    const auto layout = parse(table);
    QCOMPARE(layout->bands.size(), size_t(3));
    QVERIFY(layout->item(QStringLiteral("QRDBTextColPer")));
    table.insert(key, value);
    QVERIFY_THROWS_EXCEPTION(report::ReportError, parse(table));
}

void TstBreakdowns::goldenPages_data()
{
    test::AddGoldenRows({kReporters, kHandling, kContent});
}

void TstBreakdowns::goldenPages()
{
    // The golden database takes the fixture's place for the one comparison.
    m_env.reset();
    test::CheckGoldenRow(QStringLiteral("summary"));
    m_env = std::make_unique<test::StatsEnvironment>(fixtureRows());
}

QTEST_MAIN(TstBreakdowns)
#include "tst_breakdowns.moc"
