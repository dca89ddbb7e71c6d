#include "stats/UDMReport.h"

#include "platform/db/DbError.h"
#include "platform/report/ReportForm.h"

namespace tipdesk::stats {

TDMReport *DMReport = nullptr;

namespace {

db::Query *makeQuery(QObject *owner, const char *name, const QStringList &lines)
{
    auto *q = new db::Query(QStringLiteral("commonDB"), lines, owner);
    q->setObjectName(QLatin1String(name));
    // Report layouts print these rows as "qryReportC" or "DMReport.qryReportC".
    report::QueryRegistry::add(QStringLiteral("DMReport"), q->objectName(), q);
    return q;
}

// The share columns divide by a period sum. A sum of 0 with a listed row still present would
// make the server refuse the whole statement (division by zero), so a zero divisor is turned
// into null, which the surrounding NVL prints as 0.
const QStringList kSumC = {
    QStringLiteral("select daysum, weeksum, monthsum, totsum"),
    QStringLiteral("from  (select sum(report_count) daysum from stat_hub_rpt where stat_day = :currDay),"),
    QStringLiteral("      (select sum(report_count) weeksum from stat_hub_rpt"),
    QStringLiteral("        where stat_day >= :weekStart and stat_day <= :weekEnd),"),
    QStringLiteral("      (select sum(report_count) monthsum from stat_hub_rpt"),
    QStringLiteral("        where SUBSTR(stat_day,1,6) = :currMonth),"),
    QStringLiteral("      (select sum(report_count) totsum from stat_hub_rpt"),
    QStringLiteral("        where stat_day <= :currDay)"),
    QString(),
};

const QStringList kReportC = {
    QStringLiteral("select rownum,t4.rpt_id, t4.rpt_name,"),
    QStringLiteral("           to_char( to_date( :currDay,'yyyymmdd'), 'yyyy-mm-dd' ) Job_Date,"),
    QStringLiteral("           nvl(t1.total, 0) day_sum,"),
    QStringLiteral("           nvl(t2.total, 0) week_sum,"),
    QStringLiteral("           nvl(t3.total,0) month_sum,"),
    QStringLiteral("           nvl(t4.total, 0) total,"),
    QStringLiteral(
        "           concat( Trunc( nvl(t1.total/decode(:daysum, 0, null, :daysum)   * 100, 0),1), '%') str_day,"),
    QStringLiteral(
        "           concat( Trunc( nvl(t2.total/decode(:weeksum, 0, null, :weeksum)  * 100, 0),1), '%') str_week,"),
    QStringLiteral(
        "           concat( Trunc( nvl(t3.total/decode(:monthsum, 0, null, :monthsum) * 100, 0),1), '%') str_month,"),
    QStringLiteral(
        "           concat( Trunc( nvl(t4.total/decode(:totalsum, 0, null, :totalsum) * 100, 0),1), '%') str_total"),
    QStringLiteral("  from (select rpt_id, rpt_name, sum(report_count) total"),
    QStringLiteral("          from stat_hub_rpt"),
    QStringLiteral("         where stat_day = :currDay"),
    QStringLiteral("         group by rpt_id, rpt_name) t1,"),
    QStringLiteral("       (select rpt_id, rpt_name, sum(report_count) total"),
    QStringLiteral("          from stat_hub_rpt"),
    QStringLiteral("         where stat_day >= :weekStart and stat_day <= :weekEnd"),
    QStringLiteral("         group by rpt_id, rpt_name) t2,"),
    QStringLiteral("       (select rpt_id, rpt_name, sum(report_count) total"),
    QStringLiteral("          from stat_hub_rpt"),
    QStringLiteral("         where SUBSTR(stat_day,1,6) = :currMonth"),
    QStringLiteral("         group by rpt_id, rpt_name) t3,"),
    QStringLiteral("       (select rpt_id, rpt_name, sum(report_count) total"),
    QStringLiteral("          from stat_hub_rpt"),
    QStringLiteral("         where stat_day <= :currDay"),
    QStringLiteral("          And rpt_id in ( Select INDIVIDUAL_ID From INDIVIDUAL Where CUR = 'Y' )"),
    QStringLiteral("         group by rpt_id, rpt_name) t4"),
    QStringLiteral(" where t4.rpt_id = t1.rpt_id(+) and t4.rpt_name = t1.rpt_name(+)"),
    QStringLiteral("   and t4.rpt_id = t2.rpt_id(+) and t4.rpt_name = t2.rpt_name(+)"),
    QStringLiteral("   and t4.rpt_id = t3.rpt_id(+) and t4.rpt_name = t3.rpt_name(+)"),
    QString(),
    QString(),
    QString(),
    QStringLiteral(" order by t4.total desc"),
    QString(),
    QString(),
    QString(),
    QString(),
    QString(),
    QString(),
};

const QStringList kSumF = {
    QStringLiteral("select daysum, weeksum, monthsum, totsum"),
    QStringLiteral("from  (select sum(report_count) daysum from stat_hub_org where stat_day = :currDay),"),
    QStringLiteral("      (select sum(report_count) weeksum from stat_hub_org"),
    QStringLiteral("        where stat_day >= :weekStart and stat_day <= :weekEnd),"),
    QStringLiteral("      (select sum(report_count) monthsum from stat_hub_org"),
    QStringLiteral("        where SUBSTR(stat_day,1,6) = :currMonth),"),
    QStringLiteral("      (select sum(report_count) totsum from stat_hub_org"),
    QStringLiteral("        where stat_day <= :currDay)"),
};

const QStringList kReportF = {
    QStringLiteral("select t4.org_id, t4.org_name,"),
    QStringLiteral("           to_char( to_date( :currDay,'yyyymmdd'), 'yyyy-mm-dd' ) job_date,"),
    QStringLiteral("           nvl(t1.total, 0) day_sum,"),
    QStringLiteral("           nvl(t2.total, 0) week_sum,"),
    QStringLiteral("           nvl(t3.total,0) month_sum,"),
    QStringLiteral("           nvl(t4.total, 0) total,"),
    QStringLiteral(
        "           concat( trunc( nvl(t1.total/decode(:daysum, 0, null, :daysum)   * 100, 0),1), '%') str_day,"),
    QStringLiteral(
        "           concat( trunc( nvl(t2.total/decode(:weeksum, 0, null, :weeksum)  * 100, 0),1), '%') str_week,"),
    QStringLiteral(
        "           concat( trunc( nvl(t3.total/decode(:monthsum, 0, null, :monthsum) * 100, 0),1), '%') str_month,"),
    QStringLiteral(
        "           concat( trunc( nvl(t4.total/decode(:totalsum, 0, null, :totalsum) * 100, 0),1), '%') str_total"),
    QStringLiteral("  from (select org_id, org_name, sum(report_count) total"),
    QStringLiteral("          from stat_hub_org"),
    QStringLiteral("         where stat_day = :currDay"),
    QStringLiteral("         group by org_id, org_name) t1,"),
    QStringLiteral("       (select org_id, org_name, sum(report_count) total"),
    QStringLiteral("          from stat_hub_org"),
    QStringLiteral("         where stat_day >= :weekStart and stat_day <= :weekEnd"),
    QStringLiteral("         group by org_id, org_name) t2,"),
    QStringLiteral("       (select org_id, org_name, sum(report_count) total"),
    QStringLiteral("          from stat_hub_org"),
    QStringLiteral("         where SUBSTR(stat_day,1,6) = :currMonth"),
    QStringLiteral("         group by org_id, org_name) t3,"),
    QStringLiteral("       (select org_id, org_name, sum(report_count) total"),
    QStringLiteral("          from stat_hub_org"),
    QStringLiteral("         where stat_day <= :currDay"),
    QStringLiteral("          And org_id in ( Select INDIVIDUAL_ID From INDIVIDUAL Where CUR = 'Y' )"),
    QStringLiteral("         group by org_id, org_name) t4"),
    QStringLiteral(" where t4.org_id = t1.org_id(+)"),
    QStringLiteral("   and t4.org_id = t2.org_id(+)"),
    QStringLiteral("   and t4.org_id = t3.org_id(+)"),
    QStringLiteral("   and t4.org_name = t1.org_name(+)"),
    QStringLiteral("   and t4.org_name = t2.org_name(+)"),
    QStringLiteral("   and t4.org_name = t3.org_name(+)"),
    QStringLiteral(" order by t4.total desc"),
};

} // namespace

TDMReport::TDMReport(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("DMReport"));
    qryDate = makeQuery(this, "qryDate", {});
    qrySumC = makeQuery(this, "qrySumC", kSumC);
    qryReportC = makeQuery(this, "qryReportC", kReportC);
    qryDateF = makeQuery(this, "qryDateF", {});
    qrySumF = makeQuery(this, "qrySumF", kSumF);
    qryReportF = makeQuery(this, "qryReportF", kReportF);
    // Start-up creates the one module; the console reaches it through the global.
    if (!DMReport)
        DMReport = this;
}

TDMReport::~TDMReport()
{
    for (db::Query *q : {qryDate, qrySumC, qryReportC, qryDateF, qrySumF, qryReportF})
        report::QueryRegistry::remove(q);
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
