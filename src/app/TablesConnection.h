#pragma once

#include "platform/db/BackendSelector.h"

namespace tipdesk::app {

// The desk's own connection, as the program's data module makes it: the alias commonDB, the
// installation's Oracle service and the account stored with the program. A site's alias definition
// may name another service or its own account (db::selectBackend).
db::ConnectionParams deskConnection();

} // namespace tipdesk::app
