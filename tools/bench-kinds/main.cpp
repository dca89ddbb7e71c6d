// bench-kinds: prepares and renders every report kind to PDF on an embedded database (for
// example one made by tipdesk-demo-db --days 3650 --per-day 2000) and prints one line per run:
// the kind, its period, the rows of its report, the pages, the preparation time and the time of
// rendering the pages and writing the PDF (then that time's two parts). Each kind runs for its single day (or its
// month); the kinds that take a period also for the whole range of the database.
//   bench-kinds --database FILE [--day YYYYMMDD]

#include "ToolStart.h"
#include "app/CommonDM.h"
#include "platform/db/BackendSelector.h"
#include "platform/db/DbError.h"
#include "platform/db/Query.h"
#include "platform/report/Fonts.h"
#include "platform/report/Layout.h"
#include "platform/report/Painter.h"
#include "platform/ui/UiService.h"
#include "stats/KindForm.h"
#include "stats/UDMReport.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>

using namespace tipdesk;

namespace {

QString scalar(const QString &sql)
{
    db::Query q(QStringLiteral("commonDB"), {sql});
    q.open();
    return q.field(0).asString();
}

QDate day(const QString &key)
{
    return QDate::fromString(key, QStringLiteral("yyyyMMdd"));
}

void run(const stats::ReportRequest &request, stats::TDMReport &module, const QString &period, const QString &pdf)
{
    QElapsedTimer timer;
    timer.start();
    stats::PreparedReport prepared = stats::PrepareReport(request, module);
    const double prepareMs = timer.nsecsElapsed() / 1e6;
    if (!prepared.form) {
        std::printf("%4d  %-19s %8s %6s %12.1f %10s\n", request.kind, qPrintable(period), "0", "-", prepareMs,
                    "no data");
        std::fflush(stdout);
        return;
    }
    const stats::KindDescriptor &d = prepared.form->descriptor();
    const QString dataSet = prepared.form->layout().dataSet;
    const db::Query *rows = prepared.form->findQuery(dataSet.isEmpty() ? d.tested : dataSet);
    timer.restart();
    const report::PageModel model = prepared.form->render();
    const double modelMs = timer.nsecsElapsed() / 1e6;
    report::writePdf(model, pdf);
    const double renderMs = timer.nsecsElapsed() / 1e6;
    std::printf("%4d  %-19s %8d %6d %12.1f %10.1f %9.1f %7.1f\n", request.kind, qPrintable(period),
                rows ? rows->recordCount() : 0, model.pageCount(), prepareMs, renderMs, modelMs, renderMs - modelMs);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    tools::prepareEnvironment(tools::Platform::Offscreen);
    QGuiApplication app(argc, argv);
    report::installFontSubstitutes();
    QString database, dayKey;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--database"))
            database = args[i + 1];
        else if (args[i] == QLatin1String("--day"))
            dayKey = args[i + 1];
    }
    if (database.isEmpty() || (!dayKey.isEmpty() && !day(dayKey).isValid())) {
        std::fprintf(stderr, "usage: bench-kinds --database FILE [--day YYYYMMDD]\n");
        return 2;
    }
    if (!QFileInfo(database).isFile()) {
        std::fprintf(stderr, "bench-kinds: %s: 데이터베이스 파일이 없습니다\n", qPrintable(database));
        return 1;
    }
    db::setEmbeddedOverride(QFileInfo(database).absoluteFilePath());
    ui::StreamUiService messages;
    ui::UiService::install(&messages);
    int status = 0;
    try {
        app::TDataMod1 dataMod;
        if (messages.errors > 0) { // shown as the program shows it
            ui::UiService::install(nullptr);
            return 1;
        }
        stats::TDMReport module;
        const QString first = scalar(QStringLiteral("select min(stat_day) from stat_hub"));
        const QString last = scalar(QStringLiteral("select max(stat_day) from stat_hub"));
        if (dayKey.isEmpty())
            dayKey = last;
        const QString reports = scalar(QStringLiteral("select count(*) from report_requisition"));
        std::printf("database %s: %s reports, days %s..%s; day %s\n", qPrintable(database), qPrintable(reports),
                    qPrintable(first), qPrintable(last), qPrintable(dayKey));
        std::printf("%4s  %-19s %8s %6s %12s %10s %9s %7s\n", "kind", "period", "rows", "pages", "prepare ms",
                    "render ms", "(pages", "pdf)");
        QTemporaryDir out;
        for (const stats::KindDescriptor *d : stats::AllKinds()) {
            stats::ReportRequest r;
            r.kind = d->kind;
            r.startDay = r.endDay = day(dayKey);
            const QString single = d->inputs == stats::KindInputs::Month ? dayKey.left(6) : dayKey;
            run(r, module, single, out.filePath(QStringLiteral("single.pdf")));
            if (d->inputs == stats::KindInputs::StartEnd) {
                r.startDay = day(first);
                r.endDay = day(last);
                run(r, module, first + u'-' + last, out.filePath(QStringLiteral("range.pdf")));
            }
        }
    } catch (const db::DbError &e) {
        messages.showError(e.text());
        status = 1;
    } catch (const report::ReportError &e) {
        messages.showError(e.text());
        status = 1;
    }
    ui::UiService::install(nullptr);
    return status;
}
