#pragma once

// The print preview of a report form.

#include <functional>

namespace tipdesk::report {

class ReportForm;

// Shows the form's report in the preview window, modal: the pages appear as they are built, and
// the call returns when the window closes.
void preview(ReportForm &form);

// Replaces the window for tests and batch runs; nullptr restores it.
using PreviewHook = std::function<void(ReportForm &)>;
void setPreviewHook(PreviewHook hook);

} // namespace tipdesk::report
