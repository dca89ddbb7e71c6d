#include "platform/db/BackendSelector.h"

#include "platform/db/DbError.h"
#include "platform/db/EmbeddedBackend.h"
#include "platform/db/ServerBackend.h"

#include <QCoreApplication>
#include <QDir>

namespace tipdesk::db {

namespace {
QString &overridePath()
{
    static QString path;
    return path;
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
    def.path = settings.value(QStringLiteral("Path")).toString();
    settings.endGroup();
    if (def.driver.isEmpty())
        return std::nullopt;
    return def;
}

QString defaultEmbeddedPath()
{
    const QString dir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    return QDir(dir).filePath(QStringLiteral("tipdesk.db"));
}

void setEmbeddedOverride(const QString &path)
{
    overridePath() = path;
}
QString embeddedOverride()
{
    return overridePath();
}

std::unique_ptr<Backend> selectBackend(const ConnectionParams &params, QSettings *settings)
{
    if (!overridePath().isEmpty())
        return std::make_unique<EmbeddedBackend>(overridePath());

    std::optional<AliasDefinition> def;
    if (settings) {
        def = readAliasDefinition(*settings, params.alias);
    } else {
        QSettings system(QSettings::IniFormat, QSettings::SystemScope, QStringLiteral("tipdesk"),
                         QStringLiteral("tipdesk"));
#ifdef Q_OS_WIN
        QSettings registry(QSettings::NativeFormat, QSettings::SystemScope, QStringLiteral("tipdesk"),
                           QStringLiteral("tipdesk"));
        def = readAliasDefinition(registry, params.alias);
        if (!def)
#endif
            def = readAliasDefinition(system, params.alias);
    }
    if (!def)
        return std::make_unique<EmbeddedBackend>(defaultEmbeddedPath());
    if (def->driver == QLatin1String("EMBEDDED"))
        return std::make_unique<EmbeddedBackend>(def->path.isEmpty() ? defaultEmbeddedPath() : def->path);
    if (def->driver == QLatin1String("QOCI") || def->driver == QLatin1String("QODBC")) {
        const QString dbName = def->databaseName.isEmpty() ? params.serverName : def->databaseName;
        return std::make_unique<ServerBackend>(def->driver, dbName, def->hostName, def->port, params.userName,
                                               params.password);
    }
    throw DbError(QStringLiteral("Alias '%1': unknown driver '%2'").arg(params.alias, def->driver));
}

} // namespace tipdesk::db
