#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// The syntax tree of the Oracle dialect the statements of this system and their users are written
// in: SELECT (with WITH, subqueries, comma joins, outer-join marks, UNION, analytic functions and
// the CONNECT BY LEVEL row generator), INSERT … VALUES / SELECT and DELETE. Nothing more is parsed;
// what the parser does not know it refuses.
namespace tipdesk::db::sql {

struct Token {
    enum Kind { Ident, QuotedIdent, Number, String, Param, Op, End };
    Kind kind = End;
    QString text;  // identifier as written, literal value, operator
    QString upper; // upper-cased identifier or operator
    int pos = 0;   // offset in the statement
    int end = 0;   // offset after the token
};

// Splits a statement into tokens; throws DbError for a character it does not know.
std::vector<Token> tokenize(const QString &sql);

// "line L, column C" of an offset, for error texts.
QString describePosition(const QString &sql, int pos);

enum class Type { Unknown, Number, Text, Date };

struct Select;
struct Window;

struct Expr {
    enum Kind {
        Number,   // text: the literal
        String,   // text: the value
        Null,     //
        Param,    // text: the name as written; index: 1-based position of the name
        Column,   // qualifier, text: name; outerMark for "(+)"
        Func,     // text: upper-cased name; args; distinct; star for COUNT(*); over for an analytic
                  // function; TRIM(… FROM s) has args s, character, mode and qualifier "FROM";
                  // EXTRACT(f FROM d) has args 'F', d
        Binary,   // text: operator (upper-cased: AND, OR, =, <>, <, >, <=, >=, +, -, *, /, ||); a chain
                  // of AND, OR, +, * or || holds all its operands, left to right
        Unary,    // text: "-", "+" or "NOT"
        Between,  // args: value, low, high; negated
        InList,   // args: value, items…; negated
        InSelect, // args: value; sub; negated
        IsNull,   // args: value; negated
        Like,     // args: value, pattern[, escape]; negated
        Case,     // args: [operand], when, then, …, [else]; hasOperand, hasElse
        Exists,   // sub
        Subquery, // sub (a scalar subquery)
        Sysdate,  //
        Rownum,   //
        Level,    // LEVEL of CONNECT BY
        Raw,      // text: SQLite text made by a rewrite
    };
    Kind kind = Null;
    QString text;
    QString qualifier;
    bool quoted = false; // a column written in double quotes
    bool outerMark = false;
    bool distinct = false;
    bool star = false;
    bool negated = false;
    bool hasOperand = false;
    bool hasElse = false;
    bool internal = false; // a function call made by a rewrite, passed on as it stands
    int index = 0;
    int pos = 0; // source range, for error texts and Oracle's column names
    int end = 0;
    Type rawType = Type::Unknown; // type of a Raw node
    std::vector<std::unique_ptr<Expr>> args;
    std::unique_ptr<Select> sub;
    std::unique_ptr<Window> over;
};
using ExprPtr = std::unique_ptr<Expr>;

struct SelectItem {
    ExprPtr expr;      // null for "*" and "q.*"
    QString qualifier; // of "q.*"
    QString alias;
    bool aliasQuoted = false;
};

struct TableRef {
    enum JoinKind { Comma, Inner, Left };
    JoinKind join = Comma; // how it joins the tables before it
    QString name;          // table name as written (may hold a schema prefix)
    std::unique_ptr<Select> sub;
    QString alias;
    ExprPtr on;
    int pos = 0;
};

struct OrderItem {
    enum Nulls { NullsDefault, NullsFirst, NullsLast };
    ExprPtr expr;
    bool desc = false;
    Nulls nulls = NullsDefault; // as written; Oracle's default puts nulls last ascending, first descending
};

// OVER (PARTITION BY … ORDER BY …) of an analytic function.
struct Window {
    std::vector<ExprPtr> partitionBy;
    std::vector<OrderItem> orderBy;
};

// WITH name [(columns)] AS (select)
struct CommonTable {
    QString name;
    QStringList columns;
    std::unique_ptr<Select> select;
};

struct Select {
    std::vector<CommonTable> with;
    bool distinct = false;
    std::vector<SelectItem> items;
    std::vector<TableRef> from;
    ExprPtr where;
    std::vector<ExprPtr> groupBy;
    ExprPtr having;
    // Further SELECTs joined by UNION, UNION ALL, MINUS (→ EXCEPT) or INTERSECT.
    std::vector<std::pair<QString, std::unique_ptr<Select>>> compounds;
    std::vector<OrderItem> orderBy;
    qint64 limit = -1; // from a ROWNUM condition
    // CONNECT BY LEVEL <= n (or < n) over DUAL: the rows of levels 1 … n.
    ExprPtr connectByLevel;
    bool connectByLess = false;
    int pos = 0;
};

struct Insert {
    QString table;
    QStringList columns;
    std::vector<ExprPtr> values;
    std::unique_ptr<Select> select;
};

struct Delete {
    QString table;
    ExprPtr where; // null: every row
};

struct Statement {
    std::unique_ptr<Select> select;
    std::unique_ptr<Insert> insert;
    std::unique_ptr<Delete> del;
    QStringList paramNames; // upper-cased, by position
};

// Parses one statement (an optional trailing ";" allowed). Throws DbError naming the construct it
// does not know and its position.
Statement parse(const QString &sql);

// Tree rewrites: outer-join marks to LEFT JOINs, ROWNUM conditions to a limit, day-equality and
// day-key ranges on date columns to index ranges. Throws DbError for marks it cannot place.
void rewrite(Statement &st, const QString &sql);

// For the server's planner: a WHERE condition "key IN (SELECT …)" on a grouping key, whose
// subquery reads only the schema's tables (tableColumns: upper-cased table → its upper-cased
// columns), is checked per group in HAVING. The rows are the same.
void checkKeyFiltersPerGroup(Statement &st, const QHash<QString, QStringList> &tableColumns);

// The type an expression has in Oracle, as far as the tree shows it.
Type typeOf(const Expr &e);
bool isDateColumn(const QString &name);

struct Generated {
    QString sql;
    bool hasStar = false;
    QStringList quotedAliases; // result names that keep their case
    bool usesClock = false;    // SYSDATE, or TO_DATE filling fields from today
    // Result names too long for the target, by the short name given instead.
    QHash<QString, QString> longNames;
};

// SQLite text of the rewritten tree. Throws DbError for a function it does not know.
Generated generate(const Statement &st, const QString &sql);
// PostgreSQL text of the rewritten tree, calling the functions of the schema tipdesk_ora;
// parameters written $1, $2 … by position.
Generated generatePostgres(const Statement &st, const QString &sql);

// Gives column references the types the target's schema declares (upper-cased names; a name
// typed differently in two tables is left out of the map by its maker).
void annotateColumnTypes(Statement &st, const QHash<QString, Type> &types);

} // namespace tipdesk::db::sql
