// The desk on a real PostgreSQL server that stops, refuses a password or is not there: start-up
// and login, the statistics console, the reception browser and the tools. Every test ends by
// searching every box shown and every line logged for the passwords in play.
#include "DemoDb.h"
#include "PgCluster.h"
#include "RecordedBoxes.h"
#include "app/CommonDM.h"
#include "app/PostgresLoad.h"
#include "app/Startup.h"
#include "app/UntMain.h"
#include "app/fPass.h"
#include "platform/db/BackendSelector.h"
#include "platform/db/Clock.h"
#include "platform/db/Query.h"
#include "platform/report/PageModel.h"
#include "platform/report/ReportForm.h"
#include "platform/report/ui/Preview.h"
#include "platform/ui/UiService.h"
#include "reception/UAcIn.h"
#include "stats/Export.h"
#include "stats/ReportSession.h"
#include "stats/UDMReport.h"
#include "stats/UStatHUBp.h"
#include "ui_UntMain.h"
#include "ui_fPass.h"

#include <QComboBox>
#include <QProcess>
#include <QRadioButton>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QtTest>

#include <atomic>

using namespace tipdesk;
using Outcome = stats::TfStatHUBp::Outcome;
using Kind = ui::RecordingUiService::Kind;

namespace {

const QString kClusterPassword = QStringLiteral("Qx7-larkspur-5531"); // the cluster's superuser
const QString kWrongPassword = QStringLiteral("Wv2-juniper-8804");
const QString kSitePassword = QStringLiteral("Sm4-quince-2286");
const QString kStoredPassword = QStringLiteral("plomar"); // the one the shared data module stores
const QString kOperatorPassword = QStringLiteral("Op5-sorrel-6619");
// A password with a blank that a connection string leaves unquoted.
const QString kBlankPasswordHead = QStringLiteral("Zt8-aster");
const QString kBlankPasswordTail = QStringLiteral("hollyhock-3307");

const QStringList kSecrets{kClusterPassword,  kWrongPassword,     kSitePassword,     kStoredPassword,
                           kOperatorPassword, kBlankPasswordHead, kBlankPasswordTail};

const QString kDatabase = QStringLiteral("desk");
const QString kOperator = QStringLiteral("desk1");
const QDate kDay(2024, 3, 14); // a day of the demo data with statistics
const QString kConnectFailed = QStringLiteral("데이타베이스 연결에 실패했습니다!");

QStringList &logged()
{
    static QStringList lines;
    return lines;
}
QtMessageHandler previousHandler = nullptr;

void recordMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    logged().append(message);
    if (previousHandler)
        previousHandler(type, context, message);
}

// The secrets that any of the texts holds.
QStringList secretsIn(const QStringList &texts)
{
    QStringList found;
    for (const QString &secret : kSecrets) {
        if (std::any_of(texts.cbegin(), texts.cend(), [&](const QString &t) { return t.contains(secret); }))
            found << secret;
    }
    return found;
}

QStringList errorBoxes(const ui::RecordingUiService &recorded)
{
    QStringList out;
    for (const auto &e : recorded.entries) {
        if (e.kind == Kind::Error)
            out << e.text;
    }
    return out;
}

// A plain connection of the test's own, past the program's backend.
QSqlDatabase session(const test::PgCluster &pg, const QString &name)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    db.setHostName(pg.host());
    db.setPort(pg.port());
    db.setDatabaseName(kDatabase);
    db.setUserName(pg.user());
    db.setPassword(pg.password());
    db.open();
    return db;
}

// Runs statements as the superuser; the first error, or an empty text.
QString runAsSuperuser(const test::PgCluster &pg, const QStringList &statements)
{
    QString error;
    {
        QSqlDatabase db = session(pg, QStringLiteral("superuser"));
        if (!db.isOpen())
            error = db.lastError().text();
        for (const QString &s : statements) {
            QSqlQuery q(db);
            if (error.isEmpty() && !q.exec(s))
                error = q.lastError().text() + QStringLiteral(" in ") + s;
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("superuser"));
    return error;
}

QString firstRow(const test::PgCluster &pg, const QString &select)
{
    QString value;
    {
        QSqlDatabase db = session(pg, QStringLiteral("reader"));
        QSqlQuery q(db);
        if (q.exec(select) && q.next())
            value = q.value(0).toString();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("reader"));
    return value;
}

// What the driver says of a server that does not answer on the cluster's port.
QString driverRefusal(const test::PgCluster &pg)
{
    QString text;
    {
        QSqlDatabase db = session(pg, QStringLiteral("refused"));
        text = db.lastError().databaseText().section(u'\n', 0, 0).trimmed();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("refused"));
    return text;
}

// Holds a lock on a table in an open transaction and stops the server as soon as a statement of
// the desk waits for it, so that the server goes away in the middle of that statement. The stop
// comes after a while in any case, so that a desk that never waits is not left hanging.
class StopDuringStatement {
public:
    static constexpr const char *kBlocker = "tipdesk_blocker";
    // After the restart: the prepared transaction outlives the server and keeps its lock.
    static QString release(test::PgCluster &pg)
    {
        return runAsSuperuser(pg, {QStringLiteral("ROLLBACK PREPARED '%1'").arg(QLatin1String(kBlocker))});
    }

    StopDuringStatement(test::PgCluster &pg, const QString &table) : m_pg(pg)
    {
        // The lock is handed to a prepared transaction: no backend holds it, so none can let it go
        // while the server shuts down and let the desk's statement finish first.
        QSqlDatabase db = session(pg, QStringLiteral("blocker"));
        QSqlQuery q(db);
        m_locked = q.exec(QStringLiteral("BEGIN")) &&
                   q.exec(QStringLiteral("LOCK TABLE %1 IN ACCESS EXCLUSIVE MODE").arg(table)) &&
                   q.exec(QStringLiteral("PREPARE TRANSACTION '%1'").arg(kBlocker));
        m_thread.reset(QThread::create([this] { watch(); }));
        m_thread->start();
    }
    ~StopDuringStatement()
    {
        m_thread->wait();
        QSqlDatabase::removeDatabase(QStringLiteral("blocker"));
    }
    // True once the server stopped while the desk's statement waited for the lock.
    bool stoppedWhileWaiting()
    {
        m_thread->wait();
        return m_locked && m_sawWait && m_stopped;
    }

private:
    void watch()
    {
        {
            QSqlDatabase db = session(m_pg, QStringLiteral("watcher"));
            QDeadlineTimer deadline(30000);
            while (db.isOpen() && !deadline.hasExpired() && !m_sawWait) {
                QSqlQuery q(db);
                m_sawWait = q.exec(QStringLiteral("SELECT count(*) FROM pg_stat_activity "
                                                  "WHERE application_name = 'tipdesk' AND wait_event_type = 'Lock'")) &&
                            q.next() && q.value(0).toInt() > 0;
                if (!m_sawWait)
                    QThread::msleep(20);
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("watcher"));
        m_stopped = m_pg.stop();
    }

    test::PgCluster &m_pg;
    std::unique_ptr<QThread> m_thread;
    bool m_locked = false;
    std::atomic<bool> m_sawWait = false;
    std::atomic<bool> m_stopped = false;
};

// The modules start-up creates, over whatever connection the test chose, and the consoles' session.
struct DeskModules {
    DeskModules()
    {
        dataModule = std::make_unique<app::TDataMod1>();
        reportModule = std::make_unique<stats::TDMReport>();
    }
    ~DeskModules()
    {
        reportModule.reset();
        dataModule.reset();
    }
    std::unique_ptr<app::TDataMod1> dataModule;
    std::unique_ptr<stats::TDMReport> reportModule;
    stats::ReportSession session;
};

// Counts the times the main menu was shown.
class MenuShows : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        count += e->type() == QEvent::Show;
        return false;
    }
};

std::optional<QString> deskAddress()
{
    return QStringLiteral("10.20.3.4");
}

// Finds the login dialog once it runs modally and acts on it.
void whenLoginShown(const std::function<void(app::TfrmPass &)> &act)
{
    QTimer::singleShot(0, [act] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *d = qobject_cast<app::TfrmPass *>(w); d && d->isVisible())
                return act(*d);
        }
        whenLoginShown(act);
    });
}

void submitLogin(app::TfrmPass &d)
{
    d.ui->edID->setText(kOperator);
    d.ui->edPass->setText(kOperatorPassword);
    QTest::mouseClick(d.ui->btnOK, Qt::LeftButton);
}

void request(stats::TfStatHUBp &console, int kind, const QDate &day = kDay)
{
    stats::ReportRequest r;
    r.kind = kind;
    r.startDay = r.endDay = day;
    console.setRequest(r);
}

// The texts of the browser's first grid column, every row fetched.
QStringList gridNumbers(const reception::TAcIn &browser)
{
    QAbstractItemModel *m = browser.gridModel();
    while (m->canFetchMore({}))
        m->fetchMore({});
    QStringList texts;
    for (int r = 0; r < m->rowCount(); ++r)
        texts.append(m->index(r, 0).data().toString());
    return texts;
}

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun runTool(const QString &program, const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(120000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

} // namespace

class TstDatabaseFailures : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void loginRetriedOnceTheServerIsBack_data();
    void loginRetriedOnceTheServerIsBack();
    void consoleOutlivesAServerStop_data();
    void consoleOutlivesAServerStop();
    void restartWhileIdleGoesUnnoticed_data();
    void restartWhileIdleGoesUnnoticed();
    void browserWithoutTheServer_data();
    void browserWithoutTheServer();
    void refusedConnectionShowsNoPassword_data();
    void refusedConnectionShowsNoPassword();
    void toolsPrintNoPassword_data();
    void toolsPrintNoPassword();
    void siteAccountFromTheAliasDefinition_data();
    void siteAccountFromTheAliasDefinition();

private:
    QString conninfoWith(const QString &password) const;
    QStringList shown() const { return test::shownTexts(**m_ui); }
    void writeAliasDefinition(const QString &userName, const QString &password);

    test::PgCluster m_pg{test::PgClusterOptions{kClusterPassword}};
    QTemporaryDir m_dir;
    std::unique_ptr<ui::ScopedRecordingUi> m_ui;
};

void TstDatabaseFailures::initTestCase()
{
    // Only what a test hands over may authenticate.
    qunsetenv("PGPASSWORD");
    qunsetenv("PGSERVICE");
    qputenv("PGPASSFILE", QFile::encodeName(m_dir.filePath(QStringLiteral("no-pgpass"))));
    previousHandler = qInstallMessageHandler(recordMessage);
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, m_dir.filePath(QStringLiteral("xdg")));

    TIPDESK_START_PG(m_pg);
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        QSKIP("Qt's PostgreSQL driver (libqt6sql6-psql) is missing: skipped");
    QVERIFY2(m_pg.createDatabase(kDatabase), qPrintable(m_pg.error()));
    demo::DemoOptions demo;
    demo.out = m_dir.filePath(QStringLiteral("demo.db"));
    demo.until = kDay.addDays(1);
    demo.days = 8;
    demo.perDay = 40;
    try {
        demo::buildDemoDb(demo);
        app::loadIntoPostgres(demo.out, m_pg.conninfo(kDatabase));
        // The superuser's first connection installs the functions the translations call.
        const auto backend = db::postgresBackend(m_pg.conninfo(kDatabase));
        backend->open();
        backend->exec(QStringLiteral("INSERT INTO USER_MANAGE (USERID, USERPASS, APPNAME, USERLEVEL) "
                                     "VALUES (:id, :pass, :app, '1')"),
                      {{QStringLiteral("ID"), kOperator},
                       {QStringLiteral("PASS"), kOperatorPassword},
                       {QStringLiteral("APP"), app::programName()}});
    } catch (const std::exception &e) {
        QFAIL(e.what());
    }
    // The site's accounts: its own, the one the program stores, and one that shares the stored password.
    const QString accounts = QStringLiteral("clerk, vexlan, clerk2");
    QCOMPARE(runAsSuperuser(m_pg, {QStringLiteral("CREATE ROLE clerk LOGIN PASSWORD '%1'").arg(kSitePassword),
                                   QStringLiteral("CREATE ROLE vexlan LOGIN PASSWORD '%1'").arg(kStoredPassword),
                                   QStringLiteral("CREATE ROLE clerk2 LOGIN PASSWORD '%1'").arg(kStoredPassword),
                                   QStringLiteral("GRANT USAGE ON SCHEMA tipdesk_ora TO ") + accounts,
                                   QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public "
                                                  "TO ") +
                                       accounts}),
             QString());
    db::Clock::setFixed(QDateTime(kDay.addDays(1), QTime(12, 0)));
}

void TstDatabaseFailures::init()
{
    if (!m_pg.isRunning())
        QVERIFY2(m_pg.start(), qPrintable(m_pg.error()));
    m_ui = std::make_unique<ui::ScopedRecordingUi>();
    logged().clear();
    app::clearTerminationRequest();
    db::setPostgresOverride(m_pg.conninfo(kDatabase));
}

void TstDatabaseFailures::cleanup()
{
    const QStringList texts = (m_ui ? shown() : QStringList()) + logged();
    m_ui.reset();
    report::setPreviewHook(nullptr);
    db::setPostgresOverride(QString());
    QSettings(m_dir.filePath(QStringLiteral("xdg/tipdesk/tipdesk.ini")), QSettings::IniFormat).clear();
    app::clearTerminationRequest();
    const QStringList leaked = secretsIn(texts);
    QVERIFY2(leaked.isEmpty(), qPrintable(QStringLiteral("a password was shown or logged: ") + leaked.join(u' ')));
}

void TstDatabaseFailures::cleanupTestCase()
{
    db::Clock::clearFixed();
    qInstallMessageHandler(previousHandler);
}

QString TstDatabaseFailures::conninfoWith(const QString &password) const
{
    return QStringLiteral("host=%1 port=%2 dbname=%3 user=%4 password=%5")
        .arg(m_pg.host())
        .arg(m_pg.port())
        .arg(kDatabase, m_pg.user(), password);
}

void TstDatabaseFailures::writeAliasDefinition(const QString &userName, const QString &password)
{
    QSettings site(m_dir.filePath(QStringLiteral("xdg/tipdesk/tipdesk.ini")), QSettings::IniFormat);
    site.clear();
    site.beginGroup(QStringLiteral("commonDB"));
    site.setValue(QStringLiteral("Driver"), QStringLiteral("QPSQL"));
    site.setValue(QStringLiteral("DatabaseName"), kDatabase);
    site.setValue(QStringLiteral("HostName"), m_pg.host());
    site.setValue(QStringLiteral("Port"), m_pg.port());
    if (!userName.isEmpty())
        site.setValue(QStringLiteral("UserName"), userName);
    if (!password.isEmpty())
        site.setValue(QStringLiteral("Password"), password);
    site.endGroup();
    site.sync();
}

void TstDatabaseFailures::loginRetriedOnceTheServerIsBack_data()
{
    // When the server goes: before start-up connects, or after, while the login waits.
    QTest::addColumn<bool>("awayAtStartUp");
    QTest::newRow("away at start-up") << true;
    QTest::newRow("gone while the login waits") << false;
}

// A desk whose server is away stays at the login, saying why, and logs in once the server is
// back; the menu opens only then.
void TstDatabaseFailures::loginRetriedOnceTheServerIsBack()
{
    QFETCH(bool, awayAtStartUp);
    QVERIFY(m_pg.stop());
    const QString refusal = driverRefusal(m_pg);
    QVERIFY(!refusal.isEmpty());
    if (!awayAtStartUp)
        QVERIFY2(m_pg.start(), qPrintable(m_pg.error()));

    QStringList boxesWhileAway;
    bool stayedAtLogin = false;
    bool restarted = false;
    MenuShows menuShows;
    app::StartupSteps steps;
    steps.mainMenuCreated = [&](QWidget *menu) { menu->installEventFilter(&menuShows); };
    steps.runLogin = [&] {
        whenLoginShown([&](app::TfrmPass &d) {
            d.setHostAddressLookup(deskAddress);
            if (!awayAtStartUp)
                m_pg.stop();
            submitLogin(d);
            stayedAtLogin = d.isVisible() && d.result() == QDialog::Rejected;
            boxesWhileAway = shown();
            restarted = m_pg.start();
            submitLogin(d);
        });
        return app::runLoginDialog();
    };
    QTimer leaveMenu;
    connect(&leaveMenu, &QTimer::timeout, [] {
        if (app::FrmMain && app::FrmMain->isVisible())
            app::FrmMain->ui->SpeedButton3->click();
    });
    leaveMenu.start(10);

    QCOMPARE(app::runStartup(*qApp, steps), 0);
    if (awayAtStartUp) {
        // Start-up's connection and the login's attempt each show the driver's words.
        QCOMPARE(boxesWhileAway.size(), 2);
        for (const QString &box : boxesWhileAway)
            QVERIFY2(box.startsWith(QLatin1String("error: ")) && box.contains(refusal), qPrintable(box));
    } else {
        QCOMPARE(boxesWhileAway, QStringList{kConnectFailed});
    }
    QVERIFY(stayedAtLogin);
    QVERIFY2(restarted, qPrintable(m_pg.error()));
    QCOMPARE(shown(), boxesWhileAway);
    QCOMPARE(menuShows.count, 1);
    QVERIFY(!app::terminationRequested());
    QCOMPARE(
        firstRow(m_pg,
                 QStringLiteral("SELECT string_agg(action, ',') FROM user_record WHERE userid = '%1'").arg(kOperator)),
        QStringLiteral("S"));
    QVERIFY(runAsSuperuser(m_pg, {QStringLiteral("DELETE FROM user_record")}).isEmpty());
}

void TstDatabaseFailures::consoleOutlivesAServerStop_data()
{
    QTest::addColumn<QString>("action"); // "preview" or "export"
    QTest::addColumn<int>("kind");
    QTest::addColumn<QDate>("day");
    // The table the desk's statement waits for when the server stops; none: it stopped before.
    QTest::addColumn<QString>("locked");
    QTest::addColumn<QString>("reason");
    const QString ended = QStringLiteral("terminating connection due to administrator command");
    QTest::newRow("stopped before the request") << "preview" << 0 << kDay << QString() << QString();
    QTest::newRow("stopped during the first statement") << "preview" << 0 << kDay << "stat_hub_rpt" << ended;
    QTest::newRow("stopped during a later statement") << "preview" << 0 << kDay << "individual" << ended;
    QTest::newRow("stopped while looking up the no-data message")
        << "preview" << 0 << QDate(2010, 1, 4) << "message" << ended;
    QTest::newRow("stopped before an export") << "export" << 21 << kDay << QString() << QString();
    QTest::newRow("stopped during an export") << "export" << 21 << kDay << "stat_hub_rpt" << ended;
}

// A console request fails with the server's own text in one error box, the console goes on
// working, and the request made once the server is back gives what it gave before.
void TstDatabaseFailures::consoleOutlivesAServerStop()
{
    QFETCH(QString, action);
    QFETCH(int, kind);
    QFETCH(QDate, day);
    QFETCH(QString, locked);
    QFETCH(QString, reason);
    DeskModules desk;
    stats::TfStatHUBp console(desk.session, *desk.reportModule);
    QTemporaryDir folder;
    desk.session.setExportFolder(folder.path());
    QStringList pages;
    report::setPreviewHook([&](report::ReportForm &form) { pages << report::dumpText(form.render()); });
    request(console, kind, day);
    // What one request gave: the pages previewed and the texts of the boxes other than errors,
    // or the files of the export folder with their bytes.
    const auto ask = [&] {
        const qsizetype before = (*m_ui)->entries.size();
        pages.clear();
        QStringList got;
        if (action == QLatin1String("export")) {
            console.SpeedButton1Click();
            for (const QFileInfo &f : QDir(folder.path()).entryInfoList(QDir::Files | QDir::Hidden)) {
                QFile file(f.filePath());
                got << f.fileName() + u' ' + QString::fromLatin1(file.open(QIODevice::ReadOnly) ? file.readAll() : "");
            }
        } else {
            console.SBPreviewClick();
            got = pages;
            for (const auto &e : (*m_ui)->entries.mid(before)) {
                if (e.kind != Kind::Error)
                    got << e.text;
            }
        }
        return got;
    };
    const QStringList expected = ask();
    QVERIFY(!expected.isEmpty());
    QCOMPARE(errorBoxes(**m_ui), QStringList());

    bool stoppedMidStatement = false;
    QStringList whileAway;
    if (locked.isEmpty()) {
        QVERIFY(m_pg.stop());
        whileAway = ask();
    } else {
        StopDuringStatement stop(m_pg, locked);
        whileAway = ask();
        stoppedMidStatement = stop.stoppedWhileWaiting();
    }
    QVERIFY(locked.isEmpty() || stoppedMidStatement);
    QVERIFY(!m_pg.isRunning());
    // Nothing previewed or shown but the error; an export leaves the file it wrote before whole.
    QCOMPARE(whileAway, action == QLatin1String("export") ? expected : QStringList());
    QStringList errors = errorBoxes(**m_ui);
    QCOMPARE(errors.size(), 1);
    QVERIFY2(!errors[0].trimmed().isEmpty() && errors[0].contains(reason), qPrintable(errors[0]));
    QCOMPARE((*m_ui)->busyDepth, 0);
    if (action == QLatin1String("preview")) {
        QCOMPARE(console.lastOutcome(), Outcome::Failed);
        QVERIFY(!console.preparedForm());
    }

    // Asked again while the server is still away: the console answers again, once.
    QCOMPARE(ask(), whileAway);
    errors = errorBoxes(**m_ui);
    QCOMPARE(errors.size(), 2);
    QVERIFY(!errors[1].trimmed().isEmpty());

    QVERIFY2(m_pg.start(), qPrintable(m_pg.error()));
    if (!locked.isEmpty())
        QCOMPARE(StopDuringStatement::release(m_pg), QString());
    QCOMPARE(ask(), expected);
    QCOMPARE(errorBoxes(**m_ui).size(), 2);
    QCOMPARE((*m_ui)->busyDepth, 0);
}

void TstDatabaseFailures::restartWhileIdleGoesUnnoticed_data()
{
    // Where the operator turns first after the restart.
    QTest::addColumn<QString>("screen");
    QTest::newRow("console") << "console";
    QTest::newRow("browser") << "browser";
    QTest::newRow("login") << "login";
}

// A server restarted while the desk sat idle costs the operator nothing: the first request after
// it reconnects and succeeds.
void TstDatabaseFailures::restartWhileIdleGoesUnnoticed()
{
    QFETCH(QString, screen);
    DeskModules desk;
    stats::TfStatHUBp console(desk.session, *desk.reportModule);
    int previews = 0;
    report::setPreviewHook([&](report::ReportForm &) { ++previews; });
    request(console, 0);
    reception::TAcIn browser;
    browser.RadioButton5->setChecked(true);
    app::TfrmPass login;
    login.setHostAddressLookup(deskAddress);
    QVERIFY(app::DataMod1->CommonDB->connected());

    QVERIFY(m_pg.stop());
    QVERIFY2(m_pg.start(), qPrintable(m_pg.error()));
    if (screen == QLatin1String("console")) {
        console.SBPreviewClick();
        QCOMPARE(console.lastOutcome(), Outcome::Shown);
        QCOMPARE(previews, 1);
    } else if (screen == QLatin1String("browser")) {
        browser.SearchBtnClick();
        QVERIFY(!gridNumbers(browser).isEmpty());
    } else {
        login.show();
        submitLogin(login);
        QCOMPARE(login.result(), int(QDialog::Accepted));
        QVERIFY(runAsSuperuser(m_pg, {QStringLiteral("DELETE FROM user_record")}).isEmpty());
    }
    QCOMPARE(shown(), QStringList());
    QCOMPARE((*m_ui)->busyDepth, 0);
}

void TstDatabaseFailures::browserWithoutTheServer_data()
{
    // What the operator does once the server is away; whether that searches (and so must leave the
    // grid empty and search again once the server is back).
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("searches");
    QTest::newRow("today's reports") << "today" << true;
    QTest::newRow("one receiving operator's reports") << "operator" << true;
    QTest::newRow("a reporter type's reports") << "reporter" << true;
    QTest::newRow("the list of processing operators") << "operator list" << false;
    QTest::newRow("search without a value") << "no value" << false;
}

// The browser shows the error in one box, an empty grid and no busy cursor, and searches again
// once the server is back.
void TstDatabaseFailures::browserWithoutTheServer()
{
    QFETCH(QString, action);
    QFETCH(bool, searches);
    DeskModules desk;
    reception::TAcIn browser;
    browser.RadioButton5->setChecked(true); // the whole of today
    if (action == QLatin1String("operator")) {
        browser.ComboBox1->setCurrentText(QStringLiteral("접수자별"));
        QVERIFY(browser.ComboBox3->count() > 0);
        browser.ComboBox3->setCurrentText(
            firstRow(m_pg, QStringLiteral("SELECT operator_name FROM report_requisition GROUP BY operator_name "
                                          "ORDER BY count(*) DESC LIMIT 1")));
    } else if (action == QLatin1String("reporter")) {
        browser.ComboBox1->setCurrentText(QStringLiteral("제보자별"));
        browser.ComboBox3->setCurrentText(QStringLiteral("시민"));
    }
    browser.SearchBtnClick();
    const QStringList before = gridNumbers(browser);
    QVERIFY(!before.isEmpty());
    if (action == QLatin1String("no value")) {
        browser.ComboBox1->setCurrentText(QStringLiteral("제보종류별"));
        QCOMPARE(browser.ComboBox3->currentText(), QStringLiteral("세부검색"));
    }
    QCOMPARE(shown(), QStringList());

    QVERIFY(m_pg.stop());
    if (action == QLatin1String("operator list"))
        browser.ComboBox1->setCurrentText(QStringLiteral("처리자별"));
    else
        browser.SearchBtnClick();
    QCOMPARE((*m_ui)->entries.size(), 1);
    QCOMPARE((*m_ui)->entries[0].kind, Kind::Error);
    QVERIFY(!(*m_ui)->entries[0].text.trimmed().isEmpty());
    QCOMPARE((*m_ui)->busyDepth, 0);
    // A failed search shows nothing rather than the rows of the one before.
    QCOMPARE(gridNumbers(browser), searches ? QStringList() : before);

    QVERIFY2(m_pg.start(), qPrintable(m_pg.error()));
    if (searches) {
        browser.SearchBtnClick();
        QCOMPARE(gridNumbers(browser), before);
    } else if (action == QLatin1String("operator list")) {
        browser.ComboBox1->setCurrentText(QStringLiteral("접수자별"));
        QVERIFY(browser.ComboBox3->count() > 0);
    }
    QCOMPARE((*m_ui)->entries.size(), 1);
    QCOMPARE((*m_ui)->busyDepth, 0);
}

void TstDatabaseFailures::refusedConnectionShowsNoPassword_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("serverUp");
    QTest::addColumn<QString>("reason"); // empty: the driver's refusal
    QTest::newRow("wrong password") << kWrongPassword << true << "password authentication failed";
    QTest::newRow("server stopped") << kClusterPassword << false << QString();
}

// Start-up, the login, the console and the browser each show the refusal, never the password.
void TstDatabaseFailures::refusedConnectionShowsNoPassword()
{
    QFETCH(QString, password);
    QFETCH(bool, serverUp);
    QFETCH(QString, reason);
    if (!serverUp)
        QVERIFY(m_pg.stop());
    if (reason.isEmpty())
        reason = driverRefusal(m_pg);
    db::setPostgresOverride(conninfoWith(password));

    DeskModules desk;
    app::TfrmPass login;
    login.setHostAddressLookup(deskAddress);
    login.show();
    submitLogin(login);
    QVERIFY(login.isVisible());
    stats::TfStatHUBp console(desk.session, *desk.reportModule);
    request(console, 0);
    console.SBPreviewClick();
    QCOMPARE(console.lastOutcome(), Outcome::Failed);
    reception::TAcIn browser;
    browser.SearchBtnClick();
    QCOMPARE(gridNumbers(browser), QStringList());

    const QStringList boxes = errorBoxes(**m_ui);
    QCOMPARE(boxes.size(), 4);
    QCOMPARE(shown().size(), 4);
    for (const QString &box : boxes)
        QVERIFY2(box.contains(reason), qPrintable(box));
    QCOMPARE((*m_ui)->busyDepth, 0);
}

void TstDatabaseFailures::toolsPrintNoPassword_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("serverUp");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("reason"); // in the error stream; "<refusal>": the driver's refusal
    for (const char *tool : {"tipdesk-report", "tipdesk-sql"}) {
        const QString t = QString::fromLatin1(tool);
        QTest::addRow("%s, server up", tool) << t << kClusterPassword << true << 0 << QString();
        QTest::addRow("%s, wrong password", tool)
            << t << kWrongPassword << true << 1 << "password authentication failed";
        QTest::addRow("%s, server stopped", tool) << t << kClusterPassword << false << 1 << "<refusal>";
        QTest::addRow("%s, unquoted blank in the password", tool)
            << t << kBlankPasswordHead + u' ' + kBlankPasswordTail << true << 1 << QString();
    }
}

// The tools, run as an operator runs them with a connection string that holds the password.
void TstDatabaseFailures::toolsPrintNoPassword()
{
    QFETCH(QString, tool);
    QFETCH(QString, password);
    QFETCH(bool, serverUp);
    QFETCH(int, exitCode);
    QFETCH(QString, reason);
    if (!serverUp)
        QVERIFY(m_pg.stop());
    if (reason == QLatin1String("<refusal>"))
        reason = driverRefusal(m_pg);
    const QString conninfo = conninfoWith(password);
    ToolRun run;
    if (tool == QLatin1String("tipdesk-report")) {
        run = runTool(QStringLiteral(TIPDESK_REPORT_TOOL),
                      {QStringLiteral("--pg"), conninfo, QStringLiteral("--kind"), QStringLiteral("0"),
                       QStringLiteral("--start"), kDay.toString(QStringLiteral("yyyyMMdd")), QStringLiteral("--text"),
                       m_dir.filePath(QStringLiteral("kind0.txt"))});
    } else {
        run = runTool(QStringLiteral(TIPDESK_SQL_TOOL),
                      {QStringLiteral("--pg"), conninfo, QStringLiteral("SELECT COUNT(*) FROM INDIVIDUAL")});
    }
    QVERIFY2(run.exitCode == exitCode, qPrintable(QStringLiteral("exit %1: %2").arg(run.exitCode).arg(run.err)));
    if (exitCode == 0)
        QVERIFY2(!run.out.trimmed().isEmpty(), qPrintable(run.err));
    else
        QVERIFY2(!run.err.trimmed().isEmpty() && run.err.contains(reason), qPrintable(run.err));
    const QStringList leaked = secretsIn({run.out, run.err});
    QVERIFY2(leaked.isEmpty(), qPrintable(QStringLiteral("printed: ") + leaked.join(u' ')));
}

void TstDatabaseFailures::siteAccountFromTheAliasDefinition_data()
{
    QTest::addColumn<QString>("userName"); // of the site's alias definition; empty: none given
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("serverUser"); // whom the server sees; empty: the login is refused
    QTest::addColumn<QString>("reason");
    QTest::newRow("the site's account") << "clerk" << kSitePassword << "clerk" << QString();
    QTest::newRow("the stored account when the site names none") << ""
                                                                 << ""
                                                                 << "vexlan" << QString();
    QTest::newRow("the site's account with a wrong password") << "clerk" << kWrongPassword << ""
                                                              << "password authentication failed for user \"clerk\"";
    // The stored password would let this account in; the site's account goes without it.
    QTest::newRow("the site's account does not borrow the stored password") << "clerk2"
                                                                            << ""
                                                                            << "" << QString();
}

void TstDatabaseFailures::siteAccountFromTheAliasDefinition()
{
    QFETCH(QString, userName);
    QFETCH(QString, password);
    QFETCH(QString, serverUser);
    QFETCH(QString, reason);
    db::setPostgresOverride(QString());
    writeAliasDefinition(userName, password);

    DeskModules desk;
    app::TfrmPass login;
    login.setHostAddressLookup(deskAddress);
    login.show();
    submitLogin(login);
    if (serverUser.isEmpty()) {
        QVERIFY(login.isVisible());
        const QStringList boxes = errorBoxes(**m_ui);
        QCOMPARE(boxes.size(), 2); // start-up's connection and the login's
        for (const QString &box : boxes)
            QVERIFY2(!box.trimmed().isEmpty() && box.contains(reason), qPrintable(box));
        return;
    }
    QCOMPARE(shown(), QStringList());
    QVERIFY(!login.isVisible());
    QCOMPARE(login.result(), int(QDialog::Accepted));
    db::Query who(QStringLiteral("commonDB"), {QStringLiteral("SELECT USER FROM DUAL")});
    who.open();
    QCOMPARE(who.field(0).asString(), serverUser);
}

QTEST_MAIN(TstDatabaseFailures)
#include "tst_database_failures.moc"
