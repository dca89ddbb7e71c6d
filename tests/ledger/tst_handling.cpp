#include "../stats/KindTest.h"
#include "../stats/StatsFixture.h"
#include "LedgerRows.h"

#include <QtTest>

using namespace tipdesk;

namespace {

constexpr int kHandlingKind = 12;

// One day's statistics row and the shares it prints, worked out by hand. The database cuts each
// share to one decimal (never rounds it) and writes it as its number text with "%".
struct Day {
    const char *day;
    int total, content2, content9, result1, result2, result3;
    const char *cnt2, *cnt9, *result1Share, *materialShare, *result2Share, *result3Share;
};
const Day kDays[] = {
    // 29 of 100 is exactly 29; 23 of 71 is 32.39.
    {"20040301", 100, 29, 71, 29, 23, 48, "29%", "71%", "29%", "71%", "32.3%", "67.6%"},
    // 23 of 40 is 57.5; 2 of 23 is 8.69, cut to 8.6.
    {"20040302", 40, 23, 17, 17, 2, 21, "57.5%", "42.5%", "42.5%", "57.5%", "8.6%", "91.3%"},
    // 2 of 3 is 66.66, cut to 66.6.
    {"20040303", 3, 2, 1, 1, 1, 1, "66.6%", "33.3%", "33.3%", "66.6%", "50%", "50%"},
    // 1 of 16 is 6.25, cut to 6.2; 46 of 10000 is 0.46, written without its leading zero.
    {"20040304", 10000, 1, 15, 46, 9954, 0, "6.2%", "93.7%", ".4%", "99.5%", "100%", "0%"},
    // Nothing to divide: every count is tested before its division.
    {"20040305", 0, 0, 0, 0, 0, 0, "0%", "0%", "0%", "0%", "0%", "0%"},
};

// The guidance-service calls of 1 March 2004; 2 March has none; 10 March has calls but no
// statistics row.
const test::Hours kCalls = {1, 0, 2, 0, 0, 3, 0, 0, 0, 1, 0, 0, 0, 0, 7, 4};

QString fixtureRows()
{
    QString s;
    for (const Day &d : kDays)
        s += QStringLiteral("insert into STAT_HUB (STAT_DAY, TOTAL, CONTENT2, CONTENT9, RESULT1, RESULT2, RESULT3) "
                            "values ('%1', %2, %3, %4, %5, %6, %7);\n")
                 .arg(QLatin1String(d.day))
                 .arg(d.total)
                 .arg(d.content2)
                 .arg(d.content9)
                 .arg(d.result1)
                 .arg(d.result2)
                 .arg(d.result3);
    s += test::HoursInsert("STAT_HUB_INFO", "20040301", nullptr, kCalls);
    s += test::HoursInsert("STAT_HUB_INFO", "20040310", nullptr, kCalls);
    return s;
}

} // namespace

class TstHandling : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void countsAndShares_data();
    void countsAndShares();
    void guidanceCallsByHour();
    void dayWithoutGuidanceCallsPrintsAnEmptyGrid();
    void dayWithoutStatisticsMeansNoReport();
    void dateLineWithWeekday();
    void stampFollowsTheConsoleOption();
    void goldenPage_data();
    void goldenPage();

private:
    report::PageModel render(const QDate &day, bool approval = false)
    {
        const std::optional<report::PageModel> model =
            test::RenderRequest(test::Request(kHandlingKind, day, day, 0, approval));
        m_found = model.has_value();
        return model.value_or(report::PageModel());
    }
    std::unique_ptr<test::StatsEnvironment> m_env;
    bool m_found = false; // the last render found rows
};

void TstHandling::init()
{
    m_env = std::make_unique<test::StatsEnvironment>(fixtureRows());
}

void TstHandling::cleanup()
{
    m_env.reset();
}

void TstHandling::countsAndShares_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(std::size(kDays)); ++i)
        QTest::newRow(kDays[i].day) << i;
}

void TstHandling::countsAndShares()
{
    QFETCH(int, index);
    const Day &d = kDays[index];
    const report::PageModel m = render(QDate::fromString(QLatin1String(d.day), QStringLiteral("yyyyMMdd")));
    QVERIFY(m_found);
    QCOMPARE(m.pageCount(), 1);
    const std::pair<const char *, QString> cells[] = {
        {"GuidanceS_TOTAL", QString::number(d.content2 + d.content9)},
        {"GuidanceCONTENT2", QString::number(d.content2)},
        {"GuidanceCNT2_PER", QLatin1String(d.cnt2)},
        {"GuidanceCONTENT9", QString::number(d.content9)},
        {"GuidanceCNT9_PER", QLatin1String(d.cnt9)},
        {"HandlingTOTAL", QString::number(d.total)},
        {"HandlingRESULT1", QString::number(d.result1)},
        {"HandlingRESULT1_PER", QLatin1String(d.result1Share)},
        {"HandlingB_TOTAL", QString::number(d.result2 + d.result3)},
        {"HandlingB_TOTAL_PER", QLatin1String(d.materialShare)},
        {"HandlingRESULT2", QString::number(d.result2)},
        {"HandlingRESULT2_PER", QLatin1String(d.result2Share)},
        {"HandlingRESULT3", QString::number(d.result3)},
        {"HandlingRESULT3_PER", QLatin1String(d.result3Share)},
    };
    for (const auto &[cell, printed] : cells)
        QCOMPARE(test::PageText(m, QLatin1String(cell)), printed);
}

void TstHandling::guidanceCallsByHour()
{
    const report::PageModel m = render(QDate(2004, 3, 1));
    QVERIFY(m_found);
    for (const test::GridColumn &c : test::GridColumns())
        QCOMPARE(test::PageText(m, QStringLiteral("GuideCount") + c.field), QString::number(c.of(kCalls)));
}

void TstHandling::dayWithoutGuidanceCallsPrintsAnEmptyGrid()
{
    const report::PageModel m = render(QDate(2004, 3, 2));
    QVERIFY(m_found);
    for (const test::GridColumn &c : test::GridColumns())
        QCOMPARE(test::PageText(m, QStringLiteral("GuideCount") + c.field), QString());
    // The grid itself, and the rest of the sheet, still print.
    QCOMPARE(test::PageText(m, QStringLiteral("GuideHeadTIME21")), QStringLiteral("21-24"));
    QCOMPARE(test::PageText(m, QStringLiteral("GuideCountCaption")), QStringLiteral("건 수"));
    QCOMPARE(test::PageText(m, QStringLiteral("HandlingRESULT2_PER")), QStringLiteral("8.6%"));
}

void TstHandling::dayWithoutStatisticsMeansNoReport()
{
    QVERIFY(!test::RenderRequest(test::Request(kHandlingKind, QDate(2004, 3, 10))));
}

void TstHandling::dateLineWithWeekday()
{
    const report::PageModel m = render(QDate(2004, 3, 5));
    QCOMPARE(test::PageText(m, QStringLiteral("QRLabel37")), QStringLiteral("2004년 3월 5일 (금요일 )"));
}

void TstHandling::stampFollowsTheConsoleOption()
{
    test::CheckStampSwitch(kHandlingKind, QDate(2004, 3, 1), QStringLiteral("QRLabel18"), QStringLiteral("QRShape13"));
}

void TstHandling::goldenPage_data()
{
    test::AddGoldenRows({kHandlingKind});
}

void TstHandling::goldenPage()
{
    m_env.reset(); // the golden page has a database of its own
    test::CheckGoldenRow(QStringLiteral("ledger"));
}

QTEST_MAIN(TstHandling)
#include "tst_handling.moc"
