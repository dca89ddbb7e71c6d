#pragma once

#include "platform/report/PageModel.h"

#include <QDialog>
#include <functional>
#include <memory>

class QPrinter;

namespace tipdesk::report {

class Renderer;

// The print preview: zoom, page navigation, printer setup, print, save (PDF or saved report),
// load, close. Shows pages as soon as they are built while the renderer runs on in the event
// loop; the build can be cancelled.
class PreviewWindow : public QDialog {
    Q_OBJECT
public:
    // Takes a renderer still building, or nullptr with a finished model (loadModel()).
    explicit PreviewWindow(std::unique_ptr<Renderer> renderer, QWidget *parent = nullptr);
    ~PreviewWindow() override;

    void loadModel(PageModel model);
    const PageModel &model() const;
    int currentPage() const; // 0-based
    void showPage(int index);
    bool building() const;

    // Asks where to save, or what to load: a path, or an empty one when the user cancels, and the
    // file type chosen in selectedFilter. The file dialogs by default; tests answer instead.
    enum class FileAction { Save, Load };
    using FilePrompt = std::function<QString(FileAction action, const QString &filters, QString *selectedFilter)>;
    void setFilePrompt(FilePrompt prompt);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class Private;
    std::unique_ptr<Private> d;
};

} // namespace tipdesk::report
