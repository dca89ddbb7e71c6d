#pragma once

#include <QString>

namespace tipdesk::app {

// The DDL of the same tables on a PostgreSQL server, from the same description as the embedded
// schema: texts, codes and day keys in binary order (COLLATE "C", as the central server and the
// embedded file sort), counts bigint, dates timestamp(0). The same defaults, NOT NULLs, keys and
// indexes; no DUAL view, as statements for this server write DUAL as a subquery. Identifiers are
// unquoted, so the server folds them to lower case, as it does the statements' own.
// Tables first, then the indexes, so that a bulk load builds each index in one pass.
QString postgresTablesScript();
QString postgresIndexesScript();

// An index's name on the server: the embedded schema's name, cut to the server's 63-byte limit
// with a hash of the whole name when it is longer, so that two long names never fold together.
QString postgresIndexName(const QString &embeddedName);

} // namespace tipdesk::app
