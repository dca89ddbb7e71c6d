#include "app/Startup.h"

#include "app/CommonDM.h"
#include "app/DefaultErrorBox.h"
#include "app/UntMain.h"
#include "app/fPass.h"
#include "platform/db/BackendSelector.h"
#include "platform/ui/DeskUi.h"
#include "platform/ui/UiService.h"

#include <QDir>
#include <QFileInfo>
#include <exception>
#include <memory>
#include <optional>

namespace tipdesk::app {

bool runLoginDialog()
{
    TfrmPass frmPass;
    const bool accepted = frmPass.exec() == QDialog::Accepted;
    return accepted && !terminationRequested();
}

DemoOffer offerDemoDatabase(const std::function<QString(const QString &path)> &build, QSettings *settings)
{
    const std::optional<db::EmbeddedTarget> target = db::embeddedTarget(QStringLiteral("commonDB"), settings);
    // A file the site named itself is its own business: its absence is reported when connecting.
    if (!target || !target->isDefault || QFileInfo::exists(target->path))
        return DemoOffer::NotNeeded;

    const QString path = QDir::toNativeSeparators(target->path);
    const QString title = QStringLiteral("데이터베이스 없음");
    if (!ui::ui().question(title, QStringLiteral("데이터베이스 파일이 없습니다:\n%1\n\n"
                                                 "이 자리에 시험용 데모 데이터베이스를 만드시겠습니까? "
                                                 "(몇 초 걸립니다)")
                                      .arg(path))) {
        ui::ui().messageBox(title, QStringLiteral("데이터베이스 파일 %1 이(가) 없어 계속할 수 없습니다.").arg(path),
                            ui::Icon::Stop);
        return DemoOffer::Declined;
    }

    const QString folder = QFileInfo(target->path).absolutePath();
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isWritable()) {
        ui::ui().showError(QStringLiteral("%1: 데이터 폴더를 만들거나 쓸 수 없어 데모 데이터베이스를 만들지 못했습니다")
                               .arg(QDir::toNativeSeparators(folder)));
        return DemoOffer::Failed;
    }
    QString note;
    try {
        const ui::BusyCursor busy;
        note = build(target->path);
    } catch (const std::exception &e) {
        ui::ui().showError(
            QStringLiteral("%1: 데모 데이터베이스를 만들지 못했습니다 (%2)").arg(path, QString::fromUtf8(e.what())));
        return DemoOffer::Failed;
    }
    ui::ui().messageBox(title, QStringLiteral("데모 데이터베이스를 만들었습니다:\n%1\n%2").arg(path, note),
                        ui::Icon::Information);
    return DemoOffer::Created;
}

int runStartup(QApplication &app, const StartupSteps &steps)
{
    clearTerminationRequest();
    if (steps.buildDemoDatabase) {
        const DemoOffer offer = offerDemoDatabase(steps.buildDemoDatabase);
        if (offer == DemoOffer::Declined || offer == DemoOffer::Failed)
            return 1;
    }
    // Destroyed in reverse order on leaving: the menu, the report module, then the connection.
    const auto dataModule = std::make_unique<TDataMod1>();
    // A login could only repeat the same error: the file must be replaced first.
    if (dataModule->databaseFileUnusable())
        return 1;
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
    ui::prepareDeskUi();
}

bool TipdeskApplication::notify(QObject *receiver, QEvent *event)
{
    bool result = false;
    withDefaultErrorBox([&] { result = QApplication::notify(receiver, event); });
    return result;
}

} // namespace tipdesk::app
