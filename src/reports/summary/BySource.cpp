#include "reports/summary/BySource.h"

#include "platform/db/Query.h"
#include "platform/report/Layout.h"

namespace tipdesk::summary {

void PrepareBySource(stats::KindForm &form, stats::PrepareContext &context)
{
    const db::Query &sum = context.open(form.layout().queries.front().name);
    std::array<qint32, 4> sums{};
    for (int i = 0; i < 4; ++i)
        sums[size_t(i)] = qint32(sum.field(i).asInteger());
    context.periodSums = sums;

    const QString rowQuery = QLatin1String(form.descriptor().tested);
    db::Query &rows = *form.query(rowQuery);
    rows.close();
    rows.paramByName(QStringLiteral("DaySum")).setAsInteger(sums[0]);
    rows.paramByName(QStringLiteral("weekSum")).setAsInteger(sums[1]);
    rows.paramByName(QStringLiteral("monthSum")).setAsInteger(sums[2]);
    rows.paramByName(QStringLiteral("totalSum")).setAsInteger(sums[3]);
    context.open(rowQuery);
}

} // namespace tipdesk::summary
