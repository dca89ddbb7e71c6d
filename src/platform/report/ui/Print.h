#pragma once

// Printing the page model: the one painter on a printer.

#include "platform/report/PageModel.h"

class QPrinter;

namespace tipdesk::report {

// Prints the printer's page range (all when none) and copies, each page on the printer's paper as
// it is set, scaled down and centred where it does not fit. Throws ReportError in Korean when the
// printer refuses the job; printed to a file, nothing half-written is left under its name.
void printModel(const PageModel &model, QPrinter &printer);

} // namespace tipdesk::report
