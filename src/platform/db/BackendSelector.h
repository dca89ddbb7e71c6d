#pragma once

#include "platform/db/Backend.h"
#include "platform/db/PostgresBackend.h"

#include <QSettings>
#include <QString>
#include <memory>
#include <optional>

namespace tipdesk::db {

// How an installation defines an alias in the platform's settings store (system scope,
// organisation "tipdesk", application "tipdesk"), group named by the alias:
//   Driver       = QOCI | QODBC | QPSQL | EMBEDDED
//   DatabaseName = Oracle service name or TNS alias (QOCI), data source name (QODBC), database (QPSQL)
//   HostName, Port (optional, QOCI and QPSQL)
//   UserName, Password (optional: the site's own account instead of the connection's stored one)
//   Path         = database file (EMBEDDED)
struct AliasDefinition {
    QString driver;
    QString databaseName;
    QString hostName;
    int port = -1;
    QString userName;
    QString password;
    QString path;
};

std::optional<AliasDefinition> readAliasDefinition(QSettings &settings, const QString &alias);

// The desk's own data folder, where the default embedded database lives: the per-user data
// location's "tipdesk" (~/.local/share/tipdesk on Linux), the same for the program and its tools
// whatever their own names. It may not exist yet.
QString dataFolder();

// The default embedded database: tipdesk.db beside the executable where one is there (development
// builds, desks set up so), else tipdesk.db in the data folder. An installed program's folder is
// not writable, so nothing is ever created beside it.
QString defaultEmbeddedPath();

// The embedded file an alias leads to, and whether it is the default one (no definition, or
// EMBEDDED without a Path); nullopt when it leads to a server. Overrides count as for selectBackend.
struct EmbeddedTarget {
    QString path;
    bool isDefault = false;
};
std::optional<EmbeddedTarget> embeddedTarget(const QString &alias, QSettings *settings = nullptr);

// A database file that replaces the settings store for this process (the tools' --database, tests).
void setEmbeddedOverride(const QString &path);
QString embeddedOverride();

// A PostgreSQL server that replaces the settings store for this process (the tools' --pg, tests):
// a libpq connection string "host=… port=… dbname=… user=… password=…". Empty: none.
void setPostgresOverride(const QString &conninfo);
// The backend of a libpq connection string. Throws DbError for a malformed one.
std::unique_ptr<Backend> postgresBackend(const QString &conninfo);
PostgresBackend::Settings postgresSettings(const QString &conninfo);

struct ConnectionParams {
    QString alias;
    QString driverName; // "ORACLE"
    QString serverName;
    QString userName;
    QString password;
};

// Chooses the backend for a connection: the override, else the alias definition, else the
// default embedded file. The settings store is only read.
std::unique_ptr<Backend> selectBackend(const ConnectionParams &params, QSettings *settings = nullptr);

} // namespace tipdesk::db
