#include "../stats/KindTest.h"
#include "LedgerConsole.h"
#include "platform/report/Fonts.h"

#include <QtTest>

using namespace tipdesk;
using test::Count;

namespace {

constexpr int kCollection = 10;   // "수집건수 및 활용 실적"
constexpr int kLostProperty = 19; // "월별 유실물 현황"

constexpr std::nullopt_t null = std::nullopt;

// STAT_HUB, March 2005 (3 March has no row), with a day before and one after the period used.
const QStringList kHubColumns{"TOTAL",     "CONTENT2",  "CONTENT9",  "REPORTER1", "REPORTER2", "REPORTER3",
                              "REPORTER4", "REPORTER5", "REPORTER6", "RESULT1",   "RESULT2",   "RESULT3"};
const std::pair<const char *, std::vector<Count>> kHubDays[] = {
    {"20050228", {100, 10, 10, 100, 0, 0, 0, 0, 0, 50, 25, 25}},
    {"20050301", {20, 3, 2, 5, 4, 3, 2, 1, 5, 6, 8, 6}},
    {"20050302", {7, null, 1, 1, 1, 1, 1, 1, 2, 2, 3, 2}},
    {"20050304", {9, 1, null, 2, 2, 2, 1, 1, 1, 3, 4, 2}},
    {"20050305", {4, 0, 0, 1, 0, 1, 0, 2, 0, 1, 2, 1}},
    {"20050306", {50, 5, 5, 50, 0, 0, 0, 0, 0, 10, 20, 20}},
    // Years of a busy desk in one row: seven-digit totals.
    {"20070102",
     {4000000, 1000000, 1000000, 1000000, 1000000, 1000000, 500000, 250000, 250000, 1000000, 2000000, 1000000}},
};

// STAT_HUB_LOSS, the same days; the stored totals need not be the sums of the kinds.
const QStringList kLossColumns{"TOTAL", "L_MISS", "L_FOUND", "L_CAR", "L_ETC", "F_MISS", "F_FOUND", "F_CAR", "F_ETC"};
const std::pair<const char *, std::vector<Count>> kLossDays[] = {
    {"20050228", {99, 9, 9, 9, 9, 9, 9, 9, 9}},   {"20050301", {10, 1, 2, 0, 1, 2, 1, 1, 2}},
    {"20050302", {5, 1, null, 1, 0, 1, 1, 0, 1}}, {"20050304", {7, 0, 0, 1, 0, 0, 1, 0, null}},
    {"20050306", {40, 4, 4, 4, 4, 4, 4, 4, 4}},
};

// Sixty days from 1 January 2006, day n counting n: enough for several pages.
const QDate kLongStart(2006, 1, 1);
constexpr int kLongDays = 60;

QString fixtureRows()
{
    QString s;
    for (const auto &[day, values] : kHubDays)
        s += test::InsertDay(QStringLiteral("STAT_HUB"), QLatin1String(day), kHubColumns, values);
    for (const auto &[day, values] : kLossDays)
        s += test::InsertDay(QStringLiteral("STAT_HUB_LOSS"), QLatin1String(day), kLossColumns, values);
    for (int n = 1; n <= kLongDays; ++n) {
        const QString day = kLongStart.addDays(n - 1).toString(QStringLiteral("yyyyMMdd"));
        s += test::InsertDay(QStringLiteral("STAT_HUB"), day, kHubColumns, {n, 0, 0, n, 0, 0, 0, 0, 0, n, 0, 0});
        s += test::InsertDay(QStringLiteral("STAT_HUB_LOSS"), day, kLossColumns, {n, n, 0, 0, 0, 0, 0, 0, 0});
    }
    return s;
}

// The components printing the value columns, left to right: the detail row's and the totals
// row's. Kind 10 ends with the remarks (utilisation minus collection).
QStringList detailItems(int kind)
{
    QStringList items;
    const int fields = kind == kCollection ? 12 : 11;
    for (int i = 2; i <= fields + 1; ++i)
        items << QStringLiteral("QRDBText%1").arg(i);
    if (kind == kCollection)
        items << QStringLiteral("QRExpr2");
    return items;
}

QStringList totalItems(int kind)
{
    QStringList items;
    const int fields = kind == kCollection ? 12 : 11;
    for (int i = 1; i <= fields; ++i)
        items << QStringLiteral("QRDBSum%1").arg(i);
    if (kind == kCollection)
        items << QStringLiteral("QRExpr1");
    return items;
}

// The label of the totals row and of the page footer.
QString totalsCaption(int kind)
{
    return kind == kCollection ? QStringLiteral("QRLabel30") : QStringLiteral("QRLabel20");
}
const QString kFooterNote = QStringLiteral("QRLabel31");

} // namespace

class TstDayLists : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void rowsAndPeriodTotals_data();
    void rowsAndPeriodTotals();
    void oneDayPeriod_data();
    void oneDayPeriod();
    void periodWithoutRowsMeansNoReport_data();
    void periodWithoutRowsMeansNoReport();
    void totalsRowOnLaterPages_data();
    void totalsRowOnLaterPages();
    void collectionFooterNoteOnEveryPage();
    void sevenDigitTotalsPrintWhole();
    void goldenPage_data();
    void goldenPage();

private:
    std::unique_ptr<test::StatsEnvironment> m_env;
};

void TstDayLists::init()
{
    m_env = std::make_unique<test::StatsEnvironment>(fixtureRows());
}

void TstDayLists::cleanup()
{
    m_env.reset();
}

void TstDayLists::rowsAndPeriodTotals_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("days");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<QStringList>("totals");
    // Columns: total, correspondents, police points, citizens, staff, fixed points, others;
    // utilisation (total + guidance + notices), broadcast material (results 2 and 3), guidance,
    // notices, in-house; remarks. An empty guidance or notice count empties that day's
    // utilisation and remarks, while the period's sums skip it: 40 + 4 + 3 = 47.
    QTest::newRow("collection counts")
        << kCollection << QStringList{"20050301", "20050302", "20050304", "20050305"}
        << QList<QStringList>{{"20", "5", "1", "4", "2", "3", "5", "25", "14", "3", "2", "6", "5"},
                              {"7", "1", "1", "1", "1", "1", "2", "", "5", "", "1", "2", ""},
                              {"9", "2", "1", "2", "1", "2", "1", "", "6", "1", "", "3", ""},
                              {"4", "1", "2", "0", "0", "1", "0", "4", "3", "0", "0", "1", "0"}}
        << QStringList{"40", "9", "5", "7", "4", "7", "8", "47", "28", "4", "3", "12", "7"};
    // Columns: the stored total; received total, lost, found, stolen vehicles, other; the same
    // handled. An empty kind empties that day's subtotal; the period's sums skip it.
    QTest::newRow("lost property") << kLostProperty << QStringList{"20050301", "20050302", "20050304"}
                                   << QList<QStringList>{{"10", "4", "1", "2", "0", "1", "6", "2", "1", "1", "2"},
                                                         {"5", "", "1", "", "1", "0", "3", "1", "1", "0", "1"},
                                                         {"7", "1", "0", "0", "1", "0", "", "0", "1", "0", ""}}
                                   << QStringList{"22", "7", "2", "2", "2", "1", "10", "3", "3", "1", "3"};
}

void TstDayLists::rowsAndPeriodTotals()
{
    QFETCH(int, kind);
    QFETCH(QStringList, days);
    QFETCH(QList<QStringList>, rows);
    QFETCH(QStringList, totals);
    const std::optional<report::PageModel> run =
        test::RenderRequest(test::Request(kind, QDate(2005, 3, 1), QDate(2005, 3, 5)));
    QVERIFY(run);
    QCOMPARE(run->pageCount(), 1);
    // In day order, without the day that has no row and without the days around the period.
    QCOMPARE(test::TextsOf(*run, QStringLiteral("QRDBText1")), days);
    for (int r = 0; r < rows.size(); ++r)
        QCOMPARE(test::RowTexts(*run, QStringLiteral("QRDBText1"), detailItems(kind), r), rows[r]);
    QCOMPARE(test::RowTexts(*run, totalsCaption(kind), totalItems(kind), 0), totals);
    QCOMPARE(test::TextsOf(*run, totalsCaption(kind)), QStringList{QStringLiteral("계")});
}

void TstDayLists::oneDayPeriod_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("collection counts") << kCollection;
    QTest::newRow("lost property") << kLostProperty;
}

void TstDayLists::oneDayPeriod()
{
    QFETCH(int, kind);
    const std::optional<report::PageModel> run =
        test::RenderRequest(test::Request(kind, QDate(2005, 3, 1), QDate(2005, 3, 1)));
    QVERIFY(run);
    QCOMPARE(test::TextsOf(*run, QStringLiteral("QRDBText1")), QStringList{"20050301"});
    // The totals row and the one day's row are the same figures.
    const QStringList day = test::RowTexts(*run, QStringLiteral("QRDBText1"), detailItems(kind), 0);
    QCOMPARE(test::RowTexts(*run, totalsCaption(kind), totalItems(kind), 0), day);
    QCOMPARE(day.front(), kind == kCollection ? QStringLiteral("20") : QStringLiteral("10"));
}

void TstDayLists::periodWithoutRowsMeansNoReport_data()
{
    oneDayPeriod_data();
}

void TstDayLists::periodWithoutRowsMeansNoReport()
{
    QFETCH(int, kind);
    const std::optional<report::PageModel> run =
        test::RenderRequest(test::Request(kind, QDate(2005, 3, 3), QDate(2005, 3, 3)));
    QVERIFY(!run);
}

void TstDayLists::totalsRowOnLaterPages_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("everyPage");
    QTest::newRow("collection counts: first page only") << kCollection << false;
    QTest::newRow("lost property: every page") << kLostProperty << true;
}

void TstDayLists::totalsRowOnLaterPages()
{
    QFETCH(int, kind);
    QFETCH(bool, everyPage);
    const std::optional<report::PageModel> run =
        test::RenderRequest(test::Request(kind, kLongStart, kLongStart.addDays(kLongDays - 1)));
    QVERIFY(run);
    QVERIFY2(run->pageCount() >= 3, qPrintable(QString::number(run->pageCount())));
    const QList<int> all = test::AllPages(*run);
    // Every day once, in order, and the column header on every page.
    const QStringList days = test::TextsOf(*run, QStringLiteral("QRDBText1"));
    QCOMPARE(days.size(), kLongDays);
    QCOMPARE(days.front(), QStringLiteral("20060101"));
    QCOMPARE(days.back(), QStringLiteral("20060301"));
    QCOMPARE(test::PagesWith(*run, QStringLiteral("QRLabel2")), all);
    const QList<int> totalsPages = everyPage ? all : QList<int>{1};
    QCOMPARE(test::PagesWith(*run, totalsCaption(kind)), totalsPages);
    // 1 + 2 + ... + 60 wherever the totals row prints.
    QCOMPARE(test::TextsOf(*run, QStringLiteral("QRDBSum1")), QStringList(totalsPages.size(), "1830"));
}

void TstDayLists::collectionFooterNoteOnEveryPage()
{
    const std::optional<report::PageModel> run =
        test::RenderRequest(test::Request(kCollection, kLongStart, kLongStart.addDays(kLongDays - 1)));
    QVERIFY(run);
    QCOMPARE(test::PagesWith(*run, kFooterNote), test::AllPages(*run));
    QVERIFY(test::TextsOf(*run, kFooterNote)
                .join(u' ')
                .startsWith(QStringLiteral("* 교통정보 수집건수 합계와 활용실적 합계의 차이는")));
    // The note stands below the last detail row of every page.
    for (const report::Page &page : run->pages) {
        double note = 0, lastRow = 0;
        for (const report::Primitive &p : page.items) {
            if (p.source == kFooterNote)
                note = p.rect.top();
            else if (p.source == QLatin1String("QRDBText1"))
                lastRow = std::max(lastRow, p.rect.bottom());
        }
        QVERIFY(note > lastRow);
    }
}

void TstDayLists::sevenDigitTotalsPrintWhole()
{
    report::installFontSubstitutes();
    const std::optional<report::PageModel> run =
        test::RenderRequest(test::Request(kCollection, QDate(2007, 1, 2), QDate(2007, 1, 2)));
    QVERIFY(run);
    QCOMPARE(test::RowTexts(*run, totalsCaption(kCollection), totalItems(kCollection), 0),
             (QStringList{"4000000", "1000000", "250000", "1000000", "500000", "1000000", "250000", "6000000",
                          "3000000", "1000000", "1000000", "1000000", "2000000"}));
    // The remarks column is drawn for four digits; every count column takes seven.
    QStringList counts = totalItems(kCollection);
    counts.removeLast();
    QCOMPARE(test::CutTexts(*run, counts), QStringList());
}

void TstDayLists::goldenPage_data()
{
    test::AddGoldenRows({kCollection, kLostProperty});
}

void TstDayLists::goldenPage()
{
    m_env.reset(); // the golden pages have a database of their own
    test::CheckGoldenRow(QStringLiteral("ledger"));
}

QTEST_MAIN(TstDayLists)
#include "tst_daylists.moc"
