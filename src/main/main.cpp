#include "app/Startup.h"
#include "app/UntMain.h"
#include "platform/report/Fonts.h"
#include "stats/UDMReport.h"
#include "stats/UStatHUBp.h"

using namespace tipdesk;

int main(int argc, char **argv)
{
    app::TipdeskApplication application(argc, argv);
    report::installFontSubstitutes();

    app::StartupSteps steps;
    steps.createReportModule = [] { return new stats::TDMReport; };
    app::TFrmMain::setStatisticsConsoleOpener([] { app::runWorkingDialog(stats::fStatHUBp); });
    // The reception status browser is wired here once it is built; until then its button
    // says that the screen is not available yet.
    return app::runStartup(application, steps);
}
