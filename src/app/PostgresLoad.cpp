#include "app/PostgresLoad.h"

#include "app/SchemaPostgres.h"
#include "app/Tables.h"

#include <QElapsedTimer>
#include <QStringList>

#include <libpq-fe.h>
#include <sqlite3.h>

#include <algorithm>
#include <memory>
#include <string>

namespace tipdesk::app {

namespace {

// Rows are sent in pieces of about this size: large enough that the calls cost nothing, small
// enough that the server starts on them at once.
constexpr std::size_t kCopyChunk = 1 << 20;
constexpr qint64 kProgressRows = 1000000;

using Progress = std::function<void(const QString &)>;

QString seconds(const QElapsedTimer &t)
{
    return QString::number(double(t.elapsed()) / 1000.0, 'f', 1);
}

[[noreturn]] void fail(const QString &message)
{
    throw std::runtime_error(message.toStdString());
}

// The password of a connection string, or an empty string. A string libpq cannot read is refused
// here, without libpq's message when that could quote a piece of a password.
QString passwordOf(const QString &conninfo)
{
    // As libpq decides: neither a setting nor a URI, the string is a database's name.
    if (!conninfo.contains(QLatin1Char('=')) && !conninfo.startsWith(QLatin1String("postgresql://")) &&
        !conninfo.startsWith(QLatin1String("postgres://")))
        return {};
    char *error = nullptr;
    PQconninfoOption *options = PQconninfoParse(conninfo.toUtf8().constData(), &error);
    if (!options) {
        const QString detail = error ? QString::fromUtf8(error).trimmed() : QString();
        PQfreemem(error);
        const bool secret =
            conninfo.contains(QLatin1String("password"), Qt::CaseInsensitive) || conninfo.contains(QLatin1Char('@'));
        fail(secret || detail.isEmpty()
                 ? QStringLiteral("PostgreSQL 연결 문자열을 해석할 수 없습니다.")
                 : QStringLiteral("PostgreSQL 연결 문자열을 해석할 수 없습니다: %1").arg(detail));
    }
    QString password;
    for (const PQconninfoOption *o = options; o->keyword; ++o) {
        if (qstrcmp(o->keyword, "password") == 0 && o->val)
            password = QString::fromUtf8(o->val);
    }
    PQconninfoFree(options);
    return password;
}

void forwardNotice(void *arg, const char *message)
{
    const auto *progress = static_cast<const Progress *>(arg);
    if (*progress)
        (*progress)(QString::fromUtf8(message).trimmed());
}

// One connection to the server; every message leaving it has the password masked.
class Server {
public:
    Server(const QString &conninfo, const Progress &progress) : m_password(passwordOf(conninfo))
    {
        const QByteArray info = conninfo.toUtf8();
        // The connection string's own settings override the timeout; nothing overrides the encoding.
        const char *const keys[] = {"connect_timeout", "fallback_application_name", "dbname", "client_encoding",
                                    nullptr};
        const char *const values[] = {"10", "tipdesk", info.constData(), "UTF8", nullptr};
        m_conn = PQconnectdbParams(keys, values, 1);
        if (PQstatus(m_conn) != CONNECTION_OK) {
            const QString detail =
                m_conn ? masked(QString::fromUtf8(PQerrorMessage(m_conn))) : QStringLiteral("메모리가 부족합니다.");
            PQfinish(m_conn);
            fail(QStringLiteral("PostgreSQL 서버에 연결할 수 없습니다: %1").arg(detail));
        }
        PQsetNoticeProcessor(m_conn, forwardNotice, const_cast<Progress *>(&progress));
    }
    ~Server() { PQfinish(m_conn); }
    Server(const Server &) = delete;
    Server &operator=(const Server &) = delete;

    QString where() const
    {
        return QStringLiteral("%1:%2/%3")
            .arg(QString::fromUtf8(PQhost(m_conn)), QString::fromUtf8(PQport(m_conn)), QString::fromUtf8(PQdb(m_conn)));
    }

    // Runs statements; returns the first column of the last one's rows.
    QStringList exec(const QString &sql, const QString &what)
    {
        PGresult *r = PQexec(m_conn, sql.toUtf8().constData());
        const ExecStatusType status = PQresultStatus(r);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
            const QString detail =
                r ? QString::fromUtf8(PQresultErrorMessage(r)) : QString::fromUtf8(PQerrorMessage(m_conn));
            PQclear(r);
            failOn(what, detail);
        }
        QStringList column;
        for (int i = 0; status == PGRES_TUPLES_OK && i < PQntuples(r); ++i)
            column << QString::fromUtf8(PQgetvalue(r, i, 0));
        PQclear(r);
        return column;
    }

    void startCopy(const QString &sql, const QString &what)
    {
        PGresult *r = PQexec(m_conn, sql.toUtf8().constData());
        if (PQresultStatus(r) != PGRES_COPY_IN) {
            const QString detail =
                r ? QString::fromUtf8(PQresultErrorMessage(r)) : QString::fromUtf8(PQerrorMessage(m_conn));
            PQclear(r);
            failOn(what, detail);
        }
        PQclear(r);
    }

    // A server that rejected a row stops taking data at once; its message is then in the results.
    void putCopy(const std::string &data, const QString &what)
    {
        if (PQputCopyData(m_conn, data.data(), int(data.size())) == 1)
            return;
        const QString error = drainResults();
        failOn(what, error.isEmpty() ? QString::fromUtf8(PQerrorMessage(m_conn)) : error);
    }

    // Ends a COPY (or abandons it with abandonReason) and returns the rows the server took.
    qint64 endCopy(const QString &what, const char *abandonReason = nullptr)
    {
        if (PQputCopyEnd(m_conn, abandonReason) != 1)
            failOn(what, QString::fromUtf8(PQerrorMessage(m_conn)));
        qint64 rows = -1;
        const QString error = drainResults(&rows);
        if (!error.isEmpty() && !abandonReason)
            failOn(what, error);
        return rows;
    }

    [[noreturn]] void failOn(const QString &what, const QString &detail) const
    {
        fail(QStringLiteral("PostgreSQL 서버 오류 (%1): %2").arg(what, masked(detail)));
    }

private:
    QString masked(QString text) const
    {
        if (!m_password.isEmpty())
            text.replace(m_password, QStringLiteral("********"));
        return text.trimmed();
    }

    QString drainResults(qint64 *rows = nullptr)
    {
        QString error;
        while (PGresult *r = PQgetResult(m_conn)) {
            const ExecStatusType status = PQresultStatus(r);
            // Still copying: the connection failed rather than the server refusing; no more results come.
            if (status == PGRES_COPY_IN || status == PGRES_COPY_OUT) {
                PQclear(r);
                break;
            }
            if (status == PGRES_COMMAND_OK) {
                if (rows)
                    *rows = QByteArray(PQcmdTuples(r)).toLongLong();
            } else if (error.isEmpty()) {
                error = QString::fromUtf8(PQresultErrorMessage(r));
            }
            PQclear(r);
        }
        return error;
    }

    QString m_password;
    PGconn *m_conn = nullptr;
};

struct Finalize {
    void operator()(sqlite3_stmt *st) const { sqlite3_finalize(st); }
};
using Statement = std::unique_ptr<sqlite3_stmt, Finalize>;

class EmbeddedFile {
public:
    explicit EmbeddedFile(const QString &path) : m_path(path)
    {
        if (sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            const QString error = message();
            sqlite3_close(m_db);
            m_db = nullptr;
            fail(QStringLiteral("열기"), error);
        }
    }
    ~EmbeddedFile() { sqlite3_close(m_db); }
    EmbeddedFile(const EmbeddedFile &) = delete;
    EmbeddedFile &operator=(const EmbeddedFile &) = delete;

    Statement prepare(const QString &sql, const QString &what)
    {
        sqlite3_stmt *st = nullptr;
        const int rc = sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr);
        Statement statement(st);
        if (rc != SQLITE_OK)
            failOn(what);
        return statement;
    }

    qint64 count(const QString &table)
    {
        const Statement st = prepare(QStringLiteral("SELECT count(*) FROM %1").arg(table), table);
        if (sqlite3_step(st.get()) != SQLITE_ROW)
            failOn(table);
        return sqlite3_column_int64(st.get(), 0);
    }

    // The described columns the file's table has, in the description's order: a file made before a
    // column was added, or a test's fixture holding only the columns it needs, gives those, and
    // the server fills the rest with their defaults.
    QStringList columnsOf(const TableDef &t)
    {
        const Statement st =
            prepare(QStringLiteral("SELECT upper(name) FROM pragma_table_info('%1')").arg(t.name), t.name);
        QStringList present;
        while (sqlite3_step(st.get()) == SQLITE_ROW)
            present.append(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st.get(), 0))));
        QStringList out;
        for (const QString &c : t.columnNames()) {
            if (present.contains(c.toUpper()))
                out.append(c);
        }
        return out;
    }

    QString message() const { return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("메모리 부족"); }
    [[noreturn]] void failOn(const QString &what) const { fail(what, message()); }
    [[noreturn]] void fail(const QString &what, const QString &message) const
    {
        tipdesk::app::fail(QStringLiteral("내장 데이터베이스 %1 (%2): %3").arg(m_path, what, message));
    }

private:
    QString m_path;
    sqlite3 *m_db = nullptr;
};

// COPY's text format: a backslash, tab, newline or carriage return inside a value is written as an
// escape, since the raw byte would end the value or the row.
void appendEscaped(std::string &out, const char *p, int n)
{
    const char *run = p;
    const char *end = p + n;
    for (; p < end; ++p) {
        char escape = 0;
        switch (*p) {
        case '\\':
            escape = '\\';
            break;
        case '\t':
            escape = 't';
            break;
        case '\n':
            escape = 'n';
            break;
        case '\r':
            escape = 'r';
            break;
        default:
            continue;
        }
        out.append(run, std::size_t(p - run));
        out += '\\';
        out += escape;
        run = p + 1;
    }
    out.append(run, std::size_t(end - run));
}

qint64 copyTable(Server &pg, EmbeddedFile &file, const TableDef &t, const Progress &progress)
{
    QElapsedTimer timer;
    timer.start();
    const qint64 expected = file.count(t.name);
    const QStringList names = file.columnsOf(t);
    const QString columns = names.join(QStringLiteral(", "));
    const QString what = QStringLiteral("%1 복사").arg(t.name);
    const Statement statement = file.prepare(QStringLiteral("SELECT %1 FROM %2").arg(columns, t.name), t.name);
    sqlite3_stmt *st = statement.get();
    // FREEZE: the table is new in this transaction, so its rows go in frozen and all-visible, and
    // index-only scans need no vacuum first.
    pg.startCopy(QStringLiteral("COPY %1 (%2) FROM STDIN (FREEZE)").arg(t.name, columns), what);
    const int n = int(names.size());
    std::string buffer;
    buffer.reserve(kCopyChunk + 64 * 1024);
    qint64 rows = 0;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        for (int i = 0; i < n; ++i) {
            if (i)
                buffer += '\t';
            if (sqlite3_column_type(st, i) == SQLITE_NULL) {
                buffer += "\\N";
                continue;
            }
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(st, i));
            appendEscaped(buffer, text, sqlite3_column_bytes(st, i));
        }
        buffer += '\n';
        if (++rows % kProgressRows == 0 && progress)
            progress(QStringLiteral("%1: %2/%3행").arg(t.name).arg(rows).arg(expected));
        if (buffer.size() >= kCopyChunk) {
            pg.putCopy(buffer, what);
            buffer.clear();
        }
    }
    if (rc != SQLITE_DONE) {
        const QString error = file.message();
        pg.endCopy(what, "read error");
        file.fail(t.name, error);
    }
    if (!buffer.empty())
        pg.putCopy(buffer, what);
    const qint64 taken = pg.endCopy(what);
    if (taken != rows)
        pg.failOn(what, QStringLiteral("%1행을 보냈으나 %2행이 들어갔습니다.").arg(rows).arg(taken));
    if (progress) {
        const double s = std::max(double(timer.elapsed()) / 1000.0, 0.001);
        progress(QStringLiteral("%1: %2행, %3초 (초당 %4행)")
                     .arg(t.name)
                     .arg(rows)
                     .arg(s, 0, 'f', 1)
                     .arg(qint64(double(rows) / s)));
    }
    return rows;
}

QStringList tableNames()
{
    QStringList names;
    for (const TableDef &t : tables())
        names << t.name;
    return names;
}

// Tables of ours in the schema new tables go to, in upper case.
QStringList tablesPresent(Server &pg)
{
    QStringList quoted;
    for (const QString &n : tableNames())
        quoted << QLatin1Char('\'') + n.toLower() + QLatin1Char('\'');
    return pg.exec(QStringLiteral("SELECT upper(relname) FROM pg_class WHERE relnamespace = "
                                  "(SELECT oid FROM pg_namespace WHERE nspname = current_schema()) "
                                  "AND relname IN (%1) ORDER BY relname")
                       .arg(quoted.join(QStringLiteral(", "))),
                   QStringLiteral("기존 테이블 확인"));
}

std::string refusal(const Server &pg, const QStringList &present)
{
    return QStringLiteral("데이터베이스 %1에 이미 같은 이름의 테이블이 있어 아무것도 바꾸지 않았습니다 (%2).")
        .arg(pg.where(), present.join(QStringLiteral(", ")))
        .toStdString();
}

} // namespace

void checkPostgresTarget(const QString &conninfo)
{
    const Progress none;
    Server pg(conninfo, none);
    const QStringList present = tablesPresent(pg);
    if (!present.isEmpty())
        throw PostgresTablesExist(refusal(pg, present));
}

PostgresLoadSummary loadIntoPostgres(const QString &embeddedPath, const QString &conninfo, const Progress &progress,
                                     ExistingTables existing)
{
    QElapsedTimer total;
    total.start();
    auto say = [&](const QString &m) {
        if (progress)
            progress(m);
    };
    EmbeddedFile file(embeddedPath);
    Server pg(conninfo, progress);
    say(QStringLiteral("PostgreSQL %1에 연결했습니다.").arg(pg.where()));

    pg.exec(QStringLiteral("SET client_min_messages = warning; SET DateStyle = 'ISO, YMD'; "
                           "SET maintenance_work_mem = '512MB'; BEGIN"),
            QStringLiteral("세션 설정"));
    const QStringList present = tablesPresent(pg);
    if (!present.isEmpty()) {
        if (existing == ExistingTables::Refuse)
            throw PostgresTablesExist(refusal(pg, present));
        say(QStringLiteral("기존 테이블 %1개를 지우고 새로 만듭니다.").arg(present.size()));
        pg.exec(QStringLiteral("DROP TABLE %1").arg(present.join(QStringLiteral(", "))),
                QStringLiteral("기존 테이블 지우기"));
    }
    pg.exec(postgresTablesScript(), QStringLiteral("테이블 만들기"));

    PostgresLoadSummary summary;
    for (const TableDef &t : tables())
        summary.rows += copyTable(pg, file, t, progress);

    for (const QString &statement : postgresIndexesScript().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        QElapsedTimer timer;
        timer.start();
        const QString name = statement.section(QStringLiteral("INDEX "), 1).section(QLatin1Char(' '), 0, 0);
        pg.exec(statement, QStringLiteral("인덱스 %1 만들기").arg(name));
        say(QStringLiteral("인덱스 %1: %2초").arg(name, seconds(timer)));
    }
    QElapsedTimer timer;
    timer.start();
    pg.exec(QStringLiteral("ANALYZE %1").arg(tableNames().join(QStringLiteral(", "))), QStringLiteral("통계 수집"));
    pg.exec(QStringLiteral("COMMIT"), QStringLiteral("커밋"));
    say(QStringLiteral("통계 수집과 커밋: %1초").arg(seconds(timer)));
    summary.seconds = double(total.elapsed()) / 1000.0;
    say(QStringLiteral("%1행을 %2초에 적재했습니다 (초당 %3행).")
            .arg(summary.rows)
            .arg(summary.seconds, 0, 'f', 1)
            .arg(qint64(double(summary.rows) / std::max(summary.seconds, 0.001))));
    return summary;
}

} // namespace tipdesk::app
