#include "FixtureDb.h"
#include "platform/db/DbError.h"
#include "platform/db/Query.h"
#include "platform/db/QueryModel.h"

#include <QtTest>

using namespace tipdesk;

class TstQuery : public QObject {
    Q_OBJECT
private slots:
    void parameterNamesSkipLiteralsAndRepeat();
    void parametersFoundWithoutCaseOneValueForEveryUse();
    void resultSetFlagsAndFieldsByName();
    void displayTextOfNumbers_data();
    void displayTextOfNumbers();
    void errorsCarryTheBackendText();
    void modelFetchesInPages();
};

void TstQuery::parameterNamesSkipLiteralsAndRepeat()
{
    const QStringList names = db::scanParameterNames(QStringLiteral(
        "select to_char(x, 'HH24:MI') from t -- :c\n where a = :Start_Day and b = :start_day or c = :e"));
    QCOMPARE(names, (QStringList{QStringLiteral("Start_Day"), QStringLiteral("e")}));
}

void TstQuery::parametersFoundWithoutCaseOneValueForEveryUse()
{
    test::FixtureDb fx(QStringLiteral("create table t(k text, v integer);"
                                      "insert into t values('a',1),('b',2),('c',3);"));
    db::Query q(QStringLiteral("commonDB"),
                {QStringLiteral("select k from t"), QStringLiteral("where v >= :Lo and (k = 'a' or v >= :lo)")});
    q.paramByName(QStringLiteral("LO")).setAsInteger(2);
    q.open();
    QCOMPARE(q.recordCount(), 2);
    QCOMPARE(q.fieldByName(QStringLiteral("K")).asString(), QStringLiteral("b"));
    QVERIFY_THROWS_EXCEPTION(db::DbError, q.paramByName(QStringLiteral("missing")));
}

void TstQuery::resultSetFlagsAndFieldsByName()
{
    test::FixtureDb fx(QStringLiteral("create table t(k text, v integer); insert into t values('x', null);"));
    db::Query q(QStringLiteral("commonDB"), {QStringLiteral("select k, v from t where k = :k")});
    q.paramByName(QStringLiteral("k")).setAsString(QStringLiteral("none"));
    q.open();
    QVERIFY(q.bof() && q.eof());
    q.close();
    q.close(); // harmless when closed
    q.paramByName(QStringLiteral("k")).setAsString(QStringLiteral("x"));
    q.open();
    QVERIFY(q.bof() && !q.eof());
    QCOMPARE(q.fieldByName(QStringLiteral("v")).asString(), QString());
    QCOMPARE(q.fieldByName(QStringLiteral("v")).asInteger(), 0);
    QCOMPARE(q.field(0).asString(), QStringLiteral("x"));
    q.next();
    QVERIFY(q.eof());
}

void TstQuery::displayTextOfNumbers_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole float") << QVariant(50.0) << "50";
    QTest::newRow("integer") << QVariant(qint64(-7)) << "-7";
    QTest::newRow("fraction") << QVariant(0.46) << "0.46";
    QTest::newRow("15 digits") << QVariant(2.0 / 3.0) << "0.666666666666667";
    QTest::newRow("small") << QVariant(0.00001) << "0.00001";
    QTest::newRow("null") << QVariant() << "";
}

void TstQuery::displayTextOfNumbers()
{
    QFETCH(QVariant, value);
    QFETCH(QString, text);
    QCOMPARE(db::Field::displayText(value), text);
}

void TstQuery::errorsCarryTheBackendText()
{
    test::FixtureDb fx;
    db::Query q(QStringLiteral("commonDB"), {QStringLiteral("select * from no_such_table")});
    try {
        q.open();
        QFAIL("no error");
    } catch (const db::DbError &e) {
        QVERIFY2(e.text().contains(QStringLiteral("no_such_table"), Qt::CaseInsensitive), qPrintable(e.text()));
    }
    QVERIFY(!q.active());
}

void TstQuery::modelFetchesInPages()
{
    test::FixtureDb fx(QStringLiteral("create table t(v integer);"
                                      "with recursive c(i) as (select 1 union all select i+1 from c where i<1000)"
                                      " insert into t select i from c;"));
    db::Query q(QStringLiteral("commonDB"), {QStringLiteral("select v from t order by v")});
    db::QueryModel model(&q);
    QCOMPARE(model.rowCount(), 0);
    q.open();
    QVERIFY(model.rowCount() > 0 && model.rowCount() < 1000);
    while (model.canFetchMore({}))
        model.fetchMore({});
    QCOMPARE(model.rowCount(), 1000);
    QCOMPARE(model.data(model.index(999, 0)).toString(), QStringLiteral("1000"));
    q.close();
    QCOMPARE(model.rowCount(), 0);
}

QTEST_GUILESS_MAIN(TstQuery)
#include "tst_query.moc"
