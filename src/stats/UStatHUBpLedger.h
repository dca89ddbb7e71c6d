#pragma once

#include "stats/UStatHUBp.h"

namespace tipdesk::stats {

// Preparation of the daily reception ledger (kind 11) for the start day.
PreparedReport PrepareFrmDay(TfStatHUBp &console);

} // namespace tipdesk::stats
