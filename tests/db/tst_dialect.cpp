// The dialect as staff type it: every case of tests/db/dialect/*.cases, a statement with the result
// or the error Oracle documents for it, on the embedded engine and on a PostgreSQL server.
#include "FixtureDb.h"
#include "PgCluster.h"
#include "platform/db/BackendSelector.h"
#include "platform/db/Clock.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/OracleFunctions.h"
#include "platform/db/Query.h"

#include <QDir>
#include <QElapsedTimer>
#include <QtTest>

using namespace tipdesk;
using namespace tipdesk::test;

class TstDialect : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void cases_data();
    void cases();

private:
    PgCluster m_pg;
    std::unique_ptr<FixtureDb> m_lite;
    std::unique_ptr<db::Connection> m_server;
};

namespace {

const QString kLite = QStringLiteral("dialectLite"), kServer = QStringLiteral("dialectServer");

QString valueText(const QVariant &v)
{
    if (v.isNull())
        return QStringLiteral("null");
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
        return db::oracle::numberText(v.toLongLong());
    case QMetaType::Double:
        return db::oracle::numberText(v.toDouble());
    case QMetaType::QDateTime:
        return u'\'' + v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + u'\'';
    default:
        return u'\'' + v.toString().replace(u'\'', QLatin1String("''")) + u'\'';
    }
}

// The rows as the case files write them, or the Oracle error's code.
QString outcome(const QString &alias, const QString &sql)
{
    db::Query q(alias, sql.split(u'\n'));
    try {
        q.open();
    } catch (const db::DbError &e) {
        const qsizetype at = e.text().indexOf(QLatin1String("ORA-"));
        return at >= 0 ? e.text().mid(at, 9) : e.text();
    }
    QStringList rows;
    for (int r = 0; r < q.recordCount(); ++r) {
        QStringList fields;
        for (int c = 0; c < q.fieldCount(); ++c)
            fields.append(valueText(q.value(r, c)));
        rows.append(fields.join(QStringLiteral(" | ")));
    }
    return rows.join(QStringLiteral(" ; "));
}

} // namespace

void TstDialect::initTestCase()
{
    db::Clock::setFixed(QDateTime(QDate(2024, 2, 29), QTime(13, 45, 30)));
    m_lite = std::make_unique<FixtureDb>(QString(), kLite);
    if (!m_pg.binariesFound()) {
        qWarning("%s: the cases run on the embedded engine only", qPrintable(m_pg.skipReason()));
        return;
    }
    QVERIFY2(m_pg.start(), qPrintable(m_pg.error()));
    QVERIFY2(m_pg.createDatabase(QStringLiteral("dialect")), qPrintable(m_pg.error()));
    m_server = std::make_unique<db::Connection>();
    m_server->setAliasName(kServer);
    m_server->setBackend(db::postgresBackend(m_pg.conninfo(QStringLiteral("dialect"))));
    m_server->setConnected(true);
}

void TstDialect::cleanupTestCase()
{
    db::Clock::clearFixed();
    m_server.reset();
    m_lite.reset();
}

void TstDialect::cases_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("expected");
    const QDir dir(qEnvironmentVariable("TIPDESK_SOURCE_DIR") + QStringLiteral("/tests/db/dialect"));
    const QStringList files = dir.entryList({QStringLiteral("*.cases")}, QDir::Files, QDir::Name);
    QVERIFY(!files.isEmpty());
    for (const QString &file : files) {
        const QStringList lines = sourceFile(QStringLiteral("tests/db/dialect/") + file).split(u'\n');
        for (int i = 0; i < lines.size(); ++i) {
            const QString line = lines[i].trimmed();
            if (line.isEmpty() || line.startsWith(u'#'))
                continue;
            const qsizetype arrow = line.lastIndexOf(QLatin1String("==>"));
            QVERIFY2(arrow > 0, qPrintable(QStringLiteral("%1:%2 has no ==>").arg(file).arg(i + 1)));
            QTest::addRow("%s:%d", qPrintable(file), i + 1)
                << line.left(arrow).trimmed() << line.mid(arrow + 3).trimmed();
        }
    }
    // Chains of one operator as long as a pasted list makes them.
    QStringList alternatives, terms, texts;
    for (int i = 1; i <= 10000; ++i) {
        alternatives << QStringLiteral("c = %1").arg(i);
        terms << QString::number(i);
        texts << QStringLiteral("'ab'");
    }
    QTest::newRow("chain of 10000 ORs") << "select count(*) from (select 9999 c from dual) where " +
                                               alternatives.join(QStringLiteral(" or "))
                                        << "1";
    QTest::newRow("chain of 10000 terms") << "select " + terms.join(QStringLiteral(" + ")) + " from dual"
                                          << "50005000";
    QTest::newRow("chain of 10000 texts") << "select length(" + texts.join(QStringLiteral(" || ")) + ") from dual"
                                          << "20000";
}

void TstDialect::cases()
{
    QFETCH(QString, sql);
    QFETCH(QString, expected);
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(outcome(kLite, sql), expected);
    const qint64 embedded = timer.restart();
    if (m_server)
        QCOMPARE(outcome(kServer, sql), expected);
    if (QByteArray(QTest::currentDataTag()).startsWith("chain"))
        qInfo("%s: %lld ms embedded, %lld ms on the server", QTest::currentDataTag(), embedded, timer.elapsed());
}

QTEST_GUILESS_MAIN(TstDialect)
#include "tst_dialect.moc"
