#include "platform/report/ui/FindBar.h"

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
    auto button = [this](const QString &tip, QStyle::StandardPixmap icon, auto slot) {
        auto *b = new QToolButton(this);
        b->setIcon(style()->standardIcon(icon));
        b->setToolTip(tip);
        b->setAutoRaise(true);
        connect(b, &QToolButton::clicked, this, slot);
        return b;
    };
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->addWidget(new QLabel(QStringLiteral("찾기:"), this));
    layout->addWidget(m_edit, 1);
    layout->addWidget(button(QStringLiteral("이전 찾기 (Shift+F3)"), QStyle::SP_ArrowUp, [this] { step(-1); }));
    layout->addWidget(button(QStringLiteral("다음 찾기 (F3)"), QStyle::SP_ArrowDown, [this] { step(1); }));
    layout->addWidget(m_status, 1);
    layout->addWidget(button(QStringLiteral("닫기 (Esc)"), QStyle::SP_TitleBarCloseButton, [this] { close(); }));
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
