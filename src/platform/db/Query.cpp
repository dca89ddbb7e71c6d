#include "platform/db/Query.h"

#include "platform/db/Connection.h"
#include "platform/db/DbError.h"

#include <QDateTime>
#include <cmath>

namespace tipdesk::db {

QString Field::displayText(const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        return {};
    switch (v.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::ULongLong:
    case QMetaType::UInt:
        return QString::number(v.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = v.toDouble();
        if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 1e15)
            return QString::number(qint64(d));
        QString s = QString::number(d, 'g', 15);
        if (s.contains(u'e')) {
            // Spell out plain decimals, as a number field's display text does.
            const int exp = int(std::floor(std::log10(std::fabs(d))));
            const int decimals = std::clamp(14 - exp, 0, 30);
            s = QString::number(d, 'f', decimals);
            if (s.contains(u'.')) {
                while (s.endsWith(u'0'))
                    s.chop(1);
                if (s.endsWith(u'.'))
                    s.chop(1);
            }
        }
        return s;
    }
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    default:
        return v.toString();
    }
}

QString Field::asString() const
{
    return displayText(m_value);
}

qint64 Field::asInteger() const
{
    if (isNull())
        return 0;
    if (m_value.typeId() == QMetaType::Double)
        return qint64(m_value.toDouble());
    bool ok = false;
    const qint64 v = m_value.toString().trimmed().toLongLong(&ok);
    if (ok)
        return v;
    const double d = m_value.toString().trimmed().toDouble(&ok);
    if (!ok)
        throw DbError(QStringLiteral("'%1' is not a valid integer value").arg(m_value.toString()));
    return qint64(d);
}

double Field::asFloat() const
{
    if (isNull())
        return 0.0;
    bool ok = false;
    const double d = m_value.toString().trimmed().toDouble(&ok);
    if (!ok && m_value.typeId() != QMetaType::Double && m_value.typeId() != QMetaType::LongLong)
        throw DbError(QStringLiteral("'%1' is not a valid floating point value").arg(m_value.toString()));
    return ok ? d : m_value.toDouble();
}

QStringList scanParameterNames(const QString &sql)
{
    QStringList names;
    const qsizetype n = sql.size();
    auto isIdentStart = [](QChar c) { return c.isLetter() || c == u'_'; };
    auto isIdent = [](QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$' || c == u'#'; };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"') {
            const QChar q = c;
            for (++i; i < n; ++i) {
                if (sql[i] == q) {
                    if (i + 1 < n && sql[i + 1] == q)
                        ++i;
                    else
                        break;
                }
            }
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            while (i < n && sql[i] != u'\n')
                ++i;
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            const qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? n : end + 1;
        } else if (c == u':' && i + 1 < n && isIdentStart(sql[i + 1])) {
            qsizetype j = i + 1;
            while (j < n && isIdent(sql[j]))
                ++j;
            const QString name = sql.mid(i + 1, j - i - 1);
            bool seen = false;
            for (const QString &s : names)
                seen = seen || s.compare(name, Qt::CaseInsensitive) == 0;
            if (!seen)
                names.append(name);
            i = j - 1;
        }
    }
    return names;
}

Query::Query(QObject *parent) : QObject(parent)
{
}

Query::Query(const QString &databaseName, const QStringList &sql, QObject *parent)
    : QObject(parent), m_databaseName(databaseName), m_sql(sql)
{
}

void Query::syncParams()
{
    const QString text = sqlText();
    if (text == m_parsedText && !m_params.isEmpty())
        return;
    m_parsedText = text;
    QList<Param> fresh;
    for (const QString &name : scanParameterNames(text)) {
        Param p(name);
        for (const Param &old : std::as_const(m_params)) {
            if (old.name().compare(name, Qt::CaseInsensitive) == 0)
                p.setValue(old.value());
        }
        fresh.append(p);
    }
    m_params = fresh;
}

Param &Query::paramByName(const QString &name)
{
    syncParams();
    for (Param &p : m_params) {
        if (p.name().compare(name, Qt::CaseInsensitive) == 0)
            return p;
    }
    throw DbError(QStringLiteral("%1: Parameter '%2' not found").arg(objectName(), name));
}

QStringList Query::paramNames() const
{
    return scanParameterNames(sqlText());
}

ParamValues Query::boundValues() const
{
    ParamValues values;
    for (const Param &p : m_params)
        values.insert(p.name().toUpper(), p.value());
    return values;
}

Connection *Query::connection() const
{
    Connection *c = Connection::find(m_databaseName);
    if (!c)
        throw DbError(QStringLiteral("%1: Database '%2' not found").arg(objectName(), m_databaseName));
    return c;
}

void Query::open()
{
    if (m_active)
        return;
    syncParams();
    Connection *c = connection();
    if (!c->connected())
        c->setConnected(true);
    m_result = c->backend()->select(sqlText(), boundValues());
    m_active = true;
    m_row = m_result.rows.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_result.rows.empty();
    emit opened();
}

void Query::execSql()
{
    syncParams();
    Connection *c = connection();
    if (!c->connected())
        c->setConnected(true);
    c->backend()->exec(sqlText(), boundValues());
}

void Query::close()
{
    if (!m_active)
        return;
    m_active = false;
    m_result = ResultSet();
    m_row = -1;
    m_bof = m_eof = true;
    emit closed();
}

void Query::first()
{
    if (!m_active)
        throw DbError(QStringLiteral("%1: Cannot perform this operation on a closed dataset").arg(objectName()));
    m_row = m_result.rows.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_result.rows.empty();
    emit rowChanged(m_row);
}

void Query::next()
{
    if (!m_active)
        throw DbError(QStringLiteral("%1: Cannot perform this operation on a closed dataset").arg(objectName()));
    if (m_eof)
        return;
    m_bof = false;
    if (m_row + 1 < int(m_result.rows.size())) {
        ++m_row;
        emit rowChanged(m_row);
    } else {
        m_eof = true;
    }
}

int Query::fieldIndex(const QString &name) const
{
    for (int i = 0; i < int(m_result.columns.size()); ++i) {
        if (m_result.columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    // Unaliased expressions are named by their text; compare without blanks as well.
    QString squeezed = name;
    squeezed.remove(u' ');
    for (int i = 0; i < int(m_result.columns.size()); ++i) {
        QString c = m_result.columns[i];
        c.remove(u' ');
        if (c.compare(squeezed, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

Field Query::fieldByName(const QString &name) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw DbError(QStringLiteral("%1: Field '%2' not found").arg(objectName(), name));
    return field(i);
}

Field Query::field(int index) const
{
    if (index < 0 || index >= fieldCount())
        throw DbError(QStringLiteral("%1: Field index out of range").arg(objectName()));
    QVariant v;
    if (m_active && m_row >= 0 && m_row < int(m_result.rows.size()))
        v = m_result.rows[size_t(m_row)].value(index);
    return Field(m_result.columns[index], v);
}

QVariant Query::value(int row, int column) const
{
    if (row < 0 || row >= int(m_result.rows.size()))
        return {};
    return m_result.rows[size_t(row)].value(column);
}

} // namespace tipdesk::db
