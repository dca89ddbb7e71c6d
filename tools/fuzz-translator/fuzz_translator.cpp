// Feeds arbitrary text to the translator and the date mask code, and runs every translation that
// succeeds on a small in-memory database of the system's tables holding extreme values. Every
// input must end in rows or a DbError: never in a crash, undefined behaviour or a runaway query.

#include "app/Schema.h"
#include "app/Tables.h"
#include "platform/db/Clock.h"
#include "platform/db/DbError.h"
#include "platform/db/EmbeddedBackend.h"
#include "platform/db/OracleFunctions.h"
#include "platform/db/Translator.h"

#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <sqlite3.h>

namespace {

using namespace tipdesk;

// SQLite literals a column of each kind holds in some row.
const QStringList kNumbers = {QStringLiteral("0"),
                              QStringLiteral("-1"),
                              QStringLiteral("9223372036854775807"),
                              QStringLiteral("-9223372036854775808"),
                              QStringLiteral("1.7976931348623157e308"),
                              QStringLiteral("-1e300"),
                              QStringLiteral("4.9e-324"),
                              QStringLiteral("1e-130"),
                              QStringLiteral("-0.5"),
                              QStringLiteral("NULL"),
                              QStringLiteral("'12'"),
                              QStringLiteral("'x'")};
const QStringList kTexts = {QStringLiteral("''"),
                            QStringLiteral("' '"),
                            QStringLiteral("NULL"),
                            QStringLiteral("'O''Neil 100%_'"),
                            QStringLiteral("'교통정보 제보'"),
                            QStringLiteral("'-1.5e3'"),
                            QStringLiteral("CAST(X'FF00FE' AS TEXT)"),
                            QStringLiteral("char(10, 9, 0, 1114111)"),
                            QStringLiteral("'2004-01-07 09:05:00'"),
                            QStringLiteral("printf('%.3000c', '가')"),
                            QStringLiteral("1e308"),
                            QStringLiteral("-9223372036854775808")};
const QStringList kCodes = {QStringLiteral("'1'"),  QStringLiteral("'6'"), QStringLiteral("'Z'"),
                            QStringLiteral("NULL"), QStringLiteral("''"),  QStringLiteral("'가'"),
                            QStringLiteral("8"),    QStringLiteral("'%'")};
const QStringList kDates = {QStringLiteral("'0001-01-01 00:00:00'"),
                            QStringLiteral("'9999-12-31 23:59:59'"),
                            QStringLiteral("NULL"),
                            QStringLiteral("'2004-02-29 12:00:00'"),
                            QStringLiteral("'2004-01-07'"),
                            QStringLiteral("'2004-13-45 99:99:99'"),
                            QStringLiteral("'garbage'"),
                            QStringLiteral("''"),
                            QStringLiteral("20040107")};
const QStringList kDayKeys = {QStringLiteral("'00010101'"), QStringLiteral("'99991231'"), QStringLiteral("'20040229'"),
                              QStringLiteral("'200402'"),   QStringLiteral("''"),         QStringLiteral("'abcdefgh'"),
                              QStringLiteral("'2004가'"),   QStringLiteral("20040107")};

const QStringList &valuesOf(app::ColumnKind kind)
{
    switch (kind) {
    case app::ColumnKind::Integer:
        return kNumbers;
    case app::ColumnKind::Code:
        return kCodes;
    case app::ColumnKind::DateTime:
        return kDates;
    case app::ColumnKind::DayKey:
        return kDayKeys;
    case app::ColumnKind::Text:
        break;
    }
    return kTexts;
}

// Rows whose columns walk through their kind's values, each column one row ahead of the one before,
// so that every value stands in every column and joins meet both matches and misses. Rows breaking
// a key or NOT NULL are skipped.
QString rowsScript()
{
    constexpr int kRows = 12;
    QString script;
    for (const app::TableDef &t : app::tables()) {
        for (int r = 0; r < kRows; ++r) {
            QStringList values;
            for (qsizetype c = 0; c < t.columns.size(); ++c) {
                const QStringList &pool = valuesOf(t.columns[c].kind);
                values.append(pool[(r + c) % pool.size()]);
            }
            script += QStringLiteral("INSERT OR IGNORE INTO %1 VALUES (%2);\n").arg(t.name, values.join(u','));
        }
    }
    return script;
}

const QVariant kParams[] = {QVariant(),
                            QVariant(qint64(0)),
                            QVariant(qint64(-1)),
                            QVariant(std::numeric_limits<qint64>::max()),
                            QVariant(std::numeric_limits<qint64>::min()),
                            QVariant(1e308),
                            QVariant(-4.9e-324),
                            QVariant(0.1),
                            QVariant(QStringLiteral("20040107")),
                            QVariant(QStringLiteral("200401")),
                            QVariant(QStringLiteral("")),
                            QVariant(QStringLiteral("2004-01-07 09:05:00")),
                            QVariant(QStringLiteral("가%_'")),
                            QVariant(QStringLiteral("99999999"))};

// Virtual machine steps one statement may take before it is interrupted (checked every 1000).
constexpr int kStepChecks = 300;
int g_checksLeft = 0;

int progress(void *)
{
    return --g_checksLeft < 0 ? 1 : 0;
}

db::EmbeddedBackend &database()
{
    static db::EmbeddedBackend *backend = [] {
        db::Clock::setFixed(QDateTime(QDate(2004, 1, 7), QTime(12, 0)));
        auto *b = new db::EmbeddedBackend(QStringLiteral(":memory:"));
        b->open();
        b->runScript(app::schemaScript() + rowsScript());
        sqlite3 *h = b->handle();
        // Texts stay small enough that a statement doubling them cannot exhaust memory.
        sqlite3_limit(h, SQLITE_LIMIT_LENGTH, 1 << 20);
        sqlite3_progress_handler(h, 1000, progress, nullptr);
        return b;
    }();
    return *backend;
}

// A translation is one statement: text after it would mean the translator let input escape.
void checkOneStatement(sqlite3 *h, const QString &sql)
{
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    const char *tail = nullptr;
    g_checksLeft = kStepChecks;
    if (sqlite3_prepare_v2(h, text.constData(), int(text.size()), &stmt, &tail) == SQLITE_OK && tail) {
        for (; *tail; ++tail) {
            if (*tail != ' ' && *tail != '\n' && *tail != '\t' && *tail != '\r')
                std::abort();
        }
    }
    sqlite3_finalize(stmt);
}

void execute(const QString &text, const db::Translation &t, uint32_t seed)
{
    db::EmbeddedBackend &backend = database();
    checkOneStatement(backend.handle(), t.sql);
    db::ParamValues params;
    for (qsizetype i = 0; i < t.paramNames.size(); ++i)
        params.insert(t.paramNames[i], kParams[(seed + uint32_t(i) * 7u) % std::size(kParams)]);
    backend.runScript(QStringLiteral("BEGIN"));
    g_checksLeft = kStepChecks;
    try {
        // The text goes in as it was given, through the backend's own translation and binding.
        if (t.isQuery)
            (void)backend.select(text, params);
        else
            (void)backend.exec(text, params);
    } catch (const db::DbError &) {
    }
    try {
        backend.runScript(QStringLiteral("ROLLBACK"));
    } catch (const db::DbError &) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    uint32_t seed = 2166136261u;
    for (size_t i = 0; i < size; ++i)
        seed = (seed ^ data[i]) * 16777619u;
    try {
        execute(text, db::translateOracle(text), seed);
    } catch (const db::DbError &) {
    }
    const qsizetype split = text.indexOf(u'|');
    if (split >= 0) {
        try {
            const auto d = db::oracle::parseDate(text.left(split), text.mid(split + 1));
            (void)db::oracle::formatDate(d, text.mid(split + 1));
        } catch (const db::DbError &) {
        }
    }
    return 0;
}
