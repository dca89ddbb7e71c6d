#include "StatsFixture.h"
#include "stats/ReportKinds.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

using namespace tipdesk;

namespace {

// Two correspondents with counts on 7 January 2004 and before; the day's sum is 4 + 6 + 5 (the
// last of a correspondent who is no longer current).
const QString kRows = QStringLiteral(
    "insert into INDIVIDUAL(INDIVIDUAL_ID, INDIVIDUAL_NAME, TYPE, CUR) values ('R01', '김철수', '1', 'Y'),"
    " ('R02', '이영희', '1', 'Y'), ('R03', '박민수', '1', 'N');"
    "insert into STAT_HUB_RPT(STAT_DAY, RPT_ID, RPT_NAME, REPORT_COUNT) values"
    " ('20040107', 'R01', '김철수', 4), ('20040107', 'R02', '이영희', 6), ('20040107', 'R03', '박민수', 5),"
    " ('20031230', 'R01', '김철수', 2), ('20031201', 'R02', '이영희', 3);");

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run runTool(const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TIPDESK_REPORT_TOOL), args);
    if (!p.waitForFinished(120000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// The texts one component printed, read back from a text dump.
QStringList dumpTexts(const QString &dump, const QString &source)
{
    static const QRegularExpression line(QStringLiteral("^text \\d+ (\\S+) .*\"(.*)\"$"),
                                         QRegularExpression::MultilineOption);
    QStringList out;
    for (auto it = line.globalMatch(dump); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(1) == source)
            out << m.captured(2);
    }
    return out;
}

QString readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

// The batch command: exit statuses, messages and what it writes.
class TstReportTool : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void textDumpCarriesTheFigures();
    void pdfAndPng();
    void exitStatuses_data();
    void exitStatuses();
    void listsTheKinds();
    void everyKindSaysNoDataOnAnEmptyDatabase_data();
    void everyKindSaysNoDataOnAnEmptyDatabase();

private:
    std::unique_ptr<test::FixtureDb> m_db;
    std::unique_ptr<test::FixtureDb> m_empty;
    std::unique_ptr<test::FixtureDb> m_none; // stays empty
    QTemporaryDir m_out;
};

void TstReportTool::initTestCase()
{
    m_db = std::make_unique<test::FixtureDb>(app::schemaScript() + test::kErr0158Insert + kRows,
                                             QStringLiteral("toolFixture"));
    m_empty =
        std::make_unique<test::FixtureDb>(app::schemaScript() + test::kErr0158Insert, QStringLiteral("toolEmpty"));
    m_none = std::make_unique<test::FixtureDb>(app::schemaScript() + test::kErr0158Insert, QStringLiteral("toolNone"));
    QVERIFY(m_out.isValid());
}

void TstReportTool::textDumpCarriesTheFigures()
{
    const QString path = m_out.filePath(QStringLiteral("kind0.txt"));
    const Run r = runTool({"--kind", "0", "--start", "20040107", "--database", m_db->path(), "--text", path});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QCOMPARE(r.out.trimmed(), path);
    const QString dump = readFile(path);
    // Day sum 15 (R03 counts though it is not listed); week 29.12.-4.1.: 2; month 2003-12: 2 + 3.
    QCOMPARE(dumpTexts(dump, QStringLiteral("QRDBTextName")), (QStringList{"이영희", "김철수"}));
    QCOMPARE(dumpTexts(dump, QStringLiteral("QRDBTextDaySum")), (QStringList{"6", "4"}));
    QCOMPARE(dumpTexts(dump, QStringLiteral("QRDBTextStrDay")), (QStringList{"40%", "26.6%"}));
    QCOMPARE(dumpTexts(dump, QStringLiteral("QRDBTextStrWeek")), (QStringList{"0%", "100%"}));
    QCOMPARE(dumpTexts(dump, QStringLiteral("QRDBTextStrMonth")), (QStringList{"60%", "40%"}));
    QCOMPARE(dumpTexts(dump, QStringLiteral("QRDBTextTotal")), (QStringList{"9", "6"}));
    QCOMPARE(dumpTexts(dump, QStringLiteral("QRDBTextStrTotal")), (QStringList{"45%", "30%"}));
    QCOMPARE(dumpTexts(dump, QStringLiteral("QRExprSum1")), QStringList{"10"});
    QCOMPARE(dumpTexts(dump, QStringLiteral("QRDBTextJobDate")), QStringList{"2004-01-07"});
}

void TstReportTool::pdfAndPng()
{
    const QString pdf = m_out.filePath(QStringLiteral("kind2.pdf"));
    Run r = runTool({"--kind", "3", "--start", "20040107", "--database", m_empty->path(), "--pdf", pdf});
    QCOMPARE(r.exitCode, 3);
    QVERIFY(!QFile::exists(pdf));

    m_empty->run(QStringLiteral("insert into INDIVIDUAL(INDIVIDUAL_ID, INDIVIDUAL_NAME, TYPE, CUR) values "
                                "('P01', '중부서', '2', 'Y');"
                                "insert into STAT_HUB_POL(STAT_DAY, POL_ID, POL_NAME, REPORT_COUNT) values "
                                "('20040107', 'P01', '중부서', 3);"));
    r = runTool({"--kind", "2", "--start", "20040107", "--database", m_empty->path(), "--pdf", pdf});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QCOMPARE(r.out.trimmed(), pdf);
    QFile f(pdf);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.read(5) == "%PDF-");

    const QString dir = m_out.filePath(QStringLiteral("png"));
    r = runTool({"--kind", "2", "--start", "20040107", "--approval", "--database", m_empty->path(), "--png", dir});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    const QString page = dir + QStringLiteral("/kind02-20040107-p1.png");
    QCOMPARE(r.out.trimmed(), page);
    const QImage image(page);
    QVERIFY(!image.isNull());
    QVERIFY(image.height() > image.width()); // A4 portrait
}

void TstReportTool::exitStatuses_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("emptyDatabase");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QString out = QStringLiteral("@OUT@");
    QTest::newRow("end before start") << QStringList{"--kind", "0",        "--start", "20040107",
                                                     "--end",  "20040106", "--text",  out}
                                      << false << 2 << "출력 범위를 정확히 입력하십시요";
    QTest::newRow("kind outside the catalogue")
        << QStringList{"--kind", "27", "--start", "20040107", "--text", out} << false << 2 << "--kind";
    QTest::newRow("day that does not exist")
        << QStringList{"--kind", "0", "--start", "20041301", "--text", out} << false << 2 << "--start";
    QTest::newRow("no output") << QStringList{"--kind", "0", "--start", "20040107"} << false << 2 << "--text";
    QTest::newRow("two outputs") << QStringList{"--kind", "0", "--start", "20040107", "--text", out, "--pdf", out}
                                 << false << 2 << "--pdf";
    QTest::newRow("sort outside 0..2") << QStringList{"--kind", "21", "--start", "20040107",
                                                      "--sort", "3",  "--text",  out}
                                       << false << 2 << "--sort";
    QTest::newRow("no data") << QStringList{"--kind", "1", "--start", "20040107", "--text", out} << true << 3
                             << "자료 없음: 해당 기간의 자료가 없습니다.";
    QTest::newRow("no data on that day") << QStringList{"--kind", "0", "--start", "20031101", "--text", out} << false
                                         << 3 << "자료 없음";
    QTest::newRow("missing database") << QStringList{"--kind",   "0",          "--start",
                                                     "20040107", "--database", "/nonexistent/tipdesk.db",
                                                     "--text",   out}
                                      << false << 1 << "/nonexistent/tipdesk.db";
    QTest::newRow("output cannot be written")
        << QStringList{"--kind", "0", "--start", "20040107", "--text", "/nonexistent/dir/out.txt"} << false << 1
        << "/nonexistent/dir/out.txt";
}

void TstReportTool::exitStatuses()
{
    QFETCH(QStringList, args);
    QFETCH(bool, emptyDatabase);
    QFETCH(int, status);
    QFETCH(QString, message);
    const QString out = m_out.filePath(QStringLiteral("%1.txt").arg(QTest::currentDataTag()).replace(u' ', u'_'));
    args.replaceInStrings(QStringLiteral("@OUT@"), out);
    if (!args.contains(QStringLiteral("--database")))
        args << QStringLiteral("--database") << (emptyDatabase ? m_empty : m_db)->path();
    const Run r = runTool(args);
    QCOMPARE(r.exitCode, status);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(r.out.isEmpty());
    QVERIFY(!QFile::exists(out));
}

void TstReportTool::listsTheKinds()
{
    const Run r = runTool({"--list"});
    QCOMPARE(r.exitCode, 0);
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 27);
    // The tool's catalogue is the program's: every kind of the catalogue file is there.
    for (int kind = 0; kind < stats::kReportKindCount; ++kind) {
        const stats::KindDescriptor *d = stats::FindKind(kind);
        QVERIFY(
            lines[kind].startsWith(QStringLiteral("%1 %2 %3 ").arg(kind).arg(stats::InputsCode(d->inputs), d->form)));
        QVERIFY(lines[kind].endsWith(u' ' + d->caption));
    }
    QCOMPARE(lines[0], QStringLiteral("0 P TfStatRepCoumm QRCoumm - 통신원별"));
    QCOMPARE(lines[11], QStringLiteral("11 S TFrmDay QuickRep1 approval 일일 교통정보 접수현황"));
    QCOMPARE(lines[18], QStringLiteral("18 SE TFrmRole QuickRep1 file 소속별 제보현황"));
    QCOMPARE(lines[22], QStringLiteral("22 SE TFrmRepC QuickRep1 file,sort 기간합계 통신원(소속)"));
}

void TstReportTool::everyKindSaysNoDataOnAnEmptyDatabase_data()
{
    QTest::addColumn<int>("kind");
    for (const stats::KindDescriptor *d : stats::AllKinds())
        QTest::addRow("%d %s", d->kind, qPrintable(d->form)) << d->kind;
}

void TstReportTool::everyKindSaysNoDataOnAnEmptyDatabase()
{
    QFETCH(int, kind);
    const QString out = m_out.filePath(QStringLiteral("empty%1.txt").arg(kind));
    const Run r = runTool({"--kind", QString::number(kind), "--start", "20040107", "--end", "20040131", "--database",
                           m_none->path(), "--text", out});
    QCOMPARE(r.exitCode, 3);
    QVERIFY2(r.err.contains(QStringLiteral("해당 기간의 자료가 없습니다.")), qPrintable(r.err));
    QVERIFY(r.out.isEmpty());
    QVERIFY(!QFile::exists(out));
}

QTEST_MAIN(TstReportTool)
#include "tst_report_tool.moc"
