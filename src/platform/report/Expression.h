#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

namespace tipdesk::report {

// An item's expression: fields of the report's query (NAME) or of a named query (Query.NAME),
// the report's parameters (Param.NAME),
// numbers, 'texts', + and -, parentheses, and SUM(x), the running total of x over the detail
// records accumulated so far (never reset per page).
//
// Null values: a difference or negation with a null term is null, so the item prints empty (a
// remark "S_TOTAL - TOTAL" of a day without S_TOTAL says nothing rather than -TOTAL); a sum adds
// the terms that have a value and is null only when none has, as the database's sum() does, and
// SUM skips null values. A field of a query without a row adds nothing (and prints empty alone).
class Expression {
public:
    // Answers a field; query is empty for the report's own data set: nullopt when the query has
    // no row, a null QVariant for a null value. Throws for unknown names.
    using Resolver = std::function<std::optional<QVariant>(const QString &query, const QString &field)>;

    static Expression parse(const QString &text); // throws ReportError
    QVariant evaluate(const Resolver &resolve) const;
    void accumulate(const Resolver &resolve); // adds the current record to every SUM
    bool hasAggregate() const;
    // The parameters it reads (Param.NAME), for the layout's checks.
    QStringList parameters() const;
    const QString &text() const { return m_text; }

private:
    struct Node {
        enum Kind { Number, Text, Field, Sum, Add, Sub, Neg } kind = Number;
        QVariant value; // Number, Text
        QString query, field;
        int a = -1, b = -1;
        double total = 0;
    };
    class Parser;
    QVariant eval(int node, const Resolver &resolve) const;
    static bool isNull(const QVariant &v);

    QString m_text;
    std::vector<Node> m_nodes;
    int m_root = -1;
};

double toNumber(const QVariant &v, const QString &context); // null gives 0; throws for non-numbers

} // namespace tipdesk::report
