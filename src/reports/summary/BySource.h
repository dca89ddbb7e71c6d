#pragma once

// What the four summaries by source (kinds 0..3) share: their preparation. Each has a sum query
// (the four period sums) and a row query (one row per current source with its counts and its
// shares of those sums).

#include "stats/KindForm.h"

namespace tipdesk::summary {

// Opens the sum query (the first query of the layout), keeps its four sums (a missing sum reads
// as 0) for the console and binds them to the row query as DaySum, weekSum, monthSum and
// totalSum, then opens the row query (the kind's tested query).
void PrepareBySource(stats::KindForm &form, stats::PrepareContext &context);

// The descriptor of a summary by source: reference periods, no options.
constexpr stats::KindDescriptor BySourceKind(int kind, const char *caption, const char *form, const char *printed,
                                             const char *layout, const char *rowQuery,
                                             stats::PrepareFn prepare = &PrepareBySource)
{
    return {.kind = kind,
            .caption = caption,
            .form = form,
            .printed = printed,
            .inputs = stats::KindInputs::Periods,
            .layout = layout,
            .tested = rowQuery,
            .prepare = prepare};
}

} // namespace tipdesk::summary
