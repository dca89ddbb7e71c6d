#pragma once

// What the four day registers (kinds 15, 16, 17 and 20) share: one line per report of the start
// day from the layout's Query1, the page frame the engine draws at the end of every page, and,
// except in the lost-property register, the approval box in the title band.

#include "stats/KindForm.h"

namespace tipdesk::reception {

// Opens Query1 on the start day; a register's other queries run while it prints.
inline void PrepareRegister(stats::KindForm &, stats::PrepareContext &context)
{
    context.open(QStringLiteral("Query1"));
}

// The delegated-approval stamp of a register: its frame is QRShape13 in every register, switched
// before the title band prints.
constexpr stats::StampSwitch RegisterStamp(const char *label)
{
    return {"QRBand1BeforePrint", label, "QRShape13"};
}

constexpr stats::KindDescriptor RegisterKind(int kind, const char *caption, const char *form, const char *printed,
                                             const char *layout, std::optional<stats::StampSwitch> approval,
                                             stats::CreateFn create = nullptr)
{
    return {.kind = kind,
            .caption = caption,
            .form = form,
            .printed = printed,
            .inputs = stats::KindInputs::Start,
            .layout = layout,
            .tested = "Query1",
            .approval = approval,
            .prepare = &PrepareRegister,
            .create = create};
}

} // namespace tipdesk::reception
