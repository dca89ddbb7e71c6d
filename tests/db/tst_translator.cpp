#include "FixtureDb.h"
#include "platform/db/DbError.h"
#include "platform/db/Query.h"
#include "platform/db/Translator.h"

#include <QtTest>

using namespace tipdesk;

namespace {

// The rows of an open query: fields joined by '|', rows by ';'.
QString rowsText(const db::Query &q)
{
    QStringList got;
    for (int r = 0; r < q.recordCount(); ++r) {
        QStringList f;
        for (int c = 0; c < q.fieldCount(); ++c)
            f.append(db::Field::displayText(q.value(r, c)));
        got.append(f.join(u'|'));
    }
    return got.join(u';');
}

} // namespace

// The translator's rewrites as before/after pairs, and the rows they give.
class TstTranslator : public QObject {
    Q_OBJECT
private slots:
    void outerJoins_data();
    void outerJoins();
    void oracleOrderAndConversions_data();
    void oracleOrderAndConversions();
    void outerJoinRows_data();
    void outerJoinRows();
    void starKeepsFromOrder_data();
    void starKeepsFromOrder();
    void dayConditionsBecomeRanges_data();
    void dayConditionsBecomeRanges();
    void nestedDayConditionsStaySmall_data();
    void nestedDayConditionsStaySmall();
    void prefixConditionsBecomeRanges_data();
    void prefixConditionsBecomeRanges();
    void prefixRangeRows_data();
    void prefixRangeRows();
    void parametersByPosition();
    void resultNamesAsOracleReportsThem();
    void keyFiltersMoveToGroupsOnTheServer_data();
    void keyFiltersMoveToGroupsOnTheServer();
};

void TstTranslator::outerJoins_data()
{
    QTest::addColumn<QString>("oracle");
    QTest::addColumn<QString>("sqlite");
    QTest::newRow("one column") << "select a.x, b.y from a, b where a.x = b.x(+)"
                                << "SELECT a.x AS \"X\", b.y AS \"Y\" FROM a LEFT JOIN b ON (a.x = b.x)";
    QTest::newRow("outer table written first") << "select a.x from b, a where a.x = b.x(+)"
                                               << "SELECT a.x AS \"X\" FROM a LEFT JOIN b ON (a.x = b.x)";
    QTest::newRow("two columns, constant in ON")
        << "select a.x from a, b where a.x = b.x(+) and b.k(+) = 'Y' and a.y = b.y(+) and a.z > 0"
        << "SELECT a.x AS \"X\" FROM a LEFT JOIN b ON ((a.x = b.x) AND (b.k = 'Y') AND (a.y = b.y)) WHERE (a.z > 0)";
    QTest::newRow("chained") << "select a.x from a, c, b where b.y = c.y(+) and a.x = b.x(+)"
                             << "SELECT a.x AS \"X\" FROM a LEFT JOIN b ON (a.x = b.x) LEFT JOIN c ON (b.y = c.y)";
    QTest::newRow("inner after outer stays a filter")
        << "Select R.ID, O.NAME From R, RO, O Where R.ID = RO.ID(+) And RO.OID = O.OID"
        << "SELECT R.ID AS \"ID\", O.NAME AS \"NAME\" FROM R, O LEFT JOIN RO ON (R.ID = RO.ID) WHERE (RO.OID = O.OID)";
    QTest::newRow("unnamed subqueries and a subquery with marks")
        << "select s1, s2 from (select 1 s1 from a), (select t.x s2 from t, u where t.x = u.x(+))"
        << "SELECT s1 AS \"S1\", s2 AS \"S2\" FROM (SELECT 1 AS \"S1\" FROM a), (SELECT t.x AS \"S2\" FROM t LEFT JOIN "
           "u "
           "ON (t.x = u.x))";
}

void TstTranslator::outerJoins()
{
    QFETCH(QString, oracle);
    QFETCH(QString, sqlite);
    QCOMPARE(db::translateOracle(oracle).sql, sqlite);
}

// What a plain SQLite text would get wrong without a word: ROWNUM counted after aggregating or
// sorting, nulls sorted first, text compared with a number as text, long chains nested.
void TstTranslator::oracleOrderAndConversions_data()
{
    QTest::addColumn<QString>("oracle");
    QTest::addColumn<QString>("sqlite");
    QTest::newRow("rownum under an aggregate")
        << "select count(*) from t where rownum <= 5"
        << "SELECT count(*) AS \"COUNT(*)\" FROM (SELECT 1 AS \"ORA_ONE\" FROM t "
           "LIMIT 5 OFFSET 0) ORA_ROWS";
    QTest::newRow("rownum before sorting")
        << "select k from t where rownum <= 2 order by k"
        << "SELECT ORA_ROWS.ORA_C1 AS \"K\" FROM (SELECT k AS \"ORA_C1\" FROM t LIMIT 2 OFFSET 0) ORA_ROWS ORDER BY "
           "ORA_ROWS.ORA_C1 NULLS LAST, 1 NULLS LAST";
    QTest::newRow("nulls where Oracle puts them") << "select x, y from t order by 2 desc, x nulls first"
                                                  << "SELECT x AS \"X\", y AS \"Y\" FROM t ORDER BY 2 DESC NULLS "
                                                     "FIRST, x NULLS FIRST, 1 NULLS LAST, 2 NULLS LAST";
    QTest::newRow("text of a derived table against a number")
        << "select count(*) from (select '02' c from dual) where c = 2"
        << "SELECT count(*) AS \"COUNT(*)\" FROM (SELECT '02' AS \"C\" FROM (SELECT 'X' AS DUMMY) DUAL) WHERE "
           "(ora_to_number(c) = 2)";
    QTest::newRow("a chain written flat")
        << "select 1 from t where a = 1 or b = 2 or (c = 3 and d = 4 and e = 5)"
        << "SELECT 1 AS \"1\" FROM t WHERE ((a = 1) OR (b = 2) OR ((c = 3) AND (d = 4) "
           "AND (e = 5)))";
}

void TstTranslator::oracleOrderAndConversions()
{
    outerJoins();
}

void TstTranslator::outerJoinRows_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("rows");
    QTest::newRow("missing rows give nulls") << "select a.x, b.y from a, b where a.x = b.x(+) order by a.x"
                                             << "1|p;2|;3|r";
    QTest::newRow("condition on the outer table in ON")
        << "select a.x, b.y from a, b where a.x = b.x(+) and b.y(+) <> 'p' order by a.x"
        << "1|;2|;3|r";
    QTest::newRow("inner join after the outer one drops unmatched")
        << "select a.x, c.z from a, b, c where a.x = b.x(+) and b.y = c.y order by a.x"
        << "1|P";
    QTest::newRow("chain of outer joins")
        << "select a.x, c.z from a, b, c where a.x = b.x(+) and b.y = c.y(+) order by a.x"
        << "1|P;2|;3|";
    QTest::newRow("inside a subquery") << "select count(*) from (select a.x from a, b where a.x = b.x(+))"
                                       << "3";
}

void TstTranslator::outerJoinRows()
{
    QFETCH(QString, sql);
    QFETCH(QString, rows);
    test::FixtureDb fx(QStringLiteral("create table a(x integer); insert into a values (1),(2),(3);"
                                      "create table b(x integer, y text); insert into b values (1,'p'),(3,'r');"
                                      "create table c(y text, z text); insert into c values ('p','P');"));
    db::Query q(QStringLiteral("commonDB"), {sql});
    q.open();
    QCOMPARE(rowsText(q), rows);
}

void TstTranslator::starKeepsFromOrder_data()
{
    QTest::addColumn<QString>("oracle");
    QTest::addColumn<QString>("sqlite");
    QTest::addColumn<QString>("columns");
    QTest::addColumn<QString>("rows");
    QTest::newRow("marked table first")
        << "select * from b, a where a.ka = b.kb(+) order by a.ka"
        << "SELECT b.*, a.* FROM a LEFT JOIN b ON (a.ka = b.kb) ORDER BY a.ka NULLS LAST"
        << "KB,NB,KA,NA"
        << "1|b1|1|a1;||2|a2";
    QTest::newRow("two marked tables, chained")
        << "select * from c, b, a where a.ka = b.kb(+) and b.nb = c.kc(+) order by a.ka"
        << "SELECT c.*, b.*, a.* FROM a LEFT JOIN b ON (a.ka = b.kb) LEFT JOIN c ON (b.nb = c.kc) ORDER BY a.ka NULLS "
           "LAST"
        << "KC,NC,KB,NB,KA,NA"
        << "b1|c1|1|b1|1|a1;||||2|a2";
    QTest::newRow("two marked tables on one inner table")
        << "select * from b, a, c where a.ka = b.kb(+) and a.na = c.kc(+) order by a.ka"
        << "SELECT b.*, a.*, c.* FROM a LEFT JOIN b ON (a.ka = b.kb) LEFT JOIN c ON (a.na = c.kc) ORDER BY a.ka NULLS "
           "LAST"
        << "KB,NB,KA,NA,KC,NC"
        << "1|b1|1|a1||;||2|a2|a2|c2";
    QTest::newRow("aliases") << "select * from b y, a x where x.ka = y.kb(+) order by x.ka"
                             << "SELECT y.*, x.* FROM a x LEFT JOIN b y ON (x.ka = y.kb) ORDER BY x.ka NULLS LAST"
                             << "KB,NB,KA,NA"
                             << "1|b1|1|a1;||2|a2";
    QTest::newRow("schema prefix without an alias")
        << "select * from main.b, a where a.ka = b.kb(+) order by a.ka"
        << "SELECT b.*, a.* FROM a LEFT JOIN main.b ON (a.ka = b.kb) ORDER BY a.ka NULLS LAST"
        << "KB,NB,KA,NA"
        << "1|b1|1|a1;||2|a2";
    QTest::newRow("unaliased derived table")
        << "select * from b, (select ka, na from a) where ka = b.kb(+) order by ka"
        << "SELECT b.*, ORA_FROM2.* FROM (SELECT ka AS \"KA\", na AS \"NA\" FROM a) ORA_FROM2 LEFT JOIN b ON (ka = "
           "b.kb) ORDER BY ka NULLS LAST"
        << "KB,NB,KA,NA"
        << "1|b1|1|a1;||2|a2";
    QTest::newRow("derived table's name taken")
        << "select * from b, (select ka from a), ora_from2 where ka = b.kb(+) and ka = ora_from2.k"
        << "SELECT b.*, ORA_FROM2_.*, ora_from2.* FROM (SELECT ka AS \"KA\" FROM a) ORA_FROM2_, ora_from2 LEFT JOIN b "
           "ON (ka = b.kb) WHERE (ka = ora_from2.k)"
        << "KB,NB,KA,K"
        << "1|b1|1|1";
    QTest::newRow("qualified star among columns")
        << "select a.na, b.*, a.ka from b, a where a.ka = b.kb(+) order by a.ka"
        << "SELECT a.na AS \"NA\", b.*, a.ka AS \"KA\" FROM a LEFT JOIN b ON (a.ka = b.kb) ORDER BY a.ka NULLS LAST"
        << "NA,KB,NB,KA"
        << "a1|1|b1|1;a2|||2";
    QTest::newRow("no tables move") << "select * from a, b where a.ka = b.kb(+) order by a.ka"
                                    << "SELECT * FROM a LEFT JOIN b ON (a.ka = b.kb) ORDER BY a.ka NULLS LAST"
                                    << "KA,NA,KB,NB"
                                    << "1|a1|1|b1;2|a2||";
}

// "*" gives the columns in the order of the FROM list, however the outer joins reorder the tables.
void TstTranslator::starKeepsFromOrder()
{
    QFETCH(QString, oracle);
    QFETCH(QString, sqlite);
    QFETCH(QString, columns);
    QFETCH(QString, rows);
    QCOMPARE(db::translateOracle(oracle).sql, sqlite);
    test::FixtureDb fx(QStringLiteral("create table a(ka integer, na text); insert into a values (1,'a1'),(2,'a2');"
                                      "create table b(kb integer, nb text); insert into b values (1,'b1');"
                                      "create table c(kc text, nc text); insert into c values ('b1','c1'),('a2','c2');"
                                      "create table ora_from2(k integer); insert into ora_from2 values (1);"));
    db::Query q(QStringLiteral("commonDB"), {oracle});
    q.open();
    QCOMPARE(q.result().columns.join(u','), columns);
    QCOMPARE(rowsText(q), rows);
}

void TstTranslator::dayConditionsBecomeRanges_data()
{
    QTest::addColumn<QString>("oracle");
    QTest::addColumn<QString>("where");
    QTest::newRow("day equality")
        << "select 1 from r where TO_DATE(:d, 'YYYYMMDD') = TO_DATE(TO_CHAR(report_date, 'YYYYMMDD'), 'YYYYMMDD')"
        << "((report_date >= ora_to_date(?1, 'YYYYMMDD')) AND (report_date < ora_date_add(ora_to_date(?1, "
           "'YYYYMMDD'), 1)))";
    QTest::newRow("day keys between")
        << "select 1 from r where To_char(REPORT_DATE, 'YYYYMMDD') Between '20040101' And '20040131'"
        << "((REPORT_DATE >= ora_daykey_bound('20040101', 0)) AND (REPORT_DATE <= ora_daykey_bound('20040131', 1)) "
           "AND (ora_to_char_date(REPORT_DATE, 'YYYYMMDD') BETWEEN '20040101' AND '20040131'))";
    QTest::newRow("dates between")
        << "select 1 from r where report_date between to_date(:a, 'yyyymmdd') and to_date(:b, 'yyyymmdd')"
        << "(report_date BETWEEN ora_to_date(?1, 'yyyymmdd') AND ora_to_date(?2, 'yyyymmdd'))";
    QTest::newRow("not a date column stays")
        << "select 1 from r where TO_DATE(:d, 'YYYYMMDD') = TO_DATE(TO_CHAR(stat_day, 'YYYYMMDD'), 'YYYYMMDD')"
        << "(ora_to_date(?1, 'YYYYMMDD') = ora_to_date(ora_to_char_date(stat_day, 'YYYYMMDD'), 'YYYYMMDD'))";
}

void TstTranslator::dayConditionsBecomeRanges()
{
    QFETCH(QString, oracle);
    QFETCH(QString, where);
    try {
        const QString sql = db::translateOracle(oracle).sql;
        QCOMPARE(sql.mid(sql.indexOf(QLatin1String(" WHERE ")) + 7), where);
    } catch (const db::DbError &e) {
        QVERIFY2(where.isEmpty(), qPrintable(e.text()));
    }
}

void TstTranslator::nestedDayConditionsStaySmall_data()
{
    QTest::addColumn<QString>("level"); // %1: the level below
    // The range rewrites copy their operands; a day condition nested in another's operand must
    // not double the statement at every level.
    QTest::newRow("in the date") << "case when to_date(to_char(%1, 'YYYYMMDD'), 'YYYYMMDD') = to_date(:d, "
                                    "'YYYYMMDD') then report_date end";
    QTest::newRow("in the day compared with") << "to_date(case when trunc(report_date) = %1 then :d end, 'YYYYMMDD')";
    QTest::newRow("in the date of day keys between")
        << "case when to_char(%1, 'YYYYMMDD') between :a and :b then report_date end";
}

void TstTranslator::nestedDayConditionsStaySmall()
{
    QFETCH(QString, level);
    QString date = QStringLiteral("to_date(:d, 'YYYYMMDD')");
    for (int i = 0; i < 12; ++i)
        date = level.arg(date);
    const QString oracle = QStringLiteral("select 1 from report_requisition where trunc(report_date) = ") + date;
    const QString sqlite = db::translateOracle(oracle).sql;
    QVERIFY2(sqlite.size() < 10 * oracle.size(), qPrintable(QString::number(sqlite.size())));
}

void TstTranslator::prefixConditionsBecomeRanges_data()
{
    QTest::addColumn<QString>("oracle");
    QTest::addColumn<QString>("where");
    auto monthRange = [](int n) {
        return QStringLiteral("(stat_day >= ora_num_text(?%1)) AND (stat_day < ora_prefix_end(ora_num_text(?%1))) "
                              "AND (ora_substr(stat_day, 1, 6) = ora_num_text(?%1))")
            .arg(n);
    };
    QTest::newRow("month of a parameter") << "select 1 from stat_hub_rpt where SUBSTR(stat_day,1,6) = :m"
                                          << "(" + monthRange(1) + ")";
    QTest::newRow("text written first, qualified column")
        << "select 1 from stat_hub_org o where '200402' = substr(o.stat_day, 1, 6)"
        << "((o.stat_day >= '200402') AND (o.stat_day < ora_prefix_end('200402')) AND ('200402' = "
           "ora_substr(o.stat_day, 1, 6)))";
    QTest::newRow("beside other conditions and inside OR")
        << "select 1 from stat_hub_pol where pol_id = :p and (substr(stat_day,1,6) = :m or stat_day = :d)"
        << "((pol_id = ?1) AND ((" + monthRange(2) + ") OR (stat_day = ?3)))";
    QTest::newRow("whole key without a length")
        << "select 1 from stat_hub_op where substr(stat_day, 1) = '20040229'"
        << "((stat_day >= '20040229') AND (stat_day < ora_prefix_end('20040229')) AND (ora_substr(stat_day, 1) = "
           "'20040229'))";
    // Left as written: the truth of the condition is not all that counts, the prefix does not
    // start the key, the value might be compared as a number, or the column might not be text.
    QTest::newRow("under NOT") << "select 1 from stat_hub_rpt where not (substr(stat_day,1,6) = :m)"
                               << "(NOT (ora_substr(stat_day, 1, 6) = ora_num_text(?1)))";
    QTest::newRow("not from the first character") << "select 1 from stat_hub_rpt where substr(stat_day,5,2) = :m"
                                                  << "(ora_substr(stat_day, 5, 2) = ora_num_text(?1))";
    QTest::newRow("a number literal") << "select 1 from stat_hub_rpt where substr(stat_day,1,6) = 200402"
                                      << "(ora_to_number(ora_substr(stat_day, 1, 6)) = 200402)";
    QTest::newRow("another column") << "select 1 from stat_hub_rpt where substr(rpt_id,1,2) = :m"
                                    << "(ora_substr(rpt_id, 1, 2) = ora_num_text(?1))";
    QTest::newRow("a derived table's column")
        << "select 1 from (select 20040201 stat_day from dual) t where substr(t.stat_day,1,6) = :m"
        << "(ora_substr(t.stat_day, 1, 6) = ora_num_text(?1))";
    QTest::newRow("a table that is no statistics table")
        << "select 1 from report_requisition where substr(stat_day,1,6) = :m"
        << "(ora_substr(stat_day, 1, 6) = ora_num_text(?1))";
}

void TstTranslator::prefixConditionsBecomeRanges()
{
    QFETCH(QString, oracle);
    QFETCH(QString, where);
    const QString sql = db::translateOracle(oracle).sql;
    QCOMPARE(sql.mid(sql.indexOf(QLatin1String(" WHERE ")) + 7), where);
}

void TstTranslator::prefixRangeRows_data()
{
    QTest::addColumn<QString>("condition");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("ids");
    // Keys around a month's edges, shorter and longer keys, and text past the digits (a Korean
    // syllable, the highest character) that must still sort inside the range.
    QTest::newRow("month as text") << "substr(stat_day,1,6) = :k" << QVariant(QStringLiteral("200402"))
                                   << "feb-short,feb-01,feb-7,feb-29,feb-hangul,feb-max";
    QTest::newRow("month as a number") << "substr(stat_day,1,6) = :k" << QVariant(qint64(200402))
                                       << "feb-short,feb-01,feb-7,feb-29,feb-hangul,feb-max";
    QTest::newRow("month written in the statement")
        << "'200401' = substr(stat_day,1,6)" << QVariant() << "jan-short,jan-31";
    QTest::newRow("one day") << "substr(stat_day,1,8) = :k" << QVariant(QStringLiteral("20040229")) << "feb-29";
    QTest::newRow("whole key") << "substr(stat_day,1) = :k" << QVariant(QStringLiteral("200402")) << "feb-short";
    QTest::newRow("Korean prefix") << "substr(stat_day,1,5) = :k" << QVariant(QStringLiteral("2004가")) << "hangul-4";
    QTest::newRow("a key no row has") << "substr(stat_day,1,6) = :k" << QVariant(QStringLiteral("200403x")) << "";
    QTest::newRow("null parameter") << "substr(stat_day,1,6) = :k" << QVariant() << "";
    QTest::newRow("within OR") << "(substr(stat_day,1,6) = :k or rpt_id = 'mar-01')"
                               << QVariant(QStringLiteral("200401")) << "jan-short,jan-31,mar-01";
}

void TstTranslator::prefixRangeRows()
{
    QFETCH(QString, condition);
    QFETCH(QVariant, value);
    QFETCH(QString, ids);
    test::FixtureDb fx(
        QStringLiteral("create table stat_hub_rpt(stat_day text, rpt_id text);"
                       "create index ix on stat_hub_rpt(stat_day);"
                       "insert into stat_hub_rpt values ('20040131','jan-31'),('20040201','feb-01'),"
                       "('20040229','feb-29'),('20040301','mar-01'),('200402','feb-short'),('2004021','feb-7'),"
                       "('200401','jan-short'),('20040','five'),('','empty'),(NULL,'null'),"
                       "('200402가','feb-hangul'),('2004가나','hangul-4'),('200402' || char(1114111),'feb-max');"));
    auto idsOf = [&](const QString &where) {
        db::Query q(QStringLiteral("commonDB"), {QStringLiteral("select rpt_id from stat_hub_rpt where ") + where +
                                                 QStringLiteral(" order by stat_day")});
        if (q.paramNames().contains(QStringLiteral("k"), Qt::CaseInsensitive))
            q.paramByName(QStringLiteral("k")).setValue(value);
        q.open();
        QStringList got;
        for (q.first(); !q.eof(); q.next())
            got.append(q.fieldByName(QStringLiteral("rpt_id")).asString());
        return got.join(u',');
    };
    QVERIFY(db::translateOracle(QStringLiteral("select 1 from stat_hub_rpt where ") + condition)
                .sql.contains(QLatin1String("ora_prefix_end")));
    QCOMPARE(idsOf(condition), ids);
    // The same condition where the rewrite does not apply (start position written as a sum).
    QString plain = condition;
    plain.replace(QLatin1String("stat_day,1"), QLatin1String("stat_day,0+1"));
    QVERIFY(!db::translateOracle(QStringLiteral("select 1 from stat_hub_rpt where ") + plain)
                 .sql.contains(QLatin1String("ora_prefix_end")));
    QCOMPARE(idsOf(plain), ids);
}

void TstTranslator::parametersByPosition()
{
    const db::Translation t =
        db::translateOracle(QStringLiteral("select :B, :a from dual where :b = 'x' and :Curr_Day = :A"));
    QCOMPARE(t.paramNames, (QStringList{QStringLiteral("B"), QStringLiteral("A"), QStringLiteral("CURR_DAY")}));
    QVERIFY2(t.sql.contains(QLatin1String("(ora_num_text(?1) = 'x') AND (?3 = ?2)")), qPrintable(t.sql));
    QVERIFY(t.isQuery);
    QVERIFY(!db::translateOracle(QStringLiteral("insert into t (a) values (:a)")).isQuery);
}

void TstTranslator::resultNamesAsOracleReportsThem()
{
    test::FixtureDb fx(QStringLiteral("create table stat_hub(stat_day text, reporter1 integer, \"Mixed\" integer);"
                                      "insert into stat_hub values ('20040107', 4, 1);"));
    db::Query q(QStringLiteral("commonDB"),
                {QStringLiteral("select a.stat_day, sum(reporter1), sum( reporter1 ) / 2 half, 1 \"Keep\", "
                                "concat(a.stat_day, 'x'), a.* from stat_hub a group by a.stat_day")});
    q.open();
    QCOMPARE(q.result().columns,
             (QStringList{QStringLiteral("STAT_DAY"), QStringLiteral("SUM(REPORTER1)"), QStringLiteral("HALF"),
                          QStringLiteral("Keep"), QStringLiteral("CONCAT(A.STAT_DAY,'x')"), QStringLiteral("STAT_DAY"),
                          QStringLiteral("REPORTER1"), QStringLiteral("MIXED")}));
    QCOMPARE(q.fieldByName(QStringLiteral("sum(reporter1)")).asString(), QStringLiteral("4"));
    QCOMPARE(q.fieldByName(QStringLiteral("half")).asString(), QStringLiteral("2"));
}

void TstTranslator::keyFiltersMoveToGroupsOnTheServer_data()
{
    QTest::addColumn<QString>("oracle");
    QTest::addColumn<QString>("having"); // the server's HAVING clause, empty when nothing moves
    const QString in = QStringLiteral("rpt_id IN (SELECT individual_id AS \"individual_id\" FROM individual "
                                      "WHERE (cur = 'Y'))");
    QTest::newRow("key in a list of the schema")
        << "select rpt_id, sum(report_count) from stat_hub_rpt where stat_day <= :d and rpt_id in (select "
           "individual_id from individual where cur = 'Y') group by rpt_id, rpt_name"
        << "(" + in + ")";
    QTest::newRow("joined to a HAVING of its own")
        << "select rpt_id from stat_hub_rpt where rpt_id in (select individual_id from individual where cur = 'Y') "
           "group by rpt_id having count(*) > 1"
        << "((" + in + ") AND (count(*) > 1))";
    QTest::newRow("qualified key, aliased table")
        << "select r.reporter_id, sum(r.report_count) from stat_hub_role r where r.reporter_id in (select "
           "i.individual_id from individual i) group by r.role_id, r.reporter_id"
        << "(r.reporter_id IN (SELECT i.individual_id AS \"individual_id\" FROM individual i))";
    // What stays a row filter.
    QTest::newRow("not a grouping key") << "select rpt_name from stat_hub_rpt where rpt_id in (select individual_id "
                                           "from individual) group by rpt_name"
                                        << "";
    QTest::newRow("NOT IN") << "select rpt_id from stat_hub_rpt where rpt_id not in (select individual_id from "
                               "individual) group by rpt_id"
                            << "";
    QTest::newRow("no grouping")
        << "select count(*) from stat_hub_rpt where rpt_id in (select individual_id from individual)"
        << "";
    QTest::newRow("reads the outer row")
        << "select r.org_id from stat_hub_org r where r.org_id in (select o.organization_id from organization o "
           "where o.name = r.org_name) group by r.org_id"
        << "";
    QTest::newRow("names a column its table lacks") << "select org_id from stat_hub_org where org_id in (select "
                                                       "organization_id from organization where name = org_name) "
                                                       "group by org_id"
                                                    << "";
    QTest::newRow("a table the schema does not hold")
        << "select rpt_id from stat_hub_rpt where rpt_id in (select id from elsewhere) group by rpt_id"
        << "";
    QTest::newRow("a subquery inside") << "select rpt_id from stat_hub_rpt where rpt_id in (select individual_id "
                                          "from individual where cur in (select 'Y' from dual)) group by rpt_id"
                                       << "";
}

void TstTranslator::keyFiltersMoveToGroupsOnTheServer()
{
    QFETCH(QString, oracle);
    QFETCH(QString, having);
    const QHash<QString, QStringList> tables{
        {QStringLiteral("STAT_HUB_RPT"), {"STAT_DAY", "RPT_ID", "RPT_NAME", "REPORT_COUNT"}},
        {QStringLiteral("STAT_HUB_ROLE"), {"STAT_DAY", "REPORTER_ID", "REPORTER_NAME", "ROLE_ID", "REPORT_COUNT"}},
        {QStringLiteral("STAT_HUB_ORG"), {"STAT_DAY", "ORG_ID", "ORG_NAME", "REPORT_COUNT"}},
        {QStringLiteral("INDIVIDUAL"), {"INDIVIDUAL_ID", "INDIVIDUAL_NAME", "TYPE", "CUR"}},
        {QStringLiteral("ORGANIZATION"), {"ORGANIZATION_ID", "NAME"}},
    };
    const auto havingOf = [](const QString &text) {
        const qsizetype at = text.indexOf(QLatin1String(" HAVING "));
        return at < 0 ? QString() : text.mid(at + 8);
    };
    QCOMPARE(havingOf(db::translateOracle(oracle, db::Dialect::Postgres, nullptr, &tables).sql), having);
    // The embedded engine finds the key in its index: its text keeps the row filter. Without the
    // schema's tables nothing is known to read only them.
    const QLatin1String list(" IN (SELECT");
    QVERIFY(!havingOf(db::translateOracle(oracle, db::Dialect::Sqlite, nullptr, &tables).sql).contains(list));
    QVERIFY(!havingOf(db::translateOracle(oracle, db::Dialect::Postgres).sql).contains(list));
}

QTEST_GUILESS_MAIN(TstTranslator)
#include "tst_translator.moc"
