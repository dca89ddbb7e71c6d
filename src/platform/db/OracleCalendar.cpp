// Calendar functions of DATE values, as the embedded engine's ora_* functions.
#include "platform/db/OracleValues.h"

namespace tipdesk::db::oracle {

void registerCalendarFunctions(sqlite3 *db)
{
    (void)db;
}

} // namespace tipdesk::db::oracle
