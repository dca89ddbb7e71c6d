#include "FixtureDb.h"
#include "platform/db/BackendSelector.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/EmbeddedBackend.h"
#include "platform/db/ServerBackend.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace tipdesk;

class TstBackendSelection : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { db::setEmbeddedOverride(QString()); }
    void aliasDefinitionChoosesTheBackend_data();
    void aliasDefinitionChoosesTheBackend();
    void unknownDriverIsRefused();
    void overrideWinsOverTheSettings();
    void connectingTwiceDoesNothingAndFailuresCarryTheText();

private:
    QTemporaryDir m_dir;
};

namespace {
db::ConnectionParams commonDb()
{
    return {QStringLiteral("commonDB"), QStringLiteral("ORACLE"), QStringLiteral("TIPHUB"), QStringLiteral("vexlan"),
            QStringLiteral("plomar")};
}
} // namespace

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
    if (kind == QLatin1String("embedded")) {
        auto *embedded = dynamic_cast<db::EmbeddedBackend *>(backend.get());
        QVERIFY(embedded);
        const QString where = expectedWhere == QLatin1String("<default>")
                                  ? QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("tipdesk.db"))
                                  : expectedWhere;
        QCOMPARE(embedded->path(), where);
    } else {
        auto *server = dynamic_cast<db::ServerBackend *>(backend.get());
        QVERIFY(server);
        QCOMPARE(server->qtDriver() + u':' + server->databaseName(), expectedWhere);
        QCOMPARE(server->userName(), QStringLiteral("vexlan")); // the connection's stored user
    }
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
