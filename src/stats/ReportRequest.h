#pragma once

// A request for a report: the kind, the two days, the sort order and "전결인 사용", as the
// console's controls or the batch command's arguments give them. The checks of a request live
// here, so the console's message boxes and the batch command's exit codes are two faces of one
// outcome.

#include <QDate>
#include <QString>

namespace tipdesk::stats {

// Items of "정렬 순서".
enum SortOrder { SortByCount = 0, SortById = 1, SortByOrganisation = 2 };
inline constexpr int kSortOrderCount = 3;
// The items' texts, and the names of the order alternatives of a layout query they choose.
QString SortOrderCaption(int sort);
QString SortOrderName(int sort);

struct ReportRequest {
    int kind = -1; // list index; -1 when nothing is selected
    QDate startDay;
    QDate endDay;
    int sort = SortByCount;
    bool approval = false; // "전결인 사용": the delegated-approval stamp prints

    QString startKey() const; // "YYYYMMDD"
    QString endKey() const;
};

// The checks, in the console's order: the range first (equal days pass), then the selection.
enum class RequestCheck { Ok, BadRange, NoSelection };
RequestCheck CheckRequest(const ReportRequest &request);
// The text of a refused request's plain message box; empty for Ok.
QString RequestCheckText(RequestCheck check);

// "20040107"; throws report::ReportError for a date that is not a calendar day of years 1..9999,
// so that nothing but eight digits reaches a statement.
QString DayKey(const QDate &day);
// '20040101' And '20040131': the period literal the composed statements carry.
QString PeriodLiteral(const QDate &start, const QDate &end);
// "기 간 : 2004-01-01 ~ 2004-01-31"
QString PeriodLine(const QDate &start, const QDate &end);

} // namespace tipdesk::stats
