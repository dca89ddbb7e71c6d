#include "../stats/KindTest.h"
#include "../stats/StatsFixture.h"
#include "LedgerRows.h"
#include "platform/report/PageModel.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QListWidget>
#include <QtTest>
#include <array>
#include <map>

using namespace tipdesk;

namespace {

using test::Hours;

using HandlingRow = test::HoursRow;

// 19990611: every result, and a result "4" that counts as broadcast material but in no hour row.
// TIME06 is 0 everywhere (a share without a divisor); TIME07 gives 3/16 = 18.75 %, TIME08 1/16 =
// 6.25 %, TIME09 thirds. 20000105: no in-house row. 20040301: no not-broadcast row. 20040302:
// nothing but zeros.
const HandlingRow kRows[] = {
    {"19990611", "1", {0, 2, 0, 1, 4, 0, 0, 3, 1, 0, 0, 2, 5, 0, 0, 1}},
    {"19990611", "2", {0, 3, 1, 1, 0, 2, 7, 0, 0, 4, 1, 0, 2, 0, 9, 1}},
    {"19990611", "3", {0, 12, 15, 2, 1, 0, 3, 5, 0, 4, 0, 0, 1, 1, 0, 2}},
    {"19990611", "4", {0, 1, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0}},
    {"20000105", "2", {1, 0, 2, 0, 0, 1, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0}},
    {"20000105", "3", {1, 1, 0, 0, 0, 0, 0, 2, 0, 0, 1, 0, 0, 0, 0, 0}},
    {"20040301", "1", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
    {"20040301", "2", {2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2}},
    {"20040302", "3", {}},
};

// STAT_HUB: total, CONTENT1..9, REPORTER1..6.
struct DayRow {
    const char *day;
    int total;
    std::array<int, 9> content;
    std::array<int, 6> reporter;
};
const DayRow kDays[] = {
    {"19990611", 16, {1, 2, 4, 0, 0, 2, 1, 3, 3}, {3, 12, 0, 0, 1, 0}},
    {"20000105", 3, {0, 0, 0, 0, 3, 0, 0, 0, 0}, {0, 1, 0, 2, 0, 0}},
    {"20040301", 7, {7, 0, 0, 0, 0, 0, 0, 0, 0}, {7, 0, 0, 0, 0, 0}},
    {"20040302", 0, {}, {}},
};

QString fixtureRows()
{
    QString s;
    for (const HandlingRow &r : kRows)
        s += test::HoursInsert("STAT_HUB_DAY", r.day, r.result, r.hours);
    for (const DayRow &d : kDays) {
        QStringList v;
        for (int c : d.content)
            v << QString::number(c);
        for (int c : d.reporter)
            v << QString::number(c);
        s += QStringLiteral("insert into STAT_HUB (STAT_DAY, TOTAL, CONTENT1, CONTENT2, CONTENT3, CONTENT4, CONTENT5, "
                            "CONTENT6, CONTENT7, CONTENT8, CONTENT9, REPORTER1, REPORTER2, REPORTER3, REPORTER4, "
                            "REPORTER5, REPORTER6) values ('%1', %2, %3);\n")
                 .arg(QLatin1String(d.day))
                 .arg(d.total)
                 .arg(v.join(QStringLiteral(", ")));
    }
    return s;
}

using test::GridColumn;

const Hours *rowOf(const char *day, const char *result)
{
    for (const HandlingRow &r : kRows)
        if (qstrcmp(r.day, day) == 0 && qstrcmp(r.result, result) == 0)
            return &r.hours;
    return nullptr;
}

int material(const char *day, const GridColumn &c)
{
    int s = 0;
    for (const HandlingRow &r : kRows)
        if (qstrcmp(r.day, day) == 0 && qstrcmp(r.result, "1") != 0)
            s += c.of(r.hours);
    return s;
}

} // namespace

class TstDay : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void hourGridRowsAndShares_data();
    void hourGridRowsAndShares();
    void missingInHouseRowPrintsEmptyCells();
    void contentAndReporterShares();
    void zeroCountsGiveZeroShares();
    void noNotBroadcastRowMeansNoReport();
    void dateLineWithWeekday_data();
    void dateLineWithWeekday();
    void stampFollowsTheConsoleOption();
    void goldenPage_data();
    void goldenPage();

private:
    report::PageModel render(const QDate &day, bool approval = false);
    std::unique_ptr<test::StatsEnvironment> m_env;
    bool m_found = false; // the last render found rows
};

void TstDay::init()
{
    m_env = std::make_unique<test::StatsEnvironment>(fixtureRows());
}

void TstDay::cleanup()
{
    m_env.reset();
}

report::PageModel TstDay::render(const QDate &day, bool approval)
{
    const std::optional<report::PageModel> model = test::RenderRequest(test::Request(11, day, day, 0, approval));
    m_found = model.has_value();
    return model.value_or(report::PageModel());
}

void TstDay::hourGridRowsAndShares_data()
{
    QTest::addColumn<int>("column");
    const std::vector<GridColumn> cols = test::GridColumns();
    for (int i = 0; i < int(cols.size()); ++i)
        QTest::newRow(qPrintable(cols[size_t(i)].field)) << i;
}

void TstDay::hourGridRowsAndShares()
{
    QFETCH(int, column);
    const report::PageModel m = render(QDate(1999, 6, 11));
    QVERIFY(m_found);
    QCOMPARE(m.pageCount(), 1);
    const GridColumn c = test::GridColumns()[size_t(column)];
    const int inHouse = c.of(*rowOf("19990611", "1"));
    const int broadcast = c.of(*rowOf("19990611", "2"));
    const int notBroadcast = c.of(*rowOf("19990611", "3"));
    const int mat = material("19990611", c);
    QCOMPARE(test::PageText(m, QStringLiteral("GridInHouse") + c.field), QString::number(inHouse));
    QCOMPARE(test::PageText(m, QStringLiteral("GridBroadcast") + c.field), QString::number(broadcast));
    QCOMPARE(test::PageText(m, QStringLiteral("GridNotBroadcast") + c.field), QString::number(notBroadcast));
    // Shares of the broadcast material of the same column, without a percent sign.
    QCOMPARE(test::PageText(m, QStringLiteral("GridBroadcastShare") + c.field), test::Share(broadcast, mat));
    QCOMPARE(test::PageText(m, QStringLiteral("GridNotBroadcastShare") + c.field), test::Share(notBroadcast, mat));
    QCOMPARE(test::PageText(m, QStringLiteral("GridMaterial") + c.field), QString::number(mat));
    // The subtotal columns add the broadcast material to the in-house count; the hour columns
    // add only the three handling rows.
    const bool subtotal = !c.field.startsWith(u'T') || c.field == QLatin1String("TOTAL");
    const int total = subtotal ? inHouse + mat : inHouse + broadcast + notBroadcast;
    QCOMPARE(test::PageText(m, QStringLiteral("GridTotal") + c.field), QString::number(total));
}

void TstDay::missingInHouseRowPrintsEmptyCells()
{
    const report::PageModel m = render(QDate(2000, 1, 5));
    QVERIFY(m_found);
    for (const GridColumn &c : test::GridColumns()) {
        QCOMPARE(test::PageText(m, QStringLiteral("GridInHouse") + c.field), QString());
        QCOMPARE(test::PageText(m, QStringLiteral("GridBroadcast") + c.field),
                 QString::number(c.of(*rowOf("20000105", "2"))));
        QCOMPARE(test::PageText(m, QStringLiteral("GridNotBroadcastShare") + c.field),
                 test::Share(c.of(*rowOf("20000105", "3")), material("20000105", c)));
    }
    QVERIFY(m.pages.front().contains(QStringLiteral("자체처리")));
}

void TstDay::contentAndReporterShares()
{
    const report::PageModel m = render(QDate(1999, 6, 11));
    QVERIFY(m_found);
    const DayRow &d = kDays[0];
    // Print order against the CONTENTn and REPORTERn columns.
    const std::pair<int, const char *> contents[] = {{8, "CNT8_PER"},   {1, "FLOW_PER"},  {5, "ACCI_PER"},
                                                     {3, "CONS_PER"},   {4, "EVENT_PER"}, {6, "CLIM_PER"},
                                                     {2, "INFORM_PER"}, {9, "CNT9_PER"},  {7, "ETC_PER"}};
    for (const auto &[n, per] : contents) {
        const int count = d.content[size_t(n - 1)];
        QCOMPARE(test::PageText(m, QStringLiteral("ContentCONTENT%1").arg(n)), QString::number(count));
        QCOMPARE(test::PageText(m, QStringLiteral("Content") + QLatin1String(per)), test::Share(count, d.total) + u'%');
    }
    const std::pair<int, const char *> reporters[] = {{1, "COM_PER"},  {5, "POLICE_PER"}, {2, "CITI_PER"},
                                                      {4, "COMP_PER"}, {3, "FIX_PER"},    {6, "ETC_PER"}};
    for (const auto &[n, per] : reporters) {
        const int count = d.reporter[size_t(n - 1)];
        QCOMPARE(test::PageText(m, QStringLiteral("ReporterREPORTER%1").arg(n)), QString::number(count));
        QCOMPARE(test::PageText(m, QStringLiteral("Reporter") + QLatin1String(per)),
                 test::Share(count, d.total) + u'%');
    }
    QCOMPARE(test::PageText(m, QStringLiteral("ContentTOTAL")), QString::number(d.total));
    QCOMPARE(test::PageText(m, QStringLiteral("ReporterTOTAL")), QString::number(d.total));
    // The two sample shares of the sheet: 3 of 16 and 1 of 16.
    QCOMPARE(test::PageText(m, QStringLiteral("ContentCNT8_PER")), QStringLiteral("18.8%"));
    QCOMPARE(test::PageText(m, QStringLiteral("ContentFLOW_PER")), QStringLiteral("6.3%"));
}

void TstDay::zeroCountsGiveZeroShares()
{
    // Every count and every divisor is 0: each share is tested on its count before dividing.
    const report::PageModel m = render(QDate(2004, 3, 2));
    QVERIFY(m_found);
    for (const GridColumn &c : test::GridColumns())
        QCOMPARE(test::PageText(m, QStringLiteral("GridNotBroadcastShare") + c.field), QStringLiteral("0.0"));
    for (const char *per : {"CNT8_PER", "FLOW_PER", "ETC_PER"})
        QCOMPARE(test::PageText(m, QStringLiteral("Content") + QLatin1String(per)), QStringLiteral("0.0%"));
    for (const char *per : {"COM_PER", "CITI_PER", "ETC_PER"})
        QCOMPARE(test::PageText(m, QStringLiteral("Reporter") + QLatin1String(per)), QStringLiteral("0.0%"));
}

void TstDay::noNotBroadcastRowMeansNoReport()
{
    QVERIFY(!test::RenderRequest(test::Request(11, QDate(2004, 3, 1))));
}

void TstDay::dateLineWithWeekday_data()
{
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QString>("line");
    QTest::newRow("Friday") << QDate(1999, 6, 11) << "1999년 6월 11일 (금요일 )";
    QTest::newRow("no leading zeros") << QDate(2000, 1, 5) << "2000년 1월 5일 (수요일 )";
}

void TstDay::dateLineWithWeekday()
{
    QFETCH(QDate, day);
    QFETCH(QString, line);
    const report::PageModel m = render(day);
    QVERIFY(m_found);
    QCOMPARE(test::PageText(m, QStringLiteral("QRLabel37")), line);
}

void TstDay::stampFollowsTheConsoleOption()
{
    test::CheckStampSwitch(11, QDate(1999, 6, 11), QStringLiteral("QRLabel21"), QStringLiteral("QRShape14"));
}

void TstDay::goldenPage_data()
{
    test::AddGoldenRows({11});
}

void TstDay::goldenPage()
{
    m_env.reset(); // the golden page has a database of its own
    test::CheckGoldenRow(QStringLiteral("ledger"));
}

QTEST_MAIN(TstDay)
#include "tst_day.moc"
