#include "stats/ReportKinds.h"

#include <QtGlobal>
#include <array>

namespace tipdesk::stats {

namespace {

std::array<const KindDescriptor *, kReportKindCount> &registered()
{
    static std::array<const KindDescriptor *, kReportKindCount> r{};
    return r;
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
    if (descriptor.kind < 0 || descriptor.kind >= kReportKindCount || registered()[size_t(descriptor.kind)] ||
        !descriptor.layout)
        qFatal("report kind %d registered twice, out of range or without a layout", descriptor.kind);
    registered()[size_t(descriptor.kind)] = &descriptor;
}

const KindDescriptor *FindKind(int kind)
{
    if (kind < 0 || kind >= kReportKindCount)
        return nullptr;
    return registered()[size_t(kind)];
}

std::vector<const KindDescriptor *> AllKinds()
{
    std::vector<const KindDescriptor *> all;
    for (int k = 0; k < kReportKindCount; ++k)
        all.push_back(FindKind(k));
    return all;
}

} // namespace tipdesk::stats
