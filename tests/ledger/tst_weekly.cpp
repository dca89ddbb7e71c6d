#include "../stats/KindTest.h"
#include "LedgerConsole.h"
#include "LedgerRows.h"
#include "platform/report/Fonts.h"
#include "platform/report/constructs/Furniture.h"

#include <QtTest>

using namespace tipdesk;
using test::Count;

namespace {

constexpr int kKind = 13;

// A STAT_HUB row: the day's stored total and its buckets TIME06..TIME21 (index 0..15); an empty
// bucket is NULL.
struct HubDay {
    const char *day;
    int total;
    std::vector<std::pair<int, Count>> buckets; // (hour, count); the other buckets are 0
};

// June/July 2004: a week from Monday 28 June to Sunday 4 July with rows on three days, a day
// before it (25 June) and one after it (5 July). On 30 June the 09-10 bucket is empty.
// December 2004: days whose totals give averages at a half.
const HubDay kDays[] = {
    {"20040625",
     16,
     {{6, 1},
      {7, 1},
      {8, 1},
      {9, 1},
      {10, 1},
      {11, 1},
      {12, 1},
      {13, 1},
      {14, 1},
      {15, 1},
      {16, 1},
      {17, 1},
      {18, 1},
      {19, 1},
      {20, 1},
      {21, 1}}},
    {"20040628", 10, {{6, 3}, {13, 2}, {14, 4}, {21, 1}}},
    {"20040630", 15, {{7, 6}, {9, std::nullopt}, {20, 9}}},
    {"20040701", 3, {{6, 1}, {15, 2}}},
    {"20040705", 50, {{6, 20}, {18, 30}}},
    {"20041206", 10, {{6, 10}}},
    {"20041207", 15, {{14, 15}}},
    {"20041208", 13, {{8, 13}}},
    {"20041209", 14, {{16, 14}}},
    {"20041213", 7, {{10, 3}, {19, 4}}},
    {"20041214", 16, {{21, 16}}},
    // Years of a busy desk in one row: seven-digit running totals.
    {"20100104",
     9600000,
     {{6, 600000},
      {7, 600000},
      {8, 600000},
      {9, 600000},
      {10, 600000},
      {11, 600000},
      {12, 600000},
      {13, 600000},
      {14, 600000},
      {15, 600000},
      {16, 600000},
      {17, 600000},
      {18, 600000},
      {19, 600000},
      {20, 600000},
      {21, 600000}}},
    {"20100105", 2, {{6, 1}, {21, 1}}},
};

QString fixtureRows()
{
    QStringList columns{QStringLiteral("TOTAL")};
    for (int h = 6; h <= 21; ++h)
        columns << QStringLiteral("TIME%1").arg(h, 2, 10, QLatin1Char('0'));
    QString s;
    for (const HubDay &d : kDays) {
        std::vector<Count> values(17, 0);
        values[0] = d.total;
        for (const auto &[hour, count] : d.buckets)
            values[size_t(hour - 5)] = count;
        s += test::InsertDay(QStringLiteral("STAT_HUB"), QLatin1String(d.day), columns, values);
    }
    return s;
}

QDate day(const char *key)
{
    return QDate::fromString(QLatin1String(key), QStringLiteral("yyyyMMdd"));
}

} // namespace

class TstWeekly : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void rowsOfTheDaysWithData_data();
    void rowsOfTheDaysWithData();
    void emptyBucketCountsAsNothingInTheSubtotals();
    void periodAndRunningTotals_data();
    void periodAndRunningTotals();
    void dailyAverageRoundsHalvesToEven_data();
    void dailyAverageRoundsHalvesToEven();
    void oneDayPeriod();
    void periodWithoutRowsMeansNoReport();
    void stampFollowsTheConsoleOption();
    void sevenDigitTotalsPrintWhole();
    void formFreedOnceAfterThePreview();
    void formPreparedAndNotShownFreedOnceWithTheConsole();
    void goldenPage_data();
    void goldenPage();

private:
    std::optional<report::PageModel> preview(const char *start, const char *end, bool approval = false)
    {
        return test::RenderRequest(test::Request(kKind, day(start), day(end), 0, approval));
    }
    std::unique_ptr<test::StatsEnvironment> m_env;
};

void TstWeekly::init()
{
    m_env = std::make_unique<test::StatsEnvironment>(fixtureRows());
}

void TstWeekly::cleanup()
{
    m_env.reset();
}

void TstWeekly::rowsOfTheDaysWithData_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QStringList>("days");
    QTest::addColumn<QStringList>("weekdays");
    QTest::addColumn<QString>("periodLine");
    // Days without a row (29 June, 2 to 4 July) are absent; the week crosses the month end.
    QTest::newRow("week over a month end") << "20040628"
                                           << "20040704" << QStringList{"20040628", "20040630", "20040701"}
                                           << QStringList{"월", "수", "목"} << "06월 28일 ~ 07월 04일";
    QTest::newRow("leading zeros kept") << "20041206"
                                        << "20041209" << QStringList{"20041206", "20041207", "20041208", "20041209"}
                                        << QStringList{"월", "화", "수", "목"} << "12월 06일 ~ 12월 09일";
}

void TstWeekly::rowsOfTheDaysWithData()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QStringList, days);
    QFETCH(QStringList, weekdays);
    QFETCH(QString, periodLine);
    const std::optional<report::PageModel> run = preview(qPrintable(start), qPrintable(end));
    QVERIFY(run);
    QCOMPARE(test::TextsOf(*run, QStringLiteral("QRDBText1")), days);
    QCOMPARE(test::TextsOf(*run, QStringLiteral("QRDBText2")), weekdays);
    QCOMPARE(test::TextsOf(*run, QStringLiteral("QRLabel23")), QStringList{periodLine});
}

void TstWeekly::emptyBucketCountsAsNothingInTheSubtotals()
{
    const std::optional<report::PageModel> run = preview("20040628", "20040704");
    QVERIFY(run);
    // 28 June: 3 + 2 before 14:00, 4 + 1 after; 30 June: 6 and an empty 09-10 bucket, 9;
    // 1 July: 1, 2.
    QCOMPARE(test::TextsOf(*run, QStringLiteral("GridDayMORNING_TOTAL")), (QStringList{"5", "6", "1"}));
    QCOMPARE(test::TextsOf(*run, QStringLiteral("GridDayEVENING_TOTAL")), (QStringList{"5", "9", "2"}));
    for (const auto &[row, bucket] : {std::pair{0, "0"}, {1, ""}, {2, "0"}})
        QCOMPARE(test::RowTexts(*run, QStringLiteral("QRDBText1"), {QStringLiteral("GridDayTIME09")}, row),
                 QStringList{QLatin1String(bucket)});
    QCOMPARE(test::TextsOf(*run, QStringLiteral("GridDayTIME07")), (QStringList{"0", "6", "0"}));
    QCOMPARE(test::TextsOf(*run, QStringLiteral("GridDayTOTAL")), (QStringList{"10", "15", "3"}));
}

void TstWeekly::periodAndRunningTotals_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("cell"); // the grid's column
    QTest::addColumn<QString>("period");
    QTest::addColumn<QString>("running"); // every day up to the end day
    // The week: rows of 28 June, 30 June and 1 July; "총누계" also counts 25 June (1 in every
    // bucket) and never 5 July.
    QTest::newRow("week total") << "20040628"
                                << "20040704"
                                << "TOTAL"
                                << "28"
                                << "44";
    QTest::newRow("week morning") << "20040628"
                                  << "20040704"
                                  << "MORNING_TOTAL"
                                  << "12"
                                  << "20";
    QTest::newRow("week afternoon") << "20040628"
                                    << "20040704"
                                    << "EVENING_TOTAL"
                                    << "16"
                                    << "24";
    QTest::newRow("week 0-7") << "20040628"
                              << "20040704"
                              << "TIME06"
                              << "4"
                              << "5";
    QTest::newRow("week empty 09-10") << "20040628"
                                      << "20040704"
                                      << "TIME09"
                                      << "0"
                                      << "1";
    QTest::newRow("week 20-21") << "20040628"
                                << "20040704"
                                << "TIME20"
                                << "9"
                                << "10";
    QTest::newRow("week 21-24") << "20040628"
                                << "20040704"
                                << "TIME21"
                                << "1"
                                << "2";
    // December: "총누계" adds the whole of June and July, 5 July included.
    QTest::newRow("December total") << "20041206"
                                    << "20041209"
                                    << "TOTAL"
                                    << "52"
                                    << "146";
    QTest::newRow("December morning") << "20041206"
                                      << "20041209"
                                      << "MORNING_TOTAL"
                                      << "23"
                                      << "63";
    QTest::newRow("December afternoon") << "20041206"
                                        << "20041209"
                                        << "EVENING_TOTAL"
                                        << "29"
                                        << "83";
    QTest::newRow("December 0-7") << "20041206"
                                  << "20041209"
                                  << "TIME06"
                                  << "10"
                                  << "35";
}

void TstWeekly::periodAndRunningTotals()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, cell);
    QFETCH(QString, period);
    QFETCH(QString, running);
    const std::optional<report::PageModel> run = preview(qPrintable(start), qPrintable(end));
    QVERIFY(run);
    QCOMPARE(test::TextsOf(*run, QStringLiteral("GridSum") + cell), QStringList{period});
    QCOMPARE(test::TextsOf(*run, QStringLiteral("GridSumAll") + cell), QStringList{running});
    QCOMPARE(test::TextsOf(*run, QStringLiteral("GridSumCaption")), QStringList{QStringLiteral("누계")});
    QCOMPARE(test::TextsOf(*run, QStringLiteral("GridSumAllCaption")), QStringList{QStringLiteral("총누계")});
}

void TstWeekly::dailyAverageRoundsHalvesToEven_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("average");
    QTest::newRow("12.5 down to 12") << "20041206"
                                     << "20041207"
                                     << "12";
    QTest::newRow("13.5 up to 14") << "20041208"
                                   << "20041209"
                                   << "14";
    QTest::newRow("11.5 up to 12") << "20041213"
                                   << "20041214"
                                   << "12";
    QTest::newRow("whole 13") << "20041206"
                              << "20041209"
                              << "13";
    // 9 and 13 December only, (14 + 7) / 2: the three days between have no row and no part.
    QTest::newRow("10.5 over the days with rows") << "20041209"
                                                  << "20041213"
                                                  << "10";
    QTest::newRow("28 / 3 down to 9") << "20040628"
                                      << "20040704"
                                      << "9";
}

void TstWeekly::dailyAverageRoundsHalvesToEven()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, average);
    const std::optional<report::PageModel> run = preview(qPrintable(start), qPrintable(end));
    QVERIFY(run);
    QCOMPARE(test::TextsOf(*run, QStringLiteral("QRLabel25")), QStringList{average});
}

void TstWeekly::oneDayPeriod()
{
    const std::optional<report::PageModel> run = preview("20041213", "20041213");
    QVERIFY(run);
    QCOMPARE(run->pageCount(), 1);
    QCOMPARE(test::TextsOf(*run, QStringLiteral("QRDBText1")), QStringList{"20041213"});
    QCOMPARE(test::TextsOf(*run, QStringLiteral("QRLabel23")), QStringList{"12월 13일 ~ 12월 13일"});
    // "누계" repeats the one row; the average is its total.
    for (const char *cell : {"TOTAL", "MORNING_TOTAL", "EVENING_TOTAL", "TIME10", "TIME19", "TIME06"})
        QCOMPARE(test::TextsOf(*run, QStringLiteral("GridSum") + QLatin1String(cell)),
                 test::TextsOf(*run, QStringLiteral("GridDay") + QLatin1String(cell)));
    QCOMPARE(test::TextsOf(*run, QStringLiteral("GridDayMORNING_TOTAL")), QStringList{"3"});
    QCOMPARE(test::TextsOf(*run, QStringLiteral("GridDayEVENING_TOTAL")), QStringList{"4"});
    QCOMPARE(test::TextsOf(*run, QStringLiteral("QRLabel25")), QStringList{"7"});
}

void TstWeekly::periodWithoutRowsMeansNoReport()
{
    const std::optional<report::PageModel> run = preview("20041001", "20041031");
    QVERIFY(!run);
}

void TstWeekly::stampFollowsTheConsoleOption()
{
    test::CheckStampSwitch(kKind, day("20040628"), QStringLiteral("QRLabel97"), QStringLiteral("QRShape65"));
}

void TstWeekly::sevenDigitTotalsPrintWhole()
{
    report::installFontSubstitutes();
    const std::optional<report::PageModel> run = preview("20100104", "20100105");
    QVERIFY(run);
    // The running totals add 2004: 66 in the mornings, 103 in the afternoons.
    QCOMPARE(test::TextsOf(*run, QStringLiteral("GridSumAllMORNING_TOTAL")), QStringList{"4800067"});
    QCOMPARE(test::TextsOf(*run, QStringLiteral("GridSumAllEVENING_TOTAL")), QStringList{"4800104"});
    QCOMPARE(test::TextsOf(*run, QStringLiteral("GridSumEVENING_TOTAL")), QStringList{"4800001"});
    QStringList cells;
    for (const common::HourColumn &c : common::HourColumns())
        cells << QStringLiteral("GridSum") + c.key << QStringLiteral("GridSumAll") + c.key;
    QCOMPARE(test::CutTexts(*run, cells), QStringList());
}

void TstWeekly::formFreedOnceAfterThePreview()
{
    stats::TfStatHUBp console(m_env->session(), m_env->module());
    console.setRequest(test::Request(kKind, day("20040628"), day("20040704")));
    int freed = 0;
    report::setPreviewHook(
        [&freed](report::ReportForm &form) { QObject::connect(&form, &QObject::destroyed, [&freed] { ++freed; }); });
    console.SBPreviewClick();
    report::setPreviewHook(nullptr);
    QCOMPARE(console.lastOutcome(), stats::TfStatHUBp::Outcome::Shown);
    QCOMPARE(freed, 1);
}

void TstWeekly::formPreparedAndNotShownFreedOnceWithTheConsole()
{
    int freed = 0;
    {
        stats::TfStatHUBp console(m_env->session(), m_env->module());
        console.PrepareReport(test::Request(kKind, day("20040628"), day("20040704")));
        QVERIFY(m_env->session().ready());
        QVERIFY(console.preparedForm());
        QObject::connect(console.preparedForm(), &QObject::destroyed, [&freed] { ++freed; });
        console.close();
        QCOMPARE(freed, 1);
        QVERIFY(!console.preparedForm());
    }
    QCOMPARE(freed, 1);
}

void TstWeekly::goldenPage_data()
{
    test::AddGoldenRows({kKind});
}

void TstWeekly::goldenPage()
{
    m_env.reset(); // the golden page has a database of its own
    test::CheckGoldenRow(QStringLiteral("ledger"));
}

QTEST_MAIN(TstWeekly)
#include "tst_weekly.moc"
