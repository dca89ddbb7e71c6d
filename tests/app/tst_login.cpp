#include "AppFixture.h"
#include "RecordedBoxes.h"
#include "app/fPass.h"
#include "platform/db/Clock.h"
#include "platform/db/DbError.h"
#include "platform/db/EmbeddedBackend.h"
#include "ui_fPass.h"

#include <QtTest>
#include <stdexcept>

using namespace tipdesk;
using Kind = ui::RecordingUiService::Kind;

namespace {

// The test program's own name is the program name its accounts are registered for.
const QString kAccounts = QStringLiteral("INSERT INTO USER_MANAGE (USERID, USERPASS, APPNAME, USERLEVEL) VALUES "
                                         "('kim', 'pw1', 'TST_LOGIN', '1'),"
                                         "('lee', 'pw2', 'TIPDESK', '1'),"
                                         "('park', 'pw3', 'TST_LOGIN', ''),"
                                         "('choi', 'pw4', 'TST_LOGIN', NULL);");

const QString kNoRights = QStringLiteral("입력하신 운용자ID는 이 프로그램을 이용할 권한이 없습니다!");
const QString kConnectFailed = QStringLiteral("데이타베이스 연결에 실패했습니다!");
const QString kUsageRows =
    QStringLiteral("SELECT RECORDDATE, USERID, IPADDRESS, APPNAME, ACTION FROM USER_RECORD ORDER BY ROWID");

std::optional<QString> deskAddress()
{
    return QStringLiteral("10.20.3.4");
}

// A login dialog shown (not modally) over the fixture, with a fixed workstation address.
struct Login {
    explicit Login(const QString &rows = kAccounts) : fx(rows)
    {
        app::clearTerminationRequest();
        dialog.setHostAddressLookup(deskAddress);
        dialog.show();
    }
    ~Login() { app::clearTerminationRequest(); }

    void type(const QString &id, const QString &pass)
    {
        dialog.ui->edID->setText(id);
        dialog.ui->edPass->setText(pass);
    }
    QStringList messages() { return test::shownTexts(*fx.recorded); }

    test::AppFixture fx;
    app::TfrmPass dialog;
};

} // namespace

class TstLogin : public QObject {
    Q_OBJECT
private slots:
    void init() { db::Clock::setFixed(QDateTime(QDate(2024, 3, 5), QTime(9, 10, 11))); }
    void cleanup() { db::Clock::clearFixed(); }

    void layoutToThePixel_data();
    void layoutToThePixel();
    void lookOfTheDialog();
    void showEmptiesEntriesAndFocusesId();
    void submission_data();
    void submission();
    void enterInIdMovesToPassword();
    void escapeDoesNothingCancelEndsProgram();
    void everySubmissionWritesItsOwnRow();
    void failedHostLookupRefusesWithoutRow_data();
    void failedHostLookupRefusesWithoutRow();
    void failureInsideCheckRefusesLogin();
    void connectionNotEstablished();
    void connectionRetriedOnEveryAttempt();
    void programNameIsUpperCaseFileName();
};

void TstLogin::layoutToThePixel_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::newRow("Image1") << "Image1" << QRect(0, 0, 277, 244) << "";
    QTest::newRow("Panel2") << "Panel2" << QRect(0, 244, 277, 100) << "";
    QTest::newRow("Panel4") << "Panel4" << QRect(14, 7, 85, 21) << "운영자ID";
    QTest::newRow("edID") << "edID" << QRect(113, 7, 148, 21) << "";
    QTest::newRow("Panel3") << "Panel3" << QRect(14, 35, 85, 21) << "비밀번호";
    QTest::newRow("edPass") << "edPass" << QRect(113, 35, 148, 21) << "";
    QTest::newRow("Panel1") << "Panel1" << QRect(1, 64, 275, 2) << "";
    QTest::newRow("btnOK") << "btnOK" << QRect(24, 70, 109, 25) << "확인";
    QTest::newRow("btnCancel") << "btnCancel" << QRect(142, 70, 109, 25) << "취소";
}

void TstLogin::layoutToThePixel()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    Login login;
    auto *w = login.dialog.findChild<QWidget *>(name);
    QVERIFY(w);
    QCOMPARE(w->geometry(), geometry);
    const QVariant shown = w->property("text");
    QCOMPARE(shown.isValid() ? shown.toString() : QString(), text);
}

void TstLogin::lookOfTheDialog()
{
    Login login;
    app::TfrmPass &d = login.dialog;
    QCOMPARE(d.size(), QSize(277, 344));
    QCOMPARE(d.windowTitle(), QStringLiteral("운영자 로그온 - 접수통계"));
    QVERIFY(!(d.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint)));
    QVERIFY(!d.ui->Image1->pixmap().isNull());
    QCOMPARE(d.ui->edPass->echoMode(), QLineEdit::Password);
    QTest::keyClicks(d.ui->edPass, QStringLiteral("pw1"));
    QCOMPARE(d.ui->edPass->displayText(), QStringLiteral("***"));
    d.ui->edID->setFocus();
    QTest::keyClick(d.ui->edID, Qt::Key_Tab);
    QCOMPARE(d.focusWidget(), d.ui->edPass);

    struct Look {
        QWidget *w;
        QColor colour;
        bool bold;
    };
    const Look looks[] = {{d.ui->Panel4, QColor(0, 128, 128), true}, {d.ui->Panel3, QColor(0, 128, 128), true},
                          {d.ui->edID, QColor(0, 0, 128), true},     {d.ui->edPass, QColor(0, 0, 128), true},
                          {d.ui->btnOK, QColor(0, 128, 0), true},    {d.ui->btnCancel, QColor(128, 0, 0), true}};
    for (const Look &l : looks) {
        l.w->ensurePolished();
        QCOMPARE(l.w->font().pixelSize(), 13);
        QCOMPARE(l.w->font().family(), QStringLiteral("굴림체"));
        QCOMPARE(l.w->font().bold(), l.bold);
        const QPalette::ColorRole role = qobject_cast<QLineEdit *>(l.w)     ? QPalette::Text
                                         : qobject_cast<QToolButton *>(l.w) ? QPalette::ButtonText
                                                                            : QPalette::WindowText;
        QCOMPARE(l.w->palette().color(role), l.colour);
    }
    d.ui->edID->ensurePolished();
    QCOMPARE(d.ui->edID->palette().color(QPalette::Base), QColor(192, 192, 192));
}

void TstLogin::showEmptiesEntriesAndFocusesId()
{
    Login login;
    login.dialog.hide();
    login.type(QStringLiteral("kim"), QStringLiteral("pw1"));
    login.dialog.ui->edPass->setFocus();
    login.dialog.show();
    QCOMPARE(login.dialog.ui->edID->text(), QString());
    QCOMPARE(login.dialog.ui->edPass->text(), QString());
    QCOMPARE(login.dialog.focusWidget(), login.dialog.ui->edID);
}

void TstLogin::submission_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("pass");
    QTest::addColumn<bool>("byEnter");
    QTest::addColumn<bool>("loggedIn");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("usage");
    QTest::addColumn<QString>("focus");
    const QString at = QStringLiteral("2024-03-05 09:10:11|");
    const QString tail = QStringLiteral("|10.20.3.4|TST_LOGIN|");
    QTest::newRow("account by button") << "kim"
                                       << "pw1" << false << true << QStringList()
                                       << QStringList{at + "kim" + tail + "S"} << "";
    QTest::newRow("account by Enter") << "kim"
                                      << "pw1" << true << true << QStringList() << QStringList{at + "kim" + tail + "S"}
                                      << "";
    QTest::newRow("blank-padded ID checked trimmed, recorded as typed")
        << " kim "
        << "pw1" << true << true << QStringList() << QStringList{at + " kim " + tail + "S"} << "";
    QTest::newRow("blank-padded password")
        << "kim"
        << " pw1  " << false << true << QStringList() << QStringList{at + "kim" + tail + "S"} << "";
    QTest::newRow("wrong password") << "kim"
                                    << "pw9" << true << false << QStringList{kNoRights}
                                    << QStringList{at + "kim" + tail + "F"} << "";
    QTest::newRow("ID compared exactly") << "KIM"
                                         << "pw1" << false << false << QStringList{kNoRights}
                                         << QStringList{at + "KIM" + tail + "F"} << "";
    QTest::newRow("account of another program")
        << "lee"
        << "pw2" << false << false << QStringList{kNoRights} << QStringList{at + "lee" + tail + "F"} << "";
    QTest::newRow("empty level stays open")
        << "park"
        << "pw3" << false << false << QStringList() << QStringList{at + "park" + tail + "S"} << "";
    QTest::newRow("null level stays open")
        << "choi"
        << "pw4" << true << false << QStringList() << QStringList{at + "choi" + tail + "S"} << "";
    QTest::newRow("empty ID") << ""
                              << "pw1" << false << false << QStringList{"운영자ID를 입력하세요!"} << QStringList()
                              << "edID";
    QTest::newRow("empty password") << "kim"
                                    << "" << true << false << QStringList{"PASSWORD를 입력하세요!"} << QStringList()
                                    << "edPass";
    QTest::newRow("both empty") << ""
                                << "" << true << false << QStringList{"운영자ID를 입력하세요!"} << QStringList()
                                << "edID";
    QTest::newRow("blanks are an ID") << "  "
                                      << "pw1" << false << false << QStringList{kNoRights}
                                      << QStringList{at + "  " + tail + "F"} << "";
}

void TstLogin::submission()
{
    QFETCH(QString, id);
    QFETCH(QString, pass);
    QFETCH(bool, byEnter);
    QFETCH(bool, loggedIn);
    QFETCH(QStringList, messages);
    QFETCH(QStringList, usage);
    QFETCH(QString, focus);
    Login login;
    login.type(id, pass);
    if (byEnter)
        QTest::keyClick(login.dialog.ui->edPass, Qt::Key_Return);
    else
        QTest::mouseClick(login.dialog.ui->btnOK, Qt::LeftButton);

    QCOMPARE(login.messages(), messages);
    QCOMPARE(login.fx.rows(kUsageRows), usage);
    QCOMPARE(login.dialog.isVisible(), !loggedIn);
    QCOMPARE(login.dialog.result(), loggedIn ? int(QDialog::Accepted) : int(QDialog::Rejected));
    QCOMPARE(login.dialog.UserLevel.isEmpty(), !loggedIn);
    if (!focus.isEmpty())
        QCOMPARE(login.dialog.focusWidget()->objectName(), focus);
    QVERIFY(!app::terminationRequested());
    // The password is never shown.
    for (const QString &m : login.messages())
        QVERIFY(pass.trimmed().isEmpty() || !m.contains(pass.trimmed()));
}

void TstLogin::enterInIdMovesToPassword()
{
    Login login;
    login.type(QStringLiteral("kim"), QStringLiteral("pw1"));
    login.dialog.ui->edID->setFocus();
    QTest::keyClick(login.dialog.ui->edID, Qt::Key_Return);
    QCOMPARE(login.dialog.focusWidget(), login.dialog.ui->edPass);
    QTest::keyClick(login.dialog.ui->edID, Qt::Key_Enter); // the keypad's Enter as well
    QCOMPARE(login.dialog.focusWidget(), login.dialog.ui->edPass);
    QVERIFY(login.dialog.isVisible());
    QVERIFY(login.messages().isEmpty());
    QCOMPARE(login.fx.rows(kUsageRows), QStringList());
    // Other keys still type.
    QTest::keyClicks(login.dialog.ui->edPass, QStringLiteral("x"));
    QCOMPARE(login.dialog.ui->edPass->text(), QStringLiteral("pw1x"));
}

void TstLogin::escapeDoesNothingCancelEndsProgram()
{
    Login login;
    login.type(QStringLiteral("kim"), QStringLiteral("pw1"));
    QTest::keyClick(login.dialog.ui->edPass, Qt::Key_Escape);
    QTest::keyClick(&login.dialog, Qt::Key_Escape);
    login.dialog.close(); // the window manager's close request
    QVERIFY(login.dialog.isVisible());
    QVERIFY(!app::terminationRequested());
    QCOMPARE(login.dialog.ui->edPass->text(), QStringLiteral("pw1"));

    QTest::mouseClick(login.dialog.ui->btnCancel, Qt::LeftButton);
    QVERIFY(!login.dialog.isVisible());
    QVERIFY(app::terminationRequested());
    QCOMPARE(login.dialog.result(), int(QDialog::Rejected));
    QCOMPARE(login.fx.rows(kUsageRows), QStringList());
    QVERIFY(login.messages().isEmpty());
}

void TstLogin::everySubmissionWritesItsOwnRow()
{
    Login login;
    const QStringList attempts[] = {{"kim", "x"}, {"", "x"}, {"kim", ""}, {"park", "pw3"}, {"kim", "pw1"}};
    for (const QStringList &a : attempts) {
        login.type(a[0], a[1]);
        QTest::keyClick(login.dialog.ui->edPass, Qt::Key_Return);
    }
    QCOMPARE(login.fx.rows(QStringLiteral("SELECT USERID, ACTION FROM USER_RECORD ORDER BY ROWID")),
             (QStringList{"kim|F", "park|S", "kim|S"}));
    QVERIFY(!login.dialog.isVisible());
}

void TstLogin::failedHostLookupRefusesWithoutRow_data()
{
    // How the lookup fails: "none" finds no address, "db" raises a database error, "other" any
    // other error; thrown errors carry the text given.
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("no IPv4 address") << "none" << QString() << QStringList{kConnectFailed};
    QTest::newRow("database error") << "db" << QStringLiteral("ORA-03113: end-of-file on communication channel")
                                    << QStringList{kConnectFailed};
    QTest::newRow("another error keeps its own text")
        << "other" << QStringLiteral("호스트 이름을 확인할 수 없습니다 (resolver)")
        << QStringList{QStringLiteral("error: 호스트 이름을 확인할 수 없습니다 (resolver)")};
}

void TstLogin::failedHostLookupRefusesWithoutRow()
{
    QFETCH(QString, failure);
    QFETCH(QString, text);
    QFETCH(QStringList, messages);
    Login login;
    login.dialog.setHostAddressLookup([failure, text]() -> std::optional<QString> {
        if (failure == QLatin1String("db"))
            throw db::DbError(text);
        if (failure == QLatin1String("other"))
            throw std::runtime_error(text.toStdString());
        return std::nullopt;
    });
    const QStringList ids = {"kim", "lee"}; // a matching account, and one refused
    for (const QString &id : ids) {
        login.fx.recorded->clear();
        const QString pass = id == QLatin1String("kim") ? QStringLiteral("pw1") : QStringLiteral("pw2");
        login.type(id, pass);
        QTest::mouseClick(login.dialog.ui->btnOK, Qt::LeftButton);
        QCOMPARE(login.messages(), messages);
        QVERIFY(login.dialog.isVisible());
        QCOMPARE(login.dialog.result(), int(QDialog::Rejected));
        QVERIFY(login.dialog.UserLevel.isEmpty());
        QVERIFY(!app::terminationRequested());
        QCOMPARE(login.dialog.ui->edID->text(), id);
        QCOMPARE(login.dialog.ui->edPass->text(), pass);
    }
    QCOMPARE(login.fx.rows(kUsageRows), QStringList());

    // Once the address resolves, the same dialog logs in.
    login.fx.recorded->clear();
    login.dialog.setHostAddressLookup(deskAddress);
    login.type(QStringLiteral("kim"), QStringLiteral("pw1"));
    QTest::keyClick(login.dialog.ui->edPass, Qt::Key_Return);
    QCOMPARE(login.messages(), QStringList());
    QVERIFY(!login.dialog.isVisible());
    QCOMPARE(login.dialog.result(), int(QDialog::Accepted));
    QCOMPARE(login.dialog.UserLevel, QStringLiteral("1"));
    QCOMPARE(login.fx.rows(QStringLiteral("SELECT USERID, IPADDRESS, ACTION FROM USER_RECORD")),
             QStringList{QStringLiteral("kim|10.20.3.4|S")});
}

void TstLogin::failureInsideCheckRefusesLogin()
{
    Login login;
    login.fx.db.run(QStringLiteral("DROP TABLE USER_RECORD;"));
    login.type(QStringLiteral("kim"), QStringLiteral("pw1"));
    QTest::mouseClick(login.dialog.ui->btnOK, Qt::LeftButton);
    // The account matched, but its usage row could not be written.
    QCOMPARE(login.messages(), QStringList{kConnectFailed});
    QVERIFY(login.dialog.isVisible());
}

namespace {
// A server that accepts the request to connect but never comes up.
class DeadBackend : public db::Backend {
public:
    void open() override {}
    void close() override {}
    bool isOpen() const override { return false; }
    db::ResultSet select(const QString &, const db::ParamValues &) override { throw db::DbError("closed"); }
    int exec(const QString &, const db::ParamValues &) override { throw db::DbError("closed"); }
    QString describe() const override { return QStringLiteral("dead"); }
};
} // namespace

void TstLogin::connectionNotEstablished()
{
    Login login;
    app::DataMod1->CommonDB->setBackend(std::make_unique<DeadBackend>());
    login.type(QStringLiteral("kim"), QStringLiteral("pw1"));
    QTest::keyClick(login.dialog.ui->edPass, Qt::Key_Return);
    QCOMPARE(login.messages(), QStringList{kConnectFailed});
    QVERIFY(login.dialog.isVisible());
    QCOMPARE(login.fx.rows(kUsageRows), QStringList());
}

void TstLogin::connectionRetriedOnEveryAttempt()
{
    ui::ScopedRecordingUi recorded;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("later.db"));
    db::setEmbeddedOverride(path);
    app::TDataMod1 dm; // the server is not there yet
    QCOMPARE(recorded->entries.size(), 1);
    QCOMPARE(recorded->entries[0].kind, Kind::Error);

    app::TfrmPass dialog;
    dialog.setHostAddressLookup(deskAddress);
    dialog.show();
    dialog.ui->edID->setText(QStringLiteral("kim"));
    dialog.ui->edPass->setText(QStringLiteral("pw1"));
    QTest::mouseClick(dialog.ui->btnOK, Qt::LeftButton);
    // The error raised while connecting reaches the default error box with its own text.
    QCOMPARE(recorded->entries.size(), 2);
    QCOMPARE(recorded->entries[1].kind, Kind::Error);
    QVERIFY2(recorded->entries[1].text.contains(path), qPrintable(recorded->entries[1].text));
    QVERIFY(dialog.isVisible());

    app::createSchema(path);
    db::EmbeddedBackend::runScript(path, kAccounts);
    QTest::mouseClick(dialog.ui->btnOK, Qt::LeftButton);
    QCOMPARE(recorded->entries.size(), 2);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.UserLevel, QStringLiteral("1"));
    db::setEmbeddedOverride(QString());
}

void TstLogin::programNameIsUpperCaseFileName()
{
    QCOMPARE(app::programName(), QStringLiteral("TST_LOGIN"));
    const std::optional<QString> address = app::localHostAddress();
    if (address) // a desk without a resolvable name refuses the login instead
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d{1,3}(\\.\\d{1,3}){3}$")).match(*address).hasMatch(),
                 qPrintable(*address));
}

QTEST_MAIN(TstLogin)
#include "tst_login.moc"
