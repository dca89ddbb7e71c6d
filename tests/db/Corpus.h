#pragma once

// Every statement of the system, verbatim: the queries of the report layouts and the screens'
// statements kept in statements.sql, with the values a form would bind.

#include "FixtureDb.h"
#include "platform/db/Query.h"
#include "platform/report/Layout.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QList>
#include <QString>
#include <algorithm>

namespace tipdesk::test {

struct Named {
    QString name;
    QString sql;
};

// The queries of every report layout, named "<layout>.<query>"; a composed one once per order
// alternative ("<layout>.<query> <order>") with January 2004 as its period.
inline QList<Named> layoutStatements()
{
    QList<Named> out;
    const QString root = qEnvironmentVariable("TIPDESK_SOURCE_DIR") + QStringLiteral("/src/reports");
    QList<QFileInfo> files;
    for (QDirIterator it(root, {QStringLiteral("*.json")}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        files << it.nextFileInfo();
    std::sort(files.begin(), files.end(),
              [](const QFileInfo &a, const QFileInfo &b) { return a.fileName() < b.fileName(); });
    for (const QFileInfo &file : std::as_const(files)) {
        for (const report::QueryDef &q : report::loadLayoutQueries(file.filePath())) {
            const QString name = file.completeBaseName() + u'.' + q.name;
            const QString period = QStringLiteral("'20040101' And '20040131'");
            if (q.orderBy.empty())
                out.append({name, q.compose(period, QString()).join(u'\n')});
            for (const QString &order : q.orderNames())
                out.append({name + u' ' + order, q.compose(period, order).join(u'\n')});
        }
    }
    return out;
}

// Every statement of the system: the layouts' and the rest, kept in statements.sql.
inline QList<Named> corpus()
{
    QList<Named> rest;
    const QStringList lines = sourceFile(QStringLiteral("tests/db/statements.sql")).split(u'\n');
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("-- @ "))) {
            rest.append({line.mid(5), QString()});
        } else if (!rest.isEmpty()) {
            rest.last().sql += (rest.last().sql.isEmpty() ? QString() : QStringLiteral("\n")) + line;
        }
    }
    return layoutStatements() + rest;
}

// Values a form would bind: day keys as text, the period sums as integers.
inline void bindTypical(db::Query &q)
{
    for (const QString &name : q.paramNames()) {
        const QString n = name.toUpper();
        db::Param &p = q.paramByName(name);
        if (n == QLatin1String("WEEKSTART"))
            p.setAsString(QStringLiteral("20031229"));
        else if (n == QLatin1String("WEEKEND"))
            p.setAsString(QStringLiteral("20040104"));
        else if (n == QLatin1String("CURRMONTH"))
            p.setAsString(QStringLiteral("200312"));
        else if (n.endsWith(QLatin1String("DAY")))
            p.setAsString(QStringLiteral("20040107"));
        else if (n.endsWith(QLatin1String("SUM")) || n == QLatin1String("TOT") || n == QLatin1String("MORN") ||
                 n == QLatin1String("ENEN") || (n.size() == 3 && n.startsWith(u'T')))
            p.setAsInteger(7);
        else
            p.setAsString(QStringLiteral("x"));
    }
}

} // namespace tipdesk::test
