// Kind 13, "주간 교통정보 제보대장": one row per day of the period with its total, its morning and
// afternoon subtotals and its hour buckets, then the period's totals, the totals of every day up
// to the end day, and the period's daily average.
#include "platform/db/Query.h"
#include "platform/report/Layout.h"
#include "stats/KindForm.h"

#include <cfenv>
#include <cmath>

namespace tipdesk::ledger {

namespace {

// The average over the days that have rows, to the nearest whole number with halves to the even
// one (12.5 prints 12, 13.5 prints 14); an empty period has no average and prints 0.
QString dailyAverage(const db::Query &average)
{
    if (average.isEmpty())
        return QStringLiteral("0");
    const db::Field value = average.field(0);
    if (value.isNull())
        return QStringLiteral("0");
    const int mode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value.asFloat());
    std::fesetround(mode);
    return QString::number(qint64(rounded));
}

void prepare(stats::KindForm &form, stats::PrepareContext &context)
{
    const stats::ReportRequest &request = context.request();
    form.label(QStringLiteral("QRLabel23"))->setCaption(stats::MonthDayRange(request.startKey(), request.endKey()));
    for (const char *name : {"qrySum", "qrySumAll", "qryDay"})
        context.open(QLatin1String(name));
    form.label(QStringLiteral("QRLabel25"))->setCaption(dailyAverage(*form.query(QStringLiteral("qryDay"))));
    context.open(QStringLiteral("qryReport"));
}

// The form has no handler of its own besides the stamp switch the descriptor names. It is freed
// by whoever prepared it (the console after the preview, the batch command after rendering),
// never by itself, so closing the preview frees it exactly once.
const stats::KindDescriptor kKind{.kind = 13,
                                  .caption = "주간 교통정보 제보대장",
                                  .form = "TFrmTime",
                                  .printed = "QRTime",
                                  .inputs = stats::KindInputs::StartEnd,
                                  .layout = "UntTime",
                                  .tested = "qryReport",
                                  .approval = stats::StampSwitch{"QRBheaderBeforePrint", "QRLabel97", "QRShape65"},
                                  .prepare = &prepare};
const stats::KindRegistration kRegistered(kKind);

} // namespace

} // namespace tipdesk::ledger
