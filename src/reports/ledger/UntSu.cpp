// Kind 9, "수집실적": the day's traffic information collected by reporter type, how it was handled,
// and how much of the broadcast material went on air, signed off with the operating unit's name.
#include "platform/db/Query.h"
#include "platform/report/Layout.h"
#include "reports/common/Shares.h"
#include "stats/KindForm.h"

namespace tipdesk::ledger {

namespace {

class TFrmSu : public stats::KindForm {
public:
    TFrmSu() { common::OnSharePrint(*this, QStringLiteral("QRDBText3Print"), true); }

    // The sign-off line names the operating unit: the second name of code group '001' in code
    // order, the only one when there is one, none when the group is empty (the line then reads
    // " 교통정보과" alone). Ordered by the code so that the line does not depend on the order in
    // which the rows happen to come back.
    void FormCreate(stats::PrepareContext &context)
    {
        db::Query &units = context.open(QStringLiteral("Query1"));
        units.first();
        units.next(); // on the last row it stays there; on an empty result the name is empty
        const QString name = units.fieldByName(QStringLiteral("BAS_NAME")).asString();
        units.close();
        label(QStringLiteral("QRLabel23"))->setCaption(name + QStringLiteral(" 교통정보과"));
    }
};

void prepare(stats::KindForm &form, stats::PrepareContext &context)
{
    static_cast<TFrmSu &>(form).FormCreate(context);
    context.open(QStringLiteral("qryReport"));
    form.label(QStringLiteral("QRLabel37"))->setCaption(stats::DayCaptionWithWeekday(context.request().startKey()));
}

const stats::KindDescriptor kKind{.kind = 9,
                                  .caption = "수집실적",
                                  .form = "TFrmSu",
                                  .printed = "QuickRep1",
                                  .inputs = stats::KindInputs::Start,
                                  .layout = "UntSu",
                                  .tested = "qryReport",
                                  .approval = stats::StampSwitch{"QuickRep1BeforePrint", "QRLabel97", "QRShape65"},
                                  .prepare = &prepare,
                                  .create = [] { return std::unique_ptr<stats::KindForm>(new TFrmSu); }};
const stats::KindRegistration kRegistered(kKind);

} // namespace

} // namespace tipdesk::ledger
