#pragma once

#include <QApplication>
#include <QObject>
#include <QSettings>
#include <functional>

namespace tipdesk::app {

// The steps of start-up that the program supplies or tests replace.
struct StartupSteps {
    // Creates the report query module; it opens nothing at creation.
    std::function<QObject *()> createReportModule;
    // Runs the login modally and destroys it; true when an operator logged in.
    std::function<bool()> runLogin;
    // Called once the main menu exists, before the login (tests watch the order).
    std::function<void(QWidget *mainMenu)> mainMenuCreated;
    // Builds the demo database at a path that does not exist, writing it under another name and
    // moving it into place when complete; returns a line for the operator (the demo login).
    // Throws std::exception. Unset: a missing database is only reported, as any other.
    std::function<QString(const QString &path)> buildDemoDatabase;
};

// What became of a missing default database at start-up.
enum class DemoOffer {
    NotNeeded, // a database is configured or already there
    Created,
    Declined,
    Failed, // the data folder or the build failed; the error was shown
};

// When the desk would run on the default embedded file and it does not exist, says so, naming the
// path, and offers to build the demo database there (creating the data folder first). Boxes go
// through the UI service. The settings store is that of the backend selection.
DemoOffer offerDemoDatabase(const std::function<QString(const QString &path)> &build, QSettings *settings = nullptr);

// The login dialog run as start-up runs it.
bool runLoginDialog();

// Program entry after the application object: the offer of a demo database where none is there,
// the shared data module (which connects), the report query module, the main menu (hidden), the
// login, then the event loop. A cancelled login ends the program at once; the menu is never
// shown. Without the database it offered (declined or failed), or with an embedded file that
// cannot work (said once by the data module), the program ends with 1 and no login. Returns the
// program's exit code.
int runStartup(QApplication &app, const StartupSteps &steps = {});

// The application object: Korean for Qt's own dialogs and the date pickers, the desk's style,
// and an error that no handler caught goes to the default error box.
class TipdeskApplication : public QApplication {
public:
    TipdeskApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace tipdesk::app
