// tipdesk-demo-db: builds the demo database the desktop program runs on without a central server.
#include "DemoDb.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <stdexcept>

using namespace tipdesk::demo;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tipdesk-demo-db"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Builds a demo database of received reports and their statistics."));
    parser.addHelpOption();
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Database file to create (must not exist)."),
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
    parser.addOptions({out, seed, until, days, perDay});
    parser.process(app);

    auto bad = [](const QString &m) {
        std::fprintf(stderr, "tipdesk-demo-db: %s\n", qPrintable(m));
        return 2;
    };
    DemoOptions o;
    if (!parser.isSet(out))
        return bad(QStringLiteral("--out FILE is required"));
    o.out = parser.value(out);
    bool ok = true;
    if (parser.isSet(seed)) {
        o.seed = parser.value(seed).toULongLong(&ok);
        if (!ok)
            return bad(QStringLiteral("--seed must be a whole number"));
    }
    if (parser.isSet(until)) {
        o.until = QDate::fromString(parser.value(until), QStringLiteral("yyyyMMdd"));
        if (!o.until.isValid())
            return bad(QStringLiteral("--until must be a day YYYYMMDD"));
    }
    if (parser.isSet(days)) {
        o.days = parser.value(days).toInt(&ok);
        if (!ok)
            return bad(QStringLiteral("--days must be a whole number"));
    }
    if (parser.isSet(perDay)) {
        o.perDay = parser.value(perDay).toInt(&ok);
        if (!ok)
            return bad(QStringLiteral("--per-day must be a whole number"));
    }
    o.progress = [](const QString &m) {
        std::fprintf(stderr, "%s\n", qPrintable(m));
        std::fflush(stderr);
    };
    QElapsedTimer t;
    t.start();
    try {
        const DemoSummary s = buildDemoDb(o);
        std::printf("%s: %lld reports from %s to %s, %lld statistics rows, %.1f s\n", qPrintable(o.out),
                    (long long)s.reports, qPrintable(s.firstDay.toString(Qt::ISODate)),
                    qPrintable(s.lastDay.toString(Qt::ISODate)), (long long)s.statisticsRows,
                    double(t.elapsed()) / 1000.0);
        std::printf("demo login: %s / %s\n", qPrintable(kDemoUser), qPrintable(kDemoPassword));
    } catch (const std::exception &e) {
        return bad(QString::fromUtf8(e.what()));
    }
    return 0;
}
