#include "app/Schema.h"

#include "app/Tables.h"
#include "platform/db/EmbeddedBackend.h"

#include <QStringList>

namespace tipdesk::app {

namespace {

QString sqlType(ColumnKind kind)
{
    switch (kind) {
    case ColumnKind::Integer:
        return QStringLiteral("INTEGER");
    case ColumnKind::Text:
    case ColumnKind::Code:
    case ColumnKind::DateTime:
    case ColumnKind::DayKey:
        break;
    }
    return QStringLiteral("TEXT");
}

QString createTable(const TableDef &t)
{
    QStringList lines;
    for (const ColumnDef &c : t.columns) {
        QString line = QStringLiteral("  %1 %2").arg(c.name, sqlType(c.kind));
        // Counts default to 0; a null stays possible, as on a site's server, where it empties a sum.
        if (c.kind == ColumnKind::Integer && t.name.startsWith(QLatin1String("STAT_HUB")))
            line += QStringLiteral(" DEFAULT 0");
        if (c.kind == ColumnKind::DayKey || t.key.contains(c.name))
            line += QStringLiteral(" NOT NULL");
        lines << line;
    }
    if (!t.key.isEmpty())
        lines << QStringLiteral("  PRIMARY KEY (%1)").arg(t.key.join(QStringLiteral(", ")));
    QString sql =
        QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (\n%2\n);\n").arg(t.name, lines.join(QStringLiteral(",\n")));
    for (const QStringList &ix : t.indexes) {
        const bool unique = t.oneRowPerDay && ix == QStringList{QStringLiteral("STAT_DAY")};
        sql += QStringLiteral("CREATE %1INDEX IF NOT EXISTS IX_%2_%3 ON %2 (%4);\n")
                   .arg(unique ? QStringLiteral("UNIQUE ") : QString(), t.name, ix.join(QLatin1Char('_')),
                        ix.join(QStringLiteral(", ")));
    }
    return sql;
}

} // namespace

QString schemaScript()
{
    QString s;
    for (const TableDef &t : tables())
        s += createTable(t);
    // Oracle's one-row table, for statements that select expressions from it.
    s += QStringLiteral("CREATE VIEW IF NOT EXISTS DUAL AS SELECT 'X' AS DUMMY;\n");
    return s;
}

void createSchema(const QString &path)
{
    db::EmbeddedBackend::runScript(path, schemaScript());
}

} // namespace tipdesk::app
