#include "stats/ReportKinds.h"

#include <QtGlobal>
#include <array>

namespace tipdesk::stats {

namespace {

constexpr auto SE = KindInputs::StartEnd;

// The kinds whose report is not built yet: their list caption, form and what they take, so the
// console lists them and says plainly that they are not available.
const KindDescriptor kPending[] = {
    // The export of kind 18 runs a statement of its own, not the report's.
    {.kind = 18,
     .caption = "소속별 제보현황",
     .form = "TFrmRole",
     .printed = "QuickRep1",
     .inputs = SE,
     .exportFile = ExportFile{"소속기간", "순번|ID|소속|이름|기간 합계|", "qryExport", "UntRole"}},
};

std::array<const KindDescriptor *, kReportKindCount> &registered()
{
    static std::array<const KindDescriptor *, kReportKindCount> r{};
    return r;
}

const KindDescriptor *pending(int kind)
{
    for (const KindDescriptor &d : kPending)
        if (d.kind == kind)
            return &d;
    return nullptr;
}

} // namespace

QString InputsCode(KindInputs inputs)
{
    switch (inputs) {
    case KindInputs::Periods:
        return QStringLiteral("P");
    case KindInputs::Start:
        return QStringLiteral("S");
    case KindInputs::StartEnd:
        return QStringLiteral("SE");
    case KindInputs::Month:
        return QStringLiteral("M");
    }
    return {};
}

KindRegistration::KindRegistration(const KindDescriptor &descriptor)
{
    if (descriptor.kind < 0 || descriptor.kind >= kReportKindCount || registered()[size_t(descriptor.kind)])
        qFatal("report kind %d registered twice or out of range", descriptor.kind);
    registered()[size_t(descriptor.kind)] = &descriptor;
}

const KindDescriptor *FindKind(int kind)
{
    if (kind < 0 || kind >= kReportKindCount)
        return nullptr;
    if (const KindDescriptor *d = registered()[size_t(kind)])
        return d;
    return pending(kind);
}

std::vector<const KindDescriptor *> AllKinds()
{
    std::vector<const KindDescriptor *> all;
    for (int k = 0; k < kReportKindCount; ++k)
        all.push_back(FindKind(k));
    return all;
}

bool HasPendingRow(int kind)
{
    return pending(kind) != nullptr;
}

} // namespace tipdesk::stats
