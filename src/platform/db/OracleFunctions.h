#pragma once

#include <QString>
#include <QVariant>
#include <cstdint>

struct sqlite3;

namespace tipdesk::db::oracle {

// A DATE value with second precision. Stored in the embedded file as "YYYY-MM-DD HH:MM:SS".
struct DateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;

    static bool fromIso(QStringView text, DateTime *out);
    QString toIso() const;
    // Seconds since the start of the proleptic Julian day count; day arithmetic goes through it.
    qint64 toSeconds() const;
    static DateTime fromSeconds(qint64 seconds);
    int dayOfWeek() const; // 1 = Sunday … 7 = Saturday, as TO_CHAR(d, 'D') numbers them
};

// Decimal results are kept to 15 significant digits, so that 29/100*100 is 29 and not 28.999….
double round15(double v);

// Oracle's default number-to-text: no exponent, no trailing zeros, no leading zero before the
// decimal point (0.46 → ".46", -0.5 → "-.5").
QString numberText(double v);
QString numberText(qint64 v);

// TO_CHAR(date, mask) and TO_DATE(text, mask). Both throw DbError with Oracle's message for a
// mask element they do not know or text that is not a date of the mask.
QString formatDate(const DateTime &d, const QString &mask);
DateTime parseDate(const QString &text, const QString &mask);
// Whether every element of the mask is a date element (used to tell TO_CHAR of a date by its mask).
bool isDateMask(const QString &mask);

// Registers the ora_* functions the translated statements call.
void registerFunctions(sqlite3 *db);

// With lenient dates, TO_CHAR of a stored value that is not a date gives null instead of Oracle's
// error, so that a pass over many reports leaves a damaged one out rather than failing on it.
void setLenientDates(sqlite3 *db, bool lenient);

} // namespace tipdesk::db::oracle
