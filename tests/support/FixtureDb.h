#pragma once

#include "platform/db/Connection.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace tipdesk::test {

// A fresh embedded database in a temporary folder, built from SQLite script text, with a
// connection registered under an alias ("commonDB" unless told otherwise).
class FixtureDb {
public:
    explicit FixtureDb(const QString &script = QString(), const QString &alias = QStringLiteral("commonDB"));
    ~FixtureDb();

    QString path() const { return m_path; }
    QString dir() const { return m_dir.path(); }
    void run(const QString &sqliteScript);
    db::Connection *connection() const { return m_connection.get(); }

private:
    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<db::Connection> m_connection;
};

// Reads a file of the source tree (TIPDESK_SOURCE_DIR is set by CTest).
QString sourceFile(const QString &relativePath);

} // namespace tipdesk::test
