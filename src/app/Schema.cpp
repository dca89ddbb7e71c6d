#include "app/Schema.h"

#include "app/Tables.h"
#include "platform/db/EmbeddedBackend.h"

#include <QStringList>

namespace tipdesk::app {

namespace {

QString embeddedType(ColumnKind kind)
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

const SchemaDialect &embedded()
{
    static const SchemaDialect dialect{embeddedType, {}, true};
    return dialect;
}

QString createTable(const TableDef &t, const SchemaDialect &d)
{
    QStringList lines;
    for (const ColumnDef &c : t.columns) {
        QString line = QStringLiteral("  %1 %2").arg(c.name, d.type(c.kind));
        // Counts default to 0; a null stays possible, as on a site's server, where it empties a sum.
        if (c.kind == ColumnKind::Integer && t.name.startsWith(QLatin1String("STAT_HUB")))
            line += QStringLiteral(" DEFAULT 0");
        if (c.kind == ColumnKind::DayKey || t.key.contains(c.name))
            line += QStringLiteral(" NOT NULL");
        lines << line;
    }
    if (!t.key.isEmpty())
        lines << QStringLiteral("  PRIMARY KEY (%1)").arg(t.key.join(QStringLiteral(", ")));
    return QStringLiteral("CREATE TABLE %1%2 (\n%3\n);\n")
        .arg(d.ifNotExists ? QStringLiteral("IF NOT EXISTS ") : QString(), t.name, lines.join(QStringLiteral(",\n")));
}

QString createIndexes(const TableDef &t, const SchemaDialect &d)
{
    QString sql;
    for (const IndexDef &ix : t.indexes) {
        const bool unique = t.oneRowPerDay && ix.columns == QStringList{QStringLiteral("STAT_DAY")};
        QString name = QStringLiteral("IX_%1_%2").arg(t.name, ix.columns.join(QLatin1Char('_')));
        if (d.indexName)
            name = d.indexName(name);
        sql += QStringLiteral("CREATE %1INDEX %2%3 ON %4 (%5)%6;\n")
                   .arg(unique ? QStringLiteral("UNIQUE ") : QString(),
                        d.ifNotExists ? QStringLiteral("IF NOT EXISTS ") : QString(), name, t.name,
                        ix.columns.join(QStringLiteral(", ")),
                        ix.where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + ix.where);
    }
    return sql;
}

} // namespace

QString tablesScript(const SchemaDialect &dialect)
{
    QString s;
    for (const TableDef &t : tables())
        s += createTable(t, dialect);
    return s;
}

QString indexesScript(const SchemaDialect &dialect)
{
    QString s;
    for (const TableDef &t : tables())
        s += createIndexes(t, dialect);
    return s;
}

QString tablesScript()
{
    // Oracle's one-row table, for statements that select expressions from it.
    return tablesScript(embedded()) + QStringLiteral("CREATE VIEW IF NOT EXISTS DUAL AS SELECT 'X' AS DUMMY;\n");
}

QString indexesScript()
{
    return indexesScript(embedded());
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
