// Kind 14, "월간 교통정보 제보대장": the one-page sheet of the calendar month holding the start
// day — handling hour by hour with the shares of the broadcast material and the daily average,
// the counts by reporter type, the guidance-service calls by hour and by kind, and the handling
// totals. The sheet has no bands: its items lie on the page.
#include "platform/db/Query.h"
#include "platform/report/ReportForm.h"
#include "reports/ledger/Ledger.h"

#include <QDate>

namespace tipdesk::reports {

namespace {

// A month's sum read as a whole number; a sum over no rows is empty and counts 0.
qint64 sumOf(const db::Query &q, const char *field)
{
    return q.isEmpty() ? 0 : q.fieldByName(QLatin1String(field)).asInteger();
}

// The month's reports and guidance calls over its days, cut to a whole number.
void dailyAverage(report::ReportForm &form)
{
    const int days = form.parameters().value(QStringLiteral("StartDay")).toDate().daysInMonth();
    const qint64 total =
        sumOf(*form.query(QStringLiteral("Query5")), "TOT") + sumOf(*form.query(QStringLiteral("Query2")), "TOTAL");
    form.setParameter(QStringLiteral("DailyAverage"), QString::number(total / days));
}

} // namespace

Unit UntMonth()
{
    return {QStringLiteral("UntMonth"), nullptr, &dailyAverage};
}

} // namespace tipdesk::reports
