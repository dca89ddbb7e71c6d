#pragma once

// The preview's find bar and the search it drives over the pages shown.

#include "platform/report/PageSearch.h"

#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;

namespace tipdesk::report {

class FindBar : public QWidget {
    Q_OBJECT
public:
    // `currentPage` tells where a new search starts from.
    FindBar(std::function<int()> currentPage, QWidget *parent);

    // Shows the bar with its text selected and searches it again.
    void open();
    void close();
    // Searches `text` as if typed into the bar.
    void find(const QString &text);
    // Moves to the next hit (direction 1) or the previous one (-1), wrapping around.
    void step(int direction);

    // The pages searched: called as pages arrive; `replaced` when the model is another one.
    void setPages(const PageModel *model, int pages, bool replaced);

    const PageSearch &search() const { return m_search; }
    // Index into search().hits(), -1 while no hit has been reached.
    int current() const { return m_current; }

signals:
    // The current hit changed: its page should be shown with the hit in view.
    void hitChosen(const SearchHit &hit);
    // The marks to draw changed (a new search, new pages, the bar closed).
    void marksChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void searchAgain();
    void showStatus();
    void choose(int hit);

    std::function<int()> m_currentPage;
    QLineEdit *m_edit = nullptr;
    QLabel *m_status = nullptr;
    PageSearch m_search;
    int m_current = -1;
    const PageModel *m_model = nullptr;
    int m_pages = 0;
};

} // namespace tipdesk::report
