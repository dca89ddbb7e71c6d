#pragma once

#include "stats/UStatHUBp.h"

namespace tipdesk::stats {

// Preparations of the summaries by source (kinds 0..3): reference periods, period sums, rows.
PreparedReport PrepareStatRepCoumm(TfStatHUBp &console);
PreparedReport PrepareStatFix(TfStatHUBp &console);
PreparedReport PrepareFrmPol(TfStatHUBp &console);
PreparedReport PrepareStatOperator(TfStatHUBp &console);

} // namespace tipdesk::stats
