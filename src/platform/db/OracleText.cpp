// Text, as the embedded engine's ora_* functions: REPLACE, INITCAP, LPAD, RPAD, INSTR, LTRIM,
// RTRIM and TRIM; the regular expressions are in OracleRegexp.cpp. Positions and lengths count
// characters (code points), as Oracle's do in a UTF-8 database and PostgreSQL's do; the empty
// text is null.
#include "platform/db/OracleValues.h"

#include <QList>
#include <unicode/uchar.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

namespace tipdesk::db::oracle {

void registerRegexpFunctions(sqlite3 *db); // OracleRegexp.cpp

namespace {

using Chars = QList<uint>; // code points

Chars chars(const QString &s)
{
    return s.toUcs4();
}

QString text(const Chars &c, qsizetype from = 0, qsizetype count = -1)
{
    if (count < 0)
        count = c.size() - from;
    return QString::fromUcs4(reinterpret_cast<const char32_t *>(c.constData()) + from, count);
}

// The value as text; false for null (and the empty text, which is null).
bool textArg(sqlite3_value *v, QString *out)
{
    *out = valueText(v);
    return !out->isEmpty();
}

// ---------------------------------------------------------------------------------------------
// Display width. Oracle's LPAD and RPAD count the columns a text takes on a terminal: in a UTF-8
// database an East Asian wide or full-width character takes two. The wide characters here are
// Unicode's East Asian Wide and Fullwidth ones (Unicode 15) outside the symbol and emoji blocks:
// Hangul, kana, CJK ideographs and their punctuation, full-width forms. The server's
// tipdesk_ora.wide_chars() lists the same ranges.
// clang-format off
const char32_t kWide[][2] = {
    {0x1100, 0x115F}, {0x2E80, 0x2E99}, {0x2E9B, 0x2EF3}, {0x2F00, 0x2FD5}, {0x2FF0, 0x2FFB},
    {0x3000, 0x303E}, {0x3041, 0x3096}, {0x3099, 0x30FF}, {0x3105, 0x312F}, {0x3131, 0x318E},
    {0x3190, 0x31E3}, {0x31F0, 0x321E}, {0x3220, 0x3247}, {0x3250, 0x4DBF}, {0x4E00, 0xA48C},
    {0xA490, 0xA4C6}, {0xA960, 0xA97C}, {0xAC00, 0xD7A3}, {0xF900, 0xFAFF}, {0xFE10, 0xFE19},
    {0xFE30, 0xFE52}, {0xFE54, 0xFE66}, {0xFE68, 0xFE6B}, {0xFF01, 0xFF60}, {0xFFE0, 0xFFE6},
    {0x16FE0, 0x16FE4}, {0x16FF0, 0x16FF1}, {0x17000, 0x187F7}, {0x18800, 0x18CD5}, {0x18D00, 0x18D08},
    {0x1AFF0, 0x1AFF3}, {0x1AFF5, 0x1AFFB}, {0x1AFFD, 0x1AFFE}, {0x1B000, 0x1B122}, {0x1B132, 0x1B132},
    {0x1B150, 0x1B152}, {0x1B155, 0x1B155}, {0x1B164, 0x1B167}, {0x1B170, 0x1B2FB}, {0x20000, 0x2FFFD},
    {0x30000, 0x3FFFD},
};
// clang-format on

int width(uint c)
{
    if (c < kWide[0][0])
        return 1;
    for (const auto &r : kWide) {
        if (c < r[0])
            return 1;
        if (c <= r[1])
            return 2;
    }
    return 1;
}

// The widest result LPAD and RPAD build: Oracle's VARCHAR2 holds 4000 bytes, and a longer n acts
// as 4000 columns.
constexpr qint64 kMaxPadWidth = 4000;

// The longest start of s that fits `columns`; a wide character that would cross the edge is left
// out, and *used tells the columns taken.
qsizetype fitting(const Chars &s, qint64 columns, qint64 *used)
{
    qint64 w = 0;
    qsizetype n = 0;
    for (; n < s.size(); ++n) {
        const int cw = width(s[n]);
        if (w + cw > columns)
            break;
        w += cw;
    }
    *used = w;
    return n;
}

// LPAD and RPAD by display width. A cut through a wide character (of the text or of the padding)
// leaves its first column as a blank, so the result always takes exactly n columns.
template <bool Left> void pad(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    QString s, padding = QStringLiteral(" ");
    Num n;
    if (!textArg(argv[0], &s) || !number(argv[1], &n) || (argc > 2 && !textArg(argv[2], &padding))) {
        sqlite3_result_null(ctx);
        return;
    }
    const qint64 columns = boundedInt(n.real(), kMaxPadWidth);
    if (columns < 1) {
        sqlite3_result_null(ctx);
        return;
    }
    const Chars source = chars(s);
    qint64 used = 0;
    const qsizetype kept = fitting(source, columns, &used);
    QString body = text(source, 0, kept);
    if (kept < source.size()) { // cut: the text alone fills the width
        if (used < columns)
            body += u' ';
        resultText(ctx, body);
        return;
    }
    const Chars fill = chars(padding);
    QString filler;
    qint64 left = columns - used;
    for (qsizetype i = 0; left > 0; i = (i + 1) % fill.size()) {
        const int cw = width(fill[i]);
        if (cw > left) {
            filler += u' ';
            break;
        }
        filler += text(fill, i, 1);
        left -= cw;
    }
    resultText(ctx, Left ? filler + body : body + filler);
}

// ---------------------------------------------------------------------------------------------

// REPLACE(s, search[, rep]): a null search gives s, a missing or null rep removes.
void replace(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    QString s, search, rep;
    if (!textArg(argv[0], &s)) {
        sqlite3_result_null(ctx);
        return;
    }
    if (!textArg(argv[1], &search)) {
        resultText(ctx, s);
        return;
    }
    if (argc > 2)
        textArg(argv[2], &rep);
    resultText(ctx, s.replace(search, rep, Qt::CaseSensitive));
}

// A character's upper or lower case by ICU's root rules, as the server's upper() and lower() under
// its ICU collation give it; a character whose case takes more than one character ('ß' → "SS")
// stays as it is, as Oracle's does.
uint caseOf(uint c, bool upper)
{
    UChar src[2];
    int32_t n = 0;
    U16_APPEND_UNSAFE(src, n, UChar32(c));
    UChar dst[8];
    UErrorCode err = U_ZERO_ERROR;
    const int32_t len = upper ? u_strToUpper(dst, 8, src, n, "", &err) : u_strToLower(dst, 8, src, n, "", &err);
    if (U_FAILURE(err) || len < 1)
        return c;
    int32_t i = 0;
    UChar32 out;
    U16_NEXT(dst, i, len, out);
    return i == len ? uint(out) : c;
}

// INITCAP: a letter after a character that is no letter or decimal digit (or at the start) is in
// upper case, every other letter in lower case. Hangul has no case and passes unchanged.
void initcap(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    QString s;
    if (!textArg(argv[0], &s)) {
        sqlite3_result_null(ctx);
        return;
    }
    Chars c = chars(s);
    bool inWord = false;
    for (uint &ch : c) {
        const bool alnum = u_isalnum(UChar32(ch));
        if (ch >= 0x80 || (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z'))
            ch = caseOf(ch, !inWord);
        inWord = alnum;
    }
    resultText(ctx, text(c));
}

// INSTR(s, sub[, pos[, occurrence]]): the position of the occurrence-th sub from pos on (from the
// end backwards when pos is negative); 0 when there is none or pos is 0. Occurrences may overlap.
void instr(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    QString s, sub;
    Num p, o;
    p.isInt = o.isInt = true;
    p.i = o.i = 1;
    if (!textArg(argv[0], &s) || !textArg(argv[1], &sub) || (argc > 2 && !number(argv[2], &p)) ||
        (argc > 3 && !number(argv[3], &o))) {
        sqlite3_result_null(ctx);
        return;
    }
    const qint64 occurrence = boundedInt(o.real(), kBeyondAnyText);
    if (occurrence < 1)
        argumentOutOfRange(QString::number(occurrence));
    const qint64 pos = boundedInt(p.real(), kBeyondAnyText);
    const Chars hay = chars(s), needle = chars(sub);
    const qint64 n = hay.size(), m = needle.size();
    auto matchesAt = [&](qint64 i) { // i counted from 0
        return i >= 0 && i + m <= n && std::equal(needle.begin(), needle.end(), hay.begin() + i);
    };
    qint64 found = 0;
    if (pos > 0) {
        for (qint64 i = pos - 1; i + m <= n; ++i) {
            if (matchesAt(i) && ++found == occurrence) {
                sqlite3_result_int64(ctx, i + 1);
                return;
            }
        }
    } else if (pos < 0) {
        for (qint64 i = std::min(n + pos, n - m); i >= 0; --i) {
            if (matchesAt(i) && ++found == occurrence) {
                sqlite3_result_int64(ctx, i + 1);
                return;
            }
        }
    }
    sqlite3_result_int64(ctx, 0);
}

// LTRIM(s, set), RTRIM(s, set) and TRIM's three modes: the characters of set taken off an end.
QString trimmed(const QString &s, const QString &set, bool leading, bool trailing)
{
    const Chars c = chars(s), drop = chars(set);
    qsizetype from = 0, to = c.size();
    if (leading) {
        while (from < to && drop.contains(c[from]))
            ++from;
    }
    if (trailing) {
        while (to > from && drop.contains(c[to - 1]))
            --to;
    }
    return text(c, from, to - from);
}

template <bool Leading, bool Trailing> void trimSet(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    QString s, set;
    if (!textArg(argv[0], &s) || !textArg(argv[1], &set)) {
        sqlite3_result_null(ctx);
        return;
    }
    resultText(ctx, trimmed(s, set, Leading, Trailing));
}

// ora_trim(s, c, mode): TRIM([LEADING|TRAILING|BOTH] c FROM s). The trim character must be one
// character (ORA-30001), checked before the nulls.
void trim(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    QString s, c;
    const bool hasChar = textArg(argv[1], &c);
    if (hasChar && chars(c).size() != 1)
        throw SqlFailure(QStringLiteral("ORA-30001: trim set should have only one character"));
    if (!textArg(argv[0], &s) || !hasChar) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString mode = valueText(argv[2]).toUpper();
    resultText(ctx, trimmed(s, c, mode != QLatin1String("TRAILING"), mode != QLatin1String("LEADING")));
}

} // namespace

void registerTextFunctions(sqlite3 *db)
{
    static const FunctionDef fns[] = {
        {"ora_replace", -1, guarded<replace>, true},
        {"ora_initcap", 1, guarded<initcap>, true},
        {"ora_lpad", -1, guarded<pad<true>>, true},
        {"ora_rpad", -1, guarded<pad<false>>, true},
        {"ora_instr", -1, guarded<instr>, true},
        {"ora_ltrim", 2, guarded<trimSet<true, false>>, true},
        {"ora_rtrim", 2, guarded<trimSet<false, true>>, true},
        {"ora_trim", 3, guarded<trim>, true},
    };
    registerAll(db, fns, std::size(fns));
    registerRegexpFunctions(db);
}

} // namespace tipdesk::db::oracle
