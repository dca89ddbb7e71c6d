// "처리 현황별" (kind 5): each day's reports by handling, with the share of the broadcast ones
// among those sent.
#include "reports/summary/DailyBreakdown.h"

namespace tipdesk::summary {

namespace {

const stats::KindDescriptor kKind = DailyBreakdownKind(5, "처리 현황별", "TfStatTreatP", "QRTreat", "UStatTreatP");
const stats::KindRegistration kRegistered(kKind);

} // namespace

} // namespace tipdesk::summary
