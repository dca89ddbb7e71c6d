// Kind 9, "수집실적": the day's traffic information collected by reporter type, how it was handled,
// and how much of the broadcast material went on air, signed off with the operating unit's name.
#include "platform/db/Query.h"
#include "platform/report/ReportForm.h"
#include "reports/ledger/Ledger.h"

namespace tipdesk::reports {

namespace {

// The sign-off line names the operating unit: the second name of code group '001' in code
// order, the only one when there is one, none when the group is empty (the line then reads
// " 교통정보과" alone). Ordered by the code so that the line does not depend on the order in
// which the rows happen to come back.
void FormCreate(report::ReportForm &form)
{
    db::Query &units = *form.query(QStringLiteral("Query1"));
    units.close();
    units.open();
    units.first();
    units.next(); // on the last row it stays there; on an empty result the name is empty
    const QString name = units.fieldByName(QStringLiteral("BAS_NAME")).asString();
    units.close();
    form.setParameter(QStringLiteral("SignOff"), name + QStringLiteral(" 교통정보과"));
}

} // namespace

Unit UntSu()
{
    return {QStringLiteral("UntSu"), nullptr, &FormCreate};
}

} // namespace tipdesk::reports
