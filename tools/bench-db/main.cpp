// bench-db: times every statement of the system on an embedded database (for example one made by
// tipdesk-demo-db --days 3650 --per-day 2000) and prints, per statement, its name, the time of a
// run with all rows fetched, whether its plan uses an index, and the time its translation takes.
// The statements are the report layouts' queries and those of statements.sql. With --pg, each also
// runs on a PostgreSQL server holding the same data (tipdesk-demo-db --pg … --from FILE), printed
// beside the embedded time with the row counts of both and whether the server keeps within twice
// the embedded time or 50 ms, whichever is larger.
//   bench-db --database FILE [--pg CONNINFO] [--statements FILE] [--layouts DIR]

#include "ToolStart.h"
#include "platform/db/BackendSelector.h"
#include "platform/db/DbError.h"
#include "platform/db/EmbeddedBackend.h"
#include "platform/db/Query.h"
#include "platform/db/Translator.h"
#include "platform/report/Layout.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <sqlite3.h>

using namespace tipdesk::db;

namespace {

struct Named {
    QString name;
    QString sql;
};

QList<Named> readStatements(const QString &path)
{
    QFile f(path);
    QList<Named> out;
    if (!f.open(QIODevice::ReadOnly))
        return out;
    for (const QString &line : QString::fromUtf8(f.readAll()).split(u'\n')) {
        if (line.startsWith(QLatin1String("-- @ ")))
            out.append({line.mid(5), QString()});
        else if (!out.isEmpty())
            out.last().sql += (out.last().sql.isEmpty() ? QString() : QStringLiteral("\n")) + line;
    }
    return out;
}

// The queries of the layouts under a folder; composed ones with January 2004 and their first order.
QList<Named> readLayouts(const QString &dir)
{
    QList<Named> out;
    QList<QFileInfo> files;
    for (QDirIterator it(dir, {QStringLiteral("*.json")}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        files << it.nextFileInfo();
    std::sort(files.begin(), files.end(),
              [](const QFileInfo &a, const QFileInfo &b) { return a.fileName() < b.fileName(); });
    for (const QFileInfo &file : std::as_const(files))
        for (const tipdesk::report::QueryDef &q : tipdesk::report::loadLayoutQueries(file.filePath()))
            out.append({file.completeBaseName() + u'.' + q.name,
                        q.compose(QStringLiteral("'20040101' And '20040131'"), q.orderNames().value(0)).join(u'\n')});
    return out;
}

bool planUsesIndex(sqlite3 *db, const QString &sql)
{
    sqlite3_stmt *st = nullptr;
    const QByteArray text = (QStringLiteral("EXPLAIN QUERY PLAN ") + sql).toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &st, nullptr) != SQLITE_OK)
        return false;
    bool index = false;
    while (sqlite3_step(st) == SQLITE_ROW) {
        const QString detail = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 3)));
        index = index || detail.contains(QLatin1String("USING INDEX")) ||
                detail.contains(QLatin1String("USING COVERING INDEX")) || detail.contains(QLatin1String("PRIMARY KEY"));
    }
    sqlite3_finalize(st);
    return index;
}

QString scalar(EmbeddedBackend &b, const QString &sql)
{
    const ResultSet rs = b.select(sql, {});
    return rs.rows.empty() ? QString() : Field::displayText(rs.rows.front().value(0));
}

} // namespace

int main(int argc, char **argv)
{
    tipdesk::tools::prepareEnvironment(tipdesk::tools::Platform::None);
    QCoreApplication app(argc, argv);
    QString database, conninfo, statementsFile = QStringLiteral(TIPDESK_STATEMENTS_FILE);
    QString layouts = QStringLiteral(TIPDESK_LAYOUTS_DIR);
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--database"))
            database = args[i + 1];
        else if (args[i] == QLatin1String("--pg"))
            conninfo = args[i + 1];
        else if (args[i] == QLatin1String("--statements"))
            statementsFile = args[i + 1];
        else if (args[i] == QLatin1String("--layouts"))
            layouts = args[i + 1];
    }
    if (database.isEmpty()) {
        std::fprintf(stderr, "usage: bench-db --database FILE [--pg CONNINFO] [--statements FILE] [--layouts DIR]\n");
        return 2;
    }
    if (!QFile::exists(database)) {
        std::fprintf(stderr, "bench-db: %s: 데이터베이스 파일이 없습니다\n", qPrintable(database));
        return 1;
    }
    QList<Named> statements;
    try {
        statements = readLayouts(layouts) + readStatements(statementsFile);
    } catch (const tipdesk::report::ReportError &e) {
        std::fprintf(stderr, "bench-db: %s\n", qPrintable(e.text()));
        return 2;
    }
    if (statements.isEmpty()) {
        std::fprintf(stderr, "bench-db: %s: 문장이 없습니다\n", qPrintable(statementsFile));
        return 2;
    }
    try {
        EmbeddedBackend b(database);
        b.open();
        // The last day with reports stands for "today"; the periods are derived from it.
        const QString lastDay = scalar(b, QStringLiteral("select max(stat_day) from stat_hub"));
        const QDate day = QDate::fromString(lastDay, QStringLiteral("yyyyMMdd"));
        if (!day.isValid())
            throw DbError(QStringLiteral("no statistics in the database"));
        const QDate weekStart = day.addDays(-(day.dayOfWeek() - 1) - 7);
        const QString monthKey = day.addMonths(-1).toString(QStringLiteral("yyyyMM"));
        const QString reportCount = scalar(b, QStringLiteral("select count(*) from report_requisition"));
        std::printf("database %s: %s reports, last day %s\n", qPrintable(database), qPrintable(reportCount),
                    qPrintable(lastDay));
        std::unique_ptr<Backend> server;
        if (!conninfo.isEmpty()) {
            server = postgresBackend(conninfo);
            server->open();
            std::printf("server %s\n", qPrintable(server->describe()));
        }
        if (server)
            std::printf("%-40s %10s %6s %12s %10s %8s %8s %s\n", "statement", "ms", "index", "translate ms",
                        "server ms", "rows", "server", "within");
        else
            std::printf("%-40s %10s %6s %12s\n", "statement", "ms", "index", "translate ms");
        int outside = 0, differing = 0;
        for (const Named &n : statements) {
            QString sql = n.sql;
            // Sample values of composed statements move to the database's last day.
            sql.replace(QStringLiteral("2004-01-07"), day.toString(QStringLiteral("yyyy-MM-dd")));
            sql.replace(QStringLiteral("'20040101' And '20040131'"),
                        QStringLiteral("'%1' And '%2'").arg(day.toString(QStringLiteral("yyyyMM01")), lastDay));
            sql.replace(QStringLiteral("20040107"), lastDay);
            if (sql.trimmed().startsWith(QLatin1String("INSERT"), Qt::CaseInsensitive))
                continue;
            ParamValues params;
            const Translation t = translateOracle(sql);
            for (const QString &p : t.paramNames) {
                if (p == QLatin1String("WEEKSTART"))
                    params.insert(p, weekStart.toString(QStringLiteral("yyyyMMdd")));
                else if (p == QLatin1String("WEEKEND"))
                    params.insert(p, weekStart.addDays(6).toString(QStringLiteral("yyyyMMdd")));
                else if (p == QLatin1String("CURRMONTH"))
                    params.insert(p, monthKey);
                else if (p.endsWith(QLatin1String("DAY")))
                    params.insert(p, lastDay);
                else
                    params.insert(p, qint64(1000));
            }
            QElapsedTimer tt;
            tt.start();
            const int rounds = 200;
            for (int i = 0; i < rounds; ++i)
                translateOracle(sql);
            const double translateMs = tt.nsecsElapsed() / 1e6 / rounds;
            const auto bestOf3 = [&](Backend &backend, size_t *rows) {
                double best = 1e12;
                for (int i = 0; i < 3; ++i) {
                    QElapsedTimer timer;
                    timer.start();
                    *rows = backend.select(sql, params).rows.size();
                    best = std::min(best, timer.nsecsElapsed() / 1e6);
                }
                return best;
            };
            size_t rows = 0, serverRows = 0;
            const double best = bestOf3(b, &rows);
            const char *index = planUsesIndex(b.handle(), t.sql) ? "yes" : "no";
            if (!server) {
                std::printf("%-40s %10.1f %6s %12.3f\n", qPrintable(n.name), best, index, translateMs);
                continue;
            }
            const double serverBest = bestOf3(*server, &serverRows);
            const bool within = serverBest <= std::max(2 * best, 50.0);
            outside += within ? 0 : 1;
            differing += rows == serverRows ? 0 : 1;
            std::printf("%-40s %10.1f %6s %12.3f %10.1f %8zu %8zu %s\n", qPrintable(n.name), best, index, translateMs,
                        serverBest, rows, serverRows, within ? "yes" : "NO");
        }
        if (server)
            std::printf("%d statement(s) outside the server's target, %d with another row count\n", outside, differing);
    } catch (const DbError &e) {
        std::fprintf(stderr, "bench-db: %s\n", qPrintable(e.text()));
        return 1;
    }
    return 0;
}
