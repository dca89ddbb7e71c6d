#include "platform/ui/DeskUi.h"
#include "platform/ui/UiService.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleOptionMenuItem>
#include <QStyleOptionViewItem>
#include <QTranslator>
#include <algorithm>
#include <memory>

namespace tipdesk::ui {

namespace {

const QLocale kKorean(QLocale::Korean, QLocale::SouthKorea);

// The message boxes, the default error box and the busy cursor of the desk's windows.
class QtUiService : public UiService {
public:
    void messageBox(const QString &title, const QString &text, Icon icon) override
    {
        QMessageBox box(icon == Icon::Stop          ? QMessageBox::Critical
                        : icon == Icon::Information ? QMessageBox::Information
                                                    : QMessageBox::NoIcon,
                        title, text, QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    }
    void showMessage(const QString &text) override
    {
        messageBox(QApplication::applicationDisplayName().isEmpty() ? QApplication::applicationName()
                                                                    : QApplication::applicationDisplayName(),
                   text, Icon::None);
    }
    void showError(const QString &text) override
    {
        QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), text, QMessageBox::Ok,
                        QApplication::activeWindow());
        box.exec();
    }
    bool question(const QString &title, const QString &text) override
    {
        QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, QApplication::activeWindow());
        QPushButton *yes = box.addButton(QStringLiteral("예"), QMessageBox::YesRole);
        box.addButton(QStringLiteral("아니요"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.exec();
        return box.clickedButton() == yes;
    }
    void setBusyCursor(bool busy) override
    {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    }
};

// Space kept above and below the text of a row, so that Hangul, which fills its whole em, never
// touches the row above or the popup's frame.
constexpr int kRowAir = 2;

int rowHeight(const QFont &font)
{
    return QFontMetrics(font).height() + 2 * kRowAir;
}

// The platform's style with the rows of lists and popups taller than their text: the fonts
// the forms were drawn with leave no leading of their own.
class DeskStyle : public QProxyStyle {
public:
    explicit DeskStyle(const QString &base) : QProxyStyle(base) {}

    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &contents,
                           const QWidget *widget) const override
    {
        QSize size = QProxyStyle::sizeFromContents(type, option, contents, widget);
        if (type == CT_ItemViewItem) {
            if (const auto *item = qstyleoption_cast<const QStyleOptionViewItem *>(option))
                size.setHeight(std::max(size.height(), rowHeight(item->font)));
        } else if (type == CT_MenuItem) {
            const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
            if (item && item->menuItemType != QStyleOptionMenuItem::Separator)
                size.setHeight(std::max(size.height(), rowHeight(item->font)));
        }
        return size;
    }
};

} // namespace

QTranslator *installQtTranslations(const QString &folder)
{
    auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
    const QString from = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    if (!translator->load(kKorean, QStringLiteral("qtbase"), QStringLiteral("_"), from) ||
        !QCoreApplication::installTranslator(translator.get()))
        return nullptr;
    return translator.release();
}

void prepareDeskUi()
{
    static bool prepared = false;
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    if (prepared || !app)
        return;
    prepared = true;
    QLocale::setDefault(kKorean);
    installQtTranslations();
    QApplication::setStyle(new DeskStyle(QApplication::style()->name()));
    static QtUiService boxes;
    UiService::setDefault(&boxes);
}

} // namespace tipdesk::ui
