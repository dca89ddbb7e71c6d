#include "reports/summary/UStatCoummP.h"

#include "reports/summary/SummaryLayouts.h"

namespace tipdesk::summary {

TfStatRepCoumm::TfStatRepCoumm(QObject *owner) : ReportForm(owner)
{
    setObjectName(QStringLiteral("TfStatRepCoumm"));
    loadLayout(summaryLayoutPath(QStringLiteral("UStatCoummP")));
}

} // namespace tipdesk::summary
