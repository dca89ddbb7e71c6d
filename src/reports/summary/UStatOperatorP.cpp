#include "reports/summary/UStatOperatorP.h"

#include "reports/summary/SummaryLayouts.h"

namespace tipdesk::summary {

TfStatOperator::TfStatOperator(QObject *owner) : ReportForm(owner)
{
    setObjectName(QStringLiteral("TfStatOperator"));
    loadLayout(summaryLayoutPath(QStringLiteral("UStatOperatorP")));
}

} // namespace tipdesk::summary
