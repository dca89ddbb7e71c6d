#pragma once

// A report unit: what a kind needs beyond its layout and the engine's constructs and named
// handlers. Most kinds have none. A unit sees the report form (its queries, once open, and its
// parameters), never the request or the console.

#include <QString>

namespace tipdesk::report {
class ReportForm;
}

namespace tipdesk::reports {

struct Unit {
    QString name; // as the catalogue names it, the unit's file name
    // Wires the unit's handlers before the layout is read.
    void (*handlers)(report::ReportForm &form) = nullptr;
    // Runs once the kind's queries are open: adds the parameters it derives from their rows.
    void (*prepare)(report::ReportForm &form) = nullptr;
};

} // namespace tipdesk::reports
