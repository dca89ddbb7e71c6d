#pragma once

#include "platform/report/PageModel.h"
#include "platform/report/PageSearch.h"

#include <QDialog>
#include <functional>
#include <memory>

class QPrinter;
class QToolBar;

namespace tipdesk::report {

class Renderer;

// The print preview: zoom, page navigation, a page at a time or continuous, page thumbnails, find,
// printer setup, print, save (PDF or saved report), load, close. Shows pages as soon as they are
// built while the renderer runs on in the event loop; the build can be cancelled.
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

    // Opens the find bar and searches `text` as if typed there; the current hit (page -1 while
    // none is reached) is marked and its page shown.
    void find(const QString &text);
    SearchHit currentHit() const;

    // The name saving suggests, without extension: the report's title and period. The model's
    // title when none is given.
    void setDocumentName(const QString &name);

    // Asks where to save, or what to load: a path, or an empty one when the user cancels, and the
    // file type chosen in selectedFilter. `suggested` is the path offered: the last folder used
    // (else the documents folder) and, for saving, the document's name. The file dialogs by
    // default, which ask before overwriting; tests answer instead.
    enum class FileAction { Save, Load };
    using FilePrompt = std::function<QString(FileAction action, const QString &filters, const QString &suggested,
                                             QString *selectedFilter)>;
    void setFilePrompt(FilePrompt prompt);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void done(int result) override;

private:
    QToolBar *buildToolBar();
    void buildViews(QToolBar *bar);
    void buildBuildLoop();
    void layoutPages(bool replaced = false);
    void showHit(const SearchHit &hit);
    void scrollGuarded(const std::function<void()> &scroll);
    void followScroll();
    void restoreSettings();
    void zoomStep(int direction);
    void takeReportPaper();
    void announcePaper();
    void pageSetup();
    void print();
    void save();
    void load();

    class Private;
    std::unique_ptr<Private> d;
};

// A file name for a document name: characters no file system takes become "_".
QString fileNameFor(const QString &documentName);
// The extension a file filter names: "pdf" of "PDF 파일 (*.pdf)".
QString extensionOf(const QString &filter);
// The path with the extension of the chosen filter added, unless it already ends in one of the
// extensions in `filters` (which then decides the type).
QString withExtension(const QString &path, const QString &selectedFilter, const QString &filters);

} // namespace tipdesk::report
