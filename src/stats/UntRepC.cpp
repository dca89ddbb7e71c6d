#include "stats/UntRepC.h"

#include "platform/report/Layout.h"
#include "stats/KindForm.h"

namespace tipdesk::stats {

namespace {

// The period line stands in QRLDay of QRCoumm and in QRLabel8 of QuickRep1.
void prepareWithPeriodLine(KindForm &form, PrepareContext &context, const QString &label)
{
    context.open(QStringLiteral("qryReportC"));
    const ReportRequest &r = context.request();
    form.label(label)->setCaption(PeriodLine(r.startDay, r.endDay));
}

void prepareCoumm(KindForm &form, PrepareContext &context)
{
    prepareWithPeriodLine(form, context, QStringLiteral("QRLDay"));
}

void prepareByOrganisation(KindForm &form, PrepareContext &context)
{
    prepareWithPeriodLine(form, context, QStringLiteral("QRLabel8"));
}

// The period totals share their form, inputs, query and options; they differ in their list
// caption, the layout that prints them and their file.
constexpr KindDescriptor periodKind(int kind, const char *caption, const char *printed, const char *layout,
                                    ExportFile file, PrepareFn prepare)
{
    return {.kind = kind,
            .caption = caption,
            .form = "TFrmRepC",
            .printed = printed,
            .inputs = KindInputs::StartEnd,
            .layout = layout,
            .tested = "qryReportC",
            .sort = true,
            .exportFile = file,
            .prepare = prepare};
}

const KindDescriptor kCorrespondents =
    periodKind(21, "기간합계 통신원", "QRCoumm", "UntRepC_21",
               {"통신원기간", "순번|통신원번호|이름|기간 합계|", "qryReportC"}, &prepareCoumm);
const KindDescriptor kByOrganisation = periodKind(
    22, "기간합계 통신원(소속)", "QuickRep1", "UntRepC_QuickRep1",
    {"통신원소속기간", "순번|통신원번호|소속명|소속ID|이름|기간 합계|", "qryReportC"}, &prepareByOrganisation);
const KindDescriptor kFixedPoints =
    periodKind(23, "기간합계 고정제보처", "QRCoumm", "UntRepC_23",
               {"고정기간", "순번|고정제보처번호|이름|기간 합계|", "qryReportC"}, &prepareCoumm);
const KindDescriptor kPolicePoints =
    periodKind(24, "기간합계 경찰제보처", "QRCoumm", "UntRepC_24",
               {"경찰기간", "순번|경찰제보처번호|이름|기간 합계|", "qryReportC"}, &prepareCoumm);
const KindDescriptor kOperators =
    periodKind(25, "기간합계 접수자", "QRCoumm", "UntRepC_25",
               {"접수자기간", "순번|접수자번호|이름|기간 합계|", "qryReportC"}, &prepareCoumm);
const KindDescriptor kCitizens = periodKind(26, "기간합계 시민", "QRCoumm", "UntRepC_26",
                                            {"시민기간", "순번|시민번호|이름|기간 합계|", "qryReportC"}, &prepareCoumm);

const KindRegistration k21(kCorrespondents), k22(kByOrganisation), k23(kFixedPoints), k24(kPolicePoints),
    k25(kOperators), k26(kCitizens);

} // namespace

} // namespace tipdesk::stats
