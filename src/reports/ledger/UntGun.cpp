// Kind 8, "근무일지": the desk's work log of one day on an A4 portrait sheet. The roster, the weather
// and the duty notes are a blank form filled in by hand; only the reception, handling and
// utilisation counts come from the day's STAT_HUB row.
#include "platform/report/Layout.h"
#include "stats/KindForm.h"

namespace tipdesk::ledger {

namespace {

void prepare(stats::KindForm &form, stats::PrepareContext &context)
{
    context.open(QStringLiteral("qryReport"));
    form.label(QStringLiteral("QRLabel37"))->setCaption(stats::DayCaptionWithWeekday(context.request().startKey()));
}

const stats::KindDescriptor kKind{.kind = 8,
                                  .caption = "근무일지",
                                  .form = "TFrmGun",
                                  .printed = "QuickRep1",
                                  .inputs = stats::KindInputs::Start,
                                  .layout = "UntGun",
                                  // Most of the sheet is a blank form, yet a day without counts is
                                  // not printed.
                                  .tested = "qryReport",
                                  .approval = stats::StampSwitch{"QuickRep1BeforePrint", "QRLabel97", "QRShape65"},
                                  .prepare = &prepare};
const stats::KindRegistration kRegistered(kKind);

} // namespace

} // namespace tipdesk::ledger
