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
    return QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (\n%2\n);\n").arg(t.name, lines.join(QStringLiteral(",\n")));
}

QString createIndexes(const TableDef &t)
{
    QString sql;
    for (const IndexDef &ix : t.indexes) {
        const bool unique = t.oneRowPerDay && ix.columns == QStringList{QStringLiteral("STAT_DAY")};
        sql += QStringLiteral("CREATE %1INDEX IF NOT EXISTS IX_%2_%3 ON %2 (%4)%5;\n")
                   .arg(unique ? QStringLiteral("UNIQUE ") : QString(), t.name, ix.columns.join(QLatin1Char('_')),
                        ix.columns.join(QStringLiteral(", ")),
                        ix.where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + ix.where);
    }
    return sql;
}

} // namespace

QString tablesScript()
{
    QString s;
    for (const TableDef &t : tables())
        s += createTable(t);
    // Oracle's one-row table, for statements that select expressions from it.
    return s + QStringLiteral("CREATE VIEW IF NOT EXISTS DUAL AS SELECT 'X' AS DUMMY;\n");
}

QString indexesScript()
{
    QString s;
    for (const TableDef &t : tables())
        s += createIndexes(t);
    return s;
}

QString schemaScript()
{
    return tablesScript() + indexesScript();
}

void createSchema(const QString &path)
{
    db::EmbeddedBackend::runScript(path, schemaScript());
}

} // namespace tipdesk::app
