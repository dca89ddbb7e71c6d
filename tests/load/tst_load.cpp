#include "DemoDb.h"
#include "DeskRun.h"
#include "FixtureDb.h"
#include "PgCluster.h"
#include "app/CommonDM.h"
#include "app/PostgresLoad.h"
#include "platform/db/BackendSelector.h"
#include "platform/db/Clock.h"
#include "platform/db/DbError.h"
#include "platform/report/Fonts.h"
#include "platform/report/Layout.h"
#include "platform/ui/UiService.h"
#include "reception/UAcIn.h"
#include "stats/ReportKinds.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

using namespace tipdesk;
using namespace tipdesk::test;

// Eight desks render every report kind at once on one PostgreSQL server while a writer commits
// today's reports: every report finishes with the figures of a desk rendering alone, the
// reception browser's "금일" search sees each committed report, and every failure is accounted
// for. The throughput and the slowest report are printed; no timing decides the outcome.
class TstLoad : public QObject {
    Q_OBJECT
private slots:
    void accountingFindsEveryGap_data();
    void accountingFindsEveryGap();
    void initTestCase();
    void cleanupTestCase();
    void singleDeskRendersEveryKind();
    void eightDesksWhileAWriterCommits();
    void everyDeskHasTheSingleDesksFigures_data();
    void everyDeskHasTheSingleDesksFigures();
    void todaySearchSawEveryCommittedReport();
    void failuresAreAccountedFor_data();
    void failuresAreAccountedFor();

private:
    std::optional<DeskRun> runOneDesk(const QString &conninfo, const QStringList &requests);

    PgCluster m_pg;
    QTemporaryDir m_dir;
    QString m_conninfo;
    QStringList m_requests;
    std::unique_ptr<ui::ScopedRecordingUi> m_boxes;
    std::unique_ptr<app::TDataMod1> m_dataMod;
    std::unique_ptr<reception::TAcIn> m_browser;
    std::optional<DeskRun> m_single;
    QList<DeskRun> m_desks;
    bool m_loadRan = false;
    QStringList m_committed;
    QStringList m_writerErrors;
    QStringList m_unseen; // committed reports a search right after the commit did not list
    int m_searches = 0;
};

namespace {

// Today is the first of a month, so that no request of the desks (the day before, its month,
// the weeks before) reaches the day the writer adds to.
const QDate kToday(2004, 3, 1);
const QDateTime kNow(kToday, QTime(23, 50));
const QDate kFirstDay = kToday.addDays(-34);
constexpr int kDesks = 8;
constexpr int kRounds = 20;
constexpr int kWriterIntervalMs = 120;
constexpr int kWriterMaxReports = 900; // numbers 9001.. stay clear of the demo's own of the day
constexpr int kDeadlineMs = 300000;

QString dayKey(const QDate &d)
{
    return d.toString(QStringLiteral("yyyyMMdd"));
}

// Each kind once: on yesterday (its month for a monthly kind), or over every day before today.
QStringList everyKindRequests()
{
    QStringList requests;
    const QDate yesterday = kToday.addDays(-1);
    for (const stats::KindDescriptor *d : stats::AllKinds()) {
        const QDate start = d->inputs == stats::KindInputs::StartEnd ? kFirstDay : yesterday;
        requests << QStringLiteral("%1:%2:%3").arg(d->kind).arg(dayKey(start), dayKey(yesterday));
    }
    return requests;
}

// Desk n starts n·3 kinds further along, so that different kinds run at the same moment.
QStringList rotated(const QStringList &requests, int desk)
{
    QStringList out = requests;
    std::rotate(out.begin(), out.begin() + (desk * 3) % out.size(), out.end());
    return out;
}

QStringList deskArguments(const QString &conninfo, int rounds, const QStringList &requests)
{
    return QStringList{QStringLiteral("--pg"),     conninfo,
                       QStringLiteral("--now"),    kNow.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                       QStringLiteral("--rounds"), QString::number(rounds)} +
           requests;
}

// Starts the desks and runs the event loop (and tick, every tickMs) until every desk has ended
// or the deadline has passed; a desk still running then is stopped and accounted as such.
QList<DeskRun> runDesks(const QList<QStringList> &arguments, const std::function<void()> &tick = {}, int tickMs = 0)
{
    // Qt's warning about a missing runtime folder would otherwise be the desks' only stderr line.
    QTemporaryDir runtime;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    std::vector<std::unique_ptr<QProcess>> procs;
    QEventLoop loop;
    int running = 0;
    for (const QStringList &args : arguments) {
        auto p = std::make_unique<QProcess>();
        p->setProgram(QStringLiteral(TIPDESK_LOAD_DESK));
        p->setArguments(args);
        p->setProcessEnvironment(env);
        QObject::connect(p.get(), &QProcess::finished, &loop, [&] {
            if (--running == 0)
                loop.quit();
        });
        procs.push_back(std::move(p));
    }
    for (auto &p : procs) {
        p->start();
        ++running;
    }
    QTimer ticker;
    if (tick) {
        QObject::connect(&ticker, &QTimer::timeout, tick);
        ticker.start(tickMs);
    }
    QTimer::singleShot(kDeadlineMs, &loop, &QEventLoop::quit);
    if (running > 0)
        loop.exec();
    ticker.stop();

    QList<DeskRun> runs;
    for (std::size_t i = 0; i < procs.size(); ++i) {
        QProcess &p = *procs[i];
        QString stopped;
        if (p.state() != QProcess::NotRunning) {
            p.kill();
            p.waitForFinished(5000);
            stopped = QStringLiteral("still running at the deadline (%1 s)").arg(kDeadlineMs / 1000);
        }
        DeskRun run =
            parseDeskOutput(QStringLiteral("desk%1").arg(i + 1), p.readAllStandardOutput(), p.readAllStandardError());
        run.exitCode = p.exitCode();
        if (!stopped.isEmpty())
            run.startError = stopped;
        else if (p.error() == QProcess::FailedToStart)
            run.startError = QStringLiteral("did not start: ") + p.errorString();
        else if (p.exitStatus() == QProcess::CrashExit)
            run.startError = QStringLiteral("crashed: ") + p.errorString() + QStringLiteral("; ") + run.errorStream;
        runs << run;
    }
    return runs;
}

struct Figures {
    int reports = 0;
    double slowestMs = -1;
    QString slowest;
};

Figures figuresOf(const QList<DeskRun> &runs)
{
    Figures f;
    for (const DeskRun &run : runs) {
        for (const DeskReport &r : run.reports) {
            ++f.reports;
            if (r.ms > f.slowestMs) {
                f.slowestMs = r.ms;
                f.slowest = QStringLiteral("kind %1 (%2, %3)").arg(r.kind).arg(r.request, run.name);
            }
        }
    }
    return f;
}

void printFigures(const char *what, const QList<DeskRun> &runs, double seconds)
{
    const Figures f = figuresOf(runs);
    qInfo("%s: %d reports in %.1f s, %.2f reports/s; slowest report %.0f ms, %s", what, f.reports, seconds,
          seconds > 0 ? f.reports / seconds : 0.0, f.slowestMs, qPrintable(f.slowest));
}

// The browser's own statement for "금일", run as its search button runs it.
QStringList todaysNumbers(reception::TAcIn &browser, ui::RecordingUiService &boxes, QString *error)
{
    boxes.clear();
    browser.RadioButton5->setChecked(true);
    browser.SearchBtnClick();
    for (const ui::RecordingUiService::Entry &e : boxes.entries)
        *error += e.text;
    QAbstractItemModel *m = browser.gridModel();
    while (m->canFetchMore({}))
        m->fetchMore({});
    QStringList numbers;
    for (int r = 0; r < m->rowCount(); ++r)
        numbers << m->index(r, 0).data().toString();
    return numbers;
}

// Runs statements outside the system's own layers: renaming tables away and back.
bool adminExec(const QString &conninfo, const QString &sql, QString *error)
{
    const QString name = QStringLiteral("load-admin");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        const QRegularExpressionMatch port = QRegularExpression(QStringLiteral("port=(\\d+)")).match(conninfo);
        const QRegularExpressionMatch dbname = QRegularExpression(QStringLiteral("dbname=(\\S+)")).match(conninfo);
        const QRegularExpressionMatch user = QRegularExpression(QStringLiteral("user=(\\S+)")).match(conninfo);
        db.setHostName(QStringLiteral("127.0.0.1"));
        db.setPort(port.captured(1).toInt());
        db.setDatabaseName(dbname.captured(1));
        db.setUserName(user.captured(1));
        if (db.open()) {
            QSqlQuery q(db);
            ok = q.exec(sql);
            if (!ok)
                *error = q.lastError().text();
        } else {
            *error = db.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

} // namespace

// The accounting the load relies on, on outputs made up to miss in one way each.
void TstLoad::accountingFindsEveryGap_data()
{
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<bool>("accounted");
    const QByteArray a = "ok\t1\t1\t0\t20040229\t20040229\t12.5\t1\tabc\n";
    const QByteArray b = "ok\t1\t2\t4\t20040127\t20040229\t40.0\t3\tdef\n";
    const QByteArray bFailed = "failed\t1\t2\t4\t20040127\t20040229\t3.0\trelation \"x\" does not exist\n";
    const QByteArray c = "nodata\t2\t1\t0\t20040229\t20040229\t2.0\n";
    const QByteArray d = "ok\t2\t2\t4\t20040127\t20040229\t41.0\t3\tdef\n";
    QTest::newRow("complete") << a + b + c + d + "summary\t4\t4\t0\t0.10\n" << 0 << true;
    QTest::newRow("a failure with its status") << a + bFailed + c + d + "summary\t4\t3\t1\t0.10\n" << 1 << true;
    QTest::newRow("start-up failure") << QByteArray("failed\t-\t-\t-\t-\t-\t0\tno server\nsummary\t1\t0\t1\t0\n") << 1
                                      << true;
    QTest::newRow("a report missing") << a + b + d + "summary\t3\t3\t0\t0.10\n" << 0 << false;
    QTest::newRow("a report twice") << a + b + b + d + "summary\t4\t4\t0\t0.10\n" << 0 << false;
    QTest::newRow("failure with success status") << a + bFailed + c + d + "summary\t4\t3\t1\t0.10\n" << 0 << false;
    QTest::newRow("failure status without failure") << a + b + c + d + "summary\t4\t4\t0\t0.10\n" << 1 << false;
    QTest::newRow("summary hides a failure") << a + bFailed + c + d + "summary\t4\t4\t0\t0.10\n" << 1 << false;
    QTest::newRow("no summary") << a + b + c + d << 0 << false;
    QTest::newRow("unreadable line") << a + b + c + d + "Segmentation fault\nsummary\t4\t4\t0\t0.10\n" << 0 << false;
    QTest::newRow("start-up failure hidden") << QByteArray("summary\t0\t0\t0\t0\n") << 1 << false;
}

void TstLoad::accountingFindsEveryGap()
{
    QFETCH(QByteArray, output);
    QFETCH(int, exitCode);
    QFETCH(bool, accounted);
    DeskRun run = parseDeskOutput(QStringLiteral("desk"), output, {});
    run.exitCode = exitCode;
    const QString problem = accountingProblem(run, 2, 2);
    QVERIFY2(problem.isEmpty() == accounted, qPrintable(problem));
}

void TstLoad::initTestCase()
{
    report::installFontSubstitutes();
    TIPDESK_START_PG(m_pg);
    QVERIFY(m_dir.isValid());
    QVERIFY2(m_pg.createDatabase(QStringLiteral("load")), qPrintable(m_pg.error()));
    m_conninfo = m_pg.conninfo(QStringLiteral("load"));

    demo::DemoOptions o;
    o.out = m_dir.filePath(QStringLiteral("demo.db"));
    o.until = kToday;
    o.days = kFirstDay.daysTo(kToday) + 1;
    o.perDay = 300;
    demo::buildDemoDb(o);
    try {
        app::loadIntoPostgres(o.out, m_conninfo);
    } catch (const std::exception &e) {
        QFAIL(e.what());
    }
    m_requests = everyKindRequests();
    QCOMPARE(m_requests.size(), stats::kReportKindCount);

    // The coordinator's own desk, for the browser: the same server and the same clock.
    db::Clock::setFixed(kNow);
    db::setPostgresOverride(m_conninfo);
    m_boxes = std::make_unique<ui::ScopedRecordingUi>();
    m_dataMod = std::make_unique<app::TDataMod1>();
    QVERIFY2((*m_boxes)->entries.isEmpty(), qPrintable((*m_boxes)->entries.value(0).text));
    m_browser = std::make_unique<reception::TAcIn>();
}

void TstLoad::cleanupTestCase()
{
    m_browser.reset();
    m_dataMod.reset();
    m_boxes.reset();
    db::setPostgresOverride(QString());
    db::Clock::clearFixed();
}

std::optional<DeskRun> TstLoad::runOneDesk(const QString &conninfo, const QStringList &requests)
{
    const QList<DeskRun> runs = runDesks({deskArguments(conninfo, 1, requests)});
    if (runs.size() != 1)
        return std::nullopt;
    return runs.first();
}

void TstLoad::singleDeskRendersEveryKind()
{
    QElapsedTimer timer;
    timer.start();
    m_single = runOneDesk(m_conninfo, m_requests);
    QVERIFY(m_single);
    printFigures("one desk", {*m_single}, double(timer.elapsed()) / 1000.0);
    const QString problem = accountingProblem(*m_single, 1, int(m_requests.size()));
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QVERIFY2(m_single->errorStream.isEmpty(), qPrintable(m_single->errorStream));
    for (const DeskReport &r : m_single->reports) {
        QVERIFY2(r.status == QLatin1String("ok"), qPrintable(r.request + u' ' + r.status + u' ' + r.text));
        QVERIFY2(r.pages > 0, qPrintable(r.request));
    }
}

void TstLoad::eightDesksWhileAWriterCommits()
{
    if (!m_single)
        QSKIP("no single-desk run to compare with");
    std::unique_ptr<db::Backend> writer;
    qint64 seq = 0;
    int demoToday = 0;
    try {
        writer = db::postgresBackend(m_conninfo);
        writer->open();
        const db::ResultSet rs =
            writer->select(QStringLiteral("SELECT NVL(MAX(SEQ_NUM), 0) FROM REPORT_REQUISITION"), {});
        seq = rs.rows.at(0).at(0).toLongLong();
    } catch (const db::DbError &e) {
        QFAIL(qPrintable(e.text()));
    }
    QString error;
    demoToday = int(todaysNumbers(*m_browser, **m_boxes, &error).size());
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(demoToday > 0);

    const QString insert = QStringLiteral(
        "INSERT INTO REPORT_REQUISITION (REQUISITION_NUM, SEQ_NUM, REPORT_DATE, REGISTE_DATE, REPORTER_TYPE, "
        "REPORTER_NAME, INCIDENT_TYPE, COMMENTS, OPERATOR_NAME, REGISTER_NAME, SEND_FLAG, BROAD_FLAG, SPEED) "
        "VALUES (:num, :seq, TO_DATE(:at, 'YYYY-MM-DD HH24:MI:SS'), TO_DATE(:at, 'YYYY-MM-DD HH24:MI:SS'), '3', "
        "'부하시험', 'E', '부하 시험 중 접수', '부하접수', '부하처리', '1', '0', '0')");
    // A report every few seconds of the day's last hour; each insert commits on its own.
    const auto writeOne = [&] {
        if (m_committed.size() + m_writerErrors.size() >= kWriterMaxReports)
            return;
        const int n = int(m_committed.size() + m_writerErrors.size()) + 1;
        const QString number = kToday.toString(QStringLiteral("yyMMdd")) + QString::number(9000 + n);
        const QDateTime at = kNow.addSecs(-3000 + 3 * n);
        try {
            writer->exec(insert, {{QStringLiteral("NUM"), number},
                                  {QStringLiteral("SEQ"), seq + n},
                                  {QStringLiteral("AT"), at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))}});
        } catch (const db::DbError &e) {
            m_writerErrors << number + QStringLiteral(": ") + e.text();
            return;
        }
        m_committed << number;
        QString searchError;
        const QStringList seen = todaysNumbers(*m_browser, **m_boxes, &searchError);
        ++m_searches;
        if (!searchError.isEmpty())
            m_writerErrors << QStringLiteral("금일 search after %1: %2").arg(number, searchError);
        else if (!seen.contains(number))
            m_unseen << number;
    };

    QList<QStringList> arguments;
    for (int desk = 0; desk < kDesks; ++desk)
        arguments << deskArguments(m_conninfo, kRounds, rotated(m_requests, desk));
    QElapsedTimer timer;
    timer.start();
    m_desks = runDesks(arguments, writeOne, kWriterIntervalMs);
    const double seconds = double(timer.elapsed()) / 1000.0;
    m_loadRan = true;

    printFigures("eight desks", m_desks, seconds);
    qInfo("writer: %lld reports committed (%.1f/s, one asked every %d ms), %d 금일 searches; the day had %d "
          "reports before",
          qlonglong(m_committed.size()), double(m_committed.size()) / seconds, kWriterIntervalMs, m_searches,
          demoToday);
    for (const DeskRun &run : m_desks) {
        const Figures f = figuresOf({run});
        qInfo("  %s: %d reports, slowest %.0f ms (%s)", qPrintable(run.name), f.reports, f.slowestMs,
              qPrintable(f.slowest));
    }

    QVERIFY2(m_writerErrors.isEmpty(), qPrintable(m_writerErrors.join(u'\n')));
    QVERIFY(!m_committed.isEmpty());
    for (const DeskRun &run : m_desks) {
        const QString problem = accountingProblem(run, kRounds, int(m_requests.size()));
        QVERIFY2(problem.isEmpty(), qPrintable(run.name + QStringLiteral(": ") + problem));
        QVERIFY2(run.errorStream.isEmpty(), qPrintable(run.name + QStringLiteral(": ") + run.errorStream));
        const QList<DeskReport> failed = run.failures();
        QVERIFY2(failed.isEmpty(), qPrintable(run.name + QStringLiteral(": ") + failed.value(0).request +
                                              QStringLiteral(" ") + failed.value(0).text));
    }
}

void TstLoad::everyDeskHasTheSingleDesksFigures_data()
{
    QTest::addColumn<int>("desk");
    for (int desk = 0; desk < kDesks; ++desk)
        QTest::newRow(qPrintable(QStringLiteral("desk%1").arg(desk + 1))) << desk;
}

void TstLoad::everyDeskHasTheSingleDesksFigures()
{
    QFETCH(int, desk);
    if (!m_single || !m_loadRan)
        QSKIP("the load did not run");
    QVERIFY(desk < m_desks.size());
    QHash<QString, QString> expected;
    for (const DeskReport &r : m_single->reports)
        expected.insert(r.request, r.status + u' ' + r.digest);
    int compared = 0;
    for (const DeskReport &r : m_desks[desk].reports) {
        QVERIFY2(expected.contains(r.request), qPrintable(r.request));
        QVERIFY2(r.status + u' ' + r.digest == expected.value(r.request),
                 qPrintable(QStringLiteral("%1 round %2: %3 %4 against %5")
                                .arg(r.request)
                                .arg(r.round)
                                .arg(r.status, r.digest, expected.value(r.request))));
        ++compared;
    }
    QCOMPARE(compared, kRounds * int(m_requests.size()));
}

void TstLoad::todaySearchSawEveryCommittedReport()
{
    if (!m_loadRan)
        QSKIP("the load did not run");
    QVERIFY2(m_unseen.isEmpty(),
             qPrintable(QStringLiteral("not listed right after their commit: ") + m_unseen.join(QStringLiteral(", "))));
    QString error;
    const QStringList seen = todaysNumbers(*m_browser, **m_boxes, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QStringList written;
    for (const QString &n : seen) {
        if (n.startsWith(kToday.toString(QStringLiteral("yyMMdd")) + u'9'))
            written << n;
    }
    QCOMPARE(written, m_committed);
}

void TstLoad::failuresAreAccountedFor_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("expected"); // a piece of every failure's text
    QTest::newRow("table of the roles missing")
        << QStringLiteral("STAT_HUB_ROLE") << QStringLiteral("load") << QStringLiteral("stat_hub_role");
    QTest::newRow("table of the day totals missing")
        << QStringLiteral("STAT_HUB_DAY") << QStringLiteral("load") << QStringLiteral("stat_hub_day");
    QTest::newRow("no such database") << QString() << QStringLiteral("nosuch") << QStringLiteral("nosuch");
}

// A desk meeting a failing statement or no database says so per report, in its summary and in its
// exit status, and the reports that do not need the missing table still come out as alone.
void TstLoad::failuresAreAccountedFor()
{
    QFETCH(QString, table);
    QFETCH(QString, database);
    QFETCH(QString, expected);
    if (!m_single)
        QSKIP("no single-desk run to compare with");
    QString error;
    if (!table.isEmpty())
        QVERIFY2(adminExec(m_conninfo, QStringLiteral("ALTER TABLE %1 RENAME TO away").arg(table), &error),
                 qPrintable(error));
    const std::optional<DeskRun> run = runOneDesk(m_pg.conninfo(database), m_requests);
    if (!table.isEmpty())
        QVERIFY2(adminExec(m_conninfo, QStringLiteral("ALTER TABLE away RENAME TO %1").arg(table), &error),
                 qPrintable(error));
    QVERIFY(run);
    const QString problem = accountingProblem(*run, 1, int(m_requests.size()));
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QCOMPARE(run->exitCode, 1);
    const QList<DeskReport> failed = run->failures();
    QVERIFY(!failed.isEmpty());
    for (const DeskReport &r : failed)
        QVERIFY2(r.text.contains(expected), qPrintable(r.request + u' ' + r.text));
    if (table.isEmpty())
        return;

    // Exactly the kinds whose layout reads the table fail; the others keep their figures.
    QHash<QString, QString> alone;
    for (const DeskReport &r : m_single->reports)
        alone.insert(r.request, r.digest);
    for (const DeskReport &r : run->reports) {
        const stats::KindDescriptor *d = stats::FindKind(r.kind);
        QVERIFY(d);
        QFile file(report::layoutPath(d->layout));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString layout = QString::fromUtf8(file.readAll());
        const bool reads = layout.contains(
            QRegularExpression(QStringLiteral("\\b%1\\b").arg(table), QRegularExpression::CaseInsensitiveOption));
        QVERIFY2(reads == (r.status == QLatin1String("failed")), qPrintable(r.request + u' ' + r.status));
        if (!reads)
            QCOMPARE(r.digest, alone.value(r.request));
    }
}

QTEST_MAIN(TstLoad)
#include "tst_load.moc"
