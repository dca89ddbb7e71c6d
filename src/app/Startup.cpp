#include "app/Startup.h"

#include "app/CommonDM.h"
#include "app/DefaultErrorBox.h"
#include "app/UntMain.h"
#include "app/fPass.h"

#include <memory>

namespace tipdesk::app {

bool runLoginDialog()
{
    TfrmPass frmPass;
    const bool accepted = frmPass.exec() == QDialog::Accepted;
    return accepted && !terminationRequested();
}

int runStartup(QApplication &app, const StartupSteps &steps)
{
    clearTerminationRequest();
    // Destroyed in reverse order on leaving: the menu, the report module, then the connection.
    const auto dataModule = std::make_unique<TDataMod1>();
    const std::unique_ptr<QObject> reportModule(steps.createReportModule ? steps.createReportModule() : nullptr);
    TFrmMain frmMain;
    if (steps.mainMenuCreated)
        steps.mainMenuCreated(&frmMain);

    const bool loggedIn = steps.runLogin ? steps.runLogin() : runLoginDialog();
    // Only a successful login opens the menu, whatever ended the dialog.
    if (!loggedIn || terminationRequested())
        return 0;

    frmMain.show();
    return app.exec();
}

TipdeskApplication::TipdeskApplication(int &argc, char **argv) : QApplication(argc, argv)
{
}

bool TipdeskApplication::notify(QObject *receiver, QEvent *event)
{
    bool result = false;
    withDefaultErrorBox([&] { result = QApplication::notify(receiver, event); });
    return result;
}

} // namespace tipdesk::app
