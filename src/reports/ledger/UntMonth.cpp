// Kind 14, "월간 교통정보 제보대장": the one-page sheet of the calendar month holding the start
// day — handling hour by hour with the shares of the broadcast material and the daily average,
// the counts by reporter type, the guidance-service calls by hour and by kind, and the handling
// totals. The sheet has no bands: its items lie on the page.
#include "platform/db/Query.h"
#include "platform/report/Layout.h"
#include "reports/common/Shares.h"
#include "reports/ledger/BroadcastMaterial.h"
#include "stats/KindForm.h"

namespace tipdesk::ledger {

namespace {

// A month's sum read as a whole number; a sum over no rows is empty and counts 0.
qint64 sumOf(const db::Query &q, const char *field)
{
    return q.isEmpty() ? 0 : q.fieldByName(QLatin1String(field)).asInteger();
}

class TfrmMonth : public stats::KindForm {
public:
    TfrmMonth()
    {
        common::OnSharePrint(*this, QStringLiteral("QRDBText107Print"), false);
        common::OnSharePrint(*this, QStringLiteral("QRDBText117Print"), true);
        onItemPrint(QStringLiteral("QRLabel37Print"), [this](report::Item &, QString &value) { value = monthLine(); });
    }

private:
    // The month's first and last day in words, and the daily average beside the heading, worked
    // out whenever the page is built, so a print after the preview shows the same sheet. The
    // date line precedes the average's label on the page, so the label prints what is set here.
    QString monthLine()
    {
        const QDate day = request().startDay;
        const int days = day.daysInMonth();
        const qint64 total =
            sumOf(*query(QStringLiteral("Query5")), "TOT") + sumOf(*query(QStringLiteral("Query2")), "TOTAL");
        label(QStringLiteral("QRLabel9"))->setCaption(QStringLiteral("( 일평균 : %1 건 )").arg(total / days));
        const QString first = stats::DayCaption(stats::DayKey(QDate(day.year(), day.month(), 1)));
        const QString last = stats::DayCaption(stats::DayKey(QDate(day.year(), day.month(), days)));
        return first + QStringLiteral("~ ") + last.trimmed();
    }
};

void prepare(stats::KindForm &form, stats::PrepareContext &context)
{
    for (const char *name : {"qryReport", "Query5", "Query1", "Query2", "QryAn1", "QryAn2", "Query6"})
        context.open(QLatin1String(name));
    OpenMaterialShares(form, context);
}

const stats::KindDescriptor kKind{.kind = 14,
                                  .caption = "월간 교통정보 제보대장",
                                  .form = "TfrmMonth",
                                  .printed = "QuickRep1",
                                  .inputs = stats::KindInputs::Month,
                                  .layout = "UntMonth",
                                  // The month's statistics rows, one a day: the sums always give a
                                  // row, so a month without statistics is told by these.
                                  .tested = "Query1",
                                  .approval = stats::StampSwitch{"QuickRep1BeforePrint", "QRLabel97", "QRShape65"},
                                  .prepare = &prepare,
                                  .create = [] { return std::unique_ptr<stats::KindForm>(new TfrmMonth); }};
const stats::KindRegistration kRegistered(kKind);

} // namespace

} // namespace tipdesk::ledger
