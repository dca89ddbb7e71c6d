#pragma once

#include "platform/db/Backend.h"

#include <QString>

namespace tipdesk::db {

// The central server through a Qt SQL driver (QOCI, or QODBC with a data source name).
// Statements pass unchanged; named parameters are bound by name.
class ServerBackend : public Backend {
public:
    ServerBackend(QString qtDriver, QString databaseName, QString hostName, int port, QString user, QString password);
    ~ServerBackend() override;

    void open() override;
    void close() override;
    bool isOpen() const override;
    ResultSet select(const QString &sql, const ParamValues &params) override;
    int exec(const QString &sql, const ParamValues &params) override;
    QString describe() const override;
    // The central server serialises its own jobs; a job name is not enforced here.
    void begin(const QString &job = {}) override;
    void commit() override;
    void rollback() override;
    bool inTransaction() const override { return m_inTransaction; }

    const QString &qtDriver() const { return m_qtDriver; }
    const QString &databaseName() const { return m_databaseName; }
    const QString &userName() const { return m_user; }

private:
    QString m_connectionName;
    QString m_qtDriver;
    QString m_databaseName;
    QString m_hostName;
    int m_port;
    QString m_user;
    QString m_password;
    bool m_inTransaction = false;
};

} // namespace tipdesk::db
