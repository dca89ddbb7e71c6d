#include "platform/report/ui/FindBar.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>
#include <algorithm>

namespace tipdesk::report {

FindBar::FindBar(std::function<int()> currentPage, QWidget *parent)
    : QWidget(parent), m_currentPage(std::move(currentPage))
{
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("findText"));
    m_edit->setPlaceholderText(QStringLiteral("찾을 내용"));
    m_edit->setClearButtonEnabled(true);
    m_edit->installEventFilter(this);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("findStatus"));
    // F3 and Shift+F3 work anywhere in the window, the bar open or not.
    auto button = [this, parent](const QString &text, const QKeySequence &key, QStyle::StandardPixmap icon,
                                 int direction) {
        auto *a = new QAction(style()->standardIcon(icon), text, parent);
        a->setShortcut(key);
        a->setToolTip(QStringLiteral("%1 (%2)").arg(text, key.toString(QKeySequence::NativeText)));
        connect(a, &QAction::triggered, this, [this, direction] { step(direction); });
        parent->addAction(a);
        auto *b = new QToolButton(this);
        b->setDefaultAction(a);
        b->setAutoRaise(true);
        return b;
    };
    auto *close = new QToolButton(this);
    close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    close->setToolTip(QStringLiteral("닫기 (Esc)"));
    close->setAutoRaise(true);
    connect(close, &QToolButton::clicked, this, [this] { this->close(); });
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->addWidget(new QLabel(QStringLiteral("찾기:"), this));
    layout->addWidget(m_edit, 1);
    layout->addWidget(
        button(QStringLiteral("이전 찾기"), QKeySequence(Qt::SHIFT | Qt::Key_F3), QStyle::SP_ArrowUp, -1));
    layout->addWidget(button(QStringLiteral("다음 찾기"), QKeySequence(Qt::Key_F3), QStyle::SP_ArrowDown, 1));
    layout->addWidget(m_status, 1);
    layout->addWidget(close);
    connect(m_edit, &QLineEdit::textChanged, this, [this] { searchAgain(); });
    hide();
}

void FindBar::open()
{
    const bool wasHidden = isHidden();
    show();
    m_edit->setFocus(Qt::ShortcutFocusReason);
    m_edit->selectAll();
    if (wasHidden)
        searchAgain();
}

void FindBar::close()
{
    hide();
    m_search.setText({});
    m_current = -1;
    emit marksChanged();
}

void FindBar::find(const QString &text)
{
    open();
    m_edit->setText(text);
}

void FindBar::setPages(const PageModel *model, int pages, bool replaced)
{
    // The same pages under another owner (a cancelled build) keep their hits.
    m_model = model;
    if (replaced || pages < m_search.searchedPages()) {
        m_search.restart();
        m_current = -1;
    }
    m_pages = pages;
    if (isHidden() || !m_model)
        return;
    if (m_search.update(*m_model, m_pages) > 0 || replaced) {
        showStatus();
        emit marksChanged();
    }
}

// A new text finds its first hit on the page shown or after it, as reading on would.
void FindBar::searchAgain()
{
    m_search.setText(m_edit->text());
    m_current = -1;
    if (m_model)
        m_search.update(*m_model, m_pages);
    emit marksChanged();
    if (m_search.hits().empty()) {
        showStatus();
        return;
    }
    const int from = m_search.firstFrom(m_currentPage());
    choose(from < 0 ? 0 : from);
}

void FindBar::step(int direction)
{
    if (isHidden()) {
        open();
        if (m_current >= 0)
            return;
    }
    const int n = int(m_search.hits().size());
    if (n == 0) {
        showStatus();
        return;
    }
    if (m_current < 0) {
        // From the page shown: the first hit on it or after, or the last one before it.
        const int from = m_search.firstFrom(m_currentPage());
        choose(direction > 0 ? std::max(from, 0) : ((from < 0 ? 0 : from) + n - 1) % n);
        return;
    }
    choose((m_current + direction + n) % n);
}

void FindBar::choose(int hit)
{
    m_current = hit;
    showStatus();
    emit marksChanged();
    emit hitChosen(m_search.hits()[size_t(hit)]);
}

void FindBar::showStatus()
{
    if (m_search.text().isEmpty())
        m_status->clear();
    else if (m_search.hits().empty())
        m_status->setText(QStringLiteral("찾을 수 없습니다"));
    else
        m_status->setText(QStringLiteral("%1 / %2")
                              .arg(m_current < 0 ? QStringLiteral("-") : QString::number(m_current + 1))
                              .arg(m_search.hits().size()));
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    // Enter finds on, Shift+Enter back; the dialog must not take Enter for its default button.
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            step(key->modifiers() & Qt::ShiftModifier ? -1 : 1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tipdesk::report
