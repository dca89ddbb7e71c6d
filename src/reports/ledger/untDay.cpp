// Kind 11, "일일 교통정보 접수현황": the one-page sheet of a day's reports — handling hour by hour
// with the shares of the broadcast material, the grand totals per hour, and the counts by content
// kind and by reporter type with their shares of the day's total.
#include "platform/report/Layout.h"
#include "reports/common/Shares.h"
#include "reports/ledger/BroadcastMaterial.h"
#include "stats/KindForm.h"

namespace tipdesk::ledger {

namespace {

class TFrmDay : public stats::KindForm {
public:
    TFrmDay()
    {
        common::OnSharePrint(*this, QStringLiteral("QRDBText106Print"), false);
        common::OnSharePrint(*this, QStringLiteral("QRDBText111Print"), true);
    }
};

void prepare(stats::KindForm &form, stats::PrepareContext &context)
{
    for (const char *name : {"qryReport", "Query5", "Query1", "Query2"})
        context.open(QLatin1String(name));
    OpenMaterialShares(form, context);
    form.label(QStringLiteral("QRLabel37"))->setCaption(stats::DayCaptionWithWeekday(context.request().startKey()));
}

const stats::KindDescriptor kKind{.kind = 11,
                                  .caption = "일일 교통정보 접수현황",
                                  .form = "TFrmDay",
                                  .printed = "QuickRep1",
                                  .inputs = stats::KindInputs::Start,
                                  .layout = "untDay",
                                  // Only the not-broadcast row is tested; the other queries may be empty.
                                  .tested = "Query4",
                                  .approval = stats::StampSwitch{"QRBand1BeforePrint", "QRLabel21", "QRShape14"},
                                  .prepare = &prepare,
                                  .create = [] { return std::unique_ptr<stats::KindForm>(new TFrmDay); }};
const stats::KindRegistration kRegistered(kKind);

} // namespace

} // namespace tipdesk::ledger
