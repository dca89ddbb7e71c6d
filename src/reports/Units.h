#pragma once

// The units of every report family, by name, for the catalogue.

#include "reports/Unit.h"

#include <vector>

namespace tipdesk::reports {

std::vector<Unit> AllUnits();

} // namespace tipdesk::reports
