#include "app/CommonDM.h"

#include "app/Cp949.h"
#include "platform/db/DbError.h"
#include "platform/ui/UiService.h"

namespace tipdesk::app {

TDataMod1 *DataMod1 = nullptr;

namespace {
// The installation's Oracle service alias; an alias definition in the settings store may name
// another service for the same alias.
const char *const kServerName = "TIPHUB";

// Catalogue buffers in code page 949, each with room for the terminating zero.
constexpr int kTitleBuffer = 33;
constexpr int kTextBuffer = 128;
} // namespace

TDataMod1::TDataMod1(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("DataMod1"));
    CommonDB = new db::Connection(this);
    CommonDB->setObjectName(QStringLiteral("CommonDB"));
    CommonDB->setAliasName(QStringLiteral("commonDB"));
    CommonDB->setDriverName(QStringLiteral("ORACLE"));
    CommonDB->setLoginPrompt(false);
    CommonDB->params() = QStringList{QStringLiteral("SERVER NAME=") + QLatin1String(kServerName),
                                     QStringLiteral("USER NAME=vexlan"), QStringLiteral("PASSWORD=plomar")};

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
    try {
        CommonDB->setConnected(true);
    } catch (const db::DbError &e) {
        // The login asks for the connection again, so the operator can retry later.
        ui::ui().showError(e.text());
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
