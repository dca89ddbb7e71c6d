#include "SqliteRows.h"

#include "DemoDb.h"
#include "app/Schema.h"

#include <QCryptographicHash>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <stdexcept>

using namespace tipdesk::demo;
using tipdesk::test::SqliteRows;

namespace {

const QDate kUntil(2024, 3, 15);
const QString kPending = QStringLiteral("20240315");

// The day key of a report, written out here rather than taken from the generator.
const QString kDay = QStringLiteral("(substr(REPORT_DATE,1,4)||substr(REPORT_DATE,6,2)||substr(REPORT_DATE,9,2))");
const QString kHour = QStringLiteral("CAST(substr(REPORT_DATE,12,2) AS INTEGER)");

// The sixteen hour-band counts over rows matching `where`, as SQL select items.
QString bandItems()
{
    QStringList items{QStringLiteral("sum(%1 < 7)").arg(kHour)};
    for (int h = 7; h <= 20; ++h)
        items << QStringLiteral("sum(%1 = %2)").arg(kHour).arg(h);
    items << QStringLiteral("sum(%1 >= 21)").arg(kHour);
    return items.join(QStringLiteral(", "));
}

QString bandedItems()
{
    return QStringLiteral("count(*), sum(%1 < 14), sum(%1 >= 14), %2").arg(kHour, bandItems());
}

QString timeColumns()
{
    QStringList c;
    for (int h = 6; h <= 21; ++h)
        c << QStringLiteral("TIME%1").arg(h, 2, 10, QLatin1Char('0'));
    return c.join(QStringLiteral(", "));
}

QString reportsBefore(const QString &extra = QString())
{
    return QStringLiteral("FROM REPORT_REQUISITION WHERE %1 < '%2' %3").arg(kDay, kPending, extra);
}

} // namespace

class TestDemoDb : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void statisticsAgreeWithReports_data();
    void statisticsAgreeWithReports();
    void totalsAddUp();
    void quirks_data();
    void quirks();
    void coverage_data();
    void coverage();
    void orderOfNumbers();
    void indexesOfTheSchema();
    void referenceRows();
    void messagesFitTheirColumns();
    void deterministic();
    void defaultEndsNow();
    void refusesToOverwrite();
    void rejectsBadOptions_data();
    void rejectsBadOptions();

private:
    QTemporaryDir m_dir;
    QString m_path;
    DemoSummary m_summary;
    std::unique_ptr<SqliteRows> m_db;

    QString build(const QString &name, std::uint64_t seed, const QDate &until, int days, int perDay)
    {
        DemoOptions o;
        o.out = m_dir.filePath(name);
        o.seed = seed;
        o.until = until;
        o.days = days;
        o.perDay = perDay;
        m_summary = buildDemoDb(o);
        return o.out;
    }
};

void TestDemoDb::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_path = build(QStringLiteral("demo.db"), 7, kUntil, 20, 150);
    m_db = std::make_unique<SqliteRows>(m_path);
    QCOMPARE(m_summary.lastDay, kUntil);
    QCOMPARE(m_summary.firstDay, kUntil.addDays(-19));
    QVERIFY(m_summary.reports > 20 * 100);
}

// Each row: the statistics table's rows, and the same rows computed from the reports with the meanings
// written out literally. Both directions of EXCEPT must be empty.
void TestDemoDb::statisticsAgreeWithReports_data()
{
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");
    const QString t = timeColumns();
    QTest::newRow("STAT_HUB") << QStringLiteral(
                                     "SELECT STAT_DAY, TOTAL, REPORTER1, REPORTER2, REPORTER3, REPORTER4, "
                                     "REPORTER5, REPORTER6, CONTENT1, CONTENT2, CONTENT3, CONTENT4, CONTENT5, "
                                     "CONTENT6, CONTENT7, CONTENT8, CONTENT9, RESULT1, RESULT2, RESULT3, %1 "
                                     "FROM STAT_HUB")
                                     .arg(t)
                              << QStringLiteral(
                                     "SELECT %1, count(*), sum(REPORTER_TYPE='1'), sum(REPORTER_TYPE='3'), "
                                     "sum(REPORTER_TYPE='6'), sum(REPORTER_TYPE='4'), sum(REPORTER_TYPE='2'), "
                                     "sum(REPORTER_TYPE NOT IN ('1','2','3','4','6')), "
                                     "sum(INCIDENT_TYPE='A'), sum(INCIDENT_TYPE='B'), sum(INCIDENT_TYPE='1'), "
                                     "sum(INCIDENT_TYPE='2'), sum(INCIDENT_TYPE='3'), sum(INCIDENT_TYPE='4'), "
                                     "sum(INCIDENT_TYPE='Z'), sum(INCIDENT_TYPE='E'), sum(INCIDENT_TYPE='D'), "
                                     "sum(ifnull(SEND_FLAG,'') <> '1' AND ifnull(BROAD_FLAG,'') <> '1'), "
                                     "sum(BROAD_FLAG = '1'), "
                                     "sum(SEND_FLAG = '1' AND ifnull(BROAD_FLAG,'') <> '1'), %2 %3 GROUP BY 1")
                                     .arg(kDay, bandItems(), reportsBefore());
    for (const auto &[result, cond] :
         {std::pair{"1", "ifnull(SEND_FLAG,'') <> '1' AND ifnull(BROAD_FLAG,'') <> '1'"},
          std::pair{"2", "BROAD_FLAG = '1'"}, std::pair{"3", "SEND_FLAG = '1' AND ifnull(BROAD_FLAG,'') <> '1'"}}) {
        QTest::addRow("STAT_HUB_DAY %s", result)
            << QStringLiteral(
                   "SELECT STAT_DAY, TOTAL, MORNING_TOTAL, EVENING_TOTAL, %1 FROM STAT_HUB_DAY WHERE RESULT = '%2'")
                   .arg(t, QLatin1String(result))
            << QStringLiteral("SELECT %1, %2 %3 GROUP BY 1")
                   .arg(kDay, bandedItems(), reportsBefore(QStringLiteral("AND ") + QLatin1String(cond)));
    }
    QTest::newRow("STAT_HUB_INFO")
        << QStringLiteral("SELECT STAT_DAY, TOTAL, MORNING_TOTAL, EVENING_TOTAL, %1 FROM STAT_HUB_INFO").arg(t)
        << QStringLiteral("SELECT %1, %2 %3 GROUP BY 1")
               .arg(kDay, bandedItems(), reportsBefore("AND INCIDENT_TYPE = 'B'"));
    QTest::newRow("STAT_HUB_LOSS")
        << QStringLiteral("SELECT STAT_DAY, TOTAL, L_MISS, L_FOUND, L_CAR, L_ETC, F_MISS, F_FOUND, F_CAR, F_ETC "
                          "FROM STAT_HUB_LOSS")
        << QStringLiteral("SELECT %1, count(*), sum(SPEED='1'), sum(SPEED='2'), sum(SPEED='3'), sum(SPEED='4'), "
                          "sum(SPEED='5'), sum(SPEED='6'), sum(SPEED='7'), sum(SPEED='8') %2 GROUP BY 1")
               .arg(kDay, reportsBefore("AND SPEED IN ('1','2','3','4','5','6','7','8')"));
    const auto perSource = [](const char *table, const char *id, const char *name, const char *type) {
        return QStringList{
            QStringLiteral("SELECT STAT_DAY, %1, %2, REPORT_COUNT FROM %3")
                .arg(QLatin1String(id), QLatin1String(name), QLatin1String(table)),
            QStringLiteral("SELECT %1, INDIVIDUAL_ID, REPORTER_NAME, count(*) %2 GROUP BY 1, 2, 3")
                .arg(kDay, reportsBefore(QStringLiteral("AND REPORTER_TYPE = '%1'").arg(QLatin1String(type))))};
    };
    const QStringList rpt = perSource("STAT_HUB_RPT", "RPT_ID", "RPT_NAME", "1");
    QTest::newRow("STAT_HUB_RPT") << rpt[0] << rpt[1];
    const QStringList org = perSource("STAT_HUB_ORG", "ORG_ID", "ORG_NAME", "6");
    QTest::newRow("STAT_HUB_ORG") << org[0] << org[1];
    const QStringList pol = perSource("STAT_HUB_POL", "POL_ID", "POL_NAME", "2");
    QTest::newRow("STAT_HUB_POL") << pol[0] << pol[1];
    QTest::newRow("STAT_HUB_OP")
        << QStringLiteral("SELECT STAT_DAY, OP_ID, OP_NAME, REPORT_COUNT FROM STAT_HUB_OP")
        << QStringLiteral("SELECT %1, I.INDIVIDUAL_ID, R.OPERATOR_NAME, count(*) FROM REPORT_REQUISITION R "
                          "JOIN INDIVIDUAL I ON I.INDIVIDUAL_NAME = R.OPERATOR_NAME AND I.TYPE IN ('5','A') "
                          "WHERE %1 < '%2' GROUP BY 1, 2, 3")
               .arg(kDay, kPending);
    QTest::newRow("STAT_HUB_ROLE")
        << QStringLiteral("SELECT STAT_DAY, REPORTER_ID, REPORTER_NAME, ROLE_ID, REPORT_COUNT FROM STAT_HUB_ROLE")
        << QStringLiteral("SELECT %1, INDIVIDUAL_ID, REPORTER_NAME, ORGANIZATION_ID, count(*) %2 GROUP BY 1, 2, 3, 4")
               .arg(kDay, reportsBefore("AND REPORTER_TYPE = '1'"));
}

void TestDemoDb::statisticsAgreeWithReports()
{
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    const qint64 expectedRows = m_db->count(QStringLiteral("SELECT count(*) FROM (%1)").arg(expected));
    QVERIFY(expectedRows > 0);
    QCOMPARE(m_db->count(QStringLiteral("SELECT count(*) FROM (%1)").arg(actual)), expectedRows);
    const QList<QStringList> missing = m_db->rows(QStringLiteral("%1 EXCEPT %2").arg(expected, actual));
    const QList<QStringList> extra = m_db->rows(QStringLiteral("%1 EXCEPT %2").arg(actual, expected));
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("expected, not found: ") +
                                           (missing.isEmpty() ? QString() : missing.first().join(QLatin1Char('|')))));
    QVERIFY2(extra.isEmpty(), qPrintable(QStringLiteral("found, not expected: ") +
                                         (extra.isEmpty() ? QString() : extra.first().join(QLatin1Char('|')))));
}

void TestDemoDb::totalsAddUp()
{
    // Handling classes, sources and bands each split the day's total.
    QCOMPARE(
        m_db->count(QStringLiteral("SELECT count(*) FROM STAT_HUB WHERE TOTAL <> RESULT1 + RESULT2 + RESULT3 "
                                   "OR TOTAL <> REPORTER1 + REPORTER2 + REPORTER3 + REPORTER4 + REPORTER5 + REPORTER6 "
                                   "OR TOTAL <> %1")
                        .arg(timeColumns().replace(QStringLiteral(", "), QStringLiteral(" + ")))),
        0);
    QCOMPARE(m_db->count(QStringLiteral("SELECT sum(TOTAL) FROM STAT_HUB")),
             m_db->count(QStringLiteral("SELECT count(*) ") + reportsBefore()));
    QCOMPARE(m_db->count(QStringLiteral(
                 "SELECT count(*) FROM STAT_HUB_DAY WHERE TOTAL <> MORNING_TOTAL + EVENING_TOTAL "
                 "OR MORNING_TOTAL <> TIME06 + TIME07 + TIME08 + TIME09 + TIME10 + TIME11 + TIME12 + TIME13")),
             0);
    // The statistics cover every day but the last.
    QCOMPARE(m_db->count(QStringLiteral("SELECT count(*) FROM STAT_HUB")), 19);
}

void TestDemoDb::quirks_data()
{
    QTest::addColumn<QString>("sql");
    QTest::newRow("day with reports but no STAT_HUB row")
        << QStringLiteral(
               "SELECT count(DISTINCT %1) FROM REPORT_REQUISITION WHERE %1 NOT IN (SELECT STAT_DAY FROM STAT_HUB)")
               .arg(kDay);
    QTest::newRow("correspondent with counts but no ROLE row")
        << QStringLiteral("SELECT count(*) FROM INDIVIDUAL WHERE TYPE = '1' AND INDIVIDUAL_ID NOT IN "
                          "(SELECT INDIVIDUAL_ID FROM ROLE) AND INDIVIDUAL_ID IN (SELECT RPT_ID FROM STAT_HUB_RPT)");
    QTest::newRow("role whose organisation is missing") << QStringLiteral(
        "SELECT count(*) FROM ROLE WHERE ORGANIZATION_ID NOT IN (SELECT ORGANIZATION_ID FROM ORGANIZATION) "
        "AND ORGANIZATION_ID IN (SELECT ROLE_ID FROM STAT_HUB_ROLE)");
    QTest::newRow("correspondent in two organisations") << QStringLiteral(
        "SELECT count(*) FROM (SELECT INDIVIDUAL_ID FROM ROLE GROUP BY INDIVIDUAL_ID "
        "HAVING count(DISTINCT ORGANIZATION_ID) > 1) r JOIN (SELECT REPORTER_ID FROM STAT_HUB_ROLE "
        "GROUP BY REPORTER_ID HAVING count(DISTINCT ROLE_ID) > 1) s ON s.REPORTER_ID = r.INDIVIDUAL_ID");
    QTest::newRow("identifier under two names")
        << QStringLiteral("SELECT count(*) FROM (SELECT RPT_ID FROM STAT_HUB_RPT GROUP BY RPT_ID "
                          "HAVING count(DISTINCT RPT_NAME) > 1)");
    QTest::newRow("day with reports only from fixed report points")
        << QStringLiteral("SELECT count(*) FROM (SELECT %1 AS DAY FROM REPORT_REQUISITION GROUP BY 1 "
                          "HAVING sum(REPORTER_TYPE <> '6') = 0) d JOIN STAT_HUB s ON s.STAT_DAY = d.DAY")
               .arg(kDay);
    for (const auto &[table, id] :
         {std::pair{"STAT_HUB_RPT", "RPT_ID"}, std::pair{"STAT_HUB_ORG", "ORG_ID"}, std::pair{"STAT_HUB_POL", "POL_ID"},
          std::pair{"STAT_HUB_OP", "OP_ID"}, std::pair{"STAT_HUB_ROLE", "REPORTER_ID"}}) {
        QTest::addRow("member no longer current with past counts in %s", table)
            << QStringLiteral(
                   "SELECT count(*) FROM %1 WHERE %2 IN (SELECT INDIVIDUAL_ID FROM INDIVIDUAL WHERE CUR <> 'Y')")
                   .arg(QLatin1String(table), QLatin1String(id));
    }
}

void TestDemoDb::quirks()
{
    QFETCH(QString, sql);
    QVERIFY(m_db->count(sql) > 0);
}

// Each row: a query counting distinct values, and how many there must be.
void TestDemoDb::coverage_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("expected");
    QTest::newRow("reporter types")
        << "SELECT count(DISTINCT REPORTER_TYPE) FROM REPORT_REQUISITION WHERE REPORTER_TYPE "
           "IN ('1','2','3','4','5','6','7','8','Z')"
        << 9;
    QTest::newRow("content codes")
        << "SELECT count(DISTINCT INCIDENT_TYPE) FROM REPORT_REQUISITION WHERE INCIDENT_TYPE "
           "IN ('1','2','3','4','A','B','D','E','Z')"
        << 9;
    QTest::newRow("lost-property codes") << "SELECT count(DISTINCT SPEED) FROM REPORT_REQUISITION WHERE SPEED <> '0'"
                                         << 8;
    QTest::newRow("flag combinations") << "SELECT count(DISTINCT SEND_FLAG || '/' || ifnull(BROAD_FLAG, 'null')) "
                                          "FROM REPORT_REQUISITION"
                                       << 5;
    QTest::newRow("broadcast without sending") << "SELECT count(*) FROM REPORT_REQUISITION WHERE BROAD_FLAG = '1' "
                                                  "AND SEND_FLAG <> '1'"
                                               << 0;
    QTest::newRow("subtypes only on guidance and notices")
        << "SELECT count(*) FROM REPORT_REQUISITION WHERE "
           "INCIDENT_SUBTYPE IS NOT NULL AND INCIDENT_TYPE NOT IN ('B','D')"
        << 0;
    QTest::newRow("subtype kinds")
        << "SELECT count(DISTINCT INCIDENT_TYPE || CASE WHEN INCIDENT_SUBTYPE = 'Z' THEN 'Z' "
           "WHEN CAST(INCIDENT_SUBTYPE AS INTEGER) > (SELECT count(*) FROM BASE_CODE WHERE "
           "BAS_LCOD = '100' AND substr(BAS_SCOD,1,1) = CASE INCIDENT_TYPE WHEN 'B' THEN '8' "
           "ELSE '9' END AND substr(BAS_SCOD,2,2) <> '00') THEN 'beyond' ELSE 'in' END) "
           "FROM REPORT_REQUISITION WHERE INCIDENT_TYPE IN ('B','D')"
        << 6;
    QTest::newRow("one-line texts") << "SELECT count(*) > 0 FROM REPORT_REQUISITION WHERE length(COMMENTS) < 30" << 1;
    QTest::newRow("texts that wrap") << "SELECT count(*) > 0 FROM REPORT_REQUISITION WHERE length(COMMENTS) > 80" << 1;
    QTest::newRow("correspondents") << "SELECT count(*) FROM INDIVIDUAL WHERE TYPE = '1'" << 60;
    QTest::newRow("organisations") << "SELECT count(*) FROM ORGANIZATION" << 8;
    QTest::newRow("fixed report points") << "SELECT count(*) FROM INDIVIDUAL WHERE TYPE = '6'" << 20;
    QTest::newRow("police report points") << "SELECT count(*) FROM INDIVIDUAL WHERE TYPE = '2'" << 15;
    QTest::newRow("operators") << "SELECT count(*) FROM INDIVIDUAL WHERE TYPE IN ('5','A')" << 12;
    QTest::newRow("both operator types") << "SELECT count(DISTINCT TYPE) FROM INDIVIDUAL WHERE TYPE IN ('5','A')" << 2;
    QTest::newRow("receivers are operators") << "SELECT count(*) FROM REPORT_REQUISITION WHERE OPERATOR_NAME NOT IN "
                                                "(SELECT INDIVIDUAL_NAME FROM INDIVIDUAL WHERE TYPE IN ('5','A'))"
                                             << 0;
    QTest::newRow("reporters known") << "SELECT count(*) FROM REPORT_REQUISITION WHERE INDIVIDUAL_ID NOT IN "
                                        "(SELECT INDIVIDUAL_ID FROM INDIVIDUAL)"
                                     << 0;
    QTest::newRow("rush hour busier than night") << "SELECT sum(TIME08) > 3 * sum(TIME06) / 7 FROM STAT_HUB" << 1;
    QTest::newRow("dates in ISO form") << "SELECT count(*) FROM REPORT_REQUISITION WHERE REPORT_DATE NOT GLOB "
                                          "'[12][0-9][0-9][0-9]-[01][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9]' "
                                          "OR REGISTE_DATE < REPORT_DATE"
                                       << 0;
}

void TestDemoDb::coverage()
{
    QFETCH(QString, sql);
    QFETCH(int, expected);
    QCOMPARE(m_db->count(sql), qint64(expected));
}

void TestDemoDb::orderOfNumbers()
{
    // Sequence numbers follow the report times; reception numbers rise within each day.
    QCOMPARE(m_db->count(
                 QStringLiteral("SELECT count(*) FROM (SELECT REPORT_DATE, lag(REPORT_DATE) OVER (ORDER BY SEQ_NUM) p "
                                "FROM REPORT_REQUISITION) WHERE p > REPORT_DATE")),
             0);
    QCOMPARE(m_db->count(QStringLiteral(
                             "SELECT count(*) FROM (SELECT REQUISITION_NUM, lag(REQUISITION_NUM) OVER "
                             "(PARTITION BY %1 ORDER BY SEQ_NUM) p FROM REPORT_REQUISITION) WHERE p >= REQUISITION_NUM")
                             .arg(kDay)),
             0);
    QCOMPARE(m_db->count(QStringLiteral("SELECT count(DISTINCT SEQ_NUM) FROM REPORT_REQUISITION")), m_summary.reports);
}

// The indexes come after the rows, built in one pass each: the file must still have every index of
// the schema, as the schema writes it, and the statistics the planner chooses among them by.
void TestDemoDb::indexesOfTheSchema()
{
    QTemporaryDir dir;
    const QString schemaPath = dir.filePath(QStringLiteral("schema.db"));
    tipdesk::app::createSchema(schemaPath);
    const QString indexes =
        QStringLiteral("SELECT tbl_name, name, sql FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL "
                       "ORDER BY tbl_name, name");
    const QList<QStringList> expected = SqliteRows(schemaPath).rows(indexes);
    QVERIFY(expected.size() > 15);
    QCOMPARE(m_db->rows(indexes), expected);
    // ANALYZE's first figure for an index is the number of rows it holds; the citizens' index has theirs only.
    for (const auto &[index, rows] :
         {std::pair{"IX_REPORT_REQUISITION_REPORT_DATE", "SELECT count(*) FROM REPORT_REQUISITION"},
          std::pair{"IX_REPORT_REQUISITION_INDIVIDUAL_ID_REPORTER_NAME_REPORT_DATE",
                    "SELECT count(*) FROM REPORT_REQUISITION WHERE REPORTER_TYPE = '3'"},
          std::pair{"IX_STAT_HUB_RPT_RPT_ID_RPT_NAME_STAT_DAY_REPORT_COUNT", "SELECT count(*) FROM STAT_HUB_RPT"}}) {
        const qint64 n = m_db->count(QLatin1String(rows));
        QVERIFY(n > 0);
        QCOMPARE(m_db->value(QStringLiteral("SELECT stat FROM sqlite_stat1 WHERE idx = '%1'").arg(QLatin1String(index)))
                     .section(u' ', 0, 0)
                     .toLongLong(),
                 n);
    }
}

void TestDemoDb::referenceRows()
{
    QVERIFY(m_db->count(QStringLiteral("SELECT count(*) FROM BASE_CODE WHERE BAS_LCOD = '001'")) >= 2);
    QVERIFY(!m_db->value(QStringLiteral("SELECT BAS_NAME FROM BASE_CODE WHERE BAS_LCOD = '001' ORDER BY BAS_SCOD "
                                        "LIMIT 1 OFFSET 1"))
                 .isEmpty());
    for (const char *prefix : {"8", "9"}) {
        QCOMPARE(m_db->count(QStringLiteral("SELECT count(*) FROM BASE_CODE WHERE BAS_LCOD = '100' AND BAS_SCOD = '") +
                             QLatin1String(prefix) + QStringLiteral("00'")),
                 1);
        QVERIFY(m_db->count(QStringLiteral("SELECT count(*) FROM BASE_CODE WHERE BAS_LCOD = '100' AND "
                                           "substr(BAS_SCOD,1,1) = '%1' AND substr(BAS_SCOD,2,2) <> '00'")
                                .arg(QLatin1String(prefix))) >= 3);
    }
    // Logins: the demo account for this program with a level, one for another program, one without a level.
    QCOMPARE(m_db->value(QStringLiteral("SELECT USERLEVEL FROM USER_MANAGE WHERE USERID = '%1' AND USERPASS = '%2' "
                                        "AND APPNAME = '%3'")
                             .arg(kDemoUser, kDemoPassword, kDemoAppName)),
             QStringLiteral("1"));
    QVERIFY(m_db->count(QStringLiteral("SELECT count(*) FROM USER_MANAGE WHERE APPNAME NOT LIKE 'TIPDESK%'")) >= 1);
    QCOMPARE(m_db->count(QStringLiteral("SELECT count(*) FROM USER_MANAGE WHERE APPNAME = 'TIPDESK' AND "
                                        "ifnull(USERLEVEL, '') = ''")),
             1);
    QCOMPARE(m_db->count(QStringLiteral("SELECT count(*) FROM USER_RECORD")), 0);
}

void TestDemoDb::messagesFitTheirColumns()
{
    QStringEncoder cp949("CP949");
    QVERIFY(cp949.isValid());
    const QList<QStringList> rows =
        m_db->rows(QStringLiteral("SELECT M_CODE, M_TITLE, M_DESC FROM MESSAGE ORDER BY M_CODE"));
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0][0], QStringLiteral("ERR0158"));
    QCOMPARE(rows[1][0], QStringLiteral("INF0067"));
    for (const QStringList &r : rows) {
        const QByteArray title = cp949.encode(r[1]);
        const QByteArray text = cp949.encode(r[2]);
        QVERIFY(!cp949.hasError());
        QVERIFY2(!title.isEmpty() && title.size() <= 32, qPrintable(r[0]));
        QVERIFY2(!text.isEmpty() && text.size() <= 127, qPrintable(r[0]));
    }
}

void TestDemoDb::deterministic()
{
    auto digest = [](const QString &path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return QByteArray();
        return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
    };
    const QString again = build(QStringLiteral("again.db"), 7, kUntil, 20, 150);
    QVERIFY(!digest(m_path).isEmpty());
    QCOMPARE(digest(again), digest(m_path));
    const QString other = build(QStringLiteral("other.db"), 8, kUntil, 20, 150);
    QVERIFY(digest(other) != digest(m_path));
}

void TestDemoDb::defaultEndsNow()
{
    DemoOptions o;
    o.out = m_dir.filePath(QStringLiteral("now.db"));
    o.days = 3;
    o.perDay = 400;
    const QString before = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    const DemoSummary s = buildDemoDb(o);
    const QString after = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    QCOMPARE(s.lastDay, QDate::currentDate());
    SqliteRows db(o.out);
    QVERIFY(db.value(QStringLiteral("SELECT max(max(REPORT_DATE), max(REGISTE_DATE)) FROM REPORT_REQUISITION")) <=
            after);
    // Today has its reports so far but no statistics yet.
    const QString today = before.left(10);
    QCOMPARE(db.count(QStringLiteral("SELECT count(*) FROM STAT_HUB WHERE STAT_DAY = '%1'")
                          .arg(QString(today).remove(QLatin1Char('-')))),
             0);
    if (before.mid(11, 2) >= QLatin1String("02"))
        QVERIFY(
            db.count(QStringLiteral("SELECT count(*) FROM REPORT_REQUISITION WHERE REPORT_DATE >= '%1'").arg(today)) >
            0);
}

void TestDemoDb::refusesToOverwrite()
{
    const QString path = m_dir.filePath(QStringLiteral("existing.db"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("keep me");
    }
    DemoOptions o;
    o.out = path;
    o.until = kUntil;
    o.days = 3;
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, buildDemoDb(o));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("keep me"));
    QVERIFY(!QFile::exists(path + QStringLiteral(".part")));
}

void TestDemoDb::rejectsBadOptions_data()
{
    QTest::addColumn<int>("days");
    QTest::addColumn<int>("perDay");
    QTest::addColumn<QString>("dir");
    QTest::newRow("too few days") << 1 << 100 << "";
    QTest::newRow("too few reports") << 10 << 2 << "";
    QTest::newRow("folder missing") << 5 << 100 << "no/such/folder";
}

void TestDemoDb::rejectsBadOptions()
{
    QFETCH(int, days);
    QFETCH(int, perDay);
    QFETCH(QString, dir);
    DemoOptions o;
    o.out = m_dir.filePath(dir.isEmpty() ? QStringLiteral("bad.db") : dir + QStringLiteral("/bad.db"));
    o.until = kUntil;
    o.days = days;
    o.perDay = perDay;
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, buildDemoDb(o));
    QVERIFY(!QFile::exists(o.out));
    QVERIFY(!QFile::exists(o.out + QStringLiteral(".part")));
}

QTEST_GUILESS_MAIN(TestDemoDb)
#include "tst_demodb.moc"
