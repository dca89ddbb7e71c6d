#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tipdesk::app {

// How a column is typed as far as the statements show.
enum class ColumnKind {
    Text,     // names, texts, identifiers
    Code,     // one-character codes compared with quoted literals
    Integer,  // counts and sequence numbers
    DateTime, // Oracle DATE; ISO-8601 text "YYYY-MM-DD HH:MM:SS" in the embedded database
    DayKey,   // "YYYYMMDD"
};

struct ColumnDef {
    QString name;
    ColumnKind kind;
};

// An index for the statements' lookups. A partial index holds only the rows meeting `where`, and
// SQLite uses it only for a statement that names the same condition, spelt the same way.
struct IndexDef {
    QStringList columns;
    QString where; // empty: every row
};

struct TableDef {
    QString name;
    QList<ColumnDef> columns;
    QList<IndexDef> indexes;
    bool oneRowPerDay = false;
    QStringList key; // primary key, if the table has one

    QStringList columnNames() const;
    const ColumnDef *column(const QString &name) const; // case-insensitive
};

// Every table the system reads or writes, in dependency-free order.
const QList<TableDef> &tables();
const TableDef *table(const QString &name); // case-insensitive

// Table names, so that callers do not spell them again.
namespace tbl {
inline const QString ReportRequisition = QStringLiteral("REPORT_REQUISITION");
inline const QString Individual = QStringLiteral("INDIVIDUAL");
inline const QString Organization = QStringLiteral("ORGANIZATION");
inline const QString Role = QStringLiteral("ROLE");
inline const QString BaseCode = QStringLiteral("BASE_CODE");
inline const QString Message = QStringLiteral("MESSAGE");
inline const QString UserManage = QStringLiteral("USER_MANAGE");
inline const QString UserRecord = QStringLiteral("USER_RECORD");
inline const QString StatHub = QStringLiteral("STAT_HUB");
inline const QString StatHubDay = QStringLiteral("STAT_HUB_DAY");
inline const QString StatHubInfo = QStringLiteral("STAT_HUB_INFO");
inline const QString StatHubLoss = QStringLiteral("STAT_HUB_LOSS");
inline const QString StatHubRpt = QStringLiteral("STAT_HUB_RPT");
inline const QString StatHubOrg = QStringLiteral("STAT_HUB_ORG");
inline const QString StatHubPol = QStringLiteral("STAT_HUB_POL");
inline const QString StatHubOp = QStringLiteral("STAT_HUB_OP");
inline const QString StatHubRole = QStringLiteral("STAT_HUB_ROLE");
} // namespace tbl

// The per-source daily tables: which reporters they count and under which identifier and name columns.
struct SourceTableDef {
    QString table;
    QString idColumn;
    QString nameColumn;
    QString reporterType; // REPORTER_TYPE counted; empty for the operator table (counted by receiver)
};
const QList<SourceTableDef> &sourceTables();

// BASE_CODE groups and sub-lists in use.
inline const QString kBaseCodeOffice = QStringLiteral("001");
inline const QString kBaseCodeDetails = QStringLiteral("100");
inline const QString kDetailsGuidancePrefix = QStringLiteral("8");
inline const QString kDetailsNoticePrefix = QStringLiteral("9");
inline const QString kSubtypeOther = QStringLiteral("Z");

// Message codes the system shows.
inline const QString kMsgNoData = QStringLiteral("ERR0158");
inline const QString kMsgNoCriterion = QStringLiteral("INF0067");

} // namespace tipdesk::app
