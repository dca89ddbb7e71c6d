// load-desk --pg CONNINFO [--now "YYYY-MM-DD HH:MM:SS"] [--rounds N] REQUEST...
//   REQUEST: KIND:YYYYMMDD[:YYYYMMDD]  (kind 0..26, start day, end day; default the start day)
//
// One desk of a load test: prepares and renders every request, round after round, through the
// console's preparation, and prints a line per report as it ends (fields separated by tabs):
//   ok      ROUND INDEX KIND START END MS PAGES DIGEST   (DIGEST: SHA-256 of the page model's text dump)
//   nodata  ROUND INDEX KIND START END MS                (the kind's tested query found nothing)
//   failed  ROUND INDEX KIND START END MS TEXT           (the database's or the report engine's text)
// then "summary REPORTS FINISHED FAILED SECONDS". A failure at start-up is one line
// "failed - - - - - 0 TEXT". --now fixes the clock, so that every desk and the server agree on today.
//
// Exit status: 0 every report finished (with pages or without data), 1 a report or the start-up
// failed, 2 bad arguments.

#include "ToolStart.h"
#include "app/CommonDM.h"
#include "platform/db/BackendSelector.h"
#include "platform/db/Clock.h"
#include "platform/db/DbError.h"
#include "platform/report/Fonts.h"
#include "platform/report/Layout.h"
#include "platform/report/PageModel.h"
#include "platform/ui/UiService.h"
#include "stats/KindForm.h"
#include "stats/UDMReport.h"

#include <QCommandLineParser>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QRegularExpression>
#include <cstdio>
#include <optional>

using namespace tipdesk;

namespace {

enum Exit { AllFinished = 0, SomeFailed = 1, BadArguments = 2 };

void printLine(FILE *to, const QStringList &fields)
{
    std::fputs(fields.join(u'\t').toUtf8().constData(), to);
    std::fputc('\n', to);
    std::fflush(to);
}

// An error's text on one line of its own field.
QString oneLine(QString text)
{
    static const QRegularExpression breaks(QStringLiteral("[\\t\\r\\n]+"));
    text.replace(breaks, QStringLiteral(" "));
    return text.trimmed().isEmpty() ? QStringLiteral("(오류 내용 없음)") : text.trimmed();
}

std::optional<stats::ReportRequest> parseRequest(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,2}):([0-9]{8})(?::([0-9]{8}))?$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    stats::ReportRequest r;
    r.kind = m.captured(1).toInt();
    r.startDay = QDate::fromString(m.captured(2), QStringLiteral("yyyyMMdd"));
    r.endDay = m.hasCaptured(3) ? QDate::fromString(m.captured(3), QStringLiteral("yyyyMMdd")) : r.startDay;
    if (!r.startDay.isValid() || !r.endDay.isValid() || stats::CheckRequest(r) != stats::RequestCheck::Ok)
        return std::nullopt;
    return r;
}

// The boxes a report raised, which an unattended desk would have been left waiting on.
QString boxesOf(const ui::RecordingUiService &boxes)
{
    QStringList texts;
    for (const ui::RecordingUiService::Entry &e : boxes.entries)
        texts << (e.title.isEmpty() ? e.text : e.title + QStringLiteral(": ") + e.text);
    return texts.join(QStringLiteral(" / "));
}

struct Outcome {
    QString status; // ok, nodata, failed
    QStringList fields;
};

Outcome renderOne(const stats::ReportRequest &request, stats::TDMReport &module, ui::RecordingUiService &boxes)
{
    boxes.clear();
    QString error;
    try {
        const stats::PreparedReport prepared = stats::PrepareReport(request, module);
        if (prepared.form) {
            const report::PageModel model = prepared.form->render();
            const QByteArray digest =
                QCryptographicHash::hash(report::dumpText(model).toUtf8(), QCryptographicHash::Sha256).toHex();
            if (boxes.entries.isEmpty())
                return {QStringLiteral("ok"), {QString::number(model.pageCount()), QString::fromLatin1(digest)}};
        } else if (boxes.entries.isEmpty()) {
            return {QStringLiteral("nodata"), {}};
        }
    } catch (const db::DbError &e) {
        error = e.text();
    } catch (const report::ReportError &e) {
        error = e.text();
    } catch (const std::exception &e) {
        error = QString::fromUtf8(e.what());
    } catch (...) {
        error = QStringLiteral("알 수 없는 오류");
    }
    const QString shown = boxesOf(boxes);
    if (!shown.isEmpty())
        error = error.isEmpty() ? shown : error + QStringLiteral(" / ") + shown;
    return {QStringLiteral("failed"), {oneLine(error)}};
}

int usage(const QCommandLineParser &parser, const QString &problem)
{
    std::fprintf(stderr, "%s\n%s", qPrintable(problem), qPrintable(parser.helpText()));
    return BadArguments;
}

} // namespace

int main(int argc, char **argv)
{
    tools::prepareEnvironment(tools::Platform::Offscreen);
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("load-desk"));
    report::installFontSubstitutes();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("One desk of a load test: renders report requests in rounds."));
    parser.addHelpOption();
    const QCommandLineOption pgOpt(QStringLiteral("pg"), QStringLiteral("PostgreSQL server (libpq key=value pairs)"),
                                   QStringLiteral("CONNINFO"));
    const QCommandLineOption nowOpt(QStringLiteral("now"), QStringLiteral("fixed clock"),
                                    QStringLiteral("YYYY-MM-DD HH:MM:SS"));
    const QCommandLineOption roundsOpt(QStringLiteral("rounds"), QStringLiteral("rounds over the requests"),
                                       QStringLiteral("N"), QStringLiteral("1"));
    parser.addOptions({pgOpt, nowOpt, roundsOpt});
    parser.addPositionalArgument(QStringLiteral("REQUEST"), QStringLiteral("KIND:YYYYMMDD[:YYYYMMDD]"));
    if (!parser.parse(QGuiApplication::arguments()))
        return usage(parser, tools::parseErrorText(parser));
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return AllFinished;
    }
    if (!parser.isSet(pgOpt))
        return usage(parser, QStringLiteral("--pg CONNINFO 를 주십시오"));
    bool ok = false;
    const int rounds = parser.value(roundsOpt).toInt(&ok);
    if (!ok || rounds < 1)
        return usage(parser, QStringLiteral("--rounds 에는 1 이상의 정수를 주십시오"));
    if (parser.isSet(nowOpt)) {
        const QDateTime now = QDateTime::fromString(parser.value(nowOpt), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!now.isValid())
            return usage(parser, QStringLiteral("--now 에는 YYYY-MM-DD HH:MM:SS 를 주십시오"));
        db::Clock::setFixed(now);
    }
    QList<stats::ReportRequest> requests;
    for (const QString &arg : parser.positionalArguments()) {
        const std::optional<stats::ReportRequest> r = parseRequest(arg);
        if (!r)
            return usage(parser, QStringLiteral("보고서 요청이 아닙니다: ") + arg);
        requests << *r;
    }
    if (requests.isEmpty())
        return usage(parser, QStringLiteral("보고서 요청을 하나 이상 주십시오"));

    db::setPostgresOverride(parser.value(pgOpt));
    ui::RecordingUiService boxes;
    ui::UiService::install(&boxes);
    const auto finish = [&](int status) {
        ui::UiService::install(nullptr);
        return status;
    };

    app::TDataMod1 dataMod;
    if (!boxes.entries.isEmpty()) {
        printLine(stdout, {QStringLiteral("failed"), QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"),
                           QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("0"), oneLine(boxesOf(boxes))});
        printLine(stdout, {QStringLiteral("summary"), QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("1"),
                           QStringLiteral("0")});
        return finish(SomeFailed);
    }
    stats::TDMReport reportModule;

    QElapsedTimer total;
    total.start();
    int finished = 0, failed = 0;
    for (int round = 1; round <= rounds; ++round) {
        for (qsizetype i = 0; i < requests.size(); ++i) {
            const stats::ReportRequest &r = requests[i];
            QElapsedTimer timer;
            timer.start();
            const Outcome outcome = renderOne(r, reportModule, boxes);
            const double ms = double(timer.nsecsElapsed()) / 1e6;
            (outcome.status == QLatin1String("failed") ? failed : finished)++;
            printLine(stdout,
                      QStringList{outcome.status, QString::number(round), QString::number(i + 1),
                                  QString::number(r.kind), r.startKey(), r.endKey(), QString::number(ms, 'f', 1)} +
                          outcome.fields);
        }
    }
    printLine(stdout, {QStringLiteral("summary"), QString::number(finished + failed), QString::number(finished),
                       QString::number(failed), QString::number(double(total.elapsed()) / 1000.0, 'f', 2)});
    return finish(failed == 0 ? AllFinished : SomeFailed);
}
