#pragma once

#include "platform/db/SqlAst.h"
#include "platform/db/SqlLibrary.h"

// The generator of the embedded engine's text. A target whose text differs derives from it and
// overrides what it writes otherwise; the walk over the tree is shared.
namespace tipdesk::db::sql {

QString quoteIdent(const QString &name);
QString quoteString(const QString &value);

class Generator {
public:
    explicit Generator(const QString &sql) : m_sql(sql) {}
    virtual ~Generator() = default;

    Generated run(const Statement &st);

protected:
    [[noreturn]] void refuse(int pos, const QString &what) const;
    void arity(const Expr &e, size_t min, size_t max) const;
    // TO_CHAR of a date (true) or a number (false); refuses the forms the dialect does not take.
    bool toCharOfDate(const Expr &e) const;
    // The select-list item an ORDER BY name stands for (an unquoted alias), or none.
    static const SelectItem *aliasedItem(const Select &s, const Expr &e);
    // TRUNC or ROUND of a date (refused but for the day); false for a number.
    bool truncatesDate(const Expr &e) const;
    QString insert(const Insert &ins);
    QString itemName(const SelectItem &item, bool top);
    // Whether an item's name is written without quotes in Oracle, so that any case names it.
    static bool foldsCase(const SelectItem &item);
    // The name an item is given in the text, quoted; index counts the items before it.
    virtual QString itemAlias(const SelectItem &item, int index, bool top);
    QString rownum(const Select &s);
    QStringList tieBreakers(const Select &s, bool positions);
    // An ORDER BY expression, which may name an item of the select list.
    virtual QString orderExpr(const Select &, const Expr &e) { return expr(e); }
    QString select(const Select &s, bool top);
    QString call(const char *name, const std::vector<ExprPtr> &args, size_t from = 0);
    QString withClause(const Select &s);
    QString dual(const Select &s);
    // An ORDER BY key with the place of its nulls.
    QString orderKey(const QString &key, const OrderItem &item);
    QString analytic(const Expr &e);
    QString window(const Window &w);
    // A chain of one operator (AND, OR, +, *, ||), written flat in groups the target's parser and
    // expression depth take whatever its length.
    QString chain(const Expr &e);
    QStringList compared(const Expr &e);
    QString sameColumnIn(const Expr &e);
    static QString grouped(QStringList terms, const QString &separator);
    QString foldedSum(const Expr &e);
    // The library's forms: its functions, and the built-in names given further arguments
    // (TRIM … FROM, LTRIM/RTRIM with a set, TO_CHAR/TO_NUMBER with a number format, TRUNC/ROUND of a
    // date to a unit, NVL2). A null text when e is none of them.
    QString libraryForm(const Expr &e);
    QString libraryCall(const Expr &e, const LibraryFunction &f, const QStringList &extra = {});

    // Target-specific pieces of the shared walk.
    virtual QString libraryTarget(const LibraryFunction &f) const { return QLatin1String(f.embedded); }
    // An argument converted as its kind says (first: the first argument's type, for 'f').
    virtual QString libraryArg(char kind, const Expr &arg, Type first);
    virtual QString ownFunction(const char *name) const { return QLatin1String(name); }
    // The place of nulls a key has without NULLS FIRST/LAST: Oracle's, last ascending.
    virtual QString defaultNulls(bool desc) const
    {
        return desc ? QStringLiteral(" NULLS FIRST") : QStringLiteral(" NULLS LAST");
    }
    virtual QString asNumberText(const Expr &e);
    virtual QString likeEscape(const Expr &e);

    virtual QString expr(const Expr &e);
    virtual QString function(const Expr &e);
    virtual QString binary(const Expr &e);
    // A parameter's place in the text.
    virtual QString param(const Expr &e);
    // FROM entries: a comma between tables, a derived table without a name.
    virtual QString commaJoin(const Select &) const { return QStringLiteral(", "); }
    virtual QString derivedTableAlias(int) const { return {}; }

    const QString &m_sql;
    Generated m_out;
    const Select *m_topSelect = nullptr; // the statement's own SELECT, whose names are its result's
    bool m_levels = false;               // LEVEL of a CONNECT BY can be read here
};

} // namespace tipdesk::db::sql
