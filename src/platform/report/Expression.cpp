#include "platform/report/Expression.h"
#include "platform/db/Query.h"
#include "platform/report/Layout.h"

namespace tipdesk::report {

double toNumber(const QVariant &v, const QString &context)
{
    if (v.isNull() || !v.isValid())
        return 0;
    bool ok = false;
    double d = 0;
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed();
        if (s.isEmpty())
            return 0;
        d = s.toDouble(&ok);
    } else {
        d = v.toDouble(&ok);
    }
    if (!ok)
        throw ReportError(QStringLiteral("식 %1: \"%2\" 은(는) 숫자가 아닙니다").arg(context, v.toString()));
    return d;
}

class Expression::Parser {
public:
    Parser(Expression &e, const QString &t) : m_e(e), m_t(t) {}

    int parseAll()
    {
        const int n = sum();
        skip();
        if (m_pos < m_t.size())
            fail(QStringLiteral("%1 번째 글자 부근을 해석할 수 없습니다").arg(m_pos + 1));
        return n;
    }

private:
    [[noreturn]] void fail(const QString &why) const
    {
        throw ReportError(QStringLiteral("식 \"%1\": %2").arg(m_t, why));
    }
    void skip()
    {
        while (m_pos < m_t.size() && m_t[m_pos].isSpace())
            ++m_pos;
    }
    bool eat(QChar c)
    {
        skip();
        if (m_pos < m_t.size() && m_t[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }
    int add(Node::Kind kind, QVariant value = {}, QString query = {}, QString field = {}, int a = -1, int b = -1)
    {
        Node n;
        n.kind = kind;
        n.value = std::move(value);
        n.query = std::move(query);
        n.field = std::move(field);
        n.a = a;
        n.b = b;
        m_e.m_nodes.push_back(std::move(n));
        return int(m_e.m_nodes.size()) - 1;
    }
    int addBinary(Node::Kind kind, int left)
    {
        const int right = unary();
        return add(kind, {}, {}, {}, left, right);
    }
    int sum()
    {
        int left = unary();
        for (;;) {
            if (eat(u'+'))
                left = addBinary(Node::Add, left);
            else if (eat(u'-'))
                left = addBinary(Node::Sub, left);
            else
                return left;
        }
    }
    int unary()
    {
        if (eat(u'-'))
            return add(Node::Neg, {}, {}, {}, unary());
        return primary();
    }
    QString identifier()
    {
        skip();
        const int start = m_pos;
        while (m_pos < m_t.size() && (m_t[m_pos].isLetterOrNumber() || m_t[m_pos] == u'_'))
            ++m_pos;
        if (start == m_pos)
            fail(QStringLiteral("%1 번째 글자에 이름이 와야 합니다").arg(start + 1));
        return m_t.mid(start, m_pos - start);
    }
    int primary()
    {
        skip();
        if (m_pos >= m_t.size())
            fail(QStringLiteral("식이 중간에 끝났습니다"));
        const QChar c = m_t[m_pos];
        if (eat(u'(')) {
            const int n = sum();
            if (!eat(u')'))
                fail(QStringLiteral("닫는 괄호가 없습니다"));
            return n;
        }
        if (c == u'\'') {
            const int end = m_t.indexOf(u'\'', m_pos + 1);
            if (end < 0)
                fail(QStringLiteral("문자열이 닫히지 않았습니다"));
            const QString s = m_t.mid(m_pos + 1, end - m_pos - 1);
            m_pos = end + 1;
            return add(Node::Text, s);
        }
        if (c.isDigit() || c == u'.') {
            const int start = m_pos;
            while (m_pos < m_t.size() && (m_t[m_pos].isDigit() || m_t[m_pos] == u'.'))
                ++m_pos;
            bool ok = false;
            const double d = m_t.mid(start, m_pos - start).toDouble(&ok);
            if (!ok)
                fail(QStringLiteral("숫자 \"%1\" 이(가) 잘못되었습니다").arg(m_t.mid(start, m_pos - start)));
            return add(Node::Number, d);
        }
        const QString name = identifier();
        if (eat(u'(')) {
            if (name.compare(QLatin1String("SUM"), Qt::CaseInsensitive) != 0)
                fail(QStringLiteral("알 수 없는 함수 %1").arg(name));
            const int arg = sum();
            if (!eat(u')'))
                fail(QStringLiteral("닫는 괄호가 없습니다"));
            for (int i = arg; i < int(m_e.m_nodes.size()); ++i)
                if (m_e.m_nodes[size_t(i)].kind == Node::Sum)
                    fail(QStringLiteral("SUM 안에 SUM 을 쓸 수 없습니다"));
            return add(Node::Sum, {}, {}, {}, arg);
        }
        // NAME, Query.NAME or Module.Query.NAME: the last part is the field.
        QStringList parts{name};
        while (eat(u'.'))
            parts << identifier();
        const QString field = parts.takeLast();
        return add(Node::Field, {}, parts.join(u'.'), field);
    }

    Expression &m_e;
    const QString &m_t;
    int m_pos = 0;
};

Expression Expression::parse(const QString &text)
{
    Expression e;
    e.m_text = text;
    Parser p(e, e.m_text);
    e.m_root = p.parseAll();
    return e;
}

bool Expression::hasAggregate() const
{
    for (const Node &n : m_nodes)
        if (n.kind == Node::Sum)
            return true;
    return false;
}

void Expression::accumulate(const Resolver &resolve)
{
    for (size_t i = 0; i < m_nodes.size(); ++i)
        if (m_nodes[i].kind == Node::Sum)
            m_nodes[i].total += toNumber(eval(m_nodes[i].a, resolve), m_text); // a null adds 0
}

QStringList Expression::parameters() const
{
    QStringList names;
    for (const Node &n : m_nodes)
        if (n.kind == Node::Field && n.query.compare(QLatin1String("Param"), Qt::CaseInsensitive) == 0)
            names << n.field;
    return names;
}

QVariant Expression::evaluate(const Resolver &resolve) const
{
    return eval(m_root, resolve);
}

bool Expression::isNull(const QVariant &v)
{
    return !v.isValid() || v.isNull();
}

QVariant Expression::eval(int index, const Resolver &resolve) const
{
    const Node &n = m_nodes[size_t(index)];
    switch (n.kind) {
    case Node::Number:
    case Node::Text:
        return n.value;
    case Node::Field: {
        // A query without a row adds nothing to a sum, and alone prints empty.
        const std::optional<QVariant> v = resolve(n.query, n.field);
        return v ? *v : index == m_root ? QVariant() : QVariant(0);
    }
    case Node::Sum:
        return n.total;
    case Node::Neg: {
        const QVariant a = eval(n.a, resolve);
        return isNull(a) ? QVariant() : QVariant(-toNumber(a, m_text));
    }
    case Node::Sub: {
        const QVariant a = eval(n.a, resolve);
        const QVariant b = eval(n.b, resolve);
        if (isNull(a) || isNull(b))
            return {};
        return toNumber(a, m_text) - toNumber(b, m_text);
    }
    case Node::Add: {
        const QVariant a = eval(n.a, resolve);
        const QVariant b = eval(n.b, resolve);
        // Texts join; anything else adds as numbers.
        const bool text = (a.typeId() == QMetaType::QString && m_nodes[size_t(n.a)].kind == Node::Text) ||
                          (b.typeId() == QMetaType::QString && m_nodes[size_t(n.b)].kind == Node::Text);
        if (text)
            return db::Field::displayText(a) + db::Field::displayText(b);
        // A sum adds the values it has, as the database's sum() does; only nothing at all is null.
        if (isNull(a) && isNull(b))
            return {};
        return toNumber(a, m_text) + toNumber(b, m_text);
    }
    }
    return {};
}

} // namespace tipdesk::report
