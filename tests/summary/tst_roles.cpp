#include "../ledger/LedgerConsole.h"
#include "../stats/KindTest.h"

#include <QtTest>
#include <algorithm>

using namespace tipdesk;

namespace {

constexpr int kKind = 18;

// 12 to 25 November 2004, worked out by hand:
//   A01 한빛회: R1 reported as 김하나 (3) and, renamed, as 김한아 (2); R4 박넷 (1); R3 이셋 (4) is
//     no longer current, so A01 lists 3 rows of 6 reports under a total of 10. R2's 50 and 60
//     lie just outside the period.
//   B02 새벽회: R4 박넷 again (6), R2 최둘 on the end day (2): total 8.
//   C03, which ORGANIZATION does not know: R5 정다섯 on the start day (7): total 7.
// 15 November alone has only R3's reports. R1 also reported on 31 December and 1 January.
// 1 and 2 March 2005: D04 has 60 correspondents L01..L60 reporting 99 down to 40 (more than a
// page holds), E05 one correspondent; A01 one report on 2 March.
QString fixtureRows()
{
    QString s =
        QStringLiteral("begin;\n"
                       "insert into ORGANIZATION (ORGANIZATION_ID, NAME) values ('A01', '한빛회'), ('B02', '새벽회'),"
                       " ('D04', '긴모임'), ('E05', '끝모임');\n"
                       "insert into INDIVIDUAL (INDIVIDUAL_ID, INDIVIDUAL_NAME, TYPE, CUR) values"
                       " ('R1', '김한아', '1', 'Y'), ('R2', '최둘', '1', 'Y'), ('R3', '이셋', '1', 'N'),"
                       " ('R4', '박넷', '1', 'Y'), ('R5', '정다섯', '1', 'Y'), ('R9', '윤아홉', '1', 'Y');\n"
                       "insert into STAT_HUB_ROLE (STAT_DAY, REPORTER_ID, REPORTER_NAME, REPORT_COUNT, ROLE_ID) values"
                       " ('20041111', 'R2', '최둘', 50, 'A01'),"
                       " ('20041112', 'R1', '김하나', 1, 'A01'), ('20041114', 'R1', '김하나', 2, 'A01'),"
                       " ('20041120', 'R1', '김한아', 2, 'A01'),"
                       " ('20041115', 'R3', '이셋', 4, 'A01'),"
                       " ('20041113', 'R4', '박넷', 1, 'A01'),"
                       " ('20041126', 'R2', '최둘', 60, 'A01'),"
                       " ('20041118', 'R4', '박넷', 6, 'B02'),"
                       " ('20041125', 'R2', '최둘', 2, 'B02'),"
                       " ('20041112', 'R5', '정다섯', 7, 'C03'),"
                       " ('20041231', 'R1', '김한아', 1, 'A01'), ('20050101', 'R1', '김한아', 1, 'A01'),"
                       " ('20050302', 'R1', '김한아', 5, 'A01'),"
                       " ('20050301', 'R9', '윤아홉', 3, 'E05');\n");
    for (int n = 1; n <= 60; ++n) {
        const QString id = QStringLiteral("L%1").arg(n, 2, 10, QLatin1Char('0'));
        s += QStringLiteral("insert into INDIVIDUAL (INDIVIDUAL_ID, INDIVIDUAL_NAME, TYPE, CUR) values "
                            "('%1', '통신원%1', '1', 'Y');\n"
                            "insert into STAT_HUB_ROLE (STAT_DAY, REPORTER_ID, REPORTER_NAME, REPORT_COUNT, ROLE_ID) "
                            "values ('%2', '%1', '통신원%1', %3, 'D04');\n")
                 .arg(id, n % 2 ? QStringLiteral("20050301") : QStringLiteral("20050302"))
                 .arg(100 - n);
    }
    return s + QStringLiteral("commit;\n");
}

QDate day(const QString &key)
{
    return QDate::fromString(key, QStringLiteral("yyyyMMdd"));
}

// The texts a component printed on one page (from 1).
QStringList onPage(const report::PageModel &m, int page, const QString &source)
{
    return page <= m.pageCount() ? m.pages[size_t(page - 1)].textsOf(source) : QStringList{QStringLiteral("(no page)")};
}

const QStringList kRowItems{"QRLabel9", "QRDBText4", "QRDBText5", "QRDBText6"};

} // namespace

class TstRoles : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void organisationPages_data();
    void organisationPages();
    void listedRowsOfAnOrganisation_data();
    void listedRowsOfAnOrganisation();
    void organisationOverAPageBreak();
    void periodLine_data();
    void periodLine();
    void noCurrentCorrespondentMeansNoReport_data();
    void noCurrentCorrespondentMeansNoReport();
    void titleOncePageNumberEveryPage();
    void noApprovalBox();
    void goldenPage_data();
    void goldenPage();

private:
    std::optional<report::PageModel> preview(const QString &start, const QString &end, bool approval = false)
    {
        return test::RenderRequest(test::Request(kKind, day(start), day(end), 0, approval));
    }
    std::unique_ptr<test::StatsEnvironment> m_env;
};

void TstRoles::initTestCase()
{
    m_env = std::make_unique<test::StatsEnvironment>(fixtureRows());
}

void TstRoles::cleanupTestCase()
{
    m_env.reset();
}

void TstRoles::init()
{
    if (m_env)
        m_env->ui().entries.clear();
}

void TstRoles::organisationPages_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QStringList>("numbers");
    // The total counts the correspondent no longer current (4) whom the rows leave out.
    QTest::newRow("total above its rows") << 1 << "A01"
                                          << "한빛회"
                                          << "10" << QStringList{"1", "2", "3"};
    QTest::newRow("numbering restarts") << 2 << "B02"
                                        << "새벽회"
                                        << "8" << QStringList{"1", "2"};
    QTest::newRow("organisation unknown") << 3 << "C03" << QString() << "7" << QStringList{"1"};
}

// Each organisation on a page of its own, under its heading, numbered from 1.
void TstRoles::organisationPages()
{
    QFETCH(int, page);
    QFETCH(QString, id);
    QFETCH(QString, name);
    QFETCH(QString, total);
    QFETCH(QStringList, numbers);
    const std::optional<report::PageModel> run = preview(QStringLiteral("20041112"), QStringLiteral("20041125"));
    QVERIFY(run);
    QCOMPARE(run->pageCount(), 3);
    QCOMPARE(onPage(*run, page, QStringLiteral("QRDBText1")), QStringList{id});
    QCOMPARE(onPage(*run, page, QStringLiteral("QRDBText2")), name.isEmpty() ? QStringList() : QStringList{name});
    QCOMPARE(onPage(*run, page, QStringLiteral("QRDBText3")), QStringList{total});
    QCOMPARE(onPage(*run, page, QStringLiteral("QRLabel9")), numbers);
    // The heading's brackets, "총 :" and the captions stand on every page.
    for (const char *caption : {"QRLabel2", "QRLabel3", "QRLabel4", "QRLabel5", "QRLabel6", "QRLabel7", "QRLabel8"})
        QCOMPARE(onPage(*run, page, QLatin1String(caption)).size(), 1);
}

void TstRoles::listedRowsOfAnOrganisation_data()
{
    QTest::addColumn<int>("row"); // over the whole report, from 0
    QTest::addColumn<QStringList>("texts");
    // Highest count first; a renamed correspondent has a row for each name.
    QTest::newRow("former name") << 0 << QStringList{"1", "R1", "김하나", "3"};
    QTest::newRow("new name") << 1 << QStringList{"2", "R1", "김한아", "2"};
    QTest::newRow("in two organisations, first") << 2 << QStringList{"3", "R4", "박넷", "1"};
    QTest::newRow("in two organisations, second") << 3 << QStringList{"1", "R4", "박넷", "6"};
    QTest::newRow("on the end day") << 4 << QStringList{"2", "R2", "최둘", "2"};
    QTest::newRow("on the start day, organisation unknown") << 5 << QStringList{"1", "R5", "정다섯", "7"};
}

void TstRoles::listedRowsOfAnOrganisation()
{
    QFETCH(int, row);
    QFETCH(QStringList, texts);
    const std::optional<report::PageModel> run = preview(QStringLiteral("20041112"), QStringLiteral("20041125"));
    QVERIFY(run);
    QCOMPARE(test::TextsOf(*run, QStringLiteral("QRDBText4")).size(), 6); // R3 is not listed
    QCOMPARE(test::RowTexts(*run, QStringLiteral("QRLabel9"), kRowItems, row), texts);
}

// D04's 60 rows run over two pages: the numbering goes on, and the heading repeats with the same
// organisation and total; E05 then starts page 3 at 1. A01's report of 2 March is alone.
void TstRoles::organisationOverAPageBreak()
{
    const std::optional<report::PageModel> run = preview(QStringLiteral("20050301"), QStringLiteral("20050302"));
    QVERIFY(run);
    QCOMPARE(run->pageCount(), 4);
    QCOMPARE(test::TextsOf(*run, QStringLiteral("QRDBText1")), (QStringList{"A01", "D04", "D04", "E05"}));
    // 99 + 98 + ... + 40 = 60 * 139 / 2
    QCOMPARE(test::TextsOf(*run, QStringLiteral("QRDBText3")), (QStringList{"5", "4170", "4170", "3"}));
    QStringList numbers{"1"}, ids{"R1"}, counts{"5"};
    for (int n = 1; n <= 60; ++n) {
        numbers << QString::number(n);
        ids << QStringLiteral("L%1").arg(n, 2, 10, QLatin1Char('0'));
        counts << QString::number(100 - n);
    }
    numbers << "1";
    ids << "R9";
    counts << "3";
    QCOMPARE(test::TextsOf(*run, QStringLiteral("QRLabel9")), numbers);
    QCOMPARE(test::TextsOf(*run, QStringLiteral("QRDBText4")), ids);
    QCOMPARE(test::TextsOf(*run, QStringLiteral("QRDBText6")), counts);
    // The break falls inside D04: page 3 goes on from the last number of page 2.
    const QStringList second = onPage(*run, 2, QStringLiteral("QRLabel9"));
    const QStringList third = onPage(*run, 3, QStringLiteral("QRLabel9"));
    QVERIFY(!second.isEmpty() && !third.isEmpty());
    QCOMPARE(third.first().toInt(), second.last().toInt() + 1);
    QCOMPARE(onPage(*run, 4, QStringLiteral("QRLabel9")), QStringList{"1"});
}

void TstRoles::periodLine_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("line");
    QTest::newRow("within a month") << "20041112"
                                    << "20041125"
                                    << "11월 12일 ~ 11월 25일";
    QTest::newRow("over the year end") << "20041231"
                                       << "20050101"
                                       << "12월 31일 ~ 01월 01일";
    QTest::newRow("leading zeros") << "20050301"
                                   << "20050302"
                                   << "03월 01일 ~ 03월 02일";
}

void TstRoles::periodLine()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, line);
    const std::optional<report::PageModel> run = preview(start, end);
    QVERIFY(run);
    QCOMPARE(test::TextsOf(*run, QStringLiteral("QRLabel10")), QStringList{line});
}

void TstRoles::noCurrentCorrespondentMeansNoReport_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::newRow("only one no longer current") << "20041115"
                                                << "20041115";
    QTest::newRow("no rows") << "20041116"
                             << "20041117";
}

void TstRoles::noCurrentCorrespondentMeansNoReport()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    const std::optional<report::PageModel> run = preview(start, end);
    QVERIFY(!run);
}

void TstRoles::titleOncePageNumberEveryPage()
{
    const std::optional<report::PageModel> run = preview(QStringLiteral("20041112"), QStringLiteral("20041125"));
    QVERIFY(run);
    QCOMPARE(test::PagesWith(*run, QStringLiteral("QRLabel1")), QList<int>{1});
    QCOMPARE(test::TextsOf(*run, QStringLiteral("QRSysData2")), (QStringList{"1", "2", "3"}));
    // The page number stands in the footer, below every row.
    for (const report::Page &page : run->pages) {
        double number = 0, lowestRow = 0;
        for (const report::Primitive &p : page.items) {
            if (p.source == QLatin1String("QRSysData2"))
                number = p.rect.top();
            if (p.source == QLatin1String("QRLabel9"))
                lowestRow = std::max(lowestRow, p.rect.bottom());
        }
        QVERIFY(number > lowestRow);
    }
}

void TstRoles::noApprovalBox()
{
    const std::optional<report::PageModel> with = preview(QStringLiteral("20041112"), QStringLiteral("20041125"), true);
    const std::optional<report::PageModel> without =
        preview(QStringLiteral("20041112"), QStringLiteral("20041125"), false);
    QVERIFY(with);
    QVERIFY(!with->pages.front().contains(QStringLiteral("전결")));
    QCOMPARE(report::dumpText(*with), report::dumpText(*without));
}

void TstRoles::goldenPage_data()
{
    test::AddGoldenRows({kKind});
}

void TstRoles::goldenPage()
{
    m_env.reset(); // the golden page has a database of its own
    test::CheckGoldenRow(QStringLiteral("summary"));
}

QTEST_MAIN(TstRoles)
#include "tst_roles.moc"
