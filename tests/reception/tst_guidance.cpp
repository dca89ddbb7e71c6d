#include "RegisterFixture.h"
#include "platform/db/DbError.h"
#include "platform/db/Query.h"

#include <QtTest>

using namespace tipdesk;
using namespace tipdesk::test;
using Outcome = stats::TfStatHUBp::Outcome;

namespace {

const QDate kDay(2004, 3, 2);
const QDate kBlankDay(2004, 3, 3);

// 2 March 2004: guidance requests (from citizens) and notifications (from institutions) with
// every kind of subtype. 3 March: only subtypes that need no list.
std::vector<Report> lookupDays()
{
    const std::pair<const char *, const char *> guidance[] = {
        {"안내 1", "1"},   {"안내 2", "2"},   {"안내 4", "4"}, {"안내 9", "9"},        {"안내 0", "0"},
        {"안내 -2", "-2"}, {"안내 02", "02"}, {"안내 Z", "Z"}, {"안내 없음", nullptr}, {"안내 x", "x"}};
    const std::pair<const char *, const char *> notices[] = {
        {"통보 1", "1"}, {"통보 2", "2"}, {"통보 3", "3"}, {"통보 7", "7"}, {"통보 Z", "Z"}};
    std::vector<Report> r;
    int seq = 500;
    const auto add = [&](const QDate &day, const char *type, const char *content, const char *comments,
                         const char *subtype) {
        Report x{};
        x.seq = seq;
        x.when = day.toString(QStringLiteral("yyyy-MM-dd")) +
                 QStringLiteral(" 12:%1:00").arg(seq % 60, 2, 10, QLatin1Char('0'));
        x.type = QLatin1String(type);
        x.id = QStringLiteral("30001");
        x.content = QLatin1String(content);
        x.subtype = subtype ? QString::fromUtf8(subtype) : QString();
        x.comments = QString::fromUtf8(comments);
        x.speed = QStringLiteral("0");
        r.push_back(x);
        ++seq;
    };
    for (const auto &[comments, subtype] : guidance)
        add(kDay, "3", "B", comments, subtype);
    for (const auto &[comments, subtype] : notices)
        add(kDay, "8", "D", comments, subtype);
    add(kBlankDay, "3", "B", "빈 안내", nullptr);
    add(kBlankDay, "8", "D", "읽을 수 없는 통보", "x");
    return r;
}

std::vector<PrintedRow> render(const QDate &day)
{
    const std::optional<report::PageModel> model = RenderRequest(Request(15, day));
    if (!model)
        return {};
    return PrintedRows(*model, 15);
}

QString detailOf(const std::vector<PrintedRow> &rows, const QString &comments)
{
    const PrintedRow *row = RowWithText(rows, comments);
    return row ? row->text(QStringLiteral("INCIDENT_SUBTYPE")) : QStringLiteral("(no line)");
}

} // namespace

// Kind 15's detail names, looked up in the code table's sub-lists while each line prints.
class TstGuidance : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void detailByPosition_data();
    void detailByPosition();
    void emptySubListPrintsTheStoredSubtype_data();
    void emptySubListPrintsTheStoredSubtype();
    void listIsReadForEveryLine();
    void subtypesWithoutAListNeedNoLookup();
    void lookupErrorReachesTheErrorBoxAndFreesTheQuery();

private:
    std::unique_ptr<StatsEnvironment> m_env;
};

void TstGuidance::init()
{
    m_env = std::make_unique<StatsEnvironment>(kMembers + kBaseCodes + insertReports(lookupDays()));
}

void TstGuidance::cleanup()
{
    m_env.reset();
}

void TstGuidance::detailByPosition_data()
{
    QTest::addColumn<QString>("comments");
    QTest::addColumn<QString>("kindLabel");
    QTest::addColumn<QString>("detail");
    // Guidance: 801 도로 소통 안내, 802 우회도로 안내, 803 주차장 안내, 804 대중교통 안내 (the heading
    // 800 and group "001"'s 801 not counted). Notifications: 901 경찰서, 902 구청, 903 소방서.
    QTest::newRow("first") << "안내 1"
                           << "안내"
                           << "도로 소통 안내";
    QTest::newRow("second") << "안내 2"
                            << "안내"
                            << "우회도로 안내";
    QTest::newRow("the last") << "안내 4"
                              << "안내"
                              << "대중교통 안내";
    QTest::newRow("past the end") << "안내 9"
                                  << "안내"
                                  << "대중교통 안내";
    QTest::newRow("0") << "안내 0"
                       << "안내"
                       << "도로 소통 안내";
    QTest::newRow("negative") << "안내 -2"
                              << "안내"
                              << "도로 소통 안내";
    QTest::newRow("leading zero") << "안내 02"
                                  << "안내"
                                  << "우회도로 안내";
    QTest::newRow("Z") << "안내 Z"
                       << "안내"
                       << "기타";
    QTest::newRow("empty") << "안내 없음"
                           << "안내"
                           << "";
    QTest::newRow("not a number") << "안내 x"
                                  << "안내"
                                  << "x";
    QTest::newRow("notification first") << "통보 1"
                                        << "기관 통보"
                                        << "경찰서";
    QTest::newRow("notification second") << "통보 2"
                                         << "기관 통보"
                                         << "구청";
    QTest::newRow("notification last") << "통보 3"
                                       << "기관 통보"
                                       << "소방서";
    QTest::newRow("notification past the end") << "통보 7"
                                               << "기관 통보"
                                               << "소방서";
    QTest::newRow("notification Z") << "통보 Z"
                                    << "기관 통보"
                                    << "기타";
}

void TstGuidance::detailByPosition()
{
    QFETCH(QString, comments);
    QFETCH(QString, kindLabel);
    QFETCH(QString, detail);
    const std::vector<PrintedRow> rows = render(kDay);
    QCOMPARE(int(rows.size()), 15);
    const PrintedRow *row = RowWithText(rows, comments);
    QVERIFY(row);
    QCOMPARE(row->text(QStringLiteral("INCIDENT_TYPE")), kindLabel);
    QCOMPARE(row->text(QStringLiteral("INCIDENT_SUBTYPE")), detail);
}

void TstGuidance::emptySubListPrintsTheStoredSubtype_data()
{
    QTest::addColumn<QString>("comments");
    QTest::addColumn<QString>("detail");
    QTest::newRow("position") << "통보 2"
                              << "2";
    QTest::newRow("past the end") << "통보 7"
                                  << "7";
    QTest::newRow("Z") << "통보 Z"
                       << "Z";
    QTest::newRow("the other list still read") << "안내 2"
                                               << "우회도로 안내";
}

void TstGuidance::emptySubListPrintsTheStoredSubtype()
{
    QFETCH(QString, comments);
    QFETCH(QString, detail);
    // Only the heading of the notifications is left, and a heading is no detail.
    m_env->run(QStringLiteral("delete from BASE_CODE where BAS_LCOD = '100' and BAS_SCOD in ('901', '902', '903');"));
    QCOMPARE(detailOf(render(kDay), comments), detail);
}

void TstGuidance::listIsReadForEveryLine()
{
    stats::PreparedReport prepared = stats::PrepareReport(Request(15, kDay), m_env->module());
    QVERIFY(prepared.form);
    QCOMPARE(detailOf(PrintedRows(prepared.form->render(), 15), QStringLiteral("안내 2")),
             QStringLiteral("우회도로 안내"));
    // The desk renames a detail while the form is open: the next printing shows the new name.
    m_env->run(QStringLiteral("update BASE_CODE set BAS_NAME = '우회로 안내' where BAS_LCOD = '100' and "
                              "BAS_SCOD = '802';"));
    QCOMPARE(detailOf(PrintedRows(prepared.form->render(), 15), QStringLiteral("안내 2")),
             QStringLiteral("우회로 안내"));
}

void TstGuidance::subtypesWithoutAListNeedNoLookup()
{
    // Without the code table any lookup would fail; these lines print without one.
    m_env->run(QStringLiteral("drop table BASE_CODE;"));
    const std::vector<PrintedRow> rows = render(kBlankDay);
    QCOMPARE(int(rows.size()), 2);
    QCOMPARE(detailOf(rows, QStringLiteral("빈 안내")), QString());
    QCOMPARE(detailOf(rows, QStringLiteral("읽을 수 없는 통보")), QStringLiteral("x"));
}

void TstGuidance::lookupErrorReachesTheErrorBoxAndFreesTheQuery()
{
    stats::PreparedReport prepared = stats::PrepareReport(Request(15, kDay), m_env->module());
    QVERIFY(prepared.form);
    const qsizetype queries = prepared.form->findChildren<db::Query *>().size();
    QCOMPARE(queries, qsizetype(prepared.form->layout().queries.size()));
    m_env->run(QStringLiteral("drop table BASE_CODE;"));
    QVERIFY_THROWS_EXCEPTION(db::DbError, prepared.form->render());
    // The lookup's query went with the error; the form holds only its own.
    QCOMPARE(prepared.form->findChildren<db::Query *>().size(), queries);

    // Through the console: the database's own text in the error box, no preview.
    stats::TfStatHUBp console(m_env->session(), m_env->module());
    console.setRequest(Request(15, kDay));
    report::setPreviewHook([](report::ReportForm &form) { form.render(); });
    console.SBPreviewClick();
    report::setPreviewHook(nullptr);
    QCOMPARE(console.lastOutcome(), Outcome::Failed);
    QCOMPARE(m_env->ui().entries.size(), 1);
    QVERIFY2(m_env->ui().entries[0].text.contains(QStringLiteral("BASE_CODE"), Qt::CaseInsensitive),
             qPrintable(m_env->ui().entries[0].text));
}

QTEST_MAIN(TstGuidance)
#include "tst_guidance.moc"
