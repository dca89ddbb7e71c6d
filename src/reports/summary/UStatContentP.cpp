// "내용별" (kind 6): each day's reports by content, congestion first.
#include "reports/summary/DailyBreakdown.h"

namespace tipdesk::summary {

namespace {

const stats::KindDescriptor kKind = DailyBreakdownKind(6, "내용별", "TfStatContentP", "QRContent", "UStatContentP");
const stats::KindRegistration kRegistered(kKind);

} // namespace

} // namespace tipdesk::summary
