#include "stats/KindForm.h"

#include "platform/db/DbError.h"
#include "platform/db/Query.h"
#include "platform/report/Layout.h"
#include "reports/common/Furniture.h"
#include "stats/UDMReport.h"

namespace tipdesk::stats {

QStringList ComposeStatement(const report::QueryDef &query, const KindDescriptor &kind, const ReportRequest &request)
{
    if (!query.composed())
        return query.sql;
    return query.compose(PeriodLiteral(request.startDay, request.endDay),
                         kind.sort ? SortOrderName(request.sort) : QString());
}

KindForm::KindForm(QObject *owner) : ReportForm(owner)
{
    common::RegisterConstructs();
}

KindForm::~KindForm() = default;

void KindForm::setUp(const KindDescriptor &kind, const ReportRequest &request)
{
    m_kind = &kind;
    m_request = request;
    if (objectName().isEmpty())
        setObjectName(QLatin1String(kind.form));
    if (kind.approval) {
        const StampSwitch stamp = *kind.approval;
        const auto apply = [this, stamp] {
            common::ApplyStampSwitch(*this, m_request.approval, QLatin1String(stamp.label), QLatin1String(stamp.shape));
        };
        // The box sits in a band or directly on the report; the handler serves either.
        onBandBeforePrint(QLatin1String(stamp.handler), [apply](report::Band &, bool &) { apply(); });
        onReportBeforePrint(QLatin1String(stamp.handler), [apply](report::ReportForm &, bool &) { apply(); });
    }
    loadLayout(report::layoutPath(QLatin1String(kind.layout)));
    if (layout().name != QLatin1String(kind.printed))
        throw report::ReportError(QStringLiteral("%1: 보고서 %2 이(가) 아니라 %3 입니다")
                                      .arg(layout().source, QLatin1String(kind.printed), layout().name));
    setDocumentName(DocumentName(kind, request, layout().reportTitle));
}

QString DocumentName(const KindDescriptor &kind, const ReportRequest &request, const QString &title)
{
    const QString iso = QStringLiteral("yyyy-MM-dd");
    QString period = request.startDay.toString(iso);
    if (kind.inputs == KindInputs::Month)
        period = request.startDay.toString(QStringLiteral("yyyy-MM"));
    else if (kind.inputs == KindInputs::StartEnd && request.endDay != request.startDay)
        period += u'~' + request.endDay.toString(iso);
    return QStringLiteral("%1 %2").arg(title.isEmpty() ? QLatin1String(kind.caption) : title, period);
}

PrepareContext::PrepareContext(KindForm &form, const ReportRequest &request, TDMReport &module)
    : m_form(form), m_request(request), m_module(module)
{
}

const ReferencePeriods &PrepareContext::periods()
{
    if (!m_periods)
        m_periods = CalcPeriods(m_request.startKey(), *m_module.qryDate);
    return *m_periods;
}

void PrepareContext::bind(db::Query &q)
{
    const KindInputs inputs = m_form.descriptor().inputs;
    for (const QString &name : q.paramNames()) {
        const QString n = name.toLower();
        db::Param &p = q.paramByName(name);
        if (inputs == KindInputs::Periods) {
            if (n == QLatin1String("currday"))
                p.setAsString(periods().currDay);
            else if (n == QLatin1String("weekstart"))
                p.setAsString(periods().weekStart);
            else if (n == QLatin1String("weekend"))
                p.setAsString(periods().weekEnd);
            else if (n == QLatin1String("currmonth"))
                p.setAsString(periods().currMonth);
        } else if (n == QLatin1String("start_day")) {
            p.setAsString(inputs == KindInputs::Month ? m_request.startKey().left(6) : m_request.startKey());
        } else if (n == QLatin1String("curr_day") || n == QLatin1String("stat_day")) {
            p.setAsString(m_request.startKey());
        } else if (n == QLatin1String("end_day") && inputs == KindInputs::StartEnd) {
            p.setAsString(m_request.endKey());
        }
        if (!p.value().isValid())
            throw report::ReportError(QStringLiteral("보고서 %1: 쿼리 %2 의 매개변수 %3 에 값이 없습니다")
                                          .arg(QLatin1String(m_form.descriptor().form), q.objectName(), name));
    }
}

db::Query &PrepareContext::open(const QString &queryName)
{
    db::Query &q = *m_form.query(queryName);
    q.close();
    const report::QueryDef *def = m_form.layout().query(queryName);
    if (def && def->composed())
        q.setSql(ComposeStatement(*def, m_form.descriptor(), m_request));
    bind(q);
    q.open();
    return q;
}

PreparedReport PrepareReport(const ReportRequest &request, TDMReport &module)
{
    const KindDescriptor *kind = FindKind(request.kind);
    if (!kind)
        throw report::ReportError(QStringLiteral("보고서 종류 %1 은(는) 목록에 없습니다").arg(request.kind));
    std::unique_ptr<KindForm> form = kind->create ? kind->create() : std::make_unique<KindForm>();
    form->setUp(*kind, request);

    PrepareContext context(*form, request, module);
    if (kind->prepare) {
        kind->prepare(*form, context);
    } else {
        for (const report::QueryDef &def : form->layout().queries)
            context.open(def.name);
    }

    PreparedReport prepared;
    if (context.hasPeriods())
        prepared.periods = context.periods();
    prepared.periodSums = context.periodSums;
    if (form->query(QLatin1String(kind->tested))->recordCount() >= 1)
        prepared.form = std::move(form);
    return prepared;
}

} // namespace tipdesk::stats
