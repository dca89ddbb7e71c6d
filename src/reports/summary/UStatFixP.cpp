#include "reports/summary/UStatFixP.h"

#include "reports/summary/SummaryLayouts.h"

namespace tipdesk::summary {

TfStatFix::TfStatFix(QObject *owner) : ReportForm(owner)
{
    setObjectName(QStringLiteral("TfStatFix"));
    loadLayout(summaryLayoutPath(QStringLiteral("UStatFixP")));
}

} // namespace tipdesk::summary
