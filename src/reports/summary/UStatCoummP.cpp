// "통신원별제보현황" (kind 0): the correspondents' day, week, month and total counts with the
// shares the database writes as text.
#include "reports/summary/BySource.h"

namespace tipdesk::summary {

namespace {

const stats::KindDescriptor kKind =
    BySourceKind(0, "통신원별", "TfStatRepCoumm", "QRCoumm", "UStatCoummP", "qryReportC");
const stats::KindRegistration kRegistered(kKind);

} // namespace

} // namespace tipdesk::summary
