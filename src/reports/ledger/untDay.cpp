// Kind 11, "일일 교통정보 접수현황": the one-page sheet of a day's reports — handling hour by hour
// with the shares of the broadcast material, the grand totals per hour, and the counts by content
// kind and by reporter type with their shares of the day's total.
#include "platform/db/Query.h"
#include "platform/report/Layout.h"
#include "reports/common/Shares.h"
#include "stats/KindForm.h"

namespace tipdesk::ledger {

namespace {

class TFrmDay : public stats::KindForm {
public:
    TFrmDay()
    {
        onItemPrint(QStringLiteral("QRDBText106Print"),
                    [](report::Item &, QString &value) { value = common::FormatShare(value, false); });
        onItemPrint(QStringLiteral("QRDBText111Print"),
                    [](report::Item &, QString &value) { value = common::FormatShare(value, true); });
    }
};

// The broadcast-material sums of Query5 and the parameters of Query3 and Query4 they fill.
const char *const kMaterial[][2] = {{"TOT", "tot"}, {"MORN", "morn"}, {"ENEN", "enen"}, {"T06", "t06"}, {"T07", "t07"},
                                    {"T08", "t08"}, {"T09", "t09"},   {"T10", "t10"},   {"T11", "t11"}, {"T12", "t12"},
                                    {"T13", "t13"}, {"T14", "t14"},   {"T15", "t15"},   {"T16", "t16"}, {"T17", "t17"},
                                    {"T18", "t18"}, {"T19", "t19"},   {"T20", "t20"},   {"T21", "t21"}};

void prepare(stats::KindForm &form, stats::PrepareContext &context)
{
    for (const char *name : {"qryReport", "Query5", "Query1", "Query2"})
        context.open(QLatin1String(name));
    // The broadcast and not-broadcast shares are of the broadcast material of the same column;
    // without a material row every divisor is 0 and every share test falls on a count of 0.
    const db::Query &material = *form.query(QStringLiteral("Query5"));
    for (const char *name : {"Query3", "Query4"}) {
        db::Query &q = *form.query(QLatin1String(name));
        q.close();
        for (const auto &[param, field] : kMaterial)
            q.paramByName(QLatin1String(param))
                .setAsFloat(material.isEmpty() ? 0.0 : material.fieldByName(QLatin1String(field)).asFloat());
        context.open(QLatin1String(name));
    }
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
