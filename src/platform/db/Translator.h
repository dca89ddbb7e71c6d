#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace tipdesk::db {

// An Oracle-dialect statement translated for the embedded engine or a PostgreSQL server.
struct Translation {
    QString sql;            // target text; parameters written ?1, ?2 … (SQLite) or $1, $2 … (PostgreSQL)
    QStringList paramNames; // upper-cased parameter name of each ?N, by N
    bool isQuery = false;   // the statement returns rows
    // Result names: columns that come from "*" are reported upper-cased, as Oracle does, except
    // those named by a quoted alias.
    bool hasStar = false;
    QStringList quotedAliases;
    bool usesClock = false;            // runs with the clock's "now"
    QHash<QString, QString> longNames; // result names the target could not hold, by their stand-ins
};

namespace sql {
enum class Type;
}

enum class Dialect { Sqlite, Postgres };

// A schema's column types by name, collected table by table for the translator: a name typed
// differently in two tables is left out, since a reference to it does not say which it means.
class ColumnTypeCollector {
public:
    void add(const QString &upperName, sql::Type type);
    // Also records which table the column belongs to.
    void add(const QString &upperTable, const QString &upperName, sql::Type type);
    QHash<QString, sql::Type> result() const;
    const QHash<QString, QStringList> &tableColumns() const { return m_tables; }

private:
    QHash<QString, sql::Type> m_types;
    QStringList m_mixed;
    QHash<QString, QStringList> m_tables;
};

// Tokenizes, parses, rewrites and generates. Throws DbError naming an unknown construct and
// its position in the statement. columnTypes: what the target's schema declares, by column name;
// tableColumns: its tables' columns, by table (upper-cased), which lets the server's text filter
// groups rather than rows where that gives the same result.
Translation translateOracle(const QString &oracleSql, Dialect dialect = Dialect::Sqlite,
                            const QHash<QString, sql::Type> *columnTypes = nullptr,
                            const QHash<QString, QStringList> *tableColumns = nullptr);

// Oracle's name for a result column as SQLite reports it.
QString resultColumnName(const Translation &t, const QString &sqliteName);

} // namespace tipdesk::db
