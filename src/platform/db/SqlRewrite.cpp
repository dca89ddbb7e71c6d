#include "platform/db/DbError.h"
#include "platform/db/OracleFunctions.h"
#include "platform/db/SqlAst.h"
#include "platform/db/SqlLibrary.h"

#include <QSet>
#include <algorithm>
#include <functional>

namespace tipdesk::db::sql {

bool isDateColumn(const QString &name)
{
    // The DATE columns of the schema; everything else is text or number.
    static const QSet<QString> dates = {QStringLiteral("REPORT_DATE"), QStringLiteral("REGISTE_DATE"),
                                        QStringLiteral("RECORDDATE")};
    return dates.contains(name.toUpper());
}

Type typeOf(const Expr &e)
{
    switch (e.kind) {
    case Expr::Number:
    case Expr::Rownum:
    case Expr::Level:
        return Type::Number;
    case Expr::String:
        return Type::Text;
    case Expr::Column:
        if (e.rawType != Type::Unknown)
            return e.rawType; // known from the target's own schema
        return isDateColumn(e.text) ? Type::Date : Type::Unknown;
    case Expr::Sysdate:
        return Type::Date;
    case Expr::Raw:
        return e.rawType;
    case Expr::Unary:
        return e.text == u'-' ? Type::Number : Type::Unknown;
    case Expr::Binary: {
        if (e.text == QLatin1String("||"))
            return Type::Text;
        const bool arithmetic = e.text == u'+' || e.text == u'-' || e.text == u'*' || e.text == u'/';
        if (!arithmetic)
            return Type::Unknown;
        if (e.text == u'+') { // a chain: a date plus numbers is a date
            bool date = false;
            for (const ExprPtr &a : e.args)
                date = date || typeOf(*a) == Type::Date;
            return date ? Type::Date : Type::Number;
        }
        const Type l = typeOf(*e.args[0]), r = typeOf(*e.args[1]);
        if (e.text == u'-' && l == Type::Date)
            return r == Type::Date ? Type::Number : Type::Date;
        return Type::Number;
    }
    case Expr::Case:
        return e.args.size() > size_t(e.hasOperand ? 2 : 1) ? typeOf(*e.args[e.hasOperand ? 2 : 1]) : Type::Unknown;
    case Expr::Subquery: {
        const Select &s = *e.sub;
        return !s.items.empty() && s.items[0].expr ? typeOf(*s.items[0].expr) : Type::Unknown;
    }
    case Expr::Func: {
        if (e.internal)
            return e.rawType;
        const QString &f = e.text;
        if (f == QLatin1String("TRIM") && !e.qualifier.isEmpty())
            return Type::Text;
        if (const LibraryFunction *lf = libraryFunction(f, e.args.size()))
            return libraryResultType(*lf, e);
        if (f == QLatin1String("NVL2") && e.args.size() == 3)
            return typeOf(*e.args[1]);
        if ((f == QLatin1String("LAG") || f == QLatin1String("LEAD")) && !e.args.empty())
            return typeOf(*e.args[0]);
        if (f == QLatin1String("TO_DATE") || f == QLatin1String("SYSDATE"))
            return Type::Date;
        if (f == QLatin1String("TRUNC") || f == QLatin1String("ROUND") || f == QLatin1String("MAX") ||
            f == QLatin1String("MIN"))
            return e.args.empty()                                               ? Type::Unknown
                   : typeOf(*e.args[0]) == Type::Date                           ? Type::Date
                   : f == QLatin1String("TRUNC") || f == QLatin1String("ROUND") ? Type::Number
                                                                                : typeOf(*e.args[0]);
        if (f == QLatin1String("DECODE"))
            return e.args.size() >= 3 ? typeOf(*e.args[2]) : Type::Unknown;
        if (f == QLatin1String("TO_CHAR") || f == QLatin1String("SUBSTR") || f == QLatin1String("CONCAT") ||
            f == QLatin1String("UPPER") || f == QLatin1String("LOWER") || f == QLatin1String("TRIM") ||
            f == QLatin1String("LTRIM") || f == QLatin1String("RTRIM"))
            return Type::Text;
        return Type::Number; // COUNT, SUM, AVG, TO_NUMBER, ROUND, ABS, LENGTH
    }
    default:
        return Type::Unknown;
    }
}

namespace {

[[noreturn]] void refuse(const QString &sql, int pos, const QString &what)
{
    throw DbError(QStringLiteral("Unsupported SQL construct %1 at %2").arg(what, describePosition(sql, pos)));
}

// Calls f on every expression of a SELECT's own clauses (not of its subqueries).
void forEachClause(Select &s, const std::function<void(ExprPtr &)> &f)
{
    for (SelectItem &item : s.items) {
        if (item.expr)
            f(item.expr);
    }
    for (TableRef &ref : s.from) {
        if (ref.on)
            f(ref.on);
    }
    if (s.where)
        f(s.where);
    for (ExprPtr &g : s.groupBy)
        f(g);
    if (s.having)
        f(s.having);
    for (OrderItem &o : s.orderBy)
        f(o.expr);
    if (s.connectByLevel)
        f(s.connectByLevel);
}

// The operands of an expression: its arguments and, for an analytic function, its window's.
template <typename F> void forEachOperand(Expr &e, const F &f)
{
    for (ExprPtr &a : e.args)
        f(*a);
    if (e.over) {
        for (ExprPtr &p : e.over->partitionBy)
            f(*p);
        for (OrderItem &o : e.over->orderBy)
            f(*o.expr);
    }
}

// Every SELECT nested in an expression.
void forEachSubselect(Expr &e, const std::function<void(Select &)> &f)
{
    if (e.sub)
        f(*e.sub);
    forEachOperand(e, [&](Expr &a) { forEachSubselect(a, f); });
}

// Visits s and every SELECT inside it, innermost first.
void forEachSelect(Select &s, const std::function<void(Select &)> &f)
{
    for (CommonTable &t : s.with)
        forEachSelect(*t.select, f);
    for (TableRef &ref : s.from) {
        if (ref.sub)
            forEachSelect(*ref.sub, f);
    }
    forEachClause(s, [&](ExprPtr &e) { forEachSubselect(*e, [&](Select &inner) { forEachSelect(inner, f); }); });
    for (auto &c : s.compounds)
        forEachSelect(*c.second, f);
    f(s);
}

void splitConjuncts(ExprPtr e, std::vector<ExprPtr> &out)
{
    if (!e)
        return;
    if (e->kind == Expr::Binary && e->text == QLatin1String("AND")) {
        for (ExprPtr &a : e->args)
            splitConjuncts(std::move(a), out);
        return;
    }
    out.push_back(std::move(e));
}

ExprPtr andAll(std::vector<ExprPtr> parts)
{
    if (parts.size() <= 1)
        return parts.empty() ? nullptr : std::move(parts[0]);
    auto e = std::make_unique<Expr>();
    e->kind = Expr::Binary;
    e->text = QStringLiteral("AND");
    e->pos = parts.front()->pos;
    e->end = parts.back()->end;
    e->args = std::move(parts);
    return e;
}

// Columns of an expression outside its subqueries.
void collectColumns(Expr &e, std::vector<Expr *> &out)
{
    if (e.kind == Expr::Column)
        out.push_back(&e);
    forEachOperand(e, [&](Expr &a) { collectColumns(a, out); });
}

// Columns and LEVELs of an expression outside its subqueries.
void collectLevelsAndColumns(Expr &e, std::vector<Expr *> &out)
{
    if (e.kind == Expr::Column || e.kind == Expr::Level)
        out.push_back(&e);
    forEachOperand(e, [&](Expr &a) { collectLevelsAndColumns(a, out); });
}

// The name a FROM item is referred to by: its alias, else its name without a schema prefix (a
// quoted part may hold dots); empty for an unaliased derived table.
QString withoutSchema(const QString &name)
{
    if (name.endsWith(u'"'))
        return name.mid(name.lastIndexOf(u'"', name.size() - 2));
    return name.section(u'.', -1);
}

QString refName(const TableRef &ref)
{
    if (!ref.alias.isEmpty())
        return ref.alias;
    if (ref.sub)
        return {};
    return withoutSchema(ref.name);
}

int findTable(const Select &s, const QString &qualifier)
{
    for (size_t i = 0; i < s.from.size(); ++i) {
        const QString name = refName(s.from[i]);
        if (!name.isEmpty() && name.compare(qualifier, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

// Oracle gives the columns of "*" in the order of the FROM list. Before the tables move, a bare
// "*" becomes "q.*" for each of them in that order; an unaliased derived table gets a name for it.
void spellOutStar(Select &s)
{
    const bool bare = std::any_of(s.items.begin(), s.items.end(),
                                  [](const SelectItem &item) { return !item.expr && item.qualifier.isEmpty(); });
    if (!bare)
        return;
    QStringList names;
    for (size_t i = 0; i < s.from.size(); ++i) {
        TableRef &ref = s.from[i];
        if (refName(ref).isEmpty()) {
            QString alias = QStringLiteral("ORA_FROM%1").arg(i + 1);
            while (findTable(s, alias) >= 0)
                alias += u'_';
            ref.alias = alias;
        }
        names.append(refName(ref));
    }
    std::vector<SelectItem> items;
    for (SelectItem &item : s.items) {
        if (item.expr || !item.qualifier.isEmpty()) {
            items.push_back(std::move(item));
            continue;
        }
        for (const QString &name : names) {
            SelectItem q;
            q.qualifier = name;
            items.push_back(std::move(q));
        }
    }
    s.items = std::move(items);
}

// a.x = b.x(+): b joins a as a LEFT JOIN whose ON holds every condition that marks b.
void rewriteOuterJoins(Select &s, const QString &sql)
{
    std::vector<ExprPtr> conjuncts;
    splitConjuncts(std::move(s.where), conjuncts);
    std::vector<ExprPtr> remaining;
    std::vector<std::vector<ExprPtr>> onConds(s.from.size());
    bool any = false;
    for (ExprPtr &c : conjuncts) {
        std::vector<Expr *> cols;
        collectColumns(*c, cols);
        int outer = -1;
        for (Expr *col : cols) {
            if (!col->outerMark)
                continue;
            if (col->qualifier.isEmpty())
                refuse(sql, col->pos, QStringLiteral("'(+)' on an unqualified column"));
            const int t = findTable(s, col->qualifier);
            if (t < 0)
                refuse(sql, col->pos, QStringLiteral("'(+)' on an unknown table '%1'").arg(col->qualifier));
            if (outer >= 0 && outer != t)
                refuse(sql, col->pos, QStringLiteral("'(+)' on two tables in one condition"));
            outer = t;
        }
        if (outer < 0) {
            remaining.push_back(std::move(c));
            continue;
        }
        if (c->kind == Expr::Binary && c->text == QLatin1String("OR"))
            refuse(sql, c->pos, QStringLiteral("'(+)' inside OR"));
        for (Expr *col : cols)
            col->outerMark = false;
        onConds[size_t(outer)].push_back(std::move(c));
        any = true;
    }
    if (!any) {
        s.where = andAll(std::move(remaining));
        return;
    }
    for (const TableRef &ref : s.from) {
        if (ref.join != TableRef::Comma)
            refuse(sql, ref.pos, QStringLiteral("'(+)' together with JOIN"));
    }
    // Inner tables keep their order; each outer table follows the tables its conditions name.
    const size_t n = s.from.size();
    std::vector<QSet<int>> deps(n);
    for (size_t t = 0; t < n; ++t) {
        for (ExprPtr &c : onConds[t]) {
            std::vector<Expr *> cols;
            collectColumns(*c, cols);
            for (Expr *col : cols) {
                const int d = col->qualifier.isEmpty() ? -1 : findTable(s, col->qualifier);
                if (d >= 0 && size_t(d) != t && !onConds[size_t(d)].empty())
                    deps[t].insert(d);
            }
        }
    }
    std::vector<int> order;
    std::vector<bool> placed(n, false);
    for (size_t t = 0; t < n; ++t) {
        if (onConds[t].empty()) {
            order.push_back(int(t));
            placed[t] = true;
        }
    }
    if (order.empty())
        refuse(sql, s.pos, QStringLiteral("'(+)' on every table"));
    bool progress = true;
    while (order.size() < n && progress) {
        progress = false;
        for (size_t t = 0; t < n; ++t) {
            if (placed[t])
                continue;
            bool ready = true;
            for (int d : deps[t])
                ready = ready && placed[size_t(d)];
            if (ready) {
                order.push_back(int(t));
                placed[t] = true;
                progress = true;
            }
        }
    }
    if (order.size() < n)
        throw DbError(QStringLiteral("ORA-01416: two tables cannot be outer-joined to each other"));
    for (size_t i = 0; i < n; ++i) {
        if (order[i] != int(i)) {
            spellOutStar(s);
            break;
        }
    }
    std::vector<TableRef> from;
    for (int t : order) {
        TableRef ref = std::move(s.from[size_t(t)]);
        if (!onConds[size_t(t)].empty()) {
            ref.join = TableRef::Left;
            ref.on = andAll(std::move(onConds[size_t(t)]));
        } else {
            ref.join = TableRef::Comma;
        }
        from.push_back(std::move(ref));
    }
    s.from = std::move(from);
    s.where = andAll(std::move(remaining));
}

bool containsRownum(const Expr &e)
{
    if (e.kind == Expr::Rownum)
        return true;
    for (const ExprPtr &a : e.args) {
        if (containsRownum(*a))
            return true;
    }
    return false;
}

// The rows a condition on ROWNUM keeps. Oracle numbers a row when it passes the rest of the WHERE
// clause and keeps the number only if the row passes this one too, so the rows kept are always the
// first ones: as many as the numbers 1, 2, … satisfy the condition in a row. -1: all of them.
qint64 rownumKeeps(QString op, double v, bool rownumOnRight)
{
    if (rownumOnRight)
        op = op == u'<'                  ? QStringLiteral(">")
             : op == u'>'                ? QStringLiteral("<")
             : op == QLatin1String("<=") ? QStringLiteral(">=")
             : op == QLatin1String(">=") ? QStringLiteral("<=")
                                         : op;
    if (op == QLatin1String("<="))
        return v < 1 ? 0 : qint64(std::min(std::floor(v), 9.0e18));
    if (op == u'<')
        return v <= 1 ? 0 : qint64(std::min(std::ceil(v), 9.0e18)) - 1;
    if (op == u'=')
        return v == 1.0 ? 1 : 0;
    if (op == QLatin1String(">="))
        return v <= 1 ? -1 : 0;
    if (op == u'>')
        return v < 1 ? -1 : 0;
    if (op == QLatin1String("<>"))
        return v == std::floor(v) && v >= 1 ? qint64(std::min(v, 9.0e18)) - 1 : -1;
    return -2;
}

// The rows kept by a condition of ROWNUM against a number (a comparison or BETWEEN), -1 for all,
// -2 if the condition is not of that form.
qint64 rownumCondition(const Expr &c)
{
    if (c.kind == Expr::Binary && c.args.size() == 2) {
        const Expr &l = *c.args[0], &r = *c.args[1];
        if (l.kind == Expr::Rownum && r.kind == Expr::Number)
            return rownumKeeps(c.text, r.text.toDouble(), false);
        if (r.kind == Expr::Rownum && l.kind == Expr::Number)
            return rownumKeeps(c.text, l.text.toDouble(), true);
    }
    if (c.kind == Expr::Between && !c.negated && c.args[0]->kind == Expr::Rownum && c.args[1]->kind == Expr::Number &&
        c.args[2]->kind == Expr::Number) {
        const qint64 low = rownumKeeps(QStringLiteral(">="), c.args[1]->text.toDouble(), false);
        return low == 0 ? 0 : rownumKeeps(QStringLiteral("<="), c.args[2]->text.toDouble(), false);
    }
    return -2;
}

bool isAggregate(const Expr &e)
{
    static const QSet<QString> names = {QStringLiteral("COUNT"), QStringLiteral("SUM"), QStringLiteral("AVG"),
                                        QStringLiteral("MIN"), QStringLiteral("MAX")};
    return e.kind == Expr::Func && !e.internal && !e.over && names.contains(e.text);
}

// Whether an expression (outside its subqueries) aggregates or is an analytic function.
bool aggregatesOrWindows(Expr &e)
{
    if (isAggregate(e) || e.over)
        return true;
    bool found = false;
    forEachOperand(e, [&](Expr &a) { found = found || aggregatesOrWindows(a); });
    return found;
}

// Whether a block does more with its rows than return them: groups, aggregates, analytic
// functions, DISTINCT, sorting, or further SELECTs of a compound.
bool shapesRows(Select &s)
{
    if (!s.groupBy.empty() || s.having || s.distinct || !s.orderBy.empty() || !s.compounds.empty())
        return true;
    bool found = false;
    for (SelectItem &item : s.items)
        found = found || (item.expr && aggregatesOrWindows(*item.expr));
    return found;
}

// ROWNUM's first rows, taken before the block groups, aggregates, sorts or removes duplicates: the
// FROM and WHERE clauses move into a derived table limited to those rows, which hands the block
// the columns it reads.
void limitBeforeShaping(Select &s, qint64 limit, const QString &sql)
{
    const QString name = QStringLiteral("ORA_ROWS");
    auto inner = std::make_unique<Select>();
    inner->pos = s.pos;
    inner->from = std::move(s.from);
    inner->where = std::move(s.where);
    inner->connectByLevel = std::move(s.connectByLevel);
    inner->connectByLess = s.connectByLess;
    inner->limit = limit;
    const bool star = std::any_of(s.items.begin(), s.items.end(), [](const SelectItem &i) { return !i.expr; });
    if (star && inner->from.size() > 1)
        refuse(sql, s.pos, QStringLiteral("ROWNUM with '*' over several tables in a grouped or sorted query"));
    // The block's own columns and those its subqueries take from it.
    std::vector<Expr *> columns;
    // An ORDER BY name that is an item's alias stays as it is.
    std::vector<const Expr *> itemNames;
    for (const OrderItem &o : s.orderBy) {
        const Expr &k = *o.expr;
        for (const SelectItem &item : s.items) {
            if (k.kind == Expr::Column && k.qualifier.isEmpty() && !k.quoted && item.expr && !item.aliasQuoted &&
                item.alias.compare(k.text, Qt::CaseInsensitive) == 0)
                itemNames.push_back(&k);
        }
    }
    auto own = [&](Expr &c) {
        if (std::find(itemNames.begin(), itemNames.end(), &c) != itemNames.end())
            return false;
        return c.kind == Expr::Level ||
               (c.kind == Expr::Column && (c.qualifier.isEmpty() || findTable(*inner, c.qualifier) >= 0));
    };
    forEachClause(s, [&](ExprPtr &e) {
        std::vector<Expr *> cols;
        collectLevelsAndColumns(*e, cols);
        for (Expr *c : cols) {
            if (own(*c))
                columns.push_back(c);
        }
        forEachSubselect(*e, [&](Select &sub) {
            forEachSelect(sub, [&](Select &deep) {
                forEachClause(deep, [&](ExprPtr &de) {
                    std::vector<Expr *> dcols;
                    collectLevelsAndColumns(*de, dcols);
                    for (Expr *c : dcols) {
                        if (c->kind == Expr::Column && !c->qualifier.isEmpty() && findTable(deep, c->qualifier) < 0 &&
                            own(*c))
                            columns.push_back(c);
                    }
                });
            });
        });
    });
    QHash<QString, QString> aliases;
    for (SelectItem &item : s.items) {
        if (item.expr && item.alias.isEmpty() && (item.expr->kind == Expr::Column || item.expr->kind == Expr::Level)) {
            // The column keeps the name it gives the result.
            item.alias = item.expr->kind == Expr::Level ? QStringLiteral("LEVEL") : item.expr->text;
            item.aliasQuoted = item.expr->quoted;
        }
        if (!item.expr) {
            SelectItem copy;
            copy.qualifier = item.qualifier;
            inner->items.push_back(std::move(copy));
            item.qualifier = item.qualifier.isEmpty() ? QString() : name;
        }
    }
    for (Expr *c : columns) {
        if (star && c->kind == Expr::Column) {
            c->qualifier = name; // "*" hands the block every column under its own name
            continue;
        }
        const QString key = c->kind == Expr::Level
                                ? QStringLiteral("LEVEL")
                                : c->qualifier.toUpper() + u'.' + (c->quoted ? c->text : c->text.toUpper());
        QString alias = aliases.value(key);
        if (alias.isEmpty()) {
            alias = QStringLiteral("ORA_C%1").arg(aliases.size() + 1);
            aliases.insert(key, alias);
            SelectItem item;
            item.expr = std::make_unique<Expr>();
            Expr &copy = *item.expr;
            copy.kind = c->kind;
            copy.text = c->text;
            copy.qualifier = c->qualifier;
            copy.quoted = c->quoted;
            copy.rawType = c->rawType;
            copy.pos = c->pos;
            copy.end = c->end;
            item.alias = alias;
            inner->items.push_back(std::move(item));
        }
        if (c->kind == Expr::Level)
            c->rawType = Type::Number;
        c->kind = Expr::Column;
        c->qualifier = name;
        c->text = alias;
        c->quoted = false;
    }
    if (inner->items.empty()) {
        SelectItem one;
        one.expr = std::make_unique<Expr>();
        one.expr->kind = Expr::Number;
        one.expr->text = QStringLiteral("1");
        one.alias = QStringLiteral("ORA_ONE");
        inner->items.push_back(std::move(one));
    }
    TableRef ref;
    ref.sub = std::move(inner);
    ref.alias = name;
    ref.pos = s.pos;
    s.from.clear();
    s.from.push_back(std::move(ref));
}

// The types of a SELECT's result columns by upper-cased name (names given twice are left out).
QHash<QString, Type> resultTypes(const Select &sub, const QStringList &names = {})
{
    QHash<QString, Type> out;
    QSet<QString> twice;
    for (size_t i = 0; i < sub.items.size(); ++i) {
        const SelectItem &item = sub.items[i];
        if (!item.expr)
            continue;
        QString name = i < size_t(names.size())          ? names[qsizetype(i)]
                       : !item.alias.isEmpty()           ? item.alias
                       : item.expr->kind == Expr::Column ? item.expr->text
                                                         : QString();
        if (name.isEmpty())
            continue;
        name = name.toUpper();
        if (out.contains(name))
            twice.insert(name);
        out.insert(name, typeOf(*item.expr));
    }
    for (const QString &n : twice)
        out.remove(n);
    return out;
}

// A column read from a derived table or a WITH table takes the type of the item that makes it,
// so that a comparison with a number converts as Oracle does: (SELECT '02' c FROM dual) WHERE c = 2.
void typeDerivedColumns(Select &s, const QHash<QString, QHash<QString, Type>> &commonTables)
{
    QHash<QString, QHash<QString, Type>> byName;
    bool allDerived = !s.from.empty();
    for (const TableRef &ref : s.from) {
        const QString name = refName(ref).toUpper();
        if (ref.sub)
            byName.insert(name, resultTypes(*ref.sub));
        else if (commonTables.contains(ref.name.toUpper()))
            byName.insert(name, commonTables.value(ref.name.toUpper()));
        else
            allDerived = false;
    }
    if (byName.isEmpty())
        return;
    forEachClause(s, [&](ExprPtr &e) {
        std::vector<Expr *> cols;
        collectColumns(*e, cols);
        for (Expr *c : cols) {
            if (c->rawType != Type::Unknown || c->quoted)
                continue;
            const QString column = c->text.toUpper();
            if (!c->qualifier.isEmpty()) {
                c->rawType = byName.value(c->qualifier.toUpper()).value(column, Type::Unknown);
                continue;
            }
            if (!allDerived)
                continue;
            int found = 0;
            for (auto it = byName.cbegin(); it != byName.cend(); ++it) {
                if (it.value().contains(column)) {
                    ++found;
                    c->rawType = it.value().value(column);
                }
            }
            if (found != 1)
                c->rawType = Type::Unknown;
        }
    });
}

// WHERE ROWNUM <= n (or < n, = 1 …) keeps the first rows that pass the rest of the clause, before
// the block does anything else with them.
void rewriteRownum(Select &s, const QString &sql)
{
    if (!s.where || !containsRownum(*s.where))
        return;
    std::vector<ExprPtr> conjuncts;
    splitConjuncts(std::move(s.where), conjuncts);
    std::vector<ExprPtr> remaining;
    qint64 limit = -1;
    for (ExprPtr &c : conjuncts) {
        const qint64 keeps = rownumCondition(*c);
        if (keeps >= -1) {
            if (keeps >= 0)
                limit = limit < 0 ? keeps : std::min(limit, keeps);
            continue;
        }
        if (containsRownum(*c))
            refuse(sql, c->pos, QStringLiteral("ROWNUM in this condition"));
        remaining.push_back(std::move(c));
    }
    s.where = andAll(std::move(remaining));
    if (limit < 0)
        return;
    if (shapesRows(s))
        limitBeforeShaping(s, limit, sql);
    else
        s.limit = s.limit < 0 ? limit : std::min(s.limit, limit);
}

// Whether e has at most `budget` nodes. A rewrite copies only small operands: the copies of a large
// one, nested in another rewritten condition, would double the statement at every level.
bool isSmall(const Expr &e, int &budget)
{
    if (--budget < 0)
        return false;
    for (const ExprPtr &a : e.args) {
        if (!isSmall(*a, budget))
            return false;
    }
    return true;
}

bool isSmall(const Expr &e)
{
    int budget = 32;
    return isSmall(e, budget);
}

ExprPtr clone(const Expr &e)
{
    if (e.sub || e.over)
        return nullptr;
    auto c = std::make_unique<Expr>();
    c->kind = e.kind;
    c->text = e.text;
    c->qualifier = e.qualifier;
    c->quoted = e.quoted;
    c->distinct = e.distinct;
    c->star = e.star;
    c->negated = e.negated;
    c->hasOperand = e.hasOperand;
    c->hasElse = e.hasElse;
    c->internal = e.internal;
    c->index = e.index;
    c->pos = e.pos;
    c->end = e.end;
    c->rawType = e.rawType;
    for (const ExprPtr &a : e.args) {
        ExprPtr ac = clone(*a);
        if (!ac)
            return nullptr;
        c->args.push_back(std::move(ac));
    }
    return c;
}

bool isStringLiteral(const Expr &e, const char *upperValue)
{
    return e.kind == Expr::String && e.text.toUpper() == QLatin1String(upperValue);
}

// TO_DATE(TO_CHAR(d, 'YYYYMMDD'), 'YYYYMMDD') or TRUNC(d), d a DATE: the day of d. Gives d.
Expr *dayOf(Expr &e)
{
    if (e.kind != Expr::Func)
        return nullptr;
    if (e.text == QLatin1String("TRUNC") && e.args.size() == 1 && typeOf(*e.args[0]) == Type::Date)
        return e.args[0].get();
    if (e.text == QLatin1String("TO_DATE") && e.args.size() == 2 && isStringLiteral(*e.args[1], "YYYYMMDD")) {
        Expr &inner = *e.args[0];
        if (inner.kind == Expr::Func && inner.text == QLatin1String("TO_CHAR") && inner.args.size() == 2 &&
            isStringLiteral(*inner.args[1], "YYYYMMDD") && typeOf(*inner.args[0]) == Type::Date)
            return inner.args[0].get();
    }
    return nullptr;
}

// A date known to fall on midnight: TO_DATE with a mask of days only, or the day of a date.
bool isMidnight(Expr &e)
{
    if (dayOf(e))
        return true;
    if (e.kind == Expr::Func && e.text == QLatin1String("TO_DATE") && e.args.size() == 2 &&
        e.args[1]->kind == Expr::String) {
        const QString mask = e.args[1]->text.toUpper();
        return oracle::isDateMask(mask) && !mask.contains(QLatin1String("HH")) && !mask.contains(QLatin1String("MI")) &&
               !mask.contains(QLatin1String("SS"));
    }
    return false;
}

ExprPtr compare(const QString &op, ExprPtr l, ExprPtr r)
{
    auto e = std::make_unique<Expr>();
    e->kind = Expr::Binary;
    e->text = op;
    e->pos = l->pos;
    e->end = r->end;
    e->args.push_back(std::move(l));
    e->args.push_back(std::move(r));
    return e;
}

// A call of one of our own functions, with one argument (b null) or two.
ExprPtr internalCall(const char *name, ExprPtr a, ExprPtr b, Type type)
{
    auto e = std::make_unique<Expr>();
    e->kind = Expr::Func;
    e->internal = true;
    e->text = QLatin1String(name);
    e->rawType = type;
    e->pos = a->pos;
    e->end = a->end;
    e->args.push_back(std::move(a));
    if (b)
        e->args.push_back(std::move(b));
    return e;
}

ExprPtr numberLiteral(int v)
{
    auto e = std::make_unique<Expr>();
    e->kind = Expr::Number;
    e->text = QString::number(v);
    return e;
}

// Day conditions on a DATE column become ranges on the column itself, so its index serves them:
//   day(d) = M (M a midnight date)           →  d >= M AND d < M + 1
//   TO_CHAR(d, 'YYYYMMDD') BETWEEN a AND b    →  d in the ISO range of the keys, AND the original
void rewriteDayRanges(ExprPtr &e)
{
    for (ExprPtr &a : e->args)
        rewriteDayRanges(a);
    if (e->kind == Expr::Binary && e->text == u'=') {
        for (int side = 0; side < 2; ++side) {
            Expr *d = dayOf(*e->args[size_t(side)]);
            Expr &other = *e->args[size_t(1 - side)];
            if (!d || !isMidnight(other) || !isSmall(*d) || !isSmall(other))
                continue;
            ExprPtr col = clone(*d), col2 = clone(*d), lo = clone(other), hi = clone(other);
            if (!col || !col2 || !lo || !hi)
                continue;
            const int pos = e->pos, end = e->end;
            ExprPtr upper = internalCall("ora_date_add", std::move(hi), numberLiteral(1), Type::Date);
            std::vector<ExprPtr> parts;
            parts.push_back(compare(QStringLiteral(">="), std::move(col), std::move(lo)));
            parts.push_back(compare(QStringLiteral("<"), std::move(col2), std::move(upper)));
            e = andAll(std::move(parts));
            e->pos = pos;
            e->end = end;
            return;
        }
    }
    if (e->kind == Expr::Between && !e->negated) {
        Expr &v = *e->args[0];
        if (v.kind == Expr::Func && v.text == QLatin1String("TO_CHAR") && v.args.size() == 2 &&
            isStringLiteral(*v.args[1], "YYYYMMDD") && typeOf(*v.args[0]) == Type::Date && isSmall(*v.args[0]) &&
            isSmall(*e->args[1]) && isSmall(*e->args[2])) {
            ExprPtr c1 = clone(*v.args[0]), c2 = clone(*v.args[0]), lo = clone(*e->args[1]), hi = clone(*e->args[2]);
            if (!c1 || !c2 || !lo || !hi)
                return;
            const int pos = e->pos, end = e->end;
            std::vector<ExprPtr> parts;
            parts.push_back(compare(QStringLiteral(">="), std::move(c1),
                                    internalCall("ora_daykey_bound", std::move(lo), numberLiteral(0), Type::Text)));
            parts.push_back(compare(QStringLiteral("<="), std::move(c2),
                                    internalCall("ora_daykey_bound", std::move(hi), numberLiteral(1), Type::Text)));
            parts.push_back(std::move(e));
            e = andAll(std::move(parts));
            e->pos = pos;
            e->end = end;
        }
    }
}

// A day-key column of a statistics table named in this SELECT: text in every row (the column's
// affinity makes it so), which an index range on the column needs for a prefix to mean a range.
bool isDayKeyColumn(const Select &s, const Expr &e)
{
    if (e.kind != Expr::Column || e.quoted || e.text.compare(QLatin1String("STAT_DAY"), Qt::CaseInsensitive) != 0)
        return false;
    auto statTable = [](const TableRef &ref) {
        return !ref.sub && ref.name.section(u'.', -1).startsWith(QLatin1String("STAT_HUB"), Qt::CaseInsensitive);
    };
    if (!e.qualifier.isEmpty()) {
        const int t = findTable(s, e.qualifier);
        return t >= 0 && statTable(s.from[size_t(t)]);
    }
    bool any = false;
    for (const TableRef &ref : s.from) {
        if (ref.sub)
            return false; // the name might be a derived table's column of any type
        any = any || statTable(ref);
    }
    return any;
}

// SUBSTR(k, 1[, n]) = X, k a day key and X a parameter or a text: the rows where X is a prefix
// of k. The condition stays, and is first narrowed to the index range of keys starting with X:
//   k >= X AND k < ora_prefix_end(X) AND SUBSTR(k, 1, n) = X
// Every key that starts with X lies in that range (UTF-8 never holds the byte 0xFF that ends it),
// so the range only lets the index find the rows. Only where the condition's truth alone counts
// (under AND and OR): a range false where the condition is null would differ under NOT.
void rewritePrefixRanges(const Select &s, ExprPtr &e)
{
    if (e->kind == Expr::Binary && (e->text == QLatin1String("AND") || e->text == QLatin1String("OR"))) {
        for (ExprPtr &a : e->args)
            rewritePrefixRanges(s, a);
        return;
    }
    if (e->kind != Expr::Binary || e->text != u'=')
        return;
    for (int side = 0; side < 2; ++side) {
        const Expr &f = *e->args[size_t(side)];
        const Expr &x = *e->args[size_t(1 - side)];
        if (f.kind != Expr::Func || f.internal || f.text != QLatin1String("SUBSTR") || f.args.size() < 2 ||
            f.args.size() > 3 || f.args[1]->kind != Expr::Number || f.args[1]->text != u'1' ||
            !isDayKeyColumn(s, *f.args[0]))
            continue;
        if (x.kind != Expr::Param && x.kind != Expr::String)
            continue;
        // A parameter is compared as the text it gives, as the condition itself compares it.
        auto key = [&x]() {
            ExprPtr k = clone(x);
            return x.kind == Expr::Param ? internalCall("ora_num_text", std::move(k), nullptr, Type::Text)
                                         : std::move(k);
        };
        const int pos = e->pos, end = e->end;
        std::vector<ExprPtr> parts;
        parts.push_back(compare(QStringLiteral(">="), clone(*f.args[0]), key()));
        parts.push_back(compare(QStringLiteral("<"), clone(*f.args[0]),
                                internalCall("ora_prefix_end", key(), nullptr, Type::Text)));
        parts.push_back(std::move(e));
        e = andAll(std::move(parts));
        e->pos = pos;
        e->end = end;
        return;
    }
}

// Whether a SELECT reads only tables of the schema and nothing of the statement around it: one
// level, named tables, every column either qualified by one of them or a column of one of them.
bool standsAlone(Select &s, const QHash<QString, QStringList> &tableColumns)
{
    if (!s.compounds.empty() || s.from.empty())
        return false;
    QStringList names, columns;
    for (const TableRef &ref : s.from) {
        if (ref.sub)
            return false;
        const auto it = tableColumns.constFind(withoutSchema(ref.name).toUpper());
        if (it == tableColumns.constEnd())
            return false;
        names.append(refName(ref).toUpper());
        columns += it.value();
    }
    bool alone = true;
    forEachClause(s, [&](ExprPtr &e) {
        std::vector<Expr *> cols;
        collectColumns(*e, cols);
        forEachSubselect(*e, [&](Select &) { alone = false; });
        for (const Expr *c : cols) {
            const bool own =
                c->qualifier.isEmpty() ? columns.contains(c->text.toUpper()) : names.contains(c->qualifier.toUpper());
            alone = alone && own && !c->quoted;
        }
    });
    return alone;
}

bool sameColumn(const Expr &a, const Expr &b)
{
    return a.kind == Expr::Column && b.kind == Expr::Column && !a.quoted && !b.quoted &&
           a.text.compare(b.text, Qt::CaseInsensitive) == 0 &&
           a.qualifier.compare(b.qualifier, Qt::CaseInsensitive) == 0;
}

// "key IN (SELECT …)" on a grouping key moves from WHERE to HAVING: a group's rows share the key,
// so the same groups remain, and the list is searched once per group instead of once per row.
void filterGroupsByKey(Select &s, const QHash<QString, QStringList> &tableColumns)
{
    if (s.groupBy.empty() || !s.where)
        return;
    std::vector<ExprPtr> conjuncts, rows, groups;
    splitConjuncts(std::move(s.where), conjuncts);
    for (ExprPtr &c : conjuncts) {
        const bool byKey = c->kind == Expr::InSelect && !c->negated &&
                           std::any_of(s.groupBy.begin(), s.groupBy.end(),
                                       [&](const ExprPtr &g) { return sameColumn(*g, *c->args[0]); }) &&
                           standsAlone(*c->sub, tableColumns);
        (byKey ? groups : rows).push_back(std::move(c));
    }
    s.where = andAll(std::move(rows));
    if (groups.empty())
        return;
    if (s.having)
        groups.push_back(std::move(s.having));
    s.having = andAll(std::move(groups));
}

} // namespace

void checkKeyFiltersPerGroup(Statement &st, const QHash<QString, QStringList> &tableColumns)
{
    if (st.select)
        forEachSelect(*st.select, [&](Select &s) { filterGroupsByKey(s, tableColumns); });
}

void rewrite(Statement &st, const QString &sql)
{
    QHash<QString, QHash<QString, Type>> commonTables;
    auto perSelect = [&](Select &s) {
        for (const CommonTable &t : s.with)
            commonTables.insert(t.name.toUpper(), resultTypes(*t.select, t.columns));
        typeDerivedColumns(s, commonTables);
        rewriteOuterJoins(s, sql);
        rewriteRownum(s, sql);
        if (s.where) {
            rewriteDayRanges(s.where);
            rewritePrefixRanges(s, s.where);
        }
        for (TableRef &ref : s.from) {
            if (ref.on) {
                rewriteDayRanges(ref.on);
                rewritePrefixRanges(s, ref.on);
            }
        }
    };
    if (st.select)
        forEachSelect(*st.select, perSelect);
    if (st.insert) {
        if (st.insert->select)
            forEachSelect(*st.insert->select, perSelect);
        for (ExprPtr &v : st.insert->values)
            forEachSubselect(*v, [&](Select &inner) { forEachSelect(inner, perSelect); });
    }
    if (st.del && st.del->where)
        forEachSubselect(*st.del->where, [&](Select &inner) { forEachSelect(inner, perSelect); });
}

} // namespace tipdesk::db::sql
