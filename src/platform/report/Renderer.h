#pragma once

// Walks the report's data set, runs the form's handlers and paginates into a page model. It can
// run to the end at once (run()) or a record at a time (step()), so that the preview shows the
// first page while later ones are still being built.

#include "platform/report/ReportForm.h"

#include <memory>

namespace tipdesk::report {

class RendererState;

class Renderer {
public:
    Renderer(ReportForm &form, const RenderOptions &options = {});
    ~Renderer();

    // Builds a little more; false once the report is complete.
    bool step();
    void run();
    bool finished() const;
    // Pages that are complete (the last page being built is not yet counted).
    int completedPages() const;
    // Progress 0..1 through the data set.
    double progress() const;

    const PageModel &model() const;
    PageModel takeModel();

private:
    std::unique_ptr<RendererState> d;
};

} // namespace tipdesk::report
