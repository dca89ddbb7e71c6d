#pragma once

// The ledgers' units (kinds 9, 13 and 14); the other ledgers need none.

#include "reports/Unit.h"

namespace tipdesk::reports {

Unit UntSu();
Unit UntTime();
Unit UntMonth();

} // namespace tipdesk::reports
