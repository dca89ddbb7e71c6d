#include "KindTest.h"
#include "StatsFixture.h"
#include "platform/db/DbError.h"
#include "platform/db/Query.h"
#include "platform/report/Layout.h"
#include "reports/Units.h"
#include "stats/Export.h"
#include "stats/UStatHUBp.h"

#include <QDirIterator>
#include <QListWidget>
#include <QtTest>

using namespace tipdesk;

namespace {

// The console's list, as the desk has always shown it.
const char *const kCaptions[stats::kReportKindCount] = {"통신원별",
                                                        "고정 제보처별",
                                                        "경찰 제보처별",
                                                        "접수자별",
                                                        "제보자별",
                                                        "처리 현황별",
                                                        "내용별",
                                                        "시간대별",
                                                        "근무일지",
                                                        "수집실적",
                                                        "수집건수 및 활용 실적",
                                                        "일일 교통정보 접수현황",
                                                        "일일 교통정보 처리대장",
                                                        "주간 교통정보 제보대장",
                                                        "월간 교통정보 제보대장",
                                                        "일일 안내서비스 처리대장",
                                                        "교통 정보 접수대장",
                                                        "고정 제보처 접수대장",
                                                        "소속별 제보현황",
                                                        "월별 유실물 현황",
                                                        "일별 유실물 제보대장",
                                                        "기간합계 통신원",
                                                        "기간합계 통신원(소속)",
                                                        "기간합계 고정제보처",
                                                        "기간합계 경찰제보처",
                                                        "기간합계 접수자",
                                                        "기간합계 시민"};

void addKinds()
{
    QTest::addColumn<int>("kind");
    for (const stats::KindDescriptor *d : stats::AllKinds())
        QTest::addRow("%d %s", d->kind, qPrintable(d->form)) << d->kind;
}

std::unique_ptr<stats::KindForm> formOf(const stats::KindDescriptor &d, const stats::ReportRequest &r)
{
    auto form = std::make_unique<stats::KindForm>();
    form->setUp(d, r);
    return form;
}

} // namespace

// The catalogue as a whole: every kind registered once by its unit, its layout, statements and
// golden pages in place.
class TstKinds : public QObject {
    Q_OBJECT
private slots:
    void everyKindIsDescribedOnce();
    void requestChecksInTheirOrder_data();
    void requestChecksInTheirOrder();
    void kindsLoadTheirLayoutsWithTheirHandlers_data();
    void kindsLoadTheirLayoutsWithTheirHandlers();
    void everyLayoutFileBelongsToAKind();
    void catalogueRefusals_data();
    void catalogueRefusals();
    void everyStatementTranslatesAndRuns_data();
    void everyStatementTranslatesAndRuns();
    void everyBuiltKindHasItsGoldenPages_data();
    void everyBuiltKindHasItsGoldenPages();
};

void TstKinds::everyKindIsDescribedOnce()
{
    const std::vector<const stats::KindDescriptor *> all = stats::AllKinds();
    QCOMPARE(int(all.size()), stats::kReportKindCount);
    stats::ReportSession session;
    stats::TDMReport module;
    const stats::TfStatHUBp console(session, module);
    const auto *list = console.findChild<QListWidget *>(QStringLiteral("ListBox1"));
    QCOMPARE(list->count(), stats::kReportKindCount);
    for (int k = 0; k < stats::kReportKindCount; ++k) {
        QVERIFY2(all[size_t(k)], qPrintable(QString::number(k)));
        QCOMPARE(all[size_t(k)]->kind, k);
        QCOMPARE(all[size_t(k)]->caption, QString::fromUtf8(kCaptions[k]));
        QCOMPARE(list->item(k)->text(), QString::fromUtf8(kCaptions[k]));
    }
    QVERIFY(!stats::FindKind(-1));
    QVERIFY(!stats::FindKind(27));
}

void TstKinds::requestChecksInTheirOrder_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QDate>("end");
    QTest::addColumn<int>("check");
    const QDate start(2004, 1, 7);
    QTest::newRow("range first") << -1 << start.addDays(-1) << int(stats::RequestCheck::BadRange);
    QTest::newRow("range before a selected kind") << 18 << start.addDays(-1) << int(stats::RequestCheck::BadRange);
    QTest::newRow("equal days, nothing selected") << -1 << start << int(stats::RequestCheck::NoSelection);
    QTest::newRow("outside the catalogue") << 27 << start << int(stats::RequestCheck::NoSelection);
    QTest::newRow("a listed kind") << 21 << start.addDays(3) << int(stats::RequestCheck::Ok);
}

void TstKinds::requestChecksInTheirOrder()
{
    QFETCH(int, kind);
    QFETCH(QDate, end);
    QFETCH(int, check);
    const stats::ReportRequest r = test::Request(kind, QDate(2004, 1, 7), end);
    QCOMPARE(int(stats::CheckRequest(r)), check);
    QCOMPARE(stats::RequestCheckText(stats::CheckRequest(r)).isEmpty(), check == int(stats::RequestCheck::Ok));
}

void TstKinds::kindsLoadTheirLayoutsWithTheirHandlers_data()
{
    addKinds();
}

void TstKinds::kindsLoadTheirLayoutsWithTheirHandlers()
{
    QFETCH(int, kind);
    const stats::KindDescriptor &d = *stats::FindKind(kind);
    const std::unique_ptr<stats::KindForm> form = formOf(d, test::Request(kind, QDate(2004, 1, 7)));
    QCOMPARE(form->layout().name, d.printed);
    QVERIFY2(form->layout().query(d.tested), qPrintable(d.tested));
    QVERIFY(form->findQuery(d.tested));
    if (!form->layout().dataSet.isEmpty())
        QVERIFY2(form->findQuery(form->layout().dataSet), qPrintable(form->layout().dataSet));
    // A saved copy is named for the printed title and the period.
    const QString period =
        d.inputs == stats::KindInputs::Month ? QStringLiteral("2004-01") : QStringLiteral("2004-01-07");
    QCOMPARE(form->documentName(),
             (form->layout().reportTitle.isEmpty() ? d.caption : form->layout().reportTitle) + u' ' + period);
    if (d.inputs == stats::KindInputs::StartEnd)
        QCOMPARE(stats::DocumentName(d, test::Request(kind, QDate(2004, 1, 1), QDate(2004, 1, 31)), "제목"),
                 QStringLiteral("제목 2004-01-01~2004-01-31"));
    // "전결인 사용" takes effect exactly where an approval box switches its stamp.
    const std::vector<report::Item *> items = form->layout().allItems();
    QCOMPARE(std::count_if(items.begin(), items.end(), [](const report::Item *i) { return !i->blankUnless.isEmpty(); }),
             d.approval ? 2 : 0);
    // A sorted kind has every order alternative; a kind without sort composes without one.
    for (const report::QueryDef &q : form->layout().queries) {
        if (!q.composed())
            continue;
        if (d.sort)
            for (int sort = 0; sort < stats::kSortOrderCount; ++sort)
                QVERIFY(q.orderNames().contains(stats::SortOrderName(sort)));
        else
            QVERIFY(q.orderNames().isEmpty());
    }
    // The export reads a statement that exists.
    if (d.exportFile)
        for (int sort = 0; sort < stats::kSortOrderCount; ++sort)
            QVERIFY(!stats::ExportSql(test::Request(kind, QDate(2004, 1, 1), QDate(2004, 1, 31), sort)).isEmpty());
}

void TstKinds::everyLayoutFileBelongsToAKind()
{
    QSet<QString> used;
    for (const stats::KindDescriptor *d : stats::AllKinds()) {
        used << report::layoutPath(d->layout);
        if (d->exportFile)
            used << report::layoutPath(d->exportFile->layout);
    }
    // A file serves a kind directly or as the base another one extends.
    QSet<QString> bases;
    for (const QString &path : std::as_const(used)) {
        QFile f(path);
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(path));
        const QString base = QJsonDocument::fromJson(f.readAll()).object().value(QStringLiteral("Extends")).toString();
        if (!base.isEmpty())
            bases << QStringLiteral(":/reports/") + base;
    }
    QDirIterator it(QStringLiteral(":/reports"), {QStringLiteral("*.json")});
    while (it.hasNext()) {
        const QString path = it.next();
        if (path == QLatin1String(":/reports/kinds.json"))
            continue;
        QVERIFY2(used.contains(path) || bases.contains(path), qPrintable(path + QStringLiteral(" serves no kind")));
    }
}

void TstKinds::catalogueRefusals_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QJsonValue>("value"); // undefined removes the entry
    QTest::addColumn<QString>("named");
    QTest::newRow("kind given twice") << 1 << "Kind" << QJsonValue(0) << "종류 0";
    QTest::newRow("kind missing") << 26 << QString() << QJsonValue(QJsonValue::Undefined) << "종류 26";
    QTest::newRow("unknown query") << 3 << "Tested" << QJsonValue("qryNope") << "qryNope";
    QTest::newRow("unknown export query")
        << 21 << "Export" << QJsonValue(QJsonObject{{"File", "f"}, {"Header", "h|"}, {"Query", "qryGone"}})
        << "qryGone";
    QTest::newRow("unknown unit") << 9 << "Unit" << QJsonValue("UntNope") << "UntNope";
    QTest::newRow("unknown layout") << 5 << "Layout" << QJsonValue("UStatNope") << "UStatNope";
    QTest::newRow("unknown key") << 2 << "Colour" << QJsonValue("red") << "Colour";
}

void TstKinds::catalogueRefusals()
{
    QFETCH(int, entry);
    QFETCH(QString, key);
    QFETCH(QJsonValue, value);
    QFETCH(QString, named);
    QFile shipped(QStringLiteral(":/reports/kinds.json"));
    QVERIFY(shipped.open(QIODevice::ReadOnly));
    QJsonObject root = QJsonDocument::fromJson(shipped.readAll()).object();
    QJsonArray kinds = root.value("Kinds").toArray();
    if (value.isUndefined()) {
        kinds.removeAt(entry);
    } else {
        QJsonObject o = kinds[entry].toObject();
        o.insert(key, value);
        kinds[entry] = o;
    }
    root.insert("Kinds", kinds);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kinds.json"));
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(QJsonDocument(root).toJson());
    out.close();
    try {
        stats::ReadCatalogue(path, reports::AllUnits());
        QFAIL("the catalogue was accepted");
    } catch (const report::ReportError &e) {
        QVERIFY2(e.text().contains(named) && e.text().contains(path), qPrintable(e.text()));
    }
}

void TstKinds::everyStatementTranslatesAndRuns_data()
{
    addKinds();
}

void TstKinds::everyStatementTranslatesAndRuns()
{
    QFETCH(int, kind);
    // On the empty schema: every query of the kind's layout, in every order, with the request's
    // values and a number for the values its unit binds from other results.
    test::StatsEnvironment env;
    const stats::KindDescriptor &d = *stats::FindKind(kind);
    for (int sort = 0; sort < (d.sort ? stats::kSortOrderCount : 1); ++sort) {
        const stats::ReportRequest r = test::Request(kind, QDate(2004, 1, 7), QDate(2004, 1, 31), sort);
        const std::unique_ptr<stats::KindForm> form = formOf(d, r);
        stats::PrepareContext context(*form, r, env.module());
        for (const report::QueryDef &def : form->layout().queries) {
            db::Query &q = *form->query(def.name);
            try {
                q.setSql(stats::ComposeStatement(def, d, r));
                for (const QString &name : q.paramNames())
                    q.paramByName(name).setAsInteger(7);
                context.bind(q);
                q.open();
            } catch (const db::DbError &e) {
                QFAIL(qPrintable(def.name + QStringLiteral(": ") + e.text()));
            } catch (const report::ReportError &e) {
                QFAIL(qPrintable(def.name + QStringLiteral(": ") + e.text()));
            }
            QVERIFY(q.fieldCount() > 0);
        }
    }
}

void TstKinds::everyBuiltKindHasItsGoldenPages_data()
{
    addKinds();
}

void TstKinds::everyBuiltKindHasItsGoldenPages()
{
    QFETCH(int, kind);
    const QString root = qEnvironmentVariable("TIPDESK_SOURCE_DIR") + QStringLiteral("/tests");
    for (const test::GoldenCase &c : test::GoldenCases(kind)) {
        QDirIterator it(root, {c.name + QStringLiteral(".txt")}, QDir::Files, QDirIterator::Subdirectories);
        QVERIFY2(it.hasNext(), qPrintable(c.name + QStringLiteral(".txt has no golden page")));
        QVERIFY(it.next().contains(QStringLiteral("/golden/")));
    }
}

QTEST_MAIN(TstKinds)
#include "tst_kinds.moc"
