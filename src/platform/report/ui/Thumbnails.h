#pragma once

// The preview's side panel of page thumbnails.

#include "platform/report/PageModel.h"

#include <QCache>
#include <QImage>
#include <QListView>
#include <QTimer>
#include <vector>

namespace tipdesk::report {

// Drawn lazily: a thumbnail is drawn only once the panel asks for it to show it, a few at a time
// from a timer, so the panel never holds up the page or the build; drawn ones are kept within a
// bound, a long report's thumbnails being many.
class ThumbnailModel : public QAbstractListModel {
public:
    explicit ThumbnailModel(QListView *view);

    void setPages(const PageModel *model, int pages, bool replaced);
    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    static constexpr int kWidth = 110; // px, the sheet's width in the panel

private:
    QSize sheetSize(int row) const;
    void drawSome();

    QListView *m_view;
    const PageModel *m_model = nullptr;
    int m_pages = 0;
    mutable QCache<int, QImage> m_drawn;
    mutable std::vector<int> m_wanted; // rows asked for and not drawn, the latest last
    mutable QTimer m_timer;
};

class Thumbnails : public QListView {
    Q_OBJECT
public:
    explicit Thumbnails(QWidget *parent);

    void setPages(const PageModel *model, int pages, bool replaced);
    void setCurrentPage(int index);

signals:
    void pageChosen(int index);

private:
    void addPending();

    ThumbnailModel *m_model;
    struct {
        const PageModel *model = nullptr;
        int pages = 0;
        bool replaced = false;
    } m_pending;
    int m_current = 0;
    QTimer m_first;
};

} // namespace tipdesk::report
