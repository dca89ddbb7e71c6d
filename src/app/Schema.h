#pragma once

#include <QString>

#include <functional>

namespace tipdesk::app {

enum class ColumnKind;

// The DDL of an empty embedded database: every table the system reads or writes, with the
// indexes its statements need. Dates are ISO-8601 text "YYYY-MM-DD HH:MM:SS", day keys
// "YYYYMMDD" text, counts integers, codes text. A site's central schema is kept elsewhere;
// this is the embedded default's.
QString schemaScript();
// The same in two parts, for a bulk load: the tables (and the DUAL view) first, the indexes once the
// rows are in, each built in one pass rather than row by row.
QString tablesScript();
QString indexesScript();

// What a database's DDL takes from it; the rules of the tables (defaults, NOT NULLs, keys, which
// indexes, which unique, which partial) are the description's and the same everywhere.
struct SchemaDialect {
    std::function<QString(ColumnKind)> type;
    std::function<QString(const QString &)> indexName; // from "IX_<table>_<columns>"; empty: as it is
    bool ifNotExists = true;
};
QString tablesScript(const SchemaDialect &dialect);
QString indexesScript(const SchemaDialect &dialect);

// Creates the tables and indexes in the SQLite file at path (creating the file if needed).
void createSchema(const QString &path);

} // namespace tipdesk::app
