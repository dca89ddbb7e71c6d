// Kind 18, "소속별 제보현황": the period's report counts of the current correspondents, grouped by
// the organisation recorded on their reports. Each organisation has a heading with its identifier,
// its name and its total (over all its correspondents, current or not), and numbers its rows
// from 1 in descending order of their counts; every organisation after the first begins a page.
#include "platform/report/Layout.h"
#include "stats/KindForm.h"

namespace tipdesk::summary {

namespace {

class TFrmRole : public stats::KindForm {
public:
    TFrmRole()
    {
        // The group band prints before the first row of each organisation, so its rows are
        // numbered afresh; a page break inside an organisation goes on counting.
        onBandBeforePrint(QStringLiteral("QRGroup1BeforePrint"), [this](report::Band &, bool &) { m_row = 1; });
        onBandBeforePrint(QStringLiteral("QRBand2BeforePrint"), [this](report::Band &, bool &) {
            label(QStringLiteral("QRLabel9"))->setCaption(QString::number(m_row++));
        });
    }

private:
    int m_row = 1; // the number of the next row within the current organisation
};

// Only the report's query: the layout's other statement is the export's, which runs on its own.
void prepare(stats::KindForm &form, stats::PrepareContext &context)
{
    context.open(QStringLiteral("Query1")); // stat_day takes the start day, end_day the end day
    const stats::ReportRequest &request = context.request();
    form.label(QStringLiteral("QRLabel10"))->setCaption(stats::MonthDayRange(request.startKey(), request.endKey()));
}

const stats::KindDescriptor kKind{
    .kind = 18,
    .caption = "소속별 제보현황",
    .form = "TFrmRole",
    .printed = "QuickRep1",
    .inputs = stats::KindInputs::StartEnd,
    .layout = "UntRole",
    .tested = "Query1",
    // "File 저장" writes its own statement, with the period in its text and another order.
    .exportFile = stats::ExportFile{"소속기간", "순번|ID|소속|이름|기간 합계|", "qryExport", "UntRole"},
    .prepare = &prepare,
    .create = [] { return std::unique_ptr<stats::KindForm>(new TFrmRole); }};
const stats::KindRegistration kRegistered(kKind);

} // namespace

} // namespace tipdesk::summary
