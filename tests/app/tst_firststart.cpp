// The first start on a desk without a database: the offer of the demo database in the user's data
// folder, through the recording UI so that no box waits for a button.
#include "DemoDb.h"
#include "RecordedBoxes.h"
#include "app/CommonDM.h"
#include "app/Startup.h"
#include "platform/db/BackendSelector.h"
#include "platform/db/Query.h"
#include "platform/ui/UiService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>
#include <stdexcept>

using namespace tipdesk;

namespace {

// The smallest demo database the builder makes, as the program's own step builds it.
QString buildSmallDemo(const QString &path)
{
    demo::buildDemoDb(demo::DemoOptions::smallest(path, QDate(2024, 1, 5)));
    return QStringLiteral("운영자ID demo");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TstFirstStart : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void missingDatabase_data();
    void missingDatabase();
    void existingDatabaseIsUsedWithoutAsking();
    void onlyTheDefaultFileIsOffered_data();
    void onlyTheDefaultFileIsOffered();

private:
    std::optional<QTemporaryDir> m_home;
    QString m_dataFolder; // where the desk's database belongs under this test's XDG_DATA_HOME
    QString m_database;
};

void TstFirstStart::init()
{
    m_home.emplace();
    QVERIFY(m_home->isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home->filePath(QStringLiteral("share"))));
    // The site's settings of this test: none, unless a case writes some.
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, m_home->filePath(QStringLiteral("etc")));
    m_dataFolder = m_home->filePath(QStringLiteral("share/tipdesk"));
    m_database = m_dataFolder + QStringLiteral("/tipdesk.db");
    QCOMPARE(db::defaultEmbeddedPath(), m_database);
}

void TstFirstStart::cleanup()
{
    m_home.reset();
}

void TstFirstStart::missingDatabase_data()
{
    QTest::addColumn<bool>("accept");
    // "absent", "blocked" (a plain file in its place), "part left"; or a database that cannot work
    QTest::addColumn<QString>("dataFolder");
    QTest::addColumn<bool>("buildFails");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("boxes"); // @DB@ the database's path, @DIR@ the data folder
    QTest::addColumn<QStringList>("folderAfter");

    const QString question = QStringLiteral("question: 데이터베이스 파일이 없습니다:\n@DB@\n\n이 자리에 시험용 데모 "
                                            "데이터베이스를 만드시겠습니까? (몇 초 걸립니다)");
    const QString created = QStringLiteral("데모 데이터베이스를 만들었습니다:\n@DB@\n운영자ID demo");
    QTest::newRow("accepted: built in a new data folder, start-up goes on")
        << true << "absent" << false << 0 << QStringList{question, created} << QStringList{"tipdesk.db"};
    QTest::newRow("accepted after an interrupted build: the half-built file is replaced")
        << true << "part left" << false << 0 << QStringList{question, created} << QStringList{"tipdesk.db"};
    QTest::newRow("declined: nothing is created, the program ends")
        << false << "absent" << false << 1
        << QStringList{question, QStringLiteral("데이터베이스 파일 @DB@ 이(가) 없어 계속할 수 없습니다.")}
        << QStringList{"<no folder>"};
    QTest::newRow("data folder cannot be made: said so, nothing written")
        << true << "blocked" << false << 1
        << QStringList{question, QStringLiteral("error: @DIR@: 데이터 폴더를 만들거나 쓸 수 없어 데모 데이터베이스를 "
                                                "만들지 못했습니다")}
        << QStringList{"<blocked>"};
    QTest::newRow("build fails: its error shown, no file left")
        << true << "absent" << true << 1
        << QStringList{question, QStringLiteral("error: @DB@: 데모 데이터베이스를 만들지 못했습니다 (--days 는 3 "
                                                "이상이어야 합니다)")}
        << QStringList{};
    const QString advice = QStringLiteral("\n\n이 파일로는 시작할 수 없어 프로그램을 끝냅니다.\n백업해 둔 데이터베이스 "
                                          "파일을 이 자리에 되살리거나, 이 파일을 다른 곳으로 옮긴 뒤 다시 시작하여 "
                                          "시험용 데모 데이터베이스를 만드십시오.");
    const auto unusable = [&](const char *file, const QString &says) {
        QTest::newRow(file) << true << file << false << 1 << QStringList{"error: @DB@: " + says + advice}
                            << QStringList{"tipdesk.db"};
    };
    unusable("foreign", "데이터베이스 파일이 아닙니다 (file is not a database)");
    unusable("damaged", "데이터베이스 파일이 손상되었습니다 (database disk image is malformed)");
    unusable("folder", "데이터베이스 파일이 아니라 폴더입니다");
    unusable("unreadable", "데이터베이스 파일을 읽을 권한이 없습니다 (unable to open database file)");
}

void TstFirstStart::missingDatabase()
{
    QFETCH(bool, accept);
    QFETCH(QString, dataFolder);
    QFETCH(bool, buildFails);
    QFETCH(int, exitCode);
    QFETCH(QStringList, boxes);
    QFETCH(QStringList, folderAfter);

    if (dataFolder == QLatin1String("blocked"))
        writeFile(m_dataFolder, "not a folder");
    else if (dataFolder == QLatin1String("part left"))
        writeFile(m_database + QStringLiteral(".part"), "half a database");
    else if (dataFolder == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(m_database));
    else if (dataFolder != QLatin1String("absent")) // a database's first bytes, cut inside its header, are damaged
        writeFile(m_database, dataFolder == QLatin1String("damaged")
                                  ? QByteArray("SQLite format 3\0", 16).leftJustified(50)
                                  : QByteArray("접수 메모\n").repeated(300));
    const QByteArray before = readFile(m_database);
    if (dataFolder == QLatin1String("unreadable") &&
        (!QFile::setPermissions(m_database, {}) || QFileInfo(m_database).isReadable()))
        QSKIP("root reads every file");

    ui::ScopedRecordingUi recorded;
    recorded->answers = {accept};
    int builds = 0;
    bool loginRan = false;
    QString connectedTo;
    app::StartupSteps steps;
    steps.buildDemoDatabase = [&](const QString &path) {
        ++builds;
        if (!buildFails)
            return buildSmallDemo(path);
        demo::DemoOptions tooShort;
        tooShort.out = path;
        tooShort.days = 1;
        demo::buildDemoDb(tooShort);
        return QString();
    };
    steps.runLogin = [&] {
        loginRan = true;
        // The login finds the connection open on the new file and the demo operator in it.
        if (app::DataMod1->CommonDB->connected()) {
            db::Query q(QStringLiteral("commonDB"), {QStringLiteral("SELECT COUNT(*) FROM USER_MANAGE WHERE USERID = "
                                                                    "'demo' AND APPNAME = 'TIPDESK'")});
            q.open();
            connectedTo = app::DataMod1->CommonDB->backend()->describe() + u' ' + q.field(0).asString();
        }
        return false;
    };
    QCOMPARE(app::runStartup(*qApp, steps), exitCode);
    QFile::setPermissions(m_database, QFile::ReadOwner | QFile::WriteOwner);

    QStringList expected = boxes;
    expected.replaceInStrings(QStringLiteral("@DB@"), m_database);
    expected.replaceInStrings(QStringLiteral("@DIR@"), m_dataFolder);
    QCOMPARE(test::shownTexts(*recorded), expected);
    QCOMPARE(builds, accept && (exitCode == 0 || buildFails) ? 1 : 0);
    // The busy cursor was shown for the build alone and is back to normal.
    QCOMPARE(recorded->busyDepth, 0);
    QCOMPARE(recorded->busyChanges, builds * 2);
    QCOMPARE(loginRan, exitCode == 0);
    if (loginRan)
        QCOMPARE(connectedTo, m_database + QStringLiteral(" 1"));

    QStringList after;
    if (dataFolder == QLatin1String("blocked")) {
        QCOMPARE(readFile(m_dataFolder), QByteArray("not a folder"));
        after << QStringLiteral("<blocked>");
    } else if (!QFileInfo::exists(m_dataFolder)) {
        after << QStringLiteral("<no folder>");
    } else {
        after = QDir(m_dataFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }
    QCOMPARE(after, folderAfter);
    if (exitCode != 0) // the program ends without writing to the database's place
        QCOMPARE(readFile(m_database), before);
    // Only the data folder was touched: nothing beside the test program.
    QVERIFY(!QFileInfo::exists(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("tipdesk.db"))));
}

void TstFirstStart::existingDatabaseIsUsedWithoutAsking()
{
    QVERIFY(QDir().mkpath(m_dataFolder));
    QCOMPARE(buildSmallDemo(m_database), QStringLiteral("운영자ID demo"));
    const QByteArray before = readFile(m_database);
    ui::ScopedRecordingUi recorded;
    bool connected = false;
    app::StartupSteps steps;
    steps.buildDemoDatabase = [](const QString &) -> QString { throw std::runtime_error("must not build"); };
    steps.runLogin = [&] {
        connected = app::DataMod1->CommonDB->connected();
        return false;
    };
    QCOMPARE(app::runStartup(*qApp, steps), 0);
    QVERIFY(connected);
    QCOMPARE(test::shownTexts(*recorded), QStringList());
    QCOMPARE(readFile(m_database), before);
}

void TstFirstStart::onlyTheDefaultFileIsOffered_data()
{
    QTest::addColumn<QString>("ini");
    QTest::addColumn<int>("offer");
    QTest::newRow("no definition") << "" << int(app::DemoOffer::Declined);
    QTest::newRow("embedded without a path") << "[commonDB]\nDriver=EMBEDDED\n" << int(app::DemoOffer::Declined);
    // A file the site named is its own: its absence is reported when connecting, never replaced by demo data.
    QTest::newRow("site's own file, missing") << "[commonDB]\nDriver=EMBEDDED\nPath=@HOME@/site.db\n"
                                              << int(app::DemoOffer::NotNeeded);
    QTest::newRow("central server") << "[commonDB]\nDriver=QOCI\nDatabaseName=TIPHUB\n"
                                    << int(app::DemoOffer::NotNeeded);
}

void TstFirstStart::onlyTheDefaultFileIsOffered()
{
    QFETCH(QString, ini);
    QFETCH(int, offer);
    // Through the system settings store, as an installation defines the alias.
    writeFile(m_home->filePath(QStringLiteral("etc/tipdesk/tipdesk.ini")),
              ini.replace(QStringLiteral("@HOME@"), m_home->path()).toUtf8());
    ui::ScopedRecordingUi recorded; // answers 아니요
    int builds = 0;
    QCOMPARE(int(app::offerDemoDatabase([&](const QString &) {
                 ++builds;
                 return QString();
             })),
             offer);
    QCOMPARE(builds, 0);
    QCOMPARE(recorded->entries.size(), offer == int(app::DemoOffer::Declined) ? 2 : 0);
    QVERIFY(!QFileInfo::exists(m_home->filePath(QStringLiteral("share"))));
    QVERIFY(!QFileInfo::exists(m_home->filePath(QStringLiteral("site.db"))));
}

QTEST_MAIN(TstFirstStart)
#include "tst_firststart.moc"
