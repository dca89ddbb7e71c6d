// The command-line tools, the built executables, run in a bare environment (a home folder and
// nothing else: no XDG_RUNTIME_DIR, no display, no platform): a normal run prints only what the
// tool says it prints, and a bad file or argument is named in Korean with a non-zero exit.
#include "DemoDb.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString toolPath(const QString &name)
{
    static const QHash<QString, QString> paths{
        {QStringLiteral("tipdesk-report"), QStringLiteral(TOOL_TIPDESK_REPORT)},
        {QStringLiteral("tipdesk-sql"), QStringLiteral(TOOL_TIPDESK_SQL)},
        {QStringLiteral("tipdesk-demo-db"), QStringLiteral(TOOL_TIPDESK_DEMO_DB)},
        {QStringLiteral("tipdesk-aggregate"), QStringLiteral(TOOL_TIPDESK_AGGREGATE)},
        {QStringLiteral("bench-db"), QStringLiteral(TOOL_BENCH_DB)},
        {QStringLiteral("bench-kinds"), QStringLiteral(TOOL_BENCH_KINDS)},
        {QStringLiteral("bench-browser"), QStringLiteral(TOOL_BENCH_BROWSER)},
        {QStringLiteral("bench-report"), QStringLiteral(TOOL_BENCH_REPORT)},
        {QStringLiteral("load-desk"), QStringLiteral(TOOL_LOAD_DESK)},
    };
    return paths.value(name);
}

struct Run {
    int exitCode = -1;
    QStringList out;
    QStringList err;
};

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

} // namespace

class TstToolOutput : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void normalRunPrintsOnlyItsOutput_data();
    void normalRunPrintsOnlyItsOutput();
    void failureIsNamedInKorean_data();
    void failureIsNamedInKorean();

private:
    Run run(const QString &tool, QStringList args, const QString &home);
    QString expand(QString text) const;

    QTemporaryDir m_dir;
    QString m_db;        // a small demo database
    QString m_deskHome;  // a home whose data folder holds the desk's database
    QString m_emptyHome; // a home without any
    QString m_notDb;     // a text file
    QString m_damaged;   // the first page of a database alone
    QString m_missing;   // a path where nothing is
    QByteArray m_notDbBytes, m_damagedBytes;
};

void TstToolOutput::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_db = m_dir.filePath(QStringLiteral("demo.db"));
    tipdesk::demo::buildDemoDb(tipdesk::demo::DemoOptions::smallest(m_db, QDate(2024, 1, 5)));

    m_deskHome = m_dir.filePath(QStringLiteral("desk-home"));
    m_emptyHome = m_dir.filePath(QStringLiteral("empty-home"));
    QVERIFY(QDir().mkpath(m_emptyHome));
    writeFile(m_deskHome + QStringLiteral("/.local/share/tipdesk/tipdesk.db"), readFile(m_db));

    m_notDb = m_dir.filePath(QStringLiteral("notes.db"));
    m_notDbBytes = "these are notes, not a database\n";
    writeFile(m_notDb, m_notDbBytes);
    writeFile(m_dir.filePath(QStringLiteral("empty.db")), {}); // a database without tables
    m_damaged = m_dir.filePath(QStringLiteral("damaged.db"));
    m_damagedBytes = readFile(m_db).left(4096);
    writeFile(m_damaged, m_damagedBytes);
    m_missing = m_dir.filePath(QStringLiteral("nowhere/missing.db"));
}

QString TstToolOutput::expand(QString text) const
{
    return text.replace(QStringLiteral("@DB@"), m_db)
        .replace(QStringLiteral("@NOTDB@"), m_notDb)
        .replace(QStringLiteral("@EMPTYDB@"), m_dir.filePath(QStringLiteral("empty.db")))
        .replace(QStringLiteral("@DAMAGED@"), m_damaged)
        .replace(QStringLiteral("@MISSING@"), m_missing)
        .replace(QStringLiteral("@EMPTYHOME@"), m_emptyHome)
        .replace(QStringLiteral("@DESKHOME@"), m_deskHome)
        .replace(QStringLiteral("@OUT@"), m_dir.filePath(QStringLiteral("out")));
}

Run TstToolOutput::run(const QString &tool, QStringList args, const QString &home)
{
    for (QString &a : args)
        a = expand(a);
    QProcess p;
    QProcessEnvironment env; // nothing inherited
    env.insert(QStringLiteral("HOME"), home);
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(m_dir.path());
    p.start(toolPath(tool), args);
    if (!p.waitForFinished(300000)) { // a guard against a hang, not a measure
        p.kill();
        p.waitForFinished();
        return {};
    }
    Run r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    r.err = QString::fromUtf8(p.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
    return r;
}

void TstToolOutput::normalRunPrintsOnlyItsOutput_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("firstOut");    // a pattern for the first line on standard output
    QTest::addColumn<QString>("progress");    // a pattern every line on standard error matches; empty: none
    QTest::addColumn<QString>("fileWritten"); // a file the run must have written, or empty

    QTest::newRow("report: list") << "tipdesk-report" << QStringList{"--list"} << "^0 P TfStatRepCoumm "
                                  << ""
                                  << "";
    QTest::newRow("report: text dump") << "tipdesk-report"
                                       << QStringList{"--kind",     "0",    "--start", "20240104",
                                                      "--database", "@DB@", "--text",  "@OUT@/kind0.txt"}
                                       << "^@OUT@/kind0.txt$"
                                       << ""
                                       << "@OUT@/kind0.txt";
    QTest::newRow("report: PDF, with fonts")
        << "tipdesk-report"
        << QStringList{"--kind", "12", "--start", "20240104", "--database", "@DB@", "--pdf", "@OUT@/kind12.pdf"}
        << "^@OUT@/kind12.pdf$"
        << ""
        << "@OUT@/kind12.pdf";
    // The desk's own database, found in the data folder as the program finds it.
    QTest::newRow("report: the desk's database")
        << "tipdesk-report" << QStringList{"--kind", "0", "--start", "20240104", "--text", "@OUT@/desk0.txt"}
        << "^@OUT@/desk0.txt$"
        << ""
        << "@OUT@/desk0.txt";
    // The export goes to the user's documents folder, made when missing, never beside the program.
    QTest::newRow("report: export") << "tipdesk-report"
                                    << QStringList{"--kind",   "21",         "--start", "20240103", "--end",
                                                   "20240104", "--database", "@DB@",    "--export"}
                                    << "^@DESKHOME@/Documents/[^/]+\\.txt$"
                                    << ""
                                    << "";
    QTest::newRow("sql: a count") << "tipdesk-sql"
                                  << QStringList{"--database", "@DB@", "select count(*) from report_requisition"}
                                  << "^COUNT\\(\\*\\)$"
                                  << ""
                                  << "";
    QTest::newRow("sql: the desk's database")
        << "tipdesk-sql" << QStringList{"select count(*) from dual"} << "^COUNT\\(\\*\\)$"
        << ""
        << "";
    QTest::newRow("sql: translation") << "tipdesk-sql" << QStringList{"--translate", "select nvl(a, 0) from t"}
                                      << "^SELECT "
                                      << ""
                                      << "";
    // Its progress goes to standard error, as it says; nothing else does.
    QTest::newRow("demo-db: build")
        << "tipdesk-demo-db"
        << QStringList{"--out", "@OUT@/new.db", "--days", "3", "--per-day", "10", "--until", "20240105"}
        << "^@OUT@/new.db: \\d+ reports from 2024-01-03 to 2024-01-05"
        << "^(\\d+/3 days, \\d+ reports, [0-9.]+ s|deriving the statistics|building the indexes)$"
        << "@OUT@/new.db";
    QTest::newRow("aggregate: the desk's database")
        << "tipdesk-aggregate" << QStringList{"--from", "20240104", "--to", "20240104"}
        << "^2024-01-04  보고 \\d+건  통계 \\d+행$"
        << ""
        << "";
    QTest::newRow("bench-db") << "bench-db" << QStringList{"--database", "@DB@"} << "."
                              << ""
                              << "";
    QTest::newRow("bench-kinds") << "bench-kinds" << QStringList{"--database", "@DB@", "--day", "20240104"}
                                 << "^database @DB@: "
                                 << ""
                                 << "";
    QTest::newRow("bench-browser") << "bench-browser" << QStringList{"--database", "@DB@"} << "^newest report "
                                   << ""
                                   << "";
    QTest::newRow("bench-report") << "bench-report" << QStringList{"200"} << "."
                                  << ""
                                  << "";
}

void TstToolOutput::normalRunPrintsOnlyItsOutput()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, args);
    QFETCH(QString, firstOut);
    QFETCH(QString, progress);
    QFETCH(QString, fileWritten);
    QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("out"))));

    const Run r = run(tool, args, m_deskHome);
    QVERIFY2(r.exitCode == 0, qPrintable(QStringLiteral("exit %1: %2").arg(r.exitCode).arg(r.err.join(u'\n'))));
    QVERIFY2(!r.out.isEmpty() && QRegularExpression(expand(firstOut)).match(r.out.first()).hasMatch(),
             qPrintable(r.out.join(u'\n')));
    if (progress.isEmpty()) {
        QCOMPARE(r.err, QStringList());
    } else {
        const QRegularExpression line(progress);
        for (const QString &l : r.err)
            QVERIFY2(line.match(l).hasMatch(), qPrintable(l));
    }
    if (!fileWritten.isEmpty())
        QVERIFY(QFileInfo(expand(fileWritten)).size() > 0);
    if (args.contains(QStringLiteral("--export")))
        QVERIFY(QFileInfo(r.out.first()).size() > 0);
}

void TstToolOutput::failureIsNamedInKorean_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("home"); // desk | empty
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("firstErr"); // how standard error begins

    const QStringList report{"--kind", "0", "--start", "20240104", "--text", "@OUT@/bad.txt", "--database"};
    const QStringList sql{"select count(*) from dual", "--database"};
    QTest::newRow("report: not a database") << "tipdesk-report" << report + QStringList{"@NOTDB@"} << "desk" << 1
                                            << "@NOTDB@: 데이터베이스 파일이 아닙니다";
    QTest::newRow("report: damaged") << "tipdesk-report" << report + QStringList{"@DAMAGED@"} << "desk" << 1
                                     << "@DAMAGED@: 데이터베이스 파일이 손상되었습니다";
    QTest::newRow("report: missing") << "tipdesk-report" << report + QStringList{"@MISSING@"} << "desk" << 1
                                     << "@MISSING@: 데이터베이스 파일이 없습니다";
    QTest::newRow("report: no database in the data folder")
        << "tipdesk-report" << report.mid(0, report.size() - 1) << "empty" << 1
        << "@EMPTYHOME@/.local/share/tipdesk/tipdesk.db: 데이터베이스 파일이 없습니다";
    QTest::newRow("report: bad option") << "tipdesk-report" << QStringList{"--bogus"} << "desk" << 2
                                        << "알 수 없는 옵션입니다: --bogus";
    QTest::newRow("report: bad day") << "tipdesk-report" << QStringList{"--kind", "0", "--start", "2024"} << "desk" << 2
                                     << "--start 에는 날짜 YYYYMMDD 를 주십시오";
    QTest::newRow("sql: not a database") << "tipdesk-sql" << sql + QStringList{"@NOTDB@"} << "desk" << 1
                                         << "@NOTDB@: 데이터베이스 파일이 아닙니다";
    QTest::newRow("sql: damaged") << "tipdesk-sql" << sql + QStringList{"@DAMAGED@"} << "desk" << 1
                                  << "@DAMAGED@: 데이터베이스 파일이 손상되었습니다";
    QTest::newRow("sql: missing") << "tipdesk-sql" << sql + QStringList{"@MISSING@"} << "desk" << 1
                                  << "@MISSING@: 데이터베이스 파일이 없습니다";
    QTest::newRow("sql: no database in the data folder")
        << "tipdesk-sql" << sql.mid(0, 1) << "empty" << 1
        << "@EMPTYHOME@/.local/share/tipdesk/tipdesk.db: 데이터베이스 파일이 없습니다";
    QTest::newRow("sql: bad option") << "tipdesk-sql" << QStringList{"--bogus", "select 1 from dual"} << "desk" << 2
                                     << "tipdesk-sql: 알 수 없는 옵션입니다: --bogus";
    const QStringList agg{"--database", "@DB@", "--from"};
    QTest::newRow("aggregate: no such day") << "tipdesk-aggregate" << agg + QStringList{"20240230"} << "desk" << 2
                                            << "tipdesk-aggregate: --from 에는 달력에 있는 날짜 YYYYMMDD 를 주십시오";
    QTest::newRow("aggregate: days reversed")
        << "tipdesk-aggregate" << agg + QStringList{"20240105", "--to", "20240104"} << "desk" << 2
        << "tipdesk-aggregate: --from 의 날짜(2024-01-05)가 --to 의 날짜(2024-01-04)보다 늦습니다";
    QTest::newRow("aggregate: an open day")
        << "tipdesk-aggregate" << agg + QStringList{"29991231"} << "desk" << 2 << "tipdesk-aggregate: 오늘(";
    QTest::newRow("aggregate: no tables")
        << "tipdesk-aggregate" << QStringList{"--database", "@EMPTYDB@", "--from", "20240104"} << "desk" << 1
        << "@EMPTYDB@: no such table";
    QTest::newRow("demo-db: file there") << "tipdesk-demo-db" << QStringList{"--out", "@NOTDB@"} << "desk" << 2
                                         << "tipdesk-demo-db: @NOTDB@: 파일이 이미 있어 덮어쓰지 않습니다";
    QTest::newRow("demo-db: folder missing")
        << "tipdesk-demo-db" << QStringList{"--out", "@MISSING@/demo.db", "--days", "3", "--per-day", "10"} << "desk"
        << 2 << "tipdesk-demo-db: @MISSING@/demo.db.part: 파일을 만들 수 없습니다";
    QTest::newRow("demo-db: bad option") << "tipdesk-demo-db" << QStringList{"--days"} << "desk" << 2
                                         << "tipdesk-demo-db: --days 에 값을 주십시오";
    QTest::newRow("bench-db: not a database") << "bench-db" << QStringList{"--database", "@NOTDB@"} << "desk" << 1
                                              << "bench-db: @NOTDB@: 데이터베이스 파일이 아닙니다";
    QTest::newRow("bench-kinds: damaged") << "bench-kinds" << QStringList{"--database", "@DAMAGED@"} << "desk" << 1
                                          << "@DAMAGED@: 데이터베이스 파일이 손상되었습니다";
    QTest::newRow("bench-browser: missing") << "bench-browser" << QStringList{"--database", "@MISSING@"} << "desk" << 1
                                            << "bench-browser: @MISSING@: 데이터베이스 파일이 없습니다";
    QTest::newRow("load-desk: no server")
        << "load-desk" << QStringList{"0:20240104"} << "desk" << 2 << "--pg CONNINFO 를 주십시오";
}

void TstToolOutput::failureIsNamedInKorean()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, args);
    QFETCH(QString, home);
    QFETCH(int, exitCode);
    QFETCH(QString, firstErr);

    const Run r = run(tool, args, home == QLatin1String("empty") ? m_emptyHome : m_deskHome);
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY2(!r.err.isEmpty() && r.err.first().startsWith(expand(firstErr)), qPrintable(r.err.join(u'\n')));
    QCOMPARE(r.out, QStringList());
    // Nothing was written where the run failed: the files are as they were, no database was
    // created where one was missing, not even the data folder.
    QCOMPARE(readFile(m_notDb), m_notDbBytes);
    QCOMPARE(readFile(m_damaged), m_damagedBytes);
    QVERIFY(!QFileInfo::exists(QFileInfo(m_missing).absolutePath()));
    QCOMPARE(QDir(m_emptyHome).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("out/bad.txt"))));
}

QTEST_GUILESS_MAIN(TstToolOutput)
#include "tst_tool_output.moc"
