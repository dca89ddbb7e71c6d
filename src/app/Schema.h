#pragma once

#include <QString>

namespace tipdesk::app {

// The DDL of an empty embedded database: every table the system reads or writes, with the
// indexes its statements need. Dates are ISO-8601 text "YYYY-MM-DD HH:MM:SS", day keys
// "YYYYMMDD" text, counts integers, codes text. A site's central schema is kept elsewhere;
// this is the embedded default's.
QString schemaScript();
// The same in two parts, for a bulk load: the tables (and the DUAL view) first, the indexes once the
// rows are in, each built in one pass rather than row by row.
QString tablesScript();
QString indexesScript();

// Creates the tables and indexes in the SQLite file at path (creating the file if needed).
void createSchema(const QString &path);

} // namespace tipdesk::app
