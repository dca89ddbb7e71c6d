#include "platform/report/ui/Preview.h"
#include "platform/report/Fonts.h"
#include "platform/report/Renderer.h"
#include "platform/report/ReportForm.h"
#include "platform/report/ui/PreviewWindow.h"

namespace tipdesk::report {

namespace {

PreviewHook &previewHook()
{
    static PreviewHook hook;
    return hook;
}

} // namespace

void setPreviewHook(PreviewHook hook)
{
    previewHook() = std::move(hook);
}

void preview(ReportForm &form)
{
    if (previewHook()) {
        previewHook()(form);
        return;
    }
    installFontSubstitutes();
    PreviewWindow window(std::make_unique<Renderer>(form));
    window.setDocumentName(form.documentName());
    window.exec();
}

} // namespace tipdesk::report
