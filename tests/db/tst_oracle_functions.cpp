#include "FixtureDb.h"
#include "platform/db/Clock.h"
#include "platform/db/DbError.h"
#include "platform/db/Query.h"

#include <QtTest>

using namespace tipdesk;

// Oracle's results for expressions, checked through the embedded backend as a form would read
// them: the field's display text, or the error text.
class TstOracleFunctions : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void values_data();
    void values();
    void errors_data();
    void errors();
    void toDateReadsLeniently_data();
    void toDateReadsLeniently();
    void parametersTakeOneValueForEveryUse();
    void masksOverManyRows();

private:
    std::unique_ptr<test::FixtureDb> m_fx;
};

void TstOracleFunctions::initTestCase()
{
    m_fx = std::make_unique<test::FixtureDb>(
        QStringLiteral("CREATE TABLE t (k TEXT, n INTEGER, d TEXT, report_date TEXT);"
                       "INSERT INTO t VALUES ('8', 8, '8', '2024-02-29 23:59:30'), (NULL, NULL, NULL, NULL);"
                       "CREATE TABLE m (i INTEGER, d TEXT);"
                       "INSERT INTO m VALUES (1, '2024-02-29 23:59:30'), (2, '2023-01-05 07:04:09'), "
                       "(3, '1999-12-31 12:00'), (4, NULL), (5, '2004-01-07'), (6, '0987-06-05T04:03:02');"));
    db::Clock::setFixed(QDateTime(QDate(2024, 3, 1), QTime(0, 30, 0)));
}

void TstOracleFunctions::cleanupTestCase()
{
    db::Clock::clearFixed();
    m_fx.reset();
}

void TstOracleFunctions::values_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("text");
    // Number to text, Oracle's default conversion.
    QTest::newRow("share below one") << "concat(46/100, '%')"
                                     << ".46%";
    QTest::newRow("whole") << "concat(50, '')"
                           << "50";
    QTest::newRow("negative fraction") << "-1/2 || ''"
                                       << "-.5";
    QTest::newRow("to_char number") << "to_char(0.25)"
                                    << ".25";
    // Decimal arithmetic.
    QTest::newRow("no integer division") << "1/3"
                                         << "0.333333333333333";
    QTest::newRow("trunc 29%") << "trunc(29/100*100, 1)"
                               << "29";
    QTest::newRow("trunc 2/3") << "trunc(2/3*100, 1)"
                               << "66.6";
    QTest::newRow("stays 18.75") << "18.75 * 1"
                                 << "18.75";
    QTest::newRow("trunc negative") << "trunc(-7.89, 1)"
                                    << "-7.8";
    QTest::newRow("trunc default") << "trunc(7.99)"
                                   << "7";
    QTest::newRow("share text cut") << "concat(trunc(nvl(1/3 * 100, 0),1), '%')"
                                    << "33.3%";
    QTest::newRow("sum then divide") << "(5 + 3) / 2"
                                     << "4";
    // DECODE: conversion to the first search value's type, null matches null, no default null.
    QTest::newRow("decode 8 matches '8'") << "decode(k, '1', 'a', 8, 'eight')"
                                          << "eight";
    QTest::newRow("decode number vs text") << "decode(n, '8', 'yes', 'no')"
                                           << "yes";
    QTest::newRow("decode null matches null") << "(select decode(k, null, 'null', 'other') from t where n is null)"
                                              << "null";
    QTest::newRow("decode no match no default") << "decode(k, '1', 'a')"
                                                << "";
    QTest::newRow("decode default") << "decode(k, '1', 'a', 'z')"
                                    << "z";
    QTest::newRow("decode empty is null") << "decode('0', '1', '*', '0', '')"
                                          << "";
    QTest::newRow("decode numeric zero") << "decode(0, 0, 0.0, 5)"
                                         << "0";
    // Only the chosen result is evaluated: a share guarded by DECODE never divides by zero.
    QTest::newRow("decode guards a division") << "decode(0, 0, 0.0, 5 / 0)"
                                              << "0";
    QTest::newRow("decode default guarded") << "decode(n - 8, 0, -1, 1 / (n - 8))"
                                            << "-1";
    QTest::newRow("decode later branch") << "decode(n, 1, 1 / 0, 8, n * 2, 1 / 0)"
                                         << "16";
    // NVL, CONCAT, SUBSTR, ||.
    QTest::newRow("nvl null") << "(select nvl(n, 0) from t where k is null)"
                              << "0";
    QTest::newRow("nvl value") << "nvl(n, 0)"
                               << "8";
    QTest::newRow("concat null as empty") << "(select concat(k, '일') from t where k is null)"
                                          << "일";
    QTest::newRow("pipes null as empty") << "(select 'a' || k || 'b' from t where k is null)"
                                         << "ab";
    QTest::newRow("substr") << "substr('20040107', 5, 2)"
                            << "01";
    QTest::newRow("substr to end") << "substr('20040107', 5)"
                                   << "0107";
    QTest::newRow("substr negative") << "substr('20040107', -2)"
                                     << "07";
    QTest::newRow("substr zero start") << "substr('abc', 0, 2)"
                                       << "ab";
    QTest::newRow("substr of number") << "substr(12345, 2, 3)"
                                      << "234";
    QTest::newRow("to_number") << "to_number('42') + 1"
                               << "43";
    // Numbers beyond every position, digit count and integer.
    QTest::newRow("smallest integer divided by -1")
        << "case when (0 - 9223372036854775807 - 1) / -1 > 9223372036854775807 then 'beyond' end"
        << "beyond";
    QTest::newRow("trunc to more digits than any number has") << "trunc(1.5, 1e300)"
                                                              << "1.5";
    QTest::newRow("round to fewer digits than any number has") << "round(1.5, -1e300)"
                                                               << "0";
    QTest::newRow("substr from far past the end") << "substr('abc', 1e300)"
                                                  << "";
    QTest::newRow("substr from far before the start") << "substr('abc', -1e300)"
                                                      << "";
    QTest::newRow("substr longer than any text") << "substr('abc', 2, 1e300)"
                                                 << "bc";
    // Dates and masks.
    QTest::newRow("yyyymmdd") << "to_char(report_date, 'YYYYMMDD')"
                              << "20240229";
    QTest::newRow("date text, minutes only") << "to_char('2004-01-07 09:05', 'YYYYMMDD HH24:MI:SS')"
                                             << "20040107 09:05:00";
    QTest::newRow("date text, longer than a date") << "to_char('2004-01-07 09:05:01 and a remark of 40 bytes', 'DD')"
                                                   << "07";
    QTest::newRow("lower-case mask") << "to_char(report_date, 'yyyy-mm-dd hh24:mi')"
                                     << "2024-02-29 23:59";
    QTest::newRow("blanks in mask") << "to_char(report_date, 'MM    DD')"
                                    << "02    29";
    QTest::newRow("hours and minutes") << "to_char(report_date, 'HH24:MI')"
                                       << "23:59";
    QTest::newRow("month day") << "to_char(report_date, 'MM-DD')"
                               << "02-29";
    QTest::newRow("yyyymm") << "to_char(report_date, 'yyyymm')"
                            << "202402";
    QTest::newRow("weekday number sunday") << "to_char(to_date('20040111', 'yyyymmdd'), 'D')"
                                           << "1";
    QTest::newRow("weekday number saturday") << "to_char(to_date('20040110', 'yyyymmdd'), 'D')"
                                             << "7";
    QTest::newRow("day name monday") << "to_char(to_date('20040105', 'yyyymmdd'), 'DAY')"
                                     << "월요일";
    QTest::newRow("first letter of day") << "substr(to_char(to_date('20040107', 'yyyymmdd'), 'DAY'),1,1)"
                                         << "수";
    QTest::newRow("to_date minutes") << "to_date('2004-01-07 09:05', 'YYYY-MM-DD HH24:MI')"
                                     << "2004-01-07 09:05:00";
    QTest::newRow("sysdate") << "sysdate"
                             << "2024-03-01 00:30:00";
    QTest::newRow("sysdate minus one") << "to_char(sysdate - 1, 'yyyymmdd')"
                                       << "20240229";
    QTest::newRow("date minus date") << "to_date('20240301', 'yyyymmdd') - to_date('20240201', 'yyyymmdd')"
                                     << "29";
    QTest::newRow("date minus fraction") << "to_char(to_date('20040101', 'yyyymmdd') - 0.5, 'yyyy-mm-dd hh24:mi')"
                                         << "2003-12-31 12:00";
    QTest::newRow("number plus date") << "to_char(1 + to_date('20231231', 'yyyymmdd'), 'yyyymmdd')"
                                      << "20240101";
    QTest::newRow("trunc date") << "trunc(report_date)"
                                << "2024-02-29 00:00:00";
    QTest::newRow("date comparison") << "decode(1, 1, (select count(*) from t where report_date > "
                                        "to_date('20240229', 'yyyymmdd')))"
                                     << "1";
    QTest::newRow("between text keys") << "(select count(*) from t where d between '7' and '9')"
                                       << "1";
}

void TstOracleFunctions::values()
{
    QFETCH(QString, expression);
    QFETCH(QString, text);
    db::Query q(QStringLiteral("commonDB"), {QStringLiteral("select ") + expression + QStringLiteral(" v from t"),
                                             QStringLiteral("where rownum = 1")});
    q.open();
    QCOMPARE(q.field(0).asString(), text);
}

void TstOracleFunctions::errors_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("text");
    QTest::newRow("division by zero") << "select 1/0 from dual"
                                      << "ORA-01476: divisor is equal to zero";
    QTest::newRow("division by zero column") << "select n/(n-8) from t"
                                             << "ORA-01476";
    QTest::newRow("month 13") << "select to_date('2024-13-01 00:00', 'YYYY-MM-DD HH24:MI') from dual"
                              << "ORA-01843: not a valid month";
    QTest::newRow("february 30") << "select to_date('20230229', 'YYYYMMDD') from dual"
                                 << "ORA-01839";
    QTest::newRow("hour 24") << "select to_date('2024-01-01 24:00', 'YYYY-MM-DD HH24:MI') from dual"
                             << "ORA-01850";
    QTest::newRow("trailing text") << "select to_date('2024010199', 'YYYYMMDD') from dual"
                                   << "ORA-01830";
    QTest::newRow("days past the last date") << "select report_date + 9223372036854775807 from t"
                                             << "ORA-01841";
    QTest::newRow("days before the first date") << "select report_date - 1e300 from t"
                                                << "ORA-01841";
    QTest::newRow("not a number") << "select to_number('abc') from dual"
                                  << "ORA-01722: invalid number";
    QTest::newRow("unknown function") << "select soundex(k) from t"
                                      << "function SOUNDEX at line 1, column 8";
    QTest::newRow("connect by") << "select k from t\nconnect by prior k = n"
                                << "'CONNECT BY' (hierarchical queries are supported only as CONNECT BY LEVEL <= n "
                                   "over DUAL) at line 2, column 1";
    QTest::newRow("windowing clause") << "select sum(n) over (order by n rows 2 preceding) from t"
                                      << "'rows' (expected ')')";
    QTest::newRow("unknown character") << "select k from t where k = `a`"
                                       << "'`' at line 1, column 27";
    QTest::newRow("rownum against a column") << "select k from t where rownum <= k"
                                             << "ROWNUM in this condition";
    QTest::newRow("two outer tables") << "select 1 from t a, t b where a.k(+) = b.k(+)"
                                      << "two tables";
    QTest::newRow("date of full-width digits") << "select to_char('２００４-01-07', 'YYYYMMDD') from dual"
                                               << "ORA-01861";
    QTest::newRow("no such day") << "select to_char('2004-02-30 10:00:00', 'YYYYMMDD') from dual"
                                 << "ORA-01861";
    QTest::newRow("date format unknown") << "select to_char(report_date, 'YYYYQQ') from t"
                                         << "ORA-01821";
}

void TstOracleFunctions::errors()
{
    QFETCH(QString, statement);
    QFETCH(QString, text);
    db::Query q(QStringLiteral("commonDB"), statement.split(u'\n'));
    try {
        q.open();
        QFAIL("no error");
    } catch (const db::DbError &e) {
        QVERIFY2(e.text().contains(text), qPrintable(e.text()));
    }
}

void TstOracleFunctions::toDateReadsLeniently_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("result"); // the date, or the start of the error text
    // The mask's punctuation may be missing from the text, or be other punctuation.
    QTest::newRow("no punctuation") << "20240301"
                                    << "YYYY-MM-DD"
                                    << "2024-03-01 00:00:00";
    QTest::newRow("no punctuation, time") << "20240301103005"
                                          << "YYYY-MM-DD HH24:MI:SS"
                                          << "2024-03-01 10:30:05";
    QTest::newRow("some punctuation") << "2024-0301 10:3005"
                                      << "YYYY-MM-DD HH24:MI:SS"
                                      << "2024-03-01 10:30:05";
    QTest::newRow("other punctuation") << "2024/03.01"
                                       << "YYYY-MM-DD"
                                       << "2024-03-01 00:00:00";
    QTest::newRow("punctuation the mask lacks") << "2024-03-01"
                                                << "YYYYMMDD"
                                                << "2024-03-01 00:00:00";
    QTest::newRow("short fields") << "2024-3-1 9:5"
                                  << "YYYY-MM-DD HH24:MI"
                                  << "2024-03-01 09:05:00";
    QTest::newRow("quoted words") << "2024년03월01일"
                                  << "YYYY\"년\"MM\"월\"DD\"일\""
                                  << "2024-03-01 00:00:00";
    QTest::newRow("no blank before meridian") << "2024-03-01 02:05오후"
                                              << "YYYY-MM-DD HH:MI AM"
                                              << "2024-03-01 14:05:00";
    // Trailing time fields may be left out; they are 0.
    QTest::newRow("no time") << "2024-03-01"
                             << "YYYY-MM-DD HH24:MI:SS"
                             << "2024-03-01 00:00:00";
    QTest::newRow("no time, trailing blank") << "2024-03-01 "
                                             << "YYYY-MM-DD HH24:MI"
                                             << "2024-03-01 00:00:00";
    QTest::newRow("hours only") << "2024-03-01 10"
                                << "YYYY-MM-DD HH24:MI:SS"
                                << "2024-03-01 10:00:00";
    QTest::newRow("ends after a separator") << "2024-03-01 10:"
                                            << "YYYY-MM-DD HH24:MI:SS"
                                            << "2024-03-01 10:00:00";
    QTest::newRow("12-hour, no meridian") << "2024-03-01 09:15"
                                          << "YYYY-MM-DD HH:MI:SS AM"
                                          << "2024-03-01 09:15:00";
    QTest::newRow("no date fields in the mask") << "10:30"
                                                << "HH24:MI"
                                                << "2024-03-01 10:30:00";
    // Refusals stay.
    QTest::newRow("bad month") << "20241301"
                               << "YYYY-MM-DD"
                               << "ORA-01843";
    QTest::newRow("day 31 in April") << "20240431"
                                     << "YYYY-MM-DD HH24:MI:SS"
                                     << "ORA-01839";
    QTest::newRow("february 29 of a common year") << "2023-02-29"
                                                  << "YYYY-MM-DD HH24:MI"
                                                  << "ORA-01839";
    QTest::newRow("letters for digits") << "2024-ab-01"
                                        << "YYYY-MM-DD"
                                        << "ORA-01858";
    QTest::newRow("letters for punctuation") << "2024x03x01"
                                             << "YYYY-MM-DD"
                                             << "ORA-01858";
    QTest::newRow("full-width digits") << "２０２４0301"
                                       << "YYYYMMDD"
                                       << "ORA-01858";
    QTest::newRow("trailing digits") << "2024030112"
                                     << "YYYY-MM-DD"
                                     << "ORA-01830";
    QTest::newRow("trailing word") << "2024-03-01 10:30 x"
                                   << "YYYY-MM-DD HH24:MI"
                                   << "ORA-01830";
    QTest::newRow("day missing") << "2024-03"
                                 << "YYYY-MM-DD HH24:MI"
                                 << "ORA-01840";
    QTest::newRow("empty field") << "2024--01"
                                 << "YYYY-MM-DD"
                                 << "ORA-01840";
    QTest::newRow("date fields after the time missing") << "10:30"
                                                        << "HH24:MI DD-MM-YYYY"
                                                        << "ORA-01840";
    QTest::newRow("quoted letter missing") << "2024-03"
                                           << "YYYY\"T\"MM"
                                           << "ORA-01861";
    QTest::newRow("hour 24 without punctuation") << "202403012400"
                                                 << "YYYY-MM-DD HH24:MI"
                                                 << "ORA-01850";
    QTest::newRow("not a meridian") << "2024-03-01 02:05 XM"
                                    << "YYYY-MM-DD HH:MI AM"
                                    << "ORA-01855";
}

void TstOracleFunctions::toDateReadsLeniently()
{
    QFETCH(QString, text);
    QFETCH(QString, mask);
    QFETCH(QString, result);
    db::Query q(QStringLiteral("commonDB"), {QStringLiteral("select to_date(:t, :m) d from dual")});
    q.paramByName(QStringLiteral("t")).setAsString(text);
    q.paramByName(QStringLiteral("m")).setAsString(mask);
    try {
        q.open();
        QCOMPARE(q.field(0).asString(), result);
    } catch (const db::DbError &e) {
        QVERIFY2(result.startsWith(QLatin1String("ORA-")) && e.text().startsWith(result), qPrintable(e.text()));
    }
}

void TstOracleFunctions::parametersTakeOneValueForEveryUse()
{
    db::Query q(QStringLiteral("commonDB"),
                {QStringLiteral("select :Day || '-' || substr(:day, 1, 4) || :n v from dual")});
    q.paramByName(QStringLiteral("DAY")).setAsString(QStringLiteral("20040107"));
    q.paramByName(QStringLiteral("n")).setAsInteger(3);
    q.open();
    QCOMPARE(q.fieldByName(QStringLiteral("v")).asString(), QStringLiteral("20040107-20043"));

    // A month key bound as an integer still matches the text taken from a day key.
    db::Query month(QStringLiteral("commonDB"),
                    {QStringLiteral("select count(*) from t where substr(d || '0107', 1, 1) = :m")});
    month.paramByName(QStringLiteral("m")).setAsInteger(8);
    month.open();
    QCOMPARE(month.field(0).asInteger(), 1);
}

// One statement formats every row with several masks: each mask serves all rows, and each row's
// date is its own.
void TstOracleFunctions::masksOverManyRows()
{
    db::Query q(QStringLiteral("commonDB"),
                {QStringLiteral("select to_char(d, 'YYYYMMDD') a, to_char(d, 'yy mm DDD hh:mi:ss DAY') b,"),
                 QStringLiteral("to_char(d, 'HH24') c from m order by i")});
    q.open();
    QStringList rows;
    for (int r = 0; r < q.recordCount(); ++r) {
        QStringList fields;
        for (int c = 0; c < q.fieldCount(); ++c)
            fields << db::Field::displayText(q.value(r, c));
        rows << fields.join(u'|');
    }
    QCOMPARE(rows, (QStringList{"20240229|24 02 060 11:59:30 목요일|23", "20230105|23 01 005 07:04:09 목요일|07",
                                "19991231|99 12 365 12:00:00 금요일|12", "||", "20040107|04 01 007 12:00:00 수요일|00",
                                "09870605|87 06 156 04:03:02 화요일|04"}));
}

QTEST_GUILESS_MAIN(TstOracleFunctions)
#include "tst_oracle_functions.moc"
