#include "stats/UDMReport.h"

namespace tipdesk::stats {

TDMReport::TDMReport(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("DMReport"));
    qryDate = new db::Query(QStringLiteral("commonDB"), {}, this);
    qryDate->setObjectName(QStringLiteral("qryDate"));
    qryDateF = new db::Query(QStringLiteral("commonDB"), {}, this);
    qryDateF->setObjectName(QStringLiteral("qryDateF"));
}

TDMReport::~TDMReport() = default;

} // namespace tipdesk::stats
