// tipdesk-demo-db: builds the demo database the desktop program runs on without a central server,
// and copies it into a PostgreSQL server when asked.
#include "DemoDb.h"
#include "ToolStart.h"
#include "app/PostgresLoad.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

using namespace tipdesk::demo;

int main(int argc, char **argv)
{
    tipdesk::tools::prepareEnvironment(tipdesk::tools::Platform::None);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tipdesk-demo-db"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TIPDESK_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Builds a demo database of received reports and their statistics, as an embedded database "
                       "file (--out), in a PostgreSQL database (--pg), or both."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption out(QStringLiteral("out"),
                                 QStringLiteral("Database file to create (must not exist). Optional with --pg: "
                                                "without it the file is temporary and removed afterwards."),
                                 QStringLiteral("FILE"));
    const QCommandLineOption pg(
        QStringLiteral("pg"),
        QStringLiteral("Also load the data into this PostgreSQL database: a libpq connection string such as "
                       "\"host=127.0.0.1 port=5432 dbname=tipdesk user=tipdesk\" or a postgresql:// URI. "
                       "Give the password through PGPASSWORD or ~/.pgpass rather than on the command line."),
        QStringLiteral("CONNINFO"));
    const QCommandLineOption replace(
        QStringLiteral("replace"),
        QStringLiteral("With --pg: drop and recreate tables of ours the database already holds (refused otherwise)."));
    const QCommandLineOption from(
        QStringLiteral("from"), QStringLiteral("With --pg: load this existing database file instead of building one."),
        QStringLiteral("FILE"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Random seed (default 2004)."),
                                  QStringLiteral("N"));
    const QCommandLineOption until(QStringLiteral("until"),
                                   QStringLiteral("Last day of data, YYYYMMDD (default: today, up to now)."),
                                   QStringLiteral("YYYYMMDD"));
    const QCommandLineOption days(QStringLiteral("days"), QStringLiteral("Number of days (default 396)."),
                                  QStringLiteral("N"));
    const QCommandLineOption perDay(QStringLiteral("per-day"), QStringLiteral("Average reports a day (default 400)."),
                                    QStringLiteral("N"));
    parser.addOptions({out, seed, until, days, perDay, pg, replace, from});

    auto bad = [](const QString &m) {
        std::fprintf(stderr, "tipdesk-demo-db: %s\n", qPrintable(m));
        return 2;
    };
    if (!parser.parse(QCoreApplication::arguments()))
        return bad(tipdesk::tools::parseErrorText(parser));
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    if (!parser.positionalArguments().isEmpty())
        return bad(QStringLiteral("필요 없는 인수입니다: ") + parser.positionalArguments().join(u' '));
    DemoOptions o;
    const bool toServer = parser.isSet(pg);
    if (!toServer && (parser.isSet(replace) || parser.isSet(from)))
        return bad(QStringLiteral("--replace 와 --from 은 --pg 와 함께 씁니다"));
    if (parser.isSet(from) &&
        (parser.isSet(out) || parser.isSet(seed) || parser.isSet(until) || parser.isSet(days) || parser.isSet(perDay)))
        return bad(QStringLiteral("--from 은 있는 파일을 올리므로 만들기 옵션을 받지 않습니다"));
    if (!parser.isSet(out) && !toServer)
        return bad(QStringLiteral("--out FILE 을 주십시오"));
    o.out = parser.value(out);
    bool ok = true;
    if (parser.isSet(seed)) {
        o.seed = parser.value(seed).toULongLong(&ok);
        if (!ok)
            return bad(QStringLiteral("--seed 에는 정수를 주십시오"));
    }
    if (parser.isSet(until)) {
        o.until = QDate::fromString(parser.value(until), QStringLiteral("yyyyMMdd"));
        if (!o.until.isValid())
            return bad(QStringLiteral("--until 에는 날짜 YYYYMMDD 를 주십시오"));
    }
    if (parser.isSet(days)) {
        o.days = parser.value(days).toInt(&ok);
        if (!ok)
            return bad(QStringLiteral("--days 에는 정수를 주십시오"));
    }
    if (parser.isSet(perDay)) {
        o.perDay = parser.value(perDay).toInt(&ok);
        if (!ok)
            return bad(QStringLiteral("--per-day 에는 정수를 주십시오"));
    }
    o.progress = [](const QString &m) {
        std::fprintf(stderr, "%s\n", qPrintable(m));
        std::fflush(stderr);
    };
    QTemporaryDir scratch(QDir::tempPath() + QStringLiteral("/tipdesk-demo-db-XXXXXX"));
    if (o.out.isEmpty()) {
        if (!scratch.isValid())
            return bad(QStringLiteral("임시 폴더를 만들 수 없습니다 (%1)").arg(scratch.errorString()));
        o.out = scratch.filePath(QStringLiteral("demo.db"));
    }
    QElapsedTimer t;
    t.start();
    try {
        // A wrong password or a database already loaded is found before the build, not after it.
        if (toServer && !parser.isSet(replace))
            tipdesk::app::checkPostgresTarget(parser.value(pg));
        if (!parser.isSet(from)) {
            const DemoSummary s = buildDemoDb(o);
            std::printf("%s: %lld reports from %s to %s, %lld statistics rows, %.1f s\n",
                        qPrintable(parser.isSet(out) ? o.out : QStringLiteral("(temporary file)")),
                        (long long)s.reports, qPrintable(s.firstDay.toString(Qt::ISODate)),
                        qPrintable(s.lastDay.toString(Qt::ISODate)), (long long)s.statisticsRows,
                        double(t.elapsed()) / 1000.0);
            std::printf("demo login: %s / %s\n", qPrintable(kDemoUser), qPrintable(kDemoPassword));
        }
        if (toServer) {
            const auto mode =
                parser.isSet(replace) ? tipdesk::app::ExistingTables::Replace : tipdesk::app::ExistingTables::Refuse;
            const tipdesk::app::PostgresLoadSummary l = tipdesk::app::loadIntoPostgres(
                parser.isSet(from) ? parser.value(from) : o.out, parser.value(pg), o.progress, mode);
            std::printf("PostgreSQL: %lld rows, %.1f s (%.0f rows/s)\n", (long long)l.rows, l.seconds,
                        double(l.rows) / std::max(l.seconds, 0.001));
        }
    } catch (const tipdesk::app::PostgresTablesExist &e) {
        return bad(QString::fromUtf8(e.what()) + QStringLiteral(" 기존 테이블을 바꾸려면 --replace 를 주십시오."));
    } catch (const std::exception &e) {
        return bad(QString::fromUtf8(e.what()));
    }
    return 0;
}
