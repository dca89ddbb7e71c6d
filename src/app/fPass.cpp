#include "app/fPass.h"

#include "app/CommonDM.h"
#include "app/DefaultErrorBox.h"
#include "app/Resources.h"
#include "platform/ui/UiService.h"
#include "ui_fPass.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHostAddress>
#include <QHostInfo>
#include <QKeyEvent>
#include <QScreen>

namespace tipdesk::app {

namespace {
bool &terminationFlag()
{
    static bool requested = false;
    return requested;
}

const QString kConnectFailed = QStringLiteral("데이타베이스 연결에 실패했습니다!");
} // namespace

bool terminationRequested()
{
    return terminationFlag();
}
void requestTermination()
{
    terminationFlag() = true;
}
void clearTerminationRequest()
{
    terminationFlag() = false;
}

std::optional<QString> localHostAddress()
{
    const QHostInfo info = QHostInfo::fromName(QHostInfo::localHostName());
    if (info.error() != QHostInfo::NoError)
        return std::nullopt;
    for (const QHostAddress &a : info.addresses()) {
        if (a.protocol() == QAbstractSocket::IPv4Protocol)
            return a.toString();
    }
    return std::nullopt;
}

QString programName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUpper();
}

TfrmPass::TfrmPass(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), ui(new Ui::frmPass),
      m_lookup(localHostAddress)
{
    initArtResources();
    ui->setupUi(this);
    setFixedSize(277, 344);

    qryPass =
        new db::Query(QStringLiteral("commonDB"),
                      {QStringLiteral("SELECT * FROM USER_MANAGE"), QStringLiteral("WHERE USERID = :UserID"),
                       QStringLiteral("AND      USERPASS = :UserPass"), QStringLiteral("AND      APPNAME = :AppName")},
                      this);
    qryPass->setObjectName(QStringLiteral("qryPass"));
    qryRecord = new db::Query(QStringLiteral("commonDB"),
                              {QStringLiteral("INSERT INTO USER_RECORD"),
                               QStringLiteral("               (RECORDDATE, USERID, IPADDRESS, APPNAME, ACTION)"),
                               QStringLiteral("VALUES (SYSDATE, :UserID, :IPaddr, :AppName, :Action)")},
                              this);
    qryRecord->setObjectName(QStringLiteral("qryRecord"));

    ui->edID->installEventFilter(this);
    ui->edPass->installEventFilter(this);
    connect(ui->btnOK, &QToolButton::clicked, this, [this] { withDefaultErrorBox([this] { btnOKClick(); }); });
    connect(ui->btnCancel, &QToolButton::clicked, this, [this] { btnCancelClick(); });

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TfrmPass::~TfrmPass() = default;

void TfrmPass::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TfrmPass::FormShow()
{
    ui->edID->clear();
    ui->edPass->clear();
    ui->edID->setFocus();
}

bool TfrmPass::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (watched == ui->edID)
            return edIDKeyPress(key);
        if (watched == ui->edPass)
            return edPassKeyPress(key);
    }
    return QDialog::eventFilter(watched, event);
}

bool TfrmPass::edIDKeyPress(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    ui->edPass->setFocus();
    return true;
}

bool TfrmPass::edPassKeyPress(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    withDefaultErrorBox([this] { btnOKClick(); });
    return true;
}

void TfrmPass::btnOKClick()
{
    // Blanks count as content here; the account check trims them.
    if (ui->edID->text().isEmpty()) {
        ui::ui().showMessage(QStringLiteral("운영자ID를 입력하세요!"));
        ui->edID->setFocus();
        return;
    }
    if (ui->edPass->text().isEmpty()) {
        ui::ui().showMessage(QStringLiteral("PASSWORD를 입력하세요!"));
        ui->edPass->setFocus();
        return;
    }
    UserLevel = CheckUser();
    if (!UserLevel.isEmpty())
        done(QDialog::Accepted);
}

void TfrmPass::btnCancelClick()
{
    requestTermination();
    done(QDialog::Rejected);
}

bool TfrmPass::ConnectDatabase()
{
    // Asks again every time, so that a server unreachable at start-up can be retried.
    DataMod1->CommonDB->setConnected(true);
    return DataMod1->CommonDB->connected();
}

QString TfrmPass::CheckUser()
{
    if (!ConnectDatabase()) {
        ui::ui().showMessage(kConnectFailed);
        return {};
    }
    try {
        qryPass->close();
        qryPass->paramByName(QStringLiteral("UserID")).setAsString(ui->edID->text().trimmed());
        qryPass->paramByName(QStringLiteral("UserPass")).setAsString(ui->edPass->text().trimmed());
        qryPass->paramByName(QStringLiteral("AppName")).setAsString(programName());
        qryPass->open();
        if (qryPass->bof() && qryPass->eof()) {
            WriteUserRecord(QStringLiteral("F"));
            ui::ui().showMessage(QStringLiteral("입력하신 운용자ID는 이 프로그램을 이용할 권한이 없습니다!"));
            return {};
        }
        const QString level = qryPass->fieldByName(QStringLiteral("USERLEVEL")).asString();
        WriteUserRecord(QStringLiteral("S"));
        return level;
    } catch (const db::DbError &) {
        // Whatever the database refused, the operator is told the connection failed; any other
        // error goes on to the default error box with its own text.
        ui::ui().showMessage(kConnectFailed);
        return {};
    }
}

void TfrmPass::WriteUserRecord(const QString &action)
{
    qryRecord->close();
    const std::optional<QString> address = m_lookup ? m_lookup() : std::nullopt;
    if (!address)
        throw db::DbError(QStringLiteral("The workstation's host name does not resolve to an IPv4 address"));
    qryRecord->paramByName(QStringLiteral("UserID")).setAsString(ui->edID->text());
    qryRecord->paramByName(QStringLiteral("AppName")).setAsString(programName());
    qryRecord->paramByName(QStringLiteral("IPaddr")).setAsString(*address);
    qryRecord->paramByName(QStringLiteral("Action")).setAsString(action);
    qryRecord->execSql();
}

} // namespace tipdesk::app
