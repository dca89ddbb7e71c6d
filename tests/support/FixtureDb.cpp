#include "FixtureDb.h"

#include "platform/db/EmbeddedBackend.h"

#include <QFile>

namespace tipdesk::test {

FixtureDb::FixtureDb(const QString &script, const QString &alias)
{
    m_path = m_dir.filePath(QStringLiteral("fixture.db"));
    db::EmbeddedBackend::runScript(m_path, script.isEmpty() ? QStringLiteral("SELECT 1;") : script);
    m_connection = std::make_unique<db::Connection>();
    m_connection->setAliasName(alias);
    m_connection->setDriverName(QStringLiteral("ORACLE"));
    m_connection->setLoginPrompt(false);
    m_connection->setBackend(std::make_unique<db::EmbeddedBackend>(m_path));
    m_connection->setConnected(true);
}

FixtureDb::~FixtureDb() = default;

void FixtureDb::run(const QString &sqliteScript)
{
    db::EmbeddedBackend::runScript(m_path, sqliteScript);
}

QString sourceFile(const QString &relativePath)
{
    const QString root = qEnvironmentVariable("TIPDESK_SOURCE_DIR", QStringLiteral(TIPDESK_SOURCE_DIR_DEFAULT));
    QFile f(root + QLatin1Char('/') + relativePath);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

} // namespace tipdesk::test
