#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTest>

#include <sqlite3.h>

namespace tipdesk::test {

// Reads a SQLite file directly, without the Oracle dialect layer: the checks here are about what
// the file holds.
class SqliteRows {
public:
    explicit SqliteRows(const QString &path)
    {
        if (sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            qFatal("cannot open %s", qPrintable(path));
    }
    ~SqliteRows() { sqlite3_close(m_db); }
    SqliteRows(const SqliteRows &) = delete;
    SqliteRows &operator=(const SqliteRows &) = delete;

    sqlite3 *handle() const { return m_db; }

    // Every row as text; an empty list and a warning on error.
    QList<QStringList> rows(const QString &sql) const
    {
        QList<QStringList> out;
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
            m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
            qWarning("%s in %s", qPrintable(m_error), qPrintable(sql));
            return out;
        }
        while (sqlite3_step(st) == SQLITE_ROW) {
            QStringList r;
            for (int i = 0; i < sqlite3_column_count(st); ++i)
                r << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, i)));
            out << r;
        }
        sqlite3_finalize(st);
        return out;
    }

    QString value(const QString &sql) const
    {
        const QList<QStringList> r = rows(sql);
        return r.isEmpty() || r.first().isEmpty() ? QString() : r.first().first();
    }
    qint64 count(const QString &sql) const { return value(sql).toLongLong(); }
    bool prepares(const QString &sql) const
    {
        sqlite3_stmt *st = nullptr;
        const int rc = sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr);
        m_error = rc == SQLITE_OK ? QString() : QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_finalize(st);
        return rc == SQLITE_OK;
    }
    QString error() const { return m_error; }

private:
    sqlite3 *m_db = nullptr;
    mutable QString m_error;
};

} // namespace tipdesk::test
