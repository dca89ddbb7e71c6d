// The throwaway PostgreSQL server of the tests: its data outlives a restart, two clusters do not
// share a port, a password is enforced, and a test program that dies leaves no server behind.
#include "PgCluster.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <csignal>
#include <cstdio>

using tipdesk::test::PgCluster;
using tipdesk::test::PgClusterOptions;

namespace {

QSqlDatabase openDb(const PgCluster &cluster, const QString &database, const QString &password,
                    const QString &connectionName)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    db.setHostName(cluster.host());
    db.setPort(cluster.port());
    db.setDatabaseName(database);
    db.setUserName(cluster.user());
    db.setPassword(password);
    db.open();
    return db;
}

bool processAlive(qint64 pid)
{
    return QFile::exists(QStringLiteral("/proc/%1").arg(pid)) && ::kill(pid_t(pid), 0) == 0;
}

} // namespace

class TstPgCluster : public QObject {
    Q_OBJECT
    PgCluster m_cluster;

private slots:
    void initTestCase()
    {
        TIPDESK_START_PG(m_cluster);
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
            QSKIP("Qt's PostgreSQL driver (libqt6sql6-psql) is missing: skipped");
    }

    void restartKeepsDataAndPort()
    {
        QVERIFY2(m_cluster.createDatabase(QStringLiteral("kept")), qPrintable(m_cluster.error()));
        {
            QSqlDatabase db = openDb(m_cluster, QStringLiteral("kept"), {}, QStringLiteral("before"));
            QVERIFY2(db.isOpen(), qPrintable(db.lastError().text()));
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("CREATE TABLE t (v TEXT)")));
            QVERIFY(q.exec(QStringLiteral("INSERT INTO t VALUES ('제보')")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("before"));
        const int port = m_cluster.port();
        QVERIFY2(m_cluster.stop(), qPrintable(m_cluster.error()));
        QVERIFY(!m_cluster.isRunning());
        QVERIFY2(m_cluster.start(), qPrintable(m_cluster.error()));
        QCOMPARE(m_cluster.port(), port);
        {
            QSqlDatabase db = openDb(m_cluster, QStringLiteral("kept"), {}, QStringLiteral("after"));
            QVERIFY2(db.isOpen(), qPrintable(db.lastError().text()));
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("SELECT v FROM t")));
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toString(), QStringLiteral("제보"));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("after"));
        // Made again, the database is empty even while a connection holds the old one.
        QSqlDatabase holder = openDb(m_cluster, QStringLiteral("kept"), {}, QStringLiteral("holder"));
        QVERIFY2(m_cluster.createDatabase(QStringLiteral("kept")), qPrintable(m_cluster.error()));
        holder.close();
        {
            QSqlDatabase db = openDb(m_cluster, QStringLiteral("kept"), {}, QStringLiteral("again"));
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("SELECT count(*) FROM pg_tables WHERE tablename = 't'")));
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toInt(), 0);
            QVERIFY(q.exec(QStringLiteral("SHOW server_encoding")));
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toString(), QStringLiteral("UTF8"));
        }
        holder = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("holder"));
        QSqlDatabase::removeDatabase(QStringLiteral("again"));
    }

    void secondClusterWithPassword()
    {
        PgCluster other(PgClusterOptions{QStringLiteral("s3cret word's")});
        QVERIFY2(other.start(), qPrintable(other.error()));
        QVERIFY(other.port() != m_cluster.port());
        QVERIFY(other.dataDir() != m_cluster.dataDir());
        QVERIFY2(other.createDatabase(QStringLiteral("x")), qPrintable(other.error()));
        QCOMPARE(other.conninfo(QStringLiteral("x")),
                 QStringLiteral("host=127.0.0.1 port=%1 dbname=x user=tipdesk password='s3cret word\\'s'")
                     .arg(other.port()));
        QVERIFY(!m_cluster.conninfo(QStringLiteral("x")).contains(QLatin1String("password")));
        {
            QSqlDatabase wrong = openDb(other, QStringLiteral("x"), QStringLiteral("guess"), QStringLiteral("wrong"));
            QVERIFY(!wrong.isOpen());
            QSqlDatabase right = openDb(other, QStringLiteral("x"), other.password(), QStringLiteral("right"));
            QVERIFY2(right.isOpen(), qPrintable(right.lastError().text()));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("wrong"));
        QSqlDatabase::removeDatabase(QStringLiteral("right"));
    }

    // The program killed with a server running: the server stops and its folder goes.
    void killedProgramLeavesNoServer()
    {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--abandon-cluster")});
        QVERIFY(child.waitForFinished(120'000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        const QStringList out = QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed().split(QLatin1Char(' '));
        QCOMPARE(out.size(), 2);
        const QString dataDir = out[0];
        const qint64 pid = out[1].toLongLong();
        QVERIFY(pid > 0);
        QTRY_VERIFY_WITH_TIMEOUT(!processAlive(pid), 30'000);
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(dataDir).exists(), 30'000);
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "--abandon-cluster") == 0) {
        auto *cluster = new PgCluster; // never destroyed: the program dies with the server running
        if (!cluster->start())
            return 2;
        QFile pidFile(cluster->dataDir() + QStringLiteral("/postmaster.pid"));
        if (!pidFile.open(QIODevice::ReadOnly))
            return 3;
        std::printf("%s %s\n", qPrintable(cluster->dataDir()), pidFile.readLine().trimmed().constData());
        std::fflush(stdout);
        std::raise(SIGKILL);
    }
    TstPgCluster t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_pg_cluster.moc"
