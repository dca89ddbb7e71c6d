#include "FixtureDb.h"
#include "platform/db/BackendSelector.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/EmbeddedBackend.h"
#include "platform/db/PostgresBackend.h"
#include "platform/db/ServerBackend.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace tipdesk;

class TstBackendSelection : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup()
    {
        db::setEmbeddedOverride(QString());
        db::setPostgresOverride(QString());
    }
    void aliasDefinitionChoosesTheBackend_data();
    void aliasDefinitionChoosesTheBackend();
    void defaultFileBesideTheExecutableIsKept_data();
    void defaultFileBesideTheExecutableIsKept();
    void overridesLeadWhereTheyName();
    void unknownDriverIsRefused();
    void overrideWinsOverTheSettings();
    void connectingTwiceDoesNothingAndFailuresCarryTheText();

private:
    QTemporaryDir m_dir;
    // The default file in the data folder under this test's own XDG_DATA_HOME.
    QString m_dataDefault;
};

namespace {
db::ConnectionParams commonDb()
{
    return {QStringLiteral("commonDB"), QStringLiteral("ORACLE"), QStringLiteral("TIPHUB"), QStringLiteral("vexlan"),
            QStringLiteral("plomar")};
}
} // namespace

void TstBackendSelection::initTestCase()
{
    QVERIFY(m_dir.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("share"))));
    m_dataDefault = m_dir.filePath(QStringLiteral("share/tipdesk/tipdesk.db"));
    // The rules below assume a build folder without a desk's database of its own.
    QVERIFY(!QFileInfo::exists(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("tipdesk.db"))));
}

void TstBackendSelection::aliasDefinitionChoosesTheBackend_data()
{
    QTest::addColumn<QString>("ini");
    QTest::addColumn<QString>("kind");          // embedded | server
    QTest::addColumn<QString>("expectedWhere"); // file path, or driver:database for the server
    QTest::newRow("no definition") << ""
                                   << "embedded"
                                   << "<default>";
    QTest::newRow("other alias only") << "[otherDB]\nDriver=QOCI\n"
                                      << "embedded"
                                      << "<default>";
    QTest::newRow("embedded with path") << "[commonDB]\nDriver=EMBEDDED\nPath=/data/desk.db\n"
                                        << "embedded"
                                        << "/data/desk.db";
    QTest::newRow("embedded without path") << "[commonDB]\nDriver=embedded\n"
                                           << "embedded"
                                           << "<default>";
    QTest::newRow("postgres server") << "[commonDB]\nDriver=QPSQL\nDatabaseName=tipdesk\n"
                                     << "postgres"
                                     << "";
    QTest::newRow("oracle by service") << "[commonDB]\nDriver=QOCI\nDatabaseName=HUB2\n"
                                       << "server"
                                       << "QOCI:HUB2";
    QTest::newRow("oracle, service from the parameters") << "[commonDB]\nDriver=QOCI\n"
                                                         << "server"
                                                         << "QOCI:TIPHUB";
    QTest::newRow("odbc data source") << "[commonDB]\nDriver=QODBC\nDatabaseName=hubdsn\n"
                                      << "server"
                                      << "QODBC:hubdsn";
    QTest::newRow("alias in other case") << "[COMMONDB]\nDriver=QODBC\nDatabaseName=x\n"
                                         << "server"
                                         << "QODBC:x";
}

void TstBackendSelection::aliasDefinitionChoosesTheBackend()
{
    QFETCH(QString, ini);
    QFETCH(QString, kind);
    QFETCH(QString, expectedWhere);
    const QString file = m_dir.filePath(QStringLiteral("%1.ini").arg(QTest::currentDataTag()));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(ini.toUtf8());
    f.close();
    QSettings settings(file, QSettings::IniFormat);

    std::unique_ptr<db::Backend> backend = db::selectBackend(commonDb(), &settings);
    // Start-up and the tools ask where the alias leads before connecting; the answer is the file
    // the backend opens, and whether it is the default one (which start-up offers to build).
    const std::optional<db::EmbeddedTarget> target = db::embeddedTarget(QStringLiteral("commonDB"), &settings);
    if (kind == QLatin1String("embedded")) {
        auto *embedded = dynamic_cast<db::EmbeddedBackend *>(backend.get());
        QVERIFY(embedded);
        const bool isDefault = expectedWhere == QLatin1String("<default>");
        const QString where = isDefault ? m_dataDefault : expectedWhere;
        QCOMPARE(embedded->path(), where);
        QVERIFY(target);
        QCOMPARE(target->path, where);
        QCOMPARE(target->isDefault, isDefault);
        // Nothing is created by choosing: not the file, not the data folder.
        QVERIFY(!QFileInfo::exists(QFileInfo(m_dataDefault).absolutePath()));
        return;
    }
    QVERIFY(!target);
    if (kind == QLatin1String("postgres")) {
        QVERIFY(dynamic_cast<db::PostgresBackend *>(backend.get()));
    } else {
        auto *server = dynamic_cast<db::ServerBackend *>(backend.get());
        QVERIFY(server);
        QCOMPARE(server->qtDriver() + u':' + server->databaseName(), expectedWhere);
        QCOMPARE(server->userName(), QStringLiteral("vexlan")); // the connection's stored user
    }
}

void TstBackendSelection::defaultFileBesideTheExecutableIsKept_data()
{
    QTest::addColumn<QString>("besideExecutable"); // "file", "folder" or "" for nothing there
    QTest::addColumn<bool>("usedBeside");
    QTest::newRow("a database there (a desk set up before, a development build)") << "file" << true;
    QTest::newRow("nothing there (an installed program)") << "" << false;
    QTest::newRow("a folder of that name is not a database") << "folder" << false;
}

void TstBackendSelection::defaultFileBesideTheExecutableIsKept()
{
    QFETCH(QString, besideExecutable);
    QFETCH(bool, usedBeside);
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("tipdesk.db"));
    const auto removeBeside = qScopeGuard([&] {
        QFile::remove(beside);
        QDir().rmdir(beside);
    });
    if (besideExecutable == QLatin1String("file")) {
        QFile f(beside);
        QVERIFY(f.open(QIODevice::WriteOnly));
    } else if (besideExecutable == QLatin1String("folder")) {
        QVERIFY(QDir().mkdir(beside));
    }
    QSettings none(m_dir.filePath(QStringLiteral("none.ini")), QSettings::IniFormat);
    auto backend = db::selectBackend(commonDb(), &none);
    auto *embedded = dynamic_cast<db::EmbeddedBackend *>(backend.get());
    QVERIFY(embedded);
    QCOMPARE(embedded->path(), usedBeside ? beside : m_dataDefault);
    QCOMPARE(db::embeddedTarget(QStringLiteral("commonDB"), &none)->path, embedded->path());
}

void TstBackendSelection::overridesLeadWhereTheyName()
{
    QSettings none(m_dir.filePath(QStringLiteral("none.ini")), QSettings::IniFormat);
    db::setEmbeddedOverride(QStringLiteral("/tmp/given.db"));
    std::optional<db::EmbeddedTarget> target = db::embeddedTarget(QStringLiteral("commonDB"), &none);
    QVERIFY(target);
    QCOMPARE(target->path, QStringLiteral("/tmp/given.db"));
    QVERIFY(!target->isDefault);
    db::setEmbeddedOverride(QString());
    db::setPostgresOverride(QStringLiteral("host=127.0.0.1 dbname=tipdesk"));
    QVERIFY(!db::embeddedTarget(QStringLiteral("commonDB"), &none));
}

void TstBackendSelection::unknownDriverIsRefused()
{
    const QString file = m_dir.filePath(QStringLiteral("unknown.ini"));
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue(QStringLiteral("commonDB/Driver"), QStringLiteral("QDB2"));
    settings.sync();
    try {
        db::selectBackend(commonDb(), &settings);
        QFAIL("no error");
    } catch (const db::DbError &e) {
        QVERIFY2(e.text().contains(QStringLiteral("QDB2")), qPrintable(e.text()));
    }
}

void TstBackendSelection::overrideWinsOverTheSettings()
{
    const QString file = m_dir.filePath(QStringLiteral("override.ini"));
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue(QStringLiteral("commonDB/Driver"), QStringLiteral("QOCI"));
    settings.sync();
    db::setEmbeddedOverride(QStringLiteral("/tmp/given.db"));
    auto backend = db::selectBackend(commonDb(), &settings);
    auto *embedded = dynamic_cast<db::EmbeddedBackend *>(backend.get());
    QVERIFY(embedded);
    QCOMPARE(embedded->path(), QStringLiteral("/tmp/given.db"));
}

void TstBackendSelection::connectingTwiceDoesNothingAndFailuresCarryTheText()
{
    test::FixtureDb fx(QStringLiteral("create table t(v integer);"), QStringLiteral("selDB"));
    db::Connection *c = fx.connection();
    db::Backend *before = c->backend();
    QVERIFY(c->connected());
    c->setConnected(true); // already open: nothing happens
    QCOMPARE(c->backend(), before);
    QVERIFY(c->connected());
    QCOMPARE(db::Connection::find(QStringLiteral("SELDB")), c);

    // A file that is not there cannot be opened; the error carries the engine's own text.
    db::Connection missing;
    missing.setAliasName(QStringLiteral("missingDB"));
    missing.setBackend(std::make_unique<db::EmbeddedBackend>(m_dir.filePath(QStringLiteral("no/such/file.db"))));
    try {
        missing.setConnected(true);
        QFAIL("no error");
    } catch (const db::DbError &e) {
        QVERIFY2(e.text().contains(QStringLiteral("unable to open"), Qt::CaseInsensitive), qPrintable(e.text()));
    }
    QVERIFY(!missing.connected());
}

QTEST_GUILESS_MAIN(TstBackendSelection)
#include "tst_backend_selection.moc"
