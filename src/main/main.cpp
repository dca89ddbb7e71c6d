#include "DemoDb.h"
#include "ToolStart.h"
#include "app/Startup.h"
#include "app/UntMain.h"
#include "platform/report/Fonts.h"
#include "platform/report/Layout.h"
#include "platform/ui/UiService.h"
#include "reception/UAcIn.h"
#include "stats/ReportKinds.h"
#include "stats/ReportSession.h"
#include "stats/UDMReport.h"
#include "stats/UStatHUBp.h"

using namespace tipdesk;

int main(int argc, char **argv)
{
    tools::prepareEnvironment(tools::Platform::Display);
    app::TipdeskApplication application(argc, argv);
    report::installFontSubstitutes();

    // The consoles of one run share one session; start-up owns the report query module, made once
    // the connection exists and gone before it.
    stats::ReportSession reportSession;
    stats::TDMReport *reportModule = nullptr;
    app::StartupSteps steps;
    steps.createReportModule = [&reportModule] { return reportModule = new stats::TDMReport; };
    steps.buildDemoDatabase = [](const QString &path) {
        demo::DemoOptions options;
        options.out = path;
        demo::buildDemoDb(options);
        return QStringLiteral("운영자ID %1, 비밀번호 %2 로 로그인하십시오.").arg(demo::kDemoUser, demo::kDemoPassword);
    };
    app::TFrmMain::setStatisticsConsoleOpener([&] {
        stats::TfStatHUBp console(reportSession, *reportModule);
        console.exec();
    });
    app::TFrmMain::setReceptionStatusOpener([] { app::runWorkingDialog(reception::AcIn); });
    // The catalogue of report kinds is read and checked before anyone can ask for a report.
    try {
        stats::LoadCatalogue();
    } catch (const report::ReportError &e) {
        ui::ui().showError(e.text());
        return 1;
    }
    return app::runStartup(application, steps);
}
