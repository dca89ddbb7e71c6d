#pragma once

#include <QString>

#include <functional>
#include <stdexcept>

namespace tipdesk::app {

// What to do when the server's schema already holds tables of ours.
enum class ExistingTables {
    Refuse,  // stop before changing anything
    Replace, // drop them; the new ones appear in the same transaction, so a failed load keeps the old ones
};

// The refusal of a database that already holds tables of ours.
class PostgresTablesExist : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct PostgresLoadSummary {
    qint64 rows = 0;
    double seconds = 0;
};

// Copies every table of the embedded database file at embeddedPath into the PostgreSQL database
// that conninfo (a libpq connection string or URI) names: creates the tables, streams the rows with
// COPY, builds the indexes and gathers the planner's statistics, all in one transaction, so that a
// failure leaves the database as it was. progress hears a line per table and per index.
// Throws std::runtime_error with the server's or the file's message; no message ever holds the
// connection's password.
PostgresLoadSummary loadIntoPostgres(const QString &embeddedPath, const QString &conninfo,
                                     const std::function<void(const QString &)> &progress = {},
                                     ExistingTables existing = ExistingTables::Refuse);

// Connects and throws what loadIntoPostgres with ExistingTables::Refuse would throw before copying
// anything, so that a caller can refuse before spending time on the data.
void checkPostgresTarget(const QString &conninfo);

} // namespace tipdesk::app
