#pragma once

#include "platform/db/SqlAst.h"

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
};

} // namespace tipdesk::db::sql
