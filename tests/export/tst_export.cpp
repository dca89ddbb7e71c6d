#include "FixtureDb.h"
#include "PeriodFixture.h"
#include "app/Cp949.h"
#include "platform/db/Query.h"
#include "stats/Export.h"

#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using namespace tipdesk;
using periodfixture::Row;
using Status = stats::ExportResult::Status;

namespace {

stats::ReportRequest request(int kind, const QDate &start, const QDate &end, int sort)
{
    stats::ReportRequest r;
    r.kind = kind;
    r.startDay = start;
    r.endDay = end;
    r.sort = sort;
    return r;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// What the file should hold, built from the fixture's own rows: the values trimmed of blanks and
// stripped of line breaks, each field closed by "|", CR LF after every line, code page 949.
QByteArray expectedFile(const QString &header, const std::vector<Row> &rows)
{
    QStringEncoder cp949("CP949");
    QByteArray out = QByteArray(cp949.encode(header)) + "\r\n";
    int n = 0;
    for (const Row &r : rows) {
        QString line = QString::number(++n) + u'|';
        for (const QString &v : r)
            line += v.trimmed().remove(u'\r').remove(u'\n') + u'|';
        out += QByteArray(cp949.encode(line)) + "\r\n";
    }
    return out;
}

std::vector<Row> expectedRows(int kind, const QDate &start, const QDate &end, int sort)
{
    if (kind == 18)
        return periodfixture::expectedRoleRows(start, end);
    if (kind == 22)
        return periodfixture::expectedRowsByOrganisation(start, end, sort);
    return periodfixture::expectedRows(kind, start, end, sort);
}

} // namespace

class TstExport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void stripChar_data();
    void stripChar();
    void valuesAreTrimmedAndJoined_data();
    void valuesAreTrimmedAndJoined();
    void everyKindWritesItsFileByteForByte_data();
    void everyKindWritesItsFileByteForByte();
    void headerAndLineEndsAreCodePage949();
    void awkwardValuesStayOnTheirLine();
    void secondExportReplacesTheFirst();
    void noDataLeavesAnExistingFileUnchanged();
    void nothingSelected();
    void folderThatCannotBeWrittenIsReported();
    void failedWriteKeepsThePreviousFile();
    void charactersOutsideCp949BecomeQuestionMarks();
    void exportCountsWhatItReplaced();

private:
    std::unique_ptr<test::FixtureDb> m_db;
    std::unique_ptr<QTemporaryDir> m_out;
    std::unique_ptr<db::Query> m_query1; // the console's Query1
};

void TstExport::initTestCase()
{
    m_db = std::make_unique<test::FixtureDb>(periodfixture::script());
}

void TstExport::init()
{
    m_out = std::make_unique<QTemporaryDir>();
    m_query1 = std::make_unique<db::Query>(QStringLiteral("commonDB"), QStringList{});
}

void TstExport::cleanup()
{
    m_query1.reset();
    m_out.reset();
}

void TstExport::stripChar_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stripped");
    QTest::newRow("none") << "abc"
                          << "abc";
    QTest::newRow("inside") << "a\rb\rc"
                            << "abc";
    QTest::newRow("only") << "\r\r"
                          << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("order kept") << "가\r나다\r"
                                << "가나다";
}

void TstExport::stripChar()
{
    QFETCH(QString, text);
    QFETCH(QString, stripped);
    QCOMPARE(stats::StripChar(text, u'\r'), stripped);
    QCOMPARE(stats::StripChar(text, u'x'), text);
}

void TstExport::valuesAreTrimmedAndJoined_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("written");
    QTest::newRow("leading blanks and tab") << "  \t앞"
                                            << "앞";
    QTest::newRow("trailing blanks") << "뒤  "
                                     << "뒤";
    QTest::newRow("control characters at the ends") << QString::fromUtf8("\x01x\x1f") << "x";
    QTest::newRow("line break inside") << "줄\r\n바꿈"
                                       << "줄바꿈";
    QTest::newRow("lone line feed") << "a\nb"
                                    << "ab";
    QTest::newRow("blank inside kept") << " a b "
                                       << "a b";
    QTest::newRow("bar kept") << "a|b"
                              << "a|b";
    QTest::newRow("break then blank") << "a\r\n b"
                                      << "a b";
}

void TstExport::valuesAreTrimmedAndJoined()
{
    QFETCH(QString, value);
    QFETCH(QString, written);
    QCOMPARE(stats::ExportValue(value), written);
}

void TstExport::everyKindWritesItsFileByteForByte_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("sort");
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QDate>("end");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("header");
    const QDate jan1(2004, 1, 1), jan31(2004, 1, 31);
    QTest::newRow("18") << 18 << 0 << jan1 << jan31 << "소속기간.txt"
                        << "순번|ID|소속|이름|기간 합계|";
    QTest::newRow("18 one day") << 18 << 2 << jan31 << jan31 << "소속기간.txt"
                                << "순번|ID|소속|이름|기간 합계|";
    const char *names[] = {"통신원기간", "통신원소속기간", "고정기간", "경찰기간", "접수자기간", "시민기간"};
    const char *ids[] = {"통신원번호", "통신원번호|소속명|소속ID", "고정제보처번호", "경찰제보처번호", "접수자번호",
                         "시민번호"};
    for (int kind = 21; kind <= 26; ++kind)
        for (int sort = 0; sort <= 2; ++sort)
            QTest::addRow("%d sort %d", kind, sort)
                << kind << sort << jan1 << jan31 << QString::fromUtf8(names[kind - 21]) + QStringLiteral(".txt")
                << QStringLiteral("순번|") + QString::fromUtf8(ids[kind - 21]) + QStringLiteral("|이름|기간 합계|");
}

void TstExport::everyKindWritesItsFileByteForByte()
{
    QFETCH(int, kind);
    QFETCH(int, sort);
    QFETCH(QDate, start);
    QFETCH(QDate, end);
    QFETCH(QString, file);
    QFETCH(QString, header);
    const stats::ExportResult r = stats::ExportReport(request(kind, start, end, sort), *m_query1, m_out->path());
    const QString path = QDir(m_out->path()).filePath(file);
    QCOMPARE(int(r.status), int(Status::Saved));
    QCOMPARE(r.path, path);
    QCOMPARE(r.message(), path + QStringLiteral(" 파일을 저장하였습니다."));
    const std::vector<Row> rows = expectedRows(kind, start, end, sort);
    QVERIFY(!rows.empty());
    QCOMPARE(readFile(path), expectedFile(header, rows));
    // Only the file was left behind.
    QCOMPARE(QDir(m_out->path()).entryList(QDir::Files), QStringList{file});
}

void TstExport::headerAndLineEndsAreCodePage949()
{
    const stats::ExportResult r =
        stats::ExportReport(request(21, QDate(2004, 1, 1), QDate(2004, 1, 31), 0), *m_query1, m_out->path());
    QCOMPARE(int(r.status), int(Status::Saved));
    const QByteArray bytes = readFile(r.path);
    // "순번|통신원번호|이름|기간 합계|" CR LF, as code page 949 writes it; no byte-order mark.
    QCOMPARE(bytes.left(33).toHex(), QByteArray("bcf8b9f87cc5ebbdc5bff8b9f8c8a37cc0ccb8a77cb1e2b0a320c7d5b0e87c0d0a"));
    QVERIFY(bytes.endsWith("|\r\n"));
    QCOMPARE(bytes.count("\n"), bytes.count("\r\n"));
}

void TstExport::awkwardValuesStayOnTheirLine()
{
    const stats::ExportResult r = stats::ExportReport(
        request(24, QDate(2004, 1, 1), QDate(2004, 1, 31), stats::SortById), *m_query1, m_out->path());
    QCOMPARE(int(r.status), int(Status::Saved));
    const QList<QByteArray> lines = readFile(r.path).split('\n');
    QCOMPARE(lines.size(), 6); // header, four rows, and nothing after the last CR LF
    QStringDecoder cp949("CP949");
    QStringList text;
    for (const QByteArray &l : lines)
        text << cp949.decode(l);
    const auto sum = periodfixture::sums(24, QDate(2004, 1, 1), QDate(2004, 1, 31));
    auto of = [&](const char *id, const QString &name) {
        return QString::number(sum.at({QString::fromUtf8(id), name}));
    };
    QCOMPARE(text[1], QStringLiteral("1|P1|앞공백|") + of("P1", QStringLiteral("  \t앞공백")) + QStringLiteral("|\r"));
    QCOMPARE(text[2], QStringLiteral("2|P2|줄바꿈|") + of("P2", QStringLiteral("줄\r\n바꿈")) + QStringLiteral("|\r"));
    // A "|" inside a value is written as it is, so that line has one field more.
    QCOMPARE(text[3],
             QStringLiteral("3|P3|세로|막대|") + of("P3", QStringLiteral("세로|막대")) + QStringLiteral("|\r"));
    QCOMPARE(text[3].count(u'|'), text[1].count(u'|') + 1);
    QCOMPARE(text[4], QStringLiteral("4|P4|끝공백|") + of("P4", QStringLiteral("끝공백  ")) + QStringLiteral("|\r"));
    QCOMPARE(text[5], QString());
}

void TstExport::secondExportReplacesTheFirst()
{
    const QDate jan1(2004, 1, 1), jan31(2004, 1, 31);
    const stats::ExportResult first = stats::ExportReport(request(21, jan1, jan31, 0), *m_query1, m_out->path());
    QCOMPARE(int(first.status), int(Status::Saved));
    const QByteArray whole = readFile(first.path);
    const stats::ExportResult second = stats::ExportReport(request(21, jan31, jan31, 0), *m_query1, m_out->path());
    QCOMPARE(int(second.status), int(Status::Saved));
    QCOMPARE(second.path, first.path);
    const QByteArray oneDay = readFile(second.path);
    QVERIFY(oneDay.size() < whole.size());
    QCOMPARE(oneDay, expectedFile(QStringLiteral("순번|통신원번호|이름|기간 합계|"),
                                  periodfixture::expectedRows(21, jan31, jan31, 0)));
    QCOMPARE(QDir(m_out->path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void TstExport::noDataLeavesAnExistingFileUnchanged()
{
    const QByteArray previous("earlier export\r\n");
    for (int kind : {18, 21, 22, 23, 24, 25, 26}) {
        const QString path = QDir(m_out->path()).filePath(stats::ExportFileName(kind));
        writeFile(path, previous);
        // An end day before the start day selects nothing; it is not reported as a range error.
        const stats::ExportResult r =
            stats::ExportReport(request(kind, QDate(2004, 1, 31), QDate(2004, 1, 1), 0), *m_query1, m_out->path());
        QCOMPARE(int(r.status), int(Status::NoData));
        QCOMPARE(r.message(), QStringLiteral("저장할 데이타가 없습니다."));
        QCOMPARE(readFile(path), previous);
    }
    // A period without any row at all, and no earlier file: nothing is created.
    QFile::remove(QDir(m_out->path()).filePath(QStringLiteral("고정기간.txt")));
    const stats::ExportResult r =
        stats::ExportReport(request(23, QDate(1999, 1, 1), QDate(1999, 12, 31), 0), *m_query1, m_out->path());
    QCOMPARE(int(r.status), int(Status::NoData));
    QVERIFY(!QFile::exists(QDir(m_out->path()).filePath(QStringLiteral("고정기간.txt"))));
}

void TstExport::nothingSelected()
{
    for (int kind : {-1, 0, 11, 20, 27}) {
        const stats::ExportResult r =
            stats::ExportReport(request(kind, QDate(2004, 1, 1), QDate(2004, 1, 31), 0), *m_query1, m_out->path());
        QCOMPARE(int(r.status), int(Status::NothingSelected));
        QCOMPARE(r.message(), QStringLiteral("저장 대상을 지정하십시요"));
    }
    QCOMPARE(QDir(m_out->path()).entryList(QDir::Files).size(), 0);
}

void TstExport::folderThatCannotBeWrittenIsReported()
{
    // A folder below a regular file cannot exist, whoever runs the test.
    const QString blocker = QDir(m_out->path()).filePath(QStringLiteral("plain-file"));
    writeFile(blocker, "x");
    const stats::ExportResult r = stats::ExportReport(request(21, QDate(2004, 1, 1), QDate(2004, 1, 31), 0), *m_query1,
                                                      blocker + QStringLiteral("/sub"));
    QCOMPARE(int(r.status), int(Status::Failed));
    QVERIFY(!r.error.isEmpty());
    QVERIFY2(r.message().startsWith(blocker + QStringLiteral("/sub/통신원기간.txt 파일을 저장하지 못했습니다")),
             qPrintable(r.message()));
    QCOMPARE(readFile(blocker), QByteArray("x"));
}

void TstExport::failedWriteKeepsThePreviousFile()
{
    const QString path = QDir(m_out->path()).filePath(QStringLiteral("접수자기간.txt"));
    const QByteArray previous("the previous export\r\n");
    writeFile(path, previous);

    // Let the disk refuse the new file half-way: files may not grow beyond 200 bytes for a moment.
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 200;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const stats::ExportResult r =
        stats::ExportReport(request(25, QDate(2004, 1, 1), QDate(2004, 1, 31), 0), *m_query1, m_out->path());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QCOMPARE(int(r.status), int(Status::Failed));
    QVERIFY(!r.error.isEmpty());
    QCOMPARE(readFile(path), previous);
    QCOMPARE(QDir(m_out->path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("접수자기간.txt")});

    // With room again, the same export goes through.
    const stats::ExportResult again =
        stats::ExportReport(request(25, QDate(2004, 1, 1), QDate(2004, 1, 31), 0), *m_query1, m_out->path());
    QCOMPARE(int(again.status), int(Status::Saved));
    QVERIFY(readFile(path).size() > 200);
}

void TstExport::charactersOutsideCp949BecomeQuestionMarks()
{
    const struct {
        QString name;
        QByteArray hexAndCount;
    } cases[] = {{QStringLiteral("김철수"), "b1e8c3b6bcf6 0"},
                 {QStringLiteral("金※"), "d1d1a1d8 0"},
                 {QStringLiteral("김😀철"), "b1e83fc3b6 1"},
                 {QStringLiteral("𠀀수"), "3fbcf6 1"},
                 {QString(QChar(0xD800)) + QStringLiteral("수"), "3fbcf6 1"}};
    for (const auto &c : cases) {
        const app::Cp949Bytes e = app::encodeCp949(c.name);
        QCOMPARE(e.bytes.toHex() + ' ' + QByteArray::number(e.replaced), c.hexAndCount);
    }
    // Every character the code page holds is written as Qt's own encoder wrote it before; for the
    // others it wrote the code page's substitutes, 0x7F or 0xAF 0xFE, or nothing.
    for (char16_t c = 0x20; c < 0xD800; ++c) {
        const QByteArray qt = QStringEncoder("CP949").encode(QString(QChar{c}));
        const bool lacked = qt.isEmpty() || qt == "\xaf\xfe" || (qt == "\x7f" && c != 0x7f);
        const app::Cp949Bytes ours = app::encodeCp949(QString(QChar{c}));
        QVERIFY2(ours.bytes == (lacked ? "?" : qt) && ours.replaced == int(lacked), qPrintable(QString::number(c, 16)));
    }
}

void TstExport::exportCountsWhatItReplaced()
{
    m_db->run(QStringLiteral("INSERT INTO STAT_HUB_POL VALUES ('20040110', 'P9', '김😀철𠀀수', 5)"));
    const stats::ExportResult r =
        stats::ExportReport(request(24, QDate(2004, 1, 1), QDate(2004, 1, 31), 0), *m_query1, m_out->path());
    m_db->run(QStringLiteral("DELETE FROM STAT_HUB_POL WHERE POL_ID = 'P9'"));
    QVERIFY2(r.message().endsWith(QStringLiteral("파일을 저장하였습니다.\nCP949로 쓸 수 없는 문자 2개를 \"?\"로 바꾸어 "
                                                 "썼습니다 (레코드 1개, 처음은 P9 김😀철𠀀수).")),
             qPrintable(r.message()));
    QStringDecoder decoder("CP949");
    const QString text = decoder.decode(readFile(r.path));
    QVERIFY2(text.contains(QStringLiteral("|P9|김?철?수|5|")) && !decoder.hasError(), qPrintable(text));
}

QTEST_MAIN(TstExport)
#include "tst_export.moc"
