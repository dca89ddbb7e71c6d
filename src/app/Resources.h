#pragma once

namespace tipdesk::app {

// Registers the artwork compiled into the application library; harmless when called again.
void initArtResources();

} // namespace tipdesk::app
