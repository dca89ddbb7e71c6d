#pragma once

#include "stats/ReportRequest.h"

#include <QString>
#include <array>

namespace tipdesk::stats {

struct PreparedReport;

// The statistics console's state between its uses: the period of the last request and what its
// preparation derived. The application keeps one for the whole run, so a console opened later
// starts with what the previous one left; only the console writes it.
class ReportSession {
public:
    // A request as "미리보기" received it: nothing of a bad range, the kind even when none is
    // selected (-1), the days only of a request that names a kind.
    void record(const ReportRequest &request);
    // What a preparation derived: the periods and sums where it derived them, and whether it
    // found data.
    void apply(const PreparedReport &prepared);

    const QString &startDay() const { return m_startDay; } // "YYYYMMDD"
    const QString &endDay() const { return m_endDay; }
    int kind() const { return m_kind; }
    const QString &currDay() const { return m_currDay; }     // reference day of the summaries
    const QString &weekStart() const { return m_weekStart; } // Monday of the reference week
    const QString &weekEnd() const { return m_weekEnd; }     // its Sunday
    const QString &currMonth() const { return m_currMonth; } // reference month "YYYYMM"
    // Day, week, month and total sums of the summaries (kinds 0..3).
    const std::array<qint32, 4> &periodSums() const { return m_periodSums; }
    bool ready() const { return m_ready; } // the last preparation found data

    // Where "File 저장" writes: the default export folder unless the desk chose another.
    QString exportFolder() const;
    void setExportFolder(const QString &folder) { m_exportFolder = folder; } // empty: the default

private:
    QString m_startDay;
    QString m_endDay;
    int m_kind = -1;
    QString m_currDay;
    QString m_weekStart;
    QString m_weekEnd;
    QString m_currMonth;
    std::array<qint32, 4> m_periodSums{};
    bool m_ready = false;
    QString m_exportFolder;
};

} // namespace tipdesk::stats
