// Kinds 8 ("근무일지") and 9 ("수집실적"): the one-page day sheets printed from the day's STAT_HUB
// row, rendered as the console's preview renders them, on a small fixture whose figures are
// worked out by hand below.
#include "../stats/KindTest.h"
#include "../stats/StatsFixture.h"
#include "platform/report/PageModel.h"

#include <QtTest>
#include <array>

using namespace tipdesk;

namespace {

// The STAT_HUB columns the two sheets read.
struct HubRow {
    const char *day;
    int total, result1, result2, result3, content2, content9, content7;
    std::array<int, 6> reporter; // REPORTER1..6
};

// 20040301: broadcast 1 of 16 (6.25 %); 20040302: 3 of 16 (18.75 %); 20040303..08 and 20040310:
// the other shares of the broadcast material; 20040306 has no broadcast material at all.
// 20040309 has handling rows but no STAT_HUB row.
const HubRow kHub[] = {
    {"20040301", 50, 7, 1, 15, 4, 3, 9, {11, 12, 13, 5, 6, 3}},
    {"20040302", 40, 2, 3, 13, 0, 6, 1, {9, 8, 7, 6, 5, 5}},
    {"20040303", 10, 5, 3, 1, 1, 0, 0, {10, 0, 0, 0, 0, 0}},
    {"20040304", 3, 0, 1, 2, 0, 0, 0, {0, 3, 0, 0, 0, 0}},
    {"20040305", 3, 0, 2, 1, 0, 0, 0, {0, 0, 3, 0, 0, 0}},
    {"20040306", 4, 4, 0, 0, 0, 0, 0, {0, 0, 0, 4, 0, 0}},
    {"20040307", 5, 0, 0, 5, 0, 0, 0, {0, 0, 0, 0, 5, 0}},
    {"20040308", 5, 0, 5, 0, 0, 0, 0, {0, 0, 0, 0, 0, 5}},
    {"20040310", 2000, 0, 1, 1999, 0, 0, 0, {2000, 0, 0, 0, 0, 0}},
    {"20041120", 1, 1, 0, 0, 0, 0, 0, {1, 0, 0, 0, 0, 0}},
};

QString fixtureRows()
{
    QString s;
    for (const HubRow &r : kHub) {
        QStringList v{QString::number(r.total),   QString::number(r.result1),  QString::number(r.result2),
                      QString::number(r.result3), QString::number(r.content2), QString::number(r.content9),
                      QString::number(r.content7)};
        for (int c : r.reporter)
            v << QString::number(c);
        s += QStringLiteral("insert into STAT_HUB (STAT_DAY, TOTAL, RESULT1, RESULT2, RESULT3, CONTENT2, CONTENT9, "
                            "CONTENT7, REPORTER1, REPORTER2, REPORTER3, REPORTER4, REPORTER5, REPORTER6) "
                            "values ('%1', %2);\n")
                 .arg(QLatin1String(r.day), v.join(QStringLiteral(", ")));
    }
    s += QStringLiteral("insert into STAT_HUB_DAY (STAT_DAY, RESULT, TOTAL, TIME08) values ('20040309', '2', 4, 4);\n");
    return s;
}

// The code table of the sign-off line, inserted in the order given into a table without a key, so
// that without an order the rows would come back as inserted; and a row of another group that
// would come second by code if the group were not filtered.
using CodeRows = QList<std::pair<QString, QString>>; // BAS_SCOD, BAS_NAME

QString codeRows(const CodeRows &unitRows)
{
    QString s =
        QStringLiteral("drop table BASE_CODE;\n"
                       "create table BASE_CODE (BAS_LCOD TEXT, BAS_SCOD TEXT, BAS_NAME TEXT);\n"
                       "insert into BASE_CODE (BAS_LCOD, BAS_SCOD, BAS_NAME) values ('100', '0015', '안내');\n");
    for (const auto &[code, name] : unitRows)
        s += QStringLiteral("insert into BASE_CODE (BAS_LCOD, BAS_SCOD, BAS_NAME) values ('001', '%1', '%2');\n")
                 .arg(code, name);
    return s;
}

const report::Primitive *find(const report::Page &page, const QString &source)
{
    for (const report::Primitive &p : page.items)
        if (p.source == source)
            return &p;
    return nullptr;
}

QString text(const report::PageModel &m, const QString &source)
{
    if (m.pages.empty())
        return QStringLiteral("(no page)");
    return m.pages.front().textsOf(source).join(u'\n');
}

} // namespace

class TstWorkLog : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void countsInTheirCells_data();
    void countsInTheirCells();
    void broadcastShare_data();
    void broadcastShare();
    void signOffLine_data();
    void signOffLine();
    void dateLineWithWeekday_data();
    void dateLineWithWeekday();
    void stampFollowsTheConsoleOption_data();
    void stampFollowsTheConsoleOption();
    void dayWithoutStatisticsRowMeansNoReport_data();
    void dayWithoutStatisticsRowMeansNoReport();
    void goldenPage_data();
    void goldenPage();

private:
    report::PageModel render(int kind, const QDate &day, bool approval = false);
    std::unique_ptr<test::StatsEnvironment> m_env;
    bool m_found = false; // the last render found rows
};

void TstWorkLog::init()
{
    m_env = std::make_unique<test::StatsEnvironment>(fixtureRows());
}

void TstWorkLog::cleanup()
{
    m_env.reset();
}

report::PageModel TstWorkLog::render(int kind, const QDate &day, bool approval)
{
    const std::optional<report::PageModel> model = test::RenderRequest(test::Request(kind, day, day, 0, approval));
    m_found = model.has_value();
    return model.value_or(report::PageModel());
}

void TstWorkLog::countsInTheirCells_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QString>("header"); // the heading item of the value's column
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");

    // 20040301: total 50; in-house 7, broadcast 1, not broadcast 15; guidance 4, notices 3.
    // Broadcast material 1 + 15 = 16; utilisation 16 + 4 + 3 + 7 = 30. The left-hand 계 is the
    // day's total, not the sum of its columns (16 + 7 = 23).
    const QDate d1(2004, 3, 1);
    QTest::newRow("8 접수 계") << 8 << d1 << "ReceivedHeadTOTAL"
                               << "계"
                               << "ReceivedTOTAL"
                               << "50";
    QTest::newRow("8 전송 계") << 8 << d1 << "SentHeadBANG"
                               << "계"
                               << "ReceivedBANG"
                               << "16";
    QTest::newRow("8 방송") << 8 << d1 << "SentHeadRESULT2"
                            << "방 송"
                            << "ReceivedRESULT2"
                            << "1";
    QTest::newRow("8 비보도") << 8 << d1 << "SentHeadRESULT3"
                              << "비보도"
                              << "ReceivedRESULT3"
                              << "15";
    QTest::newRow("8 자체처리") << 8 << d1 << "ReceivedHeadRESULT1"
                                << "자체처리"
                                << "ReceivedRESULT1"
                                << "7";
    QTest::newRow("8 활용 계") << 8 << d1 << "UsedHeadS_TOT"
                               << "계"
                               << "UsedS_TOT"
                               << "30";
    QTest::newRow("8 방송자료") << 8 << d1 << "UsedHeadBANG"
                                << "방송자료"
                                << "UsedBANG"
                                << "16";
    QTest::newRow("8 직접안내") << 8 << d1 << "UsedHeadCONTENT2"
                                << "직접안내"
                                << "UsedCONTENT2"
                                << "4";
    QTest::newRow("8 기관통보") << 8 << d1 << "UsedHeadCONTENT9"
                                << "기관통보"
                                << "UsedCONTENT9"
                                << "3";
    QTest::newRow("8 기 타") << 8 << d1 << "UsedHeadRESULT1"
                             << "기 타"
                             << "UsedRESULT1"
                             << "7";
    // 20040302: total 40; in-house 2, broadcast 3, not broadcast 13; no guidance, notices 6.
    // Material 16, utilisation 16 + 0 + 6 + 2 = 24.
    const QDate d2(2004, 3, 2);
    QTest::newRow("8 second day 활용 계") << 8 << d2 << "UsedHeadS_TOT"
                                          << "계"
                                          << "UsedS_TOT"
                                          << "24";
    QTest::newRow("8 second day 직접안내") << 8 << d2 << "UsedHeadCONTENT2"
                                           << "직접안내"
                                           << "UsedCONTENT2"
                                           << "0";
    QTest::newRow("8 second day 기 타") << 8 << d2 << "UsedHeadRESULT1"
                                        << "기 타"
                                        << "UsedRESULT1"
                                        << "2";
    QTest::newRow("8 second day 자체처리") << 8 << d2 << "ReceivedHeadRESULT1"
                                           << "자체처리"
                                           << "ReceivedRESULT1"
                                           << "2";

    // Kind 9 on 20040301: reporters 통신원 11, 시민 12, 고정제보처 13, 직원 5, 경찰제보처 6, 기타 3
    // (REPORTER1..6), printed in the order 통신원, 경찰제보처, 시민, 직원, 고정제보처, 기타.
    QTest::newRow("9 수집 계") << 9 << d1 << "CollectedHeadTOTAL"
                               << "계"
                               << "CollectedTOTAL"
                               << "50";
    QTest::newRow("9 통신원") << 9 << d1 << "CollectedHeadREPORTER1"
                              << "통신원"
                              << "CollectedREPORTER1"
                              << "11";
    QTest::newRow("9 경찰제보처") << 9 << d1 << "CollectedHeadREPORTER5"
                                  << "경찰제보처"
                                  << "CollectedREPORTER5"
                                  << "6";
    QTest::newRow("9 시민") << 9 << d1 << "CollectedHeadREPORTER2"
                            << "시민"
                            << "CollectedREPORTER2"
                            << "12";
    QTest::newRow("9 직원") << 9 << d1 << "CollectedHeadREPORTER4"
                            << "직원"
                            << "CollectedREPORTER4"
                            << "5";
    QTest::newRow("9 고정제보처") << 9 << d1 << "CollectedHeadREPORTER3"
                                  << "고정제보처"
                                  << "CollectedREPORTER3"
                                  << "13";
    QTest::newRow("9 기타") << 9 << d1 << "CollectedHeadREPORTER6"
                            << "기타"
                            << "CollectedREPORTER6"
                            << "3";
    QTest::newRow("9 처리 계") << 9 << d1 << "HandledHeadS_TOTAL"
                               << "계"
                               << "HandledS_TOTAL"
                               << "30";
    QTest::newRow("9 방송자료") << 9 << d1 << "HandledHeadBANG"
                                << "방송자료"
                                << "HandledBANG"
                                << "16";
    QTest::newRow("9 직접안내") << 9 << d1 << "HandledHeadCONTENT2"
                                << "직접안내"
                                << "HandledCONTENT2"
                                << "4";
    QTest::newRow("9 기관통보") << 9 << d1 << "HandledHeadCONTENT9"
                                << "기관통보"
                                << "HandledCONTENT9"
                                << "3";
    QTest::newRow("9 자체처리") << 9 << d1 << "HandledHeadRESULT1"
                                << "자체처리"
                                << "HandledRESULT1"
                                << "7";
    QTest::newRow("9 스튜디오전송건수") << 9 << d1 << "BroadcastHeadBANG"
                                        << "스튜디오전송건수"
                                        << "BroadcastBANG"
                                        << "16";
    QTest::newRow("9 방송건수") << 9 << d1 << "BroadcastHeadRESULT2"
                                << "방송건수"
                                << "BroadcastRESULT2"
                                << "1";
    QTest::newRow("9 방송비율") << 9 << d1 << "BroadcastHeadBANG_PER"
                                << "방송비율"
                                << "QRDBText3"
                                << "6.3%";
    QTest::newRow("9 second day 처리 계") << 9 << d2 << "HandledHeadS_TOTAL"
                                          << "계"
                                          << "HandledS_TOTAL"
                                          << "24";
}

void TstWorkLog::countsInTheirCells()
{
    QFETCH(int, kind);
    QFETCH(QDate, day);
    QFETCH(QString, header);
    QFETCH(QString, caption);
    QFETCH(QString, value);
    QFETCH(QString, expected);
    const report::PageModel m = render(kind, day);
    QVERIFY(m_found);
    QCOMPARE(m.pageCount(), 1);
    QCOMPARE(text(m, header), caption);
    QCOMPARE(text(m, value), expected);
    // The value stands in its heading's column, below it.
    const report::Primitive *h = find(m.pages.front(), header);
    const report::Primitive *v = find(m.pages.front(), value);
    QVERIFY(h && v);
    QVERIFY2(v->rect.center().x() > h->rect.left() && v->rect.center().x() < h->rect.right(),
             qPrintable(QStringLiteral("%1 is not under %2").arg(value, header)));
    QVERIFY(v->rect.top() > h->rect.bottom());
}

void TstWorkLog::broadcastShare_data()
{
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QString>("share");
    // Broadcast (RESULT2) of the broadcast material (RESULT2 + RESULT3), one decimal, a half
    // rounded away from zero.
    QTest::newRow("1 of 16 = 6.25") << QDate(2004, 3, 1) << "6.3%";
    QTest::newRow("3 of 16 = 18.75") << QDate(2004, 3, 2) << "18.8%";
    QTest::newRow("1 of 2000 = 0.05") << QDate(2004, 3, 10) << "0.1%";
    QTest::newRow("3 of 4 = 75") << QDate(2004, 3, 3) << "75.0%";
    QTest::newRow("1 of 3") << QDate(2004, 3, 4) << "33.3%";
    QTest::newRow("2 of 3") << QDate(2004, 3, 5) << "66.7%";
    QTest::newRow("all broadcast") << QDate(2004, 3, 8) << "100.0%";
    QTest::newRow("nothing broadcast") << QDate(2004, 3, 7) << "0.0%";
    QTest::newRow("no broadcast material") << QDate(2004, 3, 6) << "0.0%";
}

void TstWorkLog::broadcastShare()
{
    QFETCH(QDate, day);
    QFETCH(QString, share);
    const report::PageModel m = render(9, day);
    QVERIFY(m_found);
    QCOMPARE(text(m, QStringLiteral("QRDBText3")), share);
}

void TstWorkLog::signOffLine_data()
{
    using Rows = CodeRows;
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<QString>("line");
    // The second name of group '001' in code order, whatever the order of insertion.
    QTest::newRow("several, scrambled") << Rows{{"003", "다청"}, {"001", "가청"}, {"004", "라청"}, {"002", "나청"}}
                                        << "나청 교통정보과";
    QTest::newRow("two, reversed") << Rows{{"009", "둘째청"}, {"005", "첫째청"}} << "둘째청 교통정보과";
    QTest::newRow("one") << Rows{{"007", "유일청"}} << "유일청 교통정보과";
    QTest::newRow("none") << Rows{} << " 교통정보과";
}

void TstWorkLog::signOffLine()
{
    QFETCH(CodeRows, rows);
    QFETCH(QString, line);
    m_env->run(codeRows(rows));
    const report::PageModel m = render(9, QDate(2004, 3, 1));
    QVERIFY(m_found);
    QCOMPARE(text(m, QStringLiteral("QRLabel23")), line);
}

void TstWorkLog::dateLineWithWeekday_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QString>("line");
    QTest::newRow("8 no leading zeros") << 8 << QDate(2004, 3, 1) << "2004년 3월 1일 (월요일 )";
    QTest::newRow("8 two digits") << 8 << QDate(2004, 11, 20) << "2004년 11월 20일 (토요일 )";
    QTest::newRow("9 no leading zeros") << 9 << QDate(2004, 3, 7) << "2004년 3월 7일 (일요일 )";
    QTest::newRow("9 two digits") << 9 << QDate(2004, 11, 20) << "2004년 11월 20일 (토요일 )";
}

void TstWorkLog::dateLineWithWeekday()
{
    QFETCH(int, kind);
    QFETCH(QDate, day);
    QFETCH(QString, line);
    const report::PageModel m = render(kind, day);
    QVERIFY(m_found);
    QCOMPARE(text(m, QStringLiteral("QRLabel37")), line);
}

void TstWorkLog::stampFollowsTheConsoleOption_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("approval");
    QTest::newRow("8 ticked") << 8 << true;
    QTest::newRow("8 unticked") << 8 << false;
    QTest::newRow("9 ticked") << 9 << true;
    QTest::newRow("9 unticked") << 9 << false;
}

void TstWorkLog::stampFollowsTheConsoleOption()
{
    QFETCH(int, kind);
    QFETCH(bool, approval);
    const report::PageModel m = render(kind, QDate(2004, 3, 1), approval);
    QVERIFY(m_found);
    const report::Page &page = m.pages.front();
    QCOMPARE(page.contains(QStringLiteral("전결")), approval);
    const report::Primitive *frame = find(page, QStringLiteral("QRShape65"));
    QVERIFY(frame);
    QCOMPARE(frame->color, approval ? QColor(Qt::black) : QColor(Qt::white));
    // The rest of the approval box prints either way.
    for (const char *title : {"담  당", "과  장", "국  장", "본부장"})
        QVERIFY(page.contains(QString::fromUtf8(title)));
}

void TstWorkLog::dayWithoutStatisticsRowMeansNoReport_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("근무일지") << 8;
    QTest::newRow("수집실적") << 9;
}

void TstWorkLog::dayWithoutStatisticsRowMeansNoReport()
{
    QFETCH(int, kind);
    // 20040309 has a handling row but no STAT_HUB row.
    QVERIFY(!test::RenderRequest(test::Request(kind, QDate(2004, 3, 9))));
}

void TstWorkLog::goldenPage_data()
{
    test::AddGoldenRows({8, 9});
}

void TstWorkLog::goldenPage()
{
    m_env.reset(); // the golden page has a database of its own
    test::CheckGoldenRow(QStringLiteral("ledger"));
}

QTEST_MAIN(TstWorkLog)
#include "tst_worklog.moc"
