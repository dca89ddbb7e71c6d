#include "stats/ReportSession.h"

#include "stats/Export.h"
#include "stats/KindForm.h"

namespace tipdesk::stats {

void ReportSession::record(const ReportRequest &request)
{
    const RequestCheck check = CheckRequest(request);
    if (check == RequestCheck::BadRange)
        return;
    m_kind = request.kind;
    if (check != RequestCheck::Ok)
        return;
    m_startDay = request.startKey();
    m_endDay = request.endKey();
}

void ReportSession::apply(const PreparedReport &prepared)
{
    if (prepared.periods) {
        m_currDay = prepared.periods->currDay;
        m_weekStart = prepared.periods->weekStart;
        m_weekEnd = prepared.periods->weekEnd;
        m_currMonth = prepared.periods->currMonth;
    }
    if (prepared.periodSums)
        m_periodSums = *prepared.periodSums;
    m_ready = prepared.form != nullptr;
}

QString ReportSession::exportFolder() const
{
    return m_exportFolder.isEmpty() ? ExportFolder() : m_exportFolder;
}

} // namespace tipdesk::stats
