#include "platform/db/DbError.h"
#include "platform/db/SqlAst.h"

#include <QSet>

namespace tipdesk::db::sql {

QString describePosition(const QString &sql, int pos)
{
    int line = 1, column = 1;
    for (int i = 0; i < pos && i < sql.size(); ++i) {
        if (sql[i] == u'\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return QStringLiteral("line %1, column %2").arg(line).arg(column);
}

namespace {

[[noreturn]] void refuse(const QString &sql, int pos, const QString &what)
{
    throw DbError(QStringLiteral("Unsupported SQL construct %1 at %2").arg(what, describePosition(sql, pos)));
}

bool identStart(QChar c)
{
    return c.isLetter() || c == u'_';
}
bool identPart(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$' || c == u'#';
}

} // namespace

std::vector<Token> tokenize(const QString &sql)
{
    std::vector<Token> out;
    const int n = int(sql.size());
    int i = 0;
    while (i < n) {
        const QChar c = sql[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            while (i < n && sql[i] != u'\n')
                ++i;
            continue;
        }
        if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            const int close = int(sql.indexOf(QStringLiteral("*/"), i + 2));
            if (close < 0)
                refuse(sql, i, QStringLiteral("'/*' (unterminated comment)"));
            i = close + 2;
            continue;
        }
        Token t;
        t.pos = i;
        if (c == u'\'') {
            QString value;
            int j = i + 1;
            for (;;) {
                if (j >= n)
                    throw DbError(QStringLiteral("ORA-01756: quoted string not properly terminated at %1")
                                      .arg(describePosition(sql, i)));
                if (sql[j] == u'\'') {
                    if (j + 1 < n && sql[j + 1] == u'\'') {
                        value += u'\'';
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                value += sql[j++];
            }
            t.kind = Token::String;
            t.text = value;
            i = j;
        } else if (c == u'"') {
            const int close = int(sql.indexOf(u'"', i + 1));
            if (close < 0 || close == i + 1)
                throw DbError(QStringLiteral("ORA-01740: missing double quote in identifier at %1")
                                  .arg(describePosition(sql, i)));
            t.kind = Token::QuotedIdent;
            t.text = sql.mid(i + 1, close - i - 1);
            t.upper = t.text;
            i = close + 1;
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && sql[i + 1].isDigit())) {
            int j = i;
            while (j < n && sql[j].isDigit())
                ++j;
            if (j < n && sql[j] == u'.') {
                ++j;
                while (j < n && sql[j].isDigit())
                    ++j;
            }
            if (j < n && (sql[j] == u'e' || sql[j] == u'E')) {
                int k = j + 1;
                if (k < n && (sql[k] == u'+' || sql[k] == u'-'))
                    ++k;
                if (k < n && sql[k].isDigit()) {
                    while (k < n && sql[k].isDigit())
                        ++k;
                    j = k;
                }
            }
            t.kind = Token::Number;
            t.text = sql.mid(i, j - i);
            i = j;
        } else if (c == u':' && i + 1 < n && identStart(sql[i + 1])) {
            int j = i + 1;
            while (j < n && identPart(sql[j]))
                ++j;
            t.kind = Token::Param;
            t.text = sql.mid(i + 1, j - i - 1);
            t.upper = t.text.toUpper();
            i = j;
        } else if (identStart(c)) {
            int j = i;
            while (j < n && identPart(sql[j]))
                ++j;
            t.kind = Token::Ident;
            t.text = sql.mid(i, j - i);
            t.upper = t.text.toUpper();
            i = j;
        } else {
            static const char *const two[] = {"||", "<=", ">=", "<>", "!=", "^="};
            t.kind = Token::Op;
            for (const char *op : two) {
                if (i + 1 < n && sql[i] == QLatin1Char(op[0]) && sql[i + 1] == QLatin1Char(op[1]))
                    t.text = QLatin1String(op, 2);
            }
            if (t.text.isEmpty()) {
                if (!QStringLiteral("(),.*+-/=<>;").contains(c))
                    refuse(sql, i, QStringLiteral("'%1'").arg(c));
                t.text = c;
            }
            t.upper = t.text;
            i += int(t.text.size());
        }
        t.end = i;
        out.push_back(std::move(t));
    }
    Token end;
    end.kind = Token::End;
    end.pos = end.end = n;
    out.push_back(end);
    return out;
}

namespace {

// Words that end an expression or a list, so they are never taken for an alias.
const QSet<QString> &reservedWords()
{
    static const QSet<QString> words = {
        QStringLiteral("SELECT"),    QStringLiteral("FROM"),      QStringLiteral("WHERE"),  QStringLiteral("GROUP"),
        QStringLiteral("ORDER"),     QStringLiteral("HAVING"),    QStringLiteral("UNION"),  QStringLiteral("MINUS"),
        QStringLiteral("INTERSECT"), QStringLiteral("AND"),       QStringLiteral("OR"),     QStringLiteral("NOT"),
        QStringLiteral("ON"),        QStringLiteral("JOIN"),      QStringLiteral("LEFT"),   QStringLiteral("RIGHT"),
        QStringLiteral("INNER"),     QStringLiteral("OUTER"),     QStringLiteral("FULL"),   QStringLiteral("CROSS"),
        QStringLiteral("NATURAL"),   QStringLiteral("CONNECT"),   QStringLiteral("START"),  QStringLiteral("WITH"),
        QStringLiteral("FOR"),       QStringLiteral("INTO"),      QStringLiteral("VALUES"), QStringLiteral("SET"),
        QStringLiteral("BY"),        QStringLiteral("AS"),        QStringLiteral("IS"),     QStringLiteral("IN"),
        QStringLiteral("BETWEEN"),   QStringLiteral("LIKE"),      QStringLiteral("CASE"),   QStringLiteral("WHEN"),
        QStringLiteral("THEN"),      QStringLiteral("ELSE"),      QStringLiteral("END"),    QStringLiteral("NULL"),
        QStringLiteral("DISTINCT"),  QStringLiteral("ALL"),       QStringLiteral("UNIQUE"), QStringLiteral("PRIOR"),
        QStringLiteral("ASC"),       QStringLiteral("DESC"),      QStringLiteral("MODEL"),  QStringLiteral("PIVOT"),
        QStringLiteral("SAMPLE"),    QStringLiteral("PARTITION"), QStringLiteral("NULLS"),  QStringLiteral("ESCAPE"),
        QStringLiteral("OVER"),      QStringLiteral("RETURNING"), QStringLiteral("ANY"),    QStringLiteral("SOME"),
    };
    return words;
}

class Parser {
public:
    Parser(const QString &sql) : m_sql(sql), m_tokens(tokenize(sql)) {}

    Statement statement()
    {
        Statement st;
        if (isWord("SELECT") || isWord("WITH") || isOp("(")) {
            st.select = selectStatement();
        } else if (isWord("INSERT")) {
            st.insert = insertStatement();
        } else if (isWord("DELETE")) {
            st.del = deleteStatement();
        } else {
            unexpected();
        }
        if (isOp(";"))
            ++m_at;
        if (peek().kind != Token::End)
            unexpected();
        st.paramNames = m_params;
        return st;
    }

private:
    const Token &peek(int ahead = 0) const
    {
        const size_t i = std::min(m_at + size_t(ahead), m_tokens.size() - 1);
        return m_tokens[i];
    }
    const Token &take() { return m_tokens[std::min(m_at++, m_tokens.size() - 1)]; }
    bool isWord(const char *w, int ahead = 0) const
    {
        const Token &t = peek(ahead);
        return t.kind == Token::Ident && t.upper == QLatin1String(w);
    }
    bool isOp(const char *op, int ahead = 0) const
    {
        const Token &t = peek(ahead);
        return t.kind == Token::Op && t.text == QLatin1String(op);
    }
    bool acceptWord(const char *w)
    {
        if (!isWord(w))
            return false;
        ++m_at;
        return true;
    }
    bool acceptOp(const char *op)
    {
        if (!isOp(op))
            return false;
        ++m_at;
        return true;
    }
    void expectWord(const char *w)
    {
        if (!acceptWord(w))
            unexpected(QStringLiteral("expected %1").arg(QLatin1String(w)));
    }
    void expectOp(const char *op)
    {
        if (!acceptOp(op))
            unexpected(QStringLiteral("expected '%1'").arg(QLatin1String(op)));
    }
    [[noreturn]] void unexpected(const QString &hint = QString()) const
    {
        const Token &t = peek();
        QString what = t.kind == Token::End ? QStringLiteral("end of statement")
                                            : QStringLiteral("'%1'").arg(m_sql.mid(t.pos, t.end - t.pos));
        if (!hint.isEmpty())
            what += QStringLiteral(" (%1)").arg(hint);
        refuse(m_sql, t.pos, what);
    }

    bool isAliasToken(const Token &t) const
    {
        return t.kind == Token::QuotedIdent || (t.kind == Token::Ident && !reservedWords().contains(t.upper));
    }

    QString identifier()
    {
        const Token &t = peek();
        if (t.kind == Token::QuotedIdent) {
            ++m_at;
            return QLatin1Char('"') + t.text + QLatin1Char('"');
        }
        if (t.kind == Token::Ident && !reservedWords().contains(t.upper)) {
            ++m_at;
            return t.text;
        }
        unexpected(QStringLiteral("expected a name"));
    }

    // ---- SELECT -------------------------------------------------------------------------

    std::unique_ptr<Select> selectStatement()
    {
        Depth depth(*this);
        std::vector<CommonTable> with;
        if (acceptWord("WITH"))
            with = commonTables();
        std::unique_ptr<Select> s = queryTerm();
        s->with = std::move(with);
        while (isWord("UNION") || isWord("MINUS") || isWord("INTERSECT")) {
            QString op = take().upper;
            if (op == QLatin1String("UNION") && acceptWord("ALL"))
                op = QStringLiteral("UNION ALL");
            else if (op == QLatin1String("MINUS"))
                op = QStringLiteral("EXCEPT");
            s->compounds.emplace_back(op, queryTerm());
        }
        if (isWord("ORDER")) {
            ++m_at;
            expectWord("BY");
            s->orderBy = orderItems();
        }
        if (isWord("FOR"))
            unexpected();
        return s;
    }

    // WITH name [(column, …)] AS (select), …
    std::vector<CommonTable> commonTables()
    {
        std::vector<CommonTable> out;
        do {
            CommonTable t;
            t.name = identifier();
            if (acceptOp("(")) {
                do {
                    t.columns.append(identifier());
                } while (acceptOp(","));
                expectOp(")");
            }
            expectWord("AS");
            expectOp("(");
            t.select = selectStatement();
            expectOp(")");
            out.push_back(std::move(t));
        } while (acceptOp(","));
        return out;
    }

    // expr [ASC | DESC] [NULLS FIRST | NULLS LAST], …
    std::vector<OrderItem> orderItems()
    {
        std::vector<OrderItem> items;
        do {
            OrderItem item;
            item.expr = expression();
            if (acceptWord("DESC"))
                item.desc = true;
            else
                acceptWord("ASC");
            if (acceptWord("NULLS")) {
                if (acceptWord("FIRST"))
                    item.nulls = OrderItem::NullsFirst;
                else if (acceptWord("LAST"))
                    item.nulls = OrderItem::NullsLast;
                else
                    unexpected(QStringLiteral("expected FIRST or LAST"));
            }
            items.push_back(std::move(item));
        } while (acceptOp(","));
        return items;
    }

    std::unique_ptr<Select> queryTerm()
    {
        if (acceptOp("(")) {
            std::unique_ptr<Select> s = selectStatement();
            expectOp(")");
            if (!s->compounds.empty() || !s->orderBy.empty()) {
                // A parenthesised compound inside a compound: keep it as a subquery of its own.
                auto wrap = std::make_unique<Select>();
                wrap->pos = s->pos;
                wrap->items.emplace_back();
                TableRef ref;
                ref.sub = std::move(s);
                wrap->from.push_back(std::move(ref));
                return wrap;
            }
            return s;
        }
        auto s = std::make_unique<Select>();
        s->pos = peek().pos;
        expectWord("SELECT");
        if (acceptWord("DISTINCT") || acceptWord("UNIQUE"))
            s->distinct = true;
        else
            acceptWord("ALL");
        do {
            s->items.push_back(selectItem());
        } while (acceptOp(","));
        expectWord("FROM");
        fromList(*s);
        if (acceptWord("WHERE"))
            s->where = expression();
        if (isWord("CONNECT"))
            connectByLevel(*s);
        if (isWord("START") || isWord("CONNECT"))
            unexpected(QStringLiteral("hierarchical queries are supported only as CONNECT BY LEVEL over DUAL"));
        if (isWord("GROUP")) {
            ++m_at;
            expectWord("BY");
            do {
                s->groupBy.push_back(expression());
            } while (acceptOp(","));
        }
        if (acceptWord("HAVING"))
            s->having = expression();
        return s;
    }

    // CONNECT BY LEVEL <= n (or < n) over DUAL alone: the row generator. Any other hierarchy is refused.
    void connectByLevel(Select &s)
    {
        const Token &at = peek();
        const bool overDual = s.from.size() == 1 && !s.from[0].sub &&
                              s.from[0].name.compare(QLatin1String("DUAL"), Qt::CaseInsensitive) == 0;
        if (!overDual || !isWord("BY", 1) || !isWord("LEVEL", 2) || !(isOp("<=", 3) || isOp("<", 3)))
            refuse(m_sql, at.pos,
                   QStringLiteral("'CONNECT BY' (hierarchical queries are supported only as CONNECT BY LEVEL <= n "
                                  "over DUAL)"));
        m_at += 3;
        s.connectByLess = take().text == u'<';
        s.connectByLevel = additive();
    }

    SelectItem selectItem()
    {
        SelectItem item;
        if (acceptOp("*"))
            return item;
        if ((peek().kind == Token::Ident || peek().kind == Token::QuotedIdent) && isOp(".", 1) && isOp("*", 2)) {
            item.qualifier = identifier();
            m_at += 2;
            return item;
        }
        item.expr = expression();
        if (acceptWord("AS")) {
            const Token &t = peek();
            if (t.kind != Token::Ident && t.kind != Token::QuotedIdent)
                unexpected(QStringLiteral("expected an alias"));
        }
        if (isAliasToken(peek())) {
            const Token &t = take();
            item.alias = t.text;
            item.aliasQuoted = t.kind == Token::QuotedIdent;
        }
        return item;
    }

    void fromList(Select &s)
    {
        s.from.push_back(tableRef(TableRef::Comma));
        for (;;) {
            if (acceptOp(",")) {
                s.from.push_back(tableRef(TableRef::Comma));
            } else if (isWord("JOIN") || isWord("INNER")) {
                acceptWord("INNER");
                expectWord("JOIN");
                s.from.push_back(tableRef(TableRef::Inner));
                expectWord("ON");
                s.from.back().on = expression();
            } else if (isWord("LEFT")) {
                ++m_at;
                acceptWord("OUTER");
                expectWord("JOIN");
                s.from.push_back(tableRef(TableRef::Left));
                expectWord("ON");
                s.from.back().on = expression();
            } else if (isWord("RIGHT") || isWord("FULL") || isWord("CROSS") || isWord("NATURAL")) {
                unexpected();
            } else {
                break;
            }
        }
    }

    TableRef tableRef(TableRef::JoinKind join)
    {
        TableRef ref;
        ref.join = join;
        ref.pos = peek().pos;
        if (acceptOp("(")) {
            ref.sub = selectStatement();
            expectOp(")");
        } else {
            ref.name = identifier();
            while (acceptOp("."))
                ref.name += QLatin1Char('.') + identifier();
            if (isOp("@"))
                unexpected();
        }
        if (isAliasToken(peek()))
            ref.alias = identifier();
        return ref;
    }

    // ---- expressions --------------------------------------------------------------------

    ExprPtr make(Expr::Kind kind, int pos)
    {
        auto e = std::make_unique<Expr>();
        e->kind = kind;
        e->pos = pos;
        return e;
    }
    int lastEnd() const { return m_at == 0 ? 0 : m_tokens[m_at - 1].end; }

    // A chain of one associative operator keeps its operands in one node, so that a long chain
    // neither deepens the tree nor, written out, the target's parser stack.
    ExprPtr binary(const QString &op, ExprPtr l, ExprPtr r)
    {
        static const QSet<QString> chained = {QStringLiteral("AND"), QStringLiteral("OR"), QStringLiteral("+"),
                                              QStringLiteral("*"), QStringLiteral("||")};
        if (l->kind == Expr::Binary && l->text == op && chained.contains(op)) {
            l->end = r->end;
            l->args.push_back(std::move(r));
            return l;
        }
        ExprPtr e = make(Expr::Binary, l->pos);
        e->text = op;
        e->end = r->end;
        e->args.push_back(std::move(l));
        e->args.push_back(std::move(r));
        return e;
    }

    // Nesting is bounded so that no statement can exhaust the stack.
    struct Depth {
        Parser &p;
        explicit Depth(Parser &parser) : p(parser)
        {
            if (++p.m_depth > 200)
                p.unexpected(QStringLiteral("nesting too deep"));
        }
        ~Depth() { --p.m_depth; }
    };

    ExprPtr expression()
    {
        Depth d(*this);
        return orExpr();
    }

    ExprPtr orExpr()
    {
        ExprPtr l = andExpr();
        while (acceptWord("OR"))
            l = binary(QStringLiteral("OR"), std::move(l), andExpr());
        return l;
    }

    ExprPtr andExpr()
    {
        ExprPtr l = notExpr();
        while (acceptWord("AND"))
            l = binary(QStringLiteral("AND"), std::move(l), notExpr());
        return l;
    }

    ExprPtr notExpr()
    {
        Depth depth(*this);
        if (isWord("NOT")) {
            const int pos = take().pos;
            ExprPtr e = make(Expr::Unary, pos);
            e->text = QStringLiteral("NOT");
            e->args.push_back(notExpr());
            e->end = e->args.back()->end;
            return e;
        }
        return predicate();
    }

    ExprPtr predicate()
    {
        ExprPtr l = additive();
        static const QSet<QString> comparisons = {QStringLiteral("="),  QStringLiteral("<>"), QStringLiteral("!="),
                                                  QStringLiteral("^="), QStringLiteral("<"),  QStringLiteral(">"),
                                                  QStringLiteral("<="), QStringLiteral(">=")};
        if (peek().kind == Token::Op && comparisons.contains(peek().text)) {
            QString op = take().text;
            if (op == QLatin1String("!=") || op == QLatin1String("^="))
                op = QStringLiteral("<>");
            if (isWord("ANY") || isWord("ALL") || isWord("SOME"))
                unexpected();
            return binary(op, std::move(l), additive());
        }
        const bool negated = isWord("NOT") && (isWord("BETWEEN", 1) || isWord("IN", 1) || isWord("LIKE", 1));
        if (negated)
            ++m_at;
        if (acceptWord("BETWEEN")) {
            ExprPtr e = make(Expr::Between, l->pos);
            e->negated = negated;
            e->args.push_back(std::move(l));
            e->args.push_back(additive());
            expectWord("AND");
            e->args.push_back(additive());
            e->end = lastEnd();
            return e;
        }
        if (acceptWord("IN")) {
            expectOp("(");
            ExprPtr e;
            if (isWord("SELECT")) {
                e = make(Expr::InSelect, l->pos);
                e->args.push_back(std::move(l));
                e->sub = selectStatement();
            } else {
                e = make(Expr::InList, l->pos);
                e->args.push_back(std::move(l));
                do {
                    e->args.push_back(expression());
                } while (acceptOp(","));
            }
            expectOp(")");
            e->negated = negated;
            e->end = lastEnd();
            return e;
        }
        if (acceptWord("LIKE")) {
            ExprPtr e = make(Expr::Like, l->pos);
            e->negated = negated;
            e->args.push_back(std::move(l));
            e->args.push_back(additive());
            if (acceptWord("ESCAPE"))
                e->args.push_back(additive());
            e->end = lastEnd();
            return e;
        }
        if (acceptWord("IS")) {
            ExprPtr e = make(Expr::IsNull, l->pos);
            e->negated = acceptWord("NOT");
            expectWord("NULL");
            e->args.push_back(std::move(l));
            e->end = lastEnd();
            return e;
        }
        return l;
    }

    ExprPtr additive()
    {
        ExprPtr l = multiplicative();
        while (isOp("+") || isOp("-") || isOp("||")) {
            const QString op = take().text;
            l = binary(op, std::move(l), multiplicative());
        }
        return l;
    }

    ExprPtr multiplicative()
    {
        ExprPtr l = unary();
        while (isOp("*") || isOp("/")) {
            const QString op = take().text;
            l = binary(op, std::move(l), unary());
        }
        return l;
    }

    ExprPtr unary()
    {
        Depth depth(*this);
        if (isOp("-") || isOp("+")) {
            const Token &t = take();
            ExprPtr inner = unary();
            if (t.text == u'+')
                return inner;
            ExprPtr e = make(Expr::Unary, t.pos);
            e->text = QStringLiteral("-");
            e->end = inner->end;
            e->args.push_back(std::move(inner));
            return e;
        }
        return primary();
    }

    ExprPtr primary()
    {
        const Token &t = peek();
        switch (t.kind) {
        case Token::Number: {
            ++m_at;
            ExprPtr e = make(Expr::Number, t.pos);
            e->text = t.text;
            e->end = t.end;
            return e;
        }
        case Token::String: {
            ++m_at;
            ExprPtr e = make(t.text.isEmpty() ? Expr::Null : Expr::String, t.pos); // '' is null
            e->text = t.text;
            e->end = t.end;
            return e;
        }
        case Token::Param: {
            ++m_at;
            ExprPtr e = make(Expr::Param, t.pos);
            e->text = t.text;
            int index = int(m_params.indexOf(t.upper));
            if (index < 0) {
                m_params.append(t.upper);
                index = int(m_params.size()) - 1;
            }
            e->index = index + 1;
            e->end = t.end;
            return e;
        }
        case Token::Op:
            if (t.text == u'(') {
                ++m_at;
                if (isWord("SELECT")) {
                    ExprPtr e = make(Expr::Subquery, t.pos);
                    e->sub = selectStatement();
                    expectOp(")");
                    e->end = lastEnd();
                    return e;
                }
                ExprPtr inner = expression();
                if (isOp(","))
                    unexpected(QStringLiteral("expression lists are not supported"));
                expectOp(")");
                inner->pos = t.pos;
                inner->end = lastEnd();
                return inner;
            }
            unexpected();
        case Token::QuotedIdent:
        case Token::Ident:
            return namedPrimary();
        default:
            unexpected();
        }
    }

    ExprPtr namedPrimary()
    {
        const Token &t = peek();
        if (t.kind == Token::Ident) {
            if (t.upper == QLatin1String("NULL")) {
                ++m_at;
                ExprPtr e = make(Expr::Null, t.pos);
                e->end = t.end;
                return e;
            }
            if (t.upper == QLatin1String("CASE"))
                return caseExpr();
            if (t.upper == QLatin1String("EXISTS") && isOp("(", 1)) {
                m_at += 2;
                ExprPtr e = make(Expr::Exists, t.pos);
                e->sub = selectStatement();
                expectOp(")");
                e->end = lastEnd();
                return e;
            }
            if ((t.upper == QLatin1String("SYSDATE") || t.upper == QLatin1String("ROWNUM") ||
                 t.upper == QLatin1String("LEVEL")) &&
                !isOp(".", 1) && !isOp("(", 1)) {
                ++m_at;
                ExprPtr e = make(t.upper == QLatin1String("SYSDATE")  ? Expr::Sysdate
                                 : t.upper == QLatin1String("ROWNUM") ? Expr::Rownum
                                                                      : Expr::Level,
                                 t.pos);
                e->end = t.end;
                return e;
            }
            if ((t.upper == QLatin1String("TRIM") || t.upper == QLatin1String("EXTRACT")) && isOp("(", 1)) {
                if (ExprPtr e = t.upper == QLatin1String("TRIM") ? trimFrom() : extract())
                    return e;
            }
            if (reservedWords().contains(t.upper))
                unexpected();
        }
        // name, q.name, s.q.name, possibly followed by "(+)" or a function's arguments.
        QStringList parts;
        bool quoted = t.kind == Token::QuotedIdent;
        parts.append(t.kind == Token::QuotedIdent ? QLatin1Char('"') + t.text + QLatin1Char('"') : t.text);
        ++m_at;
        while (isOp(".") && (peek(1).kind == Token::Ident || peek(1).kind == Token::QuotedIdent)) {
            ++m_at;
            quoted = peek().kind == Token::QuotedIdent;
            parts.append(identifier());
        }
        if (isOp("(") && isOp("+", 1) && isOp(")", 2)) {
            m_at += 3;
            ExprPtr e = column(parts, quoted, t.pos);
            e->outerMark = true;
            e->end = lastEnd();
            return e;
        }
        if (isOp("(")) {
            if (parts.size() > 1 || quoted)
                unexpected(QStringLiteral("qualified function names are not supported"));
            ++m_at;
            ExprPtr e = make(Expr::Func, t.pos);
            e->text = t.upper;
            if (acceptOp("*")) {
                e->star = true;
            } else if (!isOp(")")) {
                if (acceptWord("DISTINCT"))
                    e->distinct = true;
                else
                    acceptWord("ALL");
                do {
                    e->args.push_back(expression());
                } while (acceptOp(","));
            }
            expectOp(")");
            if (acceptWord("OVER"))
                e->over = window();
            if (isWord("WITHIN") || isWord("KEEP"))
                unexpected();
            e->end = lastEnd();
            return e;
        }
        ExprPtr e = column(parts, quoted, t.pos);
        e->end = lastEnd();
        return e;
    }

    // OVER ([PARTITION BY e, …] [ORDER BY …]); a windowing clause is refused.
    std::unique_ptr<Window> window()
    {
        expectOp("(");
        auto w = std::make_unique<Window>();
        if (acceptWord("PARTITION")) {
            expectWord("BY");
            do {
                w->partitionBy.push_back(expression());
            } while (acceptOp(","));
        }
        if (acceptWord("ORDER")) {
            expectWord("BY");
            w->orderBy = orderItems();
        }
        expectOp(")");
        return w;
    }

    // TRIM([LEADING | TRAILING | BOTH] [c] FROM s) or TRIM(c FROM s); null for TRIM(s), which the
    // caller parses as a plain call.
    ExprPtr trimFrom()
    {
        const size_t start = m_at;
        const int pos = peek().pos;
        m_at += 2;
        QString mode = QStringLiteral("BOTH");
        if (isWord("LEADING") || isWord("TRAILING") || isWord("BOTH"))
            mode = take().upper;
        ExprPtr character;
        if (!isWord("FROM")) {
            character = expression();
            if (!isWord("FROM")) {
                m_at = start;
                return nullptr;
            }
        }
        expectWord("FROM");
        ExprPtr e = make(Expr::Func, pos);
        e->text = QStringLiteral("TRIM");
        e->qualifier = QStringLiteral("FROM");
        e->args.push_back(expression());
        if (!character) {
            character = make(Expr::String, pos);
            character->text = QStringLiteral(" ");
        }
        e->args.push_back(std::move(character));
        ExprPtr m = make(Expr::String, pos);
        m->text = mode;
        e->args.push_back(std::move(m));
        expectOp(")");
        e->end = lastEnd();
        return e;
    }

    // EXTRACT(YEAR | MONTH | DAY | HOUR | MINUTE | SECOND FROM d)
    ExprPtr extract()
    {
        const int pos = peek().pos;
        if (!isWord("FROM", 3))
            return nullptr;
        m_at += 2;
        static const QSet<QString> fields = {QStringLiteral("YEAR"),   QStringLiteral("MONTH"),
                                             QStringLiteral("DAY"),    QStringLiteral("HOUR"),
                                             QStringLiteral("MINUTE"), QStringLiteral("SECOND")};
        if (peek().kind != Token::Ident || !fields.contains(peek().upper))
            unexpected(QStringLiteral("expected YEAR, MONTH, DAY, HOUR, MINUTE or SECOND"));
        ExprPtr e = make(Expr::Func, pos);
        e->text = QStringLiteral("EXTRACT");
        ExprPtr field = make(Expr::String, peek().pos);
        field->text = take().upper;
        e->args.push_back(std::move(field));
        expectWord("FROM");
        e->args.push_back(expression());
        expectOp(")");
        e->end = lastEnd();
        return e;
    }

    ExprPtr column(QStringList parts, bool quoted, int pos)
    {
        ExprPtr e = make(Expr::Column, pos);
        e->text = parts.takeLast();
        e->quoted = quoted;
        if (e->quoted)
            e->text = e->text.mid(1, e->text.size() - 2);
        e->qualifier = parts.join(u'.');
        return e;
    }

    ExprPtr caseExpr()
    {
        ExprPtr e = make(Expr::Case, take().pos);
        if (!isWord("WHEN")) {
            e->hasOperand = true;
            e->args.push_back(expression());
        }
        if (!isWord("WHEN"))
            unexpected(QStringLiteral("expected WHEN"));
        while (acceptWord("WHEN")) {
            e->args.push_back(expression());
            expectWord("THEN");
            e->args.push_back(expression());
        }
        if (acceptWord("ELSE")) {
            e->hasElse = true;
            e->args.push_back(expression());
        }
        expectWord("END");
        e->end = lastEnd();
        return e;
    }

    // ---- INSERT -------------------------------------------------------------------------

    std::unique_ptr<Insert> insertStatement()
    {
        expectWord("INSERT");
        expectWord("INTO");
        auto ins = std::make_unique<Insert>();
        ins->table = identifier();
        while (acceptOp("."))
            ins->table += QLatin1Char('.') + identifier();
        if (acceptOp("(")) {
            do {
                ins->columns.append(identifier());
            } while (acceptOp(","));
            expectOp(")");
        }
        if (acceptWord("VALUES")) {
            expectOp("(");
            do {
                ins->values.push_back(expression());
            } while (acceptOp(","));
            expectOp(")");
        } else if (isWord("SELECT") || isWord("WITH") || isOp("(")) {
            ins->select = selectStatement();
        } else {
            unexpected(QStringLiteral("expected VALUES or SELECT"));
        }
        return ins;
    }

    // DELETE [FROM] table [WHERE condition]
    std::unique_ptr<Delete> deleteStatement()
    {
        expectWord("DELETE");
        acceptWord("FROM");
        auto del = std::make_unique<Delete>();
        del->table = identifier();
        while (acceptOp("."))
            del->table += QLatin1Char('.') + identifier();
        if (acceptWord("WHERE"))
            del->where = expression();
        return del;
    }

    const QString &m_sql;
    std::vector<Token> m_tokens;
    size_t m_at = 0;
    int m_depth = 0;
    QStringList m_params;
};

} // namespace

Statement parse(const QString &sql)
{
    Parser p(sql);
    return p.statement();
}

} // namespace tipdesk::db::sql
