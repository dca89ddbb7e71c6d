#pragma once

// A small database for the period totals and the export: daily counts per source around
// January 2004, roles and organisations, received reports. The same rows are kept here as data
// so that the tests compute the expected figures themselves, without SQL.

#include "app/Schema.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <map>
#include <tuple>
#include <vector>

namespace periodfixture {

struct DayCount {
    QString table;
    QString day; // YYYYMMDD
    QString id;
    QString name;
    int count;
};

struct RoleCount {
    QString day;
    QString reporterId;
    QString reporterName;
    QString roleId;
    int count;
};

struct Received {
    QString reportDate; // yyyy-MM-dd HH:mm:ss
    QString type;
    QString id;
    QString name;
};

struct Data {
    std::vector<DayCount> counts;
    std::vector<RoleCount> roleCounts;
    std::vector<std::pair<QString, QString>> roles;         // individual, organisation
    std::vector<std::pair<QString, QString>> organisations; // id, name
    std::vector<std::pair<QString, QString>> individuals;   // id, CUR
    std::vector<Received> received;
};

inline QString sqlText(const QString &s)
{
    return u'\'' + QString(s).replace(u'\'', QStringLiteral("''")) + u'\'';
}

inline const Data &data()
{
    static const Data d = [] {
        Data d;
        // Days from 30 December 2003 to 2 February 2004, so that both ends of January matter.
        std::vector<QString> days;
        for (QDate day(2003, 12, 30); day <= QDate(2004, 2, 2); day = day.addDays(1))
            days.push_back(day.toString(QStringLiteral("yyyyMMdd")));
        auto add = [&](const QString &table, const QString &id, const QString &name, int seed) {
            for (size_t i = 0; i < days.size(); ++i) {
                const int c = int((i * 7 + size_t(seed) * 3) % 5); // 0..4; some days without a row
                if (c != 0)
                    d.counts.push_back({table, days[i], id, name, c});
            }
        };
        // Correspondents; C002 is recorded under two names, C005 only outside January.
        add(QStringLiteral("STAT_HUB_RPT"), QStringLiteral("C001"), QStringLiteral("김철수"), 1);
        add(QStringLiteral("STAT_HUB_RPT"), QStringLiteral("C002"), QStringLiteral("이영희"), 2);
        add(QStringLiteral("STAT_HUB_RPT"), QStringLiteral("C002"), QStringLiteral("이영이"), 4);
        add(QStringLiteral("STAT_HUB_RPT"), QStringLiteral("C003"), QStringLiteral("박민수"), 2);
        add(QStringLiteral("STAT_HUB_RPT"), QStringLiteral("C004"), QStringLiteral("최지우"), 3);
        d.counts.push_back({QStringLiteral("STAT_HUB_RPT"), QStringLiteral("20031231"), QStringLiteral("C005"),
                            QStringLiteral("정우성"), 9});
        d.counts.push_back({QStringLiteral("STAT_HUB_RPT"), QStringLiteral("20040201"), QStringLiteral("C005"),
                            QStringLiteral("정우성"), 9});
        // Fixed report points: equal totals, so the order falls to the identifiers.
        for (int i = 0; i < 4; ++i)
            add(QStringLiteral("STAT_HUB_ORG"), QStringLiteral("F%1").arg(9 - i), QStringLiteral("고정%1").arg(i), 1);
        // Police report points with awkward names.
        add(QStringLiteral("STAT_HUB_POL"), QStringLiteral("P1"), QStringLiteral("  \t앞공백"), 1);
        add(QStringLiteral("STAT_HUB_POL"), QStringLiteral("P2"), QStringLiteral("줄\r\n바꿈"), 2);
        add(QStringLiteral("STAT_HUB_POL"), QStringLiteral("P3"), QStringLiteral("세로|막대"), 3);
        add(QStringLiteral("STAT_HUB_POL"), QStringLiteral("P4"), QStringLiteral("끝공백  "), 4);
        // Enough operators to fill more than one page.
        for (int i = 1; i <= 45; ++i)
            add(QStringLiteral("STAT_HUB_OP"), QStringLiteral("OP%1").arg(i, 3, 10, QLatin1Char('0')),
                QStringLiteral("접수자%1").arg(i), i);

        // Organisations: C001 in two, C002 in one, C003 without a role, C004 in one that does not exist.
        d.organisations = {{QStringLiteral("O1"), QStringLiteral("서울지부")},
                           {QStringLiteral("O2"), QStringLiteral("경기지부")}};
        d.roles = {{QStringLiteral("C001"), QStringLiteral("O2")},
                   {QStringLiteral("C001"), QStringLiteral("O1")},
                   {QStringLiteral("C002"), QStringLiteral("O1")},
                   {QStringLiteral("C004"), QStringLiteral("O9")}};

        // Correspondents by organisation (kind 18): R3 is not current, role X9 has no organisation.
        d.individuals = {{QStringLiteral("R1"), QStringLiteral("Y")},
                         {QStringLiteral("R2"), QStringLiteral("Y")},
                         {QStringLiteral("R3"), QStringLiteral("N")},
                         {QStringLiteral("R4"), QStringLiteral("Y")}};
        const std::tuple<const char *, const char *, const char *> roleRows[] = {{"R1", "가나다", "O2"},
                                                                                 {"R2", "라마바", "O1"},
                                                                                 {"R3", "사아자", "O1"},
                                                                                 {"R4", "차카타", "X9"},
                                                                                 {"R1", "가나다", "O1"}};
        int seed = 1;
        for (const auto &[id, name, role] : roleRows) {
            for (size_t i = 0; i < days.size(); i += 2)
                d.roleCounts.push_back({days[i], QString::fromUtf8(id), QString::fromUtf8(name),
                                        QString::fromUtf8(role), int((i + size_t(seed)) % 4) + 1});
            ++seed;
        }

        // Received reports: citizens (type 3) and others, at the edges of days.
        const std::tuple<const char *, const char *, const char *, const char *> rec[] = {
            {"2003-12-31 23:59:59", "3", "S1", "홍길동"}, {"2004-01-01 00:00:00", "3", "S1", "홍길동"},
            {"2004-01-01 08:30:00", "3", "S2", "성춘향"}, {"2004-01-01 09:00:00", "1", "S2", "성춘향"},
            {"2004-01-15 12:00:00", "3", "S2", "성춘향"}, {"2004-01-15 13:00:00", "3", "S3", "이몽룡"},
            {"2004-01-31 23:59:59", "3", "S3", "이몽룡"}, {"2004-02-01 00:00:00", "3", "S3", "이몽룡"},
            {"2004-01-20 10:00:00", "2", "S4", "변학도"}, {"2004-01-20 11:00:00", "3", "S1", "홍길동"},
            {"2004-01-31 10:00:00", "3", "S2", "성춘향"}};
        for (const auto &[date, type, id, name] : rec)
            d.received.push_back(
                {QString::fromUtf8(date), QString::fromUtf8(type), QString::fromUtf8(id), QString::fromUtf8(name)});
        return d;
    }();
    return d;
}

inline QString script()
{
    const Data &d = data();
    QString s = tipdesk::app::schemaScript() + QStringLiteral("BEGIN;\n"); // one commit, not one per row
    for (const DayCount &c : d.counts) {
        const QString prefix = c.table == QLatin1String("STAT_HUB_RPT")   ? QStringLiteral("RPT")
                               : c.table == QLatin1String("STAT_HUB_ORG") ? QStringLiteral("ORG")
                               : c.table == QLatin1String("STAT_HUB_POL") ? QStringLiteral("POL")
                                                                          : QStringLiteral("OP");
        s += QStringLiteral("INSERT INTO %1 (STAT_DAY, %2_ID, %2_NAME, REPORT_COUNT) VALUES (%3, %4, %5, %6);\n")
                 .arg(c.table, prefix, sqlText(c.day), sqlText(c.id), sqlText(c.name))
                 .arg(c.count);
    }
    for (const RoleCount &c : d.roleCounts)
        s += QStringLiteral("INSERT INTO STAT_HUB_ROLE (STAT_DAY, REPORTER_ID, REPORTER_NAME, ROLE_ID, REPORT_COUNT) "
                            "VALUES (%1, %2, %3, %4, %5);\n")
                 .arg(sqlText(c.day), sqlText(c.reporterId), sqlText(c.reporterName), sqlText(c.roleId))
                 .arg(c.count);
    for (const auto &[ind, org] : d.roles)
        s += QStringLiteral("INSERT INTO ROLE (INDIVIDUAL_ID, ORGANIZATION_ID) VALUES (%1, %2);\n")
                 .arg(sqlText(ind), sqlText(org));
    for (const auto &[id, name] : d.organisations)
        s += QStringLiteral("INSERT INTO ORGANIZATION (ORGANIZATION_ID, NAME) VALUES (%1, %2);\n")
                 .arg(sqlText(id), sqlText(name));
    for (const auto &[id, cur] : d.individuals)
        s += QStringLiteral("INSERT INTO INDIVIDUAL (INDIVIDUAL_ID, CUR) VALUES (%1, %2);\n")
                 .arg(sqlText(id), sqlText(cur));
    for (const Received &r : d.received)
        s += QStringLiteral("INSERT INTO REPORT_REQUISITION (REPORT_DATE, REPORTER_TYPE, INDIVIDUAL_ID, REPORTER_NAME, "
                            "SPEED) VALUES (%1, %2, %3, %4, 0);\n")
                 .arg(sqlText(r.reportDate), sqlText(r.type), sqlText(r.id), sqlText(r.name));
    return s + QStringLiteral("COMMIT;\n");
}

// One expected row: the columns in the statement's order.
using Row = QStringList;

inline QString dayKey(const QDate &d)
{
    return d.toString(QStringLiteral("yyyyMMdd"));
}

inline QString tableOf(int kind)
{
    switch (kind) {
    case 21:
    case 22:
        return QStringLiteral("STAT_HUB_RPT");
    case 23:
        return QStringLiteral("STAT_HUB_ORG");
    case 24:
        return QStringLiteral("STAT_HUB_POL");
    case 25:
        return QStringLiteral("STAT_HUB_OP");
    }
    return {};
}

// Sums per (id, name) for a source table, or citizens' reports per (id, name) for kind 26.
inline std::map<std::pair<QString, QString>, qint64> sums(int kind, const QDate &start, const QDate &end)
{
    std::map<std::pair<QString, QString>, qint64> out;
    const QString from = dayKey(start), to = dayKey(end);
    if (kind == 26) {
        for (const Received &r : data().received) {
            const QString day = QString(r.reportDate.left(10)).remove(u'-');
            if (r.type == QLatin1String("3") && day >= from && day <= to)
                ++out[{r.id, r.name}];
        }
        return out;
    }
    for (const DayCount &c : data().counts)
        if (c.table == tableOf(kind) && c.day >= from && c.day <= to)
            out[{c.id, c.name}] += c.count;
    return out;
}

// The rows kinds 21 and 23..26 should list, in the order of the sort item.
inline std::vector<Row> expectedRows(int kind, const QDate &start, const QDate &end, int sortOrder)
{
    struct R {
        QString id, name;
        qint64 sum;
    };
    std::vector<R> rows;
    for (const auto &[key, sum] : sums(kind, start, end))
        rows.push_back({key.first, key.second, sum});
    std::sort(rows.begin(), rows.end(), [&](const R &a, const R &b) {
        if (sortOrder == 0 && a.sum != b.sum)
            return a.sum > b.sum;
        if (a.id != b.id)
            return a.id < b.id;
        if (a.name != b.name)
            return a.name < b.name;
        return a.sum > b.sum;
    });
    std::vector<Row> out;
    for (const R &r : rows)
        out.push_back({r.id, r.name, QString::number(r.sum)});
    return out;
}

// Kind 22: a correspondent is listed once per role whose organisation exists, with its full sum.
inline std::vector<Row> expectedRowsByOrganisation(const QDate &start, const QDate &end, int sortOrder)
{
    struct R {
        QString id, orgName, orgId, name;
        qint64 sum;
    };
    std::vector<R> rows;
    for (const auto &[key, sum] : sums(22, start, end))
        for (const auto &[ind, org] : data().roles)
            if (ind == key.first)
                for (const auto &[orgId, orgName] : data().organisations)
                    if (orgId == org)
                        rows.push_back({key.first, orgName, orgId, key.second, sum});
    std::sort(rows.begin(), rows.end(), [&](const R &a, const R &b) {
        auto byId = std::tie(a.id, a.orgId, a.orgName, a.name);
        auto byIdB = std::tie(b.id, b.orgId, b.orgName, b.name);
        if (sortOrder == 0) {
            if (a.sum != b.sum)
                return a.sum > b.sum;
            return byId < byIdB;
        }
        if (sortOrder == 1) {
            if (byId != byIdB)
                return byId < byIdB;
            return a.sum > b.sum;
        }
        if (a.orgId != b.orgId)
            return a.orgId < b.orgId;
        if (a.sum != b.sum)
            return a.sum > b.sum;
        return std::tie(a.id, a.name) < std::tie(b.id, b.name);
    });
    std::vector<Row> out;
    for (const R &r : rows)
        out.push_back({r.id, r.orgName, r.orgId, r.name, QString::number(r.sum)});
    return out;
}

// Kind 18: current correspondents per role, the organisation's name empty when it is missing.
inline std::vector<Row> expectedRoleRows(const QDate &start, const QDate &end)
{
    std::map<std::tuple<QString, QString, QString>, qint64> agg; // role, reporter, name
    const QString from = dayKey(start), to = dayKey(end);
    for (const RoleCount &c : data().roleCounts) {
        bool current = false;
        for (const auto &[id, cur] : data().individuals)
            current = current || (id == c.reporterId && cur == QLatin1String("Y"));
        if (current && c.day >= from && c.day <= to)
            agg[{c.roleId, c.reporterId, c.reporterName}] += c.count;
    }
    std::vector<Row> out; // the map's order is role, then reporter
    for (const auto &[key, sum] : agg) {
        QString orgName;
        for (const auto &[id, name] : data().organisations)
            if (id == std::get<0>(key))
                orgName = name;
        out.push_back({std::get<1>(key), orgName, std::get<2>(key), QString::number(sum)});
    }
    return out;
}

} // namespace periodfixture
