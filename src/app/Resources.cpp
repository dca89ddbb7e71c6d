#include "app/Resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initArt()
{
    Q_INIT_RESOURCE(art);
}

namespace tipdesk::app {

void initArtResources()
{
    static const bool done = (initArt(), true);
    Q_UNUSED(done);
}

} // namespace tipdesk::app
