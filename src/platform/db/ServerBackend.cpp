#include "platform/db/ServerBackend.h"

#include "platform/db/DbError.h"
#include "platform/db/Query.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

namespace tipdesk::db {

ServerBackend::ServerBackend(QString qtDriver, QString databaseName, QString hostName, int port, QString user,
                             QString password)
    : m_connectionName(QStringLiteral("tipdesk-") + QUuid::createUuid().toString(QUuid::WithoutBraces)),
      m_qtDriver(std::move(qtDriver)), m_databaseName(std::move(databaseName)), m_hostName(std::move(hostName)),
      m_port(port), m_user(std::move(user)), m_password(std::move(password))
{
}

ServerBackend::~ServerBackend()
{
    close();
    if (QSqlDatabase::contains(m_connectionName))
        QSqlDatabase::removeDatabase(m_connectionName);
}

void ServerBackend::open()
{
    if (isOpen())
        return;
    if (!QSqlDatabase::isDriverAvailable(m_qtDriver))
        throw DbError(QStringLiteral("Database driver %1 is not installed").arg(m_qtDriver));
    QSqlDatabase db = QSqlDatabase::contains(m_connectionName)
                          ? QSqlDatabase::database(m_connectionName, false)
                          : QSqlDatabase::addDatabase(m_qtDriver, m_connectionName);
    db.setDatabaseName(m_databaseName);
    if (!m_hostName.isEmpty())
        db.setHostName(m_hostName);
    if (m_port > 0)
        db.setPort(m_port);
    db.setUserName(m_user);
    db.setPassword(m_password);
    if (!db.open())
        throw DbError(db.lastError().text());
}

void ServerBackend::close()
{
    if (QSqlDatabase::contains(m_connectionName))
        QSqlDatabase::database(m_connectionName, false).close();
}

bool ServerBackend::isOpen() const
{
    return QSqlDatabase::contains(m_connectionName) && QSqlDatabase::database(m_connectionName, false).isOpen();
}

namespace {
QSqlQuery prepare(const QString &connection, const QString &sql, const ParamValues &params)
{
    QSqlQuery q(QSqlDatabase::database(connection, false));
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw DbError(q.lastError().text());
    for (const QString &name : scanParameterNames(sql))
        q.bindValue(QLatin1Char(':') + name, params.value(name.toUpper()));
    if (!q.exec())
        throw DbError(q.lastError().text());
    return q;
}
} // namespace

ResultSet ServerBackend::select(const QString &sql, const ParamValues &params)
{
    QSqlQuery q = prepare(m_connectionName, sql, params);
    ResultSet rs;
    const QSqlRecord rec = q.record();
    for (int i = 0; i < rec.count(); ++i)
        rs.columns.append(rec.fieldName(i));
    while (q.next()) {
        QVariantList row;
        row.reserve(rec.count());
        for (int i = 0; i < rec.count(); ++i)
            row.append(q.value(i));
        rs.rows.push_back(std::move(row));
    }
    return rs;
}

int ServerBackend::exec(const QString &sql, const ParamValues &params)
{
    QSqlQuery q = prepare(m_connectionName, sql, params);
    return q.numRowsAffected();
}

void ServerBackend::begin(const QString &)
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.transaction())
        throw DbError(db.lastError().text());
    m_inTransaction = true;
}

void ServerBackend::commit()
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    m_inTransaction = false;
    if (!db.commit())
        throw DbError(db.lastError().text());
}

void ServerBackend::rollback()
{
    if (m_inTransaction)
        QSqlDatabase::database(m_connectionName, false).rollback();
    m_inTransaction = false;
}

QString ServerBackend::describe() const
{
    return m_qtDriver + QLatin1Char(':') + m_databaseName;
}

} // namespace tipdesk::db
