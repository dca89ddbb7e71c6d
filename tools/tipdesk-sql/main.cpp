// tipdesk-sql: runs one Oracle-dialect statement on an embedded database file or a PostgreSQL server.
//   tipdesk-sql [--database FILE | --pg CONNINFO] [--param NAME=VALUE]... [--translate [--for-pg]] STATEMENT
// Without either, the desk's own embedded database, found as the program finds it.
// Prints a header line of column names and one line per row, fields separated by "|".
// Exit codes: 0 success, 1 database or translation error, 2 usage error.

#include "ToolStart.h"
#include "platform/db/BackendSelector.h"
#include "platform/db/DbError.h"
#include "platform/db/EmbeddedBackend.h"
#include "platform/db/PostgresBackend.h"
#include "platform/db/Query.h"
#include "platform/db/Translator.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>

using namespace tipdesk::db;

namespace {

const char kSynopsis[] =
    "tipdesk-sql [--database FILE | --pg CONNINFO] [--param NAME=VALUE]... [--translate [--for-pg]] STATEMENT\n";

int usage(const QString &problem)
{
    QTextStream err(stderr);
    if (!problem.isEmpty())
        err << "tipdesk-sql: " << problem << '\n';
    err << "usage: " << kSynopsis
        << "  CONNINFO: \"host=… port=… dbname=… user=…\"; the password from PGPASSWORD or ~/.pgpass\n";
    return 2;
}

void help()
{
    QTextStream out(stdout);
    out << "Usage: " << kSynopsis
        << "Runs one Oracle-dialect statement on an embedded database file or a PostgreSQL server and prints a\n"
           "header line of column names and one line per row, fields separated by \"|\". A statement that is\n"
           "not a query prints the number of rows it changed.\n"
           "\n"
           "Options:\n"
           "  --database FILE     embedded database file (default: the desk's own, as the program finds it)\n"
           "  --pg CONNINFO       PostgreSQL server, as \"host=… port=… dbname=… user=…\" (password from\n"
           "                      PGPASSWORD or ~/.pgpass)\n"
           "  --param NAME=VALUE  value of the statement's parameter :NAME (repeatable)\n"
           "  --translate         print the SQLite text the translator makes of the statement instead of\n"
           "                      running it; with --pg, the server's own text with the values written in\n"
           "  --for-pg            with --translate and without --pg: the PostgreSQL text\n"
           "  -h, --help          display this help and exit\n"
           "  --version           display the version and exit\n";
}

} // namespace

int main(int argc, char **argv)
{
    tipdesk::tools::prepareEnvironment(tipdesk::tools::Platform::None);
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    QString database, conninfo, statement;
    ParamValues params;
    bool translateOnly = false, forPostgres = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            help();
            return 0;
        }
        if (a == QLatin1String("--version")) {
            QTextStream(stdout) << "tipdesk-sql " << TIPDESK_VERSION << '\n';
            return 0;
        }
        if (a == QLatin1String("--database") && i + 1 < args.size()) {
            database = args[++i];
        } else if (a == QLatin1String("--pg") && i + 1 < args.size()) {
            conninfo = args[++i];
        } else if (a == QLatin1String("--for-pg")) {
            forPostgres = true;
        } else if (a == QLatin1String("--param") && i + 1 < args.size()) {
            const QString p = args[++i];
            const qsizetype eq = p.indexOf(u'=');
            if (eq <= 0)
                return usage(QStringLiteral("--param 에는 이름=값 을 주십시오"));
            params.insert(p.left(eq).toUpper(), p.mid(eq + 1));
        } else if (a == QLatin1String("--translate")) {
            translateOnly = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            return usage(QStringLiteral("알 수 없는 옵션입니다: %1").arg(a));
        } else if (statement.isEmpty()) {
            statement = a;
        } else {
            return usage(QStringLiteral("문장은 하나만 줄 수 있습니다"));
        }
    }
    if (statement.trimmed().isEmpty())
        return usage(QStringLiteral("실행할 문장을 주십시오"));
    if (!database.isEmpty() && !conninfo.isEmpty())
        return usage(QStringLiteral("--database 와 --pg 중 하나만 주십시오"));

    QTextStream out(stdout);
    QTextStream err(stderr);
    try {
        if (translateOnly && !conninfo.isEmpty()) {
            // The server's own text, typed by its schema and with the values written in.
            PostgresBackend backend(postgresSettings(conninfo));
            backend.open();
            out << backend.serverText(statement, params) << '\n';
            return 0;
        }
        if (translateOnly) {
            out << translateOracle(statement, forPostgres ? Dialect::Postgres : Dialect::Sqlite).sql << '\n';
            return 0;
        }
        std::unique_ptr<Backend> backend;
        if (!conninfo.isEmpty()) {
            backend = postgresBackend(conninfo);
        } else {
            if (database.isEmpty()) {
                // The desk's own database, where the program would find it.
                const std::optional<EmbeddedTarget> target = embeddedTarget(QStringLiteral("commonDB"));
                if (!target) {
                    err << "tipdesk-sql: 이 데스크의 설정은 서버 데이터베이스를 씁니다: --database FILE 또는 --pg "
                           "CONNINFO 를 주십시오\n";
                    return 2;
                }
                database = target->path;
            }
            if (!QFileInfo::exists(database)) {
                err << database << ": 데이터베이스 파일이 없습니다\n";
                return 1;
            }
            backend = std::make_unique<EmbeddedBackend>(database);
        }
        backend->open();
        const Translation t = translateOracle(statement);
        if (!t.isQuery) {
            out << backend->exec(statement, params) << " row(s)\n";
            return 0;
        }
        const ResultSet rs = backend->select(statement, params);
        out << rs.columns.join(u'|') << '\n';
        for (const QVariantList &row : rs.rows) {
            QStringList fields;
            for (const QVariant &v : row)
                fields.append(Field::displayText(v));
            out << fields.join(u'|') << '\n';
        }
    } catch (const DbError &e) {
        out.flush();
        err << e.text() << '\n';
        return 1;
    }
    return 0;
}
