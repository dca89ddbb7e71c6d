// tipdesk-report --list
// tipdesk-report --kind K --start YYYYMMDD [--end YYYYMMDD] [--sort 0|1|2] [--approval]
//                [--database FILE] (--pdf FILE | --png DIR | --text FILE | --export)
//
// --export writes the kind's text file (kinds 18, 21..26) beside the program, as "File 저장" does,
// and prints its path.
//
// Exit status: 0 a report was written, 1 database or file error, 2 bad arguments, 3 no data.

#include "app/CommonDM.h"
#include "platform/db/BackendSelector.h"
#include "platform/db/DbError.h"
#include "platform/report/Fonts.h"
#include "platform/report/Layout.h"
#include "platform/report/Painter.h"
#include "platform/report/ReportForm.h"
#include "platform/ui/UiService.h"
#include "stats/Export.h"
#include "stats/UDMReport.h"
#include "stats/UStatHUBp.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
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

// Message boxes become lines on the error stream; nothing waits for a button.
class BatchUi : public ui::UiService {
public:
    void messageBox(const QString &title, const QString &text, ui::Icon) override
    {
        print(stderr, title + QStringLiteral(": ") + text);
    }
    void showMessage(const QString &text) override { print(stderr, text); }
    void showError(const QString &text) override
    {
        ++errors;
        print(stderr, text);
    }
    void setBusyCursor(bool) override {}
    int errors = 0;
};

std::optional<QDate> parseDay(const QString &text)
{
    static const QRegularExpression eightDigits(QStringLiteral("^[0-9]{8}$"));
    if (!eightDigits.match(text).hasMatch())
        return std::nullopt;
    const QDate d = QDate::fromString(text, QStringLiteral("yyyyMMdd"));
    if (!d.isValid())
        return std::nullopt;
    return d;
}

void writeText(const report::PageModel &model, const QString &path)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(report::dumpText(model).toUtf8()) < 0 || !f.commit())
        throw report::ReportError(QStringLiteral("%1: %2").arg(path, f.errorString()));
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
// M month of the start day), whether the report is built, and its form.
void listKinds()
{
    for (int kind = 0; kind < stats::kReportKindCount; ++kind) {
        const stats::ReportKindInfo &info = *stats::ReportKindAt(kind);
        const char *inputs = info.inputs == stats::KindInputs::Periods    ? "P"
                             : info.inputs == stats::KindInputs::Start    ? "S"
                             : info.inputs == stats::KindInputs::StartEnd ? "SE"
                                                                          : "M";
        print(stdout, QStringLiteral("%1 %2 %3 %4")
                          .arg(kind)
                          .arg(QLatin1String(inputs), info.prepare ? QStringLiteral("yes") : QStringLiteral("no"),
                               QLatin1String(info.formName)));
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
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tipdesk-report"));
    report::installFontSubstitutes();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Renders a statistics report without a display."));
    parser.addHelpOption();
    const QCommandLineOption kindOpt(QStringLiteral("kind"), QStringLiteral("report kind 0..26"), QStringLiteral("K"));
    const QCommandLineOption startOpt(QStringLiteral("start"), QStringLiteral("start day"), QStringLiteral("YYYYMMDD"));
    const QCommandLineOption endOpt(QStringLiteral("end"), QStringLiteral("end day (default: the start day)"),
                                    QStringLiteral("YYYYMMDD"));
    const QCommandLineOption sortOpt(QStringLiteral("sort"), QStringLiteral("sort order of the period totals 0|1|2"),
                                     QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption approvalOpt(QStringLiteral("approval"), QStringLiteral("tick \"전결인 사용\""));
    const QCommandLineOption databaseOpt(QStringLiteral("database"), QStringLiteral("embedded database file"),
                                         QStringLiteral("FILE"));
    const QCommandLineOption pdfOpt(QStringLiteral("pdf"), QStringLiteral("write a PDF"), QStringLiteral("FILE"));
    const QCommandLineOption pngOpt(QStringLiteral("png"), QStringLiteral("write one PNG per page"),
                                    QStringLiteral("DIR"));
    const QCommandLineOption textOpt(QStringLiteral("text"), QStringLiteral("write the page model's text dump"),
                                     QStringLiteral("FILE"));
    const QCommandLineOption exportOpt(QStringLiteral("export"),
                                       QStringLiteral("write the export file of kinds 18, 21..26 and print its path"));
    const QCommandLineOption listOpt(QStringLiteral("list"), QStringLiteral("list the report kinds and exit"));
    parser.addOptions(
        {listOpt, kindOpt, startOpt, endOpt, sortOpt, approvalOpt, databaseOpt, pdfOpt, pngOpt, textOpt, exportOpt});
    if (!parser.parse(QApplication::arguments()))
        return usage(parser, parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        print(stdout, parser.helpText());
        return Written;
    }
    if (parser.isSet(listOpt)) {
        listKinds();
        return Written;
    }
    if (!parser.positionalArguments().isEmpty())
        return usage(parser, QStringLiteral("unexpected argument: ") + parser.positionalArguments().join(u' '));

    bool ok = false;
    const int kind = parser.value(kindOpt).toInt(&ok);
    if (!parser.isSet(kindOpt) || !ok || !stats::ReportKindAt(kind))
        return usage(parser, QStringLiteral("--kind must be a report kind 0..26"));
    const std::optional<QDate> start = parseDay(parser.value(startOpt));
    if (!start)
        return usage(parser, QStringLiteral("--start must be a day YYYYMMDD"));
    const std::optional<QDate> end = parser.isSet(endOpt) ? parseDay(parser.value(endOpt)) : start;
    if (!end)
        return usage(parser, QStringLiteral("--end must be a day YYYYMMDD"));
    const int sort = parser.value(sortOpt).toInt(&ok);
    if (!ok || sort < 0 || sort > 2)
        return usage(parser, QStringLiteral("--sort must be 0, 1 or 2"));
    const int outputs = int(parser.isSet(pdfOpt)) + int(parser.isSet(pngOpt)) + int(parser.isSet(textOpt)) +
                        int(parser.isSet(exportOpt));
    if (outputs != 1)
        return usage(parser, QStringLiteral("give exactly one of --pdf, --png, --text, --export"));
    if (parser.isSet(exportOpt) && !stats::IsExportKind(kind))
        return usage(parser, QStringLiteral("--export is for kinds 18 and 21..26"));

    if (parser.isSet(databaseOpt)) {
        const QString path = parser.value(databaseOpt);
        if (!QFileInfo(path).isFile()) {
            print(stderr, QStringLiteral("%1: 데이터베이스 파일이 없습니다").arg(path));
            return Failure;
        }
        db::setEmbeddedOverride(QFileInfo(path).absoluteFilePath());
    }

    BatchUi batchUi;
    ui::UiService::install(&batchUi);

    // The same modules the program creates at start-up, and a console that is never shown.
    app::TDataMod1 dataMod;
    if (batchUi.errors > 0)
        return Failure;
    stats::TDMReport reportModule;
    stats::DMReport = &reportModule;

    stats::TfStatHUBp console;
    stats::fStatHUBp = &console;
    console.DateTimePicker1->setDate(*start);
    console.DateTimePicker2->setDate(*end);
    console.ListBox1->setCurrentRow(kind);
    console.ComboBox1->setCurrentIndex(sort);
    console.CheckBox1->setChecked(parser.isSet(approvalOpt));

    if (parser.isSet(exportOpt)) {
        // The console's own export, with its query and its folder; no range check, as there.
        int status = Failure;
        try {
            const stats::ExportResult r = stats::ExportReport(kind, *start, *end, sort, *console.Query1, &console);
            if (r.status == stats::ExportResult::Status::Saved) {
                print(stdout, r.path);
                status = Written;
            } else {
                print(stderr, r.message());
                status = r.status == stats::ExportResult::Status::NoData ? NoData : Failure;
            }
        } catch (const db::DbError &e) {
            print(stderr, e.text());
        } catch (const report::ReportError &e) {
            print(stderr, e.text());
        }
        stats::fStatHUBp = nullptr;
        stats::DMReport = nullptr;
        ui::UiService::install(nullptr);
        return status;
    }

    const QString base = QStringLiteral("kind%1-%2").arg(kind, 2, 10, QLatin1Char('0')).arg(parser.value(startOpt));
    QStringList written;
    report::ReportForm::setPreviewHook([&](report::ReportForm &form) {
        const report::PageModel model = form.render();
        if (parser.isSet(pdfOpt)) {
            report::writePdf(model, parser.value(pdfOpt));
            written << parser.value(pdfOpt);
        } else if (parser.isSet(pngOpt)) {
            written << writePngs(model, parser.value(pngOpt), base);
        } else {
            writeText(model, parser.value(textOpt));
            written << parser.value(textOpt);
        }
    });

    console.SBPreviewClick();
    report::ReportForm::setPreviewHook(nullptr);

    int status = Failure;
    switch (console.lastOutcome()) {
    case stats::TfStatHUBp::Outcome::Shown:
        for (const QString &path : std::as_const(written))
            print(stdout, path);
        status = Written;
        break;
    case stats::TfStatHUBp::Outcome::NoData:
        status = NoData;
        break;
    case stats::TfStatHUBp::Outcome::BadRange:
    case stats::TfStatHUBp::Outcome::NoSelection:
    case stats::TfStatHUBp::Outcome::NotAvailable:
        status = BadArguments;
        break;
    case stats::TfStatHUBp::Outcome::None:
    case stats::TfStatHUBp::Outcome::Failed:
        status = Failure;
        break;
    }
    stats::fStatHUBp = nullptr;
    stats::DMReport = nullptr;
    ui::UiService::install(nullptr);
    return status;
}
