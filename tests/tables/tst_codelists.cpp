#include "SqliteRows.h"

#include "app/CodeLists.h"
#include "app/Schema.h"
#include "app/Tables.h"
#include "platform/db/EmbeddedBackend.h"
#include "platform/db/Query.h"
#include "platform/db/Translator.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <tuple>

using namespace tipdesk::app;
using tipdesk::test::SqliteRows;

namespace {

struct EmptyDb {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("schema.db"));
    SqliteRows *open()
    {
        sqlite3 *db = nullptr;
        sqlite3_open(path.toUtf8().constData(), &db);
        char *err = nullptr;
        const int rc = sqlite3_exec(db, schemaScript().toUtf8().constData(), nullptr, nullptr, &err);
        if (rc != SQLITE_OK)
            qWarning("%s", err);
        sqlite3_free(err);
        sqlite3_close(db);
        return new SqliteRows(path);
    }
};

} // namespace

class TestCodeLists : public QObject {
    Q_OBJECT

private slots:
    void reporterTypes_data();
    void reporterTypes();
    void operatorsInIndividualTypesOnly();
    void contentCodes_data();
    void contentCodes();
    void contentPrintOrder();
    void sources_data();
    void sources();
    void sourcePrintOrder();
    void handling_data();
    void handling();
    void lostProperty_data();
    void lostProperty();
    void hourBands_data();
    void hourBands();
    void hourBandHeaders();
    void schemaCreatesTables();
    void schemaServesStatements_data();
    void schemaServesStatements();
    void schemaKeepsOneStatHubRowPerDay();
    void citizenTotalsReadTheirIndex_data();
    void citizenTotalsReadTheirIndex();

private:
    EmptyDb m_empty;
    std::unique_ptr<SqliteRows> m_schemaDb;
    std::unique_ptr<EmptyDb> m_citizensDb;
};

void TestCodeLists::reporterTypes_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("label");
    QTest::newRow("1") << "1"
                       << "통신원";
    QTest::newRow("2") << "2"
                       << "경찰제보처";
    QTest::newRow("3") << "3"
                       << "시민";
    QTest::newRow("4") << "4"
                       << "직원";
    QTest::newRow("5") << "5"
                       << "운영자";
    QTest::newRow("6") << "6"
                       << "고정제보처";
    QTest::newRow("7") << "7"
                       << "기타";
    QTest::newRow("8") << "8"
                       << "기관";
    QTest::newRow("Z") << "Z"
                       << "기타";
    QTest::newRow("unknown") << "9"
                             << "";
    QTest::newRow("A is not a reporter type") << "A"
                                              << "";
}

void TestCodeLists::reporterTypes()
{
    QFETCH(QString, code);
    QFETCH(QString, label);
    QCOMPARE(tipdesk::app::reporterTypes().label(code), label);
}

void TestCodeLists::operatorsInIndividualTypesOnly()
{
    QCOMPARE(individualTypes().size(), tipdesk::app::reporterTypes().size() + 1);
    QVERIFY(individualTypes().contains(QStringLiteral("A")));
    QCOMPARE(operatorTypeCodes(), (QStringList{QStringLiteral("5"), QStringLiteral("A")}));
}

void TestCodeLists::contentCodes_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("longLabel");
    QTest::addColumn<QString>("column");
    QTest::newRow("1") << "1"
                       << "공사"
                       << "공사"
                       << "CONTENT3";
    QTest::newRow("2") << "2"
                       << "행사"
                       << "행사"
                       << "CONTENT4";
    QTest::newRow("3") << "3"
                       << "사고"
                       << "사고"
                       << "CONTENT5";
    QTest::newRow("4") << "4"
                       << "기상"
                       << "기상"
                       << "CONTENT6";
    QTest::newRow("A") << "A"
                       << "원활"
                       << "원활"
                       << "CONTENT1";
    QTest::newRow("B") << "B"
                       << "안내"
                       << "안내"
                       << "CONTENT2";
    QTest::newRow("D") << "D"
                       << "기관"
                       << "기관통보"
                       << "CONTENT9";
    QTest::newRow("E") << "E"
                       << "정체"
                       << "정체"
                       << "CONTENT8";
    QTest::newRow("Z") << "Z"
                       << "기타"
                       << "기타"
                       << "CONTENT7";
    QTest::newRow("unknown") << "C"
                             << ""
                             << ""
                             << "";
}

void TestCodeLists::contentCodes()
{
    QFETCH(QString, code);
    QFETCH(QString, label);
    QFETCH(QString, longLabel);
    QFETCH(QString, column);
    QCOMPARE(tipdesk::app::contentCodes().label(code), label);
    QCOMPARE(tipdesk::app::contentCodes().longLabel(code), longLabel);
    QCOMPARE(tipdesk::app::contentCodes().column(code), column);
    if (!column.isEmpty())
        QCOMPARE(tipdesk::app::contentCodes().findByColumn(column.toLower())->code, code);
}

void TestCodeLists::contentPrintOrder()
{
    QCOMPARE(contentsInPrintOrder().columns(), (QStringList{"CONTENT8", "CONTENT1", "CONTENT5", "CONTENT3", "CONTENT4",
                                                            "CONTENT6", "CONTENT2", "CONTENT9", "CONTENT7"}));
    // Every content column once, no other.
    QStringList cols = contentsInPrintOrder().columns();
    cols.sort();
    QCOMPARE(cols, (QStringList{"CONTENT1", "CONTENT2", "CONTENT3", "CONTENT4", "CONTENT5", "CONTENT6", "CONTENT7",
                                "CONTENT8", "CONTENT9"}));
}

void TestCodeLists::sources_data()
{
    QTest::addColumn<QString>("reporterType");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("label");
    QTest::newRow("correspondent") << "1"
                                   << "REPORTER1"
                                   << "통신원";
    QTest::newRow("police") << "2"
                            << "REPORTER5"
                            << "경찰제보처";
    QTest::newRow("citizen") << "3"
                             << "REPORTER2"
                             << "시민";
    QTest::newRow("staff") << "4"
                           << "REPORTER4"
                           << "직원";
    QTest::newRow("operator") << "5"
                              << "REPORTER6"
                              << "기타";
    QTest::newRow("fixed point") << "6"
                                 << "REPORTER3"
                                 << "고정제보처";
    QTest::newRow("other 7") << "7"
                             << "REPORTER6"
                             << "기타";
    QTest::newRow("institution") << "8"
                                 << "REPORTER6"
                                 << "기타";
    QTest::newRow("other Z") << "Z"
                             << "REPORTER6"
                             << "기타";
    QTest::newRow("unlisted") << ""
                              << "REPORTER6"
                              << "기타";
}

void TestCodeLists::sources()
{
    QFETCH(QString, reporterType);
    QFETCH(QString, column);
    QFETCH(QString, label);
    const QString source = sourceForReporterType(reporterType);
    QCOMPARE(statisticsSources().column(source), column);
    QCOMPARE(statisticsSources().label(source), label);
    if (!reporterType.isEmpty())
        QVERIFY(reporterTypesOfSource(source).contains(reporterType));
}

void TestCodeLists::sourcePrintOrder()
{
    QCOMPARE(sourcesInPrintOrder().labels(),
             (QStringList{"통신원", "경찰제보처", "시민", "직원", "고정제보처", "기타"}));
    QCOMPARE(sourcesInPrintOrder().columns(),
             (QStringList{"REPORTER1", "REPORTER5", "REPORTER2", "REPORTER4", "REPORTER3", "REPORTER6"}));
}

void TestCodeLists::handling_data()
{
    QTest::addColumn<QString>("send");
    QTest::addColumn<QString>("broad");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("label");
    QTest::newRow("broadcast") << "1"
                               << "1"
                               << "2"
                               << "방송";
    QTest::newRow("sent, not broadcast") << "1"
                                         << "0"
                                         << "3"
                                         << "비보도";
    QTest::newRow("sent, broadcast flag null") << "1"
                                               << ""
                                               << "3"
                                               << "비보도";
    QTest::newRow("not sent") << "0"
                              << "0"
                              << "1"
                              << "자체처리";
    QTest::newRow("not sent, flag null") << "0"
                                         << ""
                                         << "1"
                                         << "자체처리";
    QTest::newRow("send flag null") << ""
                                    << ""
                                    << "1"
                                    << "자체처리";
}

void TestCodeLists::handling()
{
    QFETCH(QString, send);
    QFETCH(QString, broad);
    QFETCH(QString, result);
    QFETCH(QString, label);
    QCOMPARE(handlingResult(send, broad), result);
    QCOMPARE(handlingResults().label(result), label);
    QCOMPARE(handlingResults().column(result), QStringLiteral("RESULT") + result);
}

void TestCodeLists::lostProperty_data()
{
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("column");
    QTest::addColumn<bool>("processed");
    QTest::newRow("1") << "1"
                       << "분실"
                       << "L_MISS" << false;
    QTest::newRow("2") << "2"
                       << "습득"
                       << "L_FOUND" << false;
    QTest::newRow("3") << "3"
                       << "도난차량"
                       << "L_CAR" << false;
    QTest::newRow("4") << "4"
                       << "기타"
                       << "L_ETC" << false;
    QTest::newRow("5") << "5"
                       << "분실(처리)"
                       << "F_MISS" << true;
    QTest::newRow("6") << "6"
                       << "습득(처리)"
                       << "F_FOUND" << true;
    QTest::newRow("7") << "7"
                       << "도난차량(처리)"
                       << "F_CAR" << true;
    QTest::newRow("8") << "8"
                       << "기타(처리)"
                       << "F_ETC" << true;
    QTest::newRow("0 is not lost property") << "0"
                                            << ""
                                            << "" << false;
    QTest::newRow("9 is not lost property") << "9"
                                            << ""
                                            << "" << false;
}

void TestCodeLists::lostProperty()
{
    QFETCH(QString, speed);
    QFETCH(QString, label);
    QFETCH(QString, column);
    QFETCH(bool, processed);
    QCOMPARE(lostPropertyCodes().label(speed), label);
    QCOMPARE(lostPropertyCodes().column(speed), column);
    QCOMPARE(isLostProperty(speed), !label.isEmpty());
    QCOMPARE(isLostPropertyProcessed(speed), processed);
}

void TestCodeLists::hourBands_data()
{
    QTest::addColumn<int>("hour");
    QTest::addColumn<QString>("column");
    QTest::addColumn<bool>("morning");
    QTest::newRow("midnight") << 0 << "TIME06" << true;
    QTest::newRow("06") << 6 << "TIME06" << true;
    QTest::newRow("07") << 7 << "TIME07" << true;
    QTest::newRow("13") << 13 << "TIME13" << true;
    QTest::newRow("14") << 14 << "TIME14" << false;
    QTest::newRow("20") << 20 << "TIME20" << false;
    QTest::newRow("21") << 21 << "TIME21" << false;
    QTest::newRow("23") << 23 << "TIME21" << false;
}

void TestCodeLists::hourBands()
{
    QFETCH(int, hour);
    QFETCH(QString, column);
    QFETCH(bool, morning);
    const int i = hourBandIndex(hour);
    QVERIFY(i >= 0);
    QCOMPARE(tipdesk::app::hourBands().at(i).column, column);
    QCOMPARE(tipdesk::app::hourBands().at(i).morning, morning);
    QCOMPARE(morningColumns().contains(column), morning);
    QCOMPARE(afternoonColumns().contains(column), !morning);
}

void TestCodeLists::hourBandHeaders()
{
    QStringList headers;
    for (const HourBand &b : tipdesk::app::hourBands())
        headers << b.header;
    QCOMPARE(headers, (QStringList{"0-7", "7-8", "8-9", "9-10", "10-11", "11-12", "12-13", "13-14", "14-15", "15-16",
                                   "16-17", "17-18", "18-19", "19-20", "20-21", "21-24"}));
    QCOMPARE(morningColumns().size(), 8);
    QCOMPARE(morningColumns().last(), QStringLiteral("TIME13"));
    QCOMPARE(afternoonColumns().first(), QStringLiteral("TIME14"));
    QCOMPARE(hourBandIndex(24), -1);
}

void TestCodeLists::schemaCreatesTables()
{
    EmptyDb e;
    std::unique_ptr<SqliteRows> db(e.open());
    const QStringList expected{"BASE_CODE",   "INDIVIDUAL",   "MESSAGE",      "ORGANIZATION",  "REPORT_REQUISITION",
                               "ROLE",        "STAT_HUB",     "STAT_HUB_DAY", "STAT_HUB_INFO", "STAT_HUB_LOSS",
                               "STAT_HUB_OP", "STAT_HUB_ORG", "STAT_HUB_POL", "STAT_HUB_ROLE", "STAT_HUB_RPT",
                               "USER_MANAGE", "USER_RECORD"};
    QStringList found;
    for (const QStringList &r :
         db->rows(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' ORDER BY name")))
        found << r.first();
    QCOMPARE(found, expected);
    // Every statistics table has one index led by its day key.
    for (const QString &t : expected) {
        if (!t.startsWith(QLatin1String("STAT_HUB")))
            continue;
        QVERIFY2(db->count(QStringLiteral("SELECT count(*) FROM pragma_index_list('%1') l, pragma_index_info(l.name) i "
                                          "WHERE i.name = 'STAT_DAY' AND i.seqno = 0")
                               .arg(t)) == 1,
                 qPrintable(t));
    }
    // A source's all-time totals are read from an index alone, never row by row from the table.
    for (const auto &[t, id, name] :
         {std::tuple{"STAT_HUB_RPT", "RPT_ID", "RPT_NAME"}, std::tuple{"STAT_HUB_ORG", "ORG_ID", "ORG_NAME"},
          std::tuple{"STAT_HUB_POL", "POL_ID", "POL_NAME"}, std::tuple{"STAT_HUB_OP", "OP_ID", "OP_NAME"},
          std::tuple{"STAT_HUB_ROLE", "REPORTER_ID", "REPORTER_NAME"}}) {
        QStringList plan;
        for (const QStringList &r : db->rows(QStringLiteral("EXPLAIN QUERY PLAN SELECT %2, %3, sum(REPORT_COUNT) "
                                                            "FROM %1 WHERE STAT_DAY <= '20991231' GROUP BY %2, %3")
                                                 .arg(QLatin1String(t), QLatin1String(id), QLatin1String(name))))
            plan << r.last();
        QVERIFY2(plan.join(u'\n').contains(QLatin1String("COVERING INDEX")), qPrintable(plan.join(u'\n')));
    }
    QCOMPARE(db->count(QStringLiteral("SELECT count(*) FROM pragma_index_list('REPORT_REQUISITION')")), 3);
    QCOMPARE(db->count(QStringLiteral("SELECT count(*) FROM pragma_index_list('REPORT_REQUISITION') WHERE partial")),
             1);
    QCOMPARE(db->value(QStringLiteral("SELECT DUMMY FROM DUAL")), QStringLiteral("X"));
    // Running the script again leaves the database as it is.
    sqlite3 *h = nullptr;
    sqlite3_open(e.path.toUtf8().constData(), &h);
    QCOMPARE(sqlite3_exec(h, schemaScript().toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(h);
}

// Statements in the shape the screens and reports use, touching every column they read.
void TestCodeLists::schemaServesStatements_data()
{
    QTest::addColumn<QString>("sql");
    const QString bands = hourBandColumns().join(QStringLiteral(", "));
    QTest::newRow("browser") << "select ROWNUM_, SEQ_NUM, REQUISITION_NUM, REPORT_DATE, REGISTE_DATE, REPORTER_TYPE, "
                                "REPORTER_NAME, INDIVIDUAL_ID, ORGANIZATION_ID, INCIDENT_TYPE, INCIDENT_SUBTYPE, "
                                "COMMENTS, OPERATOR_NAME, REGISTER_NAME, SEND_FLAG, BROAD_FLAG, SPEED from "
                                "(select 1 ROWNUM_, x.* from REPORT_REQUISITION x) where SPEED <> 0";
    QTest::newRow("names") << QStringLiteral(
        "select INDIVIDUAL_NAME from INDIVIDUAL where TYPE in ('5','A') and CUR = 'Y'");
    QTest::newRow("organisations") << QStringLiteral(
        "select R.RPT_ID, O.NAME, RO.ORGANIZATION_ID, R.RPT_NAME, sum(R.REPORT_COUNT) from STAT_HUB_RPT R "
        "left join ROLE RO on R.RPT_ID = RO.INDIVIDUAL_ID join ORGANIZATION O on RO.ORGANIZATION_ID = "
        "O.ORGANIZATION_ID "
        "group by 1, 2, 3, 4");
    QTest::newRow("roles") << QStringLiteral(
        "select REPORTER_ID, REPORTER_NAME, ROLE_ID, REPORT_COUNT from STAT_HUB_ROLE");
    QTest::newRow("sources") << QStringLiteral(
        "select ORG_ID, ORG_NAME from STAT_HUB_ORG union all select POL_ID, POL_NAME "
        "from STAT_HUB_POL union all select OP_ID, OP_NAME from STAT_HUB_OP");
    QTest::newRow("stat_hub") << QStringLiteral("select stat_day, total, %1, %2, %3, %4 from stat_hub")
                                     .arg(statisticsSources().columns().join(QLatin1Char(',')),
                                          tipdesk::app::contentCodes().columns().join(QLatin1Char(',')),
                                          handlingResults().columns().join(QLatin1Char(',')), bands);
    QTest::newRow("stat_hub_day") << QStringLiteral("select total, MORNING_TOTAL, EVENING_TOTAL, %1 from stat_hub_day "
                                                    "where result <> '1'")
                                         .arg(bands);
    QTest::newRow("stat_hub_info")
        << QStringLiteral("select total, MORNING_TOTAL, EVENING_TOTAL, %1 from stat_hub_info").arg(bands);
    QTest::newRow("stat_hub_loss") << QStringLiteral("select stat_day, total, %1 from stat_hub_loss")
                                          .arg(lostPropertyCodes().columns().join(QLatin1Char(',')));
    QTest::newRow("base_code") << QStringLiteral(
        "select BAS_NAME from BASE_CODE where BAS_LCOD = '100' and "
        "substr(BAS_SCOD,1,1) = '8' and substr(BAS_SCOD,2,2) <> '00' order by BAS_SCOD");
    QTest::newRow("message") << QStringLiteral("select M_TITLE, M_DESC from MESSAGE where M_CODE = 'ERR0158'");
    QTest::newRow("login") << QStringLiteral(
        "select * from USER_MANAGE where USERID = ? and USERPASS = ? and APPNAME = ?");
    QTest::newRow("usage") << QStringLiteral("insert into USER_RECORD (RECORDDATE, USERID, IPADDRESS, APPNAME, ACTION) "
                                             "values (datetime('now'), ?, ?, ?, ?)");
}

void TestCodeLists::schemaServesStatements()
{
    QFETCH(QString, sql);
    if (!m_schemaDb)
        m_schemaDb.reset(m_empty.open());
    QVERIFY2(m_schemaDb->prepares(sql), qPrintable(m_schemaDb->error()));
}

void TestCodeLists::schemaKeepsOneStatHubRowPerDay()
{
    EmptyDb e;
    std::unique_ptr<SqliteRows> db(e.open());
    QVERIFY(sqlite3_exec(db->handle(), "INSERT INTO STAT_HUB (STAT_DAY, TOTAL) VALUES ('20240101', 3)", nullptr,
                         nullptr, nullptr) == SQLITE_OK);
    QCOMPARE(sqlite3_exec(db->handle(), "INSERT INTO STAT_HUB (STAT_DAY, TOTAL) VALUES ('20240101', 4)", nullptr,
                          nullptr, nullptr),
             SQLITE_CONSTRAINT);
    // Unset counts read as 0.
    QCOMPARE(db->value(QStringLiteral("SELECT REPORTER6 + CONTENT9 + RESULT3 + TIME21 FROM STAT_HUB")),
             QStringLiteral("0"));
}

void TestCodeLists::citizenTotalsReadTheirIndex_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("every day") << "20231201"
                               << "20241231";
    QTest::newRow("one day") << "20240115"
                             << "20240115";
    QTest::newRow("a month") << "20240201"
                             << "20240229";
    QTest::newRow("no report") << "20250101"
                               << "20250131";
}

// The citizens' period totals count the reports themselves, over any number of years: the plan
// must read them from the citizens' index alone, already grouped, and find only the period's rows.
void TestCodeLists::citizenTotalsReadTheirIndex()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    if (!m_citizensDb) {
        m_citizensDb = std::make_unique<EmptyDb>();
        std::unique_ptr<SqliteRows> db(m_citizensDb->open());
        // 10000 reports ten minutes apart from 2024-01-01, one in five by one of 37 citizens, one of
        // them renamed halfway; the statistics as ANALYZE leaves them.
        QCOMPARE(sqlite3_exec(db->handle(),
                              "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 9999) "
                              "INSERT INTO REPORT_REQUISITION (SEQ_NUM, REPORT_DATE, REPORTER_TYPE, REPORTER_NAME, "
                              "INDIVIDUAL_ID) SELECT i, datetime('2024-01-01', '+' || (i * 600) || ' seconds'), "
                              "CASE WHEN i % 5 = 0 THEN '3' ELSE '1' END, "
                              "'name' || (i % 37) || CASE WHEN i % 37 = 0 AND i > 5000 THEN 'b' ELSE '' END, "
                              "'id' || (i % 37) FROM n; ANALYZE;",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
    }
    // The citizens' period totals as the report runs them, composed with the period.
    const QString statement = QStringLiteral("Select INDIVIDUAL_ID RPT_ID, REPORTER_NAME RPT_NAME, Count(*) RSUM\n"
                                             "From REPORT_REQUISITION\n"
                                             "Where To_char(REPORT_DATE, 'YYYYMMDD') Between '%1' And '%2'\n"
                                             "  And REPORTER_TYPE = '3' \n"
                                             "Group By INDIVIDUAL_ID, REPORTER_NAME")
                                  .arg(from, to);

    tipdesk::db::EmbeddedBackend backend(m_citizensDb->path);
    backend.open();
    QStringList plan;
    sqlite3_stmt *st = nullptr;
    const QByteArray explain = "EXPLAIN QUERY PLAN " + tipdesk::db::translateOracle(statement).sql.toUtf8();
    QCOMPARE(sqlite3_prepare_v2(backend.handle(), explain.constData(), -1, &st, nullptr), SQLITE_OK);
    while (sqlite3_step(st) == SQLITE_ROW)
        plan << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 3)));
    sqlite3_finalize(st);
    const QString planText = plan.join(u'\n');
    QVERIFY2(planText.contains(QLatin1String("IX_REPORT_REQUISITION_INDIVIDUAL_ID_REPORTER_NAME_REPORT_DATE")) &&
                 planText.contains(QLatin1String("REPORT_DATE>? AND REPORT_DATE<?")) &&
                 !planText.contains(QLatin1String("TEMP B-TREE")),
             qPrintable(planText));

    QStringList found;
    for (const QVariantList &r : backend.select(statement, {}).rows) {
        QStringList fields;
        for (const QVariant &v : r)
            fields << tipdesk::db::Field::displayText(v);
        found << fields.join(u'|');
    }
    found.sort();
    // Counted again row by row, without any index, from the text of the dates.
    SqliteRows db(m_citizensDb->path);
    QStringList expected;
    for (const QStringList &r :
         db.rows(QStringLiteral("SELECT INDIVIDUAL_ID, REPORTER_NAME, count(*) FROM REPORT_REQUISITION NOT INDEXED "
                                "WHERE REPORTER_TYPE = '3' AND substr(REPORT_DATE, 1, 4) || substr(REPORT_DATE, 6, 2) "
                                "|| substr(REPORT_DATE, 9, 2) BETWEEN '%1' AND '%2' GROUP BY 1, 2")
                     .arg(from, to)))
        expected << r.join(u'|');
    expected.sort();
    QCOMPARE(found, expected);
    QCOMPARE(expected.isEmpty(), from.startsWith(QLatin1String("2025")));
}

QTEST_GUILESS_MAIN(TestCodeLists)
#include "tst_codelists.moc"
