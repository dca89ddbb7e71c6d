// "경찰제보처별제보현황" (kind 2): the police report points' counts; the shares come as numbers
// and are printed by QRDBDaypPrint, and the reference day is written into QRLDay.
#include "platform/report/Layout.h"
#include "reports/common/Shares.h"
#include "reports/summary/BySource.h"

namespace tipdesk::summary {

namespace {

class TFrmPol : public stats::KindForm {
public:
    TFrmPol()
    {
        onItemPrint(QStringLiteral("QRDBDaypPrint"),
                    [](report::Item &, QString &value) { value = common::FormatSharePercent(value); });
    }
};

void prepare(stats::KindForm &form, stats::PrepareContext &context)
{
    PrepareBySource(form, context);
    form.label(QStringLiteral("QRLDay"))
        ->setCaption(QStringLiteral("기준일 : ") + stats::DayCaption(context.periods().currDay));
}

stats::KindDescriptor descriptor()
{
    stats::KindDescriptor d = BySourceKind(2, "경찰 제보처별", "TFrmPol", "QRpol", "UntPol", "qryReportF", &prepare);
    d.create = [] { return std::unique_ptr<stats::KindForm>(new TFrmPol); };
    return d;
}

const stats::KindDescriptor kKind = descriptor();
const stats::KindRegistration kRegistered(kKind);

} // namespace

} // namespace tipdesk::summary
