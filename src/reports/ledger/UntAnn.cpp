// Kind 12, "일일 교통정보 처리대장": the one-page sheet of a day's guidance-service calls by hour,
// the guidance requests split into guidance and notices to agencies, and how the day's reports
// were handled. Its shares come from the database as text, cut to one decimal, and print as they
// come.
#include "platform/report/Layout.h"
#include "stats/KindForm.h"

namespace tipdesk::ledger {

namespace {

void prepare(stats::KindForm &form, stats::PrepareContext &context)
{
    for (const char *name : {"Query2", "Query1"})
        context.open(QLatin1String(name));
    form.label(QStringLiteral("QRLabel37"))->setCaption(stats::DayCaptionWithWeekday(context.request().startKey()));
}

const stats::KindDescriptor kKind{.kind = 12,
                                  .caption = "일일 교통정보 처리대장",
                                  .form = "TFrmAnn",
                                  .printed = "QuickRep1",
                                  .inputs = stats::KindInputs::Start,
                                  .layout = "UntAnn",
                                  // The day's statistics row; the guidance calls may be missing.
                                  .tested = "Query1",
                                  .approval = stats::StampSwitch{"QRBand1BeforePrint", "QRLabel18", "QRShape13"},
                                  .prepare = &prepare};
const stats::KindRegistration kRegistered(kKind);

} // namespace

} // namespace tipdesk::ledger
