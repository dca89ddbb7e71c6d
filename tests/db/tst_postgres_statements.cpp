#include "Corpus.h"
#include "FixtureDb.h"
#include "PgCluster.h"
#include "app/PostgresLoad.h"
#include "platform/db/BackendSelector.h"
#include "platform/db/Clock.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/PostgresBackend.h"
#include "platform/db/Query.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

using namespace tipdesk;
using namespace tipdesk::test;

// Every statement of the system on the same rows in the embedded file and on a PostgreSQL server:
// the same columns, the same rows in the same order, value for value and text for text. A
// difference is a fault of one of the translator's targets.
class TstPostgresStatements : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void sameResults_data();
    void sameResults();
    void sameResultsOnEdgeValues_data();
    void sameResultsOnEdgeValues();
    void boundTextStaysText_data();
    void boundTextStaysText();
    void clockReachesTheServer();

private:
    PgCluster m_pg;
    std::unique_ptr<FixtureDb> m_fx;
    std::unique_ptr<db::Connection> m_server;
};

namespace {

const QString kServerAlias = QStringLiteral("serverDB");

bool isNumber(const QVariant &v)
{
    return v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Int;
}

// The first difference of two results, or an empty text.
QString difference(const db::Query &a, const db::Query &b)
{
    if (a.fieldCount() != b.fieldCount())
        return QStringLiteral("%1 columns against %2").arg(a.fieldCount()).arg(b.fieldCount());
    for (int c = 0; c < a.fieldCount(); ++c) {
        if (a.result().columns[c] != b.result().columns[c])
            return QStringLiteral("column %1 named %2 against %3")
                .arg(c)
                .arg(a.result().columns[c], b.result().columns[c]);
    }
    if (a.recordCount() != b.recordCount())
        return QStringLiteral("%1 rows against %2").arg(a.recordCount()).arg(b.recordCount());
    for (int r = 0; r < a.recordCount(); ++r) {
        for (int c = 0; c < a.fieldCount(); ++c) {
            const QVariant x = a.value(r, c), y = b.value(r, c);
            const QString tx = db::Field::displayText(x), ty = db::Field::displayText(y);
            bool same = x.isNull() == y.isNull() && tx == ty;
            if (same && !x.isNull())
                same = isNumber(x) == isNumber(y) && (!isNumber(x) || x.toDouble() == y.toDouble());
            if (!same)
                return QStringLiteral("row %1, %2: '%3' (%4) against '%5' (%6)")
                    .arg(r + 1)
                    .arg(a.result().columns[c], tx, QString::fromLatin1(x.typeName()), ty,
                         QString::fromLatin1(y.typeName()));
        }
    }
    return {};
}

// Runs a statement through a connection; an error is returned as the result's text.
QString run(db::Query &q, const QString &sql)
{
    try {
        if (sql.trimmed().startsWith(QLatin1String("INSERT"), Qt::CaseInsensitive))
            q.execSql();
        else
            q.open();
    } catch (const db::DbError &e) {
        return QStringLiteral("error ") + e.text();
    }
    return {};
}

// The Oracle error code of an error text ("ORA-01476"), or the whole text.
QString errorCode(const QString &text)
{
    const qsizetype at = text.indexOf(QLatin1String("ORA-"));
    return at >= 0 ? text.mid(at, 9) : text;
}

// The fixture holds only the columns its statements need, typed as it likes: the server's tables,
// made from the full description, are made the same, so that "SELECT *" and a column's type are
// the same on both sides. Returns the first error, or an empty text.
QString mirrorFixtureColumns(const QString &file, const QString &conninfo)
{
    QString error;
    {
        QSqlDatabase lite = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("mirror-lite"));
        lite.setDatabaseName(file);
        QSqlDatabase pg = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("mirror-pg"));
        const db::PostgresBackend::Settings server = db::postgresSettings(conninfo);
        pg.setHostName(server.hostName);
        pg.setPort(server.port);
        pg.setDatabaseName(server.databaseName);
        pg.setUserName(server.userName);
        pg.setPassword(server.password);
        if (!lite.open() || !pg.open())
            return QStringLiteral("open");
        QSqlQuery tables(pg);
        tables.exec(QStringLiteral("SELECT table_name FROM information_schema.tables WHERE table_schema = 'public'"));
        QStringList names;
        while (tables.next())
            names.append(tables.value(0).toString());
        for (const QString &table : names) {
            QSqlQuery info(lite);
            info.exec(QStringLiteral("SELECT lower(name), upper(type) FROM pragma_table_info('%1')").arg(table));
            QHash<QString, QString> liteTypes;
            while (info.next())
                liteTypes.insert(info.value(0).toString(), info.value(1).toString());
            QSqlQuery cols(pg);
            cols.exec(
                QStringLiteral("SELECT column_name, data_type FROM information_schema.columns WHERE table_name = '%1'")
                    .arg(table));
            QStringList alter;
            while (cols.next()) {
                const QString column = cols.value(0).toString(), type = cols.value(1).toString();
                if (!liteTypes.contains(column))
                    alter.append(QStringLiteral("DROP COLUMN %1").arg(column));
                else if (liteTypes.value(column) == QLatin1String("INTEGER") && type == QLatin1String("text"))
                    alter.append(QStringLiteral("ALTER COLUMN %1 TYPE bigint USING %1::bigint").arg(column));
                else if (liteTypes.value(column) == QLatin1String("TEXT") && type == QLatin1String("bigint"))
                    alter.append(QStringLiteral("ALTER COLUMN %1 TYPE text COLLATE \"C\" USING %1::text").arg(column));
            }
            QSqlQuery q(pg);
            if (!alter.isEmpty() &&
                !q.exec(QStringLiteral("ALTER TABLE %1 %2").arg(table, alter.join(QStringLiteral(", "))))) {
                error = q.lastError().text();
                break;
            }
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("mirror-lite"));
    QSqlDatabase::removeDatabase(QStringLiteral("mirror-pg"));
    return error;
}

} // namespace

void TstPostgresStatements::initTestCase()
{
    TIPDESK_START_PG(m_pg);
    QVERIFY2(m_pg.createDatabase(QStringLiteral("fixture")), qPrintable(m_pg.error()));
    m_fx = std::make_unique<FixtureDb>(sourceFile(QStringLiteral("tests/db/fixture.sql")));
    try {
        app::loadIntoPostgres(m_fx->path(), m_pg.conninfo(QStringLiteral("fixture")));
    } catch (const std::exception &e) {
        QFAIL(e.what());
    }
    QVERIFY2(mirrorFixtureColumns(m_fx->path(), m_pg.conninfo(QStringLiteral("fixture"))).isEmpty(),
             "the server's tables could not be made like the fixture's");
    m_server = std::make_unique<db::Connection>();
    m_server->setAliasName(kServerAlias);
    m_server->setBackend(db::postgresBackend(m_pg.conninfo(QStringLiteral("fixture"))));
    m_server->setConnected(true);
    db::Clock::setFixed(QDateTime(QDate(2004, 1, 9), QTime(14, 30, 5)));
}

void TstPostgresStatements::cleanupTestCase()
{
    db::Clock::clearFixed();
    m_server.reset();
    m_fx.reset();
}

void TstPostgresStatements::sameResults_data()
{
    QTest::addColumn<QString>("sql");
    const QList<Named> all = corpus();
    QVERIFY(all.size() > 60);
    for (const Named &n : all)
        QTest::newRow(qPrintable(n.name)) << n.sql;
}

void TstPostgresStatements::sameResults()
{
    QFETCH(QString, sql);
    db::Query embedded(QStringLiteral("commonDB"), sql.split(u'\n'));
    db::Query server(kServerAlias, sql.split(u'\n'));
    bindTypical(embedded);
    bindTypical(server);
    const QString a = run(embedded, sql), b = run(server, sql);
    QVERIFY2(!a.startsWith(QLatin1String("error")), qPrintable(a));
    QVERIFY2(!b.startsWith(QLatin1String("error")),
             qPrintable(b + QStringLiteral("\n") +
                        static_cast<db::PostgresBackend *>(m_server->backend())->serverText(sql, {})));
    QCOMPARE(b, a);
    if (a.isEmpty())
        QVERIFY2(difference(embedded, server).isEmpty(), qPrintable(difference(embedded, server)));
}

// Oracle's conversions and functions where the two engines differ most: values at their edges.
void TstPostgresStatements::sameResultsOnEdgeValues_data()
{
    QTest::addColumn<QString>("sql");
    const auto row = [](const char *sql) { QTest::newRow(sql) << QString::fromUtf8(sql); };
    row("SELECT 1/3, 2/3, 29/100*100, -1/3, 10/4, 6/3 FROM DUAL");
    row("SELECT TRUNC(29/100*100, 1), TRUNC(2/3*100, 1), ROUND(2.5), ROUND(-2.5), TRUNC(-7.25, 1) FROM DUAL");
    row("SELECT TO_CHAR(0.46), TO_CHAR(-0.5), TO_CHAR(100), TO_CHAR(1/3) FROM DUAL");
    row("SELECT 'a' || NULL || 'b', NULL || NULL, 'x' || 0.5, CONCAT('k', 12) FROM DUAL");
    row("SELECT NVL(NULL, 3), NVL('', 'e'), DECODE(NULL, NULL, 'n', 'v'), DECODE(2, 1, 'one', 2, 'two', 'many') FROM "
        "DUAL");
    row("SELECT SUBSTR('20040107', 5), SUBSTR('20040107', -2), SUBSTR('abc', 0, 2), SUBSTR('abc', 5) FROM DUAL");
    row("SELECT TO_CHAR(TO_DATE('20040229', 'YYYYMMDD') + 1, 'YYYY-MM-DD DY') FROM DUAL");
    row("SELECT TO_DATE('20040301', 'YYYYMMDD') - TO_DATE('20040201', 'YYYYMMDD') FROM DUAL");
    row("SELECT TO_CHAR(SYSDATE, 'YYYYMMDD HH24:MI:SS'), TO_CHAR(SYSDATE - 1/24, 'HH24:MI') FROM DUAL");
    row("SELECT COUNT(*), SUM(SEQ_NUM), AVG(SEQ_NUM), MAX(REPORTER_NAME), MIN(REPORT_DATE) FROM REPORT_REQUISITION");
    row("SELECT REQUISITION_NUM FROM REPORT_REQUISITION WHERE SEQ_NUM = '3'");
    row("SELECT REQUISITION_NUM, NVL(BROAD_FLAG, 0) FROM REPORT_REQUISITION ORDER BY REQUISITION_NUM");
    row("SELECT * FROM INDIVIDUAL I, ROLE R WHERE I.INDIVIDUAL_ID = R.INDIVIDUAL_ID(+) ORDER BY I.INDIVIDUAL_ID");
    row("SELECT I.INDIVIDUAL_NAME, O.NAME FROM INDIVIDUAL I, ROLE R, ORGANIZATION O WHERE I.INDIVIDUAL_ID = "
        "R.INDIVIDUAL_ID(+) AND R.ORGANIZATION_ID = O.ORGANIZATION_ID(+) ORDER BY I.INDIVIDUAL_ID");
    row("SELECT ROWNUM, REQUISITION_NUM FROM REPORT_REQUISITION WHERE ROWNUM <= 3");
    // Rows equal in the keys: the same order and the same numbers on both engines.
    row("SELECT ROWNUM, INDIVIDUAL_ID, TYPE FROM INDIVIDUAL ORDER BY TYPE DESC");
    row("SELECT CUR, COUNT(*) N FROM INDIVIDUAL GROUP BY CUR ORDER BY N");
    row("SELECT STAT_DAY FROM STAT_HUB WHERE STAT_DAY BETWEEN 20040101 AND 20040105 ORDER BY STAT_DAY");
    row("SELECT UPPER('abc'), LOWER('ABC'), LENGTH(12345), TRIM('  '), LTRIM('  a'), ABS(-3) FROM DUAL");
    // A list of the grouping key is searched per group on the server: the same groups, also where
    // the key is null, and a list that reads the outer row stays a row filter.
    row("SELECT INDIVIDUAL_ID, COUNT(*) FROM ROLE WHERE INDIVIDUAL_ID IN (SELECT INDIVIDUAL_ID FROM INDIVIDUAL "
        "WHERE CUR = 'Y') GROUP BY INDIVIDUAL_ID ORDER BY 1");
    row("SELECT R.CUR, COUNT(*) FROM INDIVIDUAL R WHERE R.CUR IN (SELECT I.CUR FROM INDIVIDUAL I WHERE I.TYPE = '1') "
        "GROUP BY R.CUR, R.TYPE HAVING COUNT(*) > 0 ORDER BY 1");
    row("SELECT R.ORGANIZATION_ID, COUNT(*) FROM ROLE R WHERE R.ORGANIZATION_ID IN (SELECT O.ORGANIZATION_ID FROM "
        "ORGANIZATION O WHERE O.ORGANIZATION_ID <> R.INDIVIDUAL_ID) GROUP BY R.ORGANIZATION_ID ORDER BY 1");
    row("SELECT REPORTER_ID, SUM(REPORT_COUNT) FROM STAT_HUB_ROLE WHERE REPORTER_ID IN (SELECT INDIVIDUAL_ID FROM "
        "INDIVIDUAL) AND STAT_DAY <= '20040107' GROUP BY ROLE_ID, REPORTER_ID ORDER BY 1");
    row("SELECT 1/0 FROM DUAL");
    row("SELECT TO_NUMBER('x1') FROM DUAL");
    row("SELECT TO_DATE('20041332', 'YYYYMMDD') FROM DUAL");
}

void TstPostgresStatements::sameResultsOnEdgeValues()
{
    QFETCH(QString, sql);
    db::Query embedded(QStringLiteral("commonDB"), {sql});
    db::Query server(kServerAlias, {sql});
    const QString a = run(embedded, sql), b = run(server, sql);
    if (a.startsWith(QLatin1String("error")) || b.startsWith(QLatin1String("error"))) {
        QCOMPARE(errorCode(b), errorCode(a));
        return;
    }
    QVERIFY2(difference(embedded, server).isEmpty(), qPrintable(difference(embedded, server)));
}

// A bound value is written into the server's text as a literal: quotes, backslashes and what
// looks like a parameter inside it stay text, and a value never becomes part of the statement.
void TstPostgresStatements::boundTextStaysText_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("quote") << QStringLiteral("O'Brien");
    QTest::newRow("statement") << QStringLiteral("x'); DROP TABLE INDIVIDUAL; --");
    QTest::newRow("backslash") << QStringLiteral("C:\\temp\\'");
    QTest::newRow("parameter sign") << QStringLiteral("$1 :name ?1");
    QTest::newRow("korean") << QStringLiteral("남산고정 '따옴표'");
}

void TstPostgresStatements::boundTextStaysText()
{
    QFETCH(QString, value);
    const QStringList sql{QStringLiteral("SELECT :v AS V, COUNT(*) AS N FROM INDIVIDUAL WHERE INDIVIDUAL_NAME <> :v")};
    db::Query server(kServerAlias, sql);
    server.paramByName(QStringLiteral("v")).setAsString(value);
    server.open();
    QCOMPARE(server.recordCount(), 1);
    QCOMPARE(server.value(0, 0).toString(), value);
    QCOMPARE(server.value(0, 1).toLongLong(), 7LL);
}

// SYSDATE is the desk's fixed clock when a test fixes it, the server's own time otherwise.
void TstPostgresStatements::clockReachesTheServer()
{
    const QStringList sql{QStringLiteral("SELECT TO_CHAR(SYSDATE, 'YYYYMMDDHH24MISS') AS NOW FROM DUAL")};
    db::Query q(kServerAlias, sql);
    q.open();
    QCOMPARE(q.value(0, 0).toString(), QStringLiteral("20040109143005"));
    db::Clock::setFixed(QDateTime(QDate(2010, 5, 6), QTime(7, 8, 9)));
    q.close();
    q.open();
    QCOMPARE(q.value(0, 0).toString(), QStringLiteral("20100506070809"));
    db::Clock::clearFixed();
    q.close();
    q.open();
    const QDateTime serverNow = QDateTime::fromString(q.value(0, 0).toString(), QStringLiteral("yyyyMMddHHmmss"));
    QVERIFY(qAbs(serverNow.secsTo(QDateTime::currentDateTime())) < 120);
    db::Clock::setFixed(QDateTime(QDate(2004, 1, 9), QTime(14, 30, 5)));
}

QTEST_GUILESS_MAIN(TstPostgresStatements)
#include "tst_postgres_statements.moc"
