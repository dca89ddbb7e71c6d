#pragma once

#include "platform/db/Backend.h"

#include <QObject>
#include <QStringList>
#include <memory>

namespace tipdesk::db {

// A named database connection. Queries reach it through its alias, found without regard to case.
class Connection : public QObject {
    Q_OBJECT
public:
    explicit Connection(QObject *parent = nullptr);
    ~Connection() override;

    QString aliasName() const { return m_alias; }
    void setAliasName(const QString &alias);
    QString driverName() const { return m_driver; }
    void setDriverName(const QString &driver) { m_driver = driver; }
    // Parameter lines "NAME=value" in their stored order.
    QStringList &params() { return m_params; }
    const QStringList &params() const { return m_params; }
    QString paramValue(const QString &name) const;
    bool loginPrompt() const { return m_loginPrompt; }
    void setLoginPrompt(bool on) { m_loginPrompt = on; }

    // Opens with the stored parameters; throws DbError with the backend's text on failure.
    // Setting it again while open does nothing.
    void setConnected(bool on);
    bool connected() const;

    // Replaces the backend chosen from the settings store (tests, tools).
    void setBackend(std::unique_ptr<Backend> backend);
    Backend *backend() const { return m_backend.get(); }

    static Connection *find(const QString &alias);

private:
    QString m_alias;
    QString m_driver;
    QStringList m_params;
    bool m_loginPrompt = true;
    std::unique_ptr<Backend> m_backend;
};

} // namespace tipdesk::db
