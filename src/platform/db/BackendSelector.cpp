#include "platform/db/BackendSelector.h"

#include "platform/db/DbError.h"
#include "platform/db/EmbeddedBackend.h"
#include "platform/db/PostgresBackend.h"
#include "platform/db/ServerBackend.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tipdesk::db {

namespace {
const QString kDefaultFileName = QStringLiteral("tipdesk.db");

QString &overridePath()
{
    static QString path;
    return path;
}
QString &overridePostgres()
{
    static QString conninfo;
    return conninfo;
}
} // namespace

std::optional<AliasDefinition> readAliasDefinition(QSettings &settings, const QString &alias)
{
    // Group names in the settings store are matched without regard to case, like aliases.
    QString group;
    for (const QString &g : settings.childGroups()) {
        if (g.compare(alias, Qt::CaseInsensitive) == 0)
            group = g;
    }
    if (group.isEmpty())
        return std::nullopt;
    settings.beginGroup(group);
    AliasDefinition def;
    def.driver = settings.value(QStringLiteral("Driver")).toString().trimmed().toUpper();
    def.databaseName = settings.value(QStringLiteral("DatabaseName")).toString();
    def.hostName = settings.value(QStringLiteral("HostName")).toString();
    def.port = settings.value(QStringLiteral("Port"), -1).toInt();
    def.userName = settings.value(QStringLiteral("UserName")).toString();
    def.password = settings.value(QStringLiteral("Password")).toString();
    def.path = settings.value(QStringLiteral("Path")).toString();
    settings.endGroup();
    if (def.driver.isEmpty())
        return std::nullopt;
    return def;
}

QString dataFolder()
{
    // Not AppDataLocation: the tools carry their own application names, and all of them must find
    // the program's file.
    // Without HOME the location lies under the root folder and would begin with "//".
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                           QStringLiteral("/tipdesk"));
}

QString defaultEmbeddedPath()
{
    const QString exeDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    const QString besideExecutable = QDir(exeDir).filePath(kDefaultFileName);
    if (QFileInfo(besideExecutable).isFile())
        return besideExecutable;
    return QDir(dataFolder()).filePath(kDefaultFileName);
}

void setEmbeddedOverride(const QString &path)
{
    overridePath() = path;
}
QString embeddedOverride()
{
    return overridePath();
}

void setPostgresOverride(const QString &conninfo)
{
    overridePostgres() = conninfo;
}

std::unique_ptr<Backend> postgresBackend(const QString &conninfo)
{
    return std::make_unique<PostgresBackend>(postgresSettings(conninfo));
}

PostgresBackend::Settings postgresSettings(const QString &conninfo)
{
    PostgresBackend::Settings s;
    // key=value pairs separated by blanks; a value may be quoted with '…' and escape \' and \\.
    qsizetype i = 0;
    const qsizetype n = conninfo.size();
    while (i < n) {
        while (i < n && conninfo[i].isSpace())
            ++i;
        if (i >= n)
            break;
        const qsizetype eq = conninfo.indexOf(u'=', i);
        if (eq < 0)
            throw DbError(
                QStringLiteral("연결 문자열이 잘못되었습니다: 항목마다 이름=값으로 쓰고, 빈칸이 든 값은 '…'로 "
                               "묶으십시오"));
        const QString key = conninfo.mid(i, eq - i).trimmed();
        i = eq + 1;
        while (i < n && conninfo[i].isSpace())
            ++i;
        QString value;
        if (i < n && conninfo[i] == u'\'') {
            for (++i; i < n && conninfo[i] != u'\''; ++i) {
                if (conninfo[i] == u'\\' && i + 1 < n)
                    ++i;
                value += conninfo[i];
            }
            if (i >= n)
                throw DbError(QStringLiteral("연결 문자열이 잘못되었습니다: 따옴표가 닫히지 않았습니다"));
            ++i;
        } else {
            while (i < n && !conninfo[i].isSpace())
                value += conninfo[i++];
        }
        if (key == QLatin1String("host") || key == QLatin1String("hostaddr"))
            s.hostName = value;
        else if (key == QLatin1String("port"))
            s.port = value.toInt();
        else if (key == QLatin1String("dbname"))
            s.databaseName = value;
        else if (key == QLatin1String("user"))
            s.userName = value;
        else if (key == QLatin1String("password"))
            s.password = value;
        else
            // The name is not repeated: in a value with an unquoted blank it may be part of the password.
            throw DbError(
                QStringLiteral("연결 문자열에 알 수 없는 항목이 있습니다 (host, port, dbname, user, password만 "
                               "쓸 수 있습니다)"));
    }
    return s;
}

namespace {

// The installation's definition of an alias: the settings given, else the system settings store.
std::optional<AliasDefinition> siteDefinition(const QString &alias, QSettings *settings)
{
    if (settings)
        return readAliasDefinition(*settings, alias);
#ifdef Q_OS_WIN
    QSettings registry(QSettings::NativeFormat, QSettings::SystemScope, QStringLiteral("tipdesk"),
                       QStringLiteral("tipdesk"));
    if (auto def = readAliasDefinition(registry, alias))
        return def;
#endif
    QSettings system(QSettings::IniFormat, QSettings::SystemScope, QStringLiteral("tipdesk"),
                     QStringLiteral("tipdesk"));
    return readAliasDefinition(system, alias);
}

// The embedded file of a definition, or nullopt when it names a server.
std::optional<EmbeddedTarget> embeddedFileOf(const std::optional<AliasDefinition> &def)
{
    if (def && def->driver != QLatin1String("EMBEDDED"))
        return std::nullopt;
    if (def && !def->path.isEmpty())
        return EmbeddedTarget{def->path, false};
    return EmbeddedTarget{defaultEmbeddedPath(), true};
}

} // namespace

std::optional<EmbeddedTarget> embeddedTarget(const QString &alias, QSettings *settings)
{
    if (!overridePath().isEmpty())
        return EmbeddedTarget{overridePath(), false};
    if (!overridePostgres().isEmpty())
        return std::nullopt;
    return embeddedFileOf(siteDefinition(alias, settings));
}

std::unique_ptr<Backend> selectBackend(const ConnectionParams &params, QSettings *settings)
{
    if (!overridePath().isEmpty())
        return std::make_unique<EmbeddedBackend>(overridePath());
    if (!overridePostgres().isEmpty())
        return postgresBackend(overridePostgres());

    const std::optional<AliasDefinition> def = siteDefinition(params.alias, settings);
    if (const std::optional<EmbeddedTarget> file = embeddedFileOf(def))
        return std::make_unique<EmbeddedBackend>(file->path);
    // The site's own account, where it gives one, replaces the one stored with the connection, so
    // that a site can change a password that has become known.
    const bool ownAccount = !def->userName.isEmpty();
    const QString user = ownAccount ? def->userName : params.userName;
    const QString password = ownAccount ? def->password : params.password;
    const QString dbName = def->databaseName.isEmpty() ? params.serverName : def->databaseName;
    if (def->driver == QLatin1String("QOCI") || def->driver == QLatin1String("QODBC"))
        return std::make_unique<ServerBackend>(def->driver, dbName, def->hostName, def->port, user, password);
    if (def->driver == QLatin1String("QPSQL"))
        return std::make_unique<PostgresBackend>(
            PostgresBackend::Settings{dbName, def->hostName, def->port, user, password});
    throw DbError(QStringLiteral("별칭 %1: 알 수 없는 드라이버 %2 (QOCI, QODBC, QPSQL, EMBEDDED 중 하나를 쓰십시오)")
                      .arg(params.alias, def->driver));
}

} // namespace tipdesk::db
