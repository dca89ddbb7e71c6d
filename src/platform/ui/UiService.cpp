#include "platform/ui/UiService.h"

#include <cstdio>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace tipdesk::ui {

namespace {

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

QtUiService &qtService()
{
    static QtUiService s;
    return s;
}

UiService *&current()
{
    static UiService *s = nullptr;
    return s;
}

} // namespace

UiService &UiService::instance()
{
    return current() ? *current() : qtService();
}

void UiService::install(UiService *service)
{
    current() = service;
}

void RecordingUiService::messageBox(const QString &title, const QString &text, Icon icon)
{
    entries.append({Kind::Box, title, text, icon});
}

void RecordingUiService::showMessage(const QString &text)
{
    entries.append({Kind::Message, QString(), text, Icon::None});
}

void RecordingUiService::showError(const QString &text)
{
    entries.append({Kind::Error, QString(), text, Icon::Stop});
}

bool RecordingUiService::question(const QString &title, const QString &text)
{
    entries.append({Kind::Question, title, text, Icon::None});
    return !answers.isEmpty() && answers.takeFirst();
}

void RecordingUiService::setBusyCursor(bool busy)
{
    busyDepth += busy ? 1 : -1;
    ++busyChanges;
}

ScopedRecordingUi::ScopedRecordingUi() : m_previous(current())
{
    UiService::install(&m_service);
}

ScopedRecordingUi::~ScopedRecordingUi()
{
    UiService::install(m_previous);
}

namespace {

void errorLine(const QString &line)
{
    std::fputs(line.toUtf8().constData(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

} // namespace

void StreamUiService::messageBox(const QString &title, const QString &text, Icon)
{
    errorLine(title + QStringLiteral(": ") + text);
}

void StreamUiService::showMessage(const QString &text)
{
    errorLine(text);
}

void StreamUiService::showError(const QString &text)
{
    ++errors;
    errorLine(text);
}

bool StreamUiService::question(const QString &title, const QString &text)
{
    errorLine(title + QStringLiteral(": ") + text);
    return false;
}

} // namespace tipdesk::ui
