#include "platform/db/EmbeddedBackend.h"

#include "platform/db/DbError.h"
#include "platform/db/OracleFunctions.h"
#include "platform/db/SqlAst.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>
#include <sqlite3.h>

namespace tipdesk::db {

namespace {

constexpr char kMemoryPath[] = ":memory:";

// The engine's failure in the desk's words, naming the file; other failures (a statement's own
// faults) keep the engine's text alone. A file that is there but cannot be a database is marked
// so, for the program to stop offering it.
DbError failure(const QString &path, int code, const QString &engineText)
{
    const char *what = nullptr;
    bool unusable = false;
    switch (code & 0xff) {
    case SQLITE_NOTADB:
        what = "데이터베이스 파일이 아닙니다";
        unusable = true;
        break;
    case SQLITE_CORRUPT:
        what = "데이터베이스 파일이 손상되었습니다";
        unusable = true;
        break;
    case SQLITE_BUSY:
        what = "다른 곳에서 쓰고 있어 데이터베이스 파일이 잠겨 있습니다";
        break;
    case SQLITE_CANTOPEN: {
        const QFileInfo file(path);
        what = !file.exists()       ? "데이터베이스 파일이 없습니다"
               : !file.isReadable() ? "데이터베이스 파일을 읽을 권한이 없습니다"
                                    : "데이터베이스 파일을 열 수 없습니다";
        unusable = file.exists();
        break;
    }
    case SQLITE_READONLY:
        what = "데이터베이스 파일에 쓸 수 없습니다";
        break;
    case SQLITE_IOERR:
        what = "데이터베이스 파일을 읽거나 쓰지 못했습니다";
        break;
    case SQLITE_FULL:
        what = "디스크가 가득 차 데이터베이스 파일에 쓰지 못했습니다";
        break;
    default:
        return DbError(engineText);
    }
    return DbError(
        QStringLiteral("%1: %2 (%3)").arg(QDir::toNativeSeparators(path), QString::fromUtf8(what), engineText),
        unusable ? DbError::Kind::UnusableFile : DbError::Kind::Other);
}

DbError failure(sqlite3 *db, const QString &path)
{
    return failure(path, sqlite3_extended_errcode(db), QString::fromUtf8(sqlite3_errmsg(db)));
}

[[noreturn]] void failWith(sqlite3 *db, const QString &path)
{
    throw failure(db, path);
}

using Handle = std::unique_ptr<sqlite3, int (*)(sqlite3 *)>;

Handle openConnection(const QString &path, int flags)
{
    sqlite3 *raw = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &raw, flags, nullptr);
    Handle db(raw, sqlite3_close);
    if (!db)
        throw DbError(QStringLiteral("%1: out of memory").arg(path));
    if (rc != SQLITE_OK)
        failWith(db.get(), path);
    sqlite3_busy_timeout(db.get(), EmbeddedBackend::kBusyTimeoutMs);
    return db;
}

// Reads the schema, which also reads the header and the first pages; SQLITE_OK or the failure.
int readSchema(sqlite3 *db)
{
    return sqlite3_exec(db, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr);
}

// A file that does not begin like a database is never handed to a writing connection: one that
// finds a journal beside it would "roll it back" into the file.
void checkHeader(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("%1: 데이터베이스 파일을 열 수 없습니다 (%2)")
                          .arg(QDir::toNativeSeparators(path), f.errorString()),
                      DbError::Kind::UnusableFile);
    static constexpr char kMagic[] = "SQLite format 3"; // and its terminating zero
    const QByteArray header = f.read(100);
    if (header.isEmpty())
        return; // the engine's empty database: nothing written yet
    if (!header.startsWith(QByteArray(kMagic, sizeof kMagic)))
        throw failure(path, SQLITE_NOTADB, QString::fromUtf8(sqlite3_errstr(SQLITE_NOTADB)));
    if (header.size() < 100)
        throw failure(path, SQLITE_CORRUPT, QString::fromUtf8(sqlite3_errstr(SQLITE_CORRUPT)));
}

// Checks an existing file through a connection that cannot change it, before any that can.
void checkFile(const QString &path)
{
    // The engine would only say "disk I/O error" of a folder.
    if (QFileInfo(path).isDir())
        throw DbError(QStringLiteral("%1: 데이터베이스 파일이 아니라 폴더입니다").arg(QDir::toNativeSeparators(path)),
                      DbError::Kind::UnusableFile);
    const Handle ro = openConnection(path, SQLITE_OPEN_READONLY);
    checkHeader(path);
    const int rc = readSchema(ro.get());
    // A journal left by a desk that stopped mid-write needs a writing connection to roll it back.
    if (rc != SQLITE_OK && (rc & 0xff) != SQLITE_READONLY)
        failWith(ro.get(), path);
}

} // namespace

EmbeddedBackend::EmbeddedBackend(QString path) : m_path(std::move(path))
{
}

EmbeddedBackend::~EmbeddedBackend()
{
    close();
}

void EmbeddedBackend::open()
{
    if (m_db)
        return;
    const bool inMemory = m_path == QLatin1String(kMemoryPath);
    if (!inMemory)
        checkFile(m_path);
    // Without SQLITE_OPEN_CREATE: a mistyped path is an error, not a new empty database.
    Handle db = openConnection(m_path, SQLITE_OPEN_READWRITE);
    if (!inMemory && readSchema(db.get()) != SQLITE_OK)
        failWith(db.get(), m_path);
    oracle::registerFunctions(db.get());
    if (m_lenientDates)
        oracle::setLenientDates(db.get(), true);
    // Oracle's LIKE tells capitals from small letters.
    sqlite3_exec(db.get(), "PRAGMA case_sensitive_like = ON", nullptr, nullptr, nullptr);
    m_db = db.release();
    readColumnTypes();
}

// The declared types of the file's columns: where a text column meets a number (NVL(flag, 0)),
// the translation converts as Oracle does. Dates are text in the file and keep the name rule.
void EmbeddedBackend::readColumnTypes()
{
    ColumnTypeCollector collector;
    sqlite3_stmt *st = nullptr;
    const char *text = "SELECT upper(p.name), upper(p.type) FROM sqlite_schema m, pragma_table_info(m.name) p "
                       "WHERE m.type = 'table'";
    if (sqlite3_prepare_v2(m_db, text, -1, &st, nullptr) == SQLITE_OK) {
        while (sqlite3_step(st) == SQLITE_ROW) {
            const QString name = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
            const QString declared = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 1)));
            if (sql::isDateColumn(name))
                continue;
            collector.add(name, declared.contains(QLatin1String("INT")) ? sql::Type::Number
                                : declared.contains(QLatin1String("CHAR")) || declared.contains(QLatin1String("TEXT"))
                                    ? sql::Type::Text
                                    : sql::Type::Unknown);
        }
    }
    sqlite3_finalize(st);
    const QHash<QString, sql::Type> types = collector.result();
    if (types != m_columnTypes) {
        m_columnTypes = types;
        m_cache.clear();
    }
}

void EmbeddedBackend::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

const Translation &EmbeddedBackend::translation(const QString &sql)
{
    auto it = m_cache.find(sql);
    if (it == m_cache.end()) {
        // Statements composed at run time (the browser's time window) each have a text of their
        // own; start afresh now and then so that a long session does not grow without bound.
        if (m_cache.size() >= kMaxCachedTranslations)
            m_cache.clear();
        it = m_cache.insert(sql, translateOracle(sql, Dialect::Sqlite, &m_columnTypes));
    }
    return it.value();
}

namespace {

struct Statement {
    sqlite3_stmt *stmt = nullptr;
    ~Statement() { sqlite3_finalize(stmt); }
};

void bind(sqlite3 *db, sqlite3_stmt *stmt, const Translation &t, const ParamValues &params)
{
    for (int i = 0; i < t.paramNames.size(); ++i) {
        const QVariant v = params.value(t.paramNames[i]);
        int rc = SQLITE_OK;
        if (v.isNull() || !v.isValid()) {
            rc = sqlite3_bind_null(stmt, i + 1);
        } else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::UInt) {
            rc = sqlite3_bind_int64(stmt, i + 1, v.toLongLong());
        } else if (v.typeId() == QMetaType::Double) {
            rc = sqlite3_bind_double(stmt, i + 1, v.toDouble());
        } else {
            const QByteArray s = v.toString().toUtf8();
            rc = sqlite3_bind_text(stmt, i + 1, s.constData(), int(s.size()), SQLITE_TRANSIENT);
        }
        if (rc != SQLITE_OK)
            throw DbError(QString::fromUtf8(sqlite3_errmsg(db)));
    }
}

// Compiles the translated statement and binds the values of its parameters.
void prepare(sqlite3 *db, const QString &path, Statement &s, const Translation &t, const ParamValues &params)
{
    const QByteArray text = t.sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &s.stmt, nullptr) != SQLITE_OK)
        failWith(db, path);
    bind(db, s.stmt, t, params);
}

} // namespace

ResultSet EmbeddedBackend::select(const QString &sql, const ParamValues &params)
{
    if (!m_db)
        throw DbError(QStringLiteral("Database is not open"));
    const Translation &t = translation(sql);
    Statement s;
    prepare(m_db, m_path, s, t, params);
    ResultSet rs;
    const int n = sqlite3_column_count(s.stmt);
    for (int i = 0; i < n; ++i)
        rs.columns.append(resultColumnName(t, QString::fromUtf8(sqlite3_column_name(s.stmt, i))));
    for (;;) {
        const int rc = sqlite3_step(s.stmt);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW)
            failWith(m_db, m_path);
        QVariantList row;
        row.reserve(n);
        for (int i = 0; i < n; ++i) {
            switch (sqlite3_column_type(s.stmt, i)) {
            case SQLITE_INTEGER:
                row.append(QVariant(qint64(sqlite3_column_int64(s.stmt, i))));
                break;
            case SQLITE_FLOAT:
                row.append(QVariant(sqlite3_column_double(s.stmt, i)));
                break;
            case SQLITE_NULL:
                row.append(QVariant());
                break;
            default:
                row.append(QVariant(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s.stmt, i)),
                                                      sqlite3_column_bytes(s.stmt, i))));
            }
        }
        rs.rows.push_back(std::move(row));
    }
    return rs;
}

int EmbeddedBackend::exec(const QString &sql, const ParamValues &params)
{
    if (!m_db)
        throw DbError(QStringLiteral("Database is not open"));
    const Translation &t = translation(sql);
    Statement s;
    prepare(m_db, m_path, s, t, params);
    int rc;
    while ((rc = sqlite3_step(s.stmt)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        failWith(m_db, m_path);
    return sqlite3_changes(m_db);
}

void EmbeddedBackend::begin(const QString &job)
{
    if (!m_db)
        throw DbError(QStringLiteral("Database is not open"));
    // A job passes over many rows: its pages and its sorts stay in memory rather than spill.
    if (!job.isEmpty())
        sqlite3_exec(m_db, "PRAGMA cache_size = -65536", nullptr, nullptr, nullptr);
    const int rc = sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        return;
    if ((rc & 0xff) == SQLITE_BUSY && !job.isEmpty())
        throw DbError(jobRunningText(QDir::toNativeSeparators(m_path), job), DbError::Kind::JobRunning);
    failWith(m_db, m_path);
}

void EmbeddedBackend::commit()
{
    if (!m_db)
        throw DbError(QStringLiteral("Database is not open"));
    if (sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        failWith(m_db, m_path);
}

void EmbeddedBackend::rollback()
{
    if (m_db && inTransaction())
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void EmbeddedBackend::setLenientDates(bool lenient)
{
    m_lenientDates = lenient;
    if (m_db)
        oracle::setLenientDates(m_db, lenient);
}

bool EmbeddedBackend::inTransaction() const
{
    return m_db && !sqlite3_get_autocommit(m_db);
}

void EmbeddedBackend::runScript(const QString &sqliteScript)
{
    if (!m_db)
        throw DbError(QStringLiteral("Database is not open"));
    if (sqlite3_exec(m_db, sqliteScript.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        failWith(m_db, m_path);
    readColumnTypes();
}

void EmbeddedBackend::runScript(const QString &path, const QString &sqliteScript)
{
    const QFileInfo existing(path);
    if (existing.exists() && existing.size() > 0)
        checkHeader(path);
    const Handle db = openConnection(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (sqlite3_exec(db.get(), sqliteScript.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        failWith(db.get(), path);
}

} // namespace tipdesk::db
