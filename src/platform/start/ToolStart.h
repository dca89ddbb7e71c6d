#pragma once

#include <QDate>
#include <QString>

#include <optional>

class QCommandLineParser;

namespace tipdesk::tools {

enum class Platform {
    None,      // a core application
    Display,   // a GUI application on the platform the environment gives
    Offscreen, // a GUI application that opens no window
};

// Call first in main, before the application object: a program prints only what it says it
// prints. For a GUI application, where XDG_RUNTIME_DIR is unset (root, cron, a shell without a
// session) it is set to a private folder of this user, which Qt would otherwise choose itself with
// a warning on every run. With Platform::Offscreen the platform is the offscreen one unless
// QT_QPA_PLATFORM names another (reports measure text with real fonts, with or without a display).
void prepareEnvironment(Platform platform);

// A day given on the command line as YYYYMMDD, if it is one on the calendar.
std::optional<QDate> parseDay(const QString &text);

// The parser's complaint about the command line, in Korean, naming the option.
QString parseErrorText(const QCommandLineParser &parser);

} // namespace tipdesk::tools
