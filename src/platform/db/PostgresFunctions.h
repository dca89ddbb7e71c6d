#pragma once

#include <QString>

namespace tipdesk::db {

// The script that creates the schema tipdesk_ora and its ora_* functions on a PostgreSQL server:
// the server-side twins of the functions the embedded backend registers, with the same results and
// Oracle's error texts. Idempotent; it touches nothing outside tipdesk_ora.
QString postgresFunctionsScript();

// The number tipdesk_ora.version() returns once the script has run; a server reporting another
// number needs the script run again.
int postgresFunctionsVersion();

} // namespace tipdesk::db
