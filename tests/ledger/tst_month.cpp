#include "../stats/KindTest.h"
#include "../stats/StatsFixture.h"
#include "LedgerRows.h"

#include <QtTest>

using namespace tipdesk;
using test::GridColumn;
using test::Hours;

namespace {

constexpr int kMonthKind = 14;

using HandlingRow = test::HoursRow;

// June 1999 over two days, with a result "4" that counts as broadcast material only. Summed over
// the month, TIME06 is 0 everywhere (a share without a divisor), TIME07 gives broadcast 3 of a
// material 16 (18.75 %), TIME08 1 of 16 (6.25 %), TIME09 thirds. Every other month holds only
// what its average needs: February 2000 and 2001 a total of 84 (2 a day over 29 days, 3 over
// 28), December 2003 92 (2.97 a day, printed 2), November 2004 no in-house row and a material
// of 45. April 2004 has handling and guidance rows but no statistics row.
const HandlingRow kRows[] = {
    {"19990601", "1", {0, 2, 0, 1, 4, 0, 0, 3, 1, 0, 0, 2, 5, 0, 0, 1}},
    {"19990601", "2", {0, 2, 1, 0, 0, 2, 7, 0, 0, 4, 1, 0, 2, 0, 9, 1}},
    {"19990601", "3", {0, 6, 7, 1, 1, 0, 3, 5, 0, 4, 0, 0, 1, 1, 0, 2}},
    {"19990601", "4", {0, 1, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0}},
    {"19990615", "1", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5}},
    {"19990615", "2", {0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"19990615", "3", {0, 6, 8, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"20000229", "1", {0, 0, 0, 0, 40, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"20000201", "2", {0, 0, 0, 0, 0, 0, 0, 0, 44, 0, 0, 0, 0, 0, 0, 0}},
    {"20010201", "1", {0, 0, 0, 0, 40, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"20010228", "3", {0, 0, 0, 0, 0, 0, 0, 0, 44, 0, 0, 0, 0, 0, 0, 0}},
    {"20031201", "1", {0, 0, 0, 0, 62, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"20031231", "2", {0, 0, 0, 0, 0, 0, 0, 0, 30, 0, 0, 0, 0, 0, 0, 0}},
    {"20041102", "2", {0, 0, 0, 0, 20, 0, 0, 0, 25, 0, 0, 0, 0, 0, 0, 0}},
    {"20040405", "2", {0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
};

// The guidance-service calls of June 1999 (and of the month without statistics).
const HandlingRow kGuidance[] = {
    {"19990601", nullptr, {1, 0, 2, 0, 0, 3, 0, 0, 0, 1, 0, 0, 0, 0, 0, 4}},
    {"19990630", nullptr, {0, 5, 1, 0, 0, 0, 0, 2, 0, 0, 0, 0, 6, 0, 0, 1}},
    {"20040405", nullptr, {0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
};

// STAT_HUB of June 1999, worked out by hand: the month's total is 32; reporters 6, 16, 3, 3, 2, 2
// (18.75, 50, 9.375, 9.375, 6.25, 6.25 %); guidance 3 and agency notices 5 of 8 (37.5, 62.5 %);
// in-house 13 of 32 (40.625 %), broadcast material 19 (59.375 %) of which broadcast 11 (57.89 %)
// and not broadcast 8 (42.11 %). In November 2004 the agency notices and the not-broadcast
// count are empty, so every share that reads them has no value.
const char *const kHub =
    "insert into STAT_HUB (STAT_DAY, TOTAL, CONTENT2, CONTENT9, REPORTER1, REPORTER2, REPORTER3, REPORTER4, "
    "REPORTER5, REPORTER6, RESULT1, RESULT2, RESULT3) values "
    "('19990601', 16, 2, 3, 3, 12, 0, 0, 1, 0, 6, 5, 5), "
    "('19990615', 10, 1, 1, 3, 2, 1, 2, 1, 1, 5, 2, 3), "
    "('19990630', 6, 0, 1, 0, 2, 2, 1, 0, 1, 2, 4, 0), "
    "('20000229', 5, 1, 1, 1, 1, 1, 1, 1, 0, 1, 2, 2), "
    "('20010228', 5, 1, 1, 1, 1, 1, 1, 1, 0, 1, 2, 2), "
    "('20031231', 5, 1, 1, 1, 1, 1, 1, 1, 0, 1, 2, 2), "
    "('20041102', 4, 4, NULL, 4, 0, 0, 0, 0, 0, 1, 3, NULL);\n";

QString fixtureRows()
{
    QString s = QLatin1String(kHub);
    for (const HandlingRow &r : kRows)
        s += test::HoursInsert("STAT_HUB_DAY", r.day, r.result, r.hours);
    for (const HandlingRow &r : kGuidance)
        s += test::HoursInsert("STAT_HUB_INFO", r.day, nullptr, r.hours);
    return s;
}

// A column of June 1999 summed over the rows of one result, or of every result but in-house.
int june(const GridColumn &c, const char *result)
{
    int s = 0;
    for (const HandlingRow &r : kRows)
        if (QByteArray(r.day).startsWith("199906") &&
            (result ? qstrcmp(r.result, result) == 0 : qstrcmp(r.result, "1") != 0))
            s += c.of(r.hours);
    return s;
}

int juneGuidance(const GridColumn &c)
{
    int s = 0;
    for (const HandlingRow &r : kGuidance)
        if (QByteArray(r.day).startsWith("199906"))
            s += c.of(r.hours);
    return s;
}

} // namespace

class TstMonth : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void hourGridOfTheMonth_data();
    void hourGridOfTheMonth();
    void guidanceCallsByHour();
    void tablesOfTheMonth_data();
    void tablesOfTheMonth();
    void emptySharesPrintEmptyCells();
    void dateLineAndDailyAverage_data();
    void dateLineAndDailyAverage();
    void anyDayOfTheMonthGivesTheSameSheet();
    void printAfterPreviewGivesTheSameSheet();
    void monthWithoutStatisticsMeansNoReport_data();
    void monthWithoutStatisticsMeansNoReport();
    void stampFollowsTheConsoleOption();
    void goldenPage_data();
    void goldenPage();

private:
    report::PageModel render(const QDate &day, bool approval = false)
    {
        const std::optional<report::PageModel> model =
            test::RenderRequest(test::Request(kMonthKind, day, day, 0, approval));
        m_found = model.has_value();
        return model.value_or(report::PageModel());
    }
    std::unique_ptr<test::StatsEnvironment> m_env;
    bool m_found = false; // the last render found rows
};

void TstMonth::init()
{
    m_env = std::make_unique<test::StatsEnvironment>(fixtureRows());
}

void TstMonth::cleanup()
{
    m_env.reset();
}

void TstMonth::hourGridOfTheMonth_data()
{
    QTest::addColumn<int>("column");
    const std::vector<GridColumn> cols = test::GridColumns();
    for (int i = 0; i < int(cols.size()); ++i)
        QTest::newRow(qPrintable(cols[size_t(i)].field)) << i;
}

void TstMonth::hourGridOfTheMonth()
{
    QFETCH(int, column);
    const report::PageModel m = render(QDate(1999, 6, 20));
    QVERIFY(m_found);
    QCOMPARE(m.pageCount(), 1);
    const GridColumn c = test::GridColumns()[size_t(column)];
    const int inHouse = june(c, "1"), broadcast = june(c, "2"), notBroadcast = june(c, "3");
    const int material = june(c, nullptr);
    QCOMPARE(test::PageText(m, QStringLiteral("GridInHouse") + c.field), QString::number(inHouse));
    QCOMPARE(test::PageText(m, QStringLiteral("GridBroadcast") + c.field), QString::number(broadcast));
    QCOMPARE(test::PageText(m, QStringLiteral("GridNotBroadcast") + c.field), QString::number(notBroadcast));
    QCOMPARE(test::PageText(m, QStringLiteral("GridMaterial") + c.field), QString::number(material));
    // Shares of the material of the same column, without a percent sign.
    QCOMPARE(test::PageText(m, QStringLiteral("GridBroadcastShare") + c.field), test::Share(broadcast, material));
    QCOMPARE(test::PageText(m, QStringLiteral("GridNotBroadcastShare") + c.field), test::Share(notBroadcast, material));
    // Every column, the hours too, adds the material to the in-house count.
    QCOMPARE(test::PageText(m, QStringLiteral("GridTotal") + c.field), QString::number(inHouse + material));
    if (c.field == QLatin1String("TIME07"))
        QCOMPARE(test::PageText(m, QStringLiteral("GridBroadcastShareTIME07")), QStringLiteral("18.8"));
    if (c.field == QLatin1String("TIME08"))
        QCOMPARE(test::PageText(m, QStringLiteral("GridBroadcastShareTIME08")), QStringLiteral("6.3"));
    if (c.field == QLatin1String("TIME06"))
        QCOMPARE(test::PageText(m, QStringLiteral("GridNotBroadcastShareTIME06")), QStringLiteral("0.0"));
}

void TstMonth::guidanceCallsByHour()
{
    const report::PageModel m = render(QDate(1999, 6, 20));
    QVERIFY(m_found);
    for (const GridColumn &c : test::GridColumns())
        QCOMPARE(test::PageText(m, QStringLiteral("GuideCount") + c.field), QString::number(juneGuidance(c)));
}

void TstMonth::tablesOfTheMonth_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("printed");
    const std::pair<const char *, const char *> cells[] = {
        {"ReporterT1", "32"},
        {"ReporterR1", "6"},
        {"ReporterR1_PER", "18.8%"},
        {"ReporterR5", "2"},
        {"ReporterR5_PER", "6.3%"},
        {"ReporterR2_PER", "50.0%"},
        {"ReporterR4_PER", "9.4%"},
        {"ReporterR3_PER", "9.4%"},
        {"ReporterR6_PER", "6.3%"},
        {"GuidanceS_TOTAL", "8"},
        {"GuidanceCONTENT2", "3"},
        {"GuidanceCNT2_PER", "37.5%"},
        {"GuidanceCONTENT9", "5"},
        {"GuidanceCNT9_PER", "62.5%"},
        {"HandlingTOTAL", "32"},
        {"HandlingRESULT1", "13"},
        {"HandlingRESULT1_PER", "40.6%"},
        {"HandlingB_TOTAL", "19"},
        {"HandlingB_TOTAL_PER", "59.4%"},
        {"HandlingRESULT2", "11"},
        {"HandlingRESULT2_PER", "57.9%"},
        {"HandlingRESULT3", "8"},
        {"HandlingRESULT3_PER", "42.1%"},
    };
    for (const auto &[cell, printed] : cells)
        QTest::newRow(cell) << QString::fromLatin1(cell) << QString::fromUtf8(printed);
}

void TstMonth::tablesOfTheMonth()
{
    QFETCH(QString, cell);
    QFETCH(QString, printed);
    const report::PageModel m = render(QDate(1999, 6, 20));
    QVERIFY(m_found);
    QCOMPARE(test::PageText(m, cell), printed);
}

void TstMonth::emptySharesPrintEmptyCells()
{
    // November 2004: no agency notice and no not-broadcast count, so their sums are empty, and
    // so is every share divided by them; no in-house row, so its sums are empty and the grand
    // totals are the broadcast material alone.
    const report::PageModel m = render(QDate(2004, 11, 2));
    QVERIFY(m_found);
    QCOMPARE(test::PageText(m, QStringLiteral("GuidanceCONTENT2")), QStringLiteral("4"));
    for (const char *cell :
         {"GuidanceS_TOTAL", "GuidanceCNT2_PER", "GuidanceCONTENT9", "GuidanceCNT9_PER", "HandlingB_TOTAL",
          "HandlingB_TOTAL_PER", "HandlingRESULT2_PER", "HandlingRESULT3_PER", "GridInHouseTOTAL", "GridInHouseTIME10"})
        QVERIFY2(test::PageText(m, QLatin1String(cell)).isEmpty(), cell);
    QCOMPARE(test::PageText(m, QStringLiteral("HandlingRESULT1_PER")), QStringLiteral("25.0%"));
    QCOMPARE(test::PageText(m, QStringLiteral("GridBroadcastShareTIME10")), QStringLiteral("100.0"));
    QCOMPARE(test::PageText(m, QStringLiteral("GridMaterialTOTAL")), QStringLiteral("45"));
    QCOMPARE(test::PageText(m, QStringLiteral("GridTotalTOTAL")), QStringLiteral("45"));
    QCOMPARE(test::PageText(m, QStringLiteral("GridTotalTIME10")),
             test::PageText(m, QStringLiteral("GridMaterialTIME10")));
}

void TstMonth::dateLineAndDailyAverage_data()
{
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("average");
    // June 1999: in-house 24 and material 80 over 30 days.
    QTest::newRow("June") << QDate(1999, 6, 15) << "1999년 6월 1일 ~ 1999년 6월 30일"
                          << "( 일평균 : 3 건 )";
    QTest::newRow("leap February") << QDate(2000, 2, 15) << "2000년 2월 1일 ~ 2000년 2월 29일"
                                   << "( 일평균 : 2 건 )";
    QTest::newRow("February") << QDate(2001, 2, 10) << "2001년 2월 1일 ~ 2001년 2월 28일"
                              << "( 일평균 : 3 건 )";
    QTest::newRow("December") << QDate(2003, 12, 5) << "2003년 12월 1일 ~ 2003년 12월 31일"
                              << "( 일평균 : 2 건 )";
    // No in-house row: the material alone, 45 over 30 days.
    QTest::newRow("no in-house row") << QDate(2004, 11, 20) << "2004년 11월 1일 ~ 2004년 11월 30일"
                                     << "( 일평균 : 1 건 )";
}

void TstMonth::dateLineAndDailyAverage()
{
    QFETCH(QDate, day);
    QFETCH(QString, line);
    QFETCH(QString, average);
    const report::PageModel m = render(day);
    QVERIFY(m_found);
    QCOMPARE(test::PageText(m, QStringLiteral("QRLabel37")), line);
    QCOMPARE(test::PageText(m, QStringLiteral("QRLabel9")), average);
}

void TstMonth::anyDayOfTheMonthGivesTheSameSheet()
{
    const QString first = report::dumpText(render(QDate(1999, 6, 1)));
    QVERIFY(m_found);
    for (int day : {2, 15, 30}) {
        QCOMPARE(report::dumpText(render(QDate(1999, 6, day))), first);
        QVERIFY(m_found);
    }
}

void TstMonth::printAfterPreviewGivesTheSameSheet()
{
    // One prepared form built twice, as the preview and then the printer build it.
    stats::PreparedReport prepared =
        stats::PrepareReport(test::Request(kMonthKind, QDate(2001, 2, 10)), m_env->module());
    QVERIFY(prepared.form);
    const report::PageModel preview = prepared.form->render();
    const report::PageModel print = prepared.form->render();
    QCOMPARE(test::PageText(print, QStringLiteral("QRLabel9")), QStringLiteral("( 일평균 : 3 건 )"));
    QCOMPARE(test::PageText(print, QStringLiteral("QRLabel37")), QStringLiteral("2001년 2월 1일 ~ 2001년 2월 28일"));
    QCOMPARE(report::dumpText(print), report::dumpText(preview));
}

void TstMonth::monthWithoutStatisticsMeansNoReport_data()
{
    QTest::addColumn<QDate>("day");
    QTest::newRow("handling and guidance rows only") << QDate(2004, 4, 5);
    QTest::newRow("nothing at all") << QDate(2004, 5, 5);
}

void TstMonth::monthWithoutStatisticsMeansNoReport()
{
    QFETCH(QDate, day);
    QVERIFY(!test::RenderRequest(test::Request(kMonthKind, day)));
}

void TstMonth::stampFollowsTheConsoleOption()
{
    test::CheckStampSwitch(kMonthKind, QDate(1999, 6, 20), QStringLiteral("QRLabel97"), QStringLiteral("QRShape65"));
}

void TstMonth::goldenPage_data()
{
    test::AddGoldenRows({kMonthKind});
}

void TstMonth::goldenPage()
{
    m_env.reset(); // the golden page has a database of its own
    test::CheckGoldenRow(QStringLiteral("ledger"));
}

QTEST_MAIN(TstMonth)
#include "tst_month.moc"
