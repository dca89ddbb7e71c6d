#include "stats/UDMReport.h"

#include "platform/db/DbError.h"

namespace tipdesk::stats {

TDMReport *DMReport = nullptr;

TDMReport::TDMReport(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("DMReport"));
    qryDate = new db::Query(QStringLiteral("commonDB"), {}, this);
    qryDate->setObjectName(QStringLiteral("qryDate"));
    qryDateF = new db::Query(QStringLiteral("commonDB"), {}, this);
    qryDateF->setObjectName(QStringLiteral("qryDateF"));
    // Start-up creates the one module; the console reaches it through the global.
    if (!DMReport)
        DMReport = this;
}

TDMReport::~TDMReport()
{
    if (DMReport == this)
        DMReport = nullptr;
}

TDMReport &reportModule()
{
    if (!DMReport)
        throw db::DbError(QStringLiteral("The report query module has not been created"));
    return *DMReport;
}

} // namespace tipdesk::stats
