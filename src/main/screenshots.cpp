// Renders the pictures of the README: the login and the main menu, and, given a database and a
// day, the statistics console with "통신원별" chosen and the preview of that report.
// Run offscreen: QT_QPA_PLATFORM=offscreen tipdesk-screenshots OUT_DIR [--database FILE --day YYYYMMDD]
// (scripts/make-pictures.sh makes every picture of the README this way).
#include "app/CommonDM.h"
#include "app/Startup.h"
#include "app/UntMain.h"
#include "app/fPass.h"
#include "platform/db/BackendSelector.h"
#include "platform/db/DbError.h"
#include "platform/report/Fonts.h"
#include "platform/report/Renderer.h"
#include "platform/report/ReportForm.h"
#include "platform/report/ui/PreviewWindow.h"
#include "stats/KindForm.h"
#include "stats/ReportSession.h"
#include "stats/UDMReport.h"
#include "stats/UStatHUBp.h"
#include "ui_fPass.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

using namespace tipdesk;

namespace {

bool save(QWidget &widget, const QDir &out, const char *name)
{
    QApplication::processEvents();
    const QString path = out.filePath(QString::fromLatin1(name));
    const bool saved = widget.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

// The console as a supervisor leaves it before "미리보기", and the preview it opens.
bool consoleAndPreview(const QDir &out, const QDate &day)
{
    app::TDataMod1 dataMod;
    stats::TDMReport reportModule;
    stats::ReportSession session;
    stats::TfStatHUBp console(session, reportModule);
    console.show();
    stats::ReportRequest request;
    request.kind = 0;
    request.startDay = request.endDay = day;
    console.setRequest(request);
    bool ok = save(console, out, "console.png");

    const stats::PreparedReport prepared = stats::PrepareReport(console.request(), reportModule);
    if (!prepared.form) {
        std::printf("no data for %s\n", qPrintable(day.toString(QStringLiteral("yyyyMMdd"))));
        return false;
    }
    report::PreviewWindow preview(nullptr);
    preview.loadModel(prepared.form->render());
    preview.resize(900, 1040);
    preview.show();
    return save(preview, out, "preview.png") && ok;
}

} // namespace

int main(int argc, char **argv)
{
    app::TipdeskApplication application(argc, argv); // the screens as the program shows them
    report::installFontSubstitutes();
    const QStringList args = QApplication::arguments().mid(1);
    const QDir out(args.isEmpty() ? QDir::currentPath() : args.first());
    if (!out.mkpath(QStringLiteral(".")))
        return 1;
    const qsizetype databaseAt = args.indexOf(QStringLiteral("--database"));
    const qsizetype dayAt = args.indexOf(QStringLiteral("--day"));
    const QString database = databaseAt > 0 && databaseAt + 1 < args.size() ? args[databaseAt + 1] : QString();
    const QDate day =
        dayAt > 0 && dayAt + 1 < args.size() ? QDate::fromString(args[dayAt + 1], QStringLiteral("yyyyMMdd")) : QDate();
    if ((databaseAt > 0 || dayAt > 0) && (!QFileInfo(database).isFile() || !day.isValid())) {
        std::fprintf(stderr, "usage: tipdesk-screenshots OUT_DIR [--database FILE --day YYYYMMDD]\n");
        return 2;
    }

    app::TfrmPass login;
    login.show();
    login.ui->edID->setText(QStringLiteral("demo"));
    login.ui->edPass->setText(QStringLiteral("demo"));
    app::TFrmMain menu;
    menu.show();
    bool ok = save(login, out, "login.png") && save(menu, out, "menu.png");
    login.hide();
    menu.hide();

    if (!database.isEmpty()) {
        db::setEmbeddedOverride(QFileInfo(database).absoluteFilePath());
        try {
            ok = consoleAndPreview(out, day) && ok;
        } catch (const db::DbError &e) {
            std::fprintf(stderr, "%s\n", qPrintable(e.text()));
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
