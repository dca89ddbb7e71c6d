// Oracle's regular expressions, as the embedded engine's ora_regexp_* functions over
// QRegularExpression (PCRE2). An Oracle pattern is read by Oracle's grammar (POSIX ERE with the
// Perl-influenced escapes and non-greedy quantifiers) and written out for PCRE2; the server's
// tipdesk_ora.re_compile reads it by the same grammar and writes it for PostgreSQL's engine, so
// both refuse the same patterns with the same ORA-127xx error.
//
// The grammar, as both read it:
//  - '.' matches any character but a newline, any at all with 'n'. '^' and '$' match at the start
//    and the end of the text, with 'm' also after and before every newline (also after a newline
//    that ends the text). \A and \Z match only at the start and the end.
//  - \d \D \w \W \s \S are [[:digit:]], [[:alnum:]_] and [[:space:]] and their complements;
//    \1 to \9 refer back to a group already closed (else ORA-12727); a backslash before any other
//    character makes it literal (a lone backslash at the end is one).
//  - Quantifiers * + ? {m} {m,} {m,n}, each non-greedy with a following '?'. A quantifier with
//    nothing to repeat (at the start, after '(', '|' or an anchor) is a literal character, as is a
//    '{' that does not open a well-formed interval; a quantifier after a quantifier repeats the
//    whole. Counts run to 255 (PostgreSQL's limit), m <= n (else ORA-12732).
//  - Bracket expressions: ']' first is literal, '-' first or last is literal, a backslash is
//    literal; ranges must not run backwards (ORA-12728); classes [:alpha:] [:digit:] [:alnum:]
//    [:upper:] [:lower:] [:space:] [:punct:] [:cntrl:] [:print:] [:graph:] [:xdigit:] [:blank:]
//    (else ORA-12729); [=c=] and [.c.] stand for the one character c (else ORA-12730, ORA-12731).
//  - Unmatched parentheses are ORA-12725, an unclosed bracket ORA-12726, a pattern over 512 bytes
//    ORA-12733. With 'x' blanks outside brackets are left out.
//  - Classes follow ICU's character properties, as PostgreSQL's engine does under its ICU
//    collation (letters L, digits Nd, alnum L and Nd, space Z and the control blanks), and
//    [:punct:] also holds the ASCII symbols $+<=>^`|~ as POSIX has it.
// Matches are found as PostgreSQL finds them: the next search starts where a match ended, one
// character further after an empty match.
#include "platform/db/OracleValues.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <unicode/uchar.h>

namespace tipdesk::db::oracle {

namespace {

[[noreturn]] void fail(const char *text)
{
    throw SqlFailure(QString::fromLatin1(text));
}

QString hex(uint c)
{
    return QStringLiteral("\\x{%1}").arg(c, 0, 16);
}

// One class of a bracket expression for PCRE2: the items it adds, or (for graph and print) the
// items of its complement.
struct ClassItems {
    QString items;
    bool complement = false;
};

const QString kSpace = QStringLiteral("\\x{9}-\\x{d}\\x{1c}-\\x{1f}\\x{85}\\p{Z}");

bool classItems(const QString &name, bool caseless, ClassItems *out)
{
    static const QString kPunctAscii =
        hex('$') + hex('+') + hex('<') + hex('=') + hex('>') + hex('^') + hex('`') + hex('|') + hex('~');
    if (name == QLatin1String("alpha"))
        *out = {QStringLiteral("\\p{L}")};
    else if (name == QLatin1String("digit"))
        *out = {QStringLiteral("\\p{Nd}")};
    else if (name == QLatin1String("alnum"))
        *out = {QStringLiteral("\\p{L}\\p{Nd}")};
    else if (name == QLatin1String("upper"))
        *out = {caseless ? QStringLiteral("\\p{L}") : QStringLiteral("\\p{Lu}")};
    else if (name == QLatin1String("lower"))
        *out = {caseless ? QStringLiteral("\\p{L}") : QStringLiteral("\\p{Ll}")};
    else if (name == QLatin1String("space"))
        *out = {kSpace};
    else if (name == QLatin1String("punct"))
        *out = {QStringLiteral("\\p{P}") + kPunctAscii};
    else if (name == QLatin1String("cntrl"))
        *out = {QStringLiteral("\\p{Cc}")};
    else if (name == QLatin1String("xdigit"))
        *out = {QStringLiteral("0-9a-fA-F")};
    else if (name == QLatin1String("blank"))
        *out = {QStringLiteral("\\x{20}\\x{9}")};
    else if (name == QLatin1String("graph"))
        *out = {QStringLiteral("\\p{Cc}\\p{Cf}\\p{Cs}\\p{Cn}\\p{Z}"), true};
    else if (name == QLatin1String("print"))
        *out = {QStringLiteral("\\p{C}"), true};
    else
        return false;
    return true;
}

struct Options {
    bool caseless = false, dotAll = false, multiline = false, extended = false;
};

// The match parameter: i c n m x, the last of i and c counting; anything else is ORA-01760.
Options options(const QString &match)
{
    Options o;
    for (const QChar c : match) {
        switch (c.unicode()) {
        case 'i':
            o.caseless = true;
            break;
        case 'c':
            o.caseless = false;
            break;
        case 'n':
            o.dotAll = true;
            break;
        case 'm':
            o.multiline = true;
            break;
        case 'x':
            o.extended = true;
            break;
        default:
            fail("ORA-01760: illegal argument for function");
        }
    }
    return o;
}

bool isBlank(uint c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool isDigit(uint c)
{
    return c >= '0' && c <= '9';
}

// An Oracle pattern written for PCRE2.
class Translator {
public:
    Translator(const QString &pattern, const Options &o) : m_p(pattern.toUcs4()), m_o(o) {}

    QString run()
    {
        const qsizetype n = m_p.size();
        while (m_k < n) {
            const uint c = m_p[m_k];
            if (m_o.extended && isBlank(c)) {
                ++m_k;
                continue;
            }
            switch (c) {
            case '\\':
                escape();
                break;
            case '.':
                atom(m_o.dotAll ? QStringLiteral("(?s:.)") : QStringLiteral("[^\\n]"));
                ++m_k;
                break;
            case '[':
                bracket();
                break;
            case '(':
                m_openAt.append(m_out.size());
                m_openNumber.append(++m_groups);
                m_out += u'(';
                m_atomStart = -1;
                ++m_k;
                break;
            case ')':
                if (m_openAt.isEmpty())
                    fail("ORA-12725: unmatched parentheses in regular expression");
                m_out += u')';
                m_atomStart = m_openAt.takeLast();
                m_atomQuantified = false;
                m_closed.insert(m_openNumber.takeLast());
                ++m_k;
                break;
            case '|':
                m_out += u'|';
                m_atomStart = -1;
                ++m_k;
                break;
            case '^':
                m_out += m_o.multiline ? QStringLiteral("(?:\\A|(?<=\\n))") : QStringLiteral("\\A");
                m_atomStart = -1;
                ++m_k;
                break;
            case '$':
                m_out += m_o.multiline ? QStringLiteral("(?=\\n|\\z)") : QStringLiteral("\\z");
                m_atomStart = -1;
                ++m_k;
                break;
            case '*':
            case '+':
            case '?':
                quantifier(QString(QChar(c)), 1);
                break;
            case '{':
                interval();
                break;
            default:
                literal(c);
                ++m_k;
            }
        }
        if (!m_openAt.isEmpty())
            fail("ORA-12725: unmatched parentheses in regular expression");
        return m_out;
    }

private:
    QList<uint> m_p;
    Options m_o;
    qsizetype m_k = 0;
    QString m_out;
    qsizetype m_atomStart = -1; // where the last repeatable item begins in m_out
    bool m_atomQuantified = false;
    QList<qsizetype> m_openAt;
    QList<int> m_openNumber;
    QSet<int> m_closed;
    int m_groups = 0;

    void atom(const QString &text)
    {
        m_atomStart = m_out.size();
        m_atomQuantified = false;
        m_out += text;
    }

    // A literal character; with 'i' its lower and upper case, as PostgreSQL's engine takes them
    // (not the character itself when it is neither, as a title-case letter).
    void literal(uint c)
    {
        if (!m_o.caseless) {
            atom(hex(c));
            return;
        }
        const uint lc = uint(u_tolower(UChar32(c))), uc = uint(u_toupper(UChar32(c)));
        atom(lc == uc ? hex(lc) : u'[' + hex(lc) + hex(uc) + u']');
    }

    // A character of a bracket expression, with its cases under 'i'.
    QString bracketChar(uint c) const
    {
        if (!m_o.caseless)
            return hex(c);
        const uint lc = uint(u_tolower(UChar32(c))), uc = uint(u_toupper(UChar32(c)));
        return lc == uc ? hex(lc) : hex(lc) + hex(uc);
    }

    // A range of a bracket expression; under 'i' also the cases of its characters that lie outside.
    QString bracketRange(uint lo, uint hi) const
    {
        QString out = hex(lo) + u'-' + hex(hi);
        if (!m_o.caseless)
            return out;
        QSet<uint> added;
        for (uint c = lo; c <= hi && added.size() < 100000; ++c) {
            for (const uint v : {uint(u_tolower(UChar32(c))), uint(u_toupper(UChar32(c)))}) {
                if ((v < lo || v > hi) && !added.contains(v)) {
                    added.insert(v);
                    out += hex(v);
                }
            }
        }
        return out;
    }

    // A quantifier `q` taking `length` pattern characters, then its non-greedy '?'.
    void quantifier(const QString &q, qsizetype length)
    {
        if (m_atomStart < 0) { // nothing to repeat: the character itself
            literal(m_p[m_k]);
            ++m_k;
            return;
        }
        if (m_atomQuantified) {
            m_out.insert(m_atomStart, QStringLiteral("(?:"));
            m_out += u')';
        }
        m_out += q;
        m_k += length;
        if (m_k < m_p.size() && m_p[m_k] == '?') {
            m_out += u'?';
            ++m_k;
        }
        m_atomQuantified = true;
    }

    // {m}, {m,} or {m,n}; anything else makes '{' a literal.
    void interval()
    {
        const qsizetype n = m_p.size();
        qsizetype j = m_k + 1;
        auto number = [&](qint64 *v) {
            const qsizetype from = j;
            *v = 0;
            while (j < n && isDigit(m_p[j])) {
                *v = std::min<qint64>(*v * 10 + (m_p[j] - '0'), 100000);
                ++j;
            }
            return j > from;
        };
        qint64 lo = 0, hi = -1;
        bool comma = false, ok = number(&lo);
        if (ok && j < n && m_p[j] == ',') {
            comma = true;
            ++j;
            if (!number(&hi))
                hi = -1;
        }
        ok = ok && j < n && m_p[j] == '}';
        if (!ok || m_atomStart < 0) {
            literal('{');
            ++m_k;
            return;
        }
        if (lo > 255 || hi > 255 || (hi >= 0 && lo > hi))
            fail("ORA-12732: invalid interval value in regular expression");
        const QString q = !comma   ? QStringLiteral("{%1}").arg(lo)
                          : hi < 0 ? QStringLiteral("{%1,}").arg(lo)
                                   : QStringLiteral("{%1,%2}").arg(lo).arg(hi);
        quantifier(q, j + 1 - m_k);
    }

    void escape()
    {
        if (m_k + 1 >= m_p.size()) {
            literal('\\');
            ++m_k;
            return;
        }
        const uint d = m_p[m_k + 1];
        m_k += 2;
        switch (d) {
        case 'd':
            atom(QStringLiteral("\\p{Nd}"));
            return;
        case 'D':
            atom(QStringLiteral("\\P{Nd}"));
            return;
        case 'w':
            atom(QStringLiteral("[\\p{L}\\p{Nd}_]"));
            return;
        case 'W':
            atom(QStringLiteral("[^\\p{L}\\p{Nd}_]"));
            return;
        case 's':
            atom(u'[' + kSpace + u']');
            return;
        case 'S':
            atom(QStringLiteral("[^") + kSpace + u']');
            return;
        case 'A':
            m_out += QStringLiteral("\\A");
            m_atomStart = -1;
            return;
        case 'Z':
            m_out += QStringLiteral("\\z");
            m_atomStart = -1;
            return;
        default:
            break;
        }
        if (d >= '1' && d <= '9') {
            if (!m_closed.contains(int(d - '0')))
                fail("ORA-12727: invalid back reference in regular expression");
            // Under 'i' PCRE2 compares by case folding where PostgreSQL compares lower cases: they
            // differ only for letters with more than two cases (σ ς Σ, s ſ S, k K K).
            atom((m_o.caseless ? QStringLiteral("(?i:\\g{%1})") : QStringLiteral("\\g{%1}")).arg(d - '0'));
            return;
        }
        literal(d);
    }

    // One character of a bracket expression at j: itself, or [=c=] / [.c.].
    uint element(qsizetype &j)
    {
        const qsizetype n = m_p.size();
        if (m_p[j] == '[' && j + 1 < n && (m_p[j + 1] == '=' || m_p[j + 1] == '.')) {
            const uint kind = m_p[j + 1];
            qsizetype close = j + 2;
            while (close + 1 < n && !(m_p[close] == kind && m_p[close + 1] == ']'))
                ++close;
            if (close + 1 >= n)
                fail("ORA-12726: unmatched bracket in regular expression");
            if (close - (j + 2) != 1)
                fail(kind == '=' ? "ORA-12730: invalid equivalence class in regular expression"
                                 : "ORA-12731: invalid collation class in regular expression");
            const uint c = m_p[j + 2];
            j = close + 2;
            return c;
        }
        return m_p[j++];
    }

    void bracket()
    {
        const qsizetype n = m_p.size();
        qsizetype j = m_k + 1;
        bool negate = false;
        if (j < n && m_p[j] == '^') {
            negate = true;
            ++j;
        }
        QString items;
        QStringList complements; // items of the complements of graph and print
        bool first = true;
        for (;;) {
            if (j >= n)
                fail("ORA-12726: unmatched bracket in regular expression");
            if (m_p[j] == ']' && !first) {
                ++j;
                break;
            }
            first = false;
            if (m_p[j] == '[' && j + 1 < n && m_p[j + 1] == ':') {
                qsizetype close = j + 2;
                while (close + 1 < n && !(m_p[close] == ':' && m_p[close + 1] == ']'))
                    ++close;
                if (close + 1 >= n)
                    fail("ORA-12726: unmatched bracket in regular expression");
                const QString name =
                    QString::fromUcs4(reinterpret_cast<const char32_t *>(m_p.constData()) + j + 2, close - (j + 2));
                ClassItems ci;
                if (!classItems(name, m_o.caseless, &ci))
                    fail("ORA-12729: invalid character class in regular expression");
                j = close + 2;
                if (j + 1 < n && m_p[j] == '-' && m_p[j + 1] != ']')
                    fail("ORA-12728: invalid range in regular expression");
                if (ci.complement)
                    complements.append(ci.items);
                else
                    items += ci.items;
                continue;
            }
            const uint lo = element(j);
            if (j + 1 < n && m_p[j] == '-' && m_p[j + 1] != ']') {
                ++j;
                if (m_p[j] == '[' && j + 1 < n && m_p[j + 1] == ':')
                    fail("ORA-12728: invalid range in regular expression");
                const uint hi = element(j);
                if (hi < lo)
                    fail("ORA-12728: invalid range in regular expression");
                items += bracketRange(lo, hi);
            } else {
                items += bracketChar(lo);
            }
        }
        m_k = j;
        if (complements.isEmpty()) {
            atom((negate ? QStringLiteral("[^") : QStringLiteral("[")) + items + u']');
            return;
        }
        QString out = QStringLiteral("(?:");
        if (!negate) {
            QStringList alternatives;
            if (!items.isEmpty())
                alternatives.append(u'[' + items + u']');
            for (const QString &c : complements)
                alternatives.append(QStringLiteral("[^") + c + u']');
            out += alternatives.join(u'|');
        } else { // in every complement's complement, and not an item
            if (!items.isEmpty())
                out += QStringLiteral("(?![") + items + QStringLiteral("])");
            for (qsizetype i = 0; i + 1 < complements.size(); ++i)
                out += QStringLiteral("(?=[") + complements[i] + QStringLiteral("])");
            out += u'[' + complements.last() + u']';
        }
        atom(out + u')');
    }
};

// The pattern compiled with the match parameter; throws Oracle's errors. Compiled patterns are
// kept per thread by their text, so a statement compiles its pattern once, not once a row.
QRegularExpression compiled(const QString &pattern, const QString &match)
{
    thread_local QHash<QString, QRegularExpression> kept;
    const QString key = match + QChar(u'\x1f') + pattern;
    if (const auto it = kept.constFind(key); it != kept.constEnd())
        return *it;
    const Options o = options(match);
    if (pattern.toUtf8().size() > 512)
        fail("ORA-12733: regular expression too long");
    QRegularExpression re(Translator(pattern, o).run());
    if (!re.isValid()) // a pattern the grammar takes that PCRE2 still refuses (too deep, too large)
        fail("ORA-12733: regular expression too long");
    if (kept.size() >= 64)
        kept.clear();
    kept.insert(key, re);
    return re;
}

// Positions: the functions take and give characters (code points) counted from 1; QString counts
// UTF-16 units.
qsizetype unitOffset(const QString &s, qint64 position)
{
    qsizetype off = 0;
    for (qint64 k = 1; k < position; ++k) {
        if (off >= s.size())
            return s.size() + 1; // past the end
        off += s[off].isHighSurrogate() && off + 1 < s.size() && s[off + 1].isLowSurrogate() ? 2 : 1;
    }
    return off;
}

qint64 characterPosition(const QString &s, qsizetype offset)
{
    qint64 n = 0;
    for (qsizetype i = 0; i < offset; ++i) {
        if (!(s[i].isLowSurrogate() && i > 0 && s[i - 1].isHighSurrogate()))
            ++n;
    }
    return n + 1;
}

// The match after `search`, and where the next search starts.
bool nextMatch(const QRegularExpression &re, const QString &s, qsizetype *search, QRegularExpressionMatch *m)
{
    if (*search > s.size())
        return false;
    *m = re.match(s, *search);
    if (!m->hasMatch())
        return false;
    *search = m->capturedEnd(0);
    if (m->capturedStart(0) == m->capturedEnd(0))
        *search += *search < s.size() && s[*search].isHighSurrogate() && *search + 1 < s.size() ? 2 : 1;
    return true;
}

// The occurrence-th match from `from` on.
bool nthMatch(const QRegularExpression &re, const QString &s, qsizetype from, qint64 occurrence,
              QRegularExpressionMatch *m)
{
    qsizetype search = from;
    for (qint64 k = 0; k < occurrence; ++k) {
        if (!nextMatch(re, s, &search, m))
            return false;
    }
    return true;
}

[[noreturn]] void outOfRange(qint64 v)
{
    argumentOutOfRange(QString::number(v));
}

// A whole-number argument; false for null.
bool integerArg(sqlite3_value *v, qint64 *out)
{
    Num n;
    if (!number(v, &n))
        return false;
    *out = boundedInt(n.real(), kBeyondAnyText);
    return true;
}

QString optionalText(int argc, sqlite3_value **argv, int i)
{
    return i < argc ? valueText(argv[i]) : QString();
}

void regexpLike(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    const QString s = valueText(argv[0]), pattern = valueText(argv[1]);
    if (s.isEmpty() || pattern.isEmpty()) {
        sqlite3_result_null(ctx);
        return;
    }
    const QRegularExpression re = compiled(pattern, optionalText(argc, argv, 2));
    qsizetype search = 0;
    QRegularExpressionMatch m;
    sqlite3_result_int(ctx, nextMatch(re, s, &search, &m) ? 1 : 0);
}

// The replacement with \1 … \9 filled in; \\ is one backslash, any other backslash stays.
QString expanded(const QString &rep, const QRegularExpressionMatch &m)
{
    QString out;
    for (qsizetype i = 0; i < rep.size(); ++i) {
        const QChar c = rep[i];
        if (c == u'\\' && i + 1 < rep.size()) {
            const QChar d = rep[i + 1];
            if (d >= u'1' && d <= u'9') {
                out += m.captured(d.unicode() - '0');
                ++i;
                continue;
            }
            if (d == u'\\') {
                out += u'\\';
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

void regexpReplace(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    const QString s = valueText(argv[0]), pattern = valueText(argv[1]);
    const QString rep = optionalText(argc, argv, 2);
    qint64 position = 1, occurrence = 0;
    if (s.isEmpty() || (argc > 3 && !integerArg(argv[3], &position)) ||
        (argc > 4 && !integerArg(argv[4], &occurrence))) {
        sqlite3_result_null(ctx);
        return;
    }
    if (pattern.isEmpty()) {
        resultText(ctx, s);
        return;
    }
    if (position < 1)
        outOfRange(position);
    if (occurrence < 0)
        outOfRange(occurrence);
    const QRegularExpression re = compiled(pattern, optionalText(argc, argv, 5));
    const qsizetype from = unitOffset(s, position);
    QString out = s.left(from);
    qsizetype copied = std::min(from, s.size()), search = from;
    qint64 count = 0;
    QRegularExpressionMatch m;
    while (nextMatch(re, s, &search, &m)) {
        if (occurrence != 0 && ++count != occurrence)
            continue;
        out += QStringView(s).mid(copied, m.capturedStart(0) - copied);
        out += expanded(rep, m);
        copied = m.capturedEnd(0);
        if (occurrence != 0)
            break;
    }
    out += QStringView(s).mid(copied);
    resultText(ctx, out);
}

// The arguments REGEXP_SUBSTR and REGEXP_INSTR share; false when one is null. Past the nulls a
// position or occurrence below 1, a negative return option and a subexpression outside 0 … 9 are
// ORA-01428, in that order.
struct Search {
    QString s;
    qint64 position = 1, occurrence = 1, returnOpt = 0, subexpr = 0;
};

bool searchArgs(sqlite3_value **argv, int argc, int returnAt, int subexprAt, Search *out)
{
    out->s = valueText(argv[0]);
    if (out->s.isEmpty() || valueText(argv[1]).isEmpty() || (argc > 2 && !integerArg(argv[2], &out->position)) ||
        (argc > 3 && !integerArg(argv[3], &out->occurrence)) ||
        (returnAt > 0 && argc > returnAt && !integerArg(argv[returnAt], &out->returnOpt)) ||
        (argc > subexprAt && !integerArg(argv[subexprAt], &out->subexpr)))
        return false;
    if (out->position < 1)
        outOfRange(out->position);
    if (out->occurrence < 1)
        outOfRange(out->occurrence);
    if (out->returnOpt < 0)
        outOfRange(out->returnOpt);
    if (out->subexpr < 0 || out->subexpr > 9)
        outOfRange(out->subexpr);
    return true;
}

void regexpSubstr(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    Search a;
    if (!searchArgs(argv, argc, -1, 5, &a)) {
        sqlite3_result_null(ctx);
        return;
    }
    const QRegularExpression re = compiled(valueText(argv[1]), optionalText(argc, argv, 4));
    QRegularExpressionMatch m;
    if (a.subexpr > re.captureCount() || !nthMatch(re, a.s, unitOffset(a.s, a.position), a.occurrence, &m)) {
        sqlite3_result_null(ctx);
        return;
    }
    resultText(ctx, m.captured(int(a.subexpr)));
}

void regexpInstr(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    Search a;
    if (!searchArgs(argv, argc, 4, 6, &a)) {
        sqlite3_result_null(ctx);
        return;
    }
    const QRegularExpression re = compiled(valueText(argv[1]), optionalText(argc, argv, 5));
    QRegularExpressionMatch m;
    const int k = int(a.subexpr);
    if (a.subexpr > re.captureCount() || !nthMatch(re, a.s, unitOffset(a.s, a.position), a.occurrence, &m) ||
        m.capturedStart(k) < 0) {
        sqlite3_result_int64(ctx, 0);
        return;
    }
    sqlite3_result_int64(ctx, characterPosition(a.s, a.returnOpt == 0 ? m.capturedStart(k) : m.capturedEnd(k)));
}

} // namespace

void registerRegexpFunctions(sqlite3 *db)
{
    static const FunctionDef fns[] = {
        {"ora_regexp_like", 2, guarded<regexpLike>, true},
        {"ora_regexp_like", 3, guarded<regexpLike>, true},
        {"ora_regexp_replace", 2, guarded<regexpReplace>, true},
        {"ora_regexp_replace", 3, guarded<regexpReplace>, true},
        {"ora_regexp_replace", 4, guarded<regexpReplace>, true},
        {"ora_regexp_replace", 5, guarded<regexpReplace>, true},
        {"ora_regexp_replace", 6, guarded<regexpReplace>, true},
        {"ora_regexp_substr", 2, guarded<regexpSubstr>, true},
        {"ora_regexp_substr", 3, guarded<regexpSubstr>, true},
        {"ora_regexp_substr", 4, guarded<regexpSubstr>, true},
        {"ora_regexp_substr", 5, guarded<regexpSubstr>, true},
        {"ora_regexp_substr", 6, guarded<regexpSubstr>, true},
        {"ora_regexp_instr", 2, guarded<regexpInstr>, true},
        {"ora_regexp_instr", 3, guarded<regexpInstr>, true},
        {"ora_regexp_instr", 4, guarded<regexpInstr>, true},
        {"ora_regexp_instr", 5, guarded<regexpInstr>, true},
        {"ora_regexp_instr", 6, guarded<regexpInstr>, true},
        {"ora_regexp_instr", 7, guarded<regexpInstr>, true},
    };
    registerAll(db, fns, std::size(fns));
}

} // namespace tipdesk::db::oracle
