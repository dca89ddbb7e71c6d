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
};

} // namespace tipdesk::db
