#include "stats/KindForm.h"

#include "platform/db/DbError.h"
#include "platform/db/Query.h"
#include "platform/report/Layout.h"
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
}

KindForm::~KindForm() = default;

void KindForm::setUp(const KindDescriptor &kind, const ReportRequest &request)
{
    m_kind = &kind;
    m_request = request;
    if (objectName().isEmpty())
        setObjectName(kind.form);
    if (kind.unit.handlers)
        kind.unit.handlers(*this);
    setLayout(kind.design); // read once, with the catalogue
    setParameters(RequestParameters(request));
    setDocumentName(DocumentName(kind, request, layout().reportTitle));
}

QVariantMap RequestParameters(const ReportRequest &request)
{
    const QDate day = request.startDay;
    const QDate first(day.year(), day.month(), 1);
    const QDate last(day.year(), day.month(), day.daysInMonth());
    return {{QStringLiteral("StartDay"), request.startDay},
            {QStringLiteral("EndDay"), request.endDay},
            {QStringLiteral("Approval"), request.approval},
            {QStringLiteral("DayLine"), DayCaptionWithWeekday(request.startKey())},
            {QStringLiteral("PeriodLine"), PeriodLine(request.startDay, request.endDay)},
            {QStringLiteral("MonthDayRange"), MonthDayRange(request.startKey(), request.endKey())},
            {QStringLiteral("MonthLine"),
             DayCaption(DayKey(first)) + QStringLiteral("~ ") + DayCaption(DayKey(last)).trimmed()}};
}

QString DocumentName(const KindDescriptor &kind, const ReportRequest &request, const QString &title)
{
    const QString iso = QStringLiteral("yyyy-MM-dd");
    QString period = request.startDay.toString(iso);
    if (kind.inputs == KindInputs::Month)
        period = request.startDay.toString(QStringLiteral("yyyy-MM"));
    else if (kind.inputs == KindInputs::StartEnd && request.endDay != request.startDay)
        period += u'~' + request.endDay.toString(iso);
    return QStringLiteral("%1 %2").arg(title.isEmpty() ? kind.caption : title, period);
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
            bindFromSource(q, p, name);
        if (!p.value().isValid())
            throw report::ReportError(QStringLiteral("보고서 %1: 쿼리 %2 의 매개변수 %3 에 값이 없습니다")
                                          .arg(m_form.descriptor().form, q.objectName(), name));
    }
}

void PrepareContext::bindFromSource(const db::Query &q, db::Param &p, const QString &name)
{
    const report::QueryDef *def = m_form.layout().query(q.objectName());
    if (!def || !def->paramsFrom)
        return;
    const report::QueryDef::ParamSource &source = *def->paramsFrom;
    const db::Query &from = *m_form.query(source.query);
    const QString field = source.fields.value(name.toUpper(), name);
    const bool has = !from.isEmpty() && from.fieldIndex(field) >= 0;
    if (!from.isEmpty() && !has)
        throw report::ReportError(QStringLiteral("보고서 %1: 쿼리 %2 에 매개변수 %3 의 필드 %4 이(가) 없습니다")
                                      .arg(m_form.descriptor().form, source.query, name, field));
    if (source.integer)
        p.setAsInteger(has ? from.fieldByName(field).asInteger() : 0);
    else
        p.setAsFloat(has ? from.fieldByName(field).asFloat() : 0.0);
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
    auto form = std::make_unique<KindForm>();
    form->setUp(*kind, request);

    PrepareContext context(*form, request, module);
    if (kind->inputs == KindInputs::Periods)
        form->setParameter(QStringLiteral("CurrDayCaption"), DayCaption(context.periods().currDay));
    if (kind->open.isEmpty()) {
        for (const report::QueryDef &def : form->layout().queries)
            context.open(def.name);
    } else {
        for (const QString &name : kind->open)
            context.open(name);
    }
    if (!kind->periodSums.isEmpty()) {
        const db::Query &sums = *form->query(kind->periodSums);
        std::array<qint32, 4> values{};
        for (int i = 0; i < 4; ++i)
            values[size_t(i)] = sums.isEmpty() ? 0 : qint32(sums.field(i).asInteger());
        context.periodSums = values;
    }
    if (kind->unit.prepare)
        kind->unit.prepare(*form);

    PreparedReport prepared;
    if (context.hasPeriods())
        prepared.periods = context.periods();
    prepared.periodSums = context.periodSums;
    if (form->query(kind->tested)->recordCount() >= 1)
        prepared.form = std::move(form);
    return prepared;
}

} // namespace tipdesk::stats
