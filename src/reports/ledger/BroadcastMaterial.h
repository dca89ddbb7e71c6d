#pragma once

// The ledgers' broadcast and not-broadcast shares are of the broadcast material (every handling
// result other than in-house) of the same hour column: Query5 holds those sums, and Query3 and
// Query4 take them as their divisors.

namespace tipdesk::stats {
class KindForm;
class PrepareContext;
} // namespace tipdesk::stats

namespace tipdesk::ledger {

// Opens Query3 and Query4 with the sums of the open Query5 bound as their divisors. Without a
// material row, or with an empty sum, a divisor is 0, and the share's test falls on a count of 0.
void OpenMaterialShares(stats::KindForm &form, stats::PrepareContext &context);

} // namespace tipdesk::ledger
