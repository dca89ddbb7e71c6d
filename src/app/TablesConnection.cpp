#include "app/TablesConnection.h"

namespace tipdesk::app {

db::ConnectionParams deskConnection()
{
    db::ConnectionParams p;
    p.alias = QStringLiteral("commonDB");
    p.driverName = QStringLiteral("ORACLE");
    p.serverName = QStringLiteral("TIPHUB");
    p.userName = QStringLiteral("vexlan");
    p.password = QStringLiteral("plomar");
    return p;
}

} // namespace tipdesk::app
