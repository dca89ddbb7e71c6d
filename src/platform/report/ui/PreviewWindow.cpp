#include "platform/report/ui/PreviewWindow.h"
#include "platform/report/Painter.h"
#include "platform/report/Renderer.h"
#include "platform/report/ui/Print.h"
#include "platform/ui/UiService.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <optional>

namespace tipdesk::report {

namespace {

// One page, painted straight from the page model at the current zoom.
class PageView : public QWidget {
public:
    explicit PageView(QWidget *parent) : QWidget(parent) { setAutoFillBackground(false); }

    double dpi() const { return m_dpi; }

    void show(const PageModel *model, int index, double dpi)
    {
        m_model = model;
        m_index = index;
        m_dpi = dpi;
        QSizeF mm =
            (model && index >= 0 && index < model->pageCount()) ? model->pages[size_t(index)].size : QSizeF(210, 297);
        setFixedSize(int(mm.width() * dpi / 25.4) + 1, int(mm.height() * dpi / 25.4) + 1);
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        if (m_model && m_index >= 0 && m_index < m_model->pageCount())
            paintPage(p, *m_model, m_index, m_dpi, m_dpi);
        p.setPen(Qt::darkGray);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }

private:
    const PageModel *m_model = nullptr;
    int m_index = 0;
    double m_dpi = 96;
};

// The zoom steps after the two that fit the window; Ctrl+wheel, Ctrl+= and Ctrl+- move through them.
constexpr int kFitSteps = 2;
const int kZoomPercents[] = {25, 50, 75, 100, 125, 150, 200, 300, 400};

// The user's own settings: the window's place and zoom, the last folder.
QSettings userSettings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("tipdesk"), QStringLiteral("tipdesk"));
}

const QString kGeometryKey = QStringLiteral("preview/geometry");
const QString kZoomKey = QStringLiteral("preview/zoom");
const QString kFolderKey = QStringLiteral("preview/folder");

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

namespace {

// The file dialog for saving or loading, starting at `suggested`. Saving adds the type's
// extension to a name typed without one before the dialog's own question about overwriting.
QString askForFile(QWidget *parent, PreviewWindow::FileAction action, const QString &filters, const QString &suggested,
                   QString *selectedFilter)
{
    const bool saving = action == PreviewWindow::FileAction::Save;
    QFileDialog dialog(parent, saving ? QStringLiteral("저장") : QStringLiteral("불러오기"), suggested, filters);
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (saving) {
        dialog.selectFile(suggested);
        dialog.setDefaultSuffix(extensionOf(filters.section(QStringLiteral(";;"), 0, 0)));
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&](const QString &f) { dialog.setDefaultSuffix(extensionOf(f)); });
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    *selectedFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().front();
}

} // namespace

QString fileNameFor(const QString &documentName)
{
    QString name = documentName.simplified();
    for (QChar &c : name)
        if (QStringView(u"/\\:*?\"<>|").contains(c) || c.category() == QChar::Other_Control)
            c = u'_';
    return name.isEmpty() ? QStringLiteral("보고서") : name;
}

QString extensionOf(const QString &filter)
{
    static const QRegularExpression extension(QStringLiteral("\\*\\.(\\w+)"));
    return extension.match(filter).captured(1);
}

QString withExtension(const QString &path, const QString &selectedFilter, const QString &filters)
{
    const QString suffix = QFileInfo(path).suffix();
    const QStringList known = filters.split(QStringLiteral(";;")) << selectedFilter;
    for (const QString &filter : known)
        if (!suffix.isEmpty() && suffix.compare(extensionOf(filter), Qt::CaseInsensitive) == 0)
            return path;
    const QString chosen = extensionOf(selectedFilter);
    return chosen.isEmpty() ? path : path + u'.' + chosen;
}

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
    layout->addWidget(d->scroll, 1);
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
            showPage(d->current);
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
        showPage(d->current);
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
    const QString filters = QStringLiteral("PDF 파일 (*.pdf);;저장된 보고서 (*.tdr)");
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
    disconnect(d->pageBox, nullptr, this, nullptr);
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
    const int n = d->available();
    d->current = std::clamp(index, 0, std::max(0, n - 1));
    d->pageBox->setMaximum(std::max(1, n));
    d->pageBox->setValue(d->current + 1);
    d->countLabel->setText(QStringLiteral(" / %1%2").arg(n).arg(building() ? QStringLiteral("+") : QString()));
    const QSizeF mm = n > 0 ? model().pages[size_t(d->current)].size : QSizeF(210, 297);
    const QSize viewport = d->scroll->viewport()->size() - QSize(8, 8);
    double dpi = logicalDpiX();
    switch (d->zoom->currentIndex()) {
    case 0:
        dpi = std::min(viewport.width() / (mm.width() / 25.4), viewport.height() / (mm.height() / 25.4));
        break;
    case 1:
        dpi = viewport.width() / (mm.width() / 25.4);
        break;
    default:
        dpi = logicalDpiX() * kZoomPercents[d->zoom->currentIndex() - kFitSteps] / 100.0;
        break;
    }
    d->view->show(n > 0 ? &model() : nullptr, d->current, std::max(10.0, dpi));
}

} // namespace tipdesk::report
