#include "reports/Units.h"

#include "reports/breakdown/Breakdown.h"
#include "reports/ledger/Ledger.h"
#include "reports/register/Register.h"

namespace tipdesk::reports {

std::vector<Unit> AllUnits()
{
    return {UntRole(), UntSu(), UntTime(), UntMonth(), UntAhn()};
}

} // namespace tipdesk::reports
