// Kind 19, "월별 유실물 현황": for every day of the period the lost-property reports received and
// handled by kind, with the period's totals under the column header of every page. Despite its
// list caption it does not group by month. The form has no handlers; the default preparation
// opens QrySum, then qryReport, in layout order.
#include "stats/KindForm.h"

namespace tipdesk::ledger {

namespace {

const stats::KindDescriptor kKind{.kind = 19,
                                  .caption = "월별 유실물 현황",
                                  .form = "TFrmLossM",
                                  .printed = "QuickRep1",
                                  .inputs = stats::KindInputs::StartEnd,
                                  .layout = "UntLossM",
                                  .tested = "qryReport"};
const stats::KindRegistration kRegistered(kKind);

} // namespace

} // namespace tipdesk::ledger
