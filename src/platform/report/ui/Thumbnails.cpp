#include "platform/report/ui/Thumbnails.h"
#include "platform/report/Painter.h"

#include <QElapsedTimer>
#include <QPainter>
#include <algorithm>

namespace tipdesk::report {

namespace {

constexpr int kBudgetMs = 15;             // drawing per turn of the event loop
constexpr int kCacheCost = 48 * 1024;     // KiB of drawn thumbnails kept
const QColor kPlaceholder(235, 235, 235); // a sheet not drawn yet

} // namespace

ThumbnailModel::ThumbnailModel(QListView *view) : QAbstractListModel(view), m_view(view), m_drawn(kCacheCost)
{
    m_timer.setInterval(30);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { drawSome(); });
}

void ThumbnailModel::setPages(const PageModel *model, int pages, bool replaced)
{
    m_model = model; // the same pages under another owner (a cancelled build) keep their thumbnails
    if (replaced || pages < m_pages) {
        beginResetModel();
        m_pages = pages;
        m_drawn.clear();
        m_wanted.clear();
        endResetModel();
    } else if (pages > m_pages) {
        beginInsertRows({}, m_pages, pages - 1);
        m_pages = pages;
        endInsertRows();
    }
}

int ThumbnailModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_pages;
}

QSize ThumbnailModel::sheetSize(int row) const
{
    const QSizeF mm = m_model->pages[size_t(row)].size;
    return {kWidth, int(kWidth * mm.height() / std::max(1.0, mm.width()))};
}

QVariant ThumbnailModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_pages || !m_model)
        return {};
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole:
        return QString::number(row + 1);
    case Qt::DecorationRole:
        if (const QImage *image = m_drawn.object(row))
            return *image;
        if (std::find(m_wanted.begin(), m_wanted.end(), row) == m_wanted.end())
            m_wanted.push_back(row);
        if (!m_timer.isActive())
            m_timer.start();
        {
            QImage blank(sheetSize(row), QImage::Format_RGB32);
            blank.fill(kPlaceholder);
            return blank;
        }
    case Qt::SizeHintRole:
        // Asked of every row: answered without drawing anything.
        return QSize(kWidth + 16, sheetSize(row).height() + m_view->fontMetrics().height() + 16);
    case Qt::TextAlignmentRole:
        return int(Qt::AlignHCenter);
    default:
        return {};
    }
}

void ThumbnailModel::drawSome()
{
    QElapsedTimer clock;
    clock.start();
    const QRect visible = m_view->viewport()->rect();
    while (!m_wanted.empty() && clock.elapsed() < kBudgetMs) {
        const int row = m_wanted.back();
        m_wanted.pop_back();
        // Scrolled past meanwhile: asked for again when it comes back into view.
        if (row >= m_pages || m_drawn.contains(row) || !m_view->visualRect(index(row)).intersects(visible))
            continue;
        const QSize size = sheetSize(row);
        // Drawn larger and scaled down: at this size text drawn directly is only noise.
        QImage image = renderPage(*m_model, row, 2 * kWidth * 25.4 / m_model->pages[size_t(row)].size.width())
                           .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QPainter frame(&image);
        frame.setPen(Qt::darkGray);
        frame.drawRect(image.rect().adjusted(0, 0, -1, -1));
        frame.end();
        const int cost = int(image.sizeInBytes() / 1024) + 1;
        m_drawn.insert(row, new QImage(std::move(image)), cost);
        emit dataChanged(index(row), index(row), {Qt::DecorationRole});
    }
    if (!m_wanted.empty())
        m_timer.start();
}

Thumbnails::Thumbnails(QWidget *parent) : QListView(parent), m_model(new ThumbnailModel(this))
{
    setObjectName(QStringLiteral("thumbnails"));
    setViewMode(QListView::IconMode);
    setFlow(QListView::TopToBottom);
    setWrapping(false);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(false);
    setIconSize(QSize(ThumbnailModel::kWidth, ThumbnailModel::kWidth * 2));
    setSpacing(4);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFixedWidth(ThumbnailModel::kWidth + 40 + style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    setModel(m_model);
    m_first.setSingleShot(true);
    m_first.setInterval(50);
    connect(&m_first, &QTimer::timeout, this, [this] { addPending(); });
    connect(this, &QListView::clicked, this, [this](const QModelIndex &i) { emit pageChosen(i.row()); });
    connect(this, &QListView::activated, this, [this](const QModelIndex &i) { emit pageChosen(i.row()); });
}

void Thumbnails::setPages(const PageModel *model, int pages, bool replaced)
{
    m_pending = {model, pages, m_pending.replaced || replaced};
    // The first pages wait a moment: the frame that first shows the page is not to lay out and
    // paint the panel's items as well.
    if (m_model->rowCount() == 0 && pages > 0) {
        if (!m_first.isActive())
            m_first.start();
        return;
    }
    addPending();
}

void Thumbnails::addPending()
{
    m_model->setPages(m_pending.model, m_pending.pages, m_pending.replaced);
    m_pending.replaced = false;
    setCurrentPage(m_current);
}

void Thumbnails::setCurrentPage(int index)
{
    m_current = index;
    const QModelIndex i = m_model->index(index);
    if (!i.isValid() || currentIndex() == i)
        return;
    selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
    scrollTo(i);
}

} // namespace tipdesk::report
