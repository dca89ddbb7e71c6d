#pragma once

#include "platform/db/Backend.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace tipdesk::db {

class Connection;

// A named parameter of a query (written ":name" in the statement; one value for every occurrence).
class Param {
public:
    Param() = default;
    explicit Param(QString name) : m_name(std::move(name)) {}
    const QString &name() const { return m_name; }
    void setAsString(const QString &v) { m_value = v; }
    void setAsInteger(qint64 v) { m_value = v; }
    void setAsFloat(double v) { m_value = v; }
    // A variant holding a string, an integer or a float.
    void setValue(const QVariant &v) { m_value = v; }
    const QVariant &value() const { return m_value; }
    void clear() { m_value = QVariant(); }

private:
    QString m_name;
    QVariant m_value;
};

// A field of the current row.
class Field {
public:
    Field() = default;
    Field(QString name, QVariant value) : m_name(std::move(name)), m_value(std::move(value)) {}
    const QString &name() const { return m_name; }
    const QVariant &value() const { return m_value; }
    bool isNull() const { return m_value.isNull() || !m_value.isValid(); }
    // The field's display text: null gives "", whole numbers print without decimals, other
    // numbers with up to 15 significant digits, dates as "yyyy-MM-dd HH:mm:ss".
    QString asString() const;
    qint64 asInteger() const; // throws DbError when the text is not a number
    double asFloat() const;   // throws DbError when the text is not a number

    static QString displayText(const QVariant &v);

private:
    QString m_name;
    QVariant m_value;
};

// A query component: SQL as lines, named parameters, a result set with a current row.
class Query : public QObject {
    Q_OBJECT
public:
    explicit Query(QObject *parent = nullptr);
    Query(const QString &databaseName, const QStringList &sql, QObject *parent = nullptr);

    QString databaseName() const { return m_databaseName; }
    void setDatabaseName(const QString &alias) { m_databaseName = alias; }

    // The statement lines; callers clear and add lines while the query is closed.
    QStringList &sql() { return m_sql; }
    const QStringList &sql() const { return m_sql; }
    void setSql(const QStringList &lines) { m_sql = lines; }
    QString sqlText() const { return m_sql.join(u'\n'); }

    // Parameter lookup without regard to case; throws DbError for a name the statement lacks.
    Param &paramByName(const QString &name);
    QStringList paramNames() const;

    void open();    // runs a SELECT and stands on the first row
    void execSql(); // runs a statement without a result set
    void close();   // harmless when closed
    bool active() const { return m_active; }

    int recordCount() const { return m_active ? int(m_result.rows.size()) : 0; }
    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }
    bool isEmpty() const { return m_bof && m_eof; }
    void first();
    void next();
    int recNo() const { return m_row; } // 0-based current row, -1 when empty

    int fieldCount() const { return int(m_result.columns.size()); }
    int fieldIndex(const QString &name) const;    // -1 when absent
    Field fieldByName(const QString &name) const; // throws DbError when absent
    Field field(int index) const;
    QVariant value(int row, int column) const;

    const ResultSet &result() const { return m_result; }
    Connection *connection() const;

signals:
    void opened();
    void closed();
    void rowChanged(int row);

private:
    void syncParams();
    ParamValues boundValues() const;

    QString m_databaseName;
    QStringList m_sql;
    QString m_parsedText;
    QList<Param> m_params;
    ResultSet m_result;
    bool m_active = false;
    bool m_bof = true;
    bool m_eof = true;
    int m_row = -1;
};

// Names of the parameters of a statement in order of first use, without regard to case.
// Skips string literals, quoted identifiers and comments.
QStringList scanParameterNames(const QString &sql);

} // namespace tipdesk::db
