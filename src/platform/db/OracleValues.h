#pragma once

#include "platform/db/DbError.h"
#include "platform/db/OracleFunctions.h"

#include <QString>
#include <cstddef>
#include <sqlite3.h>

// What the ora_* functions of the embedded engine share: reading SQLite values as Oracle converts
// them, giving results in Oracle's conventions, reporting Oracle's errors, and registering.
namespace tipdesk::db::oracle {

struct Num {
    bool isInt = false;
    qint64 i = 0;
    double d = 0;
    double real() const { return isInt ? double(i) : d; }
};

// An Oracle error raised inside a function; guarded() reports it to SQLite as the error text.
class SqlFailure {
public:
    explicit SqlFailure(QString t) : text(std::move(t)) {}
    QString text;
};

// The value as Oracle's text of it (a number as TO_CHAR writes it); empty for null.
QString valueText(sqlite3_value *v);
bool parseNumber(const QString &raw, Num *out);
// The value as a number; false for null. Text that is no number fails as Oracle's ORA-01722.
bool number(sqlite3_value *v, Num *out);
// v without its fraction, held within ±limit (NaN as 0).
qint64 boundedInt(double v, qint64 limit);
constexpr qint64 kBeyondAnyText = qint64(1) << 40;
// A number kept to 15 significant digits, whole ones as integers; ORA-01426 past the range.
void resultNumber(sqlite3_context *ctx, double v);
// A text; the empty text is null, as in Oracle.
void resultText(sqlite3_context *ctx, const QString &s);
// A stored date ("YYYY-MM-DD HH:MM:SS"); false for null, ORA-01861 for text of another shape.
bool dateArg(sqlite3_value *v, DateTime *out);
int daysInMonth(int year, int month);
// ORA-01428 for an argument outside the values a function takes, written as Oracle writes it.
[[noreturn]] void argumentOutOfRange(const QString &argument);

using Impl = void (*)(sqlite3_context *, int, sqlite3_value **);

template <Impl F> void guarded(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    try {
        F(ctx, argc, argv);
    } catch (const SqlFailure &e) {
        const QByteArray b = e.text.toUtf8();
        sqlite3_result_error(ctx, b.constData(), int(b.size()));
    } catch (const DbError &e) {
        const QByteArray b = e.text().toUtf8();
        sqlite3_result_error(ctx, b.constData(), int(b.size()));
    }
}

struct FunctionDef {
    const char *name;
    int argc; // -1: any number
    Impl impl;
    bool deterministic;
};
void registerAll(sqlite3 *db, const FunctionDef *defs, size_t count);

// The function families beside the core, each in a file of its own.
void registerNumberFunctions(sqlite3 *db);       // MOD, POWER, SQRT, CEIL, FLOOR, SIGN, GREATEST, LEAST
void registerTextFunctions(sqlite3 *db);         // REPLACE, INITCAP, LPAD, RPAD, INSTR, TRIM, REGEXP_*
void registerCalendarFunctions(sqlite3 *db);     // ADD_MONTHS, LAST_DAY, MONTHS_BETWEEN, EXTRACT, date TRUNC/ROUND
void registerNumberFormatFunctions(sqlite3 *db); // TO_CHAR(number, format), TO_NUMBER(text, format)

} // namespace tipdesk::db::oracle
