#include "platform/db/DbError.h"
#include "platform/db/Query.h"
#include "stats/Periods.h"

#include <QDate>
#include <QRegularExpression>

namespace tipdesk::stats {

namespace {

// The day keys are written into the derivation's statements, so only eight digits may get there.
const QString &checkedDayKey(const QString &key)
{
    static const QRegularExpression eightDigits(QStringLiteral("^[0-9]{8}$"));
    if (!eightDigits.match(key).hasMatch())
        throw db::DbError(QStringLiteral("'%1' is not a day key (YYYYMMDD)").arg(key));
    return key;
}

} // namespace

QString GetSqlValue(db::Query &q, const QString &sql)
{
    q.close();
    q.sql().clear();
    q.sql().append(sql);
    q.open();
    return q.field(0).asString();
}

ReferencePeriods CalcPeriods(const QString &startDay, db::Query &q)
{
    const QString start = checkedDayKey(startDay);
    ReferencePeriods p;
    p.currDay = GetSqlValue(q, QStringLiteral("SELECT decode(TO_CHAR(SYSDATE,'yyyymmdd'),'") + start +
                                   QStringLiteral("', TO_CHAR(SYSDATE-1,'yyyymmdd'),'") + start +
                                   QStringLiteral("') FROM DUAL"));
    const QString curr = checkedDayKey(p.currDay);

    const QString weekday = GetSqlValue(q, QStringLiteral("SELECT TO_CHAR(  TO_DATE('") + curr +
                                               QStringLiteral("', 'yyyymmdd'), 'D') FROM DUAL"));
    // On a Sunday the week containing the day starts six days earlier, one more week back.
    const QString extra = weekday == QLatin1String("1") ? QStringLiteral(" - 7 ") : QString();

    const auto weekSql = [&](const QString &offset) {
        return QStringLiteral("SELECT TO_CHAR((TO_DATE('") + curr +
               QStringLiteral("', 'yyyymmdd') -(TO_NUMBER(TO_CHAR( TO_DATE('") + curr +
               QStringLiteral("', 'yyyymmdd'), 'D'))) + 2 - ") + offset + QLatin1Char(' ') + extra +
               QStringLiteral(" ), 'yyyymmdd') FROM DUAL");
    };
    p.weekStart = GetSqlValue(q, weekSql(QStringLiteral("7")));
    p.weekEnd = GetSqlValue(q, weekSql(QStringLiteral("1")));
    p.currMonth = GetSqlValue(q, QStringLiteral("SELECT TO_CHAR(( TO_DATE('") + curr +
                                     QStringLiteral("', 'yyyymmdd')  - (TO_NUMBER(TO_CHAR( TO_DATE('") + curr +
                                     QStringLiteral("', 'yyyymmdd')  , 'DD')) )), 'yyyymm') FROM DUAL"));
    return p;
}

QString WeekdayName(int number)
{
    static const char *const names[] = {"일", "월", "화", "수", "목", "금", "토"};
    if (number < 1 || number > 7)
        return {};
    return QString::fromUtf8(names[number - 1]);
}

QString DayCaption(const QString &dayKey)
{
    return dayKey.left(4) + QStringLiteral("년 ") + QString::number(dayKey.mid(4, 2).toInt()) + QStringLiteral("월 ") +
           QString::number(dayKey.mid(6, 2).toInt()) + QStringLiteral("일 ");
}

QString DayCaptionWithWeekday(const QString &dayKey)
{
    const QDate d = QDate::fromString(dayKey, QStringLiteral("yyyyMMdd"));
    // Sunday is 1, as the database numbers the days.
    const int number = d.isValid() ? d.dayOfWeek() % 7 + 1 : 0;
    return DayCaption(dayKey) + QLatin1Char('(') + WeekdayName(number) + QStringLiteral("요일 )");
}

QString MonthDayRange(const QString &startKey, const QString &endKey)
{
    const auto monthDay = [](const QString &key) {
        return key.mid(4, 2) + QStringLiteral("월 ") + key.mid(6, 2) + u'일';
    };
    return monthDay(startKey) + QStringLiteral(" ~ ") + monthDay(endKey);
}

} // namespace tipdesk::stats
