#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace tipdesk::db {

// The one error type of the database layer. It carries the backend's own text, which callers
// show unchanged in the default error box.
class DbError : public std::exception {
public:
    explicit DbError(QString text) : m_text(std::move(text)), m_utf8(m_text.toUtf8()) {}
    const QString &text() const { return m_text; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_text;
    QByteArray m_utf8;
};

} // namespace tipdesk::db
