// "접수자별제보현황" (kind 3): the receiving operators' counts, as kind 0.
#include "reports/summary/BySource.h"

namespace tipdesk::summary {

namespace {

const stats::KindDescriptor kKind =
    BySourceKind(3, "접수자별", "TfStatOperator", "QROperator", "UStatOperatorP", "qryReport");
const stats::KindRegistration kRegistered(kKind);

} // namespace

} // namespace tipdesk::summary
