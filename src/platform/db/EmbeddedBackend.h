#pragma once

#include "platform/db/Backend.h"
#include "platform/db/Translator.h"

#include <QHash>
#include <QString>

struct sqlite3;

namespace tipdesk::db {

// The embedded database: a SQLite file that speaks the Oracle dialect through the translator.
// Dates are stored as ISO-8601 text "YYYY-MM-DD HH:MM:SS".
// Failures of the file itself (missing, not a database, damaged, locked by another desk) are
// reported in Korean with the file's path, the engine's own text kept after them.
class EmbeddedBackend : public Backend {
public:
    // How long a statement waits for another desk's write to finish before it gives up.
    static constexpr int kBusyTimeoutMs = 5000;

    explicit EmbeddedBackend(QString path);
    ~EmbeddedBackend() override;

    void open() override;
    void close() override;
    bool isOpen() const override { return m_db != nullptr; }
    ResultSet select(const QString &sql, const ParamValues &params) override;
    int exec(const QString &sql, const ParamValues &params) override;
    QString describe() const override { return m_path; }
    // The write lock is taken at once, so that a second writer (another run of the job) waits for
    // it, then is refused after kBusyTimeoutMs; readers go on reading the committed state.
    void begin(const QString &job = {}) override;
    void commit() override;
    void rollback() override;
    bool inTransaction() const override;
    void setLenientDates(bool lenient) override;

    const QString &path() const { return m_path; }
    sqlite3 *handle() const { return m_db; }

    // Runs SQLite statements as they stand (schema scripts, fixtures), creating the file if needed.
    static void runScript(const QString &path, const QString &sqliteScript);
    void runScript(const QString &sqliteScript);

private:
    const Translation &translation(const QString &sql);
    void readColumnTypes();

    QString m_path;
    sqlite3 *m_db = nullptr;
    static constexpr qsizetype kMaxCachedTranslations = 512;
    QHash<QString, Translation> m_cache;
    QHash<QString, sql::Type> m_columnTypes;
    bool m_lenientDates = false;
};

} // namespace tipdesk::db
