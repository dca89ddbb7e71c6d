#include "platform/db/Translator.h"

#include "platform/db/SqlAst.h"

namespace tipdesk::db {

Translation translateOracle(const QString &oracleSql)
{
    sql::Statement st = sql::parse(oracleSql);
    sql::rewrite(st, oracleSql);
    const sql::Generated g = sql::generate(st, oracleSql);
    Translation t;
    t.sql = g.sql;
    t.paramNames = st.paramNames;
    t.isQuery = st.select != nullptr;
    t.hasStar = g.hasStar;
    t.quotedAliases = g.quotedAliases;
    return t;
}

QString resultColumnName(const Translation &t, const QString &sqliteName)
{
    if (!t.hasStar || t.quotedAliases.contains(sqliteName))
        return sqliteName;
    return sqliteName.toUpper();
}

} // namespace tipdesk::db
