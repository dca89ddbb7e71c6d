#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace tipdesk::db {

// The one error type of the database layer. It carries the backend's own text, which callers
// show unchanged in the default error box.
class DbError : public std::exception {
public:
    enum class Kind {
        Other,
        // The embedded database file is there but cannot serve as one (not a database, damaged, a
        // folder, unreadable): no retry helps until someone replaces it. A missing file is not
        // this kind (it may yet appear), nor a file another desk holds locked.
        UnusableFile,
        // Another run of the same job holds its lock (Backend::begin).
        JobRunning,
    };

    explicit DbError(QString text, Kind kind = Kind::Other)
        : m_text(std::move(text)), m_utf8(m_text.toUtf8()), m_kind(kind)
    {
    }
    const QString &text() const { return m_text; }
    Kind kind() const { return m_kind; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_text;
    QByteArray m_utf8;
    Kind m_kind;
};

} // namespace tipdesk::db
