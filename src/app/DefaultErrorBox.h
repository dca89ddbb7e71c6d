#pragma once

#include "platform/db/DbError.h"
#include "platform/ui/UiService.h"

#include <exception>

namespace tipdesk::app {

// Runs an event handler; an error it does not catch itself goes to the default error box with
// its own text, as every uncaught error of the program does.
template <class Handler> void withDefaultErrorBox(Handler &&handler)
{
    try {
        handler();
    } catch (const db::DbError &e) {
        ui::ui().showError(e.text());
    } catch (const std::exception &e) {
        // The program's errors hold UTF-8 in what(), whatever the desk's code page.
        ui::ui().showError(QString::fromUtf8(e.what()));
    }
}

} // namespace tipdesk::app
