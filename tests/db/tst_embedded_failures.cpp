// The embedded database when its file is missing, unreadable, not a database, damaged or locked by
// another desk: a Korean error naming the file, the engine's text after it, and the file untouched.
#include "platform/db/DbError.h"
#include "platform/db/EmbeddedBackend.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <functional>
#include <pwd.h>
#include <sqlite3.h>
#include <thread>
#include <unistd.h>

using tipdesk::db::DbError;
using tipdesk::db::EmbeddedBackend;

namespace {

constexpr int kRows = 3000;

void makeDatabase(const QString &path)
{
    EmbeddedBackend::runScript(path, QStringLiteral("CREATE TABLE t (a INTEGER, b TEXT);"
                                                    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                                                    "WHERE i < %1) INSERT INTO t SELECT i, printf('%050d', i) FROM n;")
                                         .arg(kRows));
}

QByteArray fileHash(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "absent";
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex();
}

void overwrite(const QString &path, qint64 at, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.seek(at));
    QCOMPARE(f.write(bytes), bytes.size());
}

void exec(sqlite3 *db, const char *sql)
{
    char *err = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &err);
    const QByteArray text(err ? err : "");
    sqlite3_free(err);
    QVERIFY2(rc == SQLITE_OK, text.constData());
}

// Beside path, the file and the journal a desk leaves when it stops in the middle of a write that
// has already spilled changed pages into the file.
void makeCrashedCopy(const QString &path, const QString &copy)
{
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    exec(db, "PRAGMA cache_size = 2");
    exec(db, "BEGIN");
    exec(db, "UPDATE t SET b = 'changed ' || b");
    QVERIFY(QFile::exists(path + QStringLiteral("-journal")));
    QVERIFY(QFile::copy(path, copy));
    QVERIFY(QFile::copy(path + QStringLiteral("-journal"), copy + QStringLiteral("-journal")));
    exec(db, "ROLLBACK");
    sqlite3_close(db);
}

QString errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const DbError &e) {
        return e.text();
    }
    return QStringLiteral("(no error)");
}

// A second desk holding the file with a write of its own.
struct Writer {
    sqlite3 *db = nullptr;
    explicit Writer(const QString &path)
    {
        sqlite3_open(path.toUtf8().constData(), &db);
        sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
    }
    ~Writer() { sqlite3_close(db); }
    void finish() { sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr); }
};

// Root reads any file: these cases run as an unprivileged user, root kept as the saved user to
// come back to.
struct Unprivileged {
    bool switched = false;
    Unprivileged()
    {
        const passwd *nobody = getpwnam("nobody");
        if (geteuid() == 0 && nobody)
            switched = setresuid(nobody->pw_uid, nobody->pw_uid, 0) == 0;
    }
    ~Unprivileged()
    {
        if (switched)
            QVERIFY(setresuid(0, 0, 0) == 0);
    }
};

} // namespace

class TstEmbeddedFailures : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString pristine()
    {
        const QString path = m_dir.filePath(QStringLiteral("pristine.db"));
        if (!QFile::exists(path))
            makeDatabase(path);
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                        QFile::ExeGroup | QFile::ExeOther));
    }

    void damaged_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<bool>("atOpen");
        QTest::addColumn<QString>("expected");
        const QString notDb = QStringLiteral("데이터베이스 파일이 아닙니다 (file is not a database)");
        const QString damaged = QStringLiteral("데이터베이스 파일이 손상되었습니다 (database disk image is malformed)");
        QTest::newRow("a text file") << "text" << true << notDb;
        QTest::newRow("garbage header") << "header" << true << notDb;
        QTest::newRow("garbage header with a journal beside it") << "header+journal" << true << notDb;
        QTest::newRow("impossible page size") << "pagesize" << true << notDb;
        QTest::newRow("cut inside the header") << "cut50" << true << damaged;
        QTest::newRow("cut in half") << "half" << true << damaged;
        QTest::newRow("garbage in the schema page") << "schema" << true << damaged;
        QTest::newRow("garbage in a page of the table") << "table" << false << damaged;
    }

    void damaged()
    {
        QFETCH(QString, damage);
        QFETCH(bool, atOpen);
        QFETCH(QString, expected);
        const QString path = m_dir.filePath(QStringLiteral("damaged-%1.db").arg(QTest::currentDataTag()));
        const QString journal = path + QStringLiteral("-journal");
        const qint64 size = QFileInfo(pristine()).size();
        if (damage == QLatin1String("header+journal"))
            makeCrashedCopy(pristine(), path);
        else if (damage != QLatin1String("text"))
            QVERIFY(QFile::copy(pristine(), path));
        if (damage == QLatin1String("text")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QStringLiteral("접수 메모: 12시 정각 교통 정보\n").repeated(200).toUtf8());
        } else if (damage.startsWith(QLatin1String("header"))) {
            overwrite(path, 0, QByteArray(100, char(0xA5)));
        } else if (damage == QLatin1String("pagesize")) {
            overwrite(path, 16, QByteArray("\x00\x03", 2));
        } else if (damage == QLatin1String("cut50")) {
            QVERIFY(QFile::resize(path, 50));
        } else if (damage == QLatin1String("half")) {
            QVERIFY(QFile::resize(path, size / 2));
        } else if (damage == QLatin1String("schema")) {
            overwrite(path, 100, QByteArray(300, char(0x5A)));
        } else if (damage == QLatin1String("table")) {
            overwrite(path, size - 3 * 4096, QByteArray(4096, char(0xFF)));
        }
        const QByteArray before = fileHash(path);
        const QByteArray journalBefore = fileHash(journal);

        {
            EmbeddedBackend backend(path);
            if (atOpen) {
                QCOMPARE(errorOf([&] { backend.open(); }), path + QStringLiteral(": ") + expected);
                QVERIFY(!backend.isOpen());
            } else {
                backend.open();
                // The scan meets the damage after some rows: none of them come back.
                QCOMPARE(errorOf([&] { backend.select(QStringLiteral("SELECT a, b FROM t"), {}); }),
                         path + QStringLiteral(": ") + expected);
                QCOMPARE(errorOf([&] { backend.runScript(QStringLiteral("DELETE FROM t WHERE a > 0")); }),
                         path + QStringLiteral(": ") + expected);
            }
        }
        QCOMPARE(fileHash(path), before);
        QCOMPARE(fileHash(journal), journalBefore);
    }

    // A journal beside a real database is the one a desk stopped mid-write left: the next open
    // rolls it back and sees the data as it was before that write.
    void crashedWriterRolledBack()
    {
        const QString path = m_dir.filePath(QStringLiteral("crashed.db"));
        makeCrashedCopy(pristine(), path);
        QVERIFY(fileHash(path) != fileHash(pristine()));
        EmbeddedBackend backend(path);
        backend.open();
        const auto rs = backend.select(QStringLiteral("SELECT count(*) FROM t WHERE b LIKE 'changed%'"), {});
        QCOMPARE(rs.rows.at(0).at(0).toLongLong(), 0);
        QCOMPARE(backend.select(QStringLiteral("SELECT a FROM t"), {}).rows.size(), size_t(kRows));
    }

    void cannotOpen_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        const QString missing = QStringLiteral("데이터베이스 파일이 없습니다 (unable to open database file)");
        QTest::newRow("no such file") << "nothere.db" << missing;
        QTest::newRow("no such folder") << "nofolder/nothere.db" << missing;
        QTest::newRow("a folder") << "folder.db" << QStringLiteral("데이터베이스 파일이 아니라 폴더입니다");
        QTest::newRow("no permission")
            << "locked-away.db"
            << QStringLiteral("데이터베이스 파일을 읽을 권한이 없습니다 (unable to open database file)");
    }

    void cannotOpen()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        const QString path = m_dir.filePath(name);
        QByteArray before = "absent";
        if (name == QLatin1String("folder.db")) {
            QVERIFY(QDir(m_dir.path()).mkpath(name));
        } else if (name == QLatin1String("locked-away.db")) {
            QVERIFY(QFile::copy(pristine(), path));
            before = fileHash(path);
            QVERIFY(QFile::setPermissions(path, {}));
        }
        QString text;
        {
            Unprivileged unprivileged;
            EmbeddedBackend backend(path);
            text = errorOf([&] { backend.open(); });
        }
        QCOMPARE(text, path + QStringLiteral(": ") + expected);
        if (name == QLatin1String("locked-away.db"))
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
        // Opening never creates: no empty database, no folder.
        QCOMPARE(fileHash(path), before);
        QCOMPARE(QDir(m_dir.filePath(QStringLiteral("nofolder"))).exists(), false);
    }

    void lockedByAnotherDesk_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<bool>("released");
        QTest::newRow("open, the write finishes") << "open" << true;
        QTest::newRow("read, the write finishes") << "read" << true;
        QTest::newRow("write, the other write finishes") << "write" << true;
        QTest::newRow("open, the write goes on") << "open" << false;
        QTest::newRow("read, the write goes on") << "read" << false;
        QTest::newRow("write, the other write goes on") << "write" << false;
    }

    void lockedByAnotherDesk()
    {
        QFETCH(QString, what);
        QFETCH(bool, released);
        const QString path = m_dir.filePath(QStringLiteral("shared-%1.db").arg(QTest::currentDataTag()));
        QVERIFY(QFile::copy(pristine(), path));
        EmbeddedBackend backend(path);
        if (what != QLatin1String("open"))
            backend.open();
        Writer other(path);
        std::thread finisher;
        if (released) {
            finisher = std::thread([&other] {
                std::this_thread::sleep_for(std::chrono::milliseconds(EmbeddedBackend::kBusyTimeoutMs / 10));
                other.finish();
            });
        }
        const QString text = errorOf([&] {
            if (what == QLatin1String("open"))
                backend.open();
            else if (what == QLatin1String("read"))
                QCOMPARE(backend.select(QStringLiteral("SELECT a, b FROM t"), {}).rows.size(), size_t(kRows));
            else
                backend.runScript(QStringLiteral("UPDATE t SET b = 'mine'"));
        });
        if (finisher.joinable())
            finisher.join();
        if (released) {
            QCOMPARE(text, QStringLiteral("(no error)"));
            return;
        }
        QCOMPARE(text, path + QStringLiteral(
                                  ": 다른 곳에서 쓰고 있어 데이터베이스 파일이 잠겨 있습니다 (database is locked)"));
        other.finish();
        // The desk goes on once the other write is over; the refused write left nothing behind.
        if (!backend.isOpen())
            backend.open();
        const auto rs = backend.select(QStringLiteral("SELECT count(*) FROM t WHERE b = 'mine'"), {});
        QCOMPARE(rs.rows.at(0).at(0).toLongLong(), 0);
    }
};

QTEST_GUILESS_MAIN(TstEmbeddedFailures)
#include "tst_embedded_failures.moc"
