#include "platform/db/OracleFunctions.h"
#include "platform/db/OracleValues.h"

#include "platform/db/Clock.h"
#include "platform/db/DbError.h"

#include <QDate>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <sqlite3.h>
#include <vector>

namespace tipdesk::db::oracle {

int daysInMonth(int year, int month)
{
    return QDate(year, month, 1).daysInMonth();
}

namespace {

int twoDigits(QStringView s, int at)
{
    return (s[at].unicode() - '0') * 10 + (s[at + 1].unicode() - '0');
}

// Only ASCII digits count: other scripts' digits (full-width, Arabic-Indic) are no date digits.
bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool allDigits(QStringView s, int from, int count)
{
    for (int i = from; i < from + count; ++i) {
        if (i >= s.size() || !isDigit(s[i]))
            return false;
    }
    return true;
}

QString pad2(int v)
{
    return QString::number(v).rightJustified(2, u'0');
}

const char16_t *const kDayNames[] = {u"일요일", u"월요일", u"화요일", u"수요일", u"목요일", u"금요일", u"토요일"};

// One element of a date format mask.
struct MaskElement {
    enum Kind {
        Literal,
        Year4,
        Year2,
        Month,
        MonthName,
        Day,
        DayOfYear,
        DayOfWeek,
        DayName,
        DayShort,
        Hour24,
        Hour12,
        Minute,
        Second,
        Meridian,
        FillMode
    };
    Kind kind;
    QString text; // the literal text
};

// Splits a mask into elements; throws ORA-01821 for letters that are no date element.
QList<MaskElement> parseMask(const QString &mask)
{
    struct Name {
        const char *name;
        MaskElement::Kind kind;
    };
    static const Name names[] = {
        {"HH24", MaskElement::Hour24}, {"HH12", MaskElement::Hour12},     {"YYYY", MaskElement::Year4},
        {"RRRR", MaskElement::Year4},  {"MONTH", MaskElement::MonthName}, {"MON", MaskElement::MonthName},
        {"DAY", MaskElement::DayName}, {"DDD", MaskElement::DayOfYear},   {"HH", MaskElement::Hour12},
        {"YY", MaskElement::Year2},    {"RR", MaskElement::Year2},        {"MM", MaskElement::Month},
        {"DD", MaskElement::Day},      {"DY", MaskElement::DayShort},     {"MI", MaskElement::Minute},
        {"SS", MaskElement::Second},   {"AM", MaskElement::Meridian},     {"PM", MaskElement::Meridian},
        {"FM", MaskElement::FillMode}, {"D", MaskElement::DayOfWeek},
    };
    QList<MaskElement> out;
    const QString upper = mask.toUpper();
    int i = 0;
    while (i < upper.size()) {
        const QChar c = upper[i];
        if (c == u'"') {
            const int end = upper.indexOf(u'"', i + 1);
            if (end < 0)
                throw DbError(QStringLiteral("ORA-01821: date format not recognized"));
            out.append(MaskElement{MaskElement::Literal, mask.mid(i + 1, end - i - 1)});
            i = end + 1;
            continue;
        }
        if (!c.isLetterOrNumber()) {
            out.append(MaskElement{MaskElement::Literal, QString(c)});
            ++i;
            continue;
        }
        bool found = false;
        for (const Name &n : names) {
            const QLatin1StringView name(n.name);
            if (upper.mid(i, name.size()) == name) {
                out.append(MaskElement{n.kind, {}});
                i += int(name.size());
                found = true;
                break;
            }
        }
        if (!found)
            throw DbError(QStringLiteral("ORA-01821: date format not recognized"));
    }
    return out;
}

} // namespace

bool DateTime::fromIso(QStringView s, DateTime *out)
{
    // "YYYY-MM-DD", "YYYY-MM-DD HH:MM" or "YYYY-MM-DD HH:MM:SS" ('T' accepted as the separator).
    if (s.size() < 10 || !allDigits(s, 0, 4) || s[4] != u'-' || !allDigits(s, 5, 2) || s[7] != u'-' ||
        !allDigits(s, 8, 2))
        return false;
    DateTime d;
    d.year = s.left(4).toInt();
    d.month = twoDigits(s, 5);
    d.day = twoDigits(s, 8);
    if (s.size() > 10) {
        if ((s[10] != u' ' && s[10] != u'T') || s.size() < 16 || !allDigits(s, 11, 2) || s[13] != u':' ||
            !allDigits(s, 14, 2))
            return false;
        d.hour = twoDigits(s, 11);
        d.minute = twoDigits(s, 14);
        if (s.size() > 16) {
            if (s.size() < 19 || s[16] != u':' || !allDigits(s, 17, 2))
                return false;
            d.second = twoDigits(s, 17);
        }
    }
    if (d.month < 1 || d.month > 12 || d.day < 1 || d.day > daysInMonth(d.year, d.month) || d.hour > 23 ||
        d.minute > 59 || d.second > 59)
        return false;
    *out = d;
    return true;
}

QString DateTime::toIso() const
{
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(year, 4, 10, QLatin1Char('0'))
        .arg(pad2(month), pad2(day), pad2(hour), pad2(minute), pad2(second));
}

qint64 DateTime::toSeconds() const
{
    return QDate(year, month, day).toJulianDay() * 86400 + hour * 3600 + minute * 60 + second;
}

DateTime DateTime::fromSeconds(qint64 seconds)
{
    qint64 days = seconds / 86400;
    qint64 rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    const QDate date = QDate::fromJulianDay(days);
    DateTime d;
    d.year = date.year();
    d.month = date.month();
    d.day = date.day();
    d.hour = int(rest / 3600);
    d.minute = int(rest / 60 % 60);
    d.second = int(rest % 60);
    return d;
}

int DateTime::dayOfWeek() const
{
    return QDate(year, month, day).dayOfWeek() % 7 + 1;
}

double round15(double v)
{
    if (!std::isfinite(v) || v == 0.0)
        return v;
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    return std::strtod(buf, nullptr);
}

QString numberText(qint64 v)
{
    return QString::number(v);
}

QString numberText(double v)
{
    v = round15(v);
    if (v == std::trunc(v) && std::fabs(v) < 1e15)
        return QString::number(qint64(v));
    QString s = QString::number(v, 'g', 15);
    if (s.contains(u'e') && std::fabs(v) >= 1) {
        // From 1e15 up a double's own digits past the 15th are binary noise (1e23 is
        // 99999999999999991611392): the 15 digits, then zeros.
        const QString e = QString::number(std::fabs(v), 'e', 14); // "d.dddddddddddddde+XX"
        const int exp = e.mid(e.indexOf(u'e') + 1).toInt();
        return (v < 0 ? QStringLiteral("-") : QString()) + e.left(1) + e.mid(2, 14) + QString(exp - 14, u'0');
    }
    if (s.contains(u'e')) {
        const int exp = int(std::floor(std::log10(std::fabs(v))));
        s = QString::number(v, 'f', std::clamp(14 - exp, 0, 60));
    }
    if (s.contains(u'.')) {
        while (s.endsWith(u'0'))
            s.chop(1);
        if (s.endsWith(u'.'))
            s.chop(1);
    }
    if (s.startsWith(QLatin1String("0.")))
        s.remove(0, 1);
    else if (s.startsWith(QLatin1String("-0.")))
        s.remove(1, 1);
    return s;
}

bool isDateMask(const QString &mask)
{
    try {
        const QList<MaskElement> elements = parseMask(mask);
        for (const MaskElement &e : elements) {
            if (e.kind != MaskElement::Literal && e.kind != MaskElement::FillMode)
                return true;
        }
    } catch (const DbError &) {
    }
    return false;
}

namespace {

// v in decimal, at least width digits (v >= 0).
void appendPadded(QString &out, int v, int width)
{
    char digits[12];
    int n = 0;
    do {
        digits[n++] = char('0' + v % 10);
        v /= 10;
    } while (v > 0);
    while (n < width)
        digits[n++] = '0';
    while (n > 0)
        out += QLatin1Char(digits[--n]);
}

QString formatElements(const DateTime &d, const QList<MaskElement> &elements)
{
    QString out;
    out.reserve(24);
    for (const MaskElement &e : elements) {
        switch (e.kind) {
        case MaskElement::Literal:
            out += e.text;
            break;
        case MaskElement::Year4:
            appendPadded(out, d.year, 4);
            break;
        case MaskElement::Year2:
            appendPadded(out, d.year % 100, 2);
            break;
        case MaskElement::Month:
            appendPadded(out, d.month, 2);
            break;
        case MaskElement::MonthName:
            out += QString::number(d.month) + QStringLiteral("월");
            break;
        case MaskElement::Day:
            appendPadded(out, d.day, 2);
            break;
        case MaskElement::DayOfYear:
            appendPadded(out, QDate(d.year, d.month, d.day).dayOfYear(), 3);
            break;
        case MaskElement::DayOfWeek:
            out += QString::number(d.dayOfWeek());
            break;
        case MaskElement::DayName:
            out += QString::fromUtf16(kDayNames[d.dayOfWeek() - 1]);
            break;
        case MaskElement::DayShort:
            out += QString::fromUtf16(kDayNames[d.dayOfWeek() - 1]).left(1);
            break;
        case MaskElement::Hour24:
            appendPadded(out, d.hour, 2);
            break;
        case MaskElement::Hour12:
            appendPadded(out, d.hour % 12 == 0 ? 12 : d.hour % 12, 2);
            break;
        case MaskElement::Minute:
            appendPadded(out, d.minute, 2);
            break;
        case MaskElement::Second:
            appendPadded(out, d.second, 2);
            break;
        case MaskElement::Meridian:
            out += d.hour < 12 ? QStringLiteral("오전") : QStringLiteral("오후");
            break;
        case MaskElement::FillMode:
            break;
        }
    }
    return out;
}

// The masks of digits and ASCII separators (nearly all of them), written straight into bytes: a
// statement may format the date of every row of a table. False for any other mask.
bool formatDigits(const DateTime &d, const QList<MaskElement> &elements, char (&out)[64], int *size)
{
    int n = 0;
    auto put = [&](int v, int width) {
        if (n + width > int(sizeof out))
            return false;
        for (int i = width - 1; i >= 0; --i, v /= 10)
            out[n + i] = char('0' + v % 10);
        n += width;
        return true;
    };
    for (const MaskElement &e : elements) {
        bool ok = true;
        switch (e.kind) {
        case MaskElement::Literal:
            for (const QChar c : e.text) {
                if (c.unicode() >= 0x80 || n >= int(sizeof out))
                    return false;
                out[n++] = char(c.unicode());
            }
            break;
        case MaskElement::Year4:
            ok = d.year >= 0 && d.year <= 9999 && put(d.year, 4);
            break;
        case MaskElement::Year2:
            ok = d.year >= 0 && put(d.year % 100, 2);
            break;
        case MaskElement::Month:
            ok = put(d.month, 2);
            break;
        case MaskElement::Day:
            ok = put(d.day, 2);
            break;
        case MaskElement::Hour24:
            ok = put(d.hour, 2);
            break;
        case MaskElement::Hour12:
            ok = put(d.hour % 12 == 0 ? 12 : d.hour % 12, 2);
            break;
        case MaskElement::Minute:
            ok = put(d.minute, 2);
            break;
        case MaskElement::Second:
            ok = put(d.second, 2);
            break;
        default:
            return false;
        }
        if (!ok)
            return false;
    }
    *size = n;
    return n > 0;
}

} // namespace

QString formatDate(const DateTime &d, const QString &mask)
{
    return formatElements(d, parseMask(mask));
}

namespace {

bool isTimeElement(MaskElement::Kind k)
{
    return k == MaskElement::Hour24 || k == MaskElement::Hour12 || k == MaskElement::Minute ||
           k == MaskElement::Second || k == MaskElement::Meridian;
}

} // namespace

// TO_DATE reads the text by the mask as the Oracle server does, leniently:
//  - A number element takes up to its width of ASCII digits (YYYY 4, D 1, the others 2), after
//    any run of punctuation and blanks in the text; a shorter run of digits ends it early.
//  - Punctuation and blanks of the mask match any one punctuation or blank of the text, or
//    nothing at all when the text goes on with a letter or digit ('20240301' fits 'YYYY-MM-DD').
//    A letter or digit quoted in the mask must be there as written.
//  - The text may end before the mask when only time elements (HH, HH12, HH24, MI, SS, AM/PM)
//    and punctuation are left; they count as 0. Ending before any other element is ORA-01840.
//  - After the mask's last element only blanks may follow (ORA-01830).
//  - Elements the mask lacks: year and month of today, day 1, time 0.
//  - Range checks: month 1-12, day up to the month's last (ORA-01839), hour, minute, second.
DateTime parseDate(const QString &text, const QString &mask)
{
    const QList<MaskElement> elements = parseMask(mask);
    for (const MaskElement &e : elements) {
        if (e.kind == MaskElement::DayOfYear || e.kind == MaskElement::MonthName || e.kind == MaskElement::DayName ||
            e.kind == MaskElement::DayShort)
            throw DbError(QStringLiteral("ORA-01821: date format not recognized"));
    }
    const QDateTime now = Clock::now();
    DateTime d;
    d.year = now.date().year();
    d.month = now.date().month();
    d.day = 1;
    bool pm = false, hour12 = false;
    int i = 0;
    const int n = int(text.size());
    // Whether the text ended before element `at`, which is fine when only time elements are left.
    auto endedBefore = [&](qsizetype at) {
        if (i < n)
            return false;
        for (qsizetype k = at; k < elements.size(); ++k) {
            const MaskElement::Kind kind = elements[k].kind;
            if (kind != MaskElement::Literal && kind != MaskElement::FillMode && !isTimeElement(kind))
                throw DbError(QStringLiteral("ORA-01840: input value not long enough for date format"));
        }
        return true;
    };
    auto readNumber = [&](int width) {
        int value = 0, digits = 0;
        while (i < n && digits < width && isDigit(text[i])) {
            value = value * 10 + (text[i].unicode() - '0');
            ++i;
            ++digits;
        }
        if (digits == 0)
            throw DbError(QStringLiteral("ORA-01858: a non-numeric character was found where a numeric was expected"));
        return value;
    };
    for (qsizetype at = 0; at < elements.size(); ++at) {
        const MaskElement &e = elements[at];
        if (e.kind == MaskElement::Literal) {
            for (int k = 0; k < e.text.size() && i < n; ++k) {
                const QChar m = e.text[k], t = text[i];
                const bool maskPunct = !m.isLetterOrNumber(), textPunct = !t.isLetterOrNumber();
                if (t.toUpper() == m.toUpper() || (maskPunct && textPunct))
                    ++i;
                else if (!maskPunct)
                    throw DbError(QStringLiteral("ORA-01861: literal does not match format string"));
                // else: the mask's punctuation is left out of the text
            }
            continue;
        }
        if (e.kind == MaskElement::FillMode)
            continue;
        while (i < n && !text[i].isLetterOrNumber())
            ++i;
        if (endedBefore(at))
            break;
        switch (e.kind) {
        case MaskElement::Year4:
            d.year = readNumber(4);
            if (d.year == 0)
                throw DbError(QStringLiteral("ORA-01841: (full) year must be between -4713 and +9999, and not be 0"));
            break;
        case MaskElement::Year2:
            d.year = now.date().year() / 100 * 100 + readNumber(2);
            break;
        case MaskElement::Month:
            d.month = readNumber(2);
            if (d.month < 1 || d.month > 12)
                throw DbError(QStringLiteral("ORA-01843: not a valid month"));
            break;
        case MaskElement::Day:
            d.day = readNumber(2);
            if (d.day < 1 || d.day > 31)
                throw DbError(QStringLiteral("ORA-01847: day of month must be between 1 and last day of month"));
            break;
        case MaskElement::DayOfWeek:
            if (const int w = readNumber(1); w < 1 || w > 7)
                throw DbError(QStringLiteral("ORA-01839: date not valid for month specified"));
            break;
        case MaskElement::Hour24:
            d.hour = readNumber(2);
            if (d.hour > 23)
                throw DbError(QStringLiteral("ORA-01850: hour must be between 0 and 23"));
            break;
        case MaskElement::Hour12:
            d.hour = readNumber(2);
            hour12 = true;
            if (d.hour < 1 || d.hour > 12)
                throw DbError(QStringLiteral("ORA-01849: hour must be between 1 and 12"));
            break;
        case MaskElement::Minute:
            d.minute = readNumber(2);
            if (d.minute > 59)
                throw DbError(QStringLiteral("ORA-01851: minutes must be between 0 and 59"));
            break;
        case MaskElement::Second:
            d.second = readNumber(2);
            if (d.second > 59)
                throw DbError(QStringLiteral("ORA-01852: seconds must be between 0 and 59"));
            break;
        case MaskElement::Meridian: {
            const QString word = text.mid(i, 2);
            if (word == QStringLiteral("오후") || word.toUpper() == QLatin1String("PM"))
                pm = true;
            else if (word != QStringLiteral("오전") && word.toUpper() != QLatin1String("AM"))
                throw DbError(QStringLiteral("ORA-01855: AM/A.M. or PM/P.M. required"));
            i += int(word.size());
            break;
        }
        default:
            break;
        }
    }
    while (i < n && text[i] == u' ')
        ++i;
    if (i < n)
        throw DbError(QStringLiteral("ORA-01830: date format picture ends before converting entire input string"));
    if (hour12)
        d.hour = d.hour % 12 + (pm ? 12 : 0);
    if (d.day > daysInMonth(d.year, d.month))
        throw DbError(QStringLiteral("ORA-01839: date not valid for month specified"));
    return d;
}

// ---------------------------------------------------------------------------------------------
// The SQLite side: every function takes SQLite values, applies Oracle's conversions and reports
// Oracle's error texts.

QString valueText(sqlite3_value *v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        return numberText(qint64(sqlite3_value_int64(v)));
    case SQLITE_FLOAT:
        return numberText(sqlite3_value_double(v));
    case SQLITE_NULL:
        return {};
    default:
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(v)), sqlite3_value_bytes(v));
    }
}

bool parseNumber(const QString &raw, Num *out)
{
    const QString t = raw.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    const qint64 i = t.toLongLong(&ok);
    if (ok) {
        out->isInt = true;
        out->i = i;
        return true;
    }
    for (QChar c : t) {
        if (!c.isDigit() && c != u'.' && c != u'-' && c != u'+' && c != u'e' && c != u'E')
            return false;
    }
    const double d = t.toDouble(&ok);
    if (!ok)
        return false;
    out->isInt = false;
    out->d = d;
    return true;
}

// The value as a number; false for null. Text that is no number fails as Oracle's ORA-01722.
bool number(sqlite3_value *v, Num *out)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        return false;
    case SQLITE_INTEGER:
        out->isInt = true;
        out->i = sqlite3_value_int64(v);
        return true;
    case SQLITE_FLOAT:
        out->isInt = false;
        out->d = sqlite3_value_double(v);
        return true;
    default: {
        const QString t = valueText(v);
        if (t.isEmpty())
            return false; // the empty string is null
        if (!parseNumber(t, out))
            throw SqlFailure(QStringLiteral("ORA-01722: invalid number"));
        return true;
    }
    }
}

// v without its fraction, held within ±limit (NaN as 0): a position or digit count past every text
// or precision acts as the limit does, and the conversion cannot overflow.
qint64 boundedInt(double v, qint64 limit)
{
    if (std::isnan(v))
        return 0;
    return qint64(std::clamp(std::trunc(v), -double(limit), double(limit)));
}

void resultNumber(sqlite3_context *ctx, double v)
{
    v = round15(v);
    if (!std::isfinite(v))
        throw SqlFailure(QStringLiteral("ORA-01426: numeric overflow"));
    if (v == std::trunc(v) && std::fabs(v) < 9.0e15)
        sqlite3_result_int64(ctx, sqlite3_int64(v));
    else
        sqlite3_result_double(ctx, v);
}

void resultText(sqlite3_context *ctx, const QString &s)
{
    if (s.isEmpty()) { // Oracle has no empty string: it is null
        sqlite3_result_null(ctx);
        return;
    }
    const QByteArray b = s.toUtf8();
    sqlite3_result_text(ctx, b.constData(), int(b.size()), SQLITE_TRANSIENT);
}

bool dateArg(sqlite3_value *v, DateTime *out)
{
    const int type = sqlite3_value_type(v);
    if (type == SQLITE_NULL)
        return false;
    // A stored date is short ASCII text, read where it lies: a condition may test every row of a table.
    char16_t ascii[32];
    QString converted;
    QStringView t;
    const auto *bytes = type == SQLITE_TEXT ? sqlite3_value_text(v) : nullptr;
    const int size = bytes ? sqlite3_value_bytes(v) : 0;
    if (bytes && size <= int(std::size(ascii)) &&
        std::all_of(bytes, bytes + size, [](unsigned char c) { return c < 0x80; })) {
        std::copy(bytes, bytes + size, ascii);
        t = QStringView(ascii, size);
    } else {
        converted = valueText(v);
        t = converted;
    }
    if (t.isEmpty())
        return false;
    if (!DateTime::fromIso(t, out))
        throw SqlFailure(QStringLiteral("ORA-01861: literal does not match format string"));
    return true;
}

void argumentOutOfRange(const QString &argument)
{
    throw SqlFailure(QStringLiteral("ORA-01428: argument '%1' is out of range").arg(argument));
}

void registerAll(sqlite3 *db, const FunctionDef *defs, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        const FunctionDef &f = defs[i];
        const int flags = SQLITE_UTF8 | SQLITE_INNOCUOUS | (f.deterministic ? SQLITE_DETERMINISTIC : 0);
        if (sqlite3_create_function_v2(db, f.name, f.argc, flags, nullptr, f.impl, nullptr, nullptr, nullptr) !=
            SQLITE_OK)
            throw DbError(QString::fromUtf8(sqlite3_errmsg(db)));
    }
}

namespace {

// a op b for +, - and *: exact while both are integers and the result fits, else a double kept to
// 15 significant digits (whole results as integers, as resultNumber gives them).
Num combined(char op, const Num &a, const Num &b)
{
    Num r;
    if (a.isInt && b.isInt) {
        const bool overflow = op == '+'   ? __builtin_add_overflow(a.i, b.i, &r.i)
                              : op == '-' ? __builtin_sub_overflow(a.i, b.i, &r.i)
                                          : __builtin_mul_overflow(a.i, b.i, &r.i);
        if (!overflow) {
            r.isInt = true;
            return r;
        }
    }
    const double x = a.real(), y = b.real();
    const double v = round15(op == '+' ? x + y : op == '-' ? x - y : x * y);
    if (!std::isfinite(v))
        throw SqlFailure(QStringLiteral("ORA-01426: numeric overflow"));
    if (v == std::trunc(v) && std::fabs(v) < 9.0e15) {
        r.isInt = true;
        r.i = qint64(v);
    } else {
        r.isInt = false;
        r.d = v;
    }
    return r;
}

// ora_add and ora_mul take a chain of operands (a + b + c …), ora_sub and ora_div two.
template <char Op> void arith(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    Num few[4]; // a call of two operands, the usual one, allocates nothing
    std::vector<Num> many;
    if (argc > 4)
        many.resize(static_cast<size_t>(argc));
    Num *values = argc > 4 ? many.data() : few;
    bool null = false;
    for (int i = 0; i < argc; ++i)
        null = !number(argv[i], &values[i]) || null;
    if (null || argc < 2) {
        sqlite3_result_null(ctx);
        return;
    }
    const Num &a = values[0], &b = values[1];
    if (Op == '/') {
        if (b.real() == 0.0)
            throw SqlFailure(QStringLiteral("ORA-01476: divisor is equal to zero"));
        // The smallest integer divided by -1 has no integer result: it goes on as a double.
        const bool exact = a.isInt && b.isInt && !(b.i == -1 && a.i == std::numeric_limits<qint64>::min());
        if (exact && a.i % b.i == 0) {
            sqlite3_result_int64(ctx, a.i / b.i);
            return;
        }
        resultNumber(ctx, a.real() / b.real());
        return;
    }
    Num acc = a;
    for (int i = 1; i < argc; ++i)
        acc = combined(Op, acc, values[i]);
    if (acc.isInt)
        sqlite3_result_int64(ctx, acc.i);
    else
        resultNumber(ctx, acc.d);
}

void neg(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    Num a;
    if (!number(argv[0], &a))
        sqlite3_result_null(ctx);
    else if (a.isInt && a.i != std::numeric_limits<qint64>::min())
        sqlite3_result_int64(ctx, -a.i);
    else
        resultNumber(ctx, -a.real());
}

// ora_num(x), ora_to_number(x): a number (text converted) brought to the decimal convention.
void num(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    Num a;
    if (!number(argv[0], &a))
        sqlite3_result_null(ctx);
    else if (a.isInt)
        sqlite3_result_int64(ctx, a.i);
    else
        resultNumber(ctx, a.d);
}

double scaled(double x, int digits, bool roundHalf)
{
    const double p = std::pow(10.0, digits);
    const double s = round15(x * p);
    const double r = roundHalf ? std::round(s) : std::trunc(s);
    return round15(r / p);
}

template <bool RoundHalf> void truncOrRound(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    Num a, d;
    if (!number(argv[0], &a) || (argc > 1 && !number(argv[1], &d))) {
        sqlite3_result_null(ctx);
        return;
    }
    const int digits = argc > 1 ? int(boundedInt(d.real(), 30)) : 0;
    if (a.isInt && digits >= 0) {
        sqlite3_result_int64(ctx, a.i);
        return;
    }
    resultNumber(ctx, scaled(a.real(), digits, RoundHalf));
}

void numText(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    resultText(ctx, valueText(argv[0]));
}

void concat(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    QString s;
    for (int i = 0; i < argc; ++i)
        s += valueText(argv[i]);
    resultText(ctx, s);
}

void substr(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    Num p, len;
    const QString s = valueText(argv[0]);
    if (s.isEmpty() || !number(argv[1], &p) || (argc > 2 && !number(argv[2], &len))) {
        sqlite3_result_null(ctx);
        return;
    }
    qint64 start = boundedInt(p.real(), kBeyondAnyText);
    const qint64 size = s.size();
    if (start == 0)
        start = 1;
    if (start < 0)
        start = size + start + 1;
    if (start < 1 || start > size) {
        sqlite3_result_null(ctx);
        return;
    }
    qint64 count = size - start + 1;
    if (argc > 2)
        count = std::min(count, boundedInt(len.real(), kBeyondAnyText));
    if (count < 1) {
        sqlite3_result_null(ctx);
        return;
    }
    resultText(ctx, s.mid(start - 1, count));
}

// ora_decode_eq(mode, expr, first_search, search): whether a DECODE search value matches.
// Mode 'T' compares as text, 'N' as numbers, '?' by the type of the first search value.
// Null matches null. DECODE itself becomes a CASE over these tests, so that only the chosen
// result is evaluated, as on the server (a division in a branch not taken never fails).
bool decodeMatches(sqlite3_value *modeArg, sqlite3_value *expr, sqlite3_value *first, sqlite3_value *search)
{
    QString mode = valueText(modeArg);
    if (mode == u'?')
        mode = sqlite3_value_type(first) == SQLITE_INTEGER || sqlite3_value_type(first) == SQLITE_FLOAT
                   ? QStringLiteral("N")
                   : QStringLiteral("T");
    if (mode == u'N') {
        Num e;
        const bool exprNull = !number(expr, &e);
        Num s;
        if (!number(search, &s))
            return exprNull;
        return !exprNull && (s.isInt && e.isInt ? s.i == e.i : s.real() == e.real());
    }
    const QString exprText = valueText(expr);
    const bool exprNull = sqlite3_value_type(expr) == SQLITE_NULL || exprText.isEmpty();
    const QString s = valueText(search);
    return s.isEmpty() ? exprNull : !exprNull && s == exprText;
}

void decodeEq(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    sqlite3_result_int(ctx, decodeMatches(argv[0], argv[1], argv[2], argv[3]) ? 1 : 0);
}

void deleteMask(void *p)
{
    delete static_cast<QList<MaskElement> *>(p);
}

// The user data of a lenient TO_CHAR.
const int kLenient = 1;

void toCharDate(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    DateTime d;
    bool isDate = false;
    try {
        isDate = dateArg(argv[0], &d);
    } catch (const SqlFailure &) {
        if (sqlite3_user_data(ctx) != &kLenient)
            throw;
    }
    if (!isDate || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    // The mask is nearly always a literal: parsed once for the statement, not once a row.
    if (const auto *kept = static_cast<const QList<MaskElement> *>(sqlite3_get_auxdata(ctx, 1))) {
        char bytes[64];
        int size = 0;
        if (formatDigits(d, *kept, bytes, &size))
            sqlite3_result_text(ctx, bytes, size, SQLITE_TRANSIENT);
        else
            resultText(ctx, formatElements(d, *kept));
        return;
    }
    auto parsed = std::make_unique<QList<MaskElement>>(parseMask(valueText(argv[1])));
    resultText(ctx, formatElements(d, *parsed));
    sqlite3_set_auxdata(ctx, 1, parsed.release(), deleteMask);
}

void toDate(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const QString t = valueText(argv[0]);
    if (t.isEmpty() || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    resultText(ctx, parseDate(t, valueText(argv[1])).toIso());
}

void dateAdd(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    DateTime d;
    Num n;
    if (!dateArg(argv[0], &d) || !number(argv[1], &n)) {
        sqlite3_result_null(ctx);
        return;
    }
    // Past this many days either way no date stays within the years 1 to 9999.
    if (!(std::fabs(n.real()) < 4.0e6))
        throw SqlFailure(QStringLiteral("ORA-01841: (full) year must be between -4713 and +9999, and not be 0"));
    const qint64 secs = n.isInt ? n.i * 86400 : qint64(std::llround(n.d * 86400.0));
    const DateTime r = DateTime::fromSeconds(d.toSeconds() + secs);
    if (r.year < 1 || r.year > 9999)
        throw SqlFailure(QStringLiteral("ORA-01841: (full) year must be between -4713 and +9999, and not be 0"));
    resultText(ctx, r.toIso());
}

void dateDiff(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    DateTime a, b;
    if (!dateArg(argv[0], &a) || !dateArg(argv[1], &b)) {
        sqlite3_result_null(ctx);
        return;
    }
    const qint64 secs = a.toSeconds() - b.toSeconds();
    if (secs % 86400 == 0)
        sqlite3_result_int64(ctx, secs / 86400);
    else
        resultNumber(ctx, double(secs) / 86400.0);
}

void truncDate(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    DateTime d;
    if (!dateArg(argv[0], &d)) {
        sqlite3_result_null(ctx);
        return;
    }
    d.hour = d.minute = d.second = 0;
    resultText(ctx, d.toIso());
}

void sysdate(sqlite3_context *ctx, int, sqlite3_value **)
{
    const QDateTime now = Clock::now();
    DateTime d;
    d.year = now.date().year();
    d.month = now.date().month();
    d.day = now.date().day();
    d.hour = now.time().hour();
    d.minute = now.time().minute();
    d.second = now.time().second();
    resultText(ctx, d.toIso());
}

// ora_daykey_bound(key, upper): the ISO text bound of the dates whose 'YYYYMMDD' text is at least
// (upper = 0) or at most (upper = 1) the key; a key that is no eight digits bounds nothing.
void daykeyBound(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const QString k = valueText(argv[0]);
    const bool upper = sqlite3_value_int(argv[1]) != 0;
    if (k.size() == 8 && allDigits(k, 0, 8)) {
        const QString iso =
            k.left(4) + u'-' + k.mid(4, 2) + u'-' + k.mid(6, 2) + (upper ? QStringLiteral("\x7f") : QString());
        resultText(ctx, iso);
    } else if (upper) {
        static const char high[] = {'\xff'};
        sqlite3_result_blob(ctx, high, 1, SQLITE_STATIC);
    } else {
        sqlite3_result_int64(ctx, std::numeric_limits<qint64>::min());
    }
}

// ora_prefix_end(text): the text followed by the byte 0xFF, which no UTF-8 text holds; every text
// starting with the given one sorts below it (byte order, as the index compares).
void prefixEnd(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    QByteArray bound(text ? text : "", sqlite3_value_bytes(argv[0]));
    bound.append('\xff');
    sqlite3_result_text(ctx, bound.constData(), int(bound.size()), SQLITE_TRANSIENT);
}

} // namespace

void registerFunctions(sqlite3 *db)
{
    static const FunctionDef fns[] = {
        {"ora_add", -1, guarded<arith<'+'>>, true},
        {"ora_sub", 2, guarded<arith<'-'>>, true},
        {"ora_mul", -1, guarded<arith<'*'>>, true},
        {"ora_div", 2, guarded<arith<'/'>>, true},
        {"ora_neg", 1, guarded<neg>, true},
        {"ora_num", 1, guarded<num>, true},
        {"ora_trunc", -1, guarded<truncOrRound<false>>, true},
        {"ora_round", -1, guarded<truncOrRound<true>>, true},
        {"ora_to_number", 1, guarded<num>, true},
        {"ora_num_text", 1, guarded<numText>, true},
        {"ora_concat", -1, guarded<concat>, true},
        {"ora_substr", -1, guarded<substr>, true},
        {"ora_decode_eq", 4, guarded<decodeEq>, true},
        {"ora_to_char_date", 2, guarded<toCharDate>, true},
        {"ora_to_date", 2, guarded<toDate>, false}, // missing year or month come from the clock
        {"ora_date_add", 2, guarded<dateAdd>, true},
        {"ora_date_diff", 2, guarded<dateDiff>, true},
        {"ora_trunc_date", 1, guarded<truncDate>, true},
        {"ora_sysdate", 0, guarded<sysdate>, false},
        {"ora_daykey_bound", 2, guarded<daykeyBound>, true},
        {"ora_prefix_end", 1, guarded<prefixEnd>, true},
    };
    registerAll(db, fns, std::size(fns));
    registerNumberFunctions(db);
    registerTextFunctions(db);
    registerCalendarFunctions(db);
    registerNumberFormatFunctions(db);
}

void setLenientDates(sqlite3 *db, bool lenient)
{
    if (sqlite3_create_function_v2(db, "ora_to_char_date", 2, SQLITE_UTF8 | SQLITE_INNOCUOUS | SQLITE_DETERMINISTIC,
                                   lenient ? const_cast<int *>(&kLenient) : nullptr, guarded<toCharDate>, nullptr,
                                   nullptr, nullptr) != SQLITE_OK)
        throw DbError(QString::fromUtf8(sqlite3_errmsg(db)));
}

} // namespace tipdesk::db::oracle
