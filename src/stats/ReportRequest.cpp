#include "stats/ReportRequest.h"

#include "platform/report/Layout.h"
#include "stats/ReportKinds.h"

namespace tipdesk::stats {

namespace {

// The items of "정렬 순서" and the order alternatives of the layout queries they choose.
const struct {
    const char *caption;
    const char *name;
} kSortOrders[kSortOrderCount] = {{"제보 건수", "ByCount"}, {"ID 순서", "ById"}, {"소속", "ByOrganisation"}};

} // namespace

QString SortOrderCaption(int sort)
{
    return sort >= 0 && sort < kSortOrderCount ? QString::fromUtf8(kSortOrders[sort].caption) : QString();
}

QString SortOrderName(int sort)
{
    return sort >= 0 && sort < kSortOrderCount ? QString::fromUtf8(kSortOrders[sort].name) : QString();
}

QString ReportRequest::startKey() const
{
    return DayKey(startDay);
}

QString ReportRequest::endKey() const
{
    return DayKey(endDay);
}

RequestCheck CheckRequest(const ReportRequest &request)
{
    if (request.endDay < request.startDay)
        return RequestCheck::BadRange;
    const KindDescriptor *kind = FindKind(request.kind);
    if (!kind)
        return RequestCheck::NoSelection;
    return RequestCheck::Ok;
}

QString RequestCheckText(RequestCheck check)
{
    switch (check) {
    case RequestCheck::Ok:
        break;
    case RequestCheck::BadRange:
        return QStringLiteral("출력 범위를 정확히 입력하십시요");
    case RequestCheck::NoSelection:
        return QStringLiteral("출력 대상을 지정하십시요");
    }
    return {};
}

QString DayKey(const QDate &day)
{
    if (!day.isValid() || day.year() < 1 || day.year() > 9999)
        throw report::ReportError(QStringLiteral("기간이 올바르지 않습니다"));
    return day.toString(QStringLiteral("yyyyMMdd"));
}

QString PeriodLiteral(const QDate &start, const QDate &end)
{
    return u'\'' + DayKey(start) + QStringLiteral("' And '") + DayKey(end) + u'\'';
}

QString PeriodLine(const QDate &start, const QDate &end)
{
    return QStringLiteral("기 간 : ") + start.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" ~ ") +
           end.toString(QStringLiteral("yyyy-MM-dd"));
}

} // namespace tipdesk::stats
