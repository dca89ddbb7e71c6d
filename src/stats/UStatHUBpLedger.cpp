#include "stats/UStatHUBpLedger.h"

#include "reports/ledger/untDay.h"

namespace tipdesk::stats {

PreparedReport PrepareFrmDay(TfStatHUBp &console)
{
    auto *form = new ledger::TFrmDay(&console);
    form->Prepare(StartDay, DayCaptionWithWeekday(StartDay));
    // Only the not-broadcast row is tested; the other queries may be empty.
    return {form, form->Query4, false};
}

} // namespace tipdesk::stats
