// The server's ora_* functions against the embedded ones: every call runs on an in-memory SQLite
// database with the registered functions and on a throwaway PostgreSQL server with the script,
// and both must give the same value, the same Oracle text of it, or the same Oracle error.
#include "PgCluster.h"
#include "platform/db/Clock.h"
#include "platform/db/DbError.h"
#include "platform/db/OracleFunctions.h"
#include "platform/db/PostgresFunctions.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <sqlite3.h>

using namespace tipdesk;

namespace {

const QString kConnection = QStringLiteral("tst_postgres_functions");
// Counts of the tables, functions and schemas that are not the functions' own.
const QString kOthers =
    QStringLiteral("SELECT (SELECT count(*) FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
                   "WHERE n.nspname <> 'tipdesk_ora' AND n.nspname NOT LIKE 'pg\\_%') || '/' || "
                   "(SELECT count(*) FROM pg_proc p JOIN pg_namespace n ON n.oid = p.pronamespace "
                   "WHERE n.nspname NOT IN ('tipdesk_ora', 'pg_catalog', 'information_schema')) || '/' || "
                   "(SELECT count(*) FROM pg_namespace WHERE nspname <> 'tipdesk_ora' AND nspname NOT LIKE 'pg\\_%')");
const int kSweepRows = 300;
const QDateTime kClock(QDate(2024, 3, 1), QTime(0, 30, 0));

// One result: null, a number, a text, a date, or an Oracle error.
struct Outcome {
    enum Kind { Null, Integer, Real, Text, Date, Error } kind = Null;
    QString text;   // the value (a date as "YYYY-MM-DD HH:MM:SS"), or the error's Oracle line
    QString oracle; // ora_num_text of the value: Oracle's text of it
};

QString oracleLine(const QString &message)
{
    static const QRegularExpression re(QStringLiteral("ORA-\\d{5}[^\\n]*"));
    const QRegularExpressionMatch m = re.match(message);
    return m.hasMatch() ? m.captured(0) : QStringLiteral("not an Oracle error: ") + message;
}

// An argument is written "<type>:<value>": n number (with a point or an exponent it is a double on
// the embedded side), t text, u an untyped literal (text on the embedded side, the server resolves
// the overload), d date; "null" is an untyped null, "null:n"/"null:d" a typed one.
QString serverLiteral(const QString &arg)
{
    if (arg == QLatin1String("null"))
        return QStringLiteral("NULL");
    if (arg == QLatin1String("null:n"))
        return QStringLiteral("NULL::numeric");
    if (arg == QLatin1String("null:d"))
        return QStringLiteral("NULL::timestamp");
    QString v = arg.mid(2);
    v.replace(u'\'', QLatin1String("''"));
    v = u'\'' + v + u'\'';
    switch (arg[0].unicode()) {
    case 'n':
        return v + QLatin1String("::numeric");
    case 't':
        return v + QLatin1String("::text");
    case 'd':
        return v + QLatin1String("::timestamp");
    default:
        return v;
    }
}

void bindEmbedded(sqlite3_stmt *st, int index, const QString &arg)
{
    if (arg.startsWith(QLatin1String("null"))) {
        sqlite3_bind_null(st, index);
        return;
    }
    const QString v = arg.mid(2);
    if (arg[0] == u'n') {
        bool ok = false;
        const qint64 i = v.toLongLong(&ok);
        if (ok)
            sqlite3_bind_int64(st, index, i);
        else
            sqlite3_bind_double(st, index, v.toDouble());
        return;
    }
    const QByteArray b = v.toUtf8();
    sqlite3_bind_text(st, index, b.constData(), int(b.size()), SQLITE_TRANSIENT);
}

QString sqliteText(sqlite3_stmt *st, int column)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, column)),
                             sqlite3_column_bytes(st, column));
}

} // namespace

class TstPostgresFunctions : public QObject {
    Q_OBJECT
    test::PgCluster m_cluster;
    sqlite3 *m_embedded = nullptr;
    QString m_othersBefore; // the server's objects outside tipdesk_ora before the script ran

    Outcome embedded(const QString &function, const QStringList &args);
    Outcome server(const QString &function, const QStringList &args);
    void compare(const QString &function, const QStringList &args, const QString &expected);
    void compareRow(); // compare() of the current data row
    QVariant serverValue(const QString &sql);
    bool embeddedTrue(const QString &sql, const QStringList &args);

private slots:
    void initTestCase();
    void cleanupTestCase();
    void scriptRunsTwiceAndKeepsToItsSchema();
    void numbers_data();
    void numbers();
    void texts_data();
    void texts();
    void masks_data();
    void masks();
    void dates_data();
    void dates();
    void sweep_data();
    void sweep();
    void bounds_data();
    void bounds();
    void inlinedAndFolded_data();
    void inlinedAndFolded();
    void errorOnlyFromARowThatReachesIt();
    void clockFromTheSession();
};

void TstPostgresFunctions::initTestCase()
{
    TIPDESK_START_PG(m_cluster);
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        QSKIP("Qt's PostgreSQL driver (libqt6sql6-psql) is missing: skipped");
    QVERIFY2(m_cluster.createDatabase(QStringLiteral("fns")), qPrintable(m_cluster.error()));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), kConnection);
    db.setHostName(m_cluster.host());
    db.setPort(m_cluster.port());
    db.setUserName(m_cluster.user());
    db.setPassword(m_cluster.password());
    db.setDatabaseName(QStringLiteral("fns"));
    QVERIFY2(db.open(), qPrintable(db.lastError().text()));
    QSqlQuery q(db);
    QVERIFY2(q.exec(QStringLiteral("SET tipdesk.sysdate = '%1'").arg(kClock.toString(u"yyyy-MM-dd HH:mm:ss"))),
             qPrintable(q.lastError().text()));
    m_othersBefore = serverValue(kOthers).toString();
    for (int run = 0; run < 2; ++run)
        QVERIFY2(q.exec(db::postgresFunctionsScript()), qPrintable(q.lastError().text()));
    QVERIFY(q.exec(QStringLiteral("CREATE TEMP TABLE plan_t (n bigint, m numeric, k text COLLATE \"C\", "
                                  "d timestamp(0) without time zone)")));

    QCOMPARE(sqlite3_open(":memory:", &m_embedded), SQLITE_OK);
    db::oracle::registerFunctions(m_embedded);
    db::Clock::setFixed(kClock);
}

void TstPostgresFunctions::cleanupTestCase()
{
    db::Clock::clearFixed();
    if (m_embedded)
        sqlite3_close(m_embedded);
    if (QSqlDatabase::contains(kConnection))
        QSqlDatabase::database(kConnection, false).close();
    QSqlDatabase::removeDatabase(kConnection);
}

QVariant TstPostgresFunctions::serverValue(const QString &sql)
{
    QSqlQuery q(QSqlDatabase::database(kConnection));
    if (!q.exec(sql) || !q.next()) {
        QTest::qFail(qPrintable(sql + QStringLiteral(": ") + q.lastError().text()), __FILE__, __LINE__);
        return {};
    }
    return q.value(0);
}

// The script ran twice in initTestCase: the second run changed nothing, and nothing outside its
// schema was created.
void TstPostgresFunctions::scriptRunsTwiceAndKeepsToItsSchema()
{
    QCOMPARE(serverValue(QStringLiteral("SELECT tipdesk_ora.version()")).toInt(), db::postgresFunctionsVersion());
    QCOMPARE(serverValue(kOthers).toString(), m_othersBefore);
    QCOMPARE(serverValue(QStringLiteral("SELECT to_regnamespace('tipdesk_ora') IS NOT NULL")).toBool(), true);
    // Nothing the planner must call anew for every row, and nothing that keeps a query off parallel workers.
    QCOMPARE(serverValue(QStringLiteral("SELECT coalesce(string_agg(p.oid::regprocedure::text, ', '), '') "
                                        "FROM pg_proc p WHERE p.pronamespace = 'tipdesk_ora'::regnamespace "
                                        "AND (p.provolatile = 'v' OR p.proparallel <> 's')"))
                 .toString(),
             QString());
}

Outcome TstPostgresFunctions::embedded(const QString &function, const QStringList &args)
{
    QStringList marks;
    for (int i = 1; i <= args.size(); ++i)
        marks.append(QStringLiteral("?%1").arg(i));
    const QString call = function + u'(' + marks.join(QStringLiteral(", ")) + u')';
    const QByteArray sql =
        (QStringLiteral("SELECT ") + call + QStringLiteral(", ora_num_text(") + call + u')').toUtf8();
    sqlite3_stmt *st = nullptr;
    Outcome out;
    if (sqlite3_prepare_v2(m_embedded, sql.constData(), int(sql.size()), &st, nullptr) != SQLITE_OK) {
        out.kind = Outcome::Error;
        out.text = QStringLiteral("not prepared: ") + QString::fromUtf8(sqlite3_errmsg(m_embedded));
        return out;
    }
    for (int i = 0; i < args.size(); ++i)
        bindEmbedded(st, i + 1, args[i]);
    if (sqlite3_step(st) != SQLITE_ROW) {
        out.kind = Outcome::Error;
        out.text = oracleLine(QString::fromUtf8(sqlite3_errmsg(m_embedded)));
    } else {
        switch (sqlite3_column_type(st, 0)) {
        case SQLITE_NULL:
            out.kind = Outcome::Null;
            break;
        case SQLITE_INTEGER:
            out.kind = Outcome::Integer;
            out.text = QString::number(sqlite3_column_int64(st, 0));
            break;
        case SQLITE_FLOAT:
            out.kind = Outcome::Real;
            out.text = QString::number(sqlite3_column_double(st, 0), 'g', 17);
            break;
        default: {
            out.text = sqliteText(st, 0);
            db::oracle::DateTime d;
            static const QStringList dateFunctions = {QStringLiteral("ora_to_date"), QStringLiteral("ora_date_add"),
                                                      QStringLiteral("ora_trunc_date"), QStringLiteral("ora_sysdate")};
            const bool dateResult = dateFunctions.contains(function);
            out.kind = dateResult && db::oracle::DateTime::fromIso(out.text, &d) ? Outcome::Date : Outcome::Text;
        }
        }
        out.oracle = sqliteText(st, 1);
    }
    sqlite3_finalize(st);
    return out;
}

Outcome TstPostgresFunctions::server(const QString &function, const QStringList &args)
{
    QStringList literals;
    for (const QString &a : args)
        literals.append(serverLiteral(a));
    const QString call = QStringLiteral("tipdesk_ora.") + function + u'(' + literals.join(QStringLiteral(", ")) + u')';
    QSqlQuery q(QSqlDatabase::database(kConnection));
    q.setNumericalPrecisionPolicy(QSql::HighPrecision);
    Outcome out;
    if (!q.exec(QStringLiteral("SELECT ") + call + QStringLiteral(", tipdesk_ora.ora_num_text(") + call + u')') ||
        !q.next()) {
        out.kind = Outcome::Error;
        out.text = oracleLine(q.lastError().databaseText());
        return out;
    }
    const QVariant v = q.value(0);
    if (v.isNull()) {
        out.kind = Outcome::Null;
    } else if (v.metaType().id() == QMetaType::QDateTime) {
        out.kind = Outcome::Date;
        out.text = v.toDateTime().toString(u"yyyy-MM-dd HH:mm:ss");
    } else if (q.record().field(0).metaType().id() == QMetaType::Double) {
        out.kind = Outcome::Real; // numeric, its decimal text kept by the precision policy
        out.text = v.toString();
    } else {
        out.kind = Outcome::Text;
        out.text = v.toString();
    }
    out.oracle = q.value(1).toString();
    return out;
}

// The same outcome on both sides; expected, when given, is Oracle's text of the result (or its error line).
void TstPostgresFunctions::compare(const QString &function, const QStringList &args, const QString &expected)
{
    const Outcome e = embedded(function, args);
    const Outcome s = server(function, args);
    const QString call = function + u'(' + args.join(QStringLiteral(", ")) + u')';
    if (e.kind == Outcome::Error || s.kind == Outcome::Error) {
        QVERIFY2(e.kind == s.kind && e.text == s.text, qPrintable(call + QStringLiteral("\n  embedded: ") + e.text +
                                                                  QStringLiteral("\n  server:   ") + s.text));
    } else if (e.kind == Outcome::Integer || e.kind == Outcome::Real) {
        // Value for value: the server's decimal is the double the embedded side holds, exactly.
        QVERIFY2(s.kind == Outcome::Real, qPrintable(call + QStringLiteral(": server gave no number but ") + s.text));
        if (e.kind == Outcome::Integer && !s.text.contains(u'.') && !s.text.contains(u'e'))
            QCOMPARE(s.text, e.text);
        else
            QVERIFY2(s.text.toDouble() == e.text.toDouble(),
                     qPrintable(call + QStringLiteral(": embedded ") + e.text + QStringLiteral(", server ") + s.text));
    } else {
        QVERIFY2(e.kind == s.kind && e.text == s.text,
                 qPrintable(call + QStringLiteral("\n  embedded: ") + e.text + QStringLiteral(" (kind ") +
                            QString::number(e.kind) + QStringLiteral(")\n  server:   ") + s.text +
                            QStringLiteral(" (kind ") + QString::number(s.kind) + u')'));
    }
    QCOMPARE(s.oracle, e.oracle);
    if (!expected.isNull())
        QCOMPARE(e.kind == Outcome::Error ? e.text.left(9) : e.oracle, expected);
}

void TstPostgresFunctions::compareRow()
{
    QFETCH(QString, function);
    QFETCH(QStringList, args);
    QFETCH(QString, expected);
    compare(function, args, expected);
}

namespace {

void addColumns()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("expected");
}

void row(const char *name, const char *function, const QStringList &args, const QString &expected = {})
{
    QTest::newRow(name) << QString::fromLatin1(function) << args << expected;
}

} // namespace

void TstPostgresFunctions::numbers_data()
{
    addColumns();
    // Division: 15 significant digits, exact integral quotients, Oracle's errors.
    row("1/3", "ora_div", {"n:1", "n:3"}, ".333333333333333");
    row("2/3", "ora_div", {"n:2", "n:3"}, ".666666666666667");
    row("29/100", "ora_div", {"n:29", "n:100"}, ".29");
    row("-1/2", "ora_div", {"n:-1", "n:2"}, "-.5");
    row("1/-3", "ora_div", {"n:1", "n:-3"});
    row("6/3 exact", "ora_div", {"n:6", "n:3"}, "2");
    row("6.0/3 through a double", "ora_div", {"n:6.0", "n:3"}, "2");
    row("7/0.1", "ora_div", {"n:7", "n:0.1"}, "70");
    row("0/5", "ora_div", {"n:0", "n:5"}, "0");
    row("half at the 16th digit, odd", "ora_div", {"n:999999999999999", "n:2"});
    row("half at the 16th digit, even", "ora_div", {"n:999999999999997", "n:2"});
    row("quotient past 2^53", "ora_div", {"n:12345678901234567", "n:10"});
    row("int64 max by 1", "ora_div", {"n:9223372036854775807", "n:1"}, "9223372036854775807");
    row("divisor 0", "ora_div", {"n:1", "n:0"}, "ORA-01476");
    row("0/0", "ora_div", {"n:0", "n:0"}, "ORA-01476");
    row("null by 0", "ora_div", {"null:n", "n:0"}, "");
    row("by null", "ora_div", {"n:1", "null"}, "");
    row("overflow", "ora_div", {"n:1e300", "n:1e-10"}, "ORA-01426");
    row("underflow", "ora_div", {"n:1e-300", "n:1e300"}, "0");
    row("wide but fine", "ora_div", {"n:1e200", "n:3e100"});
    // The 15-digit convention on its own (SUM and AVG results).
    row("num 0.1+0.2", "ora_num", {"n:0.30000000000000004"}, ".3");
    row("num 17 digits", "ora_num", {"n:1.2345678901234567"}, "1.23456789012346");
    row("num whole stays exact", "ora_num", {"n:123456789012345678"}, "123456789012345678");
    row("num 1e20", "ora_num", {"n:1e20"}, "100000000000000000000");
    row("num negative tiny", "ora_num", {"n:-1.5e-7"}, "-.00000015");
    row("num null", "ora_num", {"null:n"}, "");
    // TRUNC and ROUND: scaled in doubles, brought to 15 digits before cutting.
    row("trunc 29/100*100", "ora_trunc", {"n:28.999999999999996", "n:1"}, "29");
    row("trunc 2/3*100", "ora_trunc", {"n:66.66666666666667", "n:1"}, "66.6");
    row("trunc negative", "ora_trunc", {"n:-7.89", "n:1"}, "-7.8");
    row("trunc default", "ora_trunc", {"n:7.99"}, "7");
    row("trunc negative places", "ora_trunc", {"n:1234.5678", "n:-2"}, "1200");
    row("trunc whole, negative places", "ora_trunc", {"n:-1250", "n:-2"}, "-1200");
    row("trunc whole stays", "ora_trunc", {"n:5", "n:2"}, "5");
    row("trunc places cut to 0", "ora_trunc", {"n:1.57", "n:-0.5"}, "1");
    row("trunc places clamped", "ora_trunc", {"n:123.456", "n:100"}, "123.456");
    row("trunc tiny", "ora_trunc", {"n:1e-260", "n:2"}, "0");
    row("trunc null places", "ora_trunc", {"n:1.5", "null:n"}, "");
    row("round half up", "ora_round", {"n:2.5"}, "3");
    row("round half away from zero", "ora_round", {"n:-2.5"}, "-3");
    row("round 0.125", "ora_round", {"n:0.125", "n:2"}, ".13");
    row("round 1.005", "ora_round", {"n:1.005", "n:2"}, "1.01");
    row("round 2.675", "ora_round", {"n:2.675", "n:2"}, "2.68");
    row("round 1.45", "ora_round", {"n:1.45", "n:1"}, "1.5");
    row("round to hundreds", "ora_round", {"n:1234.5", "n:-2"}, "1200");
    row("round whole to hundreds", "ora_round", {"n:1250", "n:-2"}, "1300");
    row("round negative whole", "ora_round", {"n:-1250", "n:-2"}, "-1300");
    row("round huge", "ora_round", {"n:1e300", "n:2"});
    row("round overflow", "ora_round", {"n:1e300", "n:30"}, "ORA-01426");
    // Text to number.
    row("to_number", "ora_to_number", {"t:42"}, "42");
    row("to_number blanks", "ora_to_number", {"t: 42 "}, "42");
    row("to_number wide blanks", "ora_to_number", {"t:\u3000\t7\u00a0\n"}, "7");
    row("to_number plus", "ora_to_number", {"t:+5"}, "5");
    row("to_number minus zero", "ora_to_number", {"t:-0"}, "0");
    row("to_number leading zeros", "ora_to_number", {"t:007"}, "7");
    row("to_number trailing point", "ora_to_number", {"t:1."}, "1");
    row("to_number leading point", "ora_to_number", {"t:-.5"}, "-.5");
    row("to_number exponent", "ora_to_number", {"t:1E+05"}, "100000");
    row("to_number small exponent", "ora_to_number", {"t:1.5e-3"}, ".0015");
    row("to_number int64 max", "ora_to_number", {"t:9223372036854775807"}, "9223372036854775807");
    row("to_number past int64", "ora_to_number", {"t:9223372036854775808"});
    row("to_number 20 digits", "ora_to_number", {"t:12345678901234567890"});
    row("to_number 17 digits", "ora_to_number", {"t:0.12345678901234567"}, ".123456789012346");
    row("to_number empty", "ora_to_number", {"t:"}, "");
    row("to_number blanks only", "ora_to_number", {"t:   "}, "ORA-01722");
    row("to_number letters", "ora_to_number", {"t:abc"}, "ORA-01722");
    row("to_number bare exponent", "ora_to_number", {"t:1e"}, "ORA-01722");
    row("to_number grouping", "ora_to_number", {"t:1,000"}, "ORA-01722");
    row("to_number inner blank", "ora_to_number", {"t:1 2"}, "ORA-01722");
    row("to_number hex", "ora_to_number", {"t:0x10"}, "ORA-01722");
    row("to_number full-width", "ora_to_number", {"t:\uff15"}, "ORA-01722");
    row("to_number overflow", "ora_to_number", {"t:1e400"}, "ORA-01722");
    row("to_number underflow", "ora_to_number", {"t:1e-400"}, "ORA-01722");
    row("to_number long mantissa", "ora_to_number", {"t:" + QString(250, u'3') + "e-240"});
    row("to_number untyped", "ora_to_number", {"u:12.50"}, "12.5");
    row("to_number untyped null", "ora_to_number", {"null"}, "");
    row("to_number of a number", "ora_to_number", {"n:1.2345678901234567"}, "1.23456789012346");
    // Number to text.
    for (const char *v : {"0.46",
                          "-0.5",
                          "50",
                          "0",
                          "-7",
                          "123456.789",
                          "-123.456",
                          "0.0001",
                          "0.00001",
                          "1.5e-7",
                          "9.99999999999999e-6",
                          "1e-50",
                          "1.5e-60",
                          "2.5e-60",
                          "-1e-70",
                          "999999999999999.9",
                          "1e15",
                          "1e20",
                          "1.5e20",
                          "12345678901234567",
                          "0.30000000000000004",
                          "0.3333333333333333"})
        row(qPrintable(QStringLiteral("text of %1").arg(QLatin1String(v))), "ora_num_text",
            {QStringLiteral("n:") + QLatin1String(v)});
    // A double's binary digits past the 15th are not the number's.
    row("text of 1e23", "ora_num_text", {"n:1e23"}, "100000000000000000000000");
    row("quotient past 2^53 as text", "ora_div", {"n:987654321098765", "n:0.001"}, "987654321098765000");
    row("text of text", "ora_num_text", {"t:abc"}, "abc");
    row("text of untyped", "ora_num_text", {"u:abc"}, "abc");
    row("text of empty", "ora_num_text", {"t:"}, "");
    row("text of untyped null", "ora_num_text", {"null"}, "");
    row("text of a date", "ora_num_text", {"d:0987-06-05 04:03:02"}, "0987-06-05 04:03:02");
}

void TstPostgresFunctions::numbers()
{
    compareRow();
}

void TstPostgresFunctions::texts_data()
{
    addColumns();
    row("concat", "ora_concat", {"t:a", "t:b"}, "ab");
    row("concat null left", "ora_concat", {"null", "t:일"}, "일");
    row("concat null right", "ora_concat", {"t:a", "null"}, "a");
    row("concat nulls", "ora_concat", {"null", "null"}, "");
    row("concat empties", "ora_concat", {"t:", "t:"}, "");
    row("substr", "ora_substr", {"t:20040107", "n:5", "n:2"}, "01");
    row("substr to end", "ora_substr", {"t:20040107", "n:5"}, "0107");
    row("substr from end", "ora_substr", {"t:20040107", "n:-2"}, "07");
    row("substr start 0", "ora_substr", {"t:abc", "n:0", "n:2"}, "ab");
    row("substr past end", "ora_substr", {"t:abc", "n:4"}, "");
    row("substr before start", "ora_substr", {"t:abc", "n:-4"}, "");
    row("substr length 0", "ora_substr", {"t:abc", "n:2", "n:0"}, "");
    row("substr negative length", "ora_substr", {"t:abc", "n:2", "n:-1"}, "");
    row("substr long length", "ora_substr", {"t:abc", "n:2", "n:100"}, "bc");
    row("substr fractions cut", "ora_substr", {"t:abc", "n:1.9", "n:1.9"}, "a");
    row("substr negative fraction", "ora_substr", {"t:abc", "n:-1.5"}, "c");
    row("substr Hangul", "ora_substr", {"t:일요일", "n:2", "n:1"}, "요");
    row("substr empty", "ora_substr", {"t:", "n:1"}, "");
    row("substr null", "ora_substr", {"null", "n:1"}, "");
    row("substr null start", "ora_substr", {"t:abc", "null:n"}, "");
    row("substr null length", "ora_substr", {"t:abc", "n:1", "null:n"}, "");
}

void TstPostgresFunctions::texts()
{
    compareRow();
}

// Every mask element on dates that move each of them: a leap day, a year's last and first day,
// noon and midnight, a year below 1000, the last date there is.
void TstPostgresFunctions::masks_data()
{
    addColumns();
    const char *dates[] = {"2024-02-29 23:59:30", "2023-12-31 12:00:00", "2024-01-01 00:00:00",
                           "0987-06-05 04:03:02", "2004-01-10 11:59:59", "9999-12-31 23:59:59"};
    const char *masks[] = {"YYYY",
                           "RRRR",
                           "YY",
                           "RR",
                           "MM",
                           "MON",
                           "MONTH",
                           "DD",
                           "DDD",
                           "DDDD",
                           "D",
                           "DAY",
                           "DY",
                           "HH",
                           "HH12",
                           "HH24",
                           "MI",
                           "SS",
                           "SSSS",
                           "AM",
                           "PM",
                           "FMDD",
                           "YYYYMMDDHH24MISS",
                           "yyyy-mm-dd hh24:mi:ss",
                           "Dy Day dY",
                           "HH:MI:SS AM",
                           "YYYY\"년\" MM\"월\" DD\"일\" DAY",
                           "\"YYYY\"YYYY",
                           "/-,.;: ",
                           "\"a\\b\"",
                           "\"say \"\"hi\"",
                           "\"\"",
                           "Q",
                           "WW",
                           "YYY",
                           "A.M.",
                           "\"abc",
                           "YYYY년",
                           "1",
                           "MMM"};
    for (const char *d : dates) {
        for (const char *m : masks) {
            QTest::addRow("%s | %s", d, m)
                << QStringLiteral("ora_to_char_date")
                << QStringList{QStringLiteral("d:") + QLatin1String(d), QStringLiteral("t:") + QString::fromUtf8(m)}
                << QString();
        }
    }
    row("day name", "ora_to_char_date", {"d:2024-02-29 10:00:00", "t:DAY DY D"}, "목요일 목 5");
    row("meridian", "ora_to_char_date", {"d:2024-02-29 12:00:00", "t:HH AM"}, "12 오후");
    row("month name", "ora_to_char_date", {"d:2024-02-29 12:00:00", "t:MON"}, "2월");
    row("day of year", "ora_to_char_date", {"d:2023-12-31 12:00:00", "t:DDD"}, "365");
    row("unknown element", "ora_to_char_date", {"d:2023-12-31 12:00:00", "t:Q"}, "ORA-01821");
    row("null date, unknown element", "ora_to_char_date", {"null:d", "t:Q"}, "");
    row("null mask", "ora_to_char_date", {"d:2023-12-31 12:00:00", "null"}, "");
    row("empty literal", "ora_to_char_date", {"d:2023-12-31 12:00:00", "t:\"\""}, "");
    // A date held as the embedded file's text.
    for (const char *t : {"2004-01-07", "2004-01-07 09:05", "2004-01-07T09:05:01", "2004-01-07 09:05:01 and a remark",
                          "2004-02-30", "2004-1-07", "2004-01-07 ", "0000-01-01", "2004-01-07 24:00", "07/01/2004"})
        QTest::addRow("text %s", t) << QStringLiteral("ora_to_char_date")
                                    << QStringList{QStringLiteral("t:") + QLatin1String(t),
                                                   QStringLiteral("t:YYYYMMDD HH24:MI:SS")}
                                    << QString();
    row("text untyped", "ora_to_char_date", {"u:2004-01-07 09:05", "u:YYYYMMDD HH24:MI:SS"}, "20040107 09:05:00");
    row("text empty", "ora_to_char_date", {"t:", "t:YYYY"}, "");
    row("text null untyped", "ora_to_char_date", {"null", "t:YYYY"}, "");
}

void TstPostgresFunctions::masks()
{
    compareRow();
}

void TstPostgresFunctions::dates_data()
{
    addColumns();
    // TO_DATE, with the clock (2024-03-01 00:30) for what the mask leaves out.
    row("to_date", "ora_to_date", {"t:20240301", "t:YYYYMMDD"}, "2024-03-01 00:00:00");
    row("to_date time", "ora_to_date", {"t:2004-01-07 09:05", "t:YYYY-MM-DD HH24:MI"}, "2004-01-07 09:05:00");
    row("to_date short fields", "ora_to_date", {"t:2004-1-7 9:5:3", "t:YYYY-MM-DD HH24:MI:SS"}, "2004-01-07 09:05:03");
    row("to_date other punctuation", "ora_to_date", {"t:2024/03/01", "t:YYYY-MM-DD"}, "2024-03-01 00:00:00");
    row("to_date punctuation in text only", "ora_to_date", {"t:2024/03/01", "t:YYYYMMDD"}, "2024-03-01 00:00:00");
    row("to_date blanks around", "ora_to_date", {"t:  2024-03-01  ", "t:YYYY-MM-DD"}, "2024-03-01 00:00:00");
    row("to_date day only", "ora_to_date", {"t:15", "t:DD"}, "2024-03-15 00:00:00");
    row("to_date month only", "ora_to_date", {"t:07", "t:MM"}, "2024-07-01 00:00:00");
    row("to_date two-digit year", "ora_to_date", {"t:99-12-31", "t:YY-MM-DD"}, "2099-12-31 00:00:00");
    row("to_date weekday read", "ora_to_date", {"t:2024-03-01 6", "t:YYYY-MM-DD D"}, "2024-03-01 00:00:00");
    row("to_date pm", "ora_to_date", {"t:2024-01-01 01:00 PM", "t:YYYY-MM-DD HH:MI AM"}, "2024-01-01 13:00:00");
    row("to_date 오후", "ora_to_date", {"t:2024-01-01 오후 12:10", "t:YYYY-MM-DD AM HH:MI"}, "2024-01-01 12:10:00");
    row("to_date 12 오전", "ora_to_date", {"t:2024-01-01 12:10 오전", "t:YYYY-MM-DD HH12:MI AM"},
        "2024-01-01 00:10:00");
    row("to_date leap day", "ora_to_date", {"t:2024-02-29", "t:YYYY-MM-DD"}, "2024-02-29 00:00:00");
    row("to_date no leap day", "ora_to_date", {"t:2023-02-29", "t:YYYY-MM-DD"}, "ORA-01839");
    row("to_date month 13", "ora_to_date", {"t:2024-13-01", "t:YYYY-MM-DD"}, "ORA-01843");
    row("to_date month 0", "ora_to_date", {"t:2024-00-01", "t:YYYY-MM-DD"}, "ORA-01843");
    row("to_date day 32", "ora_to_date", {"t:2024-01-32", "t:YYYY-MM-DD"}, "ORA-01847");
    row("to_date year 0", "ora_to_date", {"t:0000-01-01", "t:YYYY-MM-DD"}, "ORA-01841");
    row("to_date hour 24", "ora_to_date", {"t:2024-01-01 24:00", "t:YYYY-MM-DD HH24:MI"}, "ORA-01850");
    row("to_date hour 13 of 12", "ora_to_date", {"t:2024-01-01 13:00", "t:YYYY-MM-DD HH:MI"}, "ORA-01849");
    row("to_date minute 60", "ora_to_date", {"t:2024-01-01 10:60", "t:YYYY-MM-DD HH24:MI"}, "ORA-01851");
    row("to_date second 60", "ora_to_date", {"t:2024-01-01 10:00:60", "t:YYYY-MM-DD HH24:MI:SS"}, "ORA-01852");
    row("to_date weekday 8", "ora_to_date", {"t:8", "t:D"}, "ORA-01839");
    row("to_date no meridian", "ora_to_date", {"t:2024-01-01 01:00 XM", "t:YYYY-MM-DD HH:MI AM"}, "ORA-01855");
    row("to_date text left over", "ora_to_date", {"t:2024-01-01 extra", "t:YYYY-MM-DD"}, "ORA-01830");
    row("to_date letters for digits", "ora_to_date", {"t:abcd", "t:YYYY"}, "ORA-01858");
    row("to_date date field missing", "ora_to_date", {"t:2024", "t:YYYY-MM-DD"}, "ORA-01840");
    row("to_date name element", "ora_to_date", {"t:2024-01-01", "t:YYYY-MM-DD DAY"}, "ORA-01821");
    row("to_date unknown element", "ora_to_date", {"t:2024", "t:Q"}, "ORA-01821");
    row("to_date null", "ora_to_date", {"null", "t:YYYY"}, "");
    row("to_date empty", "ora_to_date", {"t:", "t:YYYY"}, "");
    row("to_date null mask", "ora_to_date", {"t:2024", "null"}, "");
    // The leniency Oracle has: punctuation of the mask left out, trailing time fields left out.
    row("to_date without punctuation", "ora_to_date", {"t:20240301", "t:YYYY-MM-DD"}, "2024-03-01 00:00:00");
    row("to_date without the time", "ora_to_date", {"t:2024-03-01", "t:YYYY-MM-DD HH24:MI:SS"}, "2024-03-01 00:00:00");
    row("to_date hour only", "ora_to_date", {"t:2024-03-01 13", "t:YYYY-MM-DD HH24:MI:SS"}, "2024-03-01 13:00:00");
    row("to_date digits, time cut", "ora_to_date", {"t:2024030112", "t:YYYYMMDDHH24MISS"}, "2024-03-01 12:00:00");
    row("to_date quoted words", "ora_to_date", {"t:2024년03월01일", "t:YYYY\"년\"MM\"월\"DD\"일\""},
        "2024-03-01 00:00:00");
    row("to_date quoted letter", "ora_to_date", {"t:2024-03-01t10:00", "t:YYYY-MM-DD\"T\"HH24:MI"},
        "2024-03-01 10:00:00");
    row("to_date quoted letter missing", "ora_to_date", {"t:2024-03-01 10:00", "t:YYYY-MM-DD\"T\"HH24:MI"},
        "ORA-01861");
    row("to_date name element before bad text", "ora_to_date", {"t:abcd", "t:YYYY DAY"}, "ORA-01821");
    row("to_date without meridian", "ora_to_date", {"t:2024-03-01 01:30", "t:YYYY-MM-DD HH:MI AM"},
        "2024-03-01 01:30:00");
    // Day arithmetic.
    row("add a day over the leap day", "ora_date_add", {"d:2024-02-28 23:59:30", "n:1"}, "2024-02-29 23:59:30");
    row("add half a day", "ora_date_add", {"d:2024-02-29 23:59:30", "n:0.5"}, "2024-03-01 11:59:30");
    row("subtract half a day", "ora_date_add", {"d:2024-03-01 00:00:00", "n:-0.5"}, "2024-02-29 12:00:00");
    row("add a year's days", "ora_date_add", {"d:2023-12-31 00:00:00", "n:366"}, "2024-12-31 00:00:00");
    row("add half a second", "ora_date_add", {"d:2024-01-01 00:00:00", "n:0.000005787037037037037"},
        "2024-01-01 00:00:01");
    row("subtract half a second", "ora_date_add", {"d:2024-01-01 00:00:00", "n:-0.000005787037037037037"},
        "2023-12-31 23:59:59");
    row("add a third of a day", "ora_date_add", {"d:2024-01-01 00:00:00", "n:0.3333333333333333"},
        "2024-01-01 08:00:00");
    row("past year 9999", "ora_date_add", {"d:9999-12-31 00:00:00", "n:1"}, "ORA-01841");
    row("before year 1", "ora_date_add", {"d:0001-01-01 00:00:00", "n:-1"}, "ORA-01841");
    row("millions of days", "ora_date_add", {"d:2024-01-01 00:00:00", "n:-10000000"}, "ORA-01841");
    row("add to null", "ora_date_add", {"null:d", "n:1"}, "");
    row("add null", "ora_date_add", {"d:2024-01-01 00:00:00", "null:n"}, "");
    row("days between", "ora_date_diff", {"d:2024-03-01 00:00:00", "d:2024-02-01 00:00:00"}, "29");
    row("days and a half", "ora_date_diff", {"d:2024-03-01 12:00:00", "d:2024-02-01 00:00:00"}, "29.5");
    row("one second", "ora_date_diff", {"d:2024-01-01 00:00:01", "d:2024-01-01 00:00:00"}, ".0000115740740740741");
    row("backwards", "ora_date_diff", {"d:2023-12-31 18:00:00", "d:2024-01-01 00:00:00"}, "-.25");
    row("across centuries", "ora_date_diff", {"d:9999-12-31 23:59:59", "d:0001-01-01 00:00:00"});
    row("diff null", "ora_date_diff", {"null:d", "d:2024-01-01 00:00:00"}, "");
    row("trunc date", "ora_trunc_date", {"d:2024-02-29 23:59:30"}, "2024-02-29 00:00:00");
    row("trunc null date", "ora_trunc_date", {"null:d"}, "");
}

void TstPostgresFunctions::dates()
{
    compareRow();
}

// Numbers of every size and length, drawn from a fixed seed: the hand-picked rows above cannot
// foresee every double whose 15-digit rounding or printing takes another path.
void TstPostgresFunctions::sweep_data()
{
    addColumns();
    QRandomGenerator random(20240301);
    auto number = [&random] {
        QString digits;
        const int length = random.bounded(1, 18);
        for (int i = 0; i < length; ++i)
            digits += QChar(u'0' + random.bounded(i == 0 ? 1 : 0, 10));
        // Written out in full, so that a whole number is an integer on the embedded side as on the server.
        const int point = random.bounded(-20, 26);
        if (point <= 0)
            digits = QStringLiteral("0.") + QString(-point, u'0') + digits;
        else if (point >= digits.size())
            digits += QString(point - digits.size(), u'0');
        else
            digits.insert(point, u'.');
        while (digits.contains(u'.') && (digits.endsWith(u'0') || digits.endsWith(u'.')))
            digits.chop(1);
        return (random.bounded(4) == 0 ? QStringLiteral("-") : QString()) + digits;
    };
    auto whole = [&random] { return QString::number(random.bounded(-999999, 1000000)); };
    for (int i = 0; i < kSweepRows; ++i) {
        const QString x = number();
        QTest::addRow("text %d", i) << QStringLiteral("ora_num_text") << QStringList{QStringLiteral("n:") + x}
                                    << QString();
        QTest::addRow("to_number %d", i) << QStringLiteral("ora_to_number") << QStringList{QStringLiteral("t:") + x}
                                         << QString();
        QTest::addRow("divide %d", i) << QStringLiteral("ora_div")
                                      << QStringList{QStringLiteral("n:") + (i % 2 ? whole() : number()),
                                                     QStringLiteral("n:") + (i % 3 ? whole() : number())}
                                      << QString();
        const QString places = QStringLiteral("n:") + QString::number(random.bounded(-4, 6));
        QTest::addRow("trunc %d", i) << QStringLiteral("ora_trunc") << QStringList{QStringLiteral("n:") + x, places}
                                     << QString();
        QTest::addRow("round %d", i) << QStringLiteral("ora_round") << QStringList{QStringLiteral("n:") + x, places}
                                     << QString();
        QTest::addRow("add days %d", i) << QStringLiteral("ora_date_add")
                                        << QStringList{QStringLiteral("d:2024-02-29 12:00:00"),
                                                       QStringLiteral("n:") + whole() + u'.' +
                                                           QString::number(random.bounded(100000))}
                                        << QString();
    }
}

void TstPostgresFunctions::sweep()
{
    compareRow();
}

bool TstPostgresFunctions::embeddedTrue(const QString &sql, const QStringList &args)
{
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(m_embedded, text.constData(), int(text.size()), &st, nullptr) != SQLITE_OK) {
        QTest::qFail(sqlite3_errmsg(m_embedded), __FILE__, __LINE__);
        return false;
    }
    for (int i = 0; i < args.size(); ++i)
        bindEmbedded(st, i + 1, args[i]);
    const bool yes = sqlite3_step(st) == SQLITE_ROW && sqlite3_column_int(st, 0) == 1;
    sqlite3_finalize(st);
    return yes;
}

// Range bounds select the same rows on both sides: a date against day-key bounds (real keys,
// keys of no real day, keys that are no day key), a text against the end of a prefix.
void TstPostgresFunctions::bounds_data()
{
    QTest::addColumn<QString>("embedded");
    QTest::addColumn<QString>("server");
    QTest::addColumn<QStringList>("args");
    const char *dates[] = {"2024-02-29 00:00:00", "2024-02-29 23:59:59", "2024-03-01 00:00:00", "2023-12-31 23:59:59",
                           "2024-12-31 23:59:59", "2025-01-01 00:00:00", "0001-01-01 00:00:00"};
    const char *keys[] = {"20240229", "20240230", "20240300", "20240000",   "20241300",
                          "00000000", "00010100", "2024022",  "2024-02-29", "abcdefgh"};
    for (const char *d : dates) {
        for (const char *k : keys) {
            for (int upper = 0; upper < 2; ++upper) {
                QTest::addRow("%s %s %s", d, upper ? "<=" : ">=", k)
                    << QStringLiteral("SELECT ?1 %1 ora_daykey_bound(?2, %2)").arg(upper ? "<=" : ">=").arg(upper)
                    << QStringLiteral("SELECT %1::timestamp %2 tipdesk_ora.ora_daykey_bound(%3, %4)")
                           .arg(serverLiteral(QStringLiteral("d:") + QLatin1String(d)),
                                upper ? "<=" : ">=", serverLiteral(QStringLiteral("t:") + QLatin1String(k)))
                           .arg(upper)
                    << QStringList{QStringLiteral("d:") + QLatin1String(d), QStringLiteral("t:") + QLatin1String(k)};
            }
        }
    }
    const QString prefixes[] = {QStringLiteral("ab"), QStringLiteral("제보"), QString()};
    const QString texts[] = {QStringLiteral("ab"),           QStringLiteral("abz"), QStringLiteral("ab\uffff"),
                             QStringLiteral("ab\U0001F600"), QStringLiteral("ac"),  QStringLiteral("제보자"),
                             QStringLiteral("제복"),         QStringLiteral("a")};
    for (const QString &p : prefixes) {
        for (const QString &t : texts) {
            const QString tArg = QStringLiteral("t:") + t, pArg = QStringLiteral("t:") + p;
            QTest::addRow("'%s' below the end of '%s'", qPrintable(t), qPrintable(p))
                << QStringLiteral("SELECT ?1 >= ?2 AND ?1 < ora_prefix_end(?2)")
                << QStringLiteral("SELECT %1 >= %2 AND %1 < tipdesk_ora.ora_prefix_end(%2)")
                       .arg(serverLiteral(tArg), serverLiteral(pArg))
                << QStringList{tArg, pArg};
        }
    }
}

void TstPostgresFunctions::bounds()
{
    QFETCH(QString, embedded);
    QFETCH(QString, server);
    QFETCH(QStringList, args);
    QCOMPARE(serverValue(server).toBool(), embeddedTrue(embedded, args));
}

// The functions the statements call most reach the plan as expressions, not as calls, and a
// day-key bound of constants is one constant an index can use.
void TstPostgresFunctions::inlinedAndFolded_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("absent");
    for (const char *call :
         {"ora_div(n, m)", "ora_num(m)", "ora_trunc(m, 1)", "ora_round(m)", "ora_num_text(m)", "ora_to_number(k)",
          "ora_concat(k, k)", "ora_substr(k, 2, 3)", "ora_to_char_date(d, 'YYYYMMDD')", "ora_to_char_date(d, 'DAY')",
          "ora_to_date(k, 'YYYY')", "ora_date_add(d, m)", "ora_date_diff(d, d)", "ora_trunc_date(d)", "ora_sysdate()",
          "ora_prefix_end(k)"}) {
        const QString c = QLatin1String(call);
        QTest::newRow(call) << QStringLiteral("tipdesk_ora.") + c << c.left(c.indexOf(u'(') + 1);
    }
    QTest::newRow("day-key bound") << QStringLiteral("d >= tipdesk_ora.ora_daykey_bound('20240105', 0)")
                                   << QStringLiteral("ora_daykey_bound(");
}

void TstPostgresFunctions::inlinedAndFolded()
{
    QFETCH(QString, expression);
    QFETCH(QString, absent);
    QSqlQuery q(QSqlDatabase::database(kConnection));
    QVERIFY2(q.exec(QStringLiteral("EXPLAIN VERBOSE SELECT ") + expression + QStringLiteral(" FROM plan_t")),
             qPrintable(q.lastError().text()));
    QString plan;
    while (q.next())
        plan += q.value(0).toString() + u'\n';
    QVERIFY2(!plan.contains(absent), qPrintable(plan));
}

// A failing call in a CASE arm that no row takes fails nothing, as on the embedded side, even
// when its arguments are constants the planner sees.
void TstPostgresFunctions::errorOnlyFromARowThatReachesIt()
{
    const QString arms[] = {QStringLiteral("tipdesk_ora.ora_div(1, 0)"),
                            QStringLiteral("tipdesk_ora.ora_to_number('x')"),
                            QStringLiteral("tipdesk_ora.ora_num_text(tipdesk_ora.ora_date_diff("
                                           "tipdesk_ora.ora_date_add('9999-12-31', 1), '2024-01-01'))"),
                            QStringLiteral("tipdesk_ora.ora_to_char_date(timestamp '2024-01-01', 'Q')"),
                            QStringLiteral("tipdesk_ora.ora_num_text(tipdesk_ora.ora_to_date('x', 'YYYY'))")};
    for (const QString &arm : arms) {
        const QString sql =
            QStringLiteral("SELECT CASE WHEN v = 0 THEN 'none' ELSE %1::text END FROM generate_series(0, 0) AS r(v)")
                .arg(arm);
        QCOMPARE(serverValue(sql).toString(), QStringLiteral("none"));
        QSqlQuery q(QSqlDatabase::database(kConnection));
        QVERIFY2(!q.exec(QStringLiteral("SELECT CASE WHEN v = 1 THEN 'none' ELSE %1::text END "
                                        "FROM generate_series(0, 0) AS r(v)")
                             .arg(arm)),
                 qPrintable(arm));
        QVERIFY2(q.lastError().databaseText().contains(QLatin1String("ORA-0")),
                 qPrintable(q.lastError().databaseText()));
    }
}

void TstPostgresFunctions::clockFromTheSession()
{
    compare(QStringLiteral("ora_sysdate"), {}, QStringLiteral("2024-03-01 00:30:00"));
    QSqlQuery q(QSqlDatabase::database(kConnection));
    QVERIFY(q.exec(QStringLiteral("SET tipdesk.sysdate = ''")));
    QCOMPARE(
        serverValue(QStringLiteral("SELECT tipdesk_ora.ora_sysdate() = date_trunc('second', localtimestamp)")).toBool(),
        true);
    QVERIFY(q.exec(QStringLiteral("RESET tipdesk.sysdate")));
    QCOMPARE(
        serverValue(QStringLiteral("SELECT tipdesk_ora.ora_sysdate() = date_trunc('second', localtimestamp)")).toBool(),
        true);
    QVERIFY(q.exec(QStringLiteral("SET tipdesk.sysdate = '%1'").arg(kClock.toString(u"yyyy-MM-dd HH:mm:ss"))));
}

QTEST_GUILESS_MAIN(TstPostgresFunctions)
#include "tst_postgres_functions.moc"
