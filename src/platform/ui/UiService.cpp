#include "platform/ui/UiService.h"

#include <cstdio>

namespace tipdesk::ui {

namespace {

UiService *&current()
{
    static UiService *s = nullptr;
    return s;
}

UiService *&fallback()
{
    static UiService *s = nullptr;
    return s;
}

} // namespace

UiService &UiService::instance()
{
    if (current())
        return *current();
    if (fallback())
        return *fallback();
    // A program without windows: every box becomes a line on the error stream.
    static StreamUiService stream;
    return stream;
}

void UiService::setDefault(UiService *service)
{
    fallback() = service;
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
