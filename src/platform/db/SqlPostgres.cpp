#include "platform/db/DbError.h"
#include "platform/db/OracleFunctions.h"
#include "platform/db/SqlGenerator.h"

// PostgreSQL text of the tree. The server types strictly where Oracle converts: where the tree
// shows a text meeting a number, the generator converts as Oracle does; where it cannot tell, it
// calls an overloaded function of tipdesk_ora that the server resolves by the actual type.
namespace tipdesk::db::sql {

namespace {

void annotate(Expr &e, const QHash<QString, Type> &types);

void annotate(Select &s, const QHash<QString, Type> &types)
{
    for (CommonTable &t : s.with)
        annotate(*t.select, types);
    if (s.connectByLevel)
        annotate(*s.connectByLevel, types);
    for (SelectItem &item : s.items) {
        if (item.expr)
            annotate(*item.expr, types);
    }
    for (TableRef &ref : s.from) {
        if (ref.sub)
            annotate(*ref.sub, types);
        if (ref.on)
            annotate(*ref.on, types);
    }
    for (ExprPtr *e : {&s.where, &s.having}) {
        if (*e)
            annotate(**e, types);
    }
    for (ExprPtr &e : s.groupBy)
        annotate(*e, types);
    for (auto &c : s.compounds)
        annotate(*c.second, types);
    for (OrderItem &o : s.orderBy)
        annotate(*o.expr, types);
}

void annotate(Expr &e, const QHash<QString, Type> &types)
{
    if (e.kind == Expr::Column && !e.quoted)
        e.rawType = types.value(e.text.toUpper(), Type::Unknown);
    for (ExprPtr &a : e.args)
        annotate(*a, types);
    if (e.sub)
        annotate(*e.sub, types);
    if (e.over) {
        for (ExprPtr &p : e.over->partitionBy)
            annotate(*p, types);
        for (OrderItem &o : e.over->orderBy)
            annotate(*o.expr, types);
    }
}

const QString kSchema = QStringLiteral("tipdesk_ora.");

class PostgresGenerator : public Generator {
public:
    using Generator::Generator;

protected:
    QString param(const Expr &e) override { return QStringLiteral("$%1").arg(e.index); }

    // A comma binds looser than JOIN on the server: a later ON could not name the tables before
    // the comma.
    QString commaJoin(const Select &s) const override
    {
        for (const TableRef &ref : s.from) {
            if (ref.join != TableRef::Comma)
                return QStringLiteral(" CROSS JOIN ");
        }
        return QStringLiteral(", ");
    }

    QString derivedTableAlias(int i) const override { return QStringLiteral(" tipdesk_d%1").arg(i + 1); }

    // The server folds unquoted names to lower case: a derived table's column named without quotes
    // is given its lower-case name, so that the outer statement's unquoted references find it. The
    // statement's own result keeps Oracle's names; one longer than the server's 63 bytes gets a
    // stand-in that the backend maps back.
    static QString shortAlias(int index) { return QStringLiteral("tipdesk_c%1").arg(index + 1); }

    QString itemAlias(const SelectItem &item, int index, bool top) override
    {
        const QString name = itemName(item, top);
        if (!top)
            return quoteIdent(foldsCase(item) ? name.toLower() : name);
        if (name.toUtf8().size() > 63) {
            m_out.longNames.insert(shortAlias(index), name);
            return quoteIdent(shortAlias(index));
        }
        return quoteIdent(name);
    }

    // ORDER BY may name an item by its alias, in any case when the alias is unquoted.
    QString orderExpr(const Select &s, const Expr &e) override
    {
        if (const SelectItem *item = aliasedItem(s, e))
            return itemAlias(*item, int(item - s.items.data()), m_topSelect == &s);
        return expr(e);
    }

    QString own(const char *name, const QStringList &args)
    {
        return kSchema + QLatin1String(name) + u'(' + args.join(QStringLiteral(", ")) + u')';
    }

    // The value as text, as Oracle converts a number or a date where text is wanted.
    QString asText(const Expr &e)
    {
        if (e.kind == Expr::String || e.kind == Expr::Null || typeOf(e) == Type::Text)
            return expr(e);
        return own("ora_num_text", {expr(e)});
    }

    QString asNumber(const Expr &e)
    {
        if (e.kind == Expr::Number || e.kind == Expr::Null || typeOf(e) == Type::Number)
            return expr(e);
        return own("ora_to_number", {expr(e)});
    }

    QString as(Type t, const Expr &e)
    {
        switch (t) {
        case Type::Number:
            return asNumber(e);
        case Type::Text:
            return asText(e);
        case Type::Date:
        case Type::Unknown:
            break;
        }
        return expr(e);
    }

    QString function(const Expr &e) override
    {
        const QString &f = e.text;
        if (e.internal) {
            QStringList a;
            for (const ExprPtr &x : e.args)
                a.append(expr(*x));
            return own(e.text.toLatin1().constData(), a);
        }
        if (e.over)
            return analytic(e);
        if (const QString lib = libraryForm(e); !lib.isNull())
            return lib;
        if (e.distinct && f != QLatin1String("COUNT") && f != QLatin1String("SUM") && f != QLatin1String("AVG"))
            refuse(e.pos, QStringLiteral("DISTINCT in %1").arg(f));
        const QString distinct = e.distinct ? QStringLiteral("DISTINCT ") : QString();
        if (f == QLatin1String("COUNT")) {
            if (e.star)
                return QStringLiteral("count(*)");
            arity(e, 1, 1);
            return QStringLiteral("count(") + distinct + expr(*e.args[0]) + u')';
        }
        if (f == QLatin1String("SUM") || f == QLatin1String("AVG")) {
            arity(e, 1, 1);
            return own("ora_num", {f.toLower() + u'(' + distinct + asNumber(*e.args[0]) + u')'});
        }
        if (f == QLatin1String("MAX") || f == QLatin1String("MIN")) {
            arity(e, 1, 1);
            return (f == QLatin1String("MAX") ? QStringLiteral("max(") : QStringLiteral("min(")) + expr(*e.args[0]) +
                   u')';
        }
        if (f == QLatin1String("DECODE"))
            return decode(e);
        if (f == QLatin1String("CONCAT")) {
            arity(e, 2, 2);
            return own("ora_concat", {asText(*e.args[0]), asText(*e.args[1])});
        }
        if (f == QLatin1String("SUBSTR")) {
            arity(e, 2, 3);
            QStringList a{asText(*e.args[0]), asNumber(*e.args[1])};
            if (e.args.size() == 3)
                a.append(asNumber(*e.args[2]));
            return own("ora_substr", a);
        }
        if (f == QLatin1String("TRUNC") || f == QLatin1String("ROUND")) {
            arity(e, 1, 2);
            if (truncatesDate(e))
                return own("ora_trunc_date", {expr(*e.args[0])});
            QStringList a{asNumber(*e.args[0])};
            if (e.args.size() == 2)
                a.append(asNumber(*e.args[1]));
            return own(f == QLatin1String("TRUNC") ? "ora_trunc" : "ora_round", a);
        }
        if (f == QLatin1String("TO_NUMBER")) {
            arity(e, 1, 1);
            return own("ora_to_number", {expr(*e.args[0])});
        }
        if (f == QLatin1String("TO_CHAR")) {
            if (toCharOfDate(e))
                return own("ora_to_char_date", {expr(*e.args[0]), asText(*e.args[1])});
            return own("ora_num_text", {expr(*e.args[0])});
        }
        if (f == QLatin1String("TO_DATE")) {
            if (e.args.size() == 1)
                refuse(e.pos, QStringLiteral("TO_DATE without a format"));
            arity(e, 2, 2);
            m_out.usesClock = true;
            return own("ora_to_date", {asText(*e.args[0]), asText(*e.args[1])});
        }
        if (f == QLatin1String("UPPER") || f == QLatin1String("LOWER")) {
            arity(e, 1, 1);
            return f.toLower() + u'(' + asText(*e.args[0]) + u')';
        }
        if (f == QLatin1String("ABS")) {
            arity(e, 1, 1);
            return QStringLiteral("abs(") + asNumber(*e.args[0]) + u')';
        }
        if (f == QLatin1String("LENGTH")) {
            arity(e, 1, 1);
            return QStringLiteral("length(") + asText(*e.args[0]) + u')';
        }
        if (f == QLatin1String("TRIM") || f == QLatin1String("LTRIM") || f == QLatin1String("RTRIM")) {
            arity(e, 1, 1);
            return QStringLiteral("nullif(%1(").arg(f.toLower()) + asText(*e.args[0]) + QStringLiteral("), '')");
        }
        refuse(e.pos, QStringLiteral("function %1").arg(f));
    }

    QString libraryTarget(const LibraryFunction &f) const override { return QLatin1String(f.server); }
    QString libraryArg(char kind, const Expr &arg, Type first) override
    {
        switch (kind) {
        case 'n':
            return asNumber(arg);
        case 't':
            return asText(arg);
        case 'f':
            return as(first, arg);
        case 'd': // text where a date is wanted is read as the embedded engine stores dates
            return typeOf(arg) == Type::Text ? own("iso_date", {expr(arg)}) : expr(arg);
        default:
            return expr(arg);
        }
    }
    QString ownFunction(const char *name) const override { return kSchema + QLatin1String(name); }
    // The server puts nulls where Oracle does.
    QString defaultNulls(bool) const override { return {}; }
    QString asNumberText(const Expr &e) override { return asNumber(e); }
    // Oracle's LIKE has no escape character unless one is given; the server's has the backslash.
    QString likeEscape(const Expr &e) override
    {
        return QStringLiteral(" ESCAPE ") + (e.args.size() > 2 ? asText(*e.args[2]) : QStringLiteral("''"));
    }

    QString serverChain(const Expr &e)
    {
        const QString &op = e.text;
        if (op == u'+' && typeOf(e) == Type::Date)
            return foldedSum(e);
        QStringList terms;
        for (const ExprPtr &a : e.args) {
            terms.append(op == QLatin1String("AND") || op == QLatin1String("OR") ? expr(*a)
                         : op == QLatin1String("||")                             ? asText(*a)
                                                                                 : asNumber(*a));
        }
        if (op != QLatin1String("||"))
            return grouped(terms, u' ' + op + u' ');
        // Oracle's || reads null as the empty text, as concat() does; its empty result is null.
        while (terms.size() > 100) {
            QStringList calls;
            for (qsizetype i = 0; i < terms.size(); i += 100)
                calls.append(QStringLiteral("concat(") + terms.mid(i, 100).join(QStringLiteral(", ")) + u')');
            terms = calls;
        }
        return QStringLiteral("nullif(concat(") + terms.join(QStringLiteral(", ")) + QStringLiteral("), '')");
    }

    // DECODE(subject, search, result, …, default): the subject and the searches are compared as
    // the first search's type, a null matching a null; the results take the first result's type.
    QString decode(const Expr &e)
    {
        arity(e, 3, 255);
        const Expr &first = *e.args[1];
        Type t = first.kind == Expr::Null ? Type::Text : typeOf(first);
        if (t == Type::Unknown)
            t = typeOf(*e.args[0]);
        const Type resultType = typeOf(*e.args[2]);
        const QString subject = as(t, *e.args[0]);
        QString out = QStringLiteral("(CASE");
        size_t i = 1;
        for (; i + 1 < e.args.size(); i += 2) {
            out += QStringLiteral(" WHEN %1 IS NOT DISTINCT FROM %2 THEN %3")
                       .arg(subject, as(t, *e.args[i]), as(resultType, *e.args[i + 1]));
        }
        if (i < e.args.size())
            out += QStringLiteral(" ELSE ") + as(resultType, *e.args[i]);
        return out + QStringLiteral(" END)");
    }

    // The type two values are compared as: a number against text compares as numbers.
    static Type comparedAs(const Expr &l, const Expr &r)
    {
        const Type lt = typeOf(l), rt = typeOf(r);
        if (lt == Type::Number || rt == Type::Number)
            return Type::Number;
        return Type::Unknown;
    }

    QString expr(const Expr &e) override
    {
        switch (e.kind) {
        case Expr::Sysdate:
            m_out.usesClock = true;
            return own("ora_sysdate", {});
        case Expr::Unary:
            if (e.text == QLatin1String("NOT"))
                return QStringLiteral("(NOT ") + expr(*e.args[0]) + u')';
            return QStringLiteral("(- ") + asNumber(*e.args[0]) + u')';
        case Expr::Between: {
            Type t = comparedAs(*e.args[0], *e.args[1]);
            if (t == Type::Unknown)
                t = comparedAs(*e.args[0], *e.args[2]);
            return u'(' + as(t, *e.args[0]) + (e.negated ? QStringLiteral(" NOT") : QString()) +
                   QStringLiteral(" BETWEEN ") + as(t, *e.args[1]) + QStringLiteral(" AND ") + as(t, *e.args[2]) + u')';
        }
        case Expr::InList: {
            Type t = Type::Unknown;
            for (size_t i = 1; i < e.args.size() && t == Type::Unknown; ++i)
                t = comparedAs(*e.args[0], *e.args[i]);
            QStringList items;
            for (size_t i = 1; i < e.args.size(); ++i)
                items.append(as(t, *e.args[i]));
            return u'(' + as(t, *e.args[0]) + (e.negated ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN (")) +
                   items.join(QStringLiteral(", ")) + QStringLiteral("))");
        }
        case Expr::Like:
            return u'(' + asText(*e.args[0]) + (e.negated ? QStringLiteral(" NOT LIKE ") : QStringLiteral(" LIKE ")) +
                   asText(*e.args[1]) + likeEscape(e) + u')';
        default:
            return Generator::expr(e);
        }
    }

    QString binary(const Expr &e) override
    {
        if (e.args.size() > 2)
            return serverChain(e);
        const QString &op = e.text;
        const Expr &l = *e.args[0], &r = *e.args[1];
        if (op == QLatin1String("||"))
            return own("ora_concat", {asText(l), asText(r)});
        if (op == QLatin1String("AND") || op == QLatin1String("OR"))
            return u'(' + expr(l) + u' ' + op + u' ' + expr(r) + u')';
        const Type lt = typeOf(l), rt = typeOf(r);
        if (op == u'+' || op == u'-') {
            if (op == u'+' && (lt == Type::Date || rt == Type::Date)) {
                if (lt == Type::Date && rt == Type::Date)
                    throw DbError(
                        QStringLiteral("ORA-00975: date + date not allowed at %1").arg(describePosition(m_sql, e.pos)));
                const Expr &d = lt == Type::Date ? l : r, &n = lt == Type::Date ? r : l;
                return own("ora_date_add", {expr(d), asNumber(n)});
            }
            if (op == u'-' && lt == Type::Date) {
                if (rt == Type::Date)
                    return own("ora_date_diff", {expr(l), expr(r)});
                return own("ora_date_add", {expr(l), QStringLiteral("(- ") + asNumber(r) + u')'});
            }
        }
        if (op == u'+' || op == u'-' || op == u'*')
            return u'(' + asNumber(l) + u' ' + op + u' ' + asNumber(r) + u')';
        if (op == u'/')
            return own("ora_div", {asNumber(l), asNumber(r)});
        const Type t = comparedAs(l, r);
        return u'(' + as(t, l) + u' ' + op + u' ' + as(t, r) + u')';
    }
};

} // namespace

void annotateColumnTypes(Statement &st, const QHash<QString, Type> &types)
{
    if (st.select)
        annotate(*st.select, types);
    if (st.insert) {
        if (st.insert->select)
            annotate(*st.insert->select, types);
        for (ExprPtr &v : st.insert->values)
            annotate(*v, types);
    }
    if (st.del && st.del->where)
        annotate(*st.del->where, types);
}

Generated generatePostgres(const Statement &st, const QString &sql)
{
    PostgresGenerator g(sql);
    return g.run(st);
}

} // namespace tipdesk::db::sql
