#pragma once

#include <QDialog>
#include <QWidget>
#include <functional>
#include <memory>

namespace Ui {
class FrmMain;
}

namespace tipdesk::app {

// Runs a working dialog the way the menu does: a fresh instance owned by the application,
// stored in its global before it is shown, shown modally, destroyed after it closes.
template <class Dialog> void runWorkingDialog(Dialog *&global)
{
    std::unique_ptr<Dialog> dialog(new Dialog(nullptr));
    // Cleared before the dialog goes, on every exit path, so that no one reads a freed dialog.
    struct ClearGlobal {
        Dialog *&global;
        ~ClearGlobal() { global = nullptr; }
    } clear{global};
    global = dialog.get();
    dialog->exec();
}

// The main menu: a borderless picture with three buttons.
class TFrmMain : public QWidget {
    Q_OBJECT
public:
    explicit TFrmMain(QWidget *parent = nullptr);
    ~TFrmMain() override;

    // How the two working dialogs are opened; the program registers them.
    static void setReceptionStatusOpener(std::function<void()> open);
    static void setStatisticsConsoleOpener(std::function<void()> open);

    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();

    std::unique_ptr<Ui::FrmMain> ui;
};

// The main window, set while it exists.
extern TFrmMain *FrmMain;

} // namespace tipdesk::app
