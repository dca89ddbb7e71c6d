#pragma once

#include "platform/db/Backend.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace tipdesk::app {

// The daily statistics tables (STAT_HUB*) derived from REPORT_REQUISITION with the code lists, as
// statements in the Oracle dialect: one text runs on the embedded file, a PostgreSQL server and the
// central Oracle. Each step replaces one table's rows of the days :FROM_DAY .. :TO_DAY ("YYYYMMDD").
struct DerivationStep {
    QString table;
    QString clear;  // DELETE of the days' rows
    QString derive; // INSERT … SELECT of them
};
const QList<DerivationStep> &statisticsDerivation();

// The steps as one script, for a server's administrator to read or run with the two days bound.
QString statisticsDerivationScript();

// Days of reports ("YYYYMMDD"), from first to last inclusive.
struct DayRange {
    QDate first;
    QDate last;
};

struct DerivedDay {
    QDate day;
    qint64 reports = 0; // STAT_HUB.TOTAL, 0 for a day without reports
    qint64 rows = 0;    // rows written over every table
};

struct DerivationSummary {
    QList<DerivedDay> days;
    qint64 reports = 0;
    qint64 rows = 0;
};

// What a run reports while it works: the part of the days done, from 0 to 1.
using DerivationProgress = std::function<void(double done, const QDate &reached)>;

// The name under which runs of the derivation exclude one another (Backend::begin).
inline const QString kStatisticsJob = QStringLiteral("tipdesk-aggregate");

// Replaces every STAT_HUB* row of the given days with rows derived from the reports, in one
// transaction: desks reading meanwhile see a day's old rows or its new ones, and a failure (thrown
// as db::DbError) leaves every table as it was. Other days are never touched. Ranges must not
// overlap. Refused with DbError::Kind::JobRunning while another run holds the job.
DerivationSummary deriveStatistics(db::Backend &backend, const QList<DayRange> &ranges,
                                   const DerivationProgress &progress = {});

// The days before `before` that have reports but no STAT_HUB row, oldest first: what a job that
// was stopped for a while has to catch up.
QList<QDate> daysWithoutStatistics(db::Backend &backend, const QDate &before);

// Contiguous ranges of a set of days.
QList<DayRange> rangesOf(QList<QDate> days);

} // namespace tipdesk::app
