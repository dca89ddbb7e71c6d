#pragma once

#include <QList>
#include <QString>

class QWidget;

namespace tipdesk::ui {

enum class Icon { None, Stop, Information };

// Message boxes, the default error box and the busy cursor. The desk's windows bring the Qt
// implementation (platform/ui/DeskUi.h); tests install the recording one so that nothing blocks
// on a modal box.
class UiService {
public:
    virtual ~UiService() = default;
    // A modal box with one OK button; returns when it is closed.
    virtual void messageBox(const QString &title, const QString &text, Icon icon) = 0;
    // A plain box: the application's title as caption, no icon, one OK button.
    virtual void showMessage(const QString &text) = 0;
    // The application's default error box, showing an error's own text.
    virtual void showError(const QString &text) = 0;
    // A modal question with the buttons 예 (the default) and 아니요; true for 예.
    virtual bool question(const QString &title, const QString &text) = 0;
    virtual void setBusyCursor(bool busy) = 0;

    static UiService &instance();
    // Installs a service (not owned); nullptr restores the default.
    static void install(UiService *service);
    // The service used when none is installed (not owned): the Qt boxes once prepareDeskUi() has
    // run; before, and in programs without windows, lines on the error stream.
    static void setDefault(UiService *service);
};

inline UiService &ui()
{
    return UiService::instance();
}

// Shows the busy cursor for its lifetime, restoring it on every exit path.
class BusyCursor {
public:
    BusyCursor() { ui().setBusyCursor(true); }
    ~BusyCursor() { ui().setBusyCursor(false); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

// Records every box and cursor change instead of showing it.
class RecordingUiService : public UiService {
public:
    enum class Kind { Box, Message, Error, Question };
    struct Entry {
        Kind kind;
        QString title;
        QString text;
        Icon icon;
    };

    void messageBox(const QString &title, const QString &text, Icon icon) override;
    void showMessage(const QString &text) override;
    void showError(const QString &text) override;
    // Answers with the next of answers; 아니요 once they are used up.
    bool question(const QString &title, const QString &text) override;
    void setBusyCursor(bool busy) override;

    QList<Entry> entries;
    QList<bool> answers;
    int busyDepth = 0;
    int busyChanges = 0;
    void clear()
    {
        entries.clear();
        answers.clear();
        busyDepth = 0;
        busyChanges = 0;
    }
};

// The command-line tools' boxes: each becomes a line on the error stream; nothing waits for a
// button; a question is answered 아니요. Counts the errors shown.
class StreamUiService : public UiService {
public:
    void messageBox(const QString &title, const QString &text, Icon icon) override;
    void showMessage(const QString &text) override;
    void showError(const QString &text) override;
    bool question(const QString &title, const QString &text) override;
    void setBusyCursor(bool) override {}

    int errors = 0;
};

// Installs a recording service for a scope and restores the previous one after.
class ScopedRecordingUi {
public:
    ScopedRecordingUi();
    ~ScopedRecordingUi();
    RecordingUiService &operator*() { return m_service; }
    RecordingUiService *operator->() { return &m_service; }

private:
    RecordingUiService m_service;
    UiService *m_previous;
};

} // namespace tipdesk::ui
