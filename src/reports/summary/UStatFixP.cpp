// "고정제보처별제보현황" (kind 1): the fixed report points' counts, as kind 0.
#include "reports/summary/BySource.h"

namespace tipdesk::summary {

namespace {

const stats::KindDescriptor kKind = BySourceKind(1, "고정 제보처별", "TfStatFix", "QRFix", "UStatFixP", "qryReportF");
const stats::KindRegistration kRegistered(kKind);

} // namespace

} // namespace tipdesk::summary
