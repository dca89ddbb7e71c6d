#pragma once

#include "platform/db/DbError.h"
#include "platform/ui/UiService.h"

#include <exception>

namespace tipdesk::app {

// Runs an event handler; a database error it does not catch itself goes to the default error
// box with its own text, as every uncaught error of the program does.
template <class Handler> void withDefaultErrorBox(Handler &&handler)
{
    try {
        handler();
    } catch (const db::DbError &e) {
        ui::ui().showError(e.text());
    } catch (const std::exception &e) {
        ui::ui().showError(QString::fromLocal8Bit(e.what()));
    }
}

} // namespace tipdesk::app
