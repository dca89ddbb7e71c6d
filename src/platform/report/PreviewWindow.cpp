#include "platform/report/PreviewWindow.h"
#include "platform/report/Painter.h"
#include "platform/report/Renderer.h"
#include "platform/ui/UiService.h"

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <optional>

namespace tipdesk::report {

namespace {

// One page, painted straight from the page model at the current zoom.
class PageView : public QWidget {
public:
    explicit PageView(QWidget *parent) : QWidget(parent) { setAutoFillBackground(false); }

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

} // namespace

class PreviewWindow::Private {
public:
    std::unique_ptr<Renderer> renderer;
    PageModel loaded; // a finished model (after loading a saved report or the build)
    bool useLoaded = false;
    int current = 0;
    QScrollArea *scroll = nullptr;
    PageView *view = nullptr;
    QComboBox *zoom = nullptr;
    QSpinBox *pageBox = nullptr;
    QLabel *countLabel = nullptr;
    QProgressBar *progress = nullptr;
    QPushButton *cancel = nullptr;
    QTimer *timer = nullptr;
    QPrinter printer{QPrinter::HighResolution};
    PreviewWindow::FilePrompt prompt;

    const PageModel &model() const { return useLoaded || !renderer ? loaded : renderer->model(); }
    int available() const
    {
        if (useLoaded || !renderer)
            return loaded.pageCount();
        return renderer->finished() ? renderer->model().pageCount() : renderer->completedPages();
    }
};

PreviewWindow::PreviewWindow(std::unique_ptr<Renderer> renderer, QWidget *parent)
    : QDialog(parent), d(std::make_unique<Private>())
{
    d->renderer = std::move(renderer);
    d->prompt = [this](FileAction action, const QString &filters, QString *selectedFilter) {
        return action == FileAction::Save
                   ? QFileDialog::getSaveFileName(this, QStringLiteral("저장"), QString(), filters, selectedFilter)
                   : QFileDialog::getOpenFileName(this, QStringLiteral("불러오기"), QString(), filters, selectedFilter);
    };
    setWindowTitle(QStringLiteral("미리보기"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    resize(1000, 800);

    auto *bar = new QToolBar(this);
    auto addAction = [&](const QString &text, const QKeySequence &key, auto slot) {
        QAction *a = bar->addAction(text);
        if (!key.isEmpty())
            a->setShortcut(key);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    d->zoom = new QComboBox(bar);
    d->zoom->addItems({QStringLiteral("전체 페이지"), QStringLiteral("페이지 너비"), QStringLiteral("50%"),
                       QStringLiteral("75%"), QStringLiteral("100%"), QStringLiteral("150%"), QStringLiteral("200%")});
    d->zoom->setCurrentIndex(1);
    bar->addWidget(d->zoom);
    bar->addSeparator();
    addAction(QStringLiteral("처음"), QKeySequence(Qt::Key_Home), [this] { showPage(0); });
    addAction(QStringLiteral("이전"), QKeySequence(Qt::Key_PageUp), [this] { showPage(d->current - 1); });
    d->pageBox = new QSpinBox(bar);
    d->pageBox->setMinimum(1);
    bar->addWidget(d->pageBox);
    d->countLabel = new QLabel(bar);
    bar->addWidget(d->countLabel);
    addAction(QStringLiteral("다음"), QKeySequence(Qt::Key_PageDown), [this] { showPage(d->current + 1); });
    addAction(QStringLiteral("마지막"), QKeySequence(Qt::Key_End), [this] { showPage(d->available() - 1); });
    bar->addSeparator();
    addAction(QStringLiteral("프린터 설정"), QKeySequence(), [this] {
        QPageSetupDialog dlg(&d->printer, this);
        dlg.exec();
    });
    addAction(QStringLiteral("인쇄"), QKeySequence::Print, [this] {
        if (building())
            return;
        QPrintDialog dlg(&d->printer, this);
        dlg.setMinMax(1, d->available());
        dlg.setOption(QAbstractPrintDialog::PrintPageRange);
        if (dlg.exec() != QDialog::Accepted)
            return;
        try {
            printModel(model(), d->printer);
        } catch (const ReportError &e) {
            ui::ui().showError(e.text());
        }
    });
    addAction(QStringLiteral("저장"), QKeySequence::Save, [this] {
        if (building())
            return;
        QString filter;
        const QString path =
            d->prompt(FileAction::Save, QStringLiteral("PDF 파일 (*.pdf);;저장된 보고서 (*.tdr)"), &filter);
        if (path.isEmpty())
            return;
        try {
            if (path.endsWith(QLatin1String(".tdr"), Qt::CaseInsensitive) || filter.contains(QLatin1String("tdr")))
                model().saveFile(path);
            else
                writePdf(model(), path);
        } catch (const ReportError &e) {
            ui::ui().showError(e.text());
        }
    });
    addAction(QStringLiteral("불러오기"), QKeySequence::Open, [this] {
        QString filter;
        const QString path = d->prompt(FileAction::Load, QStringLiteral("저장된 보고서 (*.tdr)"), &filter);
        if (path.isEmpty())
            return;
        try {
            loadModel(PageModel::loadFile(path));
        } catch (const ReportError &e) {
            ui::ui().showError(e.text());
        }
    });
    addAction(QStringLiteral("닫기"), QKeySequence(), [this] { reject(); });

    d->scroll = new QScrollArea(this);
    d->scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    d->scroll->setBackgroundRole(QPalette::Dark);
    d->view = new PageView(d->scroll);
    d->scroll->setWidget(d->view);

    d->progress = new QProgressBar(this);
    d->progress->setRange(0, 1000);
    d->cancel = new QPushButton(QStringLiteral("취소"), this);
    auto *status = new QHBoxLayout;
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
    // The fitting zooms follow the window: showing, resizing, scroll bars coming and going.
    d->scroll->viewport()->installEventFilter(this);

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
    showPage(0);
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
    if (watched == d->scroll->viewport() && event->type() == QEvent::Resize && d->zoom->currentIndex() < 2)
        showPage(d->current);
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
        dpi = logicalDpiX() * d->zoom->currentText().chopped(1).toDouble() / 100.0;
        break;
    }
    d->view->show(n > 0 ? &model() : nullptr, d->current, std::max(10.0, dpi));
}

} // namespace tipdesk::report
