#pragma once

#include <QString>
#include <QStringList>

namespace tipdesk::db {

// An Oracle-dialect statement translated for the embedded engine.
struct Translation {
    QString sql;            // SQLite text; parameters written ?1, ?2 ...
    QStringList paramNames; // upper-cased parameter name of each ?N, by N
    bool isQuery = false;   // the statement returns rows
};

// Tokenizes, parses, rewrites and generates. Throws DbError naming an unknown construct and
// its position in the statement.
Translation translateOracle(const QString &oracleSql);

} // namespace tipdesk::db
