#include "../export/PeriodFixture.h"
#include "../stats/KindTest.h"
#include "FixtureDb.h"
#include "platform/db/Query.h"
#include "platform/report/Layout.h"
#include "platform/report/PageModel.h"
#include "stats/Export.h"

#include <QtTest>

using namespace tipdesk;
using periodfixture::Row;

namespace {

std::vector<Row> rowsOf(db::Query &q)
{
    std::vector<Row> rows;
    for (q.first(); !q.eof(); q.next()) {
        Row r;
        for (int i = 0; i < q.fieldCount(); ++i)
            r << q.field(i).asString();
        rows.push_back(r);
    }
    return rows;
}

// The kind's layout statement as the report and the export compose it.
std::vector<Row> run(int kind, const QDate &start, const QDate &end, int sortOrder)
{
    db::Query q(QStringLiteral("commonDB"), stats::ExportSql(test::Request(kind, start, end, sortOrder)));
    q.open();
    return rowsOf(q);
}

QString show(const std::vector<Row> &rows)
{
    QStringList out;
    for (const Row &r : rows)
        out << r.join(u'|');
    return out.join(u'\n');
}

} // namespace

class TstPeriodTotals : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void periodIsWrittenAsDayDigits();
    void rowsFollowThePeriodAndSortOrder_data();
    void rowsFollowThePeriodAndSortOrder();
    void organisationJoinDropsAndRepeatsCorrespondents();
    void citizensCountedByReportDay();
    void formPrintsTitlesPeriodAndRunningNumbers_data();
    void formPrintsTitlesPeriodAndRunningNumbers();
    void goldenPages_data();
    void goldenPages();

private:
    std::unique_ptr<test::FixtureDb> m_db;
};

void TstPeriodTotals::initTestCase()
{
    m_db = std::make_unique<test::FixtureDb>(periodfixture::script());
}

void TstPeriodTotals::periodIsWrittenAsDayDigits()
{
    QCOMPARE(stats::PeriodLiteral(QDate(2004, 1, 1), QDate(2004, 1, 31)), QStringLiteral("'20040101' And '20040131'"));
    QCOMPARE(stats::PeriodLine(QDate(2004, 1, 1), QDate(2004, 1, 31)),
             QStringLiteral("기 간 : 2004-01-01 ~ 2004-01-31"));
    // Nothing but a real date may reach the statement text.
    QVERIFY_THROWS_EXCEPTION(report::ReportError, stats::ExportSql(test::Request(21, QDate(), QDate(2004, 1, 31))));
    const QStringList sql = stats::ExportSql(test::Request(21, QDate(2004, 1, 1), QDate(2004, 1, 31)));
    QCOMPARE(sql.value(2), QStringLiteral("Where STAT_DAY Between '20040101' And '20040131'"));
    QVERIFY(stats::ExportSql(test::Request(20, QDate(2004, 1, 1), QDate(2004, 1, 31))).isEmpty());
}

void TstPeriodTotals::rowsFollowThePeriodAndSortOrder_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QDate>("end");
    QTest::addColumn<int>("sortOrder");
    const QDate jan1(2004, 1, 1), jan31(2004, 1, 31), dec31(2003, 12, 31), feb1(2004, 2, 1);
    for (int kind = 21; kind <= 26; ++kind)
        for (int sort = 0; sort <= 2; ++sort)
            QTest::addRow("kind %d sort %d January", kind, sort) << kind << jan1 << jan31 << sort;
    for (int kind = 21; kind <= 26; ++kind) {
        QTest::addRow("kind %d first day only", kind) << kind << jan1 << jan1 << 0;
        QTest::addRow("kind %d last day only", kind) << kind << jan31 << jan31 << 1;
        QTest::addRow("kind %d across the year", kind) << kind << dec31 << feb1 << 0;
        QTest::addRow("kind %d end before start", kind) << kind << jan31 << jan1 << 0;
    }
}

void TstPeriodTotals::rowsFollowThePeriodAndSortOrder()
{
    QFETCH(int, kind);
    QFETCH(QDate, start);
    QFETCH(QDate, end);
    QFETCH(int, sortOrder);
    const std::vector<Row> expected = kind == 22 ? periodfixture::expectedRowsByOrganisation(start, end, sortOrder)
                                                 : periodfixture::expectedRows(kind, start, end, sortOrder);
    if (start <= end)
        QVERIFY(!expected.empty()); // the fixture has rows in every period tested
    QCOMPARE(show(run(kind, start, end, sortOrder)), show(expected));
}

void TstPeriodTotals::organisationJoinDropsAndRepeatsCorrespondents()
{
    const std::vector<Row> rows = run(22, QDate(2004, 1, 1), QDate(2004, 1, 31), stats::SortByOrganisation);
    QStringList ids;
    QString c001Sum;
    for (const Row &r : rows) {
        ids << r[0];
        if (r[0] == QLatin1String("C001")) {
            // Listed once per organisation, each time with the full count.
            if (!c001Sum.isEmpty())
                QCOMPARE(r[4], c001Sum);
            c001Sum = r[4];
        }
    }
    QCOMPARE(ids.count(QStringLiteral("C001")), 2);
    QVERIFY(!ids.contains(QStringLiteral("C003"))); // no role
    QVERIFY(!ids.contains(QStringLiteral("C004"))); // role names a missing organisation
    qint64 c001 = 0;
    for (const auto &c : periodfixture::data().counts)
        if (c.table == QLatin1String("STAT_HUB_RPT") && c.id == QLatin1String("C001") && c.day.startsWith(u"200401"))
            c001 += c.count;
    QCOMPARE(c001Sum, QString::number(c001));
    // Grouped by organisation, the largest count first within each.
    for (size_t i = 1; i < rows.size(); ++i) {
        QVERIFY(rows[i - 1][2] <= rows[i][2]);
        if (rows[i - 1][2] == rows[i][2])
            QVERIFY(rows[i - 1][4].toLongLong() >= rows[i][4].toLongLong());
    }
}

void TstPeriodTotals::citizensCountedByReportDay()
{
    const std::vector<Row> rows = run(26, QDate(2004, 1, 1), QDate(2004, 1, 31), stats::SortById);
    // S1: 1 Jan 00:00 and 20 Jan, not 31 Dec 23:59; S2: three citizen reports, its type-1 one not
    // counted; S3: 15 Jan and 31 Jan 23:59, not 1 Feb 00:00; S4 reported only as police.
    QCOMPARE(show(rows), QStringLiteral("S1|홍길동|2\nS2|성춘향|3\nS3|이몽룡|2"));
}

void TstPeriodTotals::formPrintsTitlesPeriodAndRunningNumbers_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("firstColumn");
    QTest::newRow("21") << 21 << "통신원별 제보현황 (기간)"
                        << "통신원번호";
    QTest::newRow("22") << 22 << "통신원 소속별 제보현황"
                        << "통신원번호";
    QTest::newRow("23") << 23 << "고정제보처별 제보현황 (기간)"
                        << "고정제보처번호";
    QTest::newRow("24") << 24 << "경찰체보처별 제보현황 (기간)"
                        << "경찰제보처번호";
    QTest::newRow("25") << 25 << "접수자별 제보현황 (기간)"
                        << "접수자번호";
    QTest::newRow("26") << 26 << "시민별 제보현황 (기간)"
                        << "시민번호";
}

void TstPeriodTotals::formPrintsTitlesPeriodAndRunningNumbers()
{
    QFETCH(int, kind);
    QFETCH(QString, title);
    QFETCH(QString, firstColumn);
    const QDate start(2004, 1, 1), end(2004, 1, 31);
    stats::TDMReport module;
    const stats::PreparedReport prepared = stats::PrepareReport(test::Request(kind, start, end), module);
    QVERIFY(prepared.form);
    const report::PageModel model = prepared.form->render();
    const std::vector<Row> expected = kind == 22 ? periodfixture::expectedRowsByOrganisation(start, end, 0)
                                                 : periodfixture::expectedRows(kind, start, end, 0);

    QVERIFY(model.pageCount() >= 1);
    const report::Page &first = model.pages.front();
    QVERIFY2(first.contains(title), qPrintable(report::dumpText(model)));
    QVERIFY(first.contains(firstColumn));
    QVERIFY(first.contains(QStringLiteral("기 간 : 2004-01-01 ~ 2004-01-31")));

    // Row numbers run from 1 across every page; each row prints its identifier and its sum.
    const QString layout = prepared.form->layout().name;
    QStringList numbers, ids;
    for (const report::Page &page : model.pages) {
        numbers += page.textsOf(layout + QStringLiteral("RowNo"));
        ids += page.textsOf(kind == 22 ? QStringLiteral("QRDBText4") : QStringLiteral("QRDBText1"));
    }
    QStringList wantNumbers, wantIds;
    for (size_t i = 0; i < expected.size(); ++i) {
        wantNumbers << QString::number(i + 1);
        wantIds << expected[i][0];
    }
    QCOMPARE(numbers, wantNumbers);
    QCOMPARE(ids, wantIds);
    if (kind == 25) // 45 operators do not fit on one page
        QVERIFY(model.pageCount() >= 2);
}

void TstPeriodTotals::goldenPages_data()
{
    test::AddGoldenRows({21, 22, 23, 24, 25, 26});
}

void TstPeriodTotals::goldenPages()
{
    test::CheckGoldenRow(QStringLiteral("periodtotals"));
}

QTEST_MAIN(TstPeriodTotals)
#include "tst_periodtotals.moc"
