#pragma once

// A report kind's form and the preparation every kind follows: create the form and load its
// layout, give it the request's parameters, bind the request's values to its queries by
// parameter name and open them, let the kind's unit (where it has one) derive its parameters,
// then test the kind's query for data. Preparation is a function of the request: it reads no
// widget and no global, and it sets no item of the layout.

#include "platform/report/ReportForm.h"
#include "stats/Periods.h"
#include "stats/ReportKinds.h"
#include "stats/ReportRequest.h"

#include <array>
#include <memory>
#include <optional>

namespace tipdesk::db {
class Param;
class Query;
} // namespace tipdesk::db

namespace tipdesk::stats {

class TDMReport;

// The statement of a layout query for a request: a composed one gets the request's period and, for a
// kind whose "정렬 순서" takes effect, the chosen order alternative; any other keeps its lines.
QStringList ComposeStatement(const report::QueryDef &query, const KindDescriptor &kind, const ReportRequest &request);

// What a saved copy of a kind's report is called: its printed title (the list caption where it has
// none) and its period, "교통정보 접수 대장 2026-11-25", "… 2026-11-01~2026-11-30", "… 2026-11".
QString DocumentName(const KindDescriptor &kind, const ReportRequest &request, const QString &title);

// A kind's report form: the layout, its queries, the handlers its unit wires and the parameters.
class KindForm : public report::ReportForm {
    Q_OBJECT
public:
    explicit KindForm(QObject *owner = nullptr);
    ~KindForm() override;

    // Wires the unit's handlers, loads the kind's layout and gives it the request's parameters.
    void setUp(const KindDescriptor &kind, const ReportRequest &request);

    const KindDescriptor &descriptor() const { return *m_kind; }
    const ReportRequest &request() const { return m_request; }

private:
    const KindDescriptor *m_kind = nullptr;
    ReportRequest m_request;
};

// The parameters every layout may read, from the request alone: StartDay and EndDay (dates),
// Approval ("전결인 사용"), DayLine ("2004년 1월 7일 (수요일 )"), PeriodLine ("기 간 : … ~ …"),
// MonthDayRange ("06월 07일 ~ 06월 13일") and MonthLine (the first and last day of the start
// day's month).
QVariantMap RequestParameters(const ReportRequest &request);

// What a preparation works with: the request, the form, and what the summaries derive.
class PrepareContext {
public:
    PrepareContext(KindForm &form, const ReportRequest &request, TDMReport &module);

    const ReportRequest &request() const { return m_request; }
    KindForm &form() { return m_form; }

    // Closes the form's query, binds the request's values to the parameters the kind's inputs
    // name (P: currDay, weekStart, weekEnd, currMonth; S: start_day, curr_day, stat_day; E:
    // end_day; M: start_day as "YYYYMM") and the rest from the query the layout gives as their
    // source, composes a composed statement with the period and the order alternative of
    // "정렬 순서", and opens it. A parameter left without a value is refused.
    db::Query &open(const QString &queryName);
    void bind(db::Query &query);

    // The reference periods (kinds taking P), derived once on first use.
    const ReferencePeriods &periods();
    bool hasPeriods() const { return m_periods.has_value(); }
    // The four period sums of the summaries, kept for the console.
    std::optional<std::array<qint32, 4>> periodSums;

private:
    void bindFromSource(const db::Query &query, db::Param &param, const QString &name);

    KindForm &m_form;
    ReportRequest m_request;
    TDMReport &m_module;
    std::optional<ReferencePeriods> m_periods;
};

struct PreparedReport {
    std::unique_ptr<KindForm> form; // null when the kind's tested query found nothing
    std::optional<ReferencePeriods> periods;
    std::optional<std::array<qint32, 4>> periodSums;
};

// Prepares the request's kind, which must be built (CheckRequest). The report query module
// lends the query of the period derivation. Database and layout errors propagate.
PreparedReport PrepareReport(const ReportRequest &request, TDMReport &module);

} // namespace tipdesk::stats
