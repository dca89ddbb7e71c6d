#include "platform/report/ui/PreviewWindow.h"
#include "platform/report/Painter.h"
#include "platform/report/Renderer.h"
#include "platform/report/Workbook.h"
#include "platform/report/ui/FindBar.h"
#include "platform/report/ui/PageViews.h"
#include "platform/report/ui/PreviewFiles.h"
#include "platform/report/ui/Print.h"
#include "platform/report/ui/Thumbnails.h"
#include "platform/ui/UiService.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <optional>

namespace tipdesk::report {

namespace {

// The user's own settings: the window's place and zoom, the last folder.
QSettings userSettings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("tipdesk"), QStringLiteral("tipdesk"));
}

const QString kGeometryKey = QStringLiteral("preview/geometry");
const QString kZoomKey = QStringLiteral("preview/zoom");
const QString kFolderKey = QStringLiteral("preview/folder");
const QString kThumbnailsKey = QStringLiteral("preview/thumbnails");
const QString kContinuousKey = QStringLiteral("preview/continuous");

QString lastFolder()
{
    const QString saved = userSettings().value(kFolderKey).toString();
    if (!saved.isEmpty() && QFileInfo(saved).isDir())
        return saved;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

// A geometry saved on another screen set-up is used only where some screen still holds it whole.
bool fitsAScreen(const QRect &r)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    return r.isValid() && std::any_of(screens.cbegin(), screens.cend(),
                                      [&](QScreen *s) { return s->availableGeometry().contains(r); });
}

// An icon of the desktop theme, or Qt's own where the desktop has none.
QIcon themeIcon(const QWidget *w, const char *name, QStyle::StandardPixmap fallback)
{
    return QIcon::fromTheme(QLatin1String(name), w->style()->standardIcon(fallback));
}

} // namespace

class PreviewWindow::Private {
public:
    std::unique_ptr<Renderer> renderer;
    PageModel loaded; // a finished model (after loading a saved report or the build)
    bool useLoaded = false;
    int current = 0;
    QString documentName;
    QScrollArea *scroll = nullptr;
    PageView *view = nullptr;
    FindBar *find = nullptr;
    Thumbnails *thumbs = nullptr;
    QAction *thumbsAction = nullptr;
    QAction *continuousAction = nullptr;
    bool scrolling = false; // the window scrolls, not the user: the page shown is already set
    QComboBox *zoom = nullptr;
    QSpinBox *pageBox = nullptr;
    QLabel *countLabel = nullptr;
    QLabel *status = nullptr;
    QProgressBar *progress = nullptr;
    QPushButton *cancel = nullptr;
    QTimer *timer = nullptr;
    QPrinter printer{QPrinter::HighResolution};
    bool paperChosen = false; // the user chose paper in 프린터 설정 other than the report's own
    PreviewWindow::FilePrompt prompt;

    const PageModel &model() const { return useLoaded || !renderer ? loaded : renderer->model(); }
    int available() const
    {
        if (useLoaded || !renderer)
            return loaded.pageCount();
        return renderer->finished() ? renderer->model().pageCount() : renderer->completedPages();
    }
    QSizeF pageSize() const { return model().pageCount() > 0 ? model().pages.front().size : QSizeF(210, 297); }
    QSizeF paperSize() const { return printer.pageLayout().fullRect(QPageLayout::Millimeter).size(); }
};

PreviewWindow::PreviewWindow(std::unique_ptr<Renderer> renderer, QWidget *parent)
    : QDialog(parent), d(std::make_unique<Private>())
{
    d->renderer = std::move(renderer);
    d->prompt = [this](FileAction action, const QString &filters, const QString &suggested, QString *selected) {
        return askForFile(this, action, filters, suggested, selected);
    };
    setWindowTitle(QStringLiteral("미리보기"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);

    auto *bar = buildToolBar();
    buildViews(bar);
    buildBuildLoop();
    restoreSettings();
    showPage(0);
}

QToolBar *PreviewWindow::buildToolBar()
{
    auto *bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto addAction = [&](const QString &text, const QIcon &icon, const QList<QKeySequence> &keys, auto slot) {
        QAction *a = bar->addAction(icon, text);
        a->setShortcuts(keys);
        // The tooltip names the key, as menus do.
        a->setToolTip(keys.isEmpty()
                          ? text
                          : QStringLiteral("%1 (%2)").arg(text, keys.front().toString(QKeySequence::NativeText)));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    d->zoom = new QComboBox(bar);
    d->zoom->addItems({QStringLiteral("전체 페이지"), QStringLiteral("페이지 너비")});
    for (const int percent : kZoomPercents)
        d->zoom->addItem(QStringLiteral("%1%").arg(percent));
    d->zoom->setCurrentIndex(1);
    d->zoom->setToolTip(QStringLiteral("배율 (Ctrl+휠)"));
    bar->addWidget(d->zoom);
    addAction(QStringLiteral("축소"), themeIcon(this, "zoom-out", QStyle::SP_ArrowDown),
              {QKeySequence(Qt::CTRL | Qt::Key_Minus)}, [this] { zoomStep(-1); });
    addAction(QStringLiteral("확대"), themeIcon(this, "zoom-in", QStyle::SP_ArrowUp),
              {QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(QKeySequence::ZoomIn)}, [this] { zoomStep(1); });
    bar->addSeparator();
    addAction(QStringLiteral("처음"), themeIcon(this, "go-first", QStyle::SP_MediaSkipBackward),
              {QKeySequence(Qt::Key_Home)}, [this] { showPage(0); });
    addAction(QStringLiteral("이전"), themeIcon(this, "go-previous", QStyle::SP_ArrowBack),
              {QKeySequence(Qt::Key_PageUp)}, [this] { showPage(d->current - 1); });
    d->pageBox = new QSpinBox(bar);
    d->pageBox->setMinimum(1);
    bar->addWidget(d->pageBox);
    d->countLabel = new QLabel(bar);
    d->countLabel->setObjectName(QStringLiteral("pageCount"));
    bar->addWidget(d->countLabel);
    addAction(QStringLiteral("다음"), themeIcon(this, "go-next", QStyle::SP_ArrowForward),
              {QKeySequence(Qt::Key_PageDown)}, [this] { showPage(d->current + 1); });
    addAction(QStringLiteral("마지막"), themeIcon(this, "go-last", QStyle::SP_MediaSkipForward),
              {QKeySequence(Qt::Key_End)}, [this] { showPage(d->available() - 1); });
    bar->addSeparator();
    d->thumbsAction =
        addAction(QStringLiteral("미리보기 목록"), themeIcon(this, "view-sidetree", QStyle::SP_FileDialogListView),
                  {QKeySequence(Qt::Key_F4)}, [] {});
    d->continuousAction =
        addAction(QStringLiteral("연속 보기"),
                  themeIcon(this, "view-pages-continuous", QStyle::SP_ToolBarVerticalExtensionButton), {}, [] {});
    QAction *find = addAction(QStringLiteral("찾기"), themeIcon(this, "edit-find", QStyle::SP_FileDialogContentsView),
                              {QKeySequence(QKeySequence::Find)}, [this] { d->find->open(); });
    // Icons alone, named by their tooltips: with every name written out the bar would not fit.
    for (QAction *a : {d->thumbsAction, d->continuousAction, find}) {
        a->setCheckable(a != find);
        if (auto *button = qobject_cast<QToolButton *>(bar->widgetForAction(a)))
            button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
    bar->addSeparator();
    addAction(QStringLiteral("프린터 설정"), themeIcon(this, "document-page-setup", QStyle::SP_FileDialogDetailedView),
              {}, [this] { pageSetup(); });
    addAction(QStringLiteral("인쇄"), themeIcon(this, "document-print", QStyle::SP_FileIcon),
              {QKeySequence(QKeySequence::Print)}, [this] { print(); });
    addAction(QStringLiteral("저장"), themeIcon(this, "document-save", QStyle::SP_DialogSaveButton),
              {QKeySequence(QKeySequence::Save)}, [this] { save(); });
    addAction(QStringLiteral("불러오기"), themeIcon(this, "document-open", QStyle::SP_DialogOpenButton),
              {QKeySequence(QKeySequence::Open)}, [this] { load(); });
    addAction(QStringLiteral("닫기"), themeIcon(this, "window-close", QStyle::SP_DialogCloseButton), {},
              [this] { reject(); });
    return bar;
}

void PreviewWindow::buildViews(QToolBar *bar)
{
    d->scroll = new QScrollArea(this);
    d->scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    d->scroll->setBackgroundRole(QPalette::Dark);
    d->view = new PageView(d->scroll);
    d->scroll->setWidget(d->view);
    d->find = new FindBar([this] { return d->current; }, this);
    d->thumbs = new Thumbnails(this);
    d->thumbs->hide();
    auto *pages = new QHBoxLayout;
    pages->setSpacing(0);
    pages->addWidget(d->thumbs);
    pages->addWidget(d->scroll, 1);

    d->status = new QLabel(this);
    d->status->setObjectName(QStringLiteral("status"));
    d->progress = new QProgressBar(this);
    d->progress->setRange(0, 1000);
    d->cancel = new QPushButton(QStringLiteral("취소"), this);
    auto *status = new QHBoxLayout;
    status->setContentsMargins(6, 0, 0, 0);
    status->addWidget(d->status, 1);
    status->addWidget(d->progress, 1);
    status->addWidget(d->cancel);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar);
    layout->addWidget(d->find);
    layout->addLayout(pages, 1);
    layout->addLayout(status);

    connect(d->zoom, &QComboBox::currentIndexChanged, this, [this] { showPage(d->current); });
    connect(d->pageBox, &QSpinBox::editingFinished, this, [this] {
        showPage(d->pageBox->value() - 1);
        // After Enter the page box would keep Home and End for its own cursor; hand the keys back
        // to the page. (When it lost focus to another widget, that widget keeps it.)
        if (d->pageBox->hasFocus())
            d->scroll->setFocus(Qt::OtherFocusReason);
    });
    // The fitting zooms follow the window: showing, resizing, scroll bars coming and going; the
    // wheel with Ctrl zooms.
    d->scroll->viewport()->installEventFilter(this);

    connect(d->find, &FindBar::hitChosen, this, [this](const SearchHit &hit) { showHit(hit); });
    connect(d->find, &FindBar::marksChanged, this,
            [this] { d->view->setSearch(d->find->isHidden() ? nullptr : &d->find->search(), d->find->current()); });
    connect(d->thumbs, &Thumbnails::pageChosen, this, [this](int index) { showPage(index); });
    connect(d->thumbsAction, &QAction::toggled, d->thumbs, &QWidget::setVisible);
    connect(d->continuousAction, &QAction::toggled, this, [this] { showPage(d->current); });
    // Saved as the user switches, not as the window takes up the last state.
    connect(d->thumbsAction, &QAction::triggered, this, [](bool on) { userSettings().setValue(kThumbnailsKey, on); });
    connect(d->continuousAction, &QAction::triggered, this,
            [](bool on) { userSettings().setValue(kContinuousKey, on); });
    connect(d->scroll->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { followScroll(); });
}

// Pages arrived, the zoom or the window changed, or (`replaced`) the model is another one: lays
// the pages out again without moving to another page.
void PreviewWindow::layoutPages(bool replaced)
{
    const int n = d->available();
    d->current = std::clamp(d->current, 0, std::max(0, n - 1));
    d->pageBox->setMaximum(std::max(1, n));
    d->pageBox->setValue(d->current + 1);
    d->countLabel->setText(QStringLiteral(" / %1%2").arg(n).arg(building() ? QStringLiteral("+") : QString()));
    const QSizeF mm = n > 0 ? model().pages[size_t(d->current)].size : QSizeF(210, 297);
    const double dpi = zoomDpi(d->zoom->currentIndex(), mm, d->scroll->viewport()->size() - QSize(8, 8), logicalDpiX());
    if (replaced)
        d->view->forgetShapes();
    scrollGuarded([&] {
        d->view->show(n > 0 ? &model() : nullptr, n, d->current, std::max(10.0, dpi), d->continuousAction->isChecked());
    });
    d->find->setPages(&model(), n, replaced);
    d->thumbs->setPages(&model(), n, replaced);
    d->thumbs->setCurrentPage(d->current);
}

void PreviewWindow::showHit(const SearchHit &hit)
{
    if (hit.page != d->current)
        showPage(hit.page);
    const Page &page = model().pages[size_t(hit.page)];
    const QRect box = d->view->mmRect(hit.page, page.items[size_t(hit.item)].rect);
    scrollGuarded([&] {
        d->scroll->ensureVisible(box.center().x(), box.center().y(), box.width() / 2 + 40, box.height() / 2 + 60);
    });
}

void PreviewWindow::scrollGuarded(const std::function<void()> &scroll)
{
    const bool was = d->scrolling;
    d->scrolling = true;
    scroll();
    d->scrolling = was;
}

// In continuous mode the page shown is the one across the middle of the view.
void PreviewWindow::followScroll()
{
    if (d->scrolling || !d->view->continuous() || d->available() == 0)
        return;
    const int page = d->view->pageAt(d->scroll->verticalScrollBar()->value() + d->scroll->viewport()->height() / 2);
    if (page == d->current)
        return;
    d->current = page;
    d->pageBox->setValue(page + 1);
    d->thumbs->setCurrentPage(page);
}

void PreviewWindow::keyPressEvent(QKeyEvent *event)
{
    // Esc closes the find bar first, the window only after.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && !d->find->isHidden()) {
        d->find->close();
        d->scroll->setFocus(Qt::OtherFocusReason);
        return;
    }
    QDialog::keyPressEvent(event);
}

void PreviewWindow::buildBuildLoop()
{
    // Builds in slices between events, so the first page shows while the rest is built.
    d->timer = new QTimer(this);
    d->timer->setInterval(0);
    connect(d->timer, &QTimer::timeout, this, [this] {
        QElapsedTimer t;
        t.start();
        const int before = d->available();
        std::optional<QString> failure;
        try {
            while (t.elapsed() < 40 && d->renderer->step()) {
            }
        } catch (const std::exception &e) {
            d->timer->stop();
            d->renderer->takeModel();
            d->loaded = PageModel();
            d->useLoaded = true;
            failure = QString::fromUtf8(e.what());
        }
        if (d->useLoaded || d->renderer->finished()) {
            d->timer->stop();
            d->progress->hide();
            d->cancel->hide();
        } else {
            d->progress->setValue(int(d->renderer->progress() * 1000));
        }
        if (d->available() != before || !building())
            layoutPages(failure.has_value());
        // Shown once the window has settled: the box runs its own event loop.
        if (failure)
            ui::ui().showError(*failure);
    });
    connect(d->cancel, &QPushButton::clicked, this, [this] {
        // Keeps the pages built so far.
        d->timer->stop();
        const int keep = d->available();
        d->loaded = d->renderer->takeModel();
        d->loaded.pages.resize(size_t(keep));
        d->useLoaded = true;
        d->progress->hide();
        d->cancel->hide();
        layoutPages();
    });
    if (d->renderer) {
        d->timer->start();
    } else {
        d->useLoaded = true;
        d->progress->hide();
        d->cancel->hide();
    }
}

void PreviewWindow::restoreSettings()
{
    const QSettings settings = userSettings();
    const int zoom = d->zoom->findText(settings.value(kZoomKey).toString());
    if (zoom >= 0)
        d->zoom->setCurrentIndex(zoom);
    d->thumbsAction->setChecked(settings.value(kThumbnailsKey, false).toBool());
    d->continuousAction->setChecked(settings.value(kContinuousKey, false).toBool());
    const QRect saved = settings.value(kGeometryKey).toRect();
    if (fitsAScreen(saved)) {
        setGeometry(saved);
        return;
    }
    // Within the screen, and never more than 90 % of it.
    const QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1000, 800);
    const QSize size(area.width() * 9 / 10, area.height() * 9 / 10);
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, area));
}

void PreviewWindow::done(int result)
{
    QSettings settings = userSettings();
    settings.setValue(kGeometryKey, geometry());
    settings.setValue(kZoomKey, d->zoom->currentText());
    QDialog::done(result);
}

void PreviewWindow::zoomStep(int direction)
{
    const double now = d->view->dpi() * 100 / logicalDpiX();
    int target = -1;
    for (int i = kFitSteps; i < d->zoom->count(); ++i) {
        const double percent = kZoomPercents[i - kFitSteps];
        if (direction > 0 && percent > now + 1) {
            target = i;
            break;
        }
        if (direction < 0 && percent < now - 1)
            target = i;
    }
    if (target >= 0)
        d->zoom->setCurrentIndex(target);
}

void PreviewWindow::setDocumentName(const QString &name)
{
    d->documentName = name;
}

// The report's own paper for every job, unless the user chose other paper in 프린터 설정; paper
// that does not hold the page takes it scaled down and centred, and the status line says so.
void PreviewWindow::announcePaper()
{
    const double scale = fitScale(d->pageSize(), d->paperSize());
    d->status->setText(scale < 1
                           ? QStringLiteral("선택한 용지에 페이지가 들어가지 않아 %1%로 줄여 가운데에 인쇄합니다.")
                                 .arg(int(std::floor(scale * 100)))
                           : QString());
}

void PreviewWindow::takeReportPaper()
{
    if (!d->paperChosen)
        d->printer.setPageLayout(paperFor(d->pageSize()));
}

void PreviewWindow::pageSetup()
{
    takeReportPaper();
    QPageSetupDialog dlg(&d->printer, this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    d->paperChosen = !d->printer.pageLayout().isEquivalentTo(paperFor(d->pageSize()));
    announcePaper();
}

void PreviewWindow::print()
{
    if (building())
        return;
    takeReportPaper();
    QPrintDialog dlg(&d->printer, this);
    dlg.setMinMax(1, d->available());
    dlg.setOption(QAbstractPrintDialog::PrintPageRange);
    if (dlg.exec() != QDialog::Accepted)
        return;
    announcePaper();
    try {
        printModel(model(), d->printer);
    } catch (const ReportError &e) {
        ui::ui().showError(e.text());
    }
}

void PreviewWindow::save()
{
    if (building())
        return;
    const QString filters = QStringLiteral("PDF 파일 (*.pdf);;Excel 통합 문서 (*.xlsx);;저장된 보고서 (*.tdr)");
    const QString name = fileNameFor(d->documentName.isEmpty() ? model().title : d->documentName);
    QString filter;
    QString path =
        d->prompt(FileAction::Save, filters, QDir(lastFolder()).filePath(name + QStringLiteral(".pdf")), &filter);
    if (path.isEmpty())
        return;
    path = withExtension(path, filter.isEmpty() ? filters.section(QStringLiteral(";;"), 0, 0) : filter, filters);
    try {
        if (path.endsWith(QLatin1String(".tdr"), Qt::CaseInsensitive))
            model().saveFile(path);
        else if (path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive))
            writeWorkbook(model(), path);
        else
            writePdf(model(), path);
        userSettings().setValue(kFolderKey, QFileInfo(path).absolutePath());
    } catch (const ReportError &e) {
        ui::ui().showError(e.text());
    }
}

void PreviewWindow::load()
{
    QString filter;
    const QString path = d->prompt(FileAction::Load, QStringLiteral("저장된 보고서 (*.tdr)"), lastFolder(), &filter);
    if (path.isEmpty())
        return;
    try {
        loadModel(PageModel::loadFile(path));
        userSettings().setValue(kFolderKey, QFileInfo(path).absolutePath());
    } catch (const ReportError &e) {
        ui::ui().showError(e.text());
    }
}

PreviewWindow::~PreviewWindow()
{
    // QDialog's destructor hides the window after d is gone; the page box losing focus then must
    // not navigate.
    for (QObject *sender :
         std::initializer_list<QObject *>{d->pageBox, d->scroll->verticalScrollBar(), d->find, d->thumbs})
        disconnect(sender, nullptr, this, nullptr);
    d->scroll->viewport()->removeEventFilter(this);
}

bool PreviewWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == d->scroll->viewport()) {
        if (event->type() == QEvent::Resize && d->zoom->currentIndex() < kFitSteps)
            showPage(d->current);
        if (event->type() == QEvent::Wheel) {
            const auto *wheel = static_cast<QWheelEvent *>(event);
            if (wheel->modifiers() & Qt::ControlModifier) {
                if (wheel->angleDelta().y() != 0)
                    zoomStep(wheel->angleDelta().y() > 0 ? 1 : -1);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PreviewWindow::loadModel(PageModel model)
{
    d->timer->stop();
    d->loaded = std::move(model);
    d->useLoaded = true;
    d->progress->hide();
    d->cancel->hide();
    d->current = 0;
    layoutPages(true);
    showPage(0);
}

const PageModel &PreviewWindow::model() const
{
    return d->model();
}

int PreviewWindow::currentPage() const
{
    return d->current;
}

void PreviewWindow::setFilePrompt(FilePrompt prompt)
{
    d->prompt = std::move(prompt);
}

bool PreviewWindow::building() const
{
    return !d->useLoaded && d->renderer && !d->renderer->finished();
}

void PreviewWindow::showPage(int index)
{
    d->current = std::clamp(index, 0, std::max(0, d->available() - 1));
    layoutPages();
    if (d->view->continuous())
        scrollGuarded([this] { d->scroll->verticalScrollBar()->setValue(d->view->pageRect(d->current).top()); });
}

void PreviewWindow::find(const QString &text)
{
    d->find->find(text);
}

SearchHit PreviewWindow::currentHit() const
{
    const int i = d->find->current();
    return i < 0 ? SearchHit() : d->find->search().hits()[size_t(i)];
}

} // namespace tipdesk::report
