#include "platform/db/SqlLibrary.h"

#include <QHash>
#include <cstring>

namespace tipdesk::db::sql {

namespace {

constexpr int kMany = 255;

// clang-format off
const LibraryFunction kFunctions[] = {
    // numbers
    {"MOD",            2, 2,     "nn",      'n', "ora_mod",            "tipdesk_ora.ora_mod"},
    {"POWER",          2, 2,     "nn",      'n', "ora_power",          "tipdesk_ora.ora_power"},
    {"SQRT",           1, 1,     "n",       'n', "ora_sqrt",           "tipdesk_ora.ora_sqrt"},
    {"CEIL",           1, 1,     "n",       'n', "ora_ceil",           "tipdesk_ora.ora_ceil"},
    {"FLOOR",          1, 1,     "n",       'n', "ora_floor",          "tipdesk_ora.ora_floor"},
    {"SIGN",           1, 1,     "n",       'n', "ora_sign",           "tipdesk_ora.ora_sign"},
    {"GREATEST",       1, kMany, "xf",      'f', "ora_greatest",       "tipdesk_ora.ora_greatest"},
    {"LEAST",          1, kMany, "xf",      'f', "ora_least",          "tipdesk_ora.ora_least"},
    // nulls; the values after the first take its type, as on the server: NVL(flag, 0) is text
    {"NVL",            2, 2,     "xf",      'f', "ifnull",             "coalesce"},
    {"COALESCE",       2, kMany, "xf",      'f', "coalesce",           "coalesce"},
    {"NULLIF",         2, 2,     "xf",      'f', "nullif",             "nullif"},
    // text
    {"REPLACE",        2, 3,     "ttt",     't', "ora_replace",        "tipdesk_ora.ora_replace"},
    {"INITCAP",        1, 1,     "t",       't', "ora_initcap",        "tipdesk_ora.ora_initcap"},
    {"LPAD",           2, 3,     "tnt",     't', "ora_lpad",           "tipdesk_ora.ora_lpad"},
    {"RPAD",           2, 3,     "tnt",     't', "ora_rpad",           "tipdesk_ora.ora_rpad"},
    {"INSTR",          2, 4,     "ttnn",    'n', "ora_instr",          "tipdesk_ora.ora_instr"},
    {"LTRIM",          2, 2,     "tt",      't', "ora_ltrim",          "tipdesk_ora.ora_ltrim"},
    {"RTRIM",          2, 2,     "tt",      't', "ora_rtrim",          "tipdesk_ora.ora_rtrim"},
    // TRIM([LEADING|TRAILING|BOTH] [c] FROM s): source, character, 'LEADING'/'TRAILING'/'BOTH'
    {"TRIM FROM",      3, 3,     "ttt",     't', "ora_trim",           "tipdesk_ora.ora_trim"},
    {"REGEXP_LIKE",    2, 3,     "ttt",     'b', "ora_regexp_like",    "tipdesk_ora.ora_regexp_like"},
    {"REGEXP_REPLACE", 2, 6,     "tttnnt",  't', "ora_regexp_replace", "tipdesk_ora.ora_regexp_replace"},
    {"REGEXP_SUBSTR",  2, 6,     "ttnntn",  't', "ora_regexp_substr",  "tipdesk_ora.ora_regexp_substr"},
    {"REGEXP_INSTR",   2, 7,     "ttnnntn", 'n', "ora_regexp_instr",   "tipdesk_ora.ora_regexp_instr"},
    // dates
    {"ADD_MONTHS",     2, 2,     "dn",      'd', "ora_add_months",     "tipdesk_ora.ora_add_months"},
    {"LAST_DAY",       1, 1,     "d",       'd', "ora_last_day",       "tipdesk_ora.ora_last_day"},
    {"MONTHS_BETWEEN", 2, 2,     "dd",      'n', "ora_months_between", "tipdesk_ora.ora_months_between"},
    // EXTRACT(field FROM d): 'YEAR' … 'SECOND', the date
    {"EXTRACT",        2, 2,     "td",      'n', "ora_extract",        "tipdesk_ora.ora_extract"},
    // TRUNC(d, format), ROUND(d, format)
    {"TRUNC DATE",     2, 2,     "dt",      'd', "ora_trunc_date",     "tipdesk_ora.ora_trunc_date"},
    {"ROUND DATE",     2, 2,     "dt",      'd', "ora_round_date",     "tipdesk_ora.ora_round_date"},
    // number format models
    {"TO_CHAR NUMBER", 2, 2,     "nt",      't', "ora_to_char_num",    "tipdesk_ora.ora_to_char_num"},
    {"TO_NUMBER FORMAT", 2, 2,   "tt",      'n', "ora_to_number_fmt",  "tipdesk_ora.ora_to_number_fmt"},
};
// clang-format on

} // namespace

const LibraryFunction *libraryFunctionNamed(const QString &upperName)
{
    static const QHash<QString, const LibraryFunction *> byName = [] {
        QHash<QString, const LibraryFunction *> out;
        for (const LibraryFunction &f : kFunctions)
            out.insert(QLatin1String(f.name), &f);
        return out;
    }();
    return byName.value(upperName);
}

const LibraryFunction *libraryFunction(const QString &upperName, size_t argCount)
{
    const LibraryFunction *f = libraryFunctionNamed(upperName);
    return f && argCount >= size_t(f->minArgs) && argCount <= size_t(f->maxArgs) ? f : nullptr;
}

char libraryArgKind(const LibraryFunction &f, size_t i)
{
    const size_t n = std::strlen(f.args);
    return f.args[std::min(i, n - 1)];
}

Type libraryResultType(const LibraryFunction &f, const Expr &call)
{
    switch (f.result) {
    case 'n':
        return Type::Number;
    case 't':
        return Type::Text;
    case 'd':
        return Type::Date;
    case 'f': // the first argument's type, or where it is not known the first known one after it
        for (const ExprPtr &a : call.args) {
            if (const Type t = typeOf(*a); t != Type::Unknown)
                return t;
        }
        return Type::Unknown;
    default:
        return Type::Unknown;
    }
}

} // namespace tipdesk::db::sql
