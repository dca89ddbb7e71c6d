#include "platform/db/SqlGenerator.h"
#include "platform/db/DbError.h"
#include "platform/db/OracleFunctions.h"
#include "platform/db/SqlAst.h"

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
        keys.append(expr(*key) + (o.desc ? QStringLiteral(" DESC") : QString()));
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
        out.append(positions ? QString::number(i + 1) : expr(e));
    }
    return out;
}

QString Generator::select(const Select &s, bool top)
{
    QString out = QStringLiteral("SELECT ");
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
            // Oracle's one-row table, whether or not the file has it.
            out += QStringLiteral("(SELECT 'X' AS DUMMY)");
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
            o.append(orderExpr(s, *item.expr) + (item.desc ? QStringLiteral(" DESC") : QString()));
        o += tieBreakers(s, true);
        out += QStringLiteral(" ORDER BY ") + o.join(QStringLiteral(", "));
    }
    if (s.limit >= 0)
        out += QStringLiteral(" LIMIT %1").arg(s.limit);
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
    if (f == QLatin1String("NVL")) {
        arity(e, 2, 2);
        // The second value takes the first one's type, as on the server: NVL(flag, 0) is text.
        const Type first = typeOf(*e.args[0]), second = typeOf(*e.args[1]);
        if (first == Type::Text && second == Type::Number)
            return QStringLiteral("ifnull(") + expr(*e.args[0]) + QStringLiteral(", ora_num_text(") + expr(*e.args[1]) +
                   QStringLiteral("))");
        if (first == Type::Number && second == Type::Text)
            return QStringLiteral("ifnull(") + expr(*e.args[0]) + QStringLiteral(", ora_to_number(") +
                   expr(*e.args[1]) + QStringLiteral("))");
        return call("ifnull", e.args);
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
    case Expr::Between:
        return u'(' + expr(*e.args[0]) + (e.negated ? QStringLiteral(" NOT") : QString()) +
               QStringLiteral(" BETWEEN ") + expr(*e.args[1]) + QStringLiteral(" AND ") + expr(*e.args[2]) + u')';
    case Expr::InList: {
        QStringList items;
        for (size_t i = 1; i < e.args.size(); ++i)
            items.append(expr(*e.args[i]));
        return u'(' + expr(*e.args[0]) + (e.negated ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN (")) +
               items.join(QStringLiteral(", ")) + QStringLiteral("))");
    }
    case Expr::InSelect:
        return u'(' + expr(*e.args[0]) + (e.negated ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN (")) +
               select(*e.sub, false) + QStringLiteral("))");
    case Expr::IsNull:
        return u'(' + expr(*e.args[0]) + (e.negated ? QStringLiteral(" IS NOT NULL)") : QStringLiteral(" IS NULL)"));
    case Expr::Like:
        return u'(' + expr(*e.args[0]) + (e.negated ? QStringLiteral(" NOT LIKE ") : QStringLiteral(" LIKE ")) +
               expr(*e.args[1]) + u')';
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

QString Generator::binary(const Expr &e)
{
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
    if (t == Type::Date || (mask.kind == Expr::String && oracle::isDateMask(mask.text)))
        return true;
    refuse(e.pos, QStringLiteral("TO_CHAR with a number format"));
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
