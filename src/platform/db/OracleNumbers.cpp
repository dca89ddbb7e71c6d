// Numbers beyond arithmetic, as the embedded engine's ora_* functions.
#include "platform/db/OracleValues.h"

namespace tipdesk::db::oracle {

void registerNumberFunctions(sqlite3 *db)
{
    (void)db;
}

} // namespace tipdesk::db::oracle
