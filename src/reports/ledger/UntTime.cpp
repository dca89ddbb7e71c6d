// Kind 13, "주간 교통정보 제보대장": one row per day of the period with its total, its morning and
// afternoon subtotals and its hour buckets, then the period's totals, the totals of every day up
// to the end day, and the period's daily average.
#include "platform/db/Query.h"
#include "platform/report/ReportForm.h"
#include "reports/ledger/Ledger.h"

#include <cfenv>
#include <cmath>

namespace tipdesk::reports {

namespace {

// The average over the days that have rows, to the nearest whole number with halves to the even
// one (12.5 prints 12, 13.5 prints 14); an empty period has no average and prints 0.
void dailyAverage(report::ReportForm &form)
{
    const db::Query &average = *form.query(QStringLiteral("qryDay"));
    QString text = QStringLiteral("0");
    if (!average.isEmpty() && !average.field(0).isNull()) {
        const int mode = std::fegetround();
        std::fesetround(FE_TONEAREST);
        const double rounded = std::nearbyint(average.field(0).asFloat());
        std::fesetround(mode);
        text = QString::number(qint64(rounded));
    }
    form.setParameter(QStringLiteral("DailyAverage"), text);
}

} // namespace

Unit UntTime()
{
    return {QStringLiteral("UntTime"), nullptr, &dailyAverage};
}

} // namespace tipdesk::reports
