// tipdesk-report --list
// tipdesk-report --kind K --start YYYYMMDD [--end YYYYMMDD] [--sort 0|1|2] [--approval]
//                [--database FILE | --pg CONNINFO] (--pdf FILE | --xlsx FILE | --png DIR | --text FILE |
//                --export)
//
// The command builds the request the console would and runs it through the same checks and
// preparation; it never creates a window. --export writes the kind's text file (kinds 18,
// 21..26) into the export folder, as "File 저장" does, and prints its path. Without --database
// or --pg it runs on the desk's own database, found as the program finds it.
//
// Exit status: 0 a report was written, 1 database or file error, 2 bad arguments, 3 no data.

#include "ToolStart.h"
#include "app/CommonDM.h"
#include "platform/db/BackendSelector.h"
#include "platform/db/DbError.h"
#include "platform/report/Fonts.h"
#include "platform/report/Layout.h"
#include "platform/report/Painter.h"
#include "platform/report/ReportForm.h"
#include "platform/report/Workbook.h"
#include "platform/ui/UiService.h"
#include "stats/Export.h"
#include "stats/KindForm.h"
#include "stats/UDMReport.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QSaveFile>
#include <cstdio>
#include <optional>

using namespace tipdesk;

namespace {

enum Exit { Written = 0, Failure = 1, BadArguments = 2, NoData = 3 };

void print(FILE *to, const QString &line)
{
    std::fputs(line.toUtf8().constData(), to);
    std::fputc('\n', to);
    std::fflush(to);
}

void writeText(const report::PageModel &model, const QString &path)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(report::dumpText(model).toUtf8()) < 0 || !f.commit())
        throw report::ReportError(QStringLiteral("%1: 파일을 쓰지 못했습니다 (%2)").arg(path, f.errorString()));
}

QStringList writePngs(const report::PageModel &model, const QString &dir, const QString &base)
{
    if (!QDir().mkpath(dir))
        throw report::ReportError(QStringLiteral("%1: 폴더를 만들 수 없습니다").arg(dir));
    QStringList paths;
    for (int i = 0; i < model.pageCount(); ++i) {
        const QString path = QDir(dir).filePath(QStringLiteral("%1-p%2.png").arg(base).arg(i + 1));
        report::writePng(model, i, path);
        paths << path;
    }
    return paths;
}

// One line per kind: number, inputs (P reference periods, S start day, SE start and end day,
// M month of the start day), its form, the printed component, the
// options that take effect (file, sort, approval or "-") and the list caption.
void listKinds()
{
    for (const stats::KindDescriptor *kind : stats::AllKinds()) {
        QStringList options;
        if (kind->exportFile)
            options << QStringLiteral("file");
        if (kind->sort)
            options << QStringLiteral("sort");
        if (kind->approval)
            options << QStringLiteral("approval");
        print(stdout, QStringLiteral("%1 %2 %3 %4 %5 %6")
                          .arg(kind->kind)
                          .arg(stats::InputsCode(kind->inputs), kind->form, kind->printed,
                               options.isEmpty() ? QStringLiteral("-") : options.join(u','), kind->caption));
    }
}

int usage(const QCommandLineParser &parser, const QString &problem)
{
    print(stderr, problem);
    print(stderr, parser.helpText());
    return BadArguments;
}

} // namespace

int main(int argc, char **argv)
{
    // Reports measure text with real fonts, so a platform is needed even without a display.
    tools::prepareEnvironment(tools::Platform::Offscreen);
    // A GUI application without widgets: text is measured with real fonts, and nothing here can
    // open a window.
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("tipdesk-report"));
    QGuiApplication::setApplicationVersion(QStringLiteral(TIPDESK_VERSION));
    report::installFontSubstitutes();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Renders a statistics report without a display."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption kindOpt(QStringLiteral("kind"), QStringLiteral("report kind 0..26"), QStringLiteral("K"));
    const QCommandLineOption startOpt(QStringLiteral("start"), QStringLiteral("start day"), QStringLiteral("YYYYMMDD"));
    const QCommandLineOption endOpt(QStringLiteral("end"), QStringLiteral("end day (default: the start day)"),
                                    QStringLiteral("YYYYMMDD"));
    const QCommandLineOption sortOpt(QStringLiteral("sort"), QStringLiteral("sort order of the period totals 0|1|2"),
                                     QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption approvalOpt(QStringLiteral("approval"), QStringLiteral("tick \"전결인 사용\""));
    const QCommandLineOption databaseOpt(QStringLiteral("database"), QStringLiteral("embedded database file"),
                                         QStringLiteral("FILE"));
    const QCommandLineOption pgOpt(
        QStringLiteral("pg"),
        QStringLiteral(
            "PostgreSQL server, as \"host=… port=… dbname=… user=…\" (password from PGPASSWORD or ~/.pgpass)"),
        QStringLiteral("CONNINFO"));
    const QCommandLineOption pdfOpt(QStringLiteral("pdf"), QStringLiteral("write a PDF"), QStringLiteral("FILE"));
    const QCommandLineOption xlsxOpt(QStringLiteral("xlsx"), QStringLiteral("write an Excel workbook"),
                                     QStringLiteral("FILE"));
    const QCommandLineOption pngOpt(QStringLiteral("png"), QStringLiteral("write one PNG per page"),
                                    QStringLiteral("DIR"));
    const QCommandLineOption textOpt(QStringLiteral("text"), QStringLiteral("write the page model's text dump"),
                                     QStringLiteral("FILE"));
    const QCommandLineOption exportOpt(QStringLiteral("export"),
                                       QStringLiteral("write the export file of kinds 18, 21..26 and print its path"));
    const QCommandLineOption listOpt(QStringLiteral("list"), QStringLiteral("list the report kinds and exit"));
    parser.addOptions({listOpt, kindOpt, startOpt, endOpt, sortOpt, approvalOpt, databaseOpt, pgOpt, pdfOpt, xlsxOpt,
                       pngOpt, textOpt, exportOpt});
    if (!parser.parse(QGuiApplication::arguments()))
        return usage(parser, tools::parseErrorText(parser));
    if (parser.isSet(QStringLiteral("help"))) {
        print(stdout, parser.helpText());
        return Written;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        print(stdout, QGuiApplication::applicationName() + u' ' + QGuiApplication::applicationVersion());
        return Written;
    }
    if (parser.isSet(listOpt)) {
        listKinds();
        return Written;
    }
    if (!parser.positionalArguments().isEmpty())
        return usage(parser, QStringLiteral("필요 없는 인수입니다: ") + parser.positionalArguments().join(u' '));

    // The catalogue of kinds is checked before any kind is looked up.
    try {
        stats::LoadCatalogue();
    } catch (const report::ReportError &e) {
        print(stderr, e.text());
        return Failure;
    }
    bool ok = false;
    const int kind = parser.value(kindOpt).toInt(&ok);
    if (!parser.isSet(kindOpt) || !ok || !stats::FindKind(kind))
        return usage(parser, QStringLiteral("--kind 에는 보고서 종류 0..26 을 주십시오"));
    const std::optional<QDate> start = tools::parseDay(parser.value(startOpt));
    if (!start)
        return usage(parser, QStringLiteral("--start 에는 날짜 YYYYMMDD 를 주십시오"));
    const std::optional<QDate> end = parser.isSet(endOpt) ? tools::parseDay(parser.value(endOpt)) : start;
    if (!end)
        return usage(parser, QStringLiteral("--end 에는 날짜 YYYYMMDD 를 주십시오"));
    const int sort = parser.value(sortOpt).toInt(&ok);
    if (!ok || sort < 0 || sort > 2)
        return usage(parser, QStringLiteral("--sort 에는 0, 1, 2 중 하나를 주십시오"));
    const int outputs = int(parser.isSet(pdfOpt)) + int(parser.isSet(xlsxOpt)) + int(parser.isSet(pngOpt)) +
                        int(parser.isSet(textOpt)) + int(parser.isSet(exportOpt));
    if (outputs != 1)
        return usage(parser, QStringLiteral("--pdf, --xlsx, --png, --text, --export 중 하나만 주십시오"));
    if (parser.isSet(exportOpt) && !stats::IsExportKind(kind))
        return usage(parser, QStringLiteral("--export 는 종류 18 과 21..26 에만 쓸 수 있습니다"));

    if (parser.isSet(databaseOpt)) {
        const QString path = parser.value(databaseOpt);
        if (!QFileInfo(path).isFile()) {
            print(stderr, QStringLiteral("%1: 데이터베이스 파일이 없습니다").arg(path));
            return Failure;
        }
        db::setEmbeddedOverride(QFileInfo(path).absoluteFilePath());
    }
    if (parser.isSet(pgOpt)) {
        if (parser.isSet(databaseOpt))
            return usage(parser, QStringLiteral("--database 와 --pg 중 하나만 주십시오"));
        db::setPostgresOverride(parser.value(pgOpt));
    }

    stats::ReportRequest request;
    request.kind = kind;
    request.startDay = *start;
    request.endDay = *end;
    request.sort = sort;
    request.approval = parser.isSet(approvalOpt);

    ui::StreamUiService batchUi;
    ui::UiService::install(&batchUi);
    const auto finish = [&](int status) {
        ui::UiService::install(nullptr);
        return status;
    };

    // The same modules the program creates at start-up.
    app::TDataMod1 dataMod;
    if (batchUi.errors > 0)
        return finish(Failure);
    stats::TDMReport reportModule;

    try {
        if (parser.isSet(exportOpt)) {
            // The console's export, with its folder; no range check, as there.
            db::Query query(QStringLiteral("commonDB"), {});
            const stats::ExportResult r = stats::ExportReport(request, query);
            if (r.status == stats::ExportResult::Status::Saved) {
                print(stdout, r.path);
                // The file is written and usable: said, not failed.
                if (r.replaced > 0)
                    print(stderr, r.path + QStringLiteral(": ") + r.replacementNotice());
                return finish(Written);
            }
            print(stderr, r.message());
            return finish(r.status == stats::ExportResult::Status::NoData ? NoData : Failure);
        }

        const stats::RequestCheck check = stats::CheckRequest(request);
        if (check != stats::RequestCheck::Ok) {
            print(stderr, stats::RequestCheckText(check));
            return finish(BadArguments);
        }
        const stats::PreparedReport prepared = stats::PrepareReport(request, reportModule);
        if (!prepared.form) {
            app::ShowCodedMessage(QStringLiteral("ERR0158"));
            return finish(NoData);
        }
        const report::PageModel model = prepared.form->render();
        QStringList written;
        if (parser.isSet(pdfOpt)) {
            report::writePdf(model, parser.value(pdfOpt));
            written << parser.value(pdfOpt);
        } else if (parser.isSet(xlsxOpt)) {
            report::writeWorkbook(model, parser.value(xlsxOpt));
            written << parser.value(xlsxOpt);
        } else if (parser.isSet(pngOpt)) {
            const QString base =
                QStringLiteral("kind%1-%2").arg(kind, 2, 10, QLatin1Char('0')).arg(parser.value(startOpt));
            written << writePngs(model, parser.value(pngOpt), base);
        } else {
            writeText(model, parser.value(textOpt));
            written << parser.value(textOpt);
        }
        for (const QString &path : std::as_const(written))
            print(stdout, path);
        return finish(Written);
    } catch (const db::DbError &e) {
        print(stderr, e.text());
    } catch (const report::ReportError &e) {
        print(stderr, e.text());
    }
    return finish(Failure);
}
