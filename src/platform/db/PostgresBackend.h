#pragma once

#include "platform/db/Backend.h"
#include "platform/db/Translator.h"

#include <QHash>
#include <QString>

namespace tipdesk::db {

namespace sql {
enum class Type;
}

// A site's shared PostgreSQL server through Qt's QPSQL driver. Statements are translated from the
// Oracle dialect as for the embedded file, against the server's own column types, and give the
// embedded backend's results: whole numbers as integers, other numbers as doubles, dates as
// "YYYY-MM-DD HH:MM:SS" text. The functions the translations call live in the schema
// tipdesk_ora, installed when missing or older than this program's.
class PostgresBackend : public Backend {
public:
    struct Settings {
        QString databaseName;
        QString hostName;
        int port = -1;
        QString userName;
        QString password;
    };
    explicit PostgresBackend(Settings settings);
    ~PostgresBackend() override;

    void open() override;
    void close() override;
    bool isOpen() const override;
    ResultSet select(const QString &sql, const ParamValues &params) override;
    int exec(const QString &sql, const ParamValues &params) override;
    QString describe() const override;
    // A job is held by a transaction-level advisory lock: a second run is refused at once, and the
    // lock ends with the transaction, however it ends (a lost connection too).
    void begin(const QString &job = {}) override;
    void commit() override;
    void rollback() override;
    bool inTransaction() const override { return m_inTransaction; }

    // The server's text of a statement with its values written in; for diagnostics and tests.
    QString serverText(const QString &sql, const ParamValues &params);

private:
    const Translation &translation(const QString &sql);
    void connect();
    bool connectionAlive();
    void setClock(const Translation &t);
    template <typename Run> auto withReconnect(const Translation &t, Run run) -> decltype(run());

    QString m_connectionName;
    Settings m_settings;
    QHash<QString, sql::Type> m_columnTypes;
    QHash<QString, QStringList> m_tableColumns; // for the translator, by table
    QHash<QString, Translation> m_cache;
    QString m_clockSetting;
    bool m_inTransaction = false;
    static constexpr qsizetype kMaxCachedTranslations = 512;
};

// A value written into statement text as a literal the server types by its context, as Oracle
// converts a bound value: 'text' (quotes doubled), numbers in Oracle's text, dates as ISO text,
// NULL. Throws DbError for text holding a NUL character, which the server cannot store.
QString postgresLiteral(const QVariant &value);

} // namespace tipdesk::db
