// "제보자별" (kind 4): each day's reports by reporter type, correspondents first.
#include "reports/summary/DailyBreakdown.h"

namespace tipdesk::summary {

namespace {

const stats::KindDescriptor kKind = DailyBreakdownKind(4, "제보자별", "TfStatRequi", "QRRequi", "UStatRequi");
const stats::KindRegistration kRegistered(kKind);

} // namespace

} // namespace tipdesk::summary
