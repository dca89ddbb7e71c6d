#include "platform/db/PostgresBackend.h"

#include "platform/db/Clock.h"
#include "platform/db/DbError.h"
#include "platform/db/OracleFunctions.h"
#include "platform/db/PostgresFunctions.h"
#include "platform/db/SqlAst.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

namespace tipdesk::db {

namespace {

const QString kDriver = QStringLiteral("QPSQL");

// The server's message without the driver's decorations ("ERROR:  …", "QPSQL: Unable to …").
QString errorText(const QSqlError &e)
{
    QString text = e.databaseText().trimmed();
    if (text.isEmpty())
        text = e.driverText().trimmed();
    for (const char *prefix : {"ERROR:", "FATAL:"}) {
        if (text.startsWith(QLatin1String(prefix)))
            text = text.mid(int(qstrlen(prefix))).trimmed();
    }
    // The first line is the message; what follows is the server's context (our own functions,
    // the generated text), which means nothing at the desk.
    return text.section(u'\n', 0, 0).trimmed();
}

sql::Type typeOfServerColumn(const QString &dataType)
{
    if (dataType.startsWith(QLatin1String("timestamp")) || dataType == QLatin1String("date"))
        return sql::Type::Date;
    if (dataType == QLatin1String("bigint") || dataType == QLatin1String("integer") ||
        dataType == QLatin1String("smallint") || dataType == QLatin1String("numeric") ||
        dataType == QLatin1String("double precision") || dataType == QLatin1String("real"))
        return sql::Type::Number;
    if (dataType == QLatin1String("text") || dataType.startsWith(QLatin1String("character")))
        return sql::Type::Text;
    return sql::Type::Unknown;
}

// A numeric value as the embedded backend gives it: an integer when whole, else a double kept to
// 15 significant digits.
QVariant numberValue(const QString &text)
{
    bool ok = false;
    QString t = text;
    if (t.contains(u'.')) {
        while (t.endsWith(u'0'))
            t.chop(1);
        if (t.endsWith(u'.'))
            t.chop(1);
    }
    if (!t.contains(u'.')) {
        const qint64 i = t.toLongLong(&ok);
        if (ok && (i < 0 ? -i : i) < qint64(9e15))
            return QVariant(i);
    }
    const double d = text.toDouble(&ok);
    if (!ok)
        return QVariant(text);
    const double r = oracle::round15(d);
    if (r == std::trunc(r) && std::fabs(r) < 9.0e15)
        return QVariant(qint64(r));
    return QVariant(r);
}

QVariant resultValue(const QVariant &v, QMetaType::Type fieldType)
{
    if (v.isNull())
        return QVariant();
    switch (fieldType) {
    case QMetaType::QDateTime:
    case QMetaType::QDate:
        return QVariant(v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    case QMetaType::Double:
        return numberValue(v.toString());
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return QVariant(v.toLongLong());
    default:
        return QVariant(v.toString());
    }
}

} // namespace

QString postgresLiteral(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QStringLiteral("NULL");
    QString text;
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        text = QString::number(value.toLongLong());
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        text = oracle::numberText(value.toDouble());
        break;
    case QMetaType::QDate:
    case QMetaType::QDateTime:
        text = value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        break;
    default:
        text = value.toString();
    }
    // Oracle's empty text is null.
    if (text.isEmpty())
        return QStringLiteral("NULL");
    if (text.contains(QChar(0)))
        throw DbError(QStringLiteral("텍스트 값에 NUL 문자는 쓸 수 없습니다"));
    text.replace(u'\'', QStringLiteral("''"));
    return u'\'' + text + u'\'';
}

PostgresBackend::PostgresBackend(Settings settings)
    : m_connectionName(QStringLiteral("tipdesk-pg-") + QUuid::createUuid().toString(QUuid::WithoutBraces)),
      m_settings(std::move(settings))
{
}

PostgresBackend::~PostgresBackend()
{
    close();
    if (QSqlDatabase::contains(m_connectionName))
        QSqlDatabase::removeDatabase(m_connectionName);
}

void PostgresBackend::open()
{
    if (isOpen())
        return;
    connect();
}

void PostgresBackend::connect()
{
    if (!QSqlDatabase::isDriverAvailable(kDriver))
        throw DbError(QStringLiteral("데이터베이스 드라이버 %1이(가) 설치되어 있지 않습니다").arg(kDriver));
    QSqlDatabase db = QSqlDatabase::contains(m_connectionName) ? QSqlDatabase::database(m_connectionName, false)
                                                               : QSqlDatabase::addDatabase(kDriver, m_connectionName);
    db.setDatabaseName(m_settings.databaseName);
    db.setHostName(m_settings.hostName);
    db.setPort(m_settings.port);
    db.setUserName(m_settings.userName);
    db.setPassword(m_settings.password);
    db.setConnectOptions(QStringLiteral("connect_timeout=10;application_name=tipdesk"));
    if (!db.open()) {
        const QString text = errorText(db.lastError());
        db.close();
        throw DbError(QStringLiteral("%1: %2").arg(describe(), text));
    }
    auto run = [&](const QString &statement) {
        QSqlQuery q(db);
        if (!q.exec(statement))
            throw DbError(QStringLiteral("%1: %2").arg(describe(), errorText(q.lastError())));
        return q;
    };
    try {
        // Text as the statements write it; binary order, as Oracle and the embedded file sort.
        run(QStringLiteral("SET standard_conforming_strings = on"));
        run(QStringLiteral("SET client_encoding = 'UTF8'"));
        // A desk's statements read a few megabytes each: starting parallel workers costs them more
        // than it saves (a ten-year total by correspondent: 38 ms in parallel, 29 ms in one process),
        // and on a shared server the desks already keep its cores busy.
        run(QStringLiteral("SET max_parallel_workers_per_gather = 0"));
        auto current = [&db]() {
            QSqlQuery q(db);
            return q.exec(QStringLiteral("SELECT tipdesk_ora.version()")) && q.next() &&
                   q.value(0).toInt() == postgresFunctionsVersion();
        };
        if (!current()) {
            run(postgresFunctionsScript());
            // The driver reports the script's first statement; an error after it would pass unseen.
            if (!current())
                throw DbError(QStringLiteral("%1: 서버에 tipdesk_ora 함수(버전 %2)를 설치하지 못했습니다")
                                  .arg(describe())
                                  .arg(postgresFunctionsVersion()));
        }
        QSqlQuery cols = run(
            QStringLiteral("SELECT upper(table_name), upper(column_name), data_type FROM information_schema.columns "
                           "WHERE table_schema = current_schema()"));
        ColumnTypeCollector collector;
        while (cols.next())
            collector.add(cols.value(0).toString(), cols.value(1).toString(),
                          typeOfServerColumn(cols.value(2).toString()));
        const QHash<QString, sql::Type> types = collector.result();
        if (types != m_columnTypes || collector.tableColumns() != m_tableColumns) {
            m_columnTypes = types;
            m_tableColumns = collector.tableColumns();
            m_cache.clear();
        }
    } catch (...) {
        db.close();
        throw;
    }
    m_clockSetting.clear();
}

void PostgresBackend::close()
{
    if (QSqlDatabase::contains(m_connectionName))
        QSqlDatabase::database(m_connectionName, false).close();
}

bool PostgresBackend::isOpen() const
{
    return QSqlDatabase::contains(m_connectionName) && QSqlDatabase::database(m_connectionName, false).isOpen();
}

QString PostgresBackend::describe() const
{
    QString where = m_settings.hostName.isEmpty() ? QStringLiteral("localhost") : m_settings.hostName;
    if (m_settings.port > 0)
        where += u':' + QString::number(m_settings.port);
    return QStringLiteral("PostgreSQL %1/%2").arg(where, m_settings.databaseName);
}

const Translation &PostgresBackend::translation(const QString &sql)
{
    auto it = m_cache.find(sql);
    if (it == m_cache.end()) {
        if (m_cache.size() >= kMaxCachedTranslations)
            m_cache.clear();
        it = m_cache.insert(sql, translateOracle(sql, Dialect::Postgres, &m_columnTypes, &m_tableColumns));
    }
    return it.value();
}

namespace {

// The translation with each $N replaced by its value's literal; quoted texts and names are
// passed over.
QString withValues(const Translation &t, const ParamValues &params)
{
    const QString &s = t.sql;
    QString out;
    out.reserve(s.size() + 16 * t.paramNames.size());
    QChar quote;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (!quote.isNull()) {
            out += c;
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == u'\'' || c == u'"') {
            quote = c;
            out += c;
            continue;
        }
        if (c == u'$' && i + 1 < s.size() && s[i + 1].isDigit()) {
            qsizetype j = i + 1;
            while (j < s.size() && s[j].isDigit())
                ++j;
            const int n = s.mid(i + 1, j - i - 1).toInt();
            out += postgresLiteral(n >= 1 && n <= t.paramNames.size() ? params.value(t.paramNames[n - 1]) : QVariant());
            i = j - 1;
            continue;
        }
        out += c;
    }
    return out;
}

} // namespace

QString PostgresBackend::serverText(const QString &sql, const ParamValues &params)
{
    return withValues(translation(sql), params);
}

void PostgresBackend::setClock(const Translation &t)
{
    if (!t.usesClock)
        return;
    // The desk's fixed clock (tests) stands for the server's; otherwise the server's own time.
    const QString wanted =
        Clock::isFixed() ? Clock::now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QStringLiteral("-");
    if (wanted == m_clockSetting)
        return;
    QSqlQuery q(QSqlDatabase::database(m_connectionName, false));
    if (!q.exec(QStringLiteral("SELECT set_config('tipdesk.sysdate', '%1', false)")
                    .arg(wanted == u'-' ? QString() : wanted)))
        throw DbError(errorText(q.lastError()));
    m_clockSetting = wanted;
}

bool PostgresBackend::connectionAlive()
{
    if (!isOpen())
        return false;
    QSqlQuery q(QSqlDatabase::database(m_connectionName, false));
    return q.exec(QStringLiteral("SELECT 1"));
}

// Runs a statement; when it fails because the connection is gone (the server restarted, the
// network dropped), the connection is made again, and a query is run once more: a report asked
// for after the server is back succeeds without restarting the program.
template <typename Run> auto PostgresBackend::withReconnect(const Translation &t, Run run) -> decltype(run())
{
    if (!isOpen() && !m_inTransaction)
        connect();
    try {
        setClock(t);
        return run();
    } catch (const DbError &) {
        // A transaction's work is gone with its connection: no statement may run outside it.
        if (m_inTransaction || connectionAlive())
            throw;
        close();
        try {
            connect();
        } catch (const DbError &) {
        }
        if (!t.isQuery || !isOpen())
            throw;
        setClock(t);
        return run();
    }
}

void PostgresBackend::begin(const QString &job)
{
    if (!isOpen())
        connect();
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.transaction())
        throw DbError(QStringLiteral("%1: %2").arg(describe(), errorText(db.lastError())));
    m_inTransaction = true;
    if (job.isEmpty())
        return;
    QSqlQuery q(db);
    const bool locked = q.exec(QStringLiteral("SELECT pg_try_advisory_xact_lock(hashtext(%1))")
                                   .arg(postgresLiteral(QStringLiteral("tipdesk:") + job))) &&
                        q.next() && q.value(0).toBool();
    if (locked)
        return;
    const QString text = q.lastError().isValid() ? QStringLiteral("%1: %2").arg(describe(), errorText(q.lastError()))
                                                 : jobRunningText(describe(), job);
    rollback();
    throw DbError(text, q.lastError().isValid() ? DbError::Kind::Other : DbError::Kind::JobRunning);
}

void PostgresBackend::commit()
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    m_inTransaction = false;
    if (!db.commit())
        throw DbError(QStringLiteral("%1: %2").arg(describe(), errorText(db.lastError())));
}

void PostgresBackend::rollback()
{
    if (m_inTransaction && isOpen())
        QSqlDatabase::database(m_connectionName, false).rollback();
    m_inTransaction = false;
}

ResultSet PostgresBackend::select(const QString &sql, const ParamValues &params)
{
    const Translation &t = translation(sql);
    const QString text = withValues(t, params);
    return withReconnect(t, [&]() {
        QSqlQuery q(QSqlDatabase::database(m_connectionName, false));
        q.setForwardOnly(true);
        q.setNumericalPrecisionPolicy(QSql::HighPrecision);
        if (!q.exec(text))
            throw DbError(errorText(q.lastError()));
        ResultSet rs;
        const QSqlRecord rec = q.record();
        QList<QMetaType::Type> types;
        for (int i = 0; i < rec.count(); ++i) {
            rs.columns.append(resultColumnName(t, rec.fieldName(i)));
            types.append(QMetaType::Type(rec.field(i).metaType().id()));
        }
        while (q.next()) {
            QVariantList row;
            row.reserve(rec.count());
            for (int i = 0; i < rec.count(); ++i)
                row.append(resultValue(q.value(i), types[i]));
            rs.rows.push_back(std::move(row));
        }
        if (q.lastError().isValid())
            throw DbError(errorText(q.lastError()));
        return rs;
    });
}

int PostgresBackend::exec(const QString &sql, const ParamValues &params)
{
    const Translation &t = translation(sql);
    const QString text = withValues(t, params);
    return withReconnect(t, [&]() {
        QSqlQuery q(QSqlDatabase::database(m_connectionName, false));
        if (!q.exec(text))
            throw DbError(errorText(q.lastError()));
        return q.numRowsAffected();
    });
}

} // namespace tipdesk::db
