#include "AppFixture.h"
#include "RecordedBoxes.h"
#include "app/Startup.h"
#include "app/UntMain.h"
#include "app/fPass.h"
#include "platform/ui/DeskUi.h"
#include "ui_UntMain.h"
#include "ui_fPass.h"

#include <QTranslator>
#include <QtTest>
#include <stdexcept>

using namespace tipdesk;

namespace {

// Counts the times a widget was shown.
class ShowCounter : public QObject {
public:
    int shown = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Show)
            ++shown;
        return false;
    }
};

// Finds the login dialog once it runs modally and acts on it.
void whenLoginShown(std::function<void(app::TfrmPass &)> act)
{
    QTimer::singleShot(0, [act] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *d = qobject_cast<app::TfrmPass *>(w); d && d->isVisible()) {
                act(*d);
                return;
            }
        }
        whenLoginShown(act);
    });
}

const QString kAccount = QStringLiteral("INSERT INTO USER_MANAGE (USERID, USERPASS, APPNAME, USERLEVEL) "
                                        "VALUES ('kim', 'pw1', 'TST_STARTUP', '1');");

// Start-up over a fixture holding one account, counting the times the menu shows.
struct LoginOverFixture {
    test::AppFixture fx{kAccount};
    ShowCounter menuShows;
    app::StartupSteps steps;
    LoginOverFixture()
    {
        fx.dataModule.reset(); // start-up creates its own
        steps.mainMenuCreated = [this](QWidget *menu) { menu->installEventFilter(&menuShows); };
    }
};

} // namespace

class TstStartup : public QObject {
    Q_OBJECT
private slots:
    void stepsRunInOrder_data();
    void stepsRunInOrder();
    void cancelledLoginEndsAtOnce();
    void loginThenMenuUntilClosed();
    void errorDuringLoginKeepsTheMenuClosed();
    void qtDialogsSpeakKoreanWhereTheTranslationsAre_data();
    void qtDialogsSpeakKoreanWhereTheTranslationsAre();
};

void TstStartup::stepsRunInOrder_data()
{
    QTest::addColumn<bool>("serverThere");
    QTest::addColumn<bool>("loggedIn");
    QTest::newRow("server there, login cancelled") << true << false;
    QTest::newRow("server missing, start-up goes on") << false << false;
    QTest::newRow("server there, logged in") << true << true;
}

void TstStartup::stepsRunInOrder()
{
    QFETCH(bool, serverThere);
    QFETCH(bool, loggedIn);
    ui::ScopedRecordingUi recorded;
    test::FixtureDb fx(app::schemaScript(), QStringLiteral("fixtureDB"));
    QTemporaryDir dir;
    db::setEmbeddedOverride(serverThere ? fx.path() : dir.filePath(QStringLiteral("absent.db")));

    // Each step notes what it finds of the steps before it.
    QStringList steps;
    ShowCounter menuShows;
    QPointer<QObject> reportModule;
    app::StartupSteps s;
    s.createReportModule = [&] {
        steps << QStringLiteral("report module: data module %1, connected %2, error boxes %3, menu %4")
                     .arg(app::DataMod1 ? "yes" : "no", app::DataMod1->CommonDB->connected() ? "yes" : "no")
                     .arg(recorded->entries.size())
                     .arg(app::FrmMain ? "yes" : "no");
        reportModule = new QObject;
        return reportModule.data();
    };
    s.mainMenuCreated = [&](QWidget *menu) {
        steps << QStringLiteral("main menu: global %1").arg(app::FrmMain == menu ? "set" : "unset");
        menu->installEventFilter(&menuShows);
    };
    s.runLogin = [&] {
        steps << QStringLiteral("login: menu visible %1").arg(app::FrmMain->isVisible() ? "yes" : "no");
        if (loggedIn)
            QTimer::singleShot(0, [] { app::FrmMain->ui->SpeedButton3->click(); });
        return loggedIn;
    };
    const int code = app::runStartup(*qApp, s);
    QCOMPARE(code, 0);
    QCOMPARE(steps, (QStringList{QStringLiteral("report module: data module yes, connected %1, error boxes %2, menu no")
                                     .arg(serverThere ? "yes" : "no")
                                     .arg(serverThere ? 0 : 1),
                                 "main menu: global set", "login: menu visible no"}));
    QCOMPARE(menuShows.shown, loggedIn ? 1 : 0);
    // Everything start-up created is gone when it returns.
    QCOMPARE(app::DataMod1, nullptr);
    QCOMPARE(app::FrmMain, nullptr);
    QVERIFY(!reportModule);
    db::setEmbeddedOverride(QString());
}

void TstStartup::cancelledLoginEndsAtOnce()
{
    LoginOverFixture run;
    whenLoginShown([](app::TfrmPass &d) { d.ui->btnCancel->click(); });
    // The loop must not wait for anything: were it to run, only this guard would end it.
    bool loopKeptRunning = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        loopKeptRunning = true;
        qApp->quit();
    });
    guard.start(60000);
    QCOMPARE(app::runStartup(*qApp, run.steps), 0);
    QVERIFY(!loopKeptRunning);
    QCOMPARE(run.menuShows.shown, 0);
    QVERIFY(run.fx.rows(QStringLiteral("SELECT * FROM USER_RECORD")).isEmpty());
    QVERIFY(run.fx.recorded->entries.isEmpty());
    // No login dialog is left behind.
    for (QWidget *w : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<app::TfrmPass *>(w));
}

void TstStartup::loginThenMenuUntilClosed()
{
    LoginOverFixture run;
    run.steps.runLogin = [] {
        whenLoginShown([](app::TfrmPass &d) {
            d.setHostAddressLookup([] { return std::optional<QString>(QStringLiteral("192.168.0.7")); });
            QTest::keyClicks(d.ui->edID, QStringLiteral("kim"));
            QTest::keyClick(d.ui->edID, Qt::Key_Return);
            QTest::keyClicks(d.ui->edPass, QStringLiteral("pw1"));
            QTest::keyClick(d.ui->edPass, Qt::Key_Return);
        });
        return app::runLoginDialog();
    };
    // Once the menu runs, leave it with its exit button.
    QTimer poll;
    connect(&poll, &QTimer::timeout, [] {
        if (app::FrmMain && app::FrmMain->isVisible())
            app::FrmMain->ui->SpeedButton3->click();
    });
    poll.start(10);
    QCOMPARE(app::runStartup(*qApp, run.steps), 0);
    QCOMPARE(run.menuShows.shown, 1);
    QCOMPARE(run.fx.rows(QStringLiteral("SELECT USERID, IPADDRESS, APPNAME, ACTION FROM USER_RECORD")),
             QStringList{QStringLiteral("kim|192.168.0.7|TST_STARTUP|S")});
}

void TstStartup::errorDuringLoginKeepsTheMenuClosed()
{
    LoginOverFixture run;
    bool shownAfterError = false;
    QStringList boxesBeforeCancel;
    run.steps.runLogin = [&] {
        whenLoginShown([&](app::TfrmPass &d) {
            d.setHostAddressLookup(
                []() -> std::optional<QString> { throw std::runtime_error("주소를 확인할 수 없습니다"); });
            d.ui->edID->setText(QStringLiteral("kim"));
            d.ui->edPass->setText(QStringLiteral("pw1"));
            QTest::keyClick(d.ui->edPass, Qt::Key_Return);
            shownAfterError = d.isVisible();
            boxesBeforeCancel = test::shownTexts(*run.fx.recorded);
            d.ui->btnCancel->click();
        });
        return app::runLoginDialog();
    };
    QCOMPARE(app::runStartup(*qApp, run.steps), 0);
    QVERIFY(shownAfterError);
    QCOMPARE(boxesBeforeCancel, QStringList{QStringLiteral("error: 주소를 확인할 수 없습니다")});
    QCOMPARE(run.menuShows.shown, 0);
    QVERIFY(run.fx.rows(QStringLiteral("SELECT * FROM USER_RECORD")).isEmpty());
}

void TstStartup::qtDialogsSpeakKoreanWhereTheTranslationsAre_data()
{
    // Qt's own translations as installed (./run installs them), none, or a damaged file: the
    // dialogs fall back to English without a word.
    QTest::addColumn<QByteArray>("file"); // "installed", or what the test's folder holds
    QTest::addColumn<QString>("cancel");  // what Qt's dialogs call their cancel button
    QTest::newRow("installed") << QByteArray("installed") << QStringLiteral("취소");
    QTest::newRow("missing") << QByteArray() << QStringLiteral("Cancel");
    QTest::newRow("damaged") << QByteArray("not a translation") << QStringLiteral("Cancel");
}

void TstStartup::qtDialogsSpeakKoreanWhereTheTranslationsAre()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, cancel);
    QTemporaryDir dir;
    QFile damaged(dir.filePath(QStringLiteral("qtbase_ko.qm")));
    QVERIFY(file.isEmpty() || (damaged.open(QIODevice::WriteOnly) && damaged.write(file) > 0));
    const bool installed = file == "installed";
    const std::unique_ptr<QTranslator> translator(ui::installQtTranslations(installed ? QString() : dir.path()));
    QCOMPARE(translator != nullptr, installed);
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), cancel);
}

QTEST_MAIN(TstStartup)
#include "tst_startup.moc"
