#pragma once

// The unit of the registers (kind 15); the other registers need none.

#include "reports/Unit.h"

namespace tipdesk::reports {

Unit UntAhn();

} // namespace tipdesk::reports
