// Number format models, as the embedded engine's ora_* functions: TO_CHAR(number, format) and
// TO_NUMBER(text, format). postgres/library-formats.sql gives the same results on the server.
//
// The elements: 9 and 0 (digits; a 0 prints zeros from its place on), "," or G and "." or D (the
// territory's group and decimal characters), and around them FM, B, S, $ and L before, S, MI and L
// after. L writes the Korean territory's currency symbol, the full-width won sign, in a field of
// ten characters (the longest currency symbol Oracle takes) unless FM.
#include "platform/db/OracleValues.h"

#include <cmath>
#include <cstdio>

namespace tipdesk::db::oracle {

namespace {

const QString kInvalidModel = QStringLiteral("ORA-01481: invalid number format model");
const QString kInvalidNumber = QStringLiteral("ORA-01722: invalid number");
constexpr char16_t kCurrency = u'\uFFE6';
constexpr int kCurrencyField = 10;

struct NumberModel {
    enum Sign { Blank, LeadingS, TrailingS, TrailingMI };
    bool fill = false;  // FM
    bool blank = false; // B
    bool dollar = false;
    bool currency = false, currencyAfter = false;
    bool point = false;
    Sign sign = Blank;
    QString whole, fraction; // the digit elements (and commas) before and after the point

    int width() const
    {
        return 1 + int(whole.size() + point + fraction.size()) + dollar + (currency ? kCurrencyField : 0);
    }
};

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

QString blanksTrimmed(const QString &s)
{
    qsizetype from = 0, to = s.size();
    while (from < to && s[from] == u' ')
        ++from;
    while (to > from && s[to - 1] == u' ')
        --to;
    return s.mid(from, to - from);
}

void takeFlag(bool *flag)
{
    if (*flag)
        throw SqlFailure(kInvalidModel);
    *flag = true;
}

void takeSign(NumberModel *m, NumberModel::Sign sign)
{
    if (m->sign != NumberModel::Blank)
        throw SqlFailure(kInvalidModel);
    m->sign = sign;
}

// One element before the digits at f[i]: its length, 0 where the digits begin.
int takeLeading(const QString &f, int i, NumberModel *m)
{
    if (QStringView(f).mid(i).startsWith(u"FM")) {
        takeFlag(&m->fill);
        return 2;
    }
    switch (f[i].unicode()) {
    case 'B':
        takeFlag(&m->blank);
        return 1;
    case '$':
        takeFlag(&m->dollar);
        return 1;
    case 'L':
        takeFlag(&m->currency);
        return 1;
    case 'S':
        takeSign(m, NumberModel::LeadingS);
        return 1;
    default:
        return 0;
    }
}

// One element after the digits at f[i]: its length.
int takeTrailing(const QString &f, int i, NumberModel *m)
{
    if (QStringView(f).mid(i).startsWith(u"MI")) {
        takeSign(m, NumberModel::TrailingMI);
        return 2;
    }
    if (f[i] == u'S') {
        takeSign(m, NumberModel::TrailingS);
        return 1;
    }
    if (f[i] != u'L')
        throw SqlFailure(kInvalidModel);
    takeFlag(&m->currency);
    m->currencyAfter = true;
    return 1;
}

// The body: digits, group separators (not first, not after the point) and one point.
int parseBody(const QString &f, int i, NumberModel *m)
{
    for (; i < f.size(); ++i) {
        const QChar c = f[i];
        if (c == u'.' || c == u'D') {
            takeFlag(&m->point);
        } else if (c == u',' || c == u'G') {
            if (m->point || m->whole.isEmpty())
                throw SqlFailure(kInvalidModel);
            m->whole += u',';
        } else if (c == u'9' || c == u'0') {
            (m->point ? m->fraction : m->whole) += c;
        } else {
            break;
        }
    }
    return i;
}

NumberModel parseModel(const QString &format)
{
    const QString f = format.toUpper();
    NumberModel m;
    int i = 0;
    for (int taken = 1; taken > 0 && i < f.size(); i += taken)
        taken = takeLeading(f, i, &m);
    i = parseBody(f, i, &m);
    while (i < f.size())
        i += takeTrailing(f, i, &m);
    const QString digits = m.whole + m.fraction;
    if (!digits.contains(u'9') && !digits.contains(u'0'))
        throw SqlFailure(kInvalidModel);
    return m;
}

// The decimal digits of |v| as the value's 15 significant digits (a whole number that fits 64 bits
// exactly), rounded half away from zero to the given decimals: whole digits without leading zeros,
// then exactly `decimals` digits.
void decimalDigits(const Num &n, int decimals, QString *whole, QString *fraction)
{
    QString digits; // all digits, the point after `point` of them
    int point = 0;
    if (n.isInt) {
        digits = QString::number(n.i).remove(u'-');
        point = int(digits.size());
    } else {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.14e", std::fabs(n.d)); // d.dddddddddddddde±XX
        digits = QString::fromLatin1(buf, 1) + QString::fromLatin1(buf + 2, 14);
        point = std::atoi(buf + 17) + 1;
    }
    if (point < 0)
        digits.prepend(QString(-point, u'0')), point = 0;
    if (digits.size() < point + decimals + 1)
        digits += QString(point + decimals + 1 - digits.size(), u'0');
    const bool up = digits[point + decimals] >= u'5';
    digits.truncate(point + decimals);
    for (int k = int(digits.size()) - 1; up && k >= -1; --k) {
        if (k < 0) {
            digits.prepend(u'1'), ++point;
            break;
        }
        const bool carry = digits[k] == u'9';
        digits[k] = carry ? u'0' : QChar(digits[k].unicode() + 1);
        if (!carry)
            break;
    }
    *whole = digits.left(point);
    while (whole->startsWith(u'0'))
        whole->remove(0, 1);
    *fraction = digits.mid(point);
}

// The digits before the point under the model's digits and commas: from the first significant digit, or from
// the leftmost 0 of the model; a comma only between printed digits.
QString wholeText(const NumberModel &m, const QString &digits)
{
    const int zero = m.whole.indexOf(u'0');
    int count = int(digits.size());
    if (zero >= 0 && !m.blank)
        count = std::max(count, int(m.whole.size() - zero - m.whole.mid(zero).count(u',')));
    if (count == 0 && m.fraction.isEmpty() && !m.blank)
        count = 1;
    const QString padded = QString(count - digits.size(), u'0') + digits;
    QString out;
    int printed = 0;
    for (int k = int(m.whole.size()) - 1; k >= 0 && printed < count; --k) {
        if (m.whole[k] == u',')
            out.prepend(u',');
        else
            out.prepend(padded[count - 1 - printed++]);
    }
    return out;
}

QString formatNumber(const Num &n, const NumberModel &m)
{
    QString whole, fraction;
    decimalDigits(n, int(m.fraction.size()), &whole, &fraction);
    const int wholeDigits = int(m.whole.size() - m.whole.count(u','));
    if (whole.size() > wholeDigits)
        return QString(m.width(), u'#');
    const bool zero = whole.isEmpty() && fraction.count(u'0') == fraction.size();
    if (m.blank && zero)
        return m.fill ? QString() : QString(m.width(), u' ');
    const bool negative = n.real() < 0 && !zero;
    if (m.fill) { // trailing zeros the model's 9s allow go
        int keep = int(fraction.size());
        while (keep > 0 && fraction[keep - 1] == u'0' && m.fraction[keep - 1] == u'9')
            --keep;
        fraction.truncate(keep);
    }
    const QString symbol = m.currency ? QString(kCurrency) : QString();
    QString core = (m.dollar ? QStringLiteral("$") : QString()) + (m.currencyAfter ? QString() : symbol) +
                   wholeText(m, whole) + (m.point ? u'.' + fraction : QString()) +
                   (m.currencyAfter ? symbol : QString());
    const QChar sign = negative ? u'-' : u'+';
    switch (m.sign) {
    case NumberModel::Blank:
        core = (negative ? QStringLiteral("-") : QString()) + core;
        break;
    case NumberModel::LeadingS:
        core = sign + core;
        break;
    case NumberModel::TrailingS:
        core += sign;
        break;
    case NumberModel::TrailingMI:
        core += negative ? u'-' : u' ';
        break;
    }
    return m.fill ? blanksTrimmed(core) : core.rightJustified(m.width(), u' ');
}

void toCharNumber(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    Num n;
    if (sqlite3_value_type(argv[1]) == SQLITE_NULL || !number(argv[0], &n)) {
        sqlite3_result_null(ctx);
        return;
    }
    const NumberModel m = parseModel(valueText(argv[1]));
    if (!n.isInt && !std::isfinite(n.d))
        throw SqlFailure(QStringLiteral("ORA-01426: numeric overflow"));
    resultText(ctx, formatNumber(n, m));
}

// The text's digits before the point, right-aligned under the model's: a digit under a digit, a comma under a comma.
bool wholeMatches(const QString &text, const QString &model)
{
    if (text.size() > model.size())
        return false;
    for (int k = 1; k <= text.size(); ++k) {
        const bool comma = model[model.size() - k] == u',';
        if (comma ? text[text.size() - k] != u',' : !isDigit(text[text.size() - k]))
            return false;
    }
    return true;
}

bool takeText(const QString &t, int *at, QStringView what)
{
    if (!QStringView(t).mid(*at).startsWith(what))
        return false;
    *at += int(what.size());
    return true;
}

// The text read back by the model: the signs and symbols where the model has them (a currency
// symbol may be left out), the digits before the point under the model's, at most its decimals. Gives the
// number's plain text.
QString readNumber(const QString &t, const NumberModel &m)
{
    int at = 0;
    bool negative = false;
    if (m.sign == NumberModel::LeadingS && !takeText(t, &at, u"+") && !(negative = takeText(t, &at, u"-")))
        throw SqlFailure(kInvalidNumber);
    if (m.sign == NumberModel::Blank)
        negative = takeText(t, &at, u"-");
    if (m.dollar)
        takeText(t, &at, u"$");
    const QString symbol(kCurrency);
    if (m.currency && !m.currencyAfter)
        takeText(t, &at, symbol);
    const int start = at;
    while (at < t.size() && (isDigit(t[at]) || t[at] == u','))
        ++at;
    const QString whole = t.mid(start, at - start);
    QString fraction;
    if (m.point && takeText(t, &at, u".")) {
        const int from = at;
        while (at < t.size() && isDigit(t[at]))
            ++at;
        fraction = t.mid(from, at - from);
    }
    if (m.currency && m.currencyAfter)
        takeText(t, &at, symbol);
    if (m.sign == NumberModel::TrailingS && !takeText(t, &at, u"+") && !(negative = takeText(t, &at, u"-")))
        throw SqlFailure(kInvalidNumber);
    if (m.sign == NumberModel::TrailingMI)
        negative = takeText(t, &at, u"-");
    if (at != t.size() || !wholeMatches(whole, m.whole) || fraction.size() > m.fraction.size() ||
        (whole.isEmpty() && fraction.isEmpty()))
        throw SqlFailure(kInvalidNumber);
    QString digits = QString(whole).remove(u',');
    return (negative ? QStringLiteral("-") : QString()) + (digits.isEmpty() ? QStringLiteral("0") : digits) +
           (fraction.isEmpty() ? QString() : u'.' + fraction);
}

void toNumberFormat(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const QString text = blanksTrimmed(valueText(argv[0]));
    if (text.isEmpty() || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    Num n;
    if (!parseNumber(readNumber(text, parseModel(valueText(argv[1]))), &n))
        throw SqlFailure(kInvalidNumber);
    if (n.isInt)
        sqlite3_result_int64(ctx, n.i);
    else
        resultNumber(ctx, n.d);
}

} // namespace

void registerNumberFormatFunctions(sqlite3 *db)
{
    static const FunctionDef fns[] = {
        {"ora_to_char_num", 2, guarded<toCharNumber>, true},
        {"ora_to_number_fmt", 2, guarded<toNumberFormat>, true},
    };
    registerAll(db, fns, std::size(fns));
}

} // namespace tipdesk::db::oracle
