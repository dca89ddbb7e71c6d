// Kind 18, "소속별 제보현황": the period's report counts of the current correspondents, grouped by
// the organisation recorded on their reports. Each organisation has a heading with its identifier,
// its name and its total (over all its correspondents, current or not), and numbers its rows
// from 1 in descending order of their counts; every organisation after the first begins a page.
#include "platform/report/ReportForm.h"
#include "reports/breakdown/Breakdown.h"

#include <memory>

namespace tipdesk::reports {

namespace {

void handlers(report::ReportForm &form)
{
    // The number of the row being printed within the current organisation: the group band
    // prints before the first row of each organisation, so its rows are numbered afresh; a page
    // break inside an organisation goes on counting.
    const auto row = std::make_shared<int>(0);
    form.onBandBeforePrint(QStringLiteral("QRGroup1BeforePrint"), [row](const report::Band &, bool &) { *row = 0; });
    form.onBandBeforePrint(QStringLiteral("QRBand2BeforePrint"), [row](const report::Band &, bool &) { ++*row; });
    form.onItemPrint(QStringLiteral("QRLabel9Print"),
                     [row](const report::Item &, QString &value) { value = QString::number(*row); });
}

} // namespace

Unit UntRole()
{
    return {QStringLiteral("UntRole"), &handlers, nullptr};
}

} // namespace tipdesk::reports
