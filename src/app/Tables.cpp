#include "app/Tables.h"

#include "app/CodeLists.h"

namespace tipdesk::app {

QStringList TableDef::columnNames() const
{
    QStringList r;
    for (const ColumnDef &c : columns)
        r << c.name;
    return r;
}

const ColumnDef *TableDef::column(const QString &name) const
{
    for (const ColumnDef &c : columns) {
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

namespace {

using K = ColumnKind;

QList<ColumnDef> counts(const QStringList &names)
{
    QList<ColumnDef> r;
    for (const QString &n : names)
        r.append({n, K::Integer});
    return r;
}

QList<ColumnDef> bandedTotals()
{
    return counts(
        QStringList{QStringLiteral("TOTAL"), QStringLiteral("MORNING_TOTAL"), QStringLiteral("EVENING_TOTAL")} +
        hourBandColumns());
}

QStringList sortedColumns(const CodeList &list)
{
    QStringList c = list.columns();
    c.sort();
    return c;
}

TableDef statTable(const QString &name, QList<ColumnDef> columns, bool oneRowPerDay)
{
    columns.prepend({QStringLiteral("STAT_DAY"), K::DayKey});
    return TableDef{name, columns, {IndexDef{{QStringLiteral("STAT_DAY")}, {}}}, oneRowPerDay, {}};
}

TableDef sourceTable(const QString &name, const QString &id, const QString &label, bool withRole)
{
    QList<ColumnDef> cols{{id, K::Text}, {label, K::Text}, {QStringLiteral("REPORT_COUNT"), K::Integer}};
    if (withRole)
        cols.append({QStringLiteral("ROLE_ID"), K::Text});
    TableDef t = statTable(name, cols, false);
    // Covers the per-source totals: the all-time total reads this index alone, in group order,
    // and a month's rows are found in it without visiting the table.
    t.indexes.append({{id, label, QStringLiteral("STAT_DAY"), QStringLiteral("REPORT_COUNT")}, {}});
    return t;
}

QList<TableDef> buildTables()
{
    QList<TableDef> t;
    t.append({tbl::ReportRequisition,
              {{QStringLiteral("REQUISITION_NUM"), K::Text},
               {QStringLiteral("SEQ_NUM"), K::Integer},
               {QStringLiteral("REPORT_DATE"), K::DateTime},
               {QStringLiteral("REGISTE_DATE"), K::DateTime},
               {QStringLiteral("REPORTER_TYPE"), K::Code},
               {QStringLiteral("REPORTER_NAME"), K::Text},
               {QStringLiteral("INDIVIDUAL_ID"), K::Text},
               {QStringLiteral("ORGANIZATION_ID"), K::Text},
               {QStringLiteral("INCIDENT_TYPE"), K::Code},
               {QStringLiteral("INCIDENT_SUBTYPE"), K::Code},
               {QStringLiteral("COMMENTS"), K::Text},
               {QStringLiteral("OPERATOR_NAME"), K::Text},
               {QStringLiteral("REGISTER_NAME"), K::Text},
               {QStringLiteral("SEND_FLAG"), K::Code},
               {QStringLiteral("BROAD_FLAG"), K::Code},
               {QStringLiteral("SPEED"), K::Code}},
              {{{QStringLiteral("REPORT_DATE")}, {}},
               {{QStringLiteral("SEQ_NUM")}, {}},
               // The citizens' period totals, counted from the reports themselves: given ANALYZE's figures
               // the planner reads this index alone, in group order, skipping from one citizen to the next
               // within the period. Only the citizens' reports are counted so, hence a partial index.
               {{QStringLiteral("INDIVIDUAL_ID"), QStringLiteral("REPORTER_NAME"), QStringLiteral("REPORT_DATE")},
                QStringLiteral("REPORTER_TYPE = '%1'").arg(kReporterCitizen)}},
              false,
              {}});
    t.append({tbl::Individual,
              {{QStringLiteral("INDIVIDUAL_ID"), K::Text},
               {QStringLiteral("INDIVIDUAL_NAME"), K::Text},
               {QStringLiteral("TYPE"), K::Code},
               {QStringLiteral("CUR"), K::Code}},
              {{{QStringLiteral("TYPE")}, {}}},
              false,
              {QStringLiteral("INDIVIDUAL_ID")}});
    t.append({tbl::Organization,
              {{QStringLiteral("ORGANIZATION_ID"), K::Text}, {QStringLiteral("NAME"), K::Text}},
              {},
              false,
              {QStringLiteral("ORGANIZATION_ID")}});
    t.append({tbl::Role,
              {{QStringLiteral("INDIVIDUAL_ID"), K::Text}, {QStringLiteral("ORGANIZATION_ID"), K::Text}},
              {{{QStringLiteral("INDIVIDUAL_ID")}, {}}},
              false,
              {}});
    t.append({tbl::BaseCode,
              {{QStringLiteral("BAS_LCOD"), K::Text},
               {QStringLiteral("BAS_SCOD"), K::Text},
               {QStringLiteral("BAS_NAME"), K::Text}},
              {},
              false,
              {QStringLiteral("BAS_LCOD"), QStringLiteral("BAS_SCOD")}});
    t.append({tbl::Message,
              {{QStringLiteral("M_CODE"), K::Text},
               {QStringLiteral("M_TITLE"), K::Text},
               {QStringLiteral("M_DESC"), K::Text}},
              {},
              false,
              {QStringLiteral("M_CODE")}});
    // Only the first four columns are read; the others are the account's description.
    t.append({tbl::UserManage,
              {{QStringLiteral("USERID"), K::Text},
               {QStringLiteral("USERPASS"), K::Text},
               {QStringLiteral("APPNAME"), K::Text},
               {QStringLiteral("USERLEVEL"), K::Text},
               {QStringLiteral("USERNAME"), K::Text},
               {QStringLiteral("REMARK"), K::Text}},
              {{{QStringLiteral("USERID"), QStringLiteral("APPNAME")}, {}}},
              false,
              {}});
    t.append({tbl::UserRecord,
              {{QStringLiteral("RECORDDATE"), K::DateTime},
               {QStringLiteral("USERID"), K::Text},
               {QStringLiteral("IPADDRESS"), K::Text},
               {QStringLiteral("APPNAME"), K::Text},
               {QStringLiteral("ACTION"), K::Code}},
              {{{QStringLiteral("RECORDDATE")}, {}}},
              false,
              {}});

    QList<ColumnDef> hub = counts({QStringLiteral("TOTAL")});
    hub += counts(statisticsSources().columns());
    hub += counts(sortedColumns(contentCodes()));
    hub += counts(handlingResults().columns());
    hub += counts(hourBandColumns());
    t.append(statTable(tbl::StatHub, hub, true));

    QList<ColumnDef> day{{QStringLiteral("RESULT"), K::Code}};
    day += bandedTotals();
    t.append(statTable(tbl::StatHubDay, day, false));
    t.append(statTable(tbl::StatHubInfo, bandedTotals(), true));
    t.append(statTable(tbl::StatHubLoss, counts(QStringList{QStringLiteral("TOTAL")} + lostPropertyCodes().columns()),
                       true));

    for (const SourceTableDef &s : sourceTables())
        t.append(sourceTable(s.table, s.idColumn, s.nameColumn, s.table == tbl::StatHubRole));
    return t;
}

} // namespace

const QList<SourceTableDef> &sourceTables()
{
    static const QList<SourceTableDef> list{
        {tbl::StatHubRpt, QStringLiteral("RPT_ID"), QStringLiteral("RPT_NAME"), QStringLiteral("1")},
        {tbl::StatHubOrg, QStringLiteral("ORG_ID"), QStringLiteral("ORG_NAME"), QStringLiteral("6")},
        {tbl::StatHubPol, QStringLiteral("POL_ID"), QStringLiteral("POL_NAME"), QStringLiteral("2")},
        {tbl::StatHubOp, QStringLiteral("OP_ID"), QStringLiteral("OP_NAME"), QString()},
        {tbl::StatHubRole, QStringLiteral("REPORTER_ID"), QStringLiteral("REPORTER_NAME"), QStringLiteral("1")},
    };
    return list;
}

const QList<TableDef> &tables()
{
    static const QList<TableDef> list = buildTables();
    return list;
}

const TableDef *table(const QString &name)
{
    for (const TableDef &t : tables()) {
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    }
    return nullptr;
}

} // namespace tipdesk::app
