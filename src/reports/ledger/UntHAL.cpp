// Kind 10, "수집건수 및 활용 실적": for every day of the period the reports collected by reporter
// type and how they were used, with the period's totals under the first page's column header.
#include "platform/report/Layout.h"
#include "stats/KindForm.h"

namespace tipdesk::ledger {

namespace {

class TFrmHAL : public stats::KindForm {
public:
    TFrmHAL()
    {
        // The period's totals stand once, between the first page's column header and its first
        // day; later pages begin with the column header alone.
        onBandBeforePrint(QStringLiteral("QRChildBand1BeforePrint"),
                          [this](report::Band &, bool &print) { print = pageNumber() <= 1; });
    }
};

// The default preparation opens QrySum, then qryReport, in layout order.
const stats::KindDescriptor kKind{.kind = 10,
                                  .caption = "수집건수 및 활용 실적",
                                  .form = "TFrmHAL",
                                  .printed = "QuickRep1",
                                  .inputs = stats::KindInputs::StartEnd,
                                  .layout = "UntHAL",
                                  .tested = "qryReport",
                                  .create = [] { return std::unique_ptr<stats::KindForm>(new TFrmHAL); }};
const stats::KindRegistration kRegistered(kKind);

} // namespace

} // namespace tipdesk::ledger
