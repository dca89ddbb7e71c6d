#include "app/UntMain.h"

#include "app/DefaultErrorBox.h"
#include "app/Resources.h"
#include "platform/ui/UiService.h"
#include "ui_UntMain.h"

#include <QGuiApplication>
#include <QScreen>

namespace tipdesk::app {

TFrmMain *FrmMain = nullptr;

namespace {
std::function<void()> &receptionStatusOpener()
{
    static std::function<void()> open;
    return open;
}

std::function<void()> &statisticsConsoleOpener()
{
    static std::function<void()> open;
    return open;
}

void openOrSayUnavailable(const std::function<void()> &open, const QString &screen)
{
    if (open)
        open();
    else
        ui::ui().showMessage(QStringLiteral("%1 화면은 아직 준비되지 않았습니다.").arg(screen));
}
} // namespace

void TFrmMain::setReceptionStatusOpener(std::function<void()> open)
{
    receptionStatusOpener() = std::move(open);
}

void TFrmMain::setStatisticsConsoleOpener(std::function<void()> open)
{
    statisticsConsoleOpener() = std::move(open);
}

TFrmMain::TFrmMain(QWidget *parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), ui(new Ui::FrmMain)
{
    initArtResources();
    ui->setupUi(this);
    setFixedSize(575, 449);
    connect(ui->SpeedButton1, &QToolButton::clicked, this,
            [this] { withDefaultErrorBox([this] { SpeedButton1Click(); }); });
    connect(ui->SpeedButton2, &QToolButton::clicked, this,
            [this] { withDefaultErrorBox([this] { SpeedButton2Click(); }); });
    connect(ui->SpeedButton3, &QToolButton::clicked, this, [this] { SpeedButton3Click(); });
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    if (!FrmMain)
        FrmMain = this;
}

TFrmMain::~TFrmMain()
{
    if (FrmMain == this)
        FrmMain = nullptr;
}

void TFrmMain::SpeedButton1Click()
{
    openOrSayUnavailable(receptionStatusOpener(), QStringLiteral("제보 접수 상황"));
}

void TFrmMain::SpeedButton2Click()
{
    openOrSayUnavailable(statisticsConsoleOpener(), QStringLiteral("제보 접수 통계"));
}

void TFrmMain::SpeedButton3Click()
{
    close();
}

} // namespace tipdesk::app
