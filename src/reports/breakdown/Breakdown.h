#pragma once

// The unit of the breakdowns (kind 18); the daily breakdowns need none.

#include "reports/Unit.h"

namespace tipdesk::reports {

Unit UntRole();

} // namespace tipdesk::reports
