#pragma once

// What a load-desk process printed and how it ended, and the accounting of it: every report of
// every round has exactly one line, the summary agrees with the lines, and the exit status agrees
// with the failures, so that no error can go unseen.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace tipdesk::test {

struct DeskReport {
    QString status; // ok, nodata, failed
    int round = 0;  // 0 for a failure at start-up
    int index = 0;
    int kind = -1;
    QString request; // "KIND:START:END"
    double ms = 0;
    int pages = 0;
    QString digest; // ok: SHA-256 of the text dump
    QString text;   // failed: the error's text
};

struct DeskRun {
    QString name;
    QString startError; // the process did not start, crashed or was stopped at the deadline
    int exitCode = -1;
    QList<DeskReport> reports;
    QStringList strays; // lines of none of the desk's forms
    bool summarised = false;
    int summaryReports = 0, summaryFinished = 0, summaryFailed = 0;
    QString errorStream;

    QList<DeskReport> failures() const
    {
        QList<DeskReport> out;
        for (const DeskReport &r : reports) {
            if (r.status == QLatin1String("failed"))
                out << r;
        }
        return out;
    }
};

inline DeskRun parseDeskOutput(const QString &name, const QByteArray &out, const QByteArray &err)
{
    DeskRun run;
    run.name = name;
    run.errorStream = QString::fromUtf8(err).trimmed();
    for (const QString &line : QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList f = line.split(u'\t');
        const QString status = f.value(0);
        if (status == QLatin1String("summary") && f.size() == 5) {
            run.summarised = true;
            run.summaryReports = f[1].toInt();
            run.summaryFinished = f[2].toInt();
            run.summaryFailed = f[3].toInt();
            continue;
        }
        const int fields = status == QLatin1String("ok") ? 9 : status == QLatin1String("failed") ? 8 : 7;
        if ((status != QLatin1String("ok") && status != QLatin1String("nodata") && status != QLatin1String("failed")) ||
            f.size() != fields) {
            run.strays << line;
            continue;
        }
        DeskReport r;
        r.status = status;
        r.round = f[1].toInt();
        r.index = f[2].toInt();
        r.kind = f[3].toInt();
        r.request = f[3] + u':' + f[4] + u':' + f[5];
        r.ms = f[6].toDouble();
        if (status == QLatin1String("ok")) {
            r.pages = f[7].toInt();
            r.digest = f[8];
        } else if (status == QLatin1String("failed")) {
            r.text = f[7];
        }
        run.reports << r;
    }
    return run;
}

// The first way in which a desk's output fails to account for rounds × requests reports, or an
// empty text. A desk whose start-up failed accounts for itself with that one failure.
inline QString accountingProblem(const DeskRun &run, int rounds, int requests)
{
    if (!run.startError.isEmpty())
        return run.startError;
    if (!run.strays.isEmpty())
        return QStringLiteral("unreadable line: ") + run.strays.first();
    if (!run.summarised)
        return QStringLiteral("no summary line");
    const qsizetype failed = run.failures().size();
    if (run.summaryFailed != failed || run.summaryReports != run.reports.size() ||
        run.summaryFinished != run.reports.size() - failed)
        return QStringLiteral("summary %1/%2/%3 against %4 lines, %5 failed")
            .arg(run.summaryReports)
            .arg(run.summaryFinished)
            .arg(run.summaryFailed)
            .arg(run.reports.size())
            .arg(failed);
    if ((failed == 0) != (run.exitCode == 0))
        return QStringLiteral("exit status %1 with %2 failed reports").arg(run.exitCode).arg(failed);
    const bool startupFailure = run.reports.size() == 1 && run.reports.first().round == 0;
    if (startupFailure)
        return run.reports.first().status == QLatin1String("failed") ? QString()
                                                                     : QStringLiteral("start-up line not a failure");
    QHash<QPair<int, int>, int> seen;
    for (const DeskReport &r : run.reports)
        ++seen[{r.round, r.index}];
    for (int round = 1; round <= rounds; ++round) {
        for (int index = 1; index <= requests; ++index) {
            const int n = seen.value({round, index});
            if (n != 1)
                return QStringLiteral("round %1, request %2: %3 lines").arg(round).arg(index).arg(n);
        }
    }
    if (run.reports.size() != qsizetype(rounds) * requests)
        return QStringLiteral("%1 lines for %2 reports").arg(run.reports.size()).arg(rounds * requests);
    return {};
}

} // namespace tipdesk::test
