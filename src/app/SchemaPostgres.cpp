#include "app/SchemaPostgres.h"

#include "app/Schema.h"
#include "app/Tables.h"

#include <QCryptographicHash>

namespace tipdesk::app {

namespace {

// The server's NAMEDATALEN - 1; a longer name is cut with only a notice.
constexpr qsizetype kMaxIdentifier = 63;

QString pgType(ColumnKind kind)
{
    switch (kind) {
    case ColumnKind::Integer:
        return QStringLiteral("bigint");
    case ColumnKind::DateTime:
        return QStringLiteral("timestamp(0) without time zone");
    case ColumnKind::Text:
    case ColumnKind::Code:
    case ColumnKind::DayKey:
        break;
    }
    return QStringLiteral("text COLLATE \"C\"");
}

// The loader refuses or drops existing tables itself, so that IF NOT EXISTS never hides a table
// of another shape.
const SchemaDialect &postgres()
{
    static const SchemaDialect dialect{pgType, postgresIndexName, false};
    return dialect;
}

} // namespace

QString postgresIndexName(const QString &embeddedName)
{
    if (embeddedName.size() <= kMaxIdentifier)
        return embeddedName;
    const QByteArray hash = QCryptographicHash::hash(embeddedName.toUtf8(), QCryptographicHash::Sha1).toHex();
    return embeddedName.left(kMaxIdentifier - 9) + QLatin1Char('_') + QString::fromLatin1(hash.left(8)).toUpper();
}

QString postgresTablesScript()
{
    return tablesScript(postgres());
}

QString postgresIndexesScript()
{
    return indexesScript(postgres());
}

} // namespace tipdesk::app
