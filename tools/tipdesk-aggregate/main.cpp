// tipdesk-aggregate: derives the daily statistics tables from the received reports, for a site
// whose database has no job of its own to do it (an embedded file, the shared PostgreSQL server).
// Exit codes: 0 done, 1 database error (nothing changed), 2 bad arguments.

#include "ToolStart.h"
#include "app/StatisticsJob.h"
#include "app/TablesConnection.h"
#include "platform/db/BackendSelector.h"
#include "platform/db/DbError.h"
#include "platform/db/EmbeddedBackend.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <unistd.h>

using namespace tipdesk;

namespace {

enum Status { Done = 0, DatabaseError = 1, BadArguments = 2 };

void print(FILE *to, const QString &line)
{
    std::fprintf(to, "%s\n", qPrintable(line));
    std::fflush(to);
}

int bad(const QString &problem)
{
    print(stderr, QStringLiteral("tipdesk-aggregate: ") + problem);
    return BadArguments;
}

QString dayText(const QDate &d)
{
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

QString count(qint64 n)
{
    return QLocale(QLocale::English).toString(n);
}

// A line redrawn in place on a terminal, after the first seconds; nothing otherwise.
class ProgressLine {
public:
    ProgressLine() : m_terminal(isatty(fileno(stderr)) != 0) { m_clock.start(); }
    ~ProgressLine() { clear(); }
    void show(double done, const QDate &reached)
    {
        if (!m_terminal || m_clock.elapsed() < 2000)
            return;
        std::fprintf(stderr, "\r집계 중: %s까지 %3.0f%% ", qPrintable(dayText(reached)), done * 100.0);
        std::fflush(stderr);
        m_shown = true;
    }
    void clear()
    {
        if (m_shown)
            std::fprintf(stderr, "\r\033[K");
        m_shown = false;
    }

private:
    bool m_terminal;
    bool m_shown = false;
    QElapsedTimer m_clock;
};

} // namespace

int main(int argc, char **argv)
{
    tools::prepareEnvironment(tools::Platform::None);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tipdesk-aggregate"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TIPDESK_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Derives the daily statistics tables (STAT_HUB and the others) from the received reports. Each run replaces "
        "the rows of the days it derives in one transaction and touches no other day. Without --from and --to it "
        "derives yesterday and every earlier day that has reports but no statistics."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption databaseOpt(QStringLiteral("database"),
                                         QStringLiteral("Embedded database file (default: the desk's own database, "
                                                        "as the program finds it)."),
                                         QStringLiteral("FILE"));
    const QCommandLineOption pgOpt(QStringLiteral("pg"),
                                   QStringLiteral("PostgreSQL server, as \"host=… port=… dbname=… user=…\" (password "
                                                  "from PGPASSWORD or ~/.pgpass)."),
                                   QStringLiteral("CONNINFO"));
    const QCommandLineOption fromOpt(QStringLiteral("from"),
                                     QStringLiteral("First day to derive (default: with --to, the same day)."),
                                     QStringLiteral("YYYYMMDD"));
    const QCommandLineOption toOpt(
        QStringLiteral("to"),
        QStringLiteral("Last day to derive (default: yesterday, or with a later --from that day)."),
        QStringLiteral("YYYYMMDD"));
    const QCommandLineOption todayOpt(QStringLiteral("include-today"),
                                      QStringLiteral("Allow today, whose statistics stay incomplete until it ends."));
    const QCommandLineOption sqlOpt(QStringLiteral("print-sql"),
                                    QStringLiteral("Print the statements in the Oracle dialect and exit."));
    parser.addOptions({databaseOpt, pgOpt, fromOpt, toOpt, todayOpt, sqlOpt});

    if (!parser.parse(QCoreApplication::arguments()))
        return bad(tools::parseErrorText(parser));
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(Done);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    if (!parser.positionalArguments().isEmpty())
        return bad(QStringLiteral("필요 없는 인수입니다: ") + parser.positionalArguments().join(u' '));
    if (parser.isSet(sqlOpt)) {
        std::fputs(qPrintable(app::statisticsDerivationScript()), stdout);
        return Done;
    }
    if (parser.isSet(databaseOpt) && parser.isSet(pgOpt))
        return bad(QStringLiteral("--database 와 --pg 중 하나만 주십시오"));

    const QDate today = QDate::currentDate();
    std::optional<QDate> from, to;
    if (parser.isSet(fromOpt) && !(from = tools::parseDay(parser.value(fromOpt))))
        return bad(QStringLiteral("--from 에는 달력에 있는 날짜 YYYYMMDD 를 주십시오: %1").arg(parser.value(fromOpt)));
    if (parser.isSet(toOpt) && !(to = tools::parseDay(parser.value(toOpt))))
        return bad(QStringLiteral("--to 에는 달력에 있는 날짜 YYYYMMDD 를 주십시오: %1").arg(parser.value(toOpt)));
    const bool given = from || to;
    if (from && !to)
        to = std::max(*from, today.addDays(-1));
    if (to && !from)
        from = to;
    if (given && *from > *to)
        return bad(
            QStringLiteral("--from 의 날짜(%1)가 --to 의 날짜(%2)보다 늦습니다").arg(dayText(*from), dayText(*to)));
    if (given && *to >= today && !parser.isSet(todayOpt))
        return bad(QStringLiteral("오늘(%1)과 그 뒤의 통계는 하루가 끝나야 완전합니다: 오늘까지 집계하려면 "
                                  "--include-today 를 주십시오")
                       .arg(dayText(today)));

    std::unique_ptr<db::Backend> backend;
    try {
        if (parser.isSet(pgOpt)) {
            backend = db::postgresBackend(parser.value(pgOpt));
        } else if (parser.isSet(databaseOpt)) {
            if (!QFileInfo(parser.value(databaseOpt)).isFile()) {
                print(stderr, QStringLiteral("%1: 데이터베이스 파일이 없습니다").arg(parser.value(databaseOpt)));
                return DatabaseError;
            }
            backend = std::make_unique<db::EmbeddedBackend>(parser.value(databaseOpt));
        } else {
            backend = db::selectBackend(app::deskConnection());
        }
        backend->open();

        QList<app::DayRange> ranges;
        if (given) {
            ranges.append({*from, *to});
        } else {
            QList<QDate> days = app::daysWithoutStatistics(*backend, today.addDays(-1));
            days.append(today.addDays(-1));
            ranges = app::rangesOf(days);
        }
        QElapsedTimer clock;
        clock.start();
        app::DerivationSummary summary;
        {
            ProgressLine progress;
            summary = app::deriveStatistics(*backend, ranges,
                                            [&](double done, const QDate &reached) { progress.show(done, reached); });
        }
        for (const app::DerivedDay &d : std::as_const(summary.days))
            print(stdout,
                  QStringLiteral("%1  보고 %2건  통계 %3행").arg(dayText(d.day), count(d.reports), count(d.rows)));
        print(stdout, QStringLiteral("%1: %2일, 보고 %3건, 통계 %4행을 새로 썼습니다 (%5초)")
                          .arg(backend->describe())
                          .arg(summary.days.size())
                          .arg(count(summary.reports), count(summary.rows))
                          .arg(double(clock.elapsed()) / 1000.0, 0, 'f', 1));
    } catch (const db::DbError &e) {
        // Every failure names the database; the engine's own text alone may not.
        QString text = e.text();
        if (backend && !text.startsWith(backend->describe()))
            text = backend->describe() + QStringLiteral(": ") + text;
        if (e.kind() != db::DbError::Kind::JobRunning)
            text += QStringLiteral("\n통계를 집계하지 못했습니다. 통계 테이블은 바뀌지 않았습니다.");
        print(stderr, text);
        return DatabaseError;
    }
    return Done;
}
