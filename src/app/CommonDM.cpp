#include "app/CommonDM.h"

#include "app/Cp949.h"
#include "app/TablesConnection.h"
#include "platform/db/BackendSelector.h"
#include "platform/db/DbError.h"
#include "platform/ui/UiService.h"

#include <optional>

namespace tipdesk::app {

TDataMod1 *DataMod1 = nullptr;

namespace {
// Catalogue buffers in code page 949, each with room for the terminating zero.
constexpr int kTitleBuffer = 33;
constexpr int kTextBuffer = 128;

// What the operator can do with an embedded file that cannot work: only the desk's own default
// file is offered the demo database, and only a file the site named is changed in its settings.
QString unusableFileAdvice()
{
    const std::optional<db::EmbeddedTarget> target = db::embeddedTarget(QStringLiteral("commonDB"));
    QString remedy;
    if (target && target->isDefault)
        remedy = QStringLiteral("이 파일을 다른 곳으로 옮긴 뒤 다시 시작하여 시험용 데모 데이터베이스를 만드십시오.");
    else if (target && db::embeddedOverride().isEmpty())
        remedy = QStringLiteral("사이트 설정의 [commonDB] Path 를 알맞은 파일로 고치십시오.");
    return QStringLiteral("이 파일로는 시작할 수 없어 프로그램을 끝냅니다.\n"
                          "백업해 둔 데이터베이스 파일을 이 자리에 되살리") +
           (remedy.isEmpty() ? QStringLiteral("십시오.") : QStringLiteral("거나, ") + remedy);
}
} // namespace

TDataMod1::TDataMod1(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("DataMod1"));
    CommonDB = new db::Connection(this);
    CommonDB->setObjectName(QStringLiteral("CommonDB"));
    const db::ConnectionParams desk = deskConnection();
    CommonDB->setAliasName(desk.alias);
    CommonDB->setDriverName(desk.driverName);
    CommonDB->setLoginPrompt(false);
    CommonDB->params() =
        QStringList{QStringLiteral("SERVER NAME=") + desk.serverName, QStringLiteral("USER NAME=") + desk.userName,
                    QStringLiteral("PASSWORD=") + desk.password};

    qryMessage = new db::Query(QStringLiteral("commonDB"),
                               {QStringLiteral("SELECT M_TITLE, M_DESC"), QStringLiteral("  FROM MESSAGE"),
                                QStringLiteral("WHERE M_CODE = :ErrCode")},
                               this);
    qryMessage->setObjectName(QStringLiteral("qryMessage"));

    // Screens reach the module through the global from its creation handler on.
    DataMod1 = this;
    DataMod1Create();
}

TDataMod1::~TDataMod1()
{
    if (DataMod1 == this)
        DataMod1 = nullptr;
}

void TDataMod1::DataMod1Create()
{
    m_fileUnusable = false;
    try {
        CommonDB->setConnected(true);
    } catch (const db::DbError &e) {
        // Otherwise the login asks for the connection again, so the operator can retry later.
        m_fileUnusable = e.kind() == db::DbError::Kind::UnusableFile;
        ui::ui().showError(m_fileUnusable ? e.text() + QStringLiteral("\n\n") + unusableFileAdvice() : e.text());
    }
}

void ShowCodedMessage(const QString &code)
{
    QString text;
    QString title = QStringLiteral("확인");
    ui::Icon icon = ui::Icon::None;
    const QChar first = code.isEmpty() ? QChar() : code.front();
    if (first == u'E' || first == u'F') {
        title = QStringLiteral("오류");
        icon = ui::Icon::Stop;
    } else if (first == u'I' || first == u'S') {
        icon = ui::Icon::Information;
    }

    if (!DataMod1)
        throw db::DbError(QStringLiteral("The shared data module has not been created"));
    db::Query &q = *DataMod1->qryMessage;
    q.close();
    q.paramByName(QStringLiteral("ErrCode")).setAsString(code);
    q.open();
    if (q.recordCount() > 0) {
        title = q.fieldByName(QStringLiteral("M_TITLE")).asString();
        text = q.fieldByName(QStringLiteral("M_DESC")).asString();
    }
    ui::ui().messageBox(cp949Prefix(title, kTitleBuffer - 1), cp949Prefix(text, kTextBuffer - 1), icon);
}

} // namespace tipdesk::app
