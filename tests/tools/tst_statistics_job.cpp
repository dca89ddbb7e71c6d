// tipdesk-aggregate against what the demo builder made, on both engines: spoiled days come back, other
// days and a second run change nothing, a stopped job catches up, a second job or a lost server harm nothing.
#include "DemoDb.h"
#include "PgCluster.h"
#include "app/PostgresLoad.h"
#include "app/Tables.h"
#include "platform/db/BackendSelector.h"
#include "platform/db/EmbeddedBackend.h"

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace tipdesk;

namespace {

struct Run {
    int exitCode = -1;
    QStringList out;
    QString err;
};

Run aggregate(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(TOOL_TIPDESK_AGGREGATE), args);
    p.waitForFinished(300000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2,
            QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts),
            QString::fromUtf8(p.readAllStandardError())};
}

QString key(const QDate &d)
{
    return d.toString(QStringLiteral("yyyyMMdd"));
}

// Every statistics row, sorted (NULLs sort apart on the two engines); days from `skip` on left out.
QStringList statistics(db::Backend &b, const QDate &skip = {})
{
    QStringList rows;
    for (const app::TableDef &t : app::tables()) {
        if (!t.name.startsWith(QLatin1String("STAT_HUB")))
            continue;
        for (const QVariantList &row : b.select(QStringLiteral("SELECT * FROM ") + t.name, {}).rows) {
            QStringList fields{t.name};
            for (const QVariant &v : row)
                fields << v.toString();
            if (!skip.isValid() || fields[1] < key(skip))
                rows << fields.join(u'|');
        }
    }
    rows.sort();
    return rows;
}

// Spoils the days first..last: a table's rows gone, another's figures wrong.
QString spoil(const QDate &first, const QDate &last)
{
    return QStringLiteral("DELETE FROM STAT_HUB_ROLE WHERE STAT_DAY BETWEEN '%1' AND '%2';"
                          "DELETE FROM STAT_HUB WHERE STAT_DAY BETWEEN '%1' AND '%2';"
                          "UPDATE STAT_HUB_DAY SET TOTAL = TOTAL + 1 WHERE STAT_DAY BETWEEN '%1' AND '%2'")
        .arg(key(first), key(last));
}

} // namespace

class TstStatisticsJob : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_made;   // the demo builder's database, ending yesterday (still open when it was made)
    QStringList m_as; // its statistics
    QDate m_yesterday = QDate::currentDate().addDays(-1);
    test::PgCluster m_pg;

    QString copy(const QString &name)
    {
        const QString path = m_dir.filePath(name);
        return QFile::copy(m_made, path) ? path : QString();
    }

private slots:
    void initTestCase()
    {
        demo::DemoOptions o = demo::DemoOptions::smallest(m_dir.filePath(QStringLiteral("made.db")), m_yesterday);
        o.days = 45;
        o.perDay = 40;
        m_made = o.out;
        demo::buildDemoDb(o);
        db::EmbeddedBackend b(m_made);
        b.open();
        m_as = statistics(b);
        QVERIFY(m_as.size() > 45 * 5);
    }

    void restoresSpoiledDaysAndTouchesNoOther()
    {
        db::EmbeddedBackend b(copy(QStringLiteral("spoiled.db")));
        b.open();
        const QDate first = m_yesterday.addDays(-30), last = m_yesterday.addDays(-10);
        // A day outside the range, spoiled too, must stay spoiled.
        b.runScript(QStringLiteral("UPDATE STAT_HUB SET TOTAL = -1 WHERE STAT_DAY = '%1'").arg(key(first.addDays(-1))));
        const QStringList expected = statistics(b);
        b.runScript(spoil(first, last));
        QVERIFY(statistics(b) != expected);
        for (int pass = 0; pass < 2; ++pass) {
            const Run r = aggregate({QStringLiteral("--database"), b.path(), QStringLiteral("--from"), key(first),
                                     QStringLiteral("--to"), key(last)});
            QVERIFY2(r.exitCode == 0, qPrintable(r.err));
            QCOMPARE(r.out.size(), first.daysTo(last) + 2); // a line a day and the summary
            QCOMPARE(statistics(b), expected);
        }
    }

    void catchesUpDaysWithoutStatistics()
    {
        db::EmbeddedBackend b(copy(QStringLiteral("stopped.db")));
        b.open();
        const QDate a = m_yesterday.addDays(-20), c = m_yesterday.addDays(-7);
        for (const app::TableDef &t : app::tables()) {
            if (t.name.startsWith(QLatin1String("STAT_HUB")))
                b.runScript(
                    QStringLiteral("DELETE FROM %1 WHERE STAT_DAY IN ('%2', '%3')").arg(t.name, key(a), key(c)));
        }
        // A report whose date cannot be read is left out, not a reason to stop.
        b.runScript(
            QStringLiteral("INSERT INTO REPORT_REQUISITION (REQUISITION_NUM, SEQ_NUM, REPORT_DATE, REPORTER_TYPE) "
                           "VALUES ('damaged', 999999, '%1 99:99:99', '1')")
                .arg(a.toString(Qt::ISODate)));
        const Run r = aggregate({QStringLiteral("--database"), b.path()});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QStringList days;
        for (const QString &line : r.out.mid(0, r.out.size() - 1))
            days << line.left(10);
        QCOMPARE(days,
                 (QStringList{a.toString(Qt::ISODate), c.toString(Qt::ISODate), m_yesterday.toString(Qt::ISODate)}));
        QCOMPARE(statistics(b, m_yesterday), m_as);
    }

    void secondJobOnTheFileIsRefused()
    {
        db::EmbeddedBackend other(copy(QStringLiteral("busy.db")));
        other.open();
        other.begin(); // another writer holds the file
        const Run r =
            aggregate({QStringLiteral("--database"), other.path(), QStringLiteral("--from"), key(m_yesterday)});
        other.rollback();
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(QStringLiteral("다른 tipdesk-aggregate 작업이 실행 중입니다")), qPrintable(r.err));
    }

    void postgresGivesTheSameRowsAndSurvivesAStop()
    {
        TIPDESK_START_PG(m_pg);
        QVERIFY2(m_pg.createDatabase(QStringLiteral("job")), qPrintable(m_pg.error()));
        const QString conninfo = m_pg.conninfo(QStringLiteral("job"));
        try {
            app::loadIntoPostgres(m_made, conninfo);
        } catch (const std::exception &e) {
            QFAIL(e.what());
        }
        const QDate first = m_yesterday.addDays(-40), last = m_yesterday.addDays(-1);
        const QStringList range{QStringLiteral("--pg"), conninfo, QStringLiteral("--from"), key(first),
                                QStringLiteral("--to"), key(last)};
        QSqlDatabase holder = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("holder"));
        holder.setHostName(m_pg.host());
        holder.setPort(m_pg.port());
        holder.setDatabaseName(QStringLiteral("job"));
        holder.setUserName(m_pg.user());
        QVERIFY(holder.open());
        for (const QString &s : spoil(first, last).split(u';'))
            QVERIFY2(QSqlQuery(holder).exec(s), qPrintable(s));
        std::unique_ptr<db::Backend> b = db::postgresBackend(conninfo);
        b->open();
        const QStringList spoiled = statistics(*b);

        // A second job, while the first holds the job's lock, changes nothing.
        QSqlQuery q(holder);
        QVERIFY(holder.transaction());
        QVERIFY(q.exec(QStringLiteral("SELECT pg_advisory_xact_lock(hashtext('tipdesk:tipdesk-aggregate'))")));
        Run r = aggregate(range);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(QStringLiteral("다른 tipdesk-aggregate 작업이 실행 중입니다")), qPrintable(r.err));
        QVERIFY(holder.rollback());

        // The server stops while the job waits for a table the holder keeps: nothing of the run stays.
        QVERIFY(holder.transaction());
        QVERIFY(q.exec(QStringLiteral("LOCK TABLE STAT_HUB_ROLE IN ACCESS EXCLUSIVE MODE")));
        QProcess job;
        job.start(QStringLiteral(TOOL_TIPDESK_AGGREGATE), range);
        // Polled outside the holder's transaction, which would see one snapshot of the activity.
        QSqlDatabase watcher = QSqlDatabase::cloneDatabase(holder, QStringLiteral("watcher"));
        QVERIFY(watcher.open());
        QSqlQuery w(watcher);
        QTRY_VERIFY_WITH_TIMEOUT(w.exec(QStringLiteral("SELECT 1 FROM pg_stat_activity WHERE application_name = "
                                                       "'tipdesk' AND wait_event_type = 'Lock'")) &&
                                     w.next(),
                                 60000);
        w.finish();
        q.finish();
        QVERIFY2(m_pg.stop(), qPrintable(m_pg.error()));
        QVERIFY(job.waitForFinished(60000));
        QCOMPARE(job.exitCode(), 1);
        QVERIFY2(m_pg.start(), qPrintable(m_pg.error()));
        b->close();
        QCOMPARE(statistics(*b), spoiled);

        r = aggregate(range);
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QCOMPARE(statistics(*b), m_as);
    }
};

QTEST_GUILESS_MAIN(TstStatisticsJob)
#include "tst_statistics_job.moc"
