#include "app/StatisticsJob.h"

#include "app/CodeLists.h"
#include "app/Tables.h"
#include "platform/db/DbError.h"

#include <QSet>

#include <algorithm>

namespace tipdesk::app {

namespace {

const QString kDayMask = QStringLiteral("yyyyMMdd");
const QString kReportDay = QStringLiteral("TO_CHAR(REPORT_DATE, 'YYYYMMDD')");
const QString kReportHour = QStringLiteral("TO_CHAR(REPORT_DATE, 'HH24')");
const QString kInRange = QStringLiteral("TO_CHAR(REPORT_DATE, 'YYYYMMDD') BETWEEN :FROM_DAY AND :TO_DAY");

QString quoted(const QString &code)
{
    return u'\'' + code + u'\'';
}

QString hourText(int hour)
{
    return QStringLiteral("%1").arg(hour, 2, 10, QLatin1Char('0'));
}

// The reports of a group whose `value` equals `code`.
QString countOf(const QString &value, const QString &code)
{
    return QStringLiteral("SUM(CASE WHEN %1 = %2 THEN REPORTS ELSE 0 END)").arg(value, quoted(code));
}

QString countWhen(const QString &condition)
{
    return QStringLiteral("SUM(CASE WHEN %1 THEN REPORTS ELSE 0 END)").arg(condition);
}

// The source number of a report: the reporter types with a source of their own, every other one
// (an unknown or missing type too) under the last source.
QString sourceOfReport()
{
    QStringList cases;
    QString other;
    for (const CodeItem &source : statisticsSources().items()) {
        if (sourceForReporterType(QStringLiteral("?")) == source.code) {
            other = quoted(source.code);
            continue;
        }
        for (const QString &type : reporterTypesOfSource(source.code))
            cases << QStringLiteral("WHEN REPORTER_TYPE = %1 THEN %2").arg(quoted(type), quoted(source.code));
    }
    return QStringLiteral("CASE %1 ELSE %2 END").arg(cases.join(u' '), other);
}

// The handling class of a report from its two flags, as handlingResult() gives it.
QString resultOfReport()
{
    return QStringLiteral("CASE WHEN BROAD_FLAG = '1' THEN %1 WHEN SEND_FLAG = '1' THEN %2 ELSE %3 END")
        .arg(quoted(kResultBroadcast), quoted(kResultNotBroadcast), quoted(kResultInternal));
}

// The hour-band counts of REPORT_HOUR, in the tables' column order.
QStringList bandCounts()
{
    QStringList r;
    for (const HourBand &b : hourBands()) {
        r << (b.toHour - b.fromHour == 1 ? countOf(QStringLiteral("REPORT_HOUR"), hourText(b.fromHour))
                                         : countWhen(QStringLiteral("REPORT_HOUR BETWEEN '%1' AND '%2'")
                                                         .arg(hourText(b.fromHour), hourText(b.toHour - 1))));
    }
    return r;
}

// A table's columns as the table description gives them.
QStringList columnsOf(const QString &table)
{
    return app::table(table)->columnNames();
}

QStringList bandedCounts()
{
    const QString morningEnd = quoted(hourText(kMorningEndHour));
    return QStringList{QStringLiteral("SUM(REPORTS)"), countWhen(QStringLiteral("REPORT_HOUR < ") + morningEnd),
                       countWhen(QStringLiteral("REPORT_HOUR >= ") + morningEnd)} +
           bandCounts();
}

// The days' reports counted by day and hour, and by what else a table counts them by: `by`, pairs
// of an expression and its name, splits the groups; `counts`, pairs of a name and a condition,
// counts the reports meeting it within each group. A table's figures are then sums over a few
// groups a day, and each report's values are worked out once.
using Named = QList<std::pair<QString, QString>>;
QString groupsOfDays(const Named &by, const Named &counts = {}, const QString &extraCondition = {})
{
    QStringList items{kReportDay + QStringLiteral(" STAT_DAY"), kReportHour + QStringLiteral(" REPORT_HOUR")};
    QStringList keys{kReportDay, kReportHour};
    for (const auto &[expression, name] : by) {
        items << expression + u' ' + name;
        keys << expression;
    }
    items << QStringLiteral("COUNT(*) REPORTS");
    for (const auto &[name, condition] : counts)
        items << QStringLiteral("SUM(CASE WHEN %1 THEN 1 ELSE 0 END) %2").arg(condition, name);
    // The cheap condition first: the day of a report is worked out only for the reports it keeps.
    return QStringLiteral("(SELECT %1\n          FROM REPORT_REQUISITION\n         WHERE %2%3\n         GROUP BY %4)")
        .arg(items.join(QStringLiteral(",\n               ")),
             extraCondition.isEmpty() ? QString() : extraCondition + QStringLiteral("\n           AND "), kInRange,
             keys.join(QStringLiteral(", ")));
}

QString insert(const QString &table, const QStringList &columns, const QStringList &values, const QString &from,
               const QString &groupBy)
{
    return QStringLiteral("INSERT INTO %1 (%2)\nSELECT %3\n  FROM %4\n GROUP BY %5")
        .arg(table, columns.join(QStringLiteral(", ")), values.join(QStringLiteral(",\n       ")), from, groupBy);
}

DerivationStep step(const QString &table, const QString &derive)
{
    return {table, QStringLiteral("DELETE FROM %1 WHERE STAT_DAY BETWEEN :FROM_DAY AND :TO_DAY").arg(table), derive};
}

QList<DerivationStep> buildSteps()
{
    QList<DerivationStep> steps;

    // The day's counts by source, content and handling, summed over its hours, and its hour bands.
    QStringList hubColumns{QStringLiteral("STAT_DAY"), QStringLiteral("TOTAL")};
    QStringList hubValues{QStringLiteral("STAT_DAY"), QStringLiteral("SUM(REPORTS)")};
    Named hubCounts;
    const auto counted = [&](const QString &column, const QString &condition) {
        hubColumns << column;
        hubValues << QStringLiteral("SUM(%1)").arg(column);
        hubCounts.append({column, condition});
    };
    for (const CodeItem &s : statisticsSources().items())
        counted(s.column, sourceOfReport() + QStringLiteral(" = ") + quoted(s.code));
    for (const CodeItem &c : contentCodes().items())
        counted(c.column, QStringLiteral("INCIDENT_TYPE = ") + quoted(c.code));
    for (const CodeItem &r : handlingResults().items())
        counted(r.column, resultOfReport() + QStringLiteral(" = ") + quoted(r.code));
    hubColumns << hourBandColumns();
    hubValues << bandCounts();
    steps << step(tbl::StatHub,
                  insert(tbl::StatHub, hubColumns, hubValues, groupsOfDays({}, hubCounts), QStringLiteral("STAT_DAY")));

    // A handling class, the guidance calls and the lost property of a day have a row when they occur.
    steps << step(tbl::StatHubDay,
                  insert(tbl::StatHubDay, columnsOf(tbl::StatHubDay),
                         QStringList{QStringLiteral("STAT_DAY"), QStringLiteral("RESULT")} + bandedCounts(),
                         groupsOfDays({{resultOfReport(), QStringLiteral("RESULT")}}),
                         QStringLiteral("STAT_DAY, RESULT")));
    steps << step(tbl::StatHubInfo,
                  insert(tbl::StatHubInfo, columnsOf(tbl::StatHubInfo),
                         QStringList{QStringLiteral("STAT_DAY")} + bandedCounts(),
                         groupsOfDays({}, {}, QStringLiteral("INCIDENT_TYPE = ") + quoted(kContentGuidance)),
                         QStringLiteral("STAT_DAY")));

    QStringList lossValues{QStringLiteral("STAT_DAY"), QStringLiteral("SUM(REPORTS)")};
    QStringList lossCodes;
    for (const CodeItem &l : lostPropertyCodes().items()) {
        lossValues << countOf(QStringLiteral("SPEED"), l.code);
        lossCodes << quoted(l.code);
    }
    steps << step(tbl::StatHubLoss,
                  insert(tbl::StatHubLoss, columnsOf(tbl::StatHubLoss), lossValues,
                         groupsOfDays({{QStringLiteral("SPEED"), QStringLiteral("SPEED")}}, {},
                                      QStringLiteral("SPEED IN (%1)").arg(lossCodes.join(QStringLiteral(", ")))),
                         QStringLiteral("STAT_DAY")));

    // Per source, one row for each identifier and name (and organisation): a correspondent renamed
    // during a day keeps a row under each name.
    QStringList operatorTypes;
    for (const QString &t : operatorTypeCodes())
        operatorTypes << quoted(t);
    // The table by organisation first: the correspondents' own totals are the sums of its rows.
    QList<SourceTableDef> sources = sourceTables();
    std::stable_partition(sources.begin(), sources.end(),
                          [](const SourceTableDef &s) { return s.table == tbl::StatHubRole; });
    const SourceTableDef &byRole = sources.first();
    for (const SourceTableDef &s : std::as_const(sources)) {
        QStringList columns{QStringLiteral("STAT_DAY"), s.idColumn, s.nameColumn, QStringLiteral("REPORT_COUNT")};
        if (s.table != byRole.table && s.reporterType == byRole.reporterType) {
            steps << step(s.table,
                          insert(s.table, columns,
                                 {QStringLiteral("STAT_DAY"), byRole.idColumn, byRole.nameColumn,
                                  QStringLiteral("SUM(REPORT_COUNT)")},
                                 byRole.table + QStringLiteral("\n WHERE STAT_DAY BETWEEN :FROM_DAY AND :TO_DAY"),
                                 QStringLiteral("STAT_DAY, %1, %2").arg(byRole.idColumn, byRole.nameColumn)));
            continue;
        }
        if (s.reporterType.isEmpty()) {
            // Receiving operators are recorded by name; their identifier is the one INDIVIDUAL gives
            // an operator of that name. A day's reports are counted by name first, so that the
            // name is looked up once a day.
            steps << step(s.table, QStringLiteral("INSERT INTO %1 (%2)\n"
                                                  "SELECT R.STAT_DAY, O.OPERATOR_ID, R.OPERATOR_NAME, R.REPORTS\n"
                                                  "  FROM (SELECT %3 STAT_DAY, OPERATOR_NAME, COUNT(*) REPORTS\n"
                                                  "          FROM REPORT_REQUISITION\n         WHERE %4\n"
                                                  "         GROUP BY %3, OPERATOR_NAME) R,\n"
                                                  "       (SELECT INDIVIDUAL_NAME, MIN(INDIVIDUAL_ID) OPERATOR_ID\n"
                                                  "          FROM INDIVIDUAL\n         WHERE TYPE IN (%5)\n"
                                                  "         GROUP BY INDIVIDUAL_NAME) O\n"
                                                  " WHERE O.INDIVIDUAL_NAME(+) = R.OPERATOR_NAME")
                                       .arg(s.table, columns.join(QStringLiteral(", ")), kReportDay, kInRange,
                                            operatorTypes.join(QStringLiteral(", "))));
            continue;
        }
        QStringList values{kReportDay, QStringLiteral("INDIVIDUAL_ID"), QStringLiteral("REPORTER_NAME"),
                           QStringLiteral("COUNT(*)")};
        QString groupBy = kReportDay + QStringLiteral(", INDIVIDUAL_ID, REPORTER_NAME");
        if (s.table == tbl::StatHubRole) {
            columns << QStringLiteral("ROLE_ID");
            values << QStringLiteral("ORGANIZATION_ID");
            groupBy += QStringLiteral(", ORGANIZATION_ID");
        }
        steps << step(s.table, insert(s.table, columns, values,
                                      QStringLiteral("REPORT_REQUISITION\n WHERE REPORTER_TYPE = %1\n   AND %2")
                                          .arg(quoted(s.reporterType), kInRange),
                                      groupBy));
    }
    return steps;
}

db::ParamValues dayParams(const QDate &first, const QDate &last)
{
    return {{QStringLiteral("FROM_DAY"), first.toString(kDayMask)},
            {QStringLiteral("TO_DAY"), last.toString(kDayMask)}};
}

// A range cut at month ends: pieces small enough to report progress by, large enough that each
// statement does real work.
QList<DayRange> monthPieces(const DayRange &range)
{
    QList<DayRange> pieces;
    for (QDate d = range.first; d <= range.last;) {
        const QDate monthEnd(d.year(), d.month(), d.daysInMonth());
        const QDate end = std::min(monthEnd, range.last);
        pieces.append({d, end});
        d = end.addDays(1);
    }
    return pieces;
}

// A report whose date cannot be read belongs to no day: it is left out, not a reason to stop.
class LenientDates {
public:
    explicit LenientDates(db::Backend &b) : m_backend(b) { m_backend.setLenientDates(true); }
    ~LenientDates() { m_backend.setLenientDates(false); }
    LenientDates(const LenientDates &) = delete;
    LenientDates &operator=(const LenientDates &) = delete;

private:
    db::Backend &m_backend;
};

QDate dayOf(const QVariant &key)
{
    return QDate::fromString(key.toString(), kDayMask);
}

// Reports and rows written per day of the ranges, read back from the tables.
DerivationSummary summarise(db::Backend &backend, const QList<DayRange> &ranges)
{
    DerivationSummary summary;
    for (const DayRange &range : ranges) {
        QHash<QDate, DerivedDay> days;
        for (QDate d = range.first; d <= range.last; d = d.addDays(1))
            days.insert(d, DerivedDay{d, 0, 0});
        const db::ParamValues params = dayParams(range.first, range.last);
        const db::ResultSet totals = backend.select(
            QStringLiteral("SELECT STAT_DAY, TOTAL FROM STAT_HUB WHERE STAT_DAY BETWEEN :FROM_DAY AND :TO_DAY"),
            params);
        for (const QVariantList &row : totals.rows) {
            if (days.contains(dayOf(row[0])))
                days[dayOf(row[0])].reports = row[1].toLongLong();
        }
        for (const DerivationStep &s : statisticsDerivation()) {
            const db::ResultSet counts = backend.select(
                QStringLiteral("SELECT STAT_DAY, COUNT(*) FROM %1 WHERE STAT_DAY BETWEEN :FROM_DAY AND :TO_DAY "
                               "GROUP BY STAT_DAY")
                    .arg(s.table),
                params);
            for (const QVariantList &row : counts.rows) {
                if (days.contains(dayOf(row[0])))
                    days[dayOf(row[0])].rows += row[1].toLongLong();
            }
        }
        for (QDate d = range.first; d <= range.last; d = d.addDays(1)) {
            const DerivedDay &day = days[d];
            summary.days.append(day);
            summary.reports += day.reports;
            summary.rows += day.rows;
        }
    }
    return summary;
}

} // namespace

const QList<DerivationStep> &statisticsDerivation()
{
    static const QList<DerivationStep> steps = buildSteps();
    return steps;
}

QString statisticsDerivationScript()
{
    QString script = QStringLiteral(
        "-- The daily statistics of the days :FROM_DAY .. :TO_DAY (keys 'YYYYMMDD'), derived from the reports.\n"
        "-- Run as one transaction.\n");
    for (const DerivationStep &s : statisticsDerivation())
        script += QStringLiteral("\n%1;\n\n%2;\n").arg(s.clear, s.derive);
    return script;
}

QList<DayRange> rangesOf(QList<QDate> days)
{
    std::sort(days.begin(), days.end());
    days.erase(std::unique(days.begin(), days.end()), days.end());
    QList<DayRange> ranges;
    for (const QDate &d : days) {
        if (!ranges.isEmpty() && ranges.last().last.addDays(1) == d)
            ranges.last().last = d;
        else
            ranges.append({d, d});
    }
    return ranges;
}

DerivationSummary deriveStatistics(db::Backend &backend, const QList<DayRange> &ranges,
                                   const DerivationProgress &progress)
{
    QList<DayRange> pieces;
    qint64 totalDays = 0;
    for (const DayRange &r : ranges) {
        pieces += monthPieces(r);
        totalDays += std::max<qint64>(0, r.first.daysTo(r.last) + 1);
    }
    const LenientDates lenient(backend);
    backend.begin(kStatisticsJob);
    try {
        qint64 done = 0;
        for (const DayRange &piece : std::as_const(pieces)) {
            const db::ParamValues params = dayParams(piece.first, piece.last);
            for (const DerivationStep &s : statisticsDerivation()) {
                backend.exec(s.clear, params);
                backend.exec(s.derive, params);
            }
            done += piece.first.daysTo(piece.last) + 1;
            if (progress)
                progress(double(done) / double(std::max<qint64>(1, totalDays)), piece.last);
        }
        DerivationSummary summary = summarise(backend, ranges);
        backend.commit();
        return summary;
    } catch (...) {
        backend.rollback();
        throw;
    }
}

QList<QDate> daysWithoutStatistics(db::Backend &backend, const QDate &before)
{
    const LenientDates lenient(backend);
    const db::ResultSet first =
        backend.select(QStringLiteral("SELECT TO_CHAR(MIN(REPORT_DATE), 'YYYYMMDD') FROM REPORT_REQUISITION "
                                      "WHERE REPORT_DATE >= TO_DATE('19000101', 'YYYYMMDD')"),
                       {});
    const QDate from = first.rows.empty() ? QDate() : dayOf(first.rows.front().value(0));
    if (!from.isValid() || from >= before)
        return {};
    const QDate last = before.addDays(-1);
    const db::ResultSet derived =
        backend.select(QStringLiteral("SELECT STAT_DAY FROM STAT_HUB WHERE STAT_DAY BETWEEN :FROM_DAY AND :TO_DAY"),
                       dayParams(from, last));
    QSet<QDate> have;
    for (const QVariantList &row : derived.rows)
        have.insert(dayOf(row[0]));
    QList<QDate> candidates;
    for (QDate d = from; d <= last; d = d.addDays(1)) {
        if (!have.contains(d))
            candidates.append(d);
    }
    // Only the days without statistics are read, a stretch of them at a time.
    QList<QDate> missing;
    for (const DayRange &r : rangesOf(candidates)) {
        const db::ResultSet days = backend.select(
            QStringLiteral("SELECT DISTINCT %1 FROM REPORT_REQUISITION WHERE %2").arg(kReportDay, kInRange),
            dayParams(r.first, r.last));
        for (const QVariantList &row : days.rows) {
            const QDate d = dayOf(row[0]);
            if (d.isValid())
                missing.append(d);
        }
    }
    std::sort(missing.begin(), missing.end());
    return missing;
}

} // namespace tipdesk::app
