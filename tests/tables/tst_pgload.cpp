#include "PgCluster.h"
#include "SqliteRows.h"

#include "DemoDb.h"
#include "app/PostgresLoad.h"
#include "app/Schema.h"
#include "app/SchemaPostgres.h"
#include "app/Tables.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <libpq-fe.h>
#include <sqlite3.h>

#include <algorithm>
#include <functional>
#include <stdexcept>

using namespace tipdesk;
using app::ExistingTables;
using test::SqliteRows;

namespace {

const QString kPassword = QStringLiteral("Tipdesk-Pg-7731");
// A null as text, unlike any value the tables hold.
const QString kNull = QStringLiteral("\u2400NULL");

// Reports whose texts COPY's text format must escape or must not mistake for its own markers.
struct OddReport {
    const char *tag;
    int seq;
    QString comments; // null: NULL
};
const QList<OddReport> &oddReports()
{
    static const QList<OddReport> list{
        {"tab, backslash, newlines", 900001, QStringLiteral("탭\t뒤\\역슬래시\n새 줄\r\n끝")},
        {"backslash N is text", 900002, QStringLiteral("\\N")},
        {"trailing backslash", 900003, QStringLiteral("끝에 역슬래시\\")},
        {"end-of-data marker", 900004, QStringLiteral("\\.\n\\.")},
        {"lone carriage return", 900005, QStringLiteral("앞\r뒤")},
        {"empty text", 900006, QStringLiteral("")},
        {"null", 900007, QString()},
    };
    return list;
}

// Identifiers that sort differently in binary order and in a language's order.
const QStringList kMixedCaseIds{QStringLiteral("T-apple"), QStringLiteral("T-Banana"), QStringLiteral("T-cherry"),
                                QStringLiteral("T-Date"),  QStringLiteral("T-가나"),   QStringLiteral("T-éclair")};

class PgRows {
public:
    explicit PgRows(const QString &conninfo) : m_conn(PQconnectdb(conninfo.toUtf8().constData()))
    {
        if (PQstatus(m_conn) == CONNECTION_OK)
            rows(QStringLiteral("SET DateStyle = 'ISO, YMD'"));
    }
    ~PgRows() { PQfinish(m_conn); }
    PgRows(const PgRows &) = delete;
    PgRows &operator=(const PgRows &) = delete;

    QList<QStringList> rows(const QString &sql) const
    {
        QList<QStringList> out;
        PGresult *r = PQexec(m_conn, sql.toUtf8().constData());
        if (PQresultStatus(r) != PGRES_TUPLES_OK && PQresultStatus(r) != PGRES_COMMAND_OK)
            qWarning("%s in %s", PQresultErrorMessage(r), qPrintable(sql));
        for (int i = 0; i < PQntuples(r); ++i) {
            QStringList row;
            for (int j = 0; j < PQnfields(r); ++j)
                row << (PQgetisnull(r, i, j) ? kNull : QString::fromUtf8(PQgetvalue(r, i, j)));
            out << row;
        }
        PQclear(r);
        return out;
    }
    QString value(const QString &sql) const
    {
        const QList<QStringList> r = rows(sql);
        return r.isEmpty() ? QString() : r.first().value(0);
    }

private:
    PGconn *m_conn;
};

QList<QStringList> embeddedRows(const SqliteRows &db, const QString &sql)
{
    QList<QStringList> out;
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db.handle(), sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
        qWarning("%s in %s", sqlite3_errmsg(db.handle()), qPrintable(sql));
    while (st && sqlite3_step(st) == SQLITE_ROW) {
        QStringList row;
        for (int j = 0; j < sqlite3_column_count(st); ++j) {
            const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(st, j));
            row << (p ? QString::fromUtf8(p, sqlite3_column_bytes(st, j)) : kNull);
        }
        out << row;
    }
    sqlite3_finalize(st);
    return out;
}

// Every row as one text, in byte order, so that two tables compare whatever order they return.
QStringList sortedRows(const QList<QStringList> &rows)
{
    QStringList out;
    for (const QStringList &r : rows)
        out << r.join(QChar(0x1F));
    std::sort(out.begin(), out.end(), [](const QString &a, const QString &b) { return a.toUtf8() < b.toUtf8(); });
    return out;
}

QByteArray checksum(const QStringList &rows)
{
    return QCryptographicHash::hash(rows.join(QChar(0x1E)).toUtf8(), QCryptographicHash::Sha256).toHex();
}

QString message(const std::function<void()> &f)
{
    try {
        f();
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}

} // namespace

class TestPgLoad : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void tablesMatch_data();
    void tablesMatch();
    void oddTexts_data();
    void oddTexts();
    void schemaMatchesTheEmbeddedOne_data();
    void schemaMatchesTheEmbeddedOne();
    void indexesMatchTheEmbeddedOnes();
    void binaryOrderWhateverTheDatabaseSorts();
    void secondLoadRefusedOrReplaced();
    void failedReplaceKeepsTheOldTables();
    void fileWithoutAColumn();
    void passwordNeverInMessages_data();
    void passwordNeverInMessages();
    void bareDatabaseNameWithTheEnvironment();
    void toolLoadsThroughATemporaryFile();

private:
    QString conninfo(const QString &database) const { return m_pg.conninfo(database); }
    // A copy of the demo file changed by sql, for a test of a file unlike the demo.
    QString changedCopy(const QString &name, const char *sql) const;
    // The conninfo of a new database holding the demo file.
    QString loadedDatabase(const QString &name);

    test::PgCluster m_pg{test::PgClusterOptions{kPassword}};
    QTemporaryDir m_dir;
    QString m_file;
};

void TestPgLoad::initTestCase()
{
    TIPDESK_START_PG(m_pg);
    QVERIFY(m_dir.isValid());
    m_file = m_dir.filePath(QStringLiteral("demo.db"));
    demo::DemoOptions o;
    o.out = m_file;
    o.until = QDate(2024, 3, 15);
    o.days = 12;
    o.perDay = 40;
    demo::buildDemoDb(o);
    {
        SqliteRows db(m_file);
        for (const OddReport &r : oddReports()) {
            const QString comments =
                r.comments.isNull() ? QStringLiteral("NULL") : QLatin1Char('\'') + r.comments + QLatin1Char('\'');
            const QString dates = r.comments.isNull() ? QStringLiteral("NULL, NULL")
                                                      : QStringLiteral("'2024-03-15 23:59:59', '2024-03-16 00:00:00'");
            QCOMPARE(
                sqlite3_exec(db.handle(),
                             QStringLiteral("INSERT INTO REPORT_REQUISITION (REQUISITION_NUM, SEQ_NUM, REPORT_DATE, "
                                            "REGISTE_DATE, REPORTER_TYPE, REPORTER_NAME, COMMENTS) VALUES "
                                            "('T%1', %1, %2, '3', '홍길동', %3)")
                                 .arg(r.seq)
                                 .arg(dates, comments)
                                 .toUtf8()
                                 .constData(),
                             nullptr, nullptr, nullptr),
                SQLITE_OK);
        }
        for (const QString &id : kMixedCaseIds)
            QCOMPARE(
                sqlite3_exec(
                    db.handle(),
                    QStringLiteral("INSERT INTO INDIVIDUAL VALUES ('%1', '%1', '3', '1')").arg(id).toUtf8().constData(),
                    nullptr, nullptr, nullptr),
                SQLITE_OK);
    }
    QVERIFY2(m_pg.createDatabase(QStringLiteral("demo")), qPrintable(m_pg.error()));
    QStringList progress;
    app::loadIntoPostgres(m_file, conninfo(QStringLiteral("demo")), [&](const QString &m) { progress << m; });
    // A line per table with its rows.
    for (const app::TableDef &t : app::tables())
        QVERIFY2(!progress.filter(QRegularExpression(QStringLiteral("^%1: \\d+행").arg(t.name))).isEmpty(),
                 qPrintable(t.name));
}

void TestPgLoad::tablesMatch_data()
{
    QTest::addColumn<QString>("table");
    for (const app::TableDef &t : app::tables())
        QTest::newRow(qPrintable(t.name)) << t.name;
}

void TestPgLoad::tablesMatch()
{
    QFETCH(QString, table);
    const QString sql =
        QStringLiteral("SELECT %1 FROM %2").arg(app::table(table)->columnNames().join(QStringLiteral(", ")), table);
    const QStringList embedded = sortedRows(embeddedRows(SqliteRows(m_file), sql));
    const QStringList server = sortedRows(PgRows(conninfo(QStringLiteral("demo"))).rows(sql));
    QCOMPARE(server.size(), embedded.size());
    if (checksum(server) != checksum(embedded)) {
        for (qsizetype i = 0; i < server.size(); ++i)
            QCOMPARE(server.at(i), embedded.at(i));
    }
    if (table != app::tbl::UserRecord)
        QVERIFY(!embedded.isEmpty());
}

void TestPgLoad::oddTexts_data()
{
    QTest::addColumn<int>("seq");
    QTest::addColumn<QString>("comments");
    for (const OddReport &r : oddReports())
        QTest::newRow(r.tag) << r.seq << (r.comments.isNull() ? kNull : r.comments);
}

// Against the texts as written here, not as read back from the file.
void TestPgLoad::oddTexts()
{
    QFETCH(int, seq);
    QFETCH(QString, comments);
    const QStringList row =
        PgRows(conninfo(QStringLiteral("demo")))
            .rows(QStringLiteral("SELECT COMMENTS, REPORTER_NAME, REPORT_DATE, REGISTE_DATE - REPORT_DATE FROM "
                                 "REPORT_REQUISITION WHERE SEQ_NUM = %1")
                      .arg(seq))
            .value(0);
    QCOMPARE(row.value(0), comments);
    QCOMPARE(row.value(1), QStringLiteral("홍길동"));
    // Dates are dates on the server: the day after the last second is a second later.
    if (comments != kNull) {
        QCOMPARE(row.value(2), QStringLiteral("2024-03-15 23:59:59"));
        QCOMPARE(row.value(3), QStringLiteral("00:00:01"));
    } else {
        QCOMPARE(row.value(2), kNull);
    }
}

void TestPgLoad::schemaMatchesTheEmbeddedOne_data()
{
    tablesMatch_data();
}

// Each column's nullability, default and key as the embedded schema has them, and a type that keeps
// the description's kind.
void TestPgLoad::schemaMatchesTheEmbeddedOne()
{
    QFETCH(QString, table);
    QTemporaryDir dir;
    const QString schemaPath = dir.filePath(QStringLiteral("schema.db"));
    app::createSchema(schemaPath);
    const QList<QStringList> embedded = embeddedRows(
        SqliteRows(schemaPath),
        QStringLiteral("SELECT upper(name), \"notnull\", coalesce(dflt_value, ''), pk > 0 FROM pragma_table_info('%1') "
                       "ORDER BY cid")
            .arg(table));
    const QList<QStringList> server =
        PgRows(conninfo(QStringLiteral("demo")))
            .rows(QStringLiteral("SELECT upper(a.attname), a.attnotnull::int, "
                                 "coalesce(pg_get_expr(d.adbin, d.adrelid), ''), "
                                 "(SELECT count(*) FROM pg_constraint k WHERE k.conrelid = a.attrelid "
                                 "AND k.contype = 'p' AND a.attnum = ANY(k.conkey)), "
                                 "format_type(a.atttypid, a.atttypmod), coalesce(c.collname, '') "
                                 "FROM pg_attribute a LEFT JOIN pg_attrdef d ON d.adrelid = a.attrelid "
                                 "AND d.adnum = a.attnum LEFT JOIN pg_collation c ON c.oid = a.attcollation "
                                 "WHERE a.attrelid = '%1'::regclass AND a.attnum > 0 ORDER BY a.attnum")
                      .arg(table.toLower()));
    QCOMPARE(server.size(), embedded.size());
    for (qsizetype i = 0; i < server.size(); ++i) {
        QCOMPARE(server.at(i).mid(0, 4), embedded.at(i));
        static const QHash<app::ColumnKind, QString> types{
            {app::ColumnKind::Text, QStringLiteral("text")},
            {app::ColumnKind::Code, QStringLiteral("text")},
            {app::ColumnKind::DayKey, QStringLiteral("text")},
            {app::ColumnKind::Integer, QStringLiteral("bigint")},
            {app::ColumnKind::DateTime, QStringLiteral("timestamp(0) without time zone")}};
        const app::ColumnKind kind = app::table(table)->columns.at(i).kind;
        QCOMPARE(server.at(i).at(4), types.value(kind));
        QCOMPARE(server.at(i).at(5), server.at(i).at(4) == QLatin1String("text") ? QStringLiteral("C") : QString());
    }
}

// The same indexes on the same columns, unique and partial where the embedded ones are.
void TestPgLoad::indexesMatchTheEmbeddedOnes()
{
    QTemporaryDir dir;
    const QString schemaPath = dir.filePath(QStringLiteral("schema.db"));
    app::createSchema(schemaPath);
    QStringList embedded;
    for (const QStringList &ix :
         embeddedRows(SqliteRows(schemaPath), QStringLiteral("SELECT m.tbl_name, l.name, l.\"unique\", l.partial, "
                                                             "(SELECT group_concat(upper(name), ',') FROM "
                                                             "pragma_index_info(l.name)) FROM sqlite_master m, "
                                                             "pragma_index_list(m.name) l WHERE m.type = 'table' "
                                                             "AND l.origin = 'c'"))) {
        QStringList row = ix;
        row[1] = app::postgresIndexName(row[1]).toLower();
        embedded << row.join(QLatin1Char(' '));
    }
    const QList<QStringList> server =
        PgRows(conninfo(QStringLiteral("demo")))
            .rows(QStringLiteral("SELECT upper(t.relname), i.relname, x.indisunique::int, "
                                 "(x.indpred IS NOT NULL)::int, (SELECT string_agg(upper(a.attname), ',' "
                                 "ORDER BY k.n) FROM unnest(x.indkey) WITH ORDINALITY k(attnum, n) JOIN "
                                 "pg_attribute a ON a.attrelid = t.oid AND a.attnum = k.attnum) FROM "
                                 "pg_index x JOIN pg_class i ON i.oid = x.indexrelid JOIN pg_class t ON "
                                 "t.oid = x.indrelid JOIN pg_namespace n ON n.oid = t.relnamespace WHERE "
                                 "n.nspname = 'public' AND NOT x.indisprimary"));
    QStringList serverRows;
    for (const QStringList &r : server)
        serverRows << r.join(QLatin1Char(' '));
    embedded.sort();
    serverRows.sort();
    QVERIFY(embedded.size() > 15);
    QCOMPARE(serverRows, embedded);
    // The partial index holds the citizens' reports only, as its condition says.
    QCOMPARE(PgRows(conninfo(QStringLiteral("demo")))
                 .value(QStringLiteral("SELECT pg_get_expr(indpred, indrelid) FROM pg_index WHERE indexrelid = "
                                       "'ix_report_requisition_individual_id_reporter_name_report_date'::regclass")),
             QStringLiteral("(reporter_type = '3'::text)"));
}

// Texts sort by their bytes, as on the central server and in the embedded file, even in a
// database whose own order is a language's.
void TestPgLoad::binaryOrderWhateverTheDatabaseSorts()
{
    PgRows admin(conninfo(QStringLiteral("postgres")));
    admin.rows(QStringLiteral("DROP DATABASE IF EXISTS lang"));
    admin.rows(QStringLiteral("CREATE DATABASE lang TEMPLATE template0 ENCODING 'UTF8' LOCALE_PROVIDER icu "
                              "ICU_LOCALE 'en-US' LOCALE 'C'"));
    PgRows lang(conninfo(QStringLiteral("lang")));
    // The database's own order puts "T-apple" before "T-Banana"; binary order does not.
    if (lang.value(QStringLiteral("SELECT 'T-apple' < 'T-Banana'")) != QLatin1String("t"))
        QSKIP("the server has no language collation to compare with");
    app::loadIntoPostgres(m_file, conninfo(QStringLiteral("lang")));
    const QString sql = QStringLiteral("SELECT INDIVIDUAL_ID FROM INDIVIDUAL WHERE INDIVIDUAL_ID LIKE 'T-%' "
                                       "ORDER BY INDIVIDUAL_ID");
    const QList<QStringList> expected = embeddedRows(SqliteRows(m_file), sql);
    QCOMPARE(expected.size(), kMixedCaseIds.size());
    QCOMPARE(lang.rows(sql), expected);
    QCOMPARE(lang.value(QStringLiteral("SELECT min(INDIVIDUAL_ID) FROM INDIVIDUAL WHERE INDIVIDUAL_ID LIKE 'T-%'")),
             QStringLiteral("T-Banana"));
}

void TestPgLoad::secondLoadRefusedOrReplaced()
{
    const QString twice = loadedDatabase(QStringLiteral("twice"));
    const QString count = QStringLiteral("SELECT count(*) FROM REPORT_REQUISITION");
    const QString before = PgRows(twice).value(count);

    QString refusal;
    try {
        app::loadIntoPostgres(m_file, twice);
    } catch (const app::PostgresTablesExist &e) {
        refusal = QString::fromUtf8(e.what());
    }
    QVERIFY2(refusal.contains(QStringLiteral("이미")) && refusal.contains(QLatin1String("REPORT_REQUISITION")),
             qPrintable(refusal));
    QCOMPARE(message([&] { app::checkPostgresTarget(twice); }), refusal);
    QCOMPARE(PgRows(twice).value(count), before);

    // Replaced by a smaller file: the tables hold its rows only.
    const QString smaller =
        changedCopy(QStringLiteral("smaller.db"), "DELETE FROM REPORT_REQUISITION WHERE SEQ_NUM % 2 = 0");
    app::loadIntoPostgres(smaller, twice, {}, ExistingTables::Replace);
    QCOMPARE(PgRows(twice).value(count), QString::number(SqliteRows(smaller).count(count)));
    QVERIFY(PgRows(twice).value(count).toLongLong() < before.toLongLong());
}

// A row the server refuses ends the load with the server's words and leaves the old tables whole.
void TestPgLoad::failedReplaceKeepsTheOldTables()
{
    const QString kept = loadedDatabase(QStringLiteral("kept"));
    const QString count = QStringLiteral("SELECT count(*) FROM STAT_HUB_ROLE");
    const QString before = PgRows(kept).value(count);
    QVERIFY(before.toLongLong() > 0);

    const QString broken =
        changedCopy(QStringLiteral("broken.db"), "UPDATE STAT_HUB_ROLE SET REPORT_COUNT = 'many' WHERE rowid = "
                                                 "(SELECT max(rowid) FROM STAT_HUB_ROLE)");
    const QString error = message([&] { app::loadIntoPostgres(broken, kept, {}, ExistingTables::Replace); });
    QVERIFY2(error.contains(QLatin1String("STAT_HUB_ROLE")) && error.contains(QLatin1String("many")),
             qPrintable(error));
    QCOMPARE(PgRows(kept).value(count), before);

    QVERIFY(m_pg.createDatabase(QStringLiteral("empty")));
    const QString missing = message([&] {
        app::loadIntoPostgres(m_dir.filePath(QStringLiteral("missing.db")), conninfo(QStringLiteral("empty")));
    });
    QVERIFY2(missing.contains(QLatin1String("missing.db")), qPrintable(missing));
    QCOMPARE(PgRows(conninfo(QStringLiteral("empty")))
                 .value(QStringLiteral("SELECT count(*) FROM pg_class WHERE relnamespace = 'public'::regnamespace")),
             QStringLiteral("0"));
}

// A file made before a column was added loads; the server gives the column its default.
void TestPgLoad::fileWithoutAColumn()
{
    const QString older = changedCopy(QStringLiteral("older.db"), "ALTER TABLE STAT_HUB_LOSS DROP COLUMN F_ETC; "
                                                                  "ALTER TABLE USER_MANAGE DROP COLUMN REMARK");
    QVERIFY(m_pg.createDatabase(QStringLiteral("older")));
    app::loadIntoPostgres(older, conninfo(QStringLiteral("older")));
    const PgRows pg(conninfo(QStringLiteral("older")));
    QCOMPARE(pg.rows(QStringLiteral("SELECT DISTINCT F_ETC FROM STAT_HUB_LOSS")), QList<QStringList>{{"0"}});
    QCOMPARE(pg.rows(QStringLiteral("SELECT DISTINCT REMARK FROM USER_MANAGE")), QList<QStringList>{{kNull}});
    const QString sql = QStringLiteral("SELECT USERID, USERPASS, APPNAME, USERLEVEL, USERNAME FROM USER_MANAGE");
    QCOMPARE(sortedRows(pg.rows(sql)), sortedRows(embeddedRows(SqliteRows(older), sql)));
}

void TestPgLoad::passwordNeverInMessages_data()
{
    QTest::addColumn<QString>("conninfo");
    QTest::addColumn<QStringList>("secrets");
    QTest::addColumn<QString>("says");
    const QString server =
        QStringLiteral("host=%1 port=%2 user=%3 dbname=demo").arg(m_pg.host()).arg(m_pg.port()).arg(m_pg.user());
    QTest::newRow("wrong password") << server + QStringLiteral(" password=Wr0ng-Secret-551")
                                    << QStringList{"Wr0ng-Secret-551"}
                                    << QStringLiteral("password authentication failed");
    QTest::newRow("right password, unknown database")
        << QStringLiteral("host=%1 port=%2 user=%3 dbname=nowhere password=%4")
               .arg(m_pg.host())
               .arg(m_pg.port())
               .arg(m_pg.user(), kPassword)
        << QStringList{kPassword} << QStringLiteral("nowhere");
    QTest::newRow("URI")
        << QStringLiteral("postgresql://%1:Uri-Secret-8812@%2:%3/demo").arg(m_pg.user(), m_pg.host()).arg(m_pg.port())
        << QStringList{"Uri-Secret-8812"} << QStringLiteral("password authentication failed");
    // Unquoted, the words after the first are read as settings and quoted back by libpq.
    QTest::newRow("password with a space, unquoted")
        << server + QStringLiteral(" password=first-half Second-Half-9923")
        << QStringList{"first-half", "Second-Half-9923"} << QStringLiteral("연결 문자열");
    QTest::newRow("no server there") << QStringLiteral("host=127.0.0.1 port=1 user=x password=Nobody-Home-4410")
                                     << QStringList{"Nobody-Home-4410"} << QStringLiteral("연결할 수 없습니다");
}

void TestPgLoad::passwordNeverInMessages()
{
    QFETCH(QString, conninfo);
    QFETCH(QStringList, secrets);
    QFETCH(QString, says);
    for (const std::function<void()> &f : std::initializer_list<std::function<void()>>{
             [&] { app::loadIntoPostgres(m_file, conninfo); }, [&] { app::checkPostgresTarget(conninfo); }}) {
        const QString error = message(f);
        QVERIFY2(error.contains(says), qPrintable(error));
        for (const QString &s : secrets)
            QVERIFY2(!error.contains(s), qPrintable(error));
    }
}

// A database's name alone, the server and the password from libpq's environment, as psql takes them.
void TestPgLoad::bareDatabaseNameWithTheEnvironment()
{
    QVERIFY(m_pg.createDatabase(QStringLiteral("bare")));
    const QList<std::pair<const char *, QByteArray>> env{{"PGHOST", m_pg.host().toUtf8()},
                                                         {"PGPORT", QByteArray::number(m_pg.port())},
                                                         {"PGUSER", m_pg.user().toUtf8()},
                                                         {"PGPASSWORD", kPassword.toUtf8()}};
    for (const auto &[name, value] : env)
        qputenv(name, value);
    const QString error = message([&] { app::loadIntoPostgres(m_file, QStringLiteral("bare")); });
    for (const auto &[name, value] : env)
        qunsetenv(name);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(PgRows(conninfo(QStringLiteral("bare"))).value(QStringLiteral("SELECT count(*) FROM MESSAGE")),
             QString::number(SqliteRows(m_file).count(QStringLiteral("SELECT count(*) FROM MESSAGE"))));
}

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun runTool(const QStringList &args, const QString &tmpDir, const QString &password = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), tmpDir);
    env.remove(QStringLiteral("PGPASSWORD"));
    if (!password.isEmpty())
        env.insert(QStringLiteral("PGPASSWORD"), password);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TIPDESK_DEMO_DB_TOOL), args);
    if (!p.waitForFinished(120000))
        qWarning("tipdesk-demo-db did not finish");
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// The tool builds into a temporary file it removes, finds a loaded database before building, and
// replaces it when told.
void TestPgLoad::toolLoadsThroughATemporaryFile()
{
    QVERIFY(m_pg.createDatabase(QStringLiteral("tool")));
    QTemporaryDir tmp;
    const QString target =
        QStringLiteral("host=%1 port=%2 user=%3 dbname=tool").arg(m_pg.host()).arg(m_pg.port()).arg(m_pg.user());
    const QStringList build{
        QStringLiteral("--until"),   QStringLiteral("20240315"), QStringLiteral("--days"), QStringLiteral("5"),
        QStringLiteral("--per-day"), QStringLiteral("20"),       QStringLiteral("--pg"),   target};
    const ToolRun first = runTool(build, tmp.path(), kPassword);
    QVERIFY2(first.exitCode == 0, qPrintable(first.err));
    const QString reports = QRegularExpression(QStringLiteral("(\\d+) reports from")).match(first.out).captured(1);
    QVERIFY(!reports.isEmpty());
    QVERIFY2(first.out.contains(QStringLiteral("PostgreSQL: ")), qPrintable(first.out));
    QCOMPARE(PgRows(conninfo(QStringLiteral("tool"))).value(QStringLiteral("SELECT count(*) FROM REPORT_REQUISITION")),
             reports);
    QCOMPARE(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());

    const ToolRun again = runTool(build, tmp.path(), kPassword);
    QCOMPARE(again.exitCode, 2);
    QVERIFY2(again.err.contains(QStringLiteral("--replace")) && !again.out.contains(QStringLiteral("reports from")),
             qPrintable(again.err + again.out));

    const ToolRun replaced = runTool(build + QStringList{QStringLiteral("--replace")}, tmp.path(), kPassword);
    QVERIFY2(replaced.exitCode == 0, qPrintable(replaced.err));
    QCOMPARE(PgRows(conninfo(QStringLiteral("tool"))).value(QStringLiteral("SELECT count(*) FROM REPORT_REQUISITION")),
             reports);

    const QString wrong = QStringLiteral("Tool-Wrong-Secret-3391");
    const ToolRun refused = runTool(QStringList{QStringLiteral("--pg"), target + QStringLiteral(" password=") + wrong,
                                                QStringLiteral("--from"), m_file},
                                    tmp.path());
    QCOMPARE(refused.exitCode, 2);
    QVERIFY2(refused.err.contains(QStringLiteral("연결할 수 없습니다")), qPrintable(refused.err));
    QVERIFY(!(refused.err + refused.out).contains(wrong));
}

QString TestPgLoad::changedCopy(const QString &name, const char *sql) const
{
    const QString path = m_dir.filePath(name);
    QFile::remove(path);
    if (!QFile::copy(m_file, path) ||
        sqlite3_exec(SqliteRows(path).handle(), sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        qFatal("cannot make %s", qPrintable(name));
    return path;
}

QString TestPgLoad::loadedDatabase(const QString &name)
{
    if (!m_pg.createDatabase(name))
        qFatal("%s", qPrintable(m_pg.error()));
    app::loadIntoPostgres(m_file, conninfo(name));
    return conninfo(name);
}

QTEST_GUILESS_MAIN(TestPgLoad)
#include "tst_pgload.moc"
