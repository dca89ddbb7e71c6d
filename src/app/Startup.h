#pragma once

#include <QApplication>
#include <QObject>
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
};

// The login dialog run as start-up runs it.
bool runLoginDialog();

// Program entry after the application object: the shared data module (which connects), the
// report query module, the main menu (hidden), the login, then the event loop. A cancelled
// login ends the program at once; the menu is never shown. Returns the program's exit code.
int runStartup(QApplication &app, const StartupSteps &steps = {});

// The application object: an error that no handler caught goes to the default error box.
class TipdeskApplication : public QApplication {
public:
    TipdeskApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace tipdesk::app
