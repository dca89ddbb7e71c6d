// Numbers beyond arithmetic, as the embedded engine's ora_* functions: MOD, POWER, SQRT, CEIL,
// FLOOR, SIGN, GREATEST and LEAST. Whole numbers that fit 64 bits stay exact; any other value is a
// double brought to 15 significant digits by resultNumber, as the server's functions bring theirs.
#include "platform/db/OracleValues.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace tipdesk::db::oracle {

namespace {

QString argumentText(const Num &n)
{
    return n.isInt ? numberText(n.i) : numberText(n.d);
}

// A number as mantissa * 10^exponent: a whole number as itself, a double by its 15 significant
// digits (the digits the convention keeps). The mantissa is never negative.
struct Decimal {
    bool negative = false;
    unsigned __int128 mantissa = 0;
    int exponent = 0;
};

Decimal decimalOf(const Num &n)
{
    Decimal out;
    if (n.isInt) {
        out.negative = n.i < 0;
        out.mantissa = n.i < 0 ? (unsigned __int128)(-(n.i + 1)) + 1 : (unsigned __int128)n.i;
        return out;
    }
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", n.d); // "-d.dddddddddddddde+XX"
    const char *p = buf;
    if (*p == '-') {
        out.negative = true;
        ++p;
    }
    qint64 digits = 0;
    for (; *p && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9')
            digits = digits * 10 + (*p - '0');
    }
    out.mantissa = (unsigned __int128)digits;
    out.exponent = (*p == 'e' ? std::atoi(p + 1) : 0) - 14;
    return out;
}

// Oracle's MOD exactly in decimal: m - n * TRUNC(m / n), the sign of m, MOD(m, 0) = m.
void mod(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    Num m, n;
    if (!number(argv[0], &m) || !number(argv[1], &n)) {
        sqlite3_result_null(ctx);
        return;
    }
    if (n.real() == 0.0) {
        if (m.isInt)
            sqlite3_result_int64(ctx, m.i);
        else
            resultNumber(ctx, m.d);
        return;
    }
    if (m.isInt && n.isInt) {
        sqlite3_result_int64(ctx, n.i == -1 ? 0 : m.i % n.i);
        return;
    }
    const Decimal a = decimalOf(m), b = decimalOf(n);
    if (a.mantissa == 0) {
        sqlite3_result_int64(ctx, 0);
        return;
    }
    unsigned __int128 r;
    int exponent;
    if (a.exponent >= b.exponent) {
        // (a * 10^k) mod b, one decimal place at a time: every step stays below 10 * b.
        r = a.mantissa % b.mantissa;
        for (int k = a.exponent - b.exponent; k > 0 && r != 0; --k)
            r = r * 10 % b.mantissa;
        exponent = b.exponent;
    } else {
        const int k = b.exponent - a.exponent;
        if (k > 19) { // |n| > |m|: m itself
            resultNumber(ctx, m.real());
            return;
        }
        unsigned __int128 scaled = b.mantissa;
        for (int i = 0; i < k; ++i)
            scaled *= 10;
        r = a.mantissa % scaled;
        exponent = a.exponent;
    }
    if (exponent >= 0 && exponent < 19) {
        unsigned __int128 whole = r;
        for (int i = 0; i < exponent && whole <= (unsigned __int128)std::numeric_limits<qint64>::max(); ++i)
            whole *= 10;
        if (whole <= (unsigned __int128)std::numeric_limits<qint64>::max()) {
            sqlite3_result_int64(ctx, a.negative ? -qint64(whole) : qint64(whole));
            return;
        }
    }
    // r is below one of the mantissas, so it fits 64 bits; the decimal text reads back exactly rounded.
    char text[48];
    std::snprintf(text, sizeof text, "%s%llue%d", a.negative ? "-" : "", (unsigned long long)r, exponent);
    resultNumber(ctx, std::strtod(text, nullptr));
}

// POWER: a whole base to a whole exponent exactly while the result fits 64 bits, otherwise in
// doubles. A negative base with a fractional exponent, and zero to a negative one, are ORA-01428.
void power(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    Num m, n;
    if (!number(argv[0], &m) || !number(argv[1], &n)) {
        sqlite3_result_null(ctx);
        return;
    }
    const double x = m.real(), y = n.real();
    if (x < 0 && y != std::trunc(y))
        argumentOutOfRange(argumentText(m));
    if (x == 0 && y < 0)
        argumentOutOfRange(argumentText(m));
    if (m.isInt && n.isInt && n.i >= 0) {
        if (m.i == 0 || m.i == 1 || n.i == 0) {
            sqlite3_result_int64(ctx, n.i == 0 ? 1 : m.i);
            return;
        }
        if (m.i == -1) {
            sqlite3_result_int64(ctx, n.i % 2 == 0 ? 1 : -1);
            return;
        }
        qint64 r = 1;
        bool overflow = false;
        for (qint64 k = 0; k < n.i && !overflow; ++k)
            overflow = __builtin_mul_overflow(r, m.i, &r);
        if (!overflow) {
            sqlite3_result_int64(ctx, r);
            return;
        }
    }
    resultNumber(ctx, std::pow(x, y));
}

void squareRoot(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    Num a;
    if (!number(argv[0], &a)) {
        sqlite3_result_null(ctx);
        return;
    }
    if (a.real() < 0)
        argumentOutOfRange(argumentText(a));
    resultNumber(ctx, std::sqrt(a.real()));
}

template <bool Up> void ceilOrFloor(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    Num a;
    if (!number(argv[0], &a))
        sqlite3_result_null(ctx);
    else if (a.isInt)
        sqlite3_result_int64(ctx, a.i);
    else
        resultNumber(ctx, Up ? std::ceil(round15(a.d)) : std::floor(round15(a.d)));
}

void sign(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    Num a;
    if (!number(argv[0], &a)) {
        sqlite3_result_null(ctx);
        return;
    }
    const double v = a.isInt ? double(a.i) : round15(a.d);
    sqlite3_result_int64(ctx, v > 0 ? 1 : v < 0 ? -1 : 0);
}

bool isNumberValue(sqlite3_value *v)
{
    const int type = sqlite3_value_type(v);
    return type == SQLITE_INTEGER || type == SQLITE_FLOAT;
}

int compareNumbers(const Num &a, const Num &b)
{
    if (a.isInt && b.isInt)
        return a.i < b.i ? -1 : a.i > b.i ? 1 : 0;
    const double x = a.isInt ? double(a.i) : round15(a.d), y = b.isInt ? double(b.i) : round15(b.d);
    return x < y ? -1 : x > y ? 1 : 0;
}

// Byte order, which for UTF-8 is code point order.
int compareBytes(const QByteArray &a, const QByteArray &b)
{
    const int c = std::memcmp(a.constData(), b.constData(), size_t(std::min(a.size(), b.size())));
    if (c != 0)
        return c < 0 ? -1 : 1;
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

// GREATEST and LEAST: every argument is already of the first one's type. Numbers compare by
// value; text (dates included, as ISO text) by code point, which is the byte order of UTF-8.
// Any null (or empty text) gives null.
template <int Sign> void extreme(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (argc < 1) {
        sqlite3_result_null(ctx);
        return;
    }
    if (isNumberValue(argv[0])) {
        Num best;
        for (int i = 0; i < argc; ++i) {
            Num v;
            if (!number(argv[i], &v)) {
                sqlite3_result_null(ctx);
                return;
            }
            if (i == 0 || compareNumbers(v, best) * Sign > 0)
                best = v;
        }
        if (best.isInt)
            sqlite3_result_int64(ctx, best.i);
        else
            resultNumber(ctx, best.d);
        return;
    }
    QByteArray best;
    for (int i = 0; i < argc; ++i) {
        QByteArray v;
        if (isNumberValue(argv[i]))
            v = valueText(argv[i]).toUtf8();
        else if (sqlite3_value_type(argv[i]) != SQLITE_NULL)
            v = QByteArray(reinterpret_cast<const char *>(sqlite3_value_text(argv[i])), sqlite3_value_bytes(argv[i]));
        if (v.isEmpty()) {
            sqlite3_result_null(ctx);
            return;
        }
        if (i == 0 || compareBytes(v, best) * Sign > 0)
            best = v;
    }
    sqlite3_result_text(ctx, best.constData(), int(best.size()), SQLITE_TRANSIENT);
}

} // namespace

void registerNumberFunctions(sqlite3 *db)
{
    static const FunctionDef fns[] = {
        {"ora_mod", 2, guarded<mod>, true},
        {"ora_power", 2, guarded<power>, true},
        {"ora_sqrt", 1, guarded<squareRoot>, true},
        {"ora_ceil", 1, guarded<ceilOrFloor<true>>, true},
        {"ora_floor", 1, guarded<ceilOrFloor<false>>, true},
        {"ora_sign", 1, guarded<sign>, true},
        {"ora_greatest", -1, guarded<extreme<1>>, true},
        {"ora_least", -1, guarded<extreme<-1>>, true},
    };
    registerAll(db, fns, std::size(fns));
}

} // namespace tipdesk::db::oracle
