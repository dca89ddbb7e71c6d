// Kind 7, "시간대별": one row per day of the period with the day's total, its morning and
// afternoon sums and its sixteen hour bands, then one total row for the whole period. The hour
// bands and the grand total of that row are the period's sums; its morning and afternoon figures
// add up the printed rows.
#include "stats/KindForm.h"

namespace tipdesk::summary {

namespace {

// The layout opens the period's sums before the days, which is all the preparation there is; the
// days decide whether there is a report. The form has no handler of its own and is freed by
// whoever prepared it.
const stats::KindDescriptor kKind{.kind = 7,
                                  .caption = "시간대별",
                                  .form = "TfStatTimeP",
                                  .printed = "QRTime",
                                  .inputs = stats::KindInputs::StartEnd,
                                  .layout = "UStatTimeP",
                                  .tested = "qryReport"};
const stats::KindRegistration kRegistered(kKind);

} // namespace

} // namespace tipdesk::summary
