#include "platform/db/Connection.h"

#include "platform/db/BackendSelector.h"
#include "platform/db/DbError.h"

#include <QList>
#include <QPointer>

namespace tipdesk::db {

namespace {
QList<QPointer<Connection>> &registry()
{
    static QList<QPointer<Connection>> list;
    return list;
}
} // namespace

Connection::Connection(QObject *parent) : QObject(parent)
{
    registry().append(this);
}

Connection::~Connection()
{
    registry().removeAll(this);
    if (m_backend)
        m_backend->close();
}

void Connection::setAliasName(const QString &alias)
{
    m_alias = alias;
}

QString Connection::paramValue(const QString &name) const
{
    for (const QString &line : m_params) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq >= 0 && line.left(eq).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(eq + 1);
    }
    return {};
}

void Connection::setConnected(bool on)
{
    if (!on) {
        if (m_backend)
            m_backend->close();
        return;
    }
    if (connected())
        return;
    if (!m_backend) {
        ConnectionParams p;
        p.alias = m_alias;
        p.driverName = m_driver;
        p.serverName = paramValue(QStringLiteral("SERVER NAME"));
        p.userName = paramValue(QStringLiteral("USER NAME"));
        p.password = paramValue(QStringLiteral("PASSWORD"));
        m_backend = selectBackend(p);
    }
    m_backend->open();
}

bool Connection::connected() const
{
    return m_backend && m_backend->isOpen();
}

void Connection::setBackend(std::unique_ptr<Backend> backend)
{
    if (m_backend)
        m_backend->close();
    m_backend = std::move(backend);
}

Connection *Connection::find(const QString &alias)
{
    for (const QPointer<Connection> &c : registry()) {
        if (c && c->aliasName().compare(alias, Qt::CaseInsensitive) == 0)
            return c.data();
    }
    return nullptr;
}

} // namespace tipdesk::db
