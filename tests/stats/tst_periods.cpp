#include "StatsFixture.h"
#include "platform/db/DbError.h"
#include "stats/Periods.h"

#include <QtTest>

using namespace tipdesk;

// Reference periods derived through the database, and the caption helpers.
class TstPeriods : public QObject {
    Q_OBJECT
private slots:
    void weekTable_data();
    void weekTable();
    void startDayOfTheServersDateMeansTheDayBefore_data();
    void startDayOfTheServersDateMeansTheDayBefore();
    void getSqlValueLeavesTheQueryOpenWithItsOneLine();
    void badDayKeyNeverReachesTheStatement();
    void weekdayNames_data();
    void weekdayNames();
    void dayCaptions_data();
    void dayCaptions();
};

void TstPeriods::weekTable_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("weekStart");
    QTest::addColumn<QString>("weekEnd");
    QTest::addColumn<QString>("month");
    QTest::newRow("Monday") << "20040105"
                            << "20031229"
                            << "20040104"
                            << "200312";
    QTest::newRow("Wednesday") << "20040107"
                               << "20031229"
                               << "20040104"
                               << "200312";
    QTest::newRow("Saturday") << "20040110"
                              << "20031229"
                              << "20040104"
                              << "200312";
    QTest::newRow("Sunday: the week before the one ending that day") << "20040111"
                                                                     << "20031229"
                                                                     << "20040104"
                                                                     << "200312";
    QTest::newRow("first of a month: the month before") << "20040101"
                                                        << "20031222"
                                                        << "20031228"
                                                        << "200312";
    QTest::newRow("first of March in a leap year") << "20040301"
                                                   << "20040223"
                                                   << "20040229"
                                                   << "200402";
    QTest::newRow("last of a month") << "20040229"
                                     << "20040216"
                                     << "20040222"
                                     << "200401";
    QTest::newRow("Sunday across a year") << "20050102"
                                          << "20041220"
                                          << "20041226"
                                          << "200412";
}

void TstPeriods::weekTable()
{
    QFETCH(QString, start);
    QFETCH(QString, weekStart);
    QFETCH(QString, weekEnd);
    QFETCH(QString, month);
    test::StatsEnvironment env;
    const stats::ReferencePeriods p = stats::CalcPeriods(start, *env.module().qryDate);
    QCOMPARE(p.currDay, start);
    QCOMPARE(p.weekStart, weekStart);
    QCOMPARE(p.weekEnd, weekEnd);
    QCOMPARE(p.currMonth, month);

    // Independently: the week is the Monday..Sunday before the one that holds the day.
    const QDate day = QDate::fromString(start, QStringLiteral("yyyyMMdd"));
    const QDate monday = day.addDays(1 - day.dayOfWeek()).addDays(-7);
    QCOMPARE(p.weekStart, monday.toString(QStringLiteral("yyyyMMdd")));
    QCOMPARE(p.weekEnd, monday.addDays(6).toString(QStringLiteral("yyyyMMdd")));
    QVERIFY(p.weekEnd < p.currDay);
}

void TstPeriods::startDayOfTheServersDateMeansTheDayBefore_data()
{
    QTest::addColumn<QDateTime>("serverNow");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("currDay");
    QTest::newRow("today") << QDateTime(QDate(2004, 1, 8), QTime(9, 30)) << "20040108"
                           << "20040107";
    QTest::newRow("today, first of a month") << QDateTime(QDate(2004, 3, 1), QTime(0, 5)) << "20040301"
                                             << "20040229";
    QTest::newRow("yesterday is used as it is") << QDateTime(QDate(2004, 1, 8), QTime(9, 30)) << "20040107"
                                                << "20040107";
    QTest::newRow("a future day is used as it is") << QDateTime(QDate(2004, 1, 8), QTime(9, 30)) << "20040120"
                                                   << "20040120";
}

void TstPeriods::startDayOfTheServersDateMeansTheDayBefore()
{
    QFETCH(QDateTime, serverNow);
    QFETCH(QString, start);
    QFETCH(QString, currDay);
    test::StatsEnvironment env;
    db::Clock::setFixed(serverNow);
    QCOMPARE(stats::CalcPeriods(start, *env.module().qryDate).currDay, currDay);
}

void TstPeriods::getSqlValueLeavesTheQueryOpenWithItsOneLine()
{
    test::StatsEnvironment env;
    db::Query &q = *env.module().qryDate;
    QCOMPARE(stats::GetSqlValue(q, QStringLiteral("SELECT TO_CHAR(TO_DATE('20040107', 'yyyymmdd'), 'D') FROM DUAL")),
             QStringLiteral("4"));
    QVERIFY(q.active());
    QCOMPARE(q.sql().size(), 1);
    QCOMPARE(stats::GetSqlValue(q, QStringLiteral("SELECT 'x' FROM DUAL")), QStringLiteral("x"));
    QCOMPARE(q.sql(), QStringList{QStringLiteral("SELECT 'x' FROM DUAL")});
}

void TstPeriods::badDayKeyNeverReachesTheStatement()
{
    test::StatsEnvironment env;
    db::Query &q = *env.module().qryDate;
    QVERIFY_THROWS_EXCEPTION(db::DbError, stats::CalcPeriods(QStringLiteral("2004'--"), q));
    QVERIFY(!q.active()); // nothing was run
}

void TstPeriods::weekdayNames_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("name");
    const QStringList names{"일", "월", "화", "수", "목", "금", "토"};
    for (int i = 0; i < names.size(); ++i)
        QTest::addRow("%d", i + 1) << i + 1 << names[i];
    QTest::newRow("outside the week") << 8 << QString();
}

void TstPeriods::weekdayNames()
{
    QFETCH(int, number);
    QFETCH(QString, name);
    QCOMPARE(stats::WeekdayName(number), name);
}

void TstPeriods::dayCaptions_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("withWeekday");
    QTest::newRow("Wednesday") << "20040107"
                               << "2004년 1월 7일 "
                               << "2004년 1월 7일 (수요일 )";
    QTest::newRow("Sunday") << "20040111"
                            << "2004년 1월 11일 "
                            << "2004년 1월 11일 (일요일 )";
    QTest::newRow("Saturday, two-digit month") << "20041225"
                                               << "2004년 12월 25일 "
                                               << "2004년 12월 25일 (토요일 )";
}

void TstPeriods::dayCaptions()
{
    QFETCH(QString, key);
    QFETCH(QString, plain);
    QFETCH(QString, withWeekday);
    QCOMPARE(stats::DayCaption(key), plain);
    QCOMPARE(stats::DayCaptionWithWeekday(key), withWeekday);
}

QTEST_MAIN(TstPeriods)
#include "tst_periods.moc"
