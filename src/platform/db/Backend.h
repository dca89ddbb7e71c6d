#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

namespace tipdesk::db {

// A fully fetched result: column names as the server reports them (upper case for plain
// columns, the expression text for unaliased expressions) and the rows. A null value is a
// null QVariant; numbers are qint64 or double; text is QString; dates are QDateTime.
struct ResultSet {
    QStringList columns;
    std::vector<QVariantList> rows;
};

// Parameter values by name, the name upper-cased. A statement may use one name several times.
using ParamValues = QHash<QString, QVariant>;

// The driver boundary. The embedded backend translates the Oracle dialect; the server backend
// passes statements unchanged. Every failure throws DbError with the backend's text.
class Backend {
public:
    virtual ~Backend() = default;
    virtual void open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual ResultSet select(const QString &sql, const ParamValues &params) = 0;
    // Runs a statement without a result set; it takes effect on its own (autocommit).
    // Returns the number of rows affected.
    virtual int exec(const QString &sql, const ParamValues &params) = 0;
    virtual QString describe() const = 0;

    // A transaction around several statements: readers see none of it until commit(), and
    // rollback() (or a lost connection) undoes all of it. `job` names work that must never run
    // twice at once: a second transaction naming the same job is refused with
    // DbError::Kind::JobRunning while the first lasts. No reconnection happens inside.
    virtual void begin(const QString &job = {});
    virtual void commit();
    virtual void rollback();
    virtual bool inTransaction() const { return false; }

    // A stored date that cannot be read gives null instead of failing the statement, for a pass
    // over many rows that should leave a damaged one out. Only the embedded file's text can hold
    // one; a server's date columns cannot.
    virtual void setLenientDates(bool) {}
};

// The refusal of a job that another run holds, naming the database.
QString jobRunningText(const QString &where, const QString &job);

} // namespace tipdesk::db
