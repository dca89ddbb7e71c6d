#include "platform/db/Query.h"
#include "reports/summary/UStatCoummP.h"
#include "reports/summary/UStatFixP.h"
#include "reports/summary/UStatOperatorP.h"
#include "reports/summary/UntPol.h"
#include "stats/ReportKinds.h"
#include "stats/UDMReport.h"

namespace tipdesk::stats {

namespace {

void bindPeriods(db::Query &q)
{
    q.paramByName(QStringLiteral("currDay")).setAsString(CurrDay);
    q.paramByName(QStringLiteral("weekStart")).setAsString(WeekStart);
    q.paramByName(QStringLiteral("weekEnd")).setAsString(WeekEnd);
    q.paramByName(QStringLiteral("currMonth")).setAsString(CurrMonth);
}

// The pattern the four summaries share: reference periods, the period sums into PeriodSums
// (a missing sum reads as 0), then the rows with their shares of those sums.
PreparedReport prepareBySource(TfStatHUBp &console, report::ReportForm *form, db::Query &sum, db::Query &rows)
{
    CalcPeriods();
    sum.close();
    bindPeriods(sum);
    sum.open();
    for (int i = 0; i < 4; ++i)
        console.PeriodSums[size_t(i)] = qint32(sum.field(i).asInteger());

    rows.close();
    bindPeriods(rows);
    rows.paramByName(QStringLiteral("DaySum")).setAsInteger(console.PeriodSums[0]);
    rows.paramByName(QStringLiteral("weekSum")).setAsInteger(console.PeriodSums[1]);
    rows.paramByName(QStringLiteral("monthSum")).setAsInteger(console.PeriodSums[2]);
    rows.paramByName(QStringLiteral("totalSum")).setAsInteger(console.PeriodSums[3]);
    rows.open();
    return {form, &rows, false};
}

} // namespace

PreparedReport PrepareStatRepCoumm(TfStatHUBp &console)
{
    auto *form = new summary::TfStatRepCoumm(&console);
    return prepareBySource(console, form, *reportModule().qrySumC, *reportModule().qryReportC);
}

PreparedReport PrepareStatFix(TfStatHUBp &console)
{
    auto *form = new summary::TfStatFix(&console);
    return prepareBySource(console, form, *reportModule().qrySumF, *reportModule().qryReportF);
}

PreparedReport PrepareFrmPol(TfStatHUBp &console)
{
    auto *form = new summary::TFrmPol(&console);
    PreparedReport prepared = prepareBySource(console, form, *form->query(QStringLiteral("qrySumF")),
                                              *form->query(QStringLiteral("qryReportF")));
    form->label(QStringLiteral("QRLDay"))->setCaption(QStringLiteral("기준일 : ") + DayCaption(CurrDay));
    return prepared;
}

PreparedReport PrepareStatOperator(TfStatHUBp &console)
{
    auto *form = new summary::TfStatOperator(&console);
    return prepareBySource(console, form, *form->query(QStringLiteral("qrySum")),
                           *form->query(QStringLiteral("qryReport")));
}

} // namespace tipdesk::stats
