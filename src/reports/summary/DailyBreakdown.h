#pragma once

// What the three daily breakdowns (kinds 4, 5 and 6) share: a row per day of the period with the
// day's total and its categories, each with its share of the day's total, and one total row over
// the period from a second query. The layout opens the period's sums before the days, which is
// all the preparation there is; the days decide whether there is a report. The forms have no
// handler of their own and are freed by whoever prepared them.

#include "stats/ReportKinds.h"

namespace tipdesk::summary {

constexpr stats::KindDescriptor DailyBreakdownKind(int kind, const char *caption, const char *form, const char *printed,
                                                   const char *layout)
{
    return {.kind = kind,
            .caption = caption,
            .form = form,
            .printed = printed,
            .inputs = stats::KindInputs::StartEnd,
            .layout = layout,
            .tested = "qryReport"};
}

} // namespace tipdesk::summary
