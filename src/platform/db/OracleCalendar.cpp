// Calendar functions of DATE values, as the embedded engine's ora_* functions: ADD_MONTHS,
// LAST_DAY, MONTHS_BETWEEN, EXTRACT and the TRUNC and ROUND of a date by a format.
// postgres/library-calendar.sql gives the same results on the server.
#include "platform/db/OracleValues.h"

#include <algorithm>

namespace tipdesk::db::oracle {

namespace {

const QString kYearRange = QStringLiteral("ORA-01841: (full) year must be between -4713 and +9999, and not be 0");
constexpr qint64 kDay = 86400;

DateTime checkedYear(const DateTime &d)
{
    if (d.year < 1 || d.year > 9999)
        throw SqlFailure(kYearRange);
    return d;
}

bool isLastDay(const DateTime &d)
{
    return d.day == daysInMonth(d.year, d.month);
}

// d moved by months; the last day of a month, or a day the target month lacks, becomes its last day.
DateTime addMonths(DateTime d, qint64 months)
{
    const qint64 index = qint64(d.year) * 12 + (d.month - 1) + months;
    const qint64 year = index >= 0 ? index / 12 : -((-index + 11) / 12);
    if (year < 1 || year > 9999)
        throw SqlFailure(kYearRange);
    const bool last = isLastDay(d);
    d.year = int(year);
    d.month = int(index - year * 12) + 1;
    const int days = daysInMonth(d.year, d.month);
    d.day = last ? days : std::min(d.day, days);
    return d;
}

DateTime plusSeconds(const DateTime &d, qint64 seconds)
{
    return checkedYear(DateTime::fromSeconds(d.toSeconds() + seconds));
}

DateTime startOfDay(DateTime d)
{
    d.hour = d.minute = d.second = 0;
    return d;
}

// The units TRUNC and ROUND of a date work in, by their format.
enum class Unit { Century, Year, Quarter, Month, YearWeek, IsoWeek, MonthWeek, Week, Day, Hour, Minute };

Unit unitOf(const QString &format)
{
    struct Name {
        const char *name;
        Unit unit;
    };
    static const Name names[] = {
        {"CC", Unit::Century},  {"SCC", Unit::Century}, {"SYYYY", Unit::Year},  {"YYYY", Unit::Year},
        {"YEAR", Unit::Year},   {"SYEAR", Unit::Year},  {"YYY", Unit::Year},    {"YY", Unit::Year},
        {"Y", Unit::Year},      {"Q", Unit::Quarter},   {"MONTH", Unit::Month}, {"MON", Unit::Month},
        {"MM", Unit::Month},    {"RM", Unit::Month},    {"WW", Unit::YearWeek}, {"IW", Unit::IsoWeek},
        {"W", Unit::MonthWeek}, {"DDD", Unit::Day},     {"DD", Unit::Day},      {"J", Unit::Day},
        {"DAY", Unit::Week},    {"DY", Unit::Week},     {"D", Unit::Week},      {"HH", Unit::Hour},
        {"HH12", Unit::Hour},   {"HH24", Unit::Hour},   {"MI", Unit::Minute},
    };
    const QByteArray upper = format.toUpper().toLatin1();
    for (const Name &n : names) {
        if (upper == n.name)
            return n.unit;
    }
    throw SqlFailure(QStringLiteral("ORA-01821: date format not recognized"));
}

DateTime firstOfMonth(int year, int month)
{
    DateTime d;
    d.year = year;
    d.month = month;
    d.day = 1;
    return d;
}

// The start of the unit d lies in. Weeks of WW start on the weekday of January 1, those of W on
// the weekday of the month's first day, IW on Monday, DAY on Sunday (the territory's first day).
DateTime unitStart(const DateTime &d, Unit unit)
{
    const DateTime day = startOfDay(d);
    switch (unit) {
    case Unit::Century:
        return firstOfMonth((d.year - 1) / 100 * 100 + 1, 1);
    case Unit::Year:
        return firstOfMonth(d.year, 1);
    case Unit::Quarter:
        return firstOfMonth(d.year, (d.month - 1) / 3 * 3 + 1);
    case Unit::Month:
        return firstOfMonth(d.year, d.month);
    case Unit::YearWeek: {
        const qint64 dayOfYear = (day.toSeconds() - firstOfMonth(d.year, 1).toSeconds()) / kDay;
        return plusSeconds(day, -(dayOfYear % 7) * kDay);
    }
    case Unit::IsoWeek:
        return plusSeconds(day, -((d.dayOfWeek() + 5) % 7) * kDay);
    case Unit::MonthWeek:
        return plusSeconds(day, -((d.day - 1) % 7) * kDay);
    case Unit::Week:
        return plusSeconds(day, -(d.dayOfWeek() - 1) * kDay);
    case Unit::Day:
        return day;
    case Unit::Hour: {
        DateTime h = d;
        h.minute = h.second = 0;
        return h;
    }
    case Unit::Minute: {
        DateTime m = d;
        m.second = 0;
        return m;
    }
    }
    return d;
}

// start moved by a unit of seconds, or by half of it: the half is only compared with, and may lie
// past the last day of 9999 as long as the date does not reach it.
DateTime stepped(const DateTime &start, qint64 unit, bool half)
{
    return half ? DateTime::fromSeconds(start.toSeconds() + unit / 2) : plusSeconds(start, unit);
}

// The start of the next unit after start, and the point from which ROUND goes up to it: July 1,
// the 16th day of a quarter's second month, a month's 16th day, half a week, noon, half an hour
// or minute.
DateTime unitAfter(const DateTime &start, Unit unit, bool half)
{
    switch (unit) {
    case Unit::Century:
        return half ? firstOfMonth(start.year + 50, 1) : checkedYear(firstOfMonth(start.year + 100, 1));
    case Unit::Year:
        return half ? addMonths(start, 6) : addMonths(start, 12);
    case Unit::Quarter:
        return half ? plusSeconds(addMonths(start, 1), 15 * kDay) : addMonths(start, 3);
    case Unit::Month:
        return half ? plusSeconds(start, 15 * kDay) : addMonths(start, 1);
    case Unit::YearWeek:
    case Unit::IsoWeek:
    case Unit::MonthWeek:
    case Unit::Week:
        return stepped(start, 7 * kDay, half);
    case Unit::Day:
        return stepped(start, kDay, half);
    case Unit::Hour:
        return stepped(start, 3600, half);
    case Unit::Minute:
        return stepped(start, 60, half);
    }
    return start;
}

void addMonthsFn(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    DateTime d;
    Num n;
    if (!dateArg(argv[0], &d) || !number(argv[1], &n)) {
        sqlite3_result_null(ctx);
        return;
    }
    // Past this many months either way no date stays within the years 1 to 9999.
    const qint64 months = n.isInt ? std::clamp<qint64>(n.i, -200000, 200000) : boundedInt(n.d, 200000);
    resultText(ctx, addMonths(d, months).toIso());
}

void lastDay(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    DateTime d;
    if (!dateArg(argv[0], &d)) {
        sqlite3_result_null(ctx);
        return;
    }
    d.day = daysInMonth(d.year, d.month);
    resultText(ctx, d.toIso());
}

// Whole months when both dates are the same day of the month or both last days; otherwise the
// days and time of day between them count as a fraction of a 31-day month.
void monthsBetween(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    DateTime a, b;
    if (!dateArg(argv[0], &a) || !dateArg(argv[1], &b)) {
        sqlite3_result_null(ctx);
        return;
    }
    const qint64 months = qint64(a.year - b.year) * 12 + (a.month - b.month);
    if (a.day == b.day || (isLastDay(a) && isLastDay(b))) {
        sqlite3_result_int64(ctx, months);
        return;
    }
    const qint64 secs =
        qint64(a.day - b.day) * kDay + (a.hour - b.hour) * 3600 + (a.minute - b.minute) * 60 + (a.second - b.second);
    resultNumber(ctx, double(months) + double(secs) / double(31 * kDay));
}

// EXTRACT(field FROM date): a DATE is an ANSI date to EXTRACT, so only YEAR, MONTH and DAY.
void extract(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString field = valueText(argv[0]).toUpper();
    if (field != QLatin1String("YEAR") && field != QLatin1String("MONTH") && field != QLatin1String("DAY"))
        throw SqlFailure(QStringLiteral("ORA-30076: invalid extract field for extract source"));
    DateTime d;
    if (!dateArg(argv[1], &d)) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int(ctx, field == QLatin1String("YEAR")    ? d.year
                            : field == QLatin1String("MONTH") ? d.month
                                                              : d.day);
}

template <bool Round> void truncOrRoundDate(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    DateTime d;
    if (!dateArg(argv[0], &d) || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const Unit unit = unitOf(valueText(argv[1]));
    const DateTime start = checkedYear(unitStart(d, unit));
    const bool up = Round && d.toSeconds() >= unitAfter(start, unit, true).toSeconds();
    resultText(ctx, (up ? unitAfter(start, unit, false) : start).toIso());
}

} // namespace

void registerCalendarFunctions(sqlite3 *db)
{
    static const FunctionDef fns[] = {
        {"ora_add_months", 2, guarded<addMonthsFn>, true},
        {"ora_last_day", 1, guarded<lastDay>, true},
        {"ora_months_between", 2, guarded<monthsBetween>, true},
        {"ora_extract", 2, guarded<extract>, true},
        {"ora_trunc_date", 2, guarded<truncOrRoundDate<false>>, true},
        {"ora_round_date", 2, guarded<truncOrRoundDate<true>>, true},
    };
    registerAll(db, fns, std::size(fns));
}

} // namespace tipdesk::db::oracle
