#include "app/Schema.h"

#include "platform/db/EmbeddedBackend.h"

#include <QStringList>

namespace tipdesk::app {

namespace {

// The hour-band columns TIME06..TIME21 appear in four tables; written once here.
constexpr const char *kTimeBands = "TIME06 INTEGER NOT NULL DEFAULT 0, TIME07 INTEGER NOT NULL DEFAULT 0, "
                                   "TIME08 INTEGER NOT NULL DEFAULT 0, TIME09 INTEGER NOT NULL DEFAULT 0, "
                                   "TIME10 INTEGER NOT NULL DEFAULT 0, TIME11 INTEGER NOT NULL DEFAULT 0, "
                                   "TIME12 INTEGER NOT NULL DEFAULT 0, TIME13 INTEGER NOT NULL DEFAULT 0, "
                                   "TIME14 INTEGER NOT NULL DEFAULT 0, TIME15 INTEGER NOT NULL DEFAULT 0, "
                                   "TIME16 INTEGER NOT NULL DEFAULT 0, TIME17 INTEGER NOT NULL DEFAULT 0, "
                                   "TIME18 INTEGER NOT NULL DEFAULT 0, TIME19 INTEGER NOT NULL DEFAULT 0, "
                                   "TIME20 INTEGER NOT NULL DEFAULT 0, TIME21 INTEGER NOT NULL DEFAULT 0";

constexpr const char *kFixedTables = R"sql(
CREATE TABLE IF NOT EXISTS REPORT_REQUISITION (
  REQUISITION_NUM  TEXT,
  SEQ_NUM          INTEGER,
  REPORT_DATE      TEXT,
  REGISTE_DATE     TEXT,
  REPORTER_TYPE    TEXT,
  REPORTER_NAME    TEXT,
  INDIVIDUAL_ID    TEXT,
  ORGANIZATION_ID  TEXT,
  INCIDENT_TYPE    TEXT,
  INCIDENT_SUBTYPE TEXT,
  COMMENTS         TEXT,
  OPERATOR_NAME    TEXT,
  REGISTER_NAME    TEXT,
  SEND_FLAG        TEXT,
  BROAD_FLAG       TEXT,
  SPEED            TEXT NOT NULL DEFAULT '0'
);
CREATE INDEX IF NOT EXISTS IX_REPORT_REQUISITION_DATE ON REPORT_REQUISITION (REPORT_DATE);
CREATE INDEX IF NOT EXISTS IX_REPORT_REQUISITION_SEQ ON REPORT_REQUISITION (SEQ_NUM);

CREATE TABLE IF NOT EXISTS INDIVIDUAL (
  INDIVIDUAL_ID   TEXT PRIMARY KEY,
  INDIVIDUAL_NAME TEXT,
  TYPE            TEXT,
  CUR             TEXT
);
CREATE INDEX IF NOT EXISTS IX_INDIVIDUAL_TYPE ON INDIVIDUAL (TYPE);

CREATE TABLE IF NOT EXISTS ORGANIZATION (
  ORGANIZATION_ID TEXT PRIMARY KEY,
  NAME            TEXT
);

CREATE TABLE IF NOT EXISTS ROLE (
  INDIVIDUAL_ID   TEXT,
  ORGANIZATION_ID TEXT
);
CREATE INDEX IF NOT EXISTS IX_ROLE_INDIVIDUAL ON ROLE (INDIVIDUAL_ID);

CREATE TABLE IF NOT EXISTS BASE_CODE (
  BAS_LCOD TEXT NOT NULL,
  BAS_SCOD TEXT NOT NULL,
  BAS_NAME TEXT,
  PRIMARY KEY (BAS_LCOD, BAS_SCOD)
);

CREATE TABLE IF NOT EXISTS MESSAGE (
  M_CODE  TEXT PRIMARY KEY,
  M_TITLE TEXT,
  M_DESC  TEXT
);

CREATE TABLE IF NOT EXISTS USER_MANAGE (
  USERID    TEXT NOT NULL,
  USERPASS  TEXT,
  APPNAME   TEXT NOT NULL,
  USERLEVEL TEXT,
  USERNAME  TEXT,
  REMARK    TEXT
);
CREATE INDEX IF NOT EXISTS IX_USER_MANAGE_LOGIN ON USER_MANAGE (USERID, APPNAME);

CREATE TABLE IF NOT EXISTS USER_RECORD (
  RECORDDATE TEXT,
  USERID     TEXT,
  IPADDRESS  TEXT,
  APPNAME    TEXT,
  ACTION     TEXT
);
CREATE INDEX IF NOT EXISTS IX_USER_RECORD_DATE ON USER_RECORD (RECORDDATE);

-- Oracle's one-row table, for statements that select expressions from it.
CREATE VIEW IF NOT EXISTS DUAL AS SELECT 'X' AS DUMMY;
)sql";

QString statTable(const char *name, const QString &columns, bool unique)
{
    const QString n = QLatin1String(name);
    return QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (\n  STAT_DAY TEXT NOT NULL,\n  %2\n);\n"
                          "CREATE %3INDEX IF NOT EXISTS IX_%1_DAY ON %1 (STAT_DAY);\n")
        .arg(n, columns, unique ? QStringLiteral("UNIQUE ") : QString());
}

QString numbered(const char *prefix, int from, int to)
{
    QStringList cols;
    for (int i = from; i <= to; ++i)
        cols << QStringLiteral("%1%2 INTEGER NOT NULL DEFAULT 0").arg(QLatin1String(prefix)).arg(i, 0, 10);
    return cols.join(QStringLiteral(", "));
}

QString bandedTotals()
{
    return QStringLiteral("TOTAL INTEGER NOT NULL DEFAULT 0, MORNING_TOTAL INTEGER NOT NULL DEFAULT 0, "
                          "EVENING_TOTAL INTEGER NOT NULL DEFAULT 0, ") +
           QLatin1String(kTimeBands);
}

QString perSource(const char *id, const char *name)
{
    return QStringLiteral("%1 TEXT, %2 TEXT, REPORT_COUNT INTEGER NOT NULL DEFAULT 0")
        .arg(QLatin1String(id), QLatin1String(name));
}

} // namespace

QString schemaScript()
{
    QString s = QLatin1String(kFixedTables);
    s += statTable("STAT_HUB",
                   QStringLiteral("TOTAL INTEGER NOT NULL DEFAULT 0, ") + numbered("REPORTER", 1, 6) +
                       QStringLiteral(", ") + numbered("CONTENT", 1, 9) + QStringLiteral(", ") +
                       numbered("RESULT", 1, 3) + QStringLiteral(", ") + QLatin1String(kTimeBands),
                   true);
    s += statTable("STAT_HUB_DAY", QStringLiteral("RESULT TEXT NOT NULL, ") + bandedTotals(), false);
    s += statTable("STAT_HUB_INFO", bandedTotals(), true);
    s += statTable("STAT_HUB_LOSS",
                   QStringLiteral("TOTAL INTEGER NOT NULL DEFAULT 0, "
                                  "L_MISS INTEGER NOT NULL DEFAULT 0, L_FOUND INTEGER NOT NULL DEFAULT 0, "
                                  "L_CAR INTEGER NOT NULL DEFAULT 0, L_ETC INTEGER NOT NULL DEFAULT 0, "
                                  "F_MISS INTEGER NOT NULL DEFAULT 0, F_FOUND INTEGER NOT NULL DEFAULT 0, "
                                  "F_CAR INTEGER NOT NULL DEFAULT 0, F_ETC INTEGER NOT NULL DEFAULT 0"),
                   true);
    s += statTable("STAT_HUB_RPT", perSource("RPT_ID", "RPT_NAME"), false);
    s += statTable("STAT_HUB_ORG", perSource("ORG_ID", "ORG_NAME"), false);
    s += statTable("STAT_HUB_POL", perSource("POL_ID", "POL_NAME"), false);
    s += statTable("STAT_HUB_OP", perSource("OP_ID", "OP_NAME"), false);
    s +=
        statTable("STAT_HUB_ROLE", perSource("REPORTER_ID", "REPORTER_NAME") + QStringLiteral(", ROLE_ID TEXT"), false);
    return s;
}

void createSchema(const QString &path)
{
    db::EmbeddedBackend::runScript(path, schemaScript());
}

} // namespace tipdesk::app
