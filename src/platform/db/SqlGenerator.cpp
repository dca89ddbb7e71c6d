#include "platform/db/SqlGenerator.h"
#include "platform/db/DbError.h"
#include "platform/db/OracleFunctions.h"
#include "platform/db/SqlAst.h"

#include <QSet>

namespace tipdesk::db::sql {

QString quoteIdent(const QString &name)
{
    QString q = name;
    q.replace(u'"', QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QString quoteString(const QString &value)
{
    QString q = value;
    q.replace(u'\'', QStringLiteral("''"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}

namespace {

// The name Oracle gives an unaliased expression: its text upper-cased without blanks, literals
// kept as written.
QString expressionName(const QString &sql, int pos, int end)
{
    QString out;
    QChar quote;
    for (int i = pos; i < end && i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (!quote.isNull()) {
            out += c;
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
            out += c;
        } else if (!c.isSpace()) {
            out += c.toUpper();
        }
    }
    return out;
}

} // namespace

Generated Generator::run(const Statement &st)
{
    m_topSelect = st.select.get();
    if (st.select)
        m_out.sql = select(*st.select, true);
    else if (st.insert)
        m_out.sql = insert(*st.insert);
    else
        m_out.sql = QStringLiteral("DELETE FROM ") + st.del->table +
                    (st.del->where ? QStringLiteral(" WHERE ") + expr(*st.del->where) : QString());
    return m_out;
}

void Generator::refuse(int pos, const QString &what) const
{
    throw DbError(QStringLiteral("Unsupported SQL construct %1 at %2").arg(what, describePosition(m_sql, pos)));
}

QString Generator::insert(const Insert &ins)
{
    QString s = QStringLiteral("INSERT INTO ") + ins.table;
    if (!ins.columns.isEmpty())
        s += QStringLiteral(" (") + ins.columns.join(QStringLiteral(", ")) + u')';
    if (ins.select) {
        s += u' ' + select(*ins.select, false);
    } else {
        QStringList values;
        for (const ExprPtr &v : ins.values)
            values.append(expr(*v));
        s += QStringLiteral(" VALUES (") + values.join(QStringLiteral(", ")) + u')';
    }
    return s;
}

QString Generator::itemName(const SelectItem &item, bool top)
{
    if (!item.alias.isEmpty()) {
        if (item.aliasQuoted) {
            if (top)
                m_out.quotedAliases.append(item.alias);
            return item.alias;
        }
        return item.alias.toUpper();
    }
    const Expr &e = *item.expr;
    if (e.kind == Expr::Column)
        return e.quoted ? e.text : e.text.toUpper();
    if (e.kind == Expr::Rownum)
        return QStringLiteral("ROWNUM");
    const QString name = expressionName(m_sql, e.pos, e.end);
    if (top && name != name.toUpper())
        m_out.quotedAliases.append(name); // a literal's own case stays
    return name;
}

QString Generator::itemAlias(const SelectItem &item, int, bool top)
{
    return quoteIdent(itemName(item, top));
}

bool Generator::foldsCase(const SelectItem &item)
{
    if (!item.alias.isEmpty())
        return !item.aliasQuoted;
    return item.expr && ((item.expr->kind == Expr::Column && !item.expr->quoted) || item.expr->kind == Expr::Rownum);
}

// ROWNUM in the select list numbers the rows in the order the statement gives them, so that the
// numbers read 1, 2, 3 down the result whatever order the engine finds the rows in; an item named
// in ORDER BY by its alias stands for its expression.
QString Generator::rownum(const Select &s)
{
    QStringList keys;
    for (const OrderItem &o : s.orderBy) {
        const Expr *key = o.expr.get();
        if (const SelectItem *item = aliasedItem(s, *key))
            key = item->expr.get();
        if (key->kind == Expr::Rownum)
            continue;
        keys.append(orderKey(expr(*key), o));
    }
    if (keys.isEmpty())
        return QStringLiteral("row_number() OVER ()");
    keys += tieBreakers(s, false);
    return QStringLiteral("row_number() OVER (ORDER BY ") + keys.join(QStringLiteral(", ")) + u')';
}

// Rows equal in the ORDER BY keys come in whatever order an engine finds them, which differs
// between engines and between plans: after the keys, a sorted statement is ordered by its other
// result columns, by position (or by expression, inside ROWNUM's window), so that its rows come in
// one order everywhere. Not with "*", whose columns the tree does not list.
QStringList Generator::tieBreakers(const Select &s, bool positions)
{
    QStringList out;
    for (const SelectItem &item : s.items) {
        if (!item.expr)
            return {};
    }
    for (size_t i = 0; i < s.items.size(); ++i) {
        const Expr &e = *s.items[i].expr;
        if (e.kind == Expr::Rownum || e.kind == Expr::Number || e.kind == Expr::String || e.kind == Expr::Null)
            continue;
        out.append((positions ? QString::number(i + 1) : expr(e)) + defaultNulls(false));
    }
    return out;
}

QString Generator::orderKey(const QString &key, const OrderItem &item)
{
    QString out = key + (item.desc ? QStringLiteral(" DESC") : QString());
    if (item.nulls == OrderItem::NullsFirst)
        return out + QStringLiteral(" NULLS FIRST");
    if (item.nulls == OrderItem::NullsLast)
        return out + QStringLiteral(" NULLS LAST");
    return out + defaultNulls(item.desc);
}

QString Generator::withClause(const Select &s)
{
    if (s.with.empty())
        return {};
    QStringList tables;
    for (const CommonTable &t : s.with) {
        QString head = t.name;
        if (!t.columns.isEmpty())
            head += u'(' + t.columns.join(QStringLiteral(", ")) + u')';
        tables.append(head + QStringLiteral(" AS (") + select(*t.select, false) + u')');
    }
    return QStringLiteral("WITH ") + tables.join(QStringLiteral(", ")) + u' ';
}

// Oracle's one-row table, whether or not the file has it; under CONNECT BY LEVEL <= n, one row for
// each level from 1 to n (the first level even when n is below 1).
QString Generator::dual(const Select &s)
{
    if (!s.connectByLevel)
        return QStringLiteral("(SELECT 'X' AS DUMMY)");
    return QStringLiteral("(WITH RECURSIVE ora_levels(ora_level) AS (SELECT 1 UNION ALL SELECT ora_level + 1 FROM "
                          "ora_levels WHERE ora_level + 1 %1 %2) SELECT ora_level, 'X' AS DUMMY FROM ora_levels)")
        .arg(s.connectByLess ? QStringLiteral("<") : QStringLiteral("<="), asNumberText(*s.connectByLevel));
}

QString Generator::asNumberText(const Expr &e)
{
    if (e.kind == Expr::Number || typeOf(e) == Type::Number)
        return expr(e);
    return QStringLiteral("ora_to_number(") + expr(e) + u')';
}

QString Generator::select(const Select &s, bool top)
{
    const bool outerLevels = m_levels;
    m_levels = s.connectByLevel != nullptr;
    QString out = withClause(s) + QStringLiteral("SELECT ");
    if (s.distinct)
        out += QStringLiteral("DISTINCT ");
    QStringList items;
    for (const SelectItem &item : s.items) {
        if (!item.expr) {
            if (top)
                m_out.hasStar = true;
            items.append(item.qualifier.isEmpty() ? QStringLiteral("*") : item.qualifier + QStringLiteral(".*"));
            continue;
        }
        const QString value = item.expr->kind == Expr::Rownum ? rownum(s) : expr(*item.expr);
        items.append(value + QStringLiteral(" AS ") + itemAlias(item, int(items.size()), top));
    }
    out += items.join(QStringLiteral(", "));
    out += QStringLiteral(" FROM ");
    for (size_t i = 0; i < s.from.size(); ++i) {
        const TableRef &ref = s.from[i];
        if (i > 0) {
            out += ref.join == TableRef::Left    ? QStringLiteral(" LEFT JOIN ")
                   : ref.join == TableRef::Inner ? QStringLiteral(" JOIN ")
                                                 : commaJoin(s);
        }
        if (ref.sub) {
            out += u'(' + select(*ref.sub, false) + u')';
            if (ref.alias.isEmpty())
                out += derivedTableAlias(int(i));
        } else if (ref.name.compare(QLatin1String("DUAL"), Qt::CaseInsensitive) == 0) {
            out += dual(s);
            if (ref.alias.isEmpty())
                out += QStringLiteral(" DUAL");
        } else {
            out += ref.name;
        }
        if (!ref.alias.isEmpty())
            out += u' ' + ref.alias;
        if (ref.on)
            out += QStringLiteral(" ON ") + expr(*ref.on);
    }
    if (s.where)
        out += QStringLiteral(" WHERE ") + expr(*s.where);
    if (!s.groupBy.empty()) {
        QStringList g;
        for (const ExprPtr &e : s.groupBy)
            g.append(expr(*e));
        out += QStringLiteral(" GROUP BY ") + g.join(QStringLiteral(", "));
    }
    if (s.having)
        out += QStringLiteral(" HAVING ") + expr(*s.having);
    for (const auto &c : s.compounds)
        out += u' ' + c.first + u' ' + select(*c.second, false);
    if (!s.orderBy.empty()) {
        QStringList o;
        for (const OrderItem &item : s.orderBy)
            o.append(orderKey(orderExpr(s, *item.expr), item));
        o += tieBreakers(s, true);
        out += QStringLiteral(" ORDER BY ") + o.join(QStringLiteral(", "));
    }
    // A limited subquery keeps its own rows: OFFSET 0 keeps the engine from merging it into a
    // sorting query around it, which would take the first rows of the sorted result instead.
    if (s.limit >= 0)
        out += QStringLiteral(" LIMIT %1").arg(s.limit) + (top ? QString() : QStringLiteral(" OFFSET 0"));
    m_levels = outerLevels;
    return out;
}

QString Generator::call(const char *name, const std::vector<ExprPtr> &args, size_t from)
{
    QStringList a;
    for (size_t i = from; i < args.size(); ++i)
        a.append(expr(*args[i]));
    return QLatin1String(name) + u'(' + a.join(QStringLiteral(", ")) + u')';
}

void Generator::arity(const Expr &e, size_t min, size_t max) const
{
    if (e.star || e.args.size() < min || e.args.size() > max)
        throw DbError(QStringLiteral("ORA-00909: invalid number of arguments for %1 at %2")
                          .arg(e.text, describePosition(m_sql, e.pos)));
}

QString Generator::function(const Expr &e)
{
    const QString &f = e.text;
    if (e.internal)
        return call(e.text.toLatin1().constData(), e.args);
    if (e.over)
        return analytic(e);
    if (const QString lib = libraryForm(e); !lib.isNull())
        return lib;
    if (e.distinct && f != QLatin1String("COUNT") && f != QLatin1String("SUM") && f != QLatin1String("AVG"))
        refuse(e.pos, QStringLiteral("DISTINCT in %1").arg(f));
    if (f == QLatin1String("COUNT")) {
        if (e.star)
            return QStringLiteral("count(*)");
        arity(e, 1, 1);
        return QStringLiteral("count(") + (e.distinct ? QStringLiteral("DISTINCT ") : QString()) + expr(*e.args[0]) +
               u')';
    }
    if (f == QLatin1String("SUM") || f == QLatin1String("AVG")) {
        arity(e, 1, 1);
        return QStringLiteral("ora_num(") + f.toLower() + u'(' +
               (e.distinct ? QStringLiteral("DISTINCT ") : QString()) + expr(*e.args[0]) + QStringLiteral("))");
    }
    if (f == QLatin1String("MAX") || f == QLatin1String("MIN")) {
        arity(e, 1, 1);
        return call(f == QLatin1String("MAX") ? "max" : "min", e.args);
    }
    if (f == QLatin1String("DECODE")) {
        arity(e, 3, 255);
        const Expr &first = *e.args[1];
        const Type t = first.kind == Expr::Null ? Type::Text : typeOf(first);
        const char *mode = t == Type::Number ? "'N'" : t == Type::Unknown ? "'?'" : "'T'";
        // A CASE evaluates only the result it chooses, as the server does.
        const QString subject = expr(*e.args[0]);
        const QString firstSearch = expr(first);
        QString out = QStringLiteral("(CASE");
        size_t i = 1;
        for (; i + 1 < e.args.size(); i += 2) {
            out += QStringLiteral(" WHEN ora_decode_eq(%1, %2, %3, %4) = 1 THEN %5")
                       .arg(QLatin1String(mode), subject, firstSearch, expr(*e.args[i]), expr(*e.args[i + 1]));
        }
        if (i < e.args.size())
            out += QStringLiteral(" ELSE ") + expr(*e.args[i]);
        return out + QStringLiteral(" END)");
    }
    if (f == QLatin1String("CONCAT")) {
        arity(e, 2, 2);
        return call("ora_concat", e.args);
    }
    if (f == QLatin1String("SUBSTR")) {
        arity(e, 2, 3);
        return call("ora_substr", e.args);
    }
    if (f == QLatin1String("TRUNC") || f == QLatin1String("ROUND")) {
        arity(e, 1, 2);
        if (truncatesDate(e))
            return QStringLiteral("ora_trunc_date(") + expr(*e.args[0]) + u')';
        return call(f == QLatin1String("TRUNC") ? "ora_trunc" : "ora_round", e.args);
    }
    if (f == QLatin1String("TO_NUMBER")) {
        arity(e, 1, 1);
        return call("ora_to_number", e.args);
    }
    if (f == QLatin1String("TO_CHAR"))
        return call(toCharOfDate(e) ? "ora_to_char_date" : "ora_num_text", e.args);
    if (f == QLatin1String("TO_DATE")) {
        if (e.args.size() == 1)
            refuse(e.pos, QStringLiteral("TO_DATE without a format"));
        arity(e, 2, 2);
        return call("ora_to_date", e.args);
    }
    if (f == QLatin1String("UPPER") || f == QLatin1String("LOWER") || f == QLatin1String("ABS")) {
        arity(e, 1, 1);
        return call(f == QLatin1String("UPPER") ? "upper" : f == QLatin1String("LOWER") ? "lower" : "abs", e.args);
    }
    if (f == QLatin1String("LENGTH")) {
        arity(e, 1, 1);
        return QStringLiteral("length(ora_num_text(") + expr(*e.args[0]) + QStringLiteral("))");
    }
    if (f == QLatin1String("TRIM") || f == QLatin1String("LTRIM") || f == QLatin1String("RTRIM")) {
        arity(e, 1, 1);
        return QStringLiteral("nullif(%1(").arg(f.toLower()) + expr(*e.args[0]) + QStringLiteral("), '')");
    }
    refuse(e.pos, QStringLiteral("function %1").arg(f));
}

QString Generator::expr(const Expr &e)
{
    switch (e.kind) {
    case Expr::Number:
        return e.text;
    case Expr::String:
        return quoteString(e.text);
    case Expr::Null:
        return QStringLiteral("NULL");
    case Expr::Param:
        return param(e);
    case Expr::Column: {
        const QString name = e.quoted ? quoteIdent(e.text) : e.text;
        return e.qualifier.isEmpty() ? name : e.qualifier + u'.' + name;
    }
    case Expr::Sysdate:
        return QStringLiteral("ora_sysdate()");
    case Expr::Rownum:
        refuse(e.pos, QStringLiteral("ROWNUM here"));
    case Expr::Level:
        if (!m_levels)
            throw DbError(QStringLiteral("ORA-01788: CONNECT BY clause required in this query block at %1")
                              .arg(describePosition(m_sql, e.pos)));
        return QStringLiteral("ora_level");
    case Expr::Raw:
        return e.text;
    case Expr::Func:
        return function(e);
    case Expr::Unary:
        if (e.text == QLatin1String("NOT"))
            return QStringLiteral("(NOT ") + expr(*e.args[0]) + u')';
        return QStringLiteral("ora_neg(") + expr(*e.args[0]) + u')';
    case Expr::Binary:
        return binary(e);
    case Expr::Between: {
        const QStringList v = compared(e);
        return u'(' + v[0] + (e.negated ? QStringLiteral(" NOT") : QString()) + QStringLiteral(" BETWEEN ") + v[1] +
               QStringLiteral(" AND ") + v[2] + u')';
    }
    case Expr::InList: {
        QStringList items = compared(e);
        const QString value = items.takeFirst();
        return u'(' + value + (e.negated ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN (")) +
               items.join(QStringLiteral(", ")) + QStringLiteral("))");
    }
    case Expr::InSelect:
        return u'(' + expr(*e.args[0]) + (e.negated ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN (")) +
               select(*e.sub, false) + QStringLiteral("))");
    case Expr::IsNull:
        return u'(' + expr(*e.args[0]) + (e.negated ? QStringLiteral(" IS NOT NULL)") : QStringLiteral(" IS NULL)"));
    case Expr::Like:
        return u'(' + expr(*e.args[0]) + (e.negated ? QStringLiteral(" NOT LIKE ") : QStringLiteral(" LIKE ")) +
               expr(*e.args[1]) + likeEscape(e) + u')';
    case Expr::Case: {
        QString out = QStringLiteral("CASE");
        size_t i = 0;
        if (e.hasOperand)
            out += u' ' + expr(*e.args[i++]);
        const size_t whenEnd = e.args.size() - (e.hasElse ? 1 : 0);
        for (; i + 1 < whenEnd; i += 2)
            out += QStringLiteral(" WHEN ") + expr(*e.args[i]) + QStringLiteral(" THEN ") + expr(*e.args[i + 1]);
        if (e.hasElse)
            out += QStringLiteral(" ELSE ") + expr(*e.args.back());
        return out + QStringLiteral(" END");
    }
    case Expr::Exists:
        return QStringLiteral("EXISTS (") + select(*e.sub, false) + u')';
    case Expr::Subquery:
        return u'(' + select(*e.sub, false) + u')';
    }
    return {};
}

// The operands of BETWEEN or IN: when one is a number, the texts among them are compared as numbers.
QStringList Generator::compared(const Expr &e)
{
    bool number = false, text = false;
    for (const ExprPtr &a : e.args) {
        number = number || typeOf(*a) == Type::Number;
        text = text || typeOf(*a) == Type::Text;
    }
    QStringList out;
    for (const ExprPtr &a : e.args)
        out.append(number && text && typeOf(*a) == Type::Text ? asNumberText(*a) : expr(*a));
    return out;
}

QString Generator::likeEscape(const Expr &e)
{
    return e.args.size() > 2 ? QStringLiteral(" ESCAPE ") + expr(*e.args[2]) : QString();
}

QString Generator::grouped(QStringList terms, const QString &separator)
{
    constexpr int kGroup = 64;
    while (terms.size() > kGroup) {
        QStringList groups;
        for (qsizetype i = 0; i < terms.size(); i += kGroup)
            groups.append(u'(' + terms.mid(i, kGroup).join(separator) + u')');
        terms = groups;
    }
    return u'(' + terms.join(separator) + u')';
}

// c = 1 OR c = 2 OR … over one column and literals of one kind: the same rows as c IN (1, 2, …),
// which the engine looks up instead of testing every alternative.
QString Generator::sameColumnIn(const Expr &e)
{
    const Expr *column = nullptr;
    Expr::Kind literal = Expr::Null;
    for (const ExprPtr &a : e.args) {
        if (a->kind != Expr::Binary || a->text != u'=' || a->args.size() != 2)
            return {};
        const Expr &l = *a->args[0], &r = *a->args[1];
        const Expr &c = l.kind == Expr::Column ? l : r, &v = l.kind == Expr::Column ? r : l;
        if (c.kind != Expr::Column || (v.kind != Expr::Number && v.kind != Expr::String))
            return {};
        if (column && (c.text != column->text || c.qualifier != column->qualifier || c.quoted != column->quoted ||
                       v.kind != literal))
            return {};
        column = &c;
        literal = v.kind;
    }
    const Type t = typeOf(*column);
    const bool asNumbers = literal == Expr::Number && t == Type::Text;
    QStringList values;
    for (const ExprPtr &a : e.args) {
        const Expr &v = a->args[0]->kind == Expr::Column ? *a->args[1] : *a->args[0];
        values.append(expr(v));
    }
    return QStringLiteral("(") + (asNumbers ? asNumberText(*column) : expr(*column)) + QStringLiteral(" IN (") +
           values.join(QStringLiteral(", ")) + QStringLiteral("))");
}

QString Generator::chain(const Expr &e)
{
    const QString &op = e.text;
    QStringList terms;
    for (const ExprPtr &a : e.args)
        terms.append(expr(*a));
    if (op == QLatin1String("OR")) {
        if (const QString in = sameColumnIn(e); !in.isEmpty())
            return in;
    }
    if (op == QLatin1String("AND") || op == QLatin1String("OR"))
        return grouped(terms, u' ' + op + u' ');
    if (op == u'+' && typeOf(e) == Type::Date)
        return foldedSum(e);
    // Our functions take up to 100 arguments; longer chains nest.
    const char *name = op == u'+' ? "ora_add" : op == u'*' ? "ora_mul" : "ora_concat";
    while (terms.size() > 1) {
        QStringList calls;
        for (qsizetype i = 0; i < terms.size(); i += 100)
            calls.append(terms.size() - i == 1
                             ? terms[i]
                             : ownFunction(name) + u'(' + terms.mid(i, 100).join(QStringLiteral(", ")) + u')');
        terms = calls;
    }
    return terms.front();
}

// A date plus numbers, added left to right as Oracle does.
QString Generator::foldedSum(const Expr &e)
{
    QString acc = expr(*e.args[0]);
    Type accType = typeOf(*e.args[0]);
    for (size_t i = 1; i < e.args.size(); ++i) {
        const Expr &next = *e.args[i];
        const Type t = typeOf(next);
        if (accType == Type::Date && t == Type::Date)
            throw DbError(
                QStringLiteral("ORA-00975: date + date not allowed at %1").arg(describePosition(m_sql, e.pos)));
        if (accType == Type::Date || t == Type::Date)
            acc = ownFunction("ora_date_add") + u'(' + (accType == Type::Date ? acc : expr(next)) +
                  QStringLiteral(", ") + (accType == Type::Date ? asNumberText(next) : acc) + u')';
        else
            acc = ownFunction("ora_add") + u'(' + acc + QStringLiteral(", ") + expr(next) + u')';
        accType = accType == Type::Date || t == Type::Date ? Type::Date : Type::Number;
    }
    return acc;
}

QString Generator::binary(const Expr &e)
{
    if (e.args.size() > 2)
        return chain(e);
    const QString &op = e.text;
    const Expr &l = *e.args[0], &r = *e.args[1];
    if (op == QLatin1String("||"))
        return QStringLiteral("ora_concat(") + expr(l) + QStringLiteral(", ") + expr(r) + u')';
    if (op == u'+' || op == u'-') {
        const Type lt = typeOf(l), rt = typeOf(r);
        if (op == u'+' && (lt == Type::Date || rt == Type::Date)) {
            if (lt == Type::Date && rt == Type::Date)
                throw DbError(
                    QStringLiteral("ORA-00975: date + date not allowed at %1").arg(describePosition(m_sql, e.pos)));
            const Expr &d = lt == Type::Date ? l : r, &n = lt == Type::Date ? r : l;
            return QStringLiteral("ora_date_add(") + expr(d) + QStringLiteral(", ") + expr(n) + u')';
        }
        if (op == u'-' && lt == Type::Date) {
            if (rt == Type::Date)
                return QStringLiteral("ora_date_diff(") + expr(l) + QStringLiteral(", ") + expr(r) + u')';
            return QStringLiteral("ora_date_add(") + expr(l) + QStringLiteral(", ora_neg(") + expr(r) +
                   QStringLiteral("))");
        }
        return (op == u'+' ? QStringLiteral("ora_add(") : QStringLiteral("ora_sub(")) + expr(l) + QStringLiteral(", ") +
               expr(r) + u')';
    }
    if (op == u'*' || op == u'/')
        return (op == u'*' ? QStringLiteral("ora_mul(") : QStringLiteral("ora_div(")) + expr(l) + QStringLiteral(", ") +
               expr(r) + u')';
    if (op == QLatin1String("AND") || op == QLatin1String("OR"))
        return u'(' + expr(l) + u' ' + op + u' ' + expr(r) + u')';
    // Text meeting a number is compared as a number, as Oracle converts it (ORA-01722 for text that
    // is none): '02' = 2 holds, '10' > 9 holds.
    const Type lt = typeOf(l), rt = typeOf(r);
    if ((lt == Type::Number && rt == Type::Text) || (lt == Type::Text && rt == Type::Number))
        return u'(' + asNumberText(l) + u' ' + op + u' ' + asNumberText(r) + u')';
    // A parameter bound as a number compared with text made by an expression (no column
    // affinity to convert it): compare the number's text, as SUBSTR(stat_day,1,6) = :month needs.
    auto side = [&](const Expr &x, const Expr &other) {
        if (x.kind == Expr::Param && other.kind != Expr::Column && typeOf(other) == Type::Text)
            return QStringLiteral("ora_num_text(") + expr(x) + u')';
        return expr(x);
    };
    return u'(' + side(l, r) + u' ' + op + u' ' + side(r, l) + u')';
}

bool Generator::toCharOfDate(const Expr &e) const
{
    arity(e, 1, 2);
    const Type t = typeOf(*e.args[0]);
    if (e.args.size() == 1) {
        if (t == Type::Date)
            refuse(e.pos, QStringLiteral("TO_CHAR of a date without a format"));
        return false;
    }
    const Expr &mask = *e.args[1];
    return t == Type::Date || (t != Type::Number && mask.kind == Expr::String && oracle::isDateMask(mask.text));
}

const SelectItem *Generator::aliasedItem(const Select &s, const Expr &e)
{
    if (e.kind != Expr::Column || !e.qualifier.isEmpty() || e.quoted)
        return nullptr;
    for (const SelectItem &item : s.items) {
        if (item.expr && !item.alias.isEmpty() && !item.aliasQuoted &&
            item.alias.compare(e.text, Qt::CaseInsensitive) == 0)
            return &item;
    }
    return nullptr;
}

bool Generator::truncatesDate(const Expr &e) const
{
    if (typeOf(*e.args[0]) != Type::Date)
        return false;
    // Only the day of a date: TRUNC(d) or TRUNC(d, 'DD').
    if (e.text == QLatin1String("ROUND") ||
        (e.args.size() == 2 && !(e.args[1]->kind == Expr::String && e.args[1]->text.toUpper() == u"DD")))
        refuse(e.pos, QStringLiteral("%1 of a date with this format").arg(e.text));
    return true;
}

QString Generator::window(const Window &w)
{
    QStringList parts;
    if (!w.partitionBy.empty()) {
        QStringList keys;
        for (const ExprPtr &p : w.partitionBy)
            keys.append(expr(*p));
        parts.append(QStringLiteral("PARTITION BY ") + keys.join(QStringLiteral(", ")));
    }
    if (!w.orderBy.empty()) {
        QStringList keys;
        for (const OrderItem &o : w.orderBy)
            keys.append(orderKey(expr(*o.expr), o));
        parts.append(QStringLiteral("ORDER BY ") + keys.join(QStringLiteral(", ")));
    }
    return QStringLiteral(" OVER (") + parts.join(u' ') + u')';
}

// ROW_NUMBER, RANK, DENSE_RANK, COUNT, SUM, AVG, MIN, MAX, LAG and LEAD over a window.
QString Generator::analytic(const Expr &e)
{
    const QString &f = e.text;
    const QString over = window(*e.over);
    if (e.distinct)
        refuse(e.pos, QStringLiteral("DISTINCT in the analytic function %1").arg(f));
    if (f == QLatin1String("ROW_NUMBER") || f == QLatin1String("RANK") || f == QLatin1String("DENSE_RANK")) {
        arity(e, 0, 0);
        if (e.over->orderBy.empty())
            throw DbError(
                QStringLiteral("ORA-30485: missing ORDER BY expression in the window of an analytic function at %1")
                    .arg(describePosition(m_sql, e.pos)));
        return f.toLower() + QStringLiteral("()") + over;
    }
    if (f == QLatin1String("COUNT")) {
        if (e.star)
            return QStringLiteral("count(*)") + over;
        arity(e, 1, 1);
        return QStringLiteral("count(") + expr(*e.args[0]) + u')' + over;
    }
    if (f == QLatin1String("SUM") || f == QLatin1String("AVG")) {
        arity(e, 1, 1);
        return ownFunction("ora_num") + u'(' + f.toLower() + u'(' + libraryArg('n', *e.args[0], Type::Unknown) + u')' +
               over + u')';
    }
    if (f == QLatin1String("MIN") || f == QLatin1String("MAX")) {
        arity(e, 1, 1);
        return f.toLower() + u'(' + expr(*e.args[0]) + u')' + over;
    }
    if (f == QLatin1String("LAG") || f == QLatin1String("LEAD")) {
        arity(e, 1, 3);
        QString args = expr(*e.args[0]);
        args += QStringLiteral(", ") +
                (e.args.size() > 1 ? QStringLiteral("CAST(") + asNumberText(*e.args[1]) + QStringLiteral(" AS INTEGER)")
                                   : QStringLiteral("1"));
        if (e.args.size() > 2)
            args += QStringLiteral(", ") + libraryArg('f', *e.args[2], typeOf(*e.args[0]));
        return f.toLower() + u'(' + args + u')' + over;
    }
    refuse(e.pos, QStringLiteral("analytic function %1").arg(f));
}

QString Generator::libraryArg(char kind, const Expr &arg, Type first)
{
    if (kind != 'f' || arg.kind == Expr::Null)
        return expr(arg);
    const Type t = typeOf(arg);
    if (first == Type::Number && t == Type::Text)
        return QStringLiteral("ora_to_number(") + expr(arg) + u')';
    if (first == Type::Text && t == Type::Number)
        return QStringLiteral("ora_num_text(") + expr(arg) + u')';
    return expr(arg);
}

QString Generator::libraryCall(const Expr &e, const LibraryFunction &f, const QStringList &extra)
{
    QStringList args;
    const Type first = e.args.empty() ? Type::Unknown : typeOf(*e.args[0]);
    for (size_t i = 0; i < e.args.size(); ++i)
        args.append(libraryArg(libraryArgKind(f, i), *e.args[i], first));
    return libraryTarget(f) + u'(' + (args + extra).join(QStringLiteral(", ")) + u')';
}

QString Generator::libraryForm(const Expr &e)
{
    const QString &f = e.text;
    const size_t n = e.args.size();
    auto named = [&](const char *name) { return libraryCall(e, *libraryFunction(QLatin1String(name), n)); };
    if (f == QLatin1String("TRIM") && !e.qualifier.isEmpty())
        return named("TRIM FROM");
    if ((f == QLatin1String("LTRIM") || f == QLatin1String("RTRIM")) && n == 2)
        return libraryCall(e, *libraryFunction(f, n));
    if (f == QLatin1String("TO_NUMBER") && n == 2)
        return named("TO_NUMBER FORMAT");
    if (f == QLatin1String("TO_CHAR") && n == 2 && !e.star && !toCharOfDate(e))
        return named("TO_CHAR NUMBER");
    if ((f == QLatin1String("TRUNC") || f == QLatin1String("ROUND")) && (n == 1 || n == 2) && !e.star &&
        typeOf(*e.args[0]) == Type::Date) {
        const bool day = n == 1 || (e.args[1]->kind == Expr::String && e.args[1]->text.toUpper() == u"DD");
        if (f == QLatin1String("TRUNC") && day)
            return {}; // the core's day
        const LibraryFunction &lf = *libraryFunction(f + QStringLiteral(" DATE"), 2);
        return n == 1 ? libraryCall(e, lf, {QStringLiteral("'DD'")}) : libraryCall(e, lf);
    }
    if (f == QLatin1String("NVL2")) {
        arity(e, 3, 3);
        return QStringLiteral("(CASE WHEN ") + expr(*e.args[0]) + QStringLiteral(" IS NOT NULL THEN ") +
               expr(*e.args[1]) + QStringLiteral(" ELSE ") + libraryArg('f', *e.args[2], typeOf(*e.args[1])) +
               QStringLiteral(" END)");
    }
    static const QSet<QString> builtIn = {
        QStringLiteral("TRIM"),      QStringLiteral("LTRIM"), QStringLiteral("RTRIM"), QStringLiteral("TO_CHAR"),
        QStringLiteral("TO_NUMBER"), QStringLiteral("TRUNC"), QStringLiteral("ROUND")};
    if (builtIn.contains(f))
        return {};
    if (const LibraryFunction *lf = libraryFunction(f, n); lf && !e.star)
        return libraryCall(e, *lf);
    if (const LibraryFunction *lf = libraryFunctionNamed(f))
        arity(e, size_t(lf->minArgs), size_t(lf->maxArgs)); // the wrong number of arguments
    return {};
}

QString Generator::param(const Expr &e)
{
    return QStringLiteral("?%1").arg(e.index);
}

Generated generate(const Statement &st, const QString &sql)
{
    Generator g(sql);
    return g.run(st);
}

} // namespace tipdesk::db::sql
