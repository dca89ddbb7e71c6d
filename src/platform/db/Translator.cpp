#include "platform/db/Translator.h"

#include "platform/db/SqlAst.h"

namespace tipdesk::db {

Translation translateOracle(const QString &oracleSql, Dialect dialect, const QHash<QString, sql::Type> *columnTypes,
                            const QHash<QString, QStringList> *tableColumns)
{
    sql::Statement st = sql::parse(oracleSql);
    if (columnTypes)
        sql::annotateColumnTypes(st, *columnTypes);
    sql::rewrite(st, oracleSql);
    // The server's planner hashes every row against such a list; the embedded engine looks the
    // key up in its index, so its text stays as written.
    if (dialect == Dialect::Postgres && tableColumns)
        sql::checkKeyFiltersPerGroup(st, *tableColumns);
    const sql::Generated g =
        dialect == Dialect::Postgres ? sql::generatePostgres(st, oracleSql) : sql::generate(st, oracleSql);
    Translation t;
    t.sql = g.sql;
    t.paramNames = st.paramNames;
    t.isQuery = st.select != nullptr;
    t.hasStar = g.hasStar;
    t.quotedAliases = g.quotedAliases;
    t.usesClock = g.usesClock;
    t.longNames = g.longNames;
    return t;
}

void ColumnTypeCollector::add(const QString &upperName, sql::Type type)
{
    const auto it = m_types.constFind(upperName);
    if (it != m_types.constEnd() && it.value() != type && !m_mixed.contains(upperName))
        m_mixed.append(upperName);
    m_types.insert(upperName, type);
}

void ColumnTypeCollector::add(const QString &upperTable, const QString &upperName, sql::Type type)
{
    m_tables[upperTable].append(upperName);
    add(upperName, type);
}

QHash<QString, sql::Type> ColumnTypeCollector::result() const
{
    QHash<QString, sql::Type> out = m_types;
    for (const QString &name : m_mixed)
        out.remove(name);
    return out;
}

QString resultColumnName(const Translation &t, const QString &sqliteName)
{
    if (!t.longNames.isEmpty()) {
        const auto it = t.longNames.constFind(sqliteName);
        if (it != t.longNames.constEnd())
            return it.value();
    }
    if (!t.hasStar || t.quotedAliases.contains(sqliteName))
        return sqliteName;
    return sqliteName.toUpper();
}

} // namespace tipdesk::db
