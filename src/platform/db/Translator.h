#pragma once

#include <QString>
#include <QStringList>

namespace tipdesk::db {

// An Oracle-dialect statement translated for the embedded engine.
struct Translation {
    QString sql;            // SQLite text; parameters written ?1, ?2 ...
    QStringList paramNames; // upper-cased parameter name of each ?N, by N
    bool isQuery = false;   // the statement returns rows
    // Result names: columns that come from "*" are reported upper-cased, as Oracle does, except
    // those named by a quoted alias.
    bool hasStar = false;
    QStringList quotedAliases;
};

// Tokenizes, parses, rewrites and generates. Throws DbError naming an unknown construct and
// its position in the statement.
Translation translateOracle(const QString &oracleSql);

// Oracle's name for a result column as SQLite reports it.
QString resultColumnName(const Translation &t, const QString &sqliteName);

} // namespace tipdesk::db
