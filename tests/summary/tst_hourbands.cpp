#include "../ledger/LedgerConsole.h"
#include "../stats/KindTest.h"
#include "platform/report/Fonts.h"
#include "platform/report/constructs/Furniture.h"

#include <QtTest>
#include <algorithm>

using namespace tipdesk;
using test::Count;

namespace {

constexpr int kKind = 7;
constexpr std::nullopt_t null = std::nullopt;

// STAT_HUB rows: the stored total, then TIME06 (0-7 h) .. TIME21 (21-24 h); NULL is an empty bucket.
const QStringList kColumns{"TOTAL",  "TIME06", "TIME07", "TIME08", "TIME09", "TIME10", "TIME11", "TIME12", "TIME13",
                           "TIME14", "TIME15", "TIME16", "TIME17", "TIME18", "TIME19", "TIME20", "TIME21"};

// 5 to 10 January 2004: rows on Monday 5, Tuesday 6, Thursday 8 and Saturday 10; 7 and 9 January
// have none. On the 8th the 9-10 bucket is empty; on the 10th two reports came without an hour,
// so the stored total is above the buckets' sum.
const std::pair<const char *, std::vector<Count>> kDays[] = {
    {"20040105", {229, 11, 1, 2, 3, 4, 5, 6, 7, 20, 21, 22, 23, 24, 25, 26, 29}},
    {"20040106", {14, 2, 0, 0, 0, 0, 0, 0, 3, 4, 0, 0, 0, 0, 0, 0, 5}},
    {"20040108", {16, 0, 6, 0, null, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 0}},
    {"20040110", {10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8}},
    // Years of a busy desk in one row: seven-digit figures.
    {"20100104",
     {9600000, 600000, 600000, 600000, 600000, 600000, 600000, 600000, 600000, 600000, 600000, 600000, 600000, 600000,
      600000, 600000, 600000}},
};

// Forty days from Monday 1 March 2004, each with 1 report before 7 h and 2 between 14 and 15 h:
// more rows than two pages hold.
const QDate kLongStart(2004, 3, 1);
constexpr int kLongDays = 40;

// One transaction, so that building the fixture does not wait for the disk once per row.
QString fixtureRows()
{
    QString s = QStringLiteral("begin;\n");
    for (const auto &[day, values] : kDays)
        s += test::InsertDay(QStringLiteral("STAT_HUB"), QLatin1String(day), kColumns, values);
    for (int n = 0; n < kLongDays; ++n) {
        std::vector<Count> values(17, 0);
        values[0] = 3;
        values[1] = 1;
        values[9] = 2;
        s += test::InsertDay(QStringLiteral("STAT_HUB"), kLongStart.addDays(n).toString(QStringLiteral("yyyyMMdd")),
                             kColumns, values);
    }
    return s + QStringLiteral("commit;\n");
}

QDate day(const QString &key)
{
    return QDate::fromString(key, QStringLiteral("yyyyMMdd"));
}

// The first text a component printed in the report.
const report::Primitive *firstText(const report::PageModel &m, const QString &source)
{
    for (const report::Page &p : m.pages)
        for (const report::Primitive &q : p.items)
            if (q.kind == report::Primitive::Kind::Text && q.source == source)
                return &q;
    return nullptr;
}

// The table's column cells of one printed line, left to right: the texts on page 1 standing level
// with the key component's first text.
std::vector<const report::Primitive *> lineCells(const report::PageModel &m, const QString &key)
{
    std::vector<const report::Primitive *> cells;
    const report::Primitive *k = firstText(m, key);
    if (!k)
        return cells;
    for (const report::Primitive &p : m.pages.front().items)
        if (p.kind == report::Primitive::Kind::Text && qAbs(p.rect.top() - k->rect.top()) < 0.05)
            cells.push_back(&p);
    std::sort(cells.begin(), cells.end(), [](auto *a, auto *b) { return a->rect.left() < b->rect.left(); });
    return cells;
}

// The x of the vertical lines on page 1 that run through the height of a text.
QList<double> rulesThrough(const report::PageModel &m, const report::Primitive &text)
{
    QList<double> xs;
    const double middle = text.rect.center().y();
    for (const report::Primitive &p : m.pages.front().items) {
        const QRectF r = p.rect.normalized();
        if (p.kind == report::Primitive::Kind::Line && qAbs(p.p1().x() - p.p2().x()) < 0.01 && r.top() < middle &&
            r.bottom() > middle)
            xs << p.p1().x();
    }
    return xs;
}

} // namespace

class TstHourBands : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void bandsInTheirColumns_data();
    void bandsInTheirColumns();
    void everyFigureInACellOfItsOwn_data();
    void everyFigureInACellOfItsOwn();
    void daysAndTheirSums_data();
    void daysAndTheirSums();
    void totalRow_data();
    void totalRow();
    void emptyBucketCountsAsNothing();
    void oneDayRange();
    void longRangeOverPages();
    void rangeWithoutRowsMeansNoReport_data();
    void rangeWithoutRowsMeansNoReport();
    void noApprovalBox();
    void sevenDigitFiguresPrintWhole();
    void goldenPage_data();
    void goldenPage();

private:
    std::optional<report::PageModel> preview(const QString &start, const QString &end, bool approval = false)
    {
        return test::RenderRequest(test::Request(kKind, day(start), day(end), 0, approval));
    }
    std::unique_ptr<test::StatsEnvironment> m_env;
};

void TstHourBands::init()
{
    m_env = std::make_unique<test::StatsEnvironment>(fixtureRows());
}

void TstHourBands::cleanup()
{
    m_env.reset();
}

void TstHourBands::bandsInTheirColumns_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("monday"); // 5 January
    QTest::newRow("total") << "TOTAL"
                           << "계"
                           << "229";
    QTest::newRow("morning") << "MORNING_TOTAL"
                             << "오전"
                             << "39";
    QTest::newRow("0-7") << "TIME06"
                         << "0-7"
                         << "11";
    QTest::newRow("7-8") << "TIME07"
                         << "7-8"
                         << "1";
    QTest::newRow("9-10") << "TIME09"
                          << "9-10"
                          << "3";
    QTest::newRow("13-14") << "TIME13"
                           << "13-14"
                           << "7";
    QTest::newRow("afternoon") << "EVENING_TOTAL"
                               << "오후"
                               << "190";
    QTest::newRow("14-15") << "TIME14"
                           << "14-15"
                           << "20";
    QTest::newRow("20-21") << "TIME20"
                           << "20-21"
                           << "26";
    QTest::newRow("21-24") << "TIME21"
                           << "21-24"
                           << "29";
}

// A day's figure stands under its band's caption: same column, same box.
void TstHourBands::bandsInTheirColumns()
{
    QFETCH(QString, cell);
    QFETCH(QString, header);
    QFETCH(QString, monday);
    const std::optional<report::PageModel> run = preview(QStringLiteral("20040105"), QStringLiteral("20040105"));
    QVERIFY(run);
    const report::Primitive *head = firstText(*run, QStringLiteral("GridHead") + cell);
    const report::Primitive *value = firstText(*run, QStringLiteral("GridDay") + cell);
    QVERIFY(head && value);
    QCOMPARE(head->text, header);
    QCOMPARE(value->text, monday);
    QCOMPARE(value->rect.left(), head->rect.left());
    QCOMPARE(value->rect.width(), head->rect.width());
}

void TstHourBands::everyFigureInACellOfItsOwn_data()
{
    QTest::addColumn<QString>("key"); // a component of the line
    QTest::addColumn<int>("cells");
    QTest::newRow("column header") << "QRLabel3" << 20;   // "날짜" and the 19 hour columns
    QTest::newRow("day") << "QRDBText1" << 21;            // the day, its name and 19 figures
    QTest::newRow("total row") << "GridSumCaption" << 20; // "계" and 19 totals
}

// No rule runs through a caption or a figure, and exactly one separates neighbours: the day and
// its name only in the detail rows.
void TstHourBands::everyFigureInACellOfItsOwn()
{
    QFETCH(QString, key);
    QFETCH(int, cells);
    const std::optional<report::PageModel> run = preview(QStringLiteral("20040105"), QStringLiteral("20040110"));
    QVERIFY(run);
    const std::vector<const report::Primitive *> line = lineCells(*run, key);
    QCOMPARE(int(line.size()), cells);
    const QList<double> rules = rulesThrough(*run, *line.front());
    for (size_t i = 0; i < line.size(); ++i) {
        const QRectF r = line[i]->rect;
        for (double x : rules)
            QVERIFY2(x <= r.left() || x >= r.right(), qPrintable(line[i]->source + u' ' + line[i]->text));
        if (i == 0)
            continue;
        const double from = line[i - 1]->rect.right(), to = r.left();
        const auto between = std::count_if(rules.begin(), rules.end(), [&](double x) { return x > from && x < to; });
        QVERIFY2(between == 1, qPrintable(line[i - 1]->source + QStringLiteral(" | ") + line[i]->source));
    }
}

void TstHourBands::daysAndTheirSums_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QStringList>("days");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("totals");
    QTest::addColumn<QStringList>("mornings");
    QTest::addColumn<QStringList>("afternoons");
    // 7 and 9 January have no row and print none; the 10th's total is the stored one.
    QTest::newRow("week with gaps") << "20040105"
                                    << "20040110" << QStringList{"20040105", "20040106", "20040108", "20040110"}
                                    << QStringList{"월", "화", "목", "토"} << QStringList{"229", "14", "16", "10"}
                                    << QStringList{"39", "5", "7", "0"} << QStringList{"190", "9", "9", "8"};
    QTest::newRow("range ends on a gap") << "20040106"
                                         << "20040109" << QStringList{"20040106", "20040108"} << QStringList{"화", "목"}
                                         << QStringList{"14", "16"} << QStringList{"5", "7"} << QStringList{"9", "9"};
}

void TstHourBands::daysAndTheirSums()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QStringList, days);
    QFETCH(QStringList, names);
    QFETCH(QStringList, totals);
    QFETCH(QStringList, mornings);
    QFETCH(QStringList, afternoons);
    const std::optional<report::PageModel> run = preview(start, end);
    QVERIFY(run);
    QCOMPARE(test::TextsOf(*run, QStringLiteral("QRDBText1")), days);
    QCOMPARE(test::TextsOf(*run, QStringLiteral("QRDBText2")), names);
    QCOMPARE(test::TextsOf(*run, QStringLiteral("GridDayTOTAL")), totals);
    QCOMPARE(test::TextsOf(*run, QStringLiteral("GridDayMORNING_TOTAL")), mornings);
    QCOMPARE(test::TextsOf(*run, QStringLiteral("GridDayEVENING_TOTAL")), afternoons);
}

void TstHourBands::totalRow_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("total");
    // 5, 6, 8 and 10 January; the morning and afternoon totals equal the sums of their bands.
    const auto row = [](const char *name, const char *cell, const char *total) {
        QTest::newRow(name) << "20040105"
                            << "20040110" << cell << total;
    };
    row("grand total", "TOTAL", "269");
    row("morning", "MORNING_TOTAL", "51");
    row("0-7", "TIME06", "13");
    row("7-8", "TIME07", "7");
    row("8-9", "TIME08", "2");
    row("9-10 with an empty bucket", "TIME09", "3");
    row("10-11", "TIME10", "5");
    row("13-14", "TIME13", "10");
    row("afternoon", "EVENING_TOTAL", "216");
    row("14-15", "TIME14", "24");
    row("20-21", "TIME20", "35");
    row("21-24", "TIME21", "42");
    QTest::newRow("6 to 9 morning") << "20040106"
                                    << "20040109"
                                    << "MORNING_TOTAL"
                                    << "12";
    QTest::newRow("6 to 9 afternoon") << "20040106"
                                      << "20040109"
                                      << "EVENING_TOTAL"
                                      << "18";
    QTest::newRow("6 to 9 grand total") << "20040106"
                                        << "20040109"
                                        << "TOTAL"
                                        << "30";
}

void TstHourBands::totalRow()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, cell);
    QFETCH(QString, total);
    const std::optional<report::PageModel> run = preview(start, end);
    QVERIFY(run);
    QCOMPARE(test::TextsOf(*run, QStringLiteral("GridSum") + cell), QStringList{total});
    QCOMPARE(test::TextsOf(*run, QStringLiteral("GridSumCaption")), QStringList{QStringLiteral("계")});
}

// An empty bucket prints blank and counts as nothing: the day's morning sum adds its other
// buckets, so the morning total still equals the sum of the morning bands' totals.
void TstHourBands::emptyBucketCountsAsNothing()
{
    const std::optional<report::PageModel> run = preview(QStringLiteral("20040108"), QStringLiteral("20040108"));
    QVERIFY(run);
    const std::pair<const char *, QStringList> cells[] = {
        {"GridDayTIME09", {}},           {"GridDayTIME07", {"6"}}, {"GridDayMORNING_TOTAL", {"7"}},
        {"GridSumMORNING_TOTAL", {"7"}}, {"GridSumTIME09", {"0"}}, {"GridSumEVENING_TOTAL", {"9"}}};
    for (const auto &[cell, texts] : cells)
        QCOMPARE(test::TextsOf(*run, QLatin1String(cell)), texts);
}

// One day: one row, and a total row repeating it in every column.
void TstHourBands::oneDayRange()
{
    const std::optional<report::PageModel> run = preview(QStringLiteral("20040105"), QStringLiteral("20040105"));
    QVERIFY(run);
    QCOMPARE(run->pageCount(), 1);
    QCOMPARE(test::TextsOf(*run, QStringLiteral("QRDBText1")), QStringList{"20040105"});
    for (const common::HourColumn &c : common::HourColumns()) {
        const QStringList row = test::TextsOf(*run, QStringLiteral("GridDay") + c.key);
        QCOMPARE(row.size(), 1);
        QCOMPARE(test::TextsOf(*run, QStringLiteral("GridSum") + c.key), row);
    }
}

// The column header on every page, the title on the first, the total row once after the last day.
void TstHourBands::longRangeOverPages()
{
    const QString start = kLongStart.toString(QStringLiteral("yyyyMMdd"));
    const QDate last = kLongStart.addDays(kLongDays - 1);
    const std::optional<report::PageModel> run = preview(start, last.toString(QStringLiteral("yyyyMMdd")));
    QVERIFY(run);
    QVERIFY2(run->pageCount() >= 3, qPrintable(QString::number(run->pageCount())));
    const QList<int> all = test::AllPages(*run);
    for (const char *header : {"QRLabel3", "GridHeadTOTAL", "GridHeadTIME06", "GridHeadTIME21", "QRSysData2"})
        QCOMPARE(test::PagesWith(*run, QLatin1String(header)), all);
    QCOMPARE(test::PagesWith(*run, QStringLiteral("QRLabel1")), QList<int>{1});
    QCOMPARE(test::PagesWith(*run, QStringLiteral("GridSumCaption")), QList<int>{run->pageCount()});

    // Every day once, in order, named after the calendar's weekday.
    const QString weekdays[] = {"월", "화", "수", "목", "금", "토", "일"};
    QStringList days, names;
    for (QDate d = kLongStart; d <= last; d = d.addDays(1)) {
        days << d.toString(QStringLiteral("yyyyMMdd"));
        names << weekdays[d.dayOfWeek() - 1];
    }
    QCOMPARE(test::TextsOf(*run, QStringLiteral("QRDBText1")), days);
    QCOMPARE(test::TextsOf(*run, QStringLiteral("QRDBText2")), names);
    // The totals run over all pages: 40 days of 1 + 2.
    const std::pair<const char *, const char *> totals[] = {
        {"TOTAL", "120"}, {"MORNING_TOTAL", "40"}, {"TIME06", "40"}, {"EVENING_TOTAL", "80"}, {"TIME14", "80"}};
    for (const auto &[cell, total] : totals)
        QCOMPARE(test::TextsOf(*run, QStringLiteral("GridSum") + QLatin1String(cell)),
                 QStringList{QLatin1String(total)});
}

void TstHourBands::rangeWithoutRowsMeansNoReport_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::newRow("gap day") << "20040107"
                             << "20040107";
    QTest::newRow("month without rows") << "20041001"
                                        << "20041031";
}

void TstHourBands::rangeWithoutRowsMeansNoReport()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    const std::optional<report::PageModel> run = preview(start, end);
    QVERIFY(!run);
}

// The summaries have no approval box: "전결인 사용" changes nothing on the page.
void TstHourBands::noApprovalBox()
{
    const std::optional<report::PageModel> with = preview(QStringLiteral("20040105"), QStringLiteral("20040110"), true);
    const std::optional<report::PageModel> without =
        preview(QStringLiteral("20040105"), QStringLiteral("20040110"), false);
    QVERIFY(with);
    QVERIFY(!with->pages.front().contains(QStringLiteral("전결")));
    QVERIFY(!with->pages.front().contains(QStringLiteral("담  당")));
    QCOMPARE(report::dumpText(*with), report::dumpText(*without));
}

void TstHourBands::sevenDigitFiguresPrintWhole()
{
    report::installFontSubstitutes();
    const std::optional<report::PageModel> run = preview(QStringLiteral("20100104"), QStringLiteral("20100104"));
    QVERIFY(run);
    QCOMPARE(test::TextsOf(*run, QStringLiteral("GridSumTOTAL")), QStringList{"9600000"});
    QCOMPARE(test::TextsOf(*run, QStringLiteral("GridSumMORNING_TOTAL")), QStringList{"4800000"});
    QStringList cells;
    for (const common::HourColumn &c : common::HourColumns())
        cells << QStringLiteral("GridDay") + c.key << QStringLiteral("GridSum") + c.key;
    QCOMPARE(test::CutTexts(*run, cells), QStringList());
}

void TstHourBands::goldenPage_data()
{
    test::AddGoldenRows({kKind});
}

void TstHourBands::goldenPage()
{
    m_env.reset(); // the golden page has a database of its own
    test::CheckGoldenRow(QStringLiteral("summary"));
}

QTEST_MAIN(TstHourBands)
#include "tst_hourbands.moc"
