#pragma once

// A report kind's form and the preparation every kind follows: create the form and load its
// layout, bind the request's values to its queries by parameter name and open them (the kind's
// unit adds its own steps), then test the kind's query for data. Preparation is a function of
// the request: it reads no widget and no global.

#include "platform/report/ReportForm.h"
#include "stats/Periods.h"
#include "stats/ReportKinds.h"
#include "stats/ReportRequest.h"

#include <array>
#include <memory>
#include <optional>

namespace tipdesk::db {
class Query;
}

namespace tipdesk::stats {

class TDMReport;

// The statement of a layout query for a request: a composed one gets the request's period and, for a
// kind whose "정렬 순서" takes effect, the chosen order alternative; any other keeps its lines.
QStringList ComposeStatement(const report::QueryDef &query, const KindDescriptor &kind, const ReportRequest &request);

// What a saved copy of a kind's report is called: its printed title (the list caption where it has
// none) and its period, "교통정보 접수 대장 2026-11-25", "… 2026-11-01~2026-11-30", "… 2026-11".
QString DocumentName(const KindDescriptor &kind, const ReportRequest &request, const QString &title);

// A kind's report form. Units with handlers derive from it; a kind without handlers uses it as
// it is.
class KindForm : public report::ReportForm {
    Q_OBJECT
public:
    explicit KindForm(QObject *owner = nullptr);
    ~KindForm() override;

    // Loads the kind's layout. For a kind with an approval box, its stamp switch answers the
    // request's "전결인 사용".
    void setUp(const KindDescriptor &kind, const ReportRequest &request);

    const KindDescriptor &descriptor() const { return *m_kind; }
    const ReportRequest &request() const { return m_request; }

private:
    const KindDescriptor *m_kind = nullptr;
    ReportRequest m_request;
};

// What a preparation works with: the request, the form, and what the summaries derive.
class PrepareContext {
public:
    PrepareContext(KindForm &form, const ReportRequest &request, TDMReport &module);

    const ReportRequest &request() const { return m_request; }
    KindForm &form() { return m_form; }

    // Closes the form's query, binds the request's values to the parameters the kind's inputs
    // name (P: currDay, weekStart, weekEnd, currMonth; S: start_day, curr_day, stat_day; E:
    // end_day; M: start_day as "YYYYMM"), composes a composed statement with the period and the
    // order alternative of "정렬 순서", and opens it. A parameter left without a value is refused.
    db::Query &open(const QString &queryName);
    void bind(db::Query &query);

    // The reference periods (kinds taking P), derived once on first use.
    const ReferencePeriods &periods();
    bool hasPeriods() const { return m_periods.has_value(); }
    // The four period sums of the summaries, kept for the console.
    std::optional<std::array<qint32, 4>> periodSums;

private:
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
