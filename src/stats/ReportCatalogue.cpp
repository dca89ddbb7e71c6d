#include "stats/ReportKinds.h"
#include "stats/UStatHUBp.h"
#include "stats/UStatHUBpLedger.h"
#include "stats/UntRepC.h"

namespace tipdesk::stats {

namespace {

constexpr auto P = KindInputs::Periods;
constexpr auto S = KindInputs::Start;
constexpr auto SE = KindInputs::StartEnd;
constexpr auto M = KindInputs::Month;

// The catalogue of report kinds, indexed by the console's list. A null preparation marks a
// report that is not built yet; the console says so instead of doing nothing.
const std::array<ReportKindInfo, kReportKindCount> kKinds = {{
    // form               printed       in  file   sort   approval preparation
    {"TfStatRepCoumm", "QRCoumm", P, false, false, false, &PrepareStatRepCoumm},
    {"TfStatFix", "QRFix", P, false, false, false, &PrepareStatFix},
    {"TFrmPol", "QRpol", P, false, false, false, &PrepareFrmPol},
    {"TfStatOperator", "QROperator", P, false, false, false, &PrepareStatOperator},
    {"TfStatRequi", "QRRequi", SE, false, false, false, nullptr},
    {"TfStatTreatP", "QRTreat", SE, false, false, false, nullptr},
    {"TfStatContentP", "QRContent", SE, false, false, false, nullptr},
    {"TfStatTimeP", "QRTime", SE, false, false, false, nullptr},
    {"TFrmGun", "QuickRep1", S, false, false, true, nullptr},
    {"TFrmSu", "QuickRep1", S, false, false, true, nullptr},
    {"TFrmHAL", "QuickRep1", SE, false, false, false, nullptr},
    {"TFrmDay", "QuickRep1", S, false, false, true, &PrepareFrmDay},
    {"TFrmAnn", "QuickRep1", S, false, false, true, nullptr},
    {"TFrmTime", "QRTime", SE, false, false, true, nullptr},
    {"TfrmMonth", "QuickRep1", M, false, false, true, nullptr},
    {"TfrmAhn", "QReSheet", S, false, false, true, nullptr},
    {"TFReSheet", "QReSheet", S, false, false, true, nullptr},
    {"TfFixSheet", "QFixSheet", S, false, false, true, nullptr},
    {"TFrmRole", "QuickRep1", SE, true, false, false, nullptr},
    {"TFrmLossM", "QuickRep1", SE, false, false, false, nullptr},
    {"TFrmLoss", "QReSheet", S, false, false, false, nullptr},
    {"TFrmRepC", "QRCoumm", SE, true, true, false, &PrepareFrmRepC},
    {"TFrmRepC", "QuickRep1", SE, true, true, false, &PrepareFrmRepC},
    {"TFrmRepC", "QRCoumm", SE, true, true, false, &PrepareFrmRepC},
    {"TFrmRepC", "QRCoumm", SE, true, true, false, &PrepareFrmRepC},
    {"TFrmRepC", "QRCoumm", SE, true, true, false, &PrepareFrmRepC},
    {"TFrmRepC", "QRCoumm", SE, true, true, false, &PrepareFrmRepC},
}};

} // namespace

const std::array<ReportKindInfo, kReportKindCount> &ReportKinds()
{
    return kKinds;
}

const ReportKindInfo *ReportKindAt(int kind)
{
    if (kind < 0 || kind >= kReportKindCount)
        return nullptr;
    return &kKinds[size_t(kind)];
}

} // namespace tipdesk::stats
