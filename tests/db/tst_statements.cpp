#include "Corpus.h"
#include "FixtureDb.h"
#include "platform/db/Clock.h"
#include "platform/db/DbError.h"
#include "platform/db/Query.h"
#include "platform/report/Layout.h"

#include <QtTest>

using namespace tipdesk;
using namespace tipdesk::test;

// The statements of the system, verbatim, on a small database whose rows are known.
class TstStatements : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void everyStatementRuns_data();
    void everyStatementRuns();
    void rows_data();
    void rows();
    void weekDerivation_data();
    void weekDerivation();
    void referenceDayIsYesterdayOnTheServersToday();
    void usageRecordTakesTheClock();

private:
    std::unique_ptr<test::FixtureDb> m_fx;
};

namespace {

QString rowsText(const db::Query &q)
{
    QStringList rows;
    for (int r = 0; r < q.recordCount(); ++r) {
        QStringList fields;
        for (int c = 0; c < q.fieldCount(); ++c)
            fields.append(db::Field::displayText(q.value(r, c)));
        rows.append(fields.join(u'|'));
    }
    return rows.join(u'\n');
}

QString statement(const QString &name)
{
    for (const Named &n : corpus()) {
        if (n.name == name)
            return n.sql;
    }
    return {};
}

} // namespace

void TstStatements::initTestCase()
{
    m_fx = std::make_unique<test::FixtureDb>(test::sourceFile(QStringLiteral("tests/db/fixture.sql")));
    db::Clock::setFixed(QDateTime(QDate(2004, 1, 9), QTime(14, 30, 5)));
}

void TstStatements::cleanupTestCase()
{
    db::Clock::clearFixed();
    m_fx.reset();
}

void TstStatements::everyStatementRuns_data()
{
    QTest::addColumn<QString>("sql");
    const QList<Named> all = corpus();
    QVERIFY(layoutStatements().size() >= 20);
    QVERIFY(all.size() > 60);
    for (const Named &n : all)
        QTest::newRow(qPrintable(n.name)) << n.sql;
}

void TstStatements::everyStatementRuns()
{
    QFETCH(QString, sql);
    db::Query q(QStringLiteral("commonDB"), sql.split(u'\n'));
    bindTypical(q);
    try {
        if (sql.trimmed().startsWith(QLatin1String("INSERT"), Qt::CaseInsensitive)) {
            q.execSql();
        } else {
            q.open();
            QVERIFY(q.fieldCount() > 0);
        }
    } catch (const db::DbError &e) {
        QFAIL(qPrintable(e.text()));
    }
}

void TstStatements::rows_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("columns");
    QTest::addColumn<QString>("rows");
    // The day register: the day's reports but fixed points, by sequence; labels, marks, the
    // report at 23:59:30 inside the day and the neighbours' reports outside it.
    QTest::newRow("reception register")
        << "reception register"
        << "REQUISITION_NUM|SEQ_NUM|DDAY|DTIME|COMMENTS|INCIDENT_TYPE|REPORTER_NAME|INDIVIDUAL_ID|REPORTER_TYPE|"
           "SEND_FLAG|BROAD_FLAG|OPERATOR_NAME"
        << "R2|1|01-07|00:00|원활|원활|김통신|C1|통신원|*|*|김접수\n"
           "R1|3|01-07|09:15|정체 심함|정체|시민1|P1|시민|*||김접수\n"
           "R5|5|01-07|13:05|통보|기관|도로공사|X1|기관|*||김접수\n"
           "R8|6|01-07|09:59|기타|기타|시민1|P1|시민|*||최운영";
    QTest::newRow("fixed point register, current members only")
        << "fixed point register"
        << "REQUISITION_NUM|REPORT_DAY|REPORT_TIME|COMMENTS|INCIDENT_TYPE|REPORTER_NAME|INDIVIDUAL_ID|REPORTER_TYPE|"
           "SEND_FLAG|BROAD_FLAG|OPERATOR_NAME"
        << "R3|01    07|23    59|길 문의|안내|남산고정|F1|고정제보처|||최운영";
    QTest::newRow("lost property register")
        << "lost property register"
        << "REQUISITION_NUM|SEQ_NUM|MMDD|HHMI|COMMENTS|REPORTER_NAME|SPEED_T|REPORTER_TYPE|OPERATOR_NAME"
        << "R5|5|01월07일|13시05분|통보|도로공사|습득|기관|김접수";
    // Correspondents: period sums, and the detail with outer-joined periods and cut shares.
    QTest::newRow("correspondent sums") << "UStatCoummP.qrySumC"
                                        << "DAYSUM|WEEKSUM|MONTHSUM|TOTSUM"
                                        << "13|6|8|25";
    // The browser's hour: citizens, sent but not broadcast (a null broadcast flag counts), oldest first.
    QTest::newRow("browser hour")
        << "browser criteria"
        << "ROWNUM|SEQ_NUM|REQUISITION_NUM|SEQ_NUM|REPORT_DATE|REGISTE_DATE|REPORTER_TYPE|REPORTER_NAME|INDIVIDUAL_ID|"
           "ORGANIZATION_ID|INCIDENT_TYPE|INCIDENT_SUBTYPE|COMMENTS|OPERATOR_NAME|REGISTER_NAME|SEND_FLAG|BROAD_FLAG|"
           "SPEED|REPO_TYPE|INCI_TYPE|REPO_DATE|REGI_DATE"
        << "1|3|R1|3|2004-01-07 09:15:00|2004-01-07 09:20:00|3|시민1|P1||E||정체 심함|김접수|최운영|1||0|시민|정체|"
           "2004-01-07 09:15|2004-01-07 09:20\n"
           "2|6|R8|6|2004-01-07 09:59:00|2004-01-07 10:00:00|3|시민1|P1||Z||기타|최운영|최운영|1|0|0|시민|기타|"
           "2004-01-07 09:59|2004-01-07 10:00";
    // Correspondents by organisation: ROLE outer, ORGANIZATION inner, so C2 (organisation G9
    // unknown) drops out and the rest keeps its row.
    QTest::newRow("period totals by organisation") << "UntRepC_QuickRep1.qryReportC ByCount"
                                                   << "RPT_ID|NAME|ORGANIZATION_ID|RPT_NAME|RSUM"
                                                   << "C1|서울지부|G1|김통신|3";
    QTest::newRow("citizens by day text") << "UntRepC_26.qryReportC ByCount"
                                          << "RPT_ID|RPT_NAME|RSUM"
                                          << "P1|시민1|2\nP2|시민2|1\nP3|시민3|1";
}

void TstStatements::rows()
{
    QFETCH(QString, name);
    QFETCH(QString, columns);
    QFETCH(QString, rows);
    const QString sql = statement(name);
    QVERIFY2(!sql.isEmpty(), qPrintable(name));
    db::Query q(QStringLiteral("commonDB"), sql.split(u'\n'));
    bindTypical(q);
    q.open();
    if (!columns.isEmpty())
        QCOMPARE(q.result().columns.join(u'|'), columns);
    if (!rows.isEmpty())
        QCOMPARE(rowsText(q), rows);
}

void TstStatements::weekDerivation_data()
{
    QTest::addColumn<QString>("currDay");
    QTest::addColumn<QString>("weekStart");
    QTest::addColumn<QString>("weekEnd");
    QTest::addColumn<QString>("currMonth");
    QTest::newRow("monday") << "20040105"
                            << "20031229"
                            << "20040104"
                            << "200312";
    QTest::newRow("wednesday") << "20040107"
                               << "20031229"
                               << "20040104"
                               << "200312";
    QTest::newRow("saturday") << "20040110"
                              << "20031229"
                              << "20040104"
                              << "200312";
    QTest::newRow("sunday") << "20040111"
                            << "20031229"
                            << "20040104"
                            << "200312";
    QTest::newRow("new year thursday") << "20040101"
                                       << "20031222"
                                       << "20031228"
                                       << "200312";
    QTest::newRow("after leap day") << "20040301"
                                    << "20040223"
                                    << "20040229"
                                    << "200402";
    QTest::newRow("leap day sunday") << "20200301"
                                     << "20200217"
                                     << "20200223"
                                     << "202002";
    QTest::newRow("year end friday") << "20211231"
                                     << "20211220"
                                     << "20211226"
                                     << "202111";
    QTest::newRow("new year saturday") << "20220101"
                                       << "20211220"
                                       << "20211226"
                                       << "202112";
}

void TstStatements::weekDerivation()
{
    QFETCH(QString, currDay);
    QFETCH(QString, weekStart);
    QFETCH(QString, weekEnd);
    QFETCH(QString, currMonth);
    auto value = [](const QString &sql) {
        db::Query q(QStringLiteral("commonDB"), {sql});
        q.open();
        return q.field(0).asString();
    };
    const QString d = value(QStringLiteral("SELECT TO_CHAR(  TO_DATE('%1', 'yyyymmdd'), 'D') FROM DUAL").arg(currDay));
    const QString extra = d == u'1' ? QStringLiteral(" - 7 ") : QString();
    const QString week = QStringLiteral("SELECT TO_CHAR((TO_DATE('%1', 'yyyymmdd') -(TO_NUMBER(TO_CHAR( TO_DATE('%1', "
                                        "'yyyymmdd'), 'D'))) + 2 - %2 %3 ), 'yyyymmdd') FROM DUAL");
    QCOMPARE(value(week.arg(currDay, QStringLiteral("7"), extra)), weekStart);
    QCOMPARE(value(week.arg(currDay, QStringLiteral("1"), extra)), weekEnd);
    QCOMPARE(value(QStringLiteral("SELECT TO_CHAR(( TO_DATE('%1', 'yyyymmdd')  - (TO_NUMBER(TO_CHAR( TO_DATE('%1', "
                                  "'yyyymmdd')  , 'DD')) )), 'yyyymm') FROM DUAL")
                       .arg(currDay)),
             currMonth);
}

void TstStatements::referenceDayIsYesterdayOnTheServersToday()
{
    const QString sql = QStringLiteral("SELECT decode(TO_CHAR(SYSDATE,'yyyymmdd'),'%1', "
                                       "TO_CHAR(SYSDATE-1,'yyyymmdd'),'%1') FROM DUAL");
    db::Clock::setFixed(QDateTime(QDate(2004, 3, 1), QTime(0, 0, 1)));
    db::Query q(QStringLiteral("commonDB"), {sql.arg(QStringLiteral("20040301"))});
    q.open();
    QCOMPARE(q.field(0).asString(), QStringLiteral("20040229"));
    db::Clock::setFixed(QDateTime(QDate(2004, 1, 9), QTime(14, 30, 5)));
    db::Query other(QStringLiteral("commonDB"), {sql.arg(QStringLiteral("20040227"))});
    other.open();
    QCOMPARE(other.field(0).asString(), QStringLiteral("20040227"));
}

void TstStatements::usageRecordTakesTheClock()
{
    db::Query ins(QStringLiteral("commonDB"), statement(QStringLiteral("usage record")).split(u'\n'));
    ins.paramByName(QStringLiteral("userid")).setAsString(QStringLiteral(" kim "));
    ins.paramByName(QStringLiteral("ipaddr")).setAsString(QStringLiteral("10.0.0.7"));
    ins.paramByName(QStringLiteral("appname")).setAsString(QStringLiteral("TIPDESK"));
    ins.paramByName(QStringLiteral("action")).setAsString(QStringLiteral("S"));
    ins.execSql();
    db::Query q(QStringLiteral("commonDB"),
                {QStringLiteral("select recorddate, userid, action from user_record where action = 'S'")});
    q.open();
    QCOMPARE(rowsText(q), QStringLiteral("2004-01-09 14:30:05| kim |S"));
}

QTEST_GUILESS_MAIN(TstStatements)
#include "tst_statements.moc"
