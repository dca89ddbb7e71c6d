#include "platform/db/EmbeddedBackend.h"

#include "platform/db/DbError.h"
#include "platform/db/OracleFunctions.h"

#include <sqlite3.h>

namespace tipdesk::db {

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
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(m_path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        const QString text = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        sqlite3_close(db);
        throw DbError(QStringLiteral("%1: %2").arg(m_path, text));
    }
    try {
        oracle::registerFunctions(db);
    } catch (const DbError &) {
        sqlite3_close(db);
        throw;
    }
    // Oracle's LIKE tells capitals from small letters.
    sqlite3_exec(db, "PRAGMA case_sensitive_like = ON", nullptr, nullptr, nullptr);
    m_db = db;
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
        it = m_cache.insert(sql, translateOracle(sql));
    }
    return it.value();
}

namespace {

struct Statement {
    sqlite3_stmt *stmt = nullptr;
    ~Statement() { sqlite3_finalize(stmt); }
};

[[noreturn]] void fail(sqlite3 *db)
{
    throw DbError(QString::fromUtf8(sqlite3_errmsg(db)));
}

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
            fail(db);
    }
}

// Compiles the translated statement and binds the values of its parameters.
void prepare(sqlite3 *db, Statement &s, const Translation &t, const ParamValues &params)
{
    const QByteArray text = t.sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &s.stmt, nullptr) != SQLITE_OK)
        fail(db);
    bind(db, s.stmt, t, params);
}

} // namespace

ResultSet EmbeddedBackend::select(const QString &sql, const ParamValues &params)
{
    if (!m_db)
        throw DbError(QStringLiteral("Database is not open"));
    const Translation &t = translation(sql);
    Statement s;
    prepare(m_db, s, t, params);
    ResultSet rs;
    const int n = sqlite3_column_count(s.stmt);
    for (int i = 0; i < n; ++i)
        rs.columns.append(resultColumnName(t, QString::fromUtf8(sqlite3_column_name(s.stmt, i))));
    for (;;) {
        const int rc = sqlite3_step(s.stmt);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW)
            fail(m_db);
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
    prepare(m_db, s, t, params);
    int rc;
    while ((rc = sqlite3_step(s.stmt)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        fail(m_db);
    return sqlite3_changes(m_db);
}

void EmbeddedBackend::runScript(const QString &sqliteScript)
{
    if (!m_db)
        throw DbError(QStringLiteral("Database is not open"));
    char *err = nullptr;
    if (sqlite3_exec(m_db, sqliteScript.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString text = QString::fromUtf8(err ? err : "error");
        sqlite3_free(err);
        throw DbError(text);
    }
}

void EmbeddedBackend::runScript(const QString &path, const QString &sqliteScript)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        const QString text = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        sqlite3_close(db);
        throw DbError(text);
    }
    char *err = nullptr;
    const int rc = sqlite3_exec(db, sqliteScript.toUtf8().constData(), nullptr, nullptr, &err);
    const QString text = QString::fromUtf8(err ? err : "");
    sqlite3_free(err);
    sqlite3_close(db);
    if (rc != SQLITE_OK)
        throw DbError(text);
}

} // namespace tipdesk::db
