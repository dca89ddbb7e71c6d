#pragma once

// The reference periods of the summaries by source and the captions built from day keys.

#include <QString>

namespace tipdesk::db {
class Query;
}

namespace tipdesk::stats {

struct ReferencePeriods {
    QString currDay;   // the start day, or the day before when the start day is the server's today
    QString weekStart; // Monday of the last complete week before the week holding currDay
    QString weekEnd;   // its Sunday
    QString currMonth; // the month before currDay's, "YYYYMM"
};

// Runs one statement through the query and returns the first column of its first row; the
// query stays open until the next call.
QString GetSqlValue(db::Query &query, const QString &sql);
// Derives the reference periods from a start day ("YYYYMMDD") through the database, whose
// current date decides whether the reference day is the day before. Database errors propagate.
ReferencePeriods CalcPeriods(const QString &startDay, db::Query &query);

// 1 "일" (Sunday) .. 7 "토".
QString WeekdayName(int number);
// "2004년 1월 7일 " from "20040107".
QString DayCaption(const QString &dayKey);
// "2004년 1월 7일 (수요일 )" from "20040107".
QString DayCaptionWithWeekday(const QString &dayKey);
// "06월 07일 ~ 06월 13일" from two day keys: month and day of both ends with their leading zeros,
// without the year.
QString MonthDayRange(const QString &startKey, const QString &endKey);

} // namespace tipdesk::stats
