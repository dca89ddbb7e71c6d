#include "ReportFixture.h"
#include "platform/db/Clock.h"
#include "platform/db/Query.h"
#include "platform/report/Expression.h"

#include <QDirIterator>
#include <QFontMetricsF>
#include <QtTest>

using namespace tipdesk;
using namespace tipdesk::test;
using report::PageModel;

class TstReportEngine : public QObject {
    Q_OBJECT
private slots:
    void layoutRefusesUnknownNames_data();
    void layoutRefusesUnknownNames();
    void extendsTakesTheBaseAndMergesQueries();
    void extendsRefusals_data();
    void extendsRefusals();
    void composedStatementsTakePeriodAndOrder();
    void constructsExpandIntoItems();
    void bandConstructsExpandIntoBands();
    void pageFrameNeedsNoHandler();
    void bandOrderAndFooterRules_data();
    void bandOrderAndFooterRules();
    void bandThatNoLongerFitsStartsANewPage();
    void wordWrappedItemGrowsItsBand();
    void textLongerThanAPageCarriesOver();
    void forceNewPageSkipsTheFirstBreak();
    void childBandFollowsItsParent();
    void expressionsAndRunningTotals_data();
    void expressionsAndRunningTotals();
    void detailNumberAndSumRunAcrossPages();
    void nullValuesEmptyTheirArithmetic();
    void valueWiderThanItsBoxShrinks();
    void handlersSuppressReplaceAndDraw();
    void emptyDataSet_data();
    void emptyDataSet();
    void savedReportRoundTripsAndRefusesForeignFiles();
};

namespace {

QJsonArray standardBands(bool withFooter = true)
{
    QJsonArray bands{
        band("PH", "rbPageHeader", 8, {item("PageNo", "TQRSysData", {{"Data", "qrsPageNumber"}}, 170, 1, 17)}),
        band("TitleBand", "rbTitle", 20, {label("TitleLabel", "제목", 60, 2, 60, 8)}),
        band("CH", "rbColumnHeader", 10, {label("HeadK", "순번", 1, 1)}),
        band("DB", "rbDetail", 10,
             {item("DetailNo", "TQRSysData", {{"Data", "qrsDetailNo"}}, 1, 1, 10),
              item("FieldV", "TQRDBText", {{"DataField", "v"}}, 20, 1)}),
        band("SB", "rbSummary", 10, {label("SumCaption", "계", 1, 1)}),
    };
    if (withFooter)
        bands.append(band("PF", "rbPageFooter", 10, {label("FooterLabel", "끝", 1, 1)}));
    return bands;
}

} // namespace

void TstReportEngine::layoutRefusesUnknownNames_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("named");
    const auto with = [](QJsonObject b, const QString &k, const QJsonValue &v) {
        b.insert(k, v);
        return b;
    };
    QTest::newRow("band property") << bytes(reportJson({with(band("DB", "rbDetail", 5), "Colour", "red")})) << "Colour";
    QTest::newRow("band type") << bytes(reportJson({band("DB", "rbDetails", 5)})) << "rbDetails";
    QTest::newRow("item class") << bytes(reportJson({band("DB", "rbDetail", 5, {item("X1", "TQRMemo", {})})}))
                                << "TQRMemo";
    QTest::newRow("item property") << bytes(reportJson(
                                          {band("DB", "rbDetail", 5, {with(label("L1", "a", 0, 0), "Capton", "b")})}))
                                   << "Capton";
    QTest::newRow("alignment value")
        << bytes(reportJson({band("DB", "rbDetail", 5, {with(label("L1", "a", 0, 0), "Alignment", "taMiddle")})}))
        << "taMiddle";
    QTest::newRow("report option") << bytes(reportJson({}, {{"Options", QJsonArray{"FirstPageFooter"}}}))
                                   << "FirstPageFooter";
    QTest::newRow("duplicate name") << bytes(reportJson({band("DB", "rbDetail", 5, {label("L1", "a", 0, 0)}),
                                                         band("SB", "rbSummary", 5, {label("L1", "b", 0, 0)})}))
                                    << "L1";
    QTest::newRow("child without parent")
        << bytes(reportJson({QJsonObject{{"Name", "C1"}, {"Class", "TQRChildBand"}, {"ParentBand", "Nope"}}}))
        << "Nope";
    QTest::newRow("band handler") << bytes(
                                         reportJson({with(band("DB", "rbDetail", 5), "BeforePrint", "DBBeforePrint")}))
                                  << "DBBeforePrint";
    QTest::newRow("item handler") << bytes(reportJson({band("DB", "rbDetail", 5,
                                                            {with(label("L1", "a", 0, 0), "OnPrint", "L1Print")})}))
                                  << "L1Print";
    QTest::newRow("end page handler") << bytes(reportJson({}, {{"OnEndPage", "RepEndPage"}})) << "RepEndPage";
    QTest::newRow("broken json") << QByteArray("{\"Name\": \"Q\", ") << "JSON";
    QTest::newRow("undeclared parameter")
        << bytes(reportJson({band("DB", "rbDetail", 5, {item("E1", "TQRExpr", {{"Expression", "Param.Nope"}})})}))
        << "Nope";
    QTest::newRow("named handler") << bytes(reportJson({band("DB", "rbDetail", 5,
                                                             {with(label("L1", "a", 0, 0), "OnPrint", "L1Print")})},
                                                       {{"Handlers", QJsonObject{{"L1Print", "Shout"}}}}))
                                   << "Shout";
    QJsonObject sourced = reportJson({});
    sourced.insert("Queries", QJsonArray{QJsonObject{{"Name", "Q2"},
                                                     {"SQL", QJsonArray{"select :a from dual"}},
                                                     {"ParamsFrom", QJsonObject{{"Query", "qryNone"}}}}});
    QTest::newRow("parameter source") << bytes(sourced) << "qryNone";
}

void TstReportEngine::layoutRefusesUnknownNames()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, named);
    TestForm form;
    form.onItemPrint(QStringLiteral("Known"), [](const report::Item &, QString &) {});
    try {
        form.setLayout(report::parseLayout(json, QStringLiteral("bad.json")));
        QFAIL("the layout was accepted");
    } catch (const report::ReportError &e) {
        QVERIFY2(e.text().contains(named), qPrintable(e.text()));
        QVERIFY(e.text().contains(QStringLiteral("bad.json")));
    }
    // Nothing half-loaded: the form still has no layout.
    QVERIFY_THROWS_EXCEPTION(report::ReportError, form.layout());
}

void TstReportEngine::bandOrderAndFooterRules_data()
{
    QTest::addColumn<bool>("firstPageHeader");
    QTest::addColumn<bool>("lastPageFooter");
    QTest::newRow("plain") << false << false;
    QTest::newRow("first page header") << true << false;
    QTest::newRow("last page footer") << false << true;
    QTest::newRow("both") << true << true;
}

void TstReportEngine::bandOrderAndFooterRules()
{
    QFETCH(bool, firstPageHeader);
    QFETCH(bool, lastPageFooter);
    FixtureDb db(numberedRows(70));
    TestForm form;
    QJsonArray options;
    if (firstPageHeader)
        options << "FirstPageHeader";
    if (lastPageFooter)
        options << "LastPageFooter";
    form.load(reportJson(standardBands(), {{"Options", options}}));
    const PageModel m = form.render();
    QVERIFY(m.pageCount() >= 3);
    int details = 0;
    for (int i = 0; i < m.pageCount(); ++i) {
        const report::Page &p = m.pages[size_t(i)];
        const bool first = i == 0, last = i == m.pageCount() - 1;
        QCOMPARE(p.textsOf("PageNo"),
                 (first && !firstPageHeader) ? QStringList() : QStringList{QString::number(i + 1)});
        QCOMPARE(p.textsOf("TitleLabel").size(), first ? 1 : 0);
        QCOMPARE(p.textsOf("HeadK").size(), 1);
        QCOMPARE(p.textsOf("FooterLabel").size(), (!last || lastPageFooter) ? 1 : 0);
        QCOMPARE(p.textsOf("SumCaption").size(), last ? 1 : 0);
        details += int(p.textsOf("FieldV").size());
        // Top to bottom: header, title, column header, details, summary; the footer sits at the foot.
        const auto *head = findText(p, "HeadK");
        const auto *firstDetail = findText(p, "FieldV");
        QVERIFY(head);
        // A last page may hold only the summary that no longer fitted.
        QVERIFY(firstDetail ? head->rect.y() < firstDetail->rect.y() : last);
        if (first)
            QVERIFY(findText(p, "TitleLabel")->rect.y() < head->rect.y());
        if (const auto *pageNo = findText(p, "PageNo"))
            QVERIFY(pageNo->rect.y() < head->rect.y());
        if (const auto *footer = findText(p, "FooterLabel"))
            QCOMPARE(footer->rect.y(), 297.0 - 10 - 10 + 1);
    }
    QCOMPARE(details, 70);
    // The summary follows the last detail.
    const int lastDetailPage = pageOf(m, "FieldV", "700");
    QCOMPARE(pageOf(m, "SumCaption", "계"), m.pageCount() - 1);
    QVERIFY(lastDetailPage == m.pageCount() - 1 || lastDetailPage == m.pageCount() - 2);
    if (lastDetailPage == m.pageCount() - 1)
        QVERIFY(findText(m.pages.back(), "SumCaption")->rect.y() > findText(m.pages.back(), "FieldV", "700")->rect.y());
}

void TstReportEngine::bandThatNoLongerFitsStartsANewPage()
{
    FixtureDb db(numberedRows(60));
    TestForm form;
    form.load(reportJson(standardBands(false)));
    const PageModel m = form.render();
    // 277 mm between the margins: page 1 holds title 20 + column header 10, later pages the page
    // header 8 + column header 10; details are 10 mm each.
    const int onFirst = int((277 - 20 - 10) / 10);
    const int onOthers = int((277 - 8 - 10) / 10);
    QCOMPARE(m.pages[0].textsOf("FieldV").size(), onFirst);
    QCOMPARE(m.pages[1].textsOf("FieldV").size(), onOthers);
    QCOMPARE(m.pages[1].textsOf("FieldV").first(), QString::number((onFirst + 1) * 10));
    // No detail crosses the bottom margin.
    for (const report::Page &p : m.pages)
        for (const report::Primitive *t : p.texts())
            QVERIFY(t->rect.y() < 297 - 10);
}

void TstReportEngine::wordWrappedItemGrowsItsBand()
{
    FixtureDb db(numberedRows(3));
    db.run(QStringLiteral("update t set txt = '교통 정보 접수 내용이 길어서 한 줄에 들어가지 않으면 다음 줄로 넘어가고 "
                          "행의 높이가 글의 높이만큼 늘어납니다. 그 아래 행은 늘어난 만큼 내려갑니다.' where k = 2;"
                          "update t set txt = '' where k <> 2;"));
    TestForm form;
    QJsonObject wrap = item("Memo", "TQRDBText", {{"DataField", "txt"}, {"WordWrap", true}}, 40, 1, 40, 4);
    QJsonObject detail = band("DB", "rbDetail", 6,
                              {item("FieldV", "TQRDBText", {{"DataField", "v"}}, 1, 1, 20), wrap,
                               item("Rule", "TQRShape", {{"Shape", "qrsRightAndLeft"}}, 38, 0, 44, 6)});
    detail.insert("Frame", QJsonObject{{"DrawBottom", true}});
    form.load(reportJson({detail}));
    const PageModel m = form.render();
    const report::Page &p = m.pages[0];
    const QStringList memo = p.textsOf("Memo");
    QVERIFY2(memo.size() >= 4, qPrintable(memo.join('|')));
    QVERIFY(memo.first().startsWith(QStringLiteral("교통")));
    QVERIFY(memo.join(' ').contains(QStringLiteral("내려갑니다.")));
    const double row2 = findText(p, "FieldV", "20")->rect.y();
    const double row3 = findText(p, "FieldV", "30")->rect.y();
    // The other item stays on the first line; the row is as tall as its text.
    QCOMPARE(findText(p, "Memo", memo.first())->rect.y(), row2);
    const double lineHeight = findText(p, "Memo", memo[1])->rect.y() - row2;
    QVERIFY(lineHeight > 3 && lineHeight < 5);
    QVERIFY(qAbs((row3 - row2) - (6 - 4 + memo.size() * lineHeight)) < 0.01);
    QCOMPARE(findText(p, "FieldV", "20")->rect.y() - findText(p, "FieldV", "10")->rect.y(), 6.0);
    // Rules reaching the foot of the band stretch with it.
    double ruleBottom = 0;
    for (const report::Primitive &x : p.items)
        if (x.source == "Rule" && x.rect.top() > row2 - 1.5 && x.rect.top() < row2)
            ruleBottom = std::max(ruleBottom, x.rect.bottom());
    QVERIFY(qAbs(ruleBottom - (row3 - 1)) < 0.01);
}

void TstReportEngine::textLongerThanAPageCarriesOver()
{
    // Row 2 holds a text of about 170 lines in a 40 mm column: more than two pages of 297 mm.
    FixtureDb db(numberedRows(3));
    QString words;
    for (int k = 1; k <= 600; ++k)
        words += QStringLiteral("낱말%1 ").arg(k);
    db.run(QStringLiteral("update t set txt = '%1' where k = 2; update t set txt = '짧음' where k <> 2;").arg(words));
    TestForm form;
    QJsonObject detail = band("DB", "rbDetail", 6,
                              {item("DetailNo", "TQRSysData", {{"Data", "qrsDetailNo"}}, 1, 1, 10),
                               item("Memo", "TQRDBText", {{"DataField", "txt"}, {"WordWrap", true}}, 40, 1, 40, 4),
                               item("Rule", "TQRShape", {{"Shape", "qrsRightAndLeft"}}, 38, 0, 44, 6)});
    detail.insert("Frame", QJsonObject{{"DrawLeft", true}, {"DrawRight", true}, {"DrawBottom", true}});
    QJsonArray bands{band("PH", "rbPageHeader", 8, {item("PageNo", "TQRSysData", {{"Data", "qrsPageNumber"}}, 170, 1)}),
                     band("CH", "rbColumnHeader", 10, {label("HeadK", "순번", 1, 1)}), detail};
    form.load(reportJson(bands, {{"Options", QJsonArray{"FirstPageHeader"}}}));
    const PageModel m = form.render();
    QVERIFY2(m.pageCount() >= 4, qPrintable(QString::number(m.pageCount())));
    // Nothing is printed past the bottom margin, and every word is printed once, in order.
    QStringList memo;
    for (const report::Page &page : m.pages) {
        for (const report::Primitive &x : page.items)
            QVERIFY2(x.rect.bottom() <= 297 - 10 + 1e-6,
                     qPrintable(QStringLiteral("%1 ends at %2").arg(x.source).arg(x.rect.bottom())));
        memo += page.textsOf("Memo");
    }
    const QStringList printed = memo.join(u' ').split(u' ', Qt::SkipEmptyParts);
    QCOMPARE(printed.size(), 600 + 2); // rows 1 and 3 print "짧음"
    QCOMPARE(printed[1], QStringLiteral("낱말1"));
    QCOMPARE(printed[600], QStringLiteral("낱말600"));
    QCOMPARE(printed.last(), QStringLiteral("짧음"));
    // The row starts on a page of its own, its number printed once; each page it fills carries
    // the page header, the column header and the row's rules down to the last line.
    QStringList numbers;
    for (const report::Page &page : m.pages)
        numbers += page.textsOf("DetailNo");
    QCOMPARE(numbers, (QStringList{"1", "2", "3"}));
    QCOMPARE(pageOf(m, "DetailNo", "2"), 1);
    for (int k = 1; k < m.pageCount() - 1; ++k) {
        const report::Page &page = m.pages[size_t(k)];
        QVERIFY(!page.textsOf("HeadK").isEmpty());
        QCOMPARE(page.textsOf("PageNo"), QStringList{QString::number(k + 1)});
        double ruleBottom = 0;
        for (const report::Primitive &x : page.items)
            if (x.source == "Rule")
                ruleBottom = std::max(ruleBottom, x.rect.bottom());
        QVERIFY(ruleBottom > 297 - 10 - 5);
    }
}

void TstReportEngine::forceNewPageSkipsTheFirstBreak()
{
    FixtureDb db(numberedRows(9, 3)); // groups A, B, C of three rows
    TestForm form;
    QJsonObject group{{"Name", "GroupG"},
                      {"Class", "TQRGroup"},
                      {"Expression", "g"},
                      {"Master", "QuickRep1"},
                      {"ForceNewPage", true},
                      {"Height", 8},
                      {"Items", QJsonArray{item("GroupName", "TQRDBText", {{"DataField", "g"}}, 1, 1)}}};
    form.load(reportJson({band("TitleBand", "rbTitle", 20, {label("TitleLabel", "제목", 1, 1)}),
                          band("CH", "rbColumnHeader", 10, {label("HeadK", "순번", 1, 1)}), group,
                          band("DB", "rbDetail", 10, {item("FieldV", "TQRDBText", {{"DataField", "v"}}, 20, 1)})}));
    const PageModel m = form.render();
    QCOMPARE(m.pageCount(), 3);
    QCOMPARE(m.pages[0].textsOf("GroupName"), QStringList{"A"});
    QCOMPARE(m.pages[1].textsOf("GroupName"), QStringList{"B"});
    QCOMPARE(m.pages[2].textsOf("GroupName"), QStringList{"C"});
    QCOMPARE(m.pages[1].textsOf("FieldV"), (QStringList{"40", "50", "60"}));
    QCOMPARE(m.pages[1].textsOf("HeadK").size(), 1);
    // The group band follows the title and column header on page 1 directly.
    QCOMPARE(findText(m.pages[0], "GroupName")->rect.y(), 10.0 + 20 + 10 + 1);
}

void TstReportEngine::childBandFollowsItsParent()
{
    FixtureDb db(numberedRows(2));
    TestForm form;
    bool skipSecond = true;
    form.onBandBeforePrint("DBBeforePrint", [&](const report::Band &, bool &print) {
        print = !(skipSecond && form.query("Q1")->fieldByName("k").asInteger() == 2);
    });
    QJsonObject detail = band("DB", "rbDetail", 10, {item("FieldV", "TQRDBText", {{"DataField", "v"}}, 1, 1)});
    detail.insert("BeforePrint", "DBBeforePrint");
    QJsonObject child{{"Name", "ChildBand1"},
                      {"Class", "TQRChildBand"},
                      {"ParentBand", "DB"},
                      {"Height", 5},
                      {"Items", QJsonArray{item("ChildK", "TQRDBText", {{"DataField", "k"}}, 1, 0)}}};
    form.load(reportJson({child, detail}));
    const PageModel m = form.render();
    // The child prints right after its parent, and not when the parent is suppressed.
    QCOMPARE(m.pages[0].textsOf("ChildK"), QStringList{"1"});
    QCOMPARE(findText(m.pages[0], "ChildK")->rect.y(), findText(m.pages[0], "FieldV", "10")->rect.y() - 1 + 10);
}

void TstReportEngine::expressionsAndRunningTotals_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("expected");
    // Rows k = 1..5, v = 10..50; the summary sees the last record.
    QTest::newRow("sum of a field") << "SUM(v)"
                                    << "150";
    QTest::newRow("lower-case sum, qualified field") << "sum(Q1.V)"
                                                     << "150";
    QTest::newRow("sum minus field") << "SUM(v) - v"
                                     << "100";
    QTest::newRow("sum of a difference") << "SUM(v - k)"
                                         << "135";
    QTest::newRow("field of a named query") << "qryOne.NAME"
                                            << "합계 기준";
    QTest::newRow("text joined") << "'계: ' + SUM(k)"
                                 << "계: 15";
    QTest::newRow("parentheses and unary minus") << "-(k + 2) + 10"
                                                 << "3";
    QTest::newRow("parameter") << "'(' + Param.Line + ')'"
                               << "(기 간 : 2004-01-01)";
    QTest::newRow("parameter nobody supplied") << "Param.Missing"
                                               << "";
}

void TstReportEngine::expressionsAndRunningTotals()
{
    QFETCH(QString, expression);
    QFETCH(QString, expected);
    FixtureDb db(numberedRows(5));
    TestForm form;
    form.setParameter(QStringLiteral("Line"), QStringLiteral("기 간 : 2004-01-01"));
    form.load(reportJson({band("DB", "rbDetail", 10, {item("FieldV", "TQRDBText", {{"DataField", "v"}}, 1, 1)}),
                          band("SB", "rbSummary", 10, {item("Total", "TQRExpr", {{"Expression", expression}}, 1, 1)})},
                         {{"Parameters", QJsonArray{"Line", "Missing"}}}));
    form.query("qryOne")->open();
    const PageModel m = form.render();
    QCOMPARE(m.pages.back().textsOf("Total"), expected.isEmpty() ? QStringList{} : QStringList{expected});
    QCOMPARE(form.missingParameters(), expression.contains("Missing") ? QStringList{"Missing"} : QStringList{});
}

void TstReportEngine::detailNumberAndSumRunAcrossPages()
{
    FixtureDb db(numberedRows(80));
    TestForm form;
    QJsonObject json = reportJson({band("CH", "rbColumnHeader", 10, {label("HeadK", "순번", 1, 1)}),
                                   band("DB", "rbDetail", 10,
                                        {item("DetailNo", "TQRSysData", {{"Data", "qrsDetailNo"}}, 1, 1, 10),
                                         item("Running", "TQRExpr", {{"Expression", "SUM(v)"}}, 20, 1)}),
                                   band("SB", "rbSummary", 10,
                                        {item("Total", "TQRExpr", {{"Expression", "SUM(v)"}}, 20, 1),
                                         item("Count", "TQRExpr", {{"Expression", "qryCount.n"}}, 60, 1),
                                         item("Count2", "TQRExpr", {{"Expression", "qryCount.N + 1"}}, 90, 1)})});
    QJsonArray queries = json.value("Queries").toArray();
    queries.append(QJsonObject{{"Name", "qryCount"}, {"SQL", QJsonArray{"select count(*) as n from t"}}});
    json.insert("Queries", queries);
    form.load(json);
    form.query("qryCount")->open();
    const PageModel m = form.render();
    QVERIFY(m.pageCount() >= 3);
    QStringList numbers, running;
    int expectedSum = 0;
    for (const report::Page &p : m.pages) {
        numbers += p.textsOf("DetailNo");
        running += p.textsOf("Running");
    }
    QCOMPARE(numbers.size(), 80);
    for (int k = 1; k <= 80; ++k) {
        expectedSum += k * 10;
        QCOMPARE(numbers[k - 1], QString::number(k));
        QCOMPARE(running[k - 1], QString::number(expectedSum));
    }
    QVERIFY(m.pages[1].textsOf("DetailNo").first().toInt() > 1); // continues on page 2
    QCOMPARE(m.pages.back().textsOf("Total"), QStringList{QString::number(expectedSum)});
    QCOMPARE(m.pages.back().textsOf("Count"), QStringList{"80"});
    QCOMPARE(m.pages.back().textsOf("Count2"), QStringList{"81"});
    // Only the form's own queries are found.
    QVERIFY(form.findQuery("qryCount"));
    QVERIFY(!form.findQuery("DMReport.qryCount"));
}

void TstReportEngine::nullValuesEmptyTheirArithmetic()
{
    // Row 3 has no v. A difference with it prints empty, a sum adds what it has (empty only when
    // every term is null), SUM skips it, and a query without a row adds nothing to a sum while its
    // field alone prints empty.
    FixtureDb db(numberedRows(4) + QStringLiteral("update t set v = null where k = 3;"));
    TestForm form;
    QJsonObject json = reportJson({band("DB", "rbDetail", 10,
                                        {item("Diff", "TQRExpr", {{"Expression", "v - k"}}, 1, 1),
                                         item("Neg", "TQRExpr", {{"Expression", "-v"}}, 30, 1),
                                         item("Plus", "TQRExpr", {{"Expression", "v + k"}}, 90, 1),
                                         item("BothNull", "TQRExpr", {{"Expression", "v + qryNull.V"}}, 120, 1),
                                         item("Joined", "TQRExpr", {{"Expression", "'v=' + v"}}, 60, 1)}),
                                   band("SB", "rbSummary", 10,
                                        {item("Total", "TQRExpr", {{"Expression", "SUM(v)"}}, 1, 1),
                                         item("NoRowPlus", "TQRExpr", {{"Expression", "qryNone.NAME + k"}}, 30, 1),
                                         item("NoRow", "TQRExpr", {{"Expression", "qryNone.NAME"}}, 60, 1)})});
    QJsonArray queries = json.value("Queries").toArray();
    queries.append(QJsonObject{{"Name", "qryNone"}, {"SQL", QJsonArray{"select name from one where 1 = 0"}}});
    queries.append(QJsonObject{{"Name", "qryNull"}, {"SQL", QJsonArray{"select null as v from one"}}});
    json.insert("Queries", queries);
    form.load(json);
    form.query("qryNone")->open();
    form.query("qryNull")->open();
    const PageModel m = form.render();
    const report::Page &p = m.pages.front();
    QCOMPARE(p.textsOf("Diff"), (QStringList{"9", "18", "36"}));
    QCOMPARE(p.textsOf("Neg"), (QStringList{"-10", "-20", "-40"}));
    QCOMPARE(p.textsOf("Plus"), (QStringList{"11", "22", "3", "44"}));
    QCOMPARE(p.textsOf("BothNull"), (QStringList{"10", "20", "40"}));
    QCOMPARE(p.textsOf("Joined"), (QStringList{"v=10", "v=20", "v=", "v=40"}));
    QCOMPARE(p.textsOf("Total"), QStringList{"70"});
    QCOMPARE(p.textsOf("NoRowPlus"), QStringList{"4"});
    QCOMPARE(p.textsOf("NoRow"), QStringList{});
}

void TstReportEngine::valueWiderThanItsBoxShrinks()
{
    // A seven-digit figure in a box made for four prints whole in a smaller size of the report's
    // font; a value that fits and a caption too wide for its box keep their size.
    FixtureDb db(numberedRows(1) + QStringLiteral("update t set v = 3432766, txt = '서대문경찰서교통과';"));
    TestForm form;
    form.load(
        reportJson({band("DB", "rbDetail", 10,
                         {item("Narrow", "TQRDBText", {{"DataField", "v"}, {"Alignment", "taRightJustify"}}, 1, 1, 8),
                          item("NarrowExpr", "TQRExpr", {{"Expression", "v + 0"}}, 20, 1, 8),
                          item("Wide", "TQRDBText", {{"DataField", "v"}}, 40, 1, 40),
                          item("NarrowName", "TQRDBText", {{"DataField", "txt"}}, 140, 1, 12),
                          label("Caption", "교통정보 수집 건수 및 활용 실적", 90, 1, 10)})}));
    const PageModel m = form.render();
    const report::Page &p = m.pages.front();
    const auto size = [&](const char *source) {
        const report::Primitive *t = findText(p, QLatin1String(source));
        return t ? m.fonts[size_t(t->font)].pointSize : 0.0;
    };
    QCOMPARE(p.textsOf("Narrow"), QStringList{"3432766"});
    QCOMPARE(size("Wide"), 10.0);
    QCOMPARE(size("Caption"), 10.0);
    QVERIFY2(size("Narrow") < 10.0 && size("Narrow") >= 5.0, qPrintable(QString::number(size("Narrow"))));
    QCOMPARE(size("NarrowExpr"), size("Narrow"));
    // A name shrinks no smaller than 8 pt; past that it wraps in its box, whole, and its row grows.
    const QStringList name = p.textsOf("NarrowName");
    QVERIFY2(name.size() >= 2 && name.join(QString()) == QStringLiteral("서대문경찰서교통과"),
             qPrintable(name.join('|')));
    QCOMPARE(size("NarrowName"), 8.0);
    QCOMPARE(findText(p, "NarrowName")->rect.y(), findText(p, "Narrow")->rect.y());
    // Measured in the smaller size, the figure fits its box.
    QFont font(m.fonts[size_t(findText(p, "Narrow")->font)].family);
    font.setPointSizeF(size("Narrow"));
    QImage device(1, 1, QImage::Format_RGB32);
    device.setDotsPerMeterX(int(1200 / 0.0254));
    device.setDotsPerMeterY(int(1200 / 0.0254));
    QVERIFY(QFontMetricsF(font, &device).horizontalAdvance(QStringLiteral("3432766")) * 25.4 / 1200 <= 8.0);
}

void TstReportEngine::handlersSuppressReplaceAndDraw()
{
    FixtureDb db(numberedRows(40));
    TestForm form;
    int reportCalls = 0;
    form.onReportBeforePrint("QuickRep1BeforePrint", [&](report::ReportForm &r, bool &) {
        ++reportCalls;
        r.setParameter("Title", "바뀐 제목");
    });
    form.onBandBeforePrint("DBBeforePrint", [&](const report::Band &, bool &print) {
        print = form.query("Q1")->fieldByName("k").asInteger() % 2 == 1;
    });
    form.onItemPrint("FieldVPrint", [](const report::Item &, QString &value) { value = "[" + value + "]"; });
    QList<int> endPages;
    form.onEndPage("QuickRep1EndPage", [&](report::ReportForm &r, report::PageCanvas &c) {
        endPages << r.pageNumber();
        c.setPen(Qt::black, 2);
        c.rectangle(c.toDeviceX(100), c.toDeviceY(100), c.toDeviceX(2000), c.toDeviceY(2870));
    });
    QJsonObject detail = band("DB", "rbDetail", 20,
                              {item("FieldV", "TQRDBText", {{"DataField", "v"}, {"OnPrint", "FieldVPrint"}}, 1, 1)});
    detail.insert("BeforePrint", "DBBeforePrint");
    form.load(reportJson(
        {band("TitleBand", "rbTitle", 20, {item("TitleLabel", "TQRExpr", {{"Expression", "Param.Title"}}, 1, 1)}),
         detail},
        {{"BeforePrint", "QuickRep1BeforePrint"},
         {"OnEndPage", "QuickRep1EndPage"},
         {"Parameters", QJsonArray{"Title"}}}));
    const PageModel m = form.render(report::RenderOptions{254, {}});
    QCOMPARE(reportCalls, 1);
    QCOMPARE(m.pages[0].textsOf("TitleLabel"), QStringList{"바뀐 제목"});
    QStringList values;
    for (const report::Page &p : m.pages)
        values += p.textsOf("FieldV");
    QCOMPARE(values.size(), 20);
    QCOMPARE(values.first(), "[10]");
    QCOMPARE(values[1], "[30]");
    QCOMPARE(endPages.size(), m.pageCount());
    for (int i = 0; i < m.pageCount(); ++i) {
        QCOMPARE(endPages[i], i + 1);
        // At 254 dpi one device pixel is 0.1 mm: the outline lands exactly, its pen is 0.2 mm.
        const report::Primitive &last = m.pages[size_t(i)].items.back();
        QCOMPARE(last.kind, report::Primitive::Kind::Rect);
        QCOMPARE(last.rect, QRectF(QPointF(10, 10), QPointF(200, 287)));
        QVERIFY(qAbs(last.penWidth - 0.2) < 1e-9);
        QVERIFY(!last.fill.isValid()); // hollow
    }

    // A report whose BeforePrint says no prints nothing.
    TestForm silent;
    silent.onReportBeforePrint("No", [](report::ReportForm &, bool &print) { print = false; });
    silent.load(reportJson({band("DB", "rbDetail", 10)}, {{"BeforePrint", "No"}}));
    QCOMPARE(silent.render().pageCount(), 0);
}

void TstReportEngine::emptyDataSet_data()
{
    QTest::addColumn<bool>("printIfEmpty");
    QTest::newRow("nothing prints") << false;
    QTest::newRow("PrintIfEmpty") << true;
}

void TstReportEngine::emptyDataSet()
{
    QFETCH(bool, printIfEmpty);
    FixtureDb db(numberedRows(0) + QStringLiteral("delete from t;"));
    TestForm form;
    form.load(reportJson(standardBands(), {{"PrintIfEmpty", printIfEmpty}}));
    const PageModel m = form.render();
    QCOMPARE(m.pageCount(), printIfEmpty ? 1 : 0);
    if (printIfEmpty) {
        QCOMPARE(m.pages[0].textsOf("TitleLabel").size(), 1);
        QCOMPARE(m.pages[0].textsOf("SumCaption").size(), 1);
        QCOMPARE(m.pages[0].textsOf("FieldV").size(), 0);
    }
}

void TstReportEngine::savedReportRoundTripsAndRefusesForeignFiles()
{
    FixtureDb db(numberedRows(45));
    db::Clock::setFixed(QDateTime(QDate(2004, 1, 7), QTime(9, 30)));
    TestForm form;
    QJsonArray bands = standardBands();
    bands[1] = band("TitleBand", "rbTitle", 20,
                    {label("TitleLabel", "교통정보 접수 대장", 60, 2, 60, 8),
                     item("Today", "TQRSysData", {{"Data", "qrsDate"}, {"Text", "출력일 : "}}, 1, 12, 40)});
    form.load(reportJson(bands));
    const PageModel m = form.render();
    db::Clock::clearFixed();
    QCOMPARE(m.pages[0].textsOf("Today"), QStringList{"출력일 : 2004-01-07"});
    const QString dump = report::dumpText(m);
    QVERIFY(dump.startsWith("page 1 210x297\n"));
    QVERIFY2(dump.contains("text 1 TitleLabel x=70 y=12 w=60 h=8 left 굴림 10 \"교통정보 접수 대장\""),
             qPrintable(dump.left(600)));

    QTemporaryDir dir;
    const QString path = dir.filePath("saved.tdr");
    m.saveFile(path);
    const PageModel back = PageModel::loadFile(path);
    QCOMPARE(report::dumpText(back), dump);

    QFile foreign(dir.filePath("foreign.tdr"));
    QVERIFY(foreign.open(QIODevice::WriteOnly));
    foreign.write("%PDF-1.4 not a saved report");
    foreign.close();
    QVERIFY_THROWS_EXCEPTION(report::ReportError, PageModel::loadFile(foreign.fileName()));
    // A truncated file is refused, not half-read.
    QFile cut(path);
    QVERIFY(cut.open(QIODevice::ReadWrite));
    cut.resize(cut.size() / 2);
    cut.close();
    QVERIFY_THROWS_EXCEPTION(report::ReportError, PageModel::loadFile(path));
}

namespace {

// Writes layout files into a folder; returns the folder.
QString writeLayouts(QTemporaryDir &dir, const QList<std::pair<QString, QJsonObject>> &files)
{
    for (const auto &[name, json] : files) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes(json));
    }
    return dir.path();
}

QJsonObject baseLayout()
{
    return reportJson({band("TitleBand", "rbTitle", 20, {label("Title", "design", 1, 1), label("Other", "kept", 1, 9)}),
                       band("DB", "rbDetail", 10, {item("FieldV", "TQRDBText", {{"DataField", "v"}}, 20, 1)})});
}

} // namespace

void TstReportEngine::extendsTakesTheBaseAndMergesQueries()
{
    QTemporaryDir dir;
    writeLayouts(dir,
                 {{"Base.json", baseLayout()},
                  {"Child.json",
                   QJsonObject{{"Extends", "Base.json"},
                               {"ReportTitle", "자식"},
                               {"Queries", QJsonArray{QJsonObject{{"Name", "q1"}, {"SQL", QJsonArray{"select 2"}}},
                                                      QJsonObject{{"Name", "Extra"}, {"SQL", QJsonArray{"select 3"}}}}},
                               {"Captions", QJsonObject{{"Title", "자식 제목"}}}}}});
    const auto layout = report::loadLayout(dir.filePath("Child.json"));
    QCOMPARE(layout->name, QStringLiteral("QuickRep1"));
    QCOMPARE(layout->reportTitle, QStringLiteral("자식"));
    QCOMPARE(layout->queries.size(), size_t(3)); // Q1 replaced in place (names match without case), qryOne, Extra
    QCOMPARE(layout->queries[0].sql, QStringList{"select 2"});
    QCOMPARE(layout->queries[1].name, QStringLiteral("qryOne"));
    QCOMPARE(layout->queries[2].name, QStringLiteral("Extra"));
    QCOMPARE(layout->item("Title")->caption, QStringLiteral("자식 제목"));
    QCOMPARE(layout->item("Other")->caption, QStringLiteral("kept"));
    QCOMPARE(layout->bands.size(), size_t(2));
    // The base is untouched.
    QCOMPARE(report::loadLayout(dir.filePath("Base.json"))->item("Title")->caption, QStringLiteral("design"));
}

void TstReportEngine::extendsRefusals_data()
{
    QTest::addColumn<QJsonObject>("child");
    QTest::addColumn<QString>("named");
    QTest::newRow("missing base") << QJsonObject{{"Extends", "Nope.json"}} << "Nope.json";
    QTest::newRow("caption of an unknown label")
        << QJsonObject{{"Extends", "Base.json"}, {"Captions", QJsonObject{{"Titel", "x"}}}} << "Titel";
    QTest::newRow("caption of a field") << QJsonObject{{"Extends", "Base.json"},
                                                       {"Captions", QJsonObject{{"FieldV", "x"}}}}
                                        << "FieldV";
    QTest::newRow("unknown key still refused") << QJsonObject{{"Extends", "Base.json"}, {"Colour", "red"}} << "Colour";
    QTest::newRow("itself") << QJsonObject{{"Extends", "Child.json"}} << "Extends";
}

void TstReportEngine::extendsRefusals()
{
    QFETCH(QJsonObject, child);
    QFETCH(QString, named);
    QTemporaryDir dir;
    writeLayouts(dir, {{"Base.json", baseLayout()}, {"Child.json", child}});
    try {
        report::loadLayout(dir.filePath("Child.json"));
        QFAIL("the layout was accepted");
    } catch (const report::ReportError &e) {
        QVERIFY2(e.text().contains(named), qPrintable(e.text()));
    }
}

void TstReportEngine::composedStatementsTakePeriodAndOrder()
{
    const QJsonObject json = reportJson(
        {}, {{"Queries",
              QJsonArray{QJsonObject{{"Name", "Q1"},
                                     {"SQL", QJsonArray{"select k from t", "where x between {PERIOD}"}},
                                     {"OrderBy", QJsonObject{{"ByK", "order by k"}, {"ByV", "order by v desc"}}}},
                         QJsonObject{{"Name", "Plain"}, {"SQL", QJsonArray{"select 1"}}}}}});
    const auto layout = report::parseLayout(bytes(json), "composed.json");
    const report::QueryDef &q = *layout->query("q1");
    QVERIFY(q.composed());
    QCOMPARE(q.orderNames(), (QStringList{"ByK", "ByV"}));
    QCOMPARE(q.compose("'1' And '2'", "ByV"),
             (QStringList{"select k from t", "where x between '1' And '2'", "order by v desc"}));
    QVERIFY_THROWS_EXCEPTION(report::ReportError, q.compose("'1' And '2'", "ByW"));
    QVERIFY_THROWS_EXCEPTION(report::ReportError, q.compose("'1' And '2'", QString()));
    QVERIFY(!layout->query("Plain")->composed());
    QCOMPARE(layout->query("Plain")->compose("x", QString()), QStringList{"select 1"});
}

void TstReportEngine::constructsExpandIntoItems()
{
    // A construct stands for several items, named and placed by its expander; what it does not
    // read is refused like any unknown property.
    report::registerConstruct("TTestPair", [](const report::LayoutObject &o) {
        std::vector<std::unique_ptr<report::Item>> out;
        for (int k = 0; k < 2; ++k) {
            auto i = std::make_unique<report::Item>();
            i->name = o.str("Name") + QString::number(k);
            i->caption = o.str("Caption");
            i->left = o.tenths("Left", 0) + 100 * k;
            i->width = 50;
            i->height = 50;
            out.push_back(std::move(i));
        }
        return out;
    });
    FixtureDb db(numberedRows(1));
    TestForm form;
    form.load(
        reportJson({band("TitleBand", "rbTitle", 20,
                         {QJsonObject{{"Name", "Pair"}, {"Class", "TTestPair"}, {"Caption", "쌍"}, {"Left", 5}}})}));
    const report::Page p = form.render().pages[0];
    QCOMPARE(p.textsOf("Pair0"), QStringList{"쌍"});
    QCOMPARE(findText(p, "Pair1")->rect.left(), 10 + 5 + 10.0);
    QVERIFY_THROWS_EXCEPTION(
        report::ReportError,
        form.load(reportJson(
            {band("TitleBand", "rbTitle", 20,
                  {QJsonObject{{"Name", "Pair"}, {"Class", "TTestPair"}, {"Caption", "쌍"}, {"Colour", "red"}}})})));
    // Two constructs may not produce the same name.
    QVERIFY_THROWS_EXCEPTION(
        report::ReportError,
        form.load(reportJson({band("TitleBand", "rbTitle", 20,
                                   {QJsonObject{{"Name", "Pair"}, {"Class", "TTestPair"}, {"Caption", "a"}},
                                    QJsonObject{{"Name", "Pair"}, {"Class", "TTestPair"}, {"Caption", "b"}}})})));
}

void TstReportEngine::bandConstructsExpandIntoBands()
{
    // An entry of "Bands" stands for a detail band and a summary band, written by its expander as
    // the file would write them and then read like any other band.
    report::registerBandConstruct("TTestTable", [](const report::LayoutObject &o) {
        const QString field = o.str("Field");
        return QJsonArray{band("Row", "rbDetail", 6, {item("RowV", "TQRDBText", {{"DataField", field}})}),
                          band("Total", "rbSummary", 6,
                               {item("TotalV", "TQRExpr", {{"Expression", QStringLiteral("SUM(%1)").arg(field)}})})};
    });
    FixtureDb db(numberedRows(3));
    TestForm form;
    const auto table = [](const QJsonObject &extra) {
        QJsonObject o{{"Class", "TTestTable"}, {"Name", "Table"}, {"Field", "V"}};
        for (auto it = extra.begin(); it != extra.end(); ++it)
            o.insert(it.key(), it.value());
        return o;
    };
    form.load(reportJson({band("TitleBand", "rbTitle", 10), table({})}));
    QCOMPARE(form.layout().bands.size(), size_t(3));
    QCOMPARE(form.layout().bands[1]->name, QStringLiteral("Row"));
    const report::Page p = form.render().pages[0];
    QCOMPARE(p.textsOf("RowV"), (QStringList{"10", "20", "30"}));
    QCOMPARE(p.textsOf("TotalV"), QStringList{"60"});
    // A key the expander did not read is refused, and so is a band it makes under a name the
    // file already uses.
    QVERIFY_THROWS_EXCEPTION(report::ReportError, form.load(reportJson({table({{"Colour", "red"}})})));
    QVERIFY_THROWS_EXCEPTION(report::ReportError, form.load(reportJson({band("Row", "rbTitle", 10), table({})})));
}

void TstReportEngine::pageFrameNeedsNoHandler()
{
    FixtureDb db(numberedRows(3));
    TestForm form;
    QJsonArray bands = standardBands(false);
    bands[2] =
        band("CH", "rbColumnHeader", 10, {item("Rule1", "TQRShape", {{"Shape", "qrsRightAndLeft"}}, 0, 0, 20, 10)});
    form.load(reportJson(bands, {{"OnEndPage", "QReSheetEndPage"},
                                 {"PageFrame", QJsonObject{{"TitleBand", "TitleBand"},
                                                           {"PageHeaderBand", "PH"},
                                                           {"RuleShapes", QJsonArray{"Rule1"}}}}}));
    const report::Page p = form.render(report::RenderOptions{254, {}}).pages[0];
    std::vector<const report::Primitive *> frame;
    for (const auto &x : p.items)
        if (x.source == "OnEndPage")
            frame.push_back(&x);
    QCOMPARE(frame.size(), size_t(2));
    // 254 dpi: one device pixel is 0.1 mm. Top = margin 10 + page header 8 + title 20.
    QCOMPARE(frame[0]->rect, QRectF(QPointF(10, 38), QPointF(200, 287)));
    QCOMPARE(frame[1]->rect, QRectF(QPointF(10, 38), QPointF(30, 287)));
    // A frame naming a shape the layout lacks is refused.
    QVERIFY_THROWS_EXCEPTION(
        report::ReportError,
        form.load(reportJson(bands, {{"OnEndPage", "QReSheetEndPage"},
                                     {"PageFrame", QJsonObject{{"TitleBand", "TitleBand"},
                                                               {"PageHeaderBand", "PH"},
                                                               {"RuleShapes", QJsonArray{"Rule9"}}}}})));
}

QTEST_MAIN(TstReportEngine)
#include "tst_report_engine.moc"
