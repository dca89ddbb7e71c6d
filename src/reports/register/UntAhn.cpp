// Kind 15, "일일 안내서비스 처리대장": the day's guidance requests and institution notifications,
// each with the name of its detail, looked up in BASE_CODE group "100" as its line prints.
#include "platform/db/Query.h"
#include "platform/report/ReportForm.h"
#include "reports/register/Register.h"

#include <algorithm>

namespace tipdesk::reports {

namespace {

// The subtype is the 1-based position of the detail in its sub-list of the code table
// (guidance under '8', notifications under '9', headings not counted) or "Z" for other. The
// list is read afresh for every line, as the desk may change it at any time.
QString detailName(const report::ReportForm &form, const QString &subtype)
{
    if (subtype.isEmpty())
        return subtype;
    const bool other = subtype == QLatin1String("Z");
    bool number = false;
    const qint64 n = subtype.trimmed().toLongLong(&number);
    // Neither a position nor "Z": printed as stored rather than stopping the register.
    if (!other && !number)
        return subtype;
    const db::Query &line = *form.query(QStringLiteral("Query1"));
    const bool guidance = line.fieldByName(QStringLiteral("INCIDENT_TYPE")).asString() == QStringLiteral("안내");
    const db::Query &list = *form.query(guidance ? QStringLiteral("qryGuidance") : QStringLiteral("qryNotice"));
    db::Query lookup(line.databaseName(), list.sql()); // freed on every path, an error's too
    lookup.open();
    if (lookup.isEmpty())
        return subtype;
    if (other)
        return QStringLiteral("기타");
    const qint64 steps = std::clamp<qint64>(n - 1, 0, lookup.recordCount() - 1);
    for (qint64 k = 0; k < steps; ++k)
        lookup.next();
    return lookup.fieldByName(QStringLiteral("BAS_NAME")).asString();
}

void handlers(report::ReportForm &form)
{
    form.onItemPrint(QStringLiteral("QRDBText1Print"),
                     [&form](const report::Item &, QString &value) { value = detailName(form, value); });
}

} // namespace

Unit UntAhn()
{
    return {QStringLiteral("UntAhn"), &handlers, nullptr};
}

} // namespace tipdesk::reports
