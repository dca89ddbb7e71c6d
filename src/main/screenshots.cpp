// Renders the login and the main menu into PNG files for the README.
// Run offscreen: QT_QPA_PLATFORM=offscreen tipdesk-screenshots docs/screenshots
#include "app/UntMain.h"
#include "app/fPass.h"
#include "platform/report/Fonts.h"
#include "ui_fPass.h"

#include <QApplication>
#include <QDir>
#include <cstdio>

using namespace tipdesk;

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    report::installFontSubstitutes();
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    if (!out.mkpath(QStringLiteral(".")))
        return 1;

    app::TfrmPass login;
    login.show();
    login.ui->edID->setText(QStringLiteral("demo"));
    login.ui->edPass->setText(QStringLiteral("demo"));
    app::TFrmMain menu;
    menu.show();
    QApplication::processEvents();

    bool ok = true;
    for (const auto &[widget, name] : {std::pair<QWidget *, const char *>{&login, "login.png"}, {&menu, "menu.png"}}) {
        const QString path = out.filePath(QString::fromLatin1(name));
        const bool saved = widget->grab().save(path);
        std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
        ok = ok && saved;
    }
    return ok ? 0 : 1;
}
