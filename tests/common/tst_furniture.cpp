#include "../report/ReportFixture.h"
#include "platform/db/Query.h"
#include "platform/report/Formatters.h"
#include "platform/report/constructs/Furniture.h"

#include <QtTest>

using namespace tipdesk;
using namespace tipdesk::test;

// The furniture the report families share: the approval box and its stamp switch, the register
// page frame, the hour grid, and the share formatters.
class TstFurniture : public QObject {
    Q_OBJECT
private slots:
    void stampFollowsTheOption_data();
    void stampFollowsTheOption();
    void approvalBoxGeometry();
    void approvalCaptionTop_data();
    void approvalCaptionTop();
    void registerFrameAtTwoResolutions_data();
    void registerFrameAtTwoResolutions();
    void hourGridColumnsComeFromTheHourBands();
    void hourGridRowsRulesAndColumnRules();
    void hourGridRefusals_data();
    void hourGridRefusals();
    void formatSharePercent_data();
    void formatSharePercent();
    void formatShare_data();
    void formatShare();
};

namespace {

// A register like the daily reception register: landscape, margins 20/8/20/5 mm, page header
// 6.9 mm, title 33.7 mm with the approval box, column header 6 mm with rule shapes.
class Register : public TestForm {
public:
    Register(int rows, bool approval) : db(numberedRows(rows))
    {
        setParameter(common::kApprovalParameter, approval);
        QJsonObject title = test::band("QRBand1", "rbTitle", 33.7,
                                       {test::label("QRLabel1", "교통정보 접수 대장", 97.2, 5.3, 75.4, 7),
                                        QJsonObject{{"Name", "Approval"},
                                                    {"Class", "TApprovalBox"},
                                                    {"Left", 191.3},
                                                    {"Top", 10.6},
                                                    {"Caption", common::kApprovalCaptionWide},
                                                    {"StampLabel", "QRLabel4"},
                                                    {"StampShape", "QRShape13"}}});
        QJsonObject ch =
            test::band("ColumnHeaderBand1", "rbColumnHeader", 6,
                       {test::item("QRShape3", "TQRShape", {{"Shape", "qrsRightAndLeft"}}, 0, 0, 10.8, 6),
                        test::item("QRShape4", "TQRShape", {{"Shape", "qrsRightAndLeft"}}, 29.6, 0, 19.6, 6)});
        load(reportJson({test::band("QRBand4", "rbPageHeader", 6.9), title, ch,
                         test::band("DetailBand1", "rbDetail", 6,
                                    {test::item("FieldV", "TQRDBText", {{"DataField", "v"}}, 12, 0.7)})},
                        {{"Page", QJsonObject{{"Orientation", "poLandscape"},
                                              {"TopMargin", 20},
                                              {"BottomMargin", 8},
                                              {"LeftMargin", 20},
                                              {"RightMargin", 5}}},
                         {"Options", QJsonArray{"FirstPageHeader"}},
                         {"OnEndPage", "QReSheetEndPage"},
                         {"PageFrame", QJsonObject{{"TitleBand", "QRBand1"},
                                                   {"PageHeaderBand", "QRBand4"},
                                                   {"RuleShapes", QJsonArray{"QRShape3", "QRShape4"}}}}}));
    }
    FixtureDb db;
};

const report::Primitive *rectOf(const report::Page &p, const QString &source)
{
    for (const auto &x : p.items)
        if (x.source == source && x.kind == report::Primitive::Kind::Rect)
            return &x;
    return nullptr;
}

const report::Primitive *lineOf(const report::Page &p, const QString &source)
{
    for (const auto &x : p.items)
        if (x.source == source && x.kind == report::Primitive::Kind::Line)
            return &x;
    return nullptr;
}

bool near(const QRectF &a, const QRectF &b)
{
    return qAbs(a.x() - b.x()) < 1e-6 && qAbs(a.y() - b.y()) < 1e-6 && qAbs(a.width() - b.width()) < 1e-6 &&
           qAbs(a.height() - b.height()) < 1e-6;
}

// A small grid: columns 20 mm apart from 40 mm, the first 15 mm wide and the others 12.
QJsonObject grid(const QJsonArray &rows, const QJsonObject &extra = {})
{
    QJsonArray columns;
    for (int c = 0; c < 19; ++c)
        columns.append(40 + 12.5 * c);
    QJsonObject o{{"Name", "G"},
                  {"Class", "THourGrid"},
                  {"Left", 5},
                  {"Top", 10},
                  {"Width", 280},
                  {"Height", 40},
                  {"CaptionColumn", QJsonArray{6, 25}},
                  {"Columns", columns},
                  {"ColumnWidths", QJsonArray{12, 10}},
                  {"Rows", rows}};
    for (auto it = extra.begin(); it != extra.end(); ++it)
        o.insert(it.key(), it.value());
    return o;
}

// One row with TOTAL 9, MORNING_TOTAL 4, EVENING_TOTAL 5, TIMEhh = hh and Xhh = 100 + hh.
QString hourRow()
{
    QStringList columns{"total", "morning_total", "evening_total"}, values{"9", "4", "5"};
    for (int h = 6; h <= 21; ++h) {
        const QString hh = QStringLiteral("%1").arg(h, 2, 10, QLatin1Char('0'));
        columns << "time" + hh << "x" + hh;
        values << QString::number(h) << QString::number(100 + h);
    }
    return QStringLiteral("create table h(%1); insert into h values (%2);").arg(columns.join(u','), values.join(u','));
}

class GridForm : public TestForm {
public:
    explicit GridForm(const QJsonObject &g) : db(numberedRows(1) + hourRow())
    {
        onItemPrint("Star", [](const report::Item &, QString &v) { v = u'*' + v; });
        QJsonObject json = reportJson({test::band("TitleBand", "rbTitle", 60, {g})},
                                      {{"Page", QJsonObject{{"Orientation", "poLandscape"}}}});
        QJsonArray queries = json.value("Queries").toArray();
        queries.append(QJsonObject{{"Name", "QH"}, {"SQL", QJsonArray{"select * from h"}}});
        json.insert("Queries", queries);
        load(json);
        query("QH")->open();
    }
    FixtureDb db;
};

} // namespace

void TstFurniture::stampFollowsTheOption_data()
{
    QTest::addColumn<bool>("ticked");
    QTest::newRow("전결인 사용 ticked") << true;
    QTest::newRow("not ticked") << false;
}

void TstFurniture::stampFollowsTheOption()
{
    QFETCH(bool, ticked);
    Register form(3, ticked);
    const report::PageModel m = form.render();
    const report::Page &p = m.pages[0];
    QCOMPARE(p.textsOf("QRLabel4"), ticked ? QStringList{"전결"} : QStringList{});
    QCOMPARE(rectOf(p, "QRShape13")->color, ticked ? QColor(Qt::black) : QColor(Qt::white));
    // The rest of the box prints either way, and the band is not suppressed.
    QCOMPARE(p.textsOf("ApprovalCaption").join(""), QStringLiteral("결재"));
    QCOMPARE((QStringList{p.textsOf("ApprovalTitle1").value(0), p.textsOf("ApprovalTitle2").value(0),
                          p.textsOf("ApprovalTitle3").value(0), p.textsOf("ApprovalTitle4").value(0)}),
             (QStringList{"담  당", "과  장", "국  장", "본부장"}));
    QCOMPARE(rectOf(p, "ApprovalBox")->color, QColor(Qt::black));
    QVERIFY(lineOf(p, "ApprovalHeader"));
    QCOMPARE(p.textsOf("QRLabel1"), QStringList{"교통정보 접수 대장"});
}

void TstFurniture::approvalBoxGeometry()
{
    Register form(1, true);
    const report::Page p = form.render().pages[0];
    // Title band at top margin 20 + page header 6.9; left margin 20.
    const QPointF origin(20 + 191.3, 20 + 6.9 + 10.6);
    auto at = [&](const char *name) { return rectOf(p, name)->rect.translated(-origin); };
    QVERIFY(near(at("ApprovalBox"), QRectF(0, 0, 80.7, 21.7)));
    QVERIFY(near(at("ApprovalCol1"), QRectF(9.8, 0, 18.0, 21.7)));
    QVERIFY(near(at("ApprovalCol3"), QRectF(45.5, 0, 18.0, 21.7)));
    QVERIFY(near(at("QRShape13"), QRectF(47.8, 11.6, 13.2, 6.9)));
    QVERIFY(near(lineOf(p, "ApprovalHeader")->rect.translated(-origin), QRectF(9.8, 7.4, 71.2, 0)));
    const report::Primitive *stamp = findText(p, "QRLabel4");
    QVERIFY(stamp);
    QVERIFY(qAbs(stamp->rect.x() - origin.x() - 49.8) < 1e-6 && qAbs(stamp->rect.y() - origin.y() - 12.9) < 1e-6);
    const report::Primitive *title2 = findText(p, "ApprovalTitle2");
    QVERIFY(qAbs(title2->rect.x() - origin.x() - 29.9) < 1e-6 && qAbs(title2->rect.width() - 12.7) < 1e-6);

    // A form that moves the stamp gives the frame's own place; the text follows it.
    FixtureDb db(numberedRows(1));
    TestForm moved;
    moved.setParameter(common::kApprovalParameter, true);
    moved.load(reportJson({test::band("TitleBand", "rbTitle", 40,
                                      {QJsonObject{{"Name", "Box"},
                                                   {"Class", "TApprovalBox"},
                                                   {"Left", 196.5},
                                                   {"Top", 14.6},
                                                   {"Caption", common::kApprovalCaptionNarrow},
                                                   {"StampLabel", "S1"},
                                                   {"StampShape", "S2"},
                                                   {"StampLeft", 243.7},
                                                   {"StampTop", 25.8}}})}));
    const report::Page q = moved.render().pages[0];
    QVERIFY(near(rectOf(q, "S2")->rect.translated(-10, -10), QRectF(243.7, 25.8, 13.2, 6.9)));
    QVERIFY(qAbs(findText(q, "S1")->rect.x() - 10 - 245.7) < 1e-6);
    QCOMPARE(q.textsOf("BoxCaption").join(""), QStringLiteral("결재"));
}

void TstFurniture::approvalCaptionTop_data()
{
    QTest::addColumn<QJsonValue>("captionTop");
    QTest::addColumn<double>("expected"); // mm from the band's top
    // The box at 10.6 mm in the band: level with the titles 2.1 mm below its top, or lowered.
    QTest::newRow("level with the titles") << QJsonValue() << 10.6 + 2.1;
    QTest::newRow("lowered by the form") << QJsonValue(14.3) << 14.3;
    QTest::newRow("raised by the form") << QJsonValue(11.0) << 11.0;
}

void TstFurniture::approvalCaptionTop()
{
    QFETCH(QJsonValue, captionTop);
    QFETCH(double, expected);
    QJsonObject box{{"Name", "Box"},
                    {"Class", "TApprovalBox"},
                    {"Left", 191.3},
                    {"Top", 10.6},
                    {"Caption", common::kApprovalCaptionSpread},
                    {"StampLabel", "S1"},
                    {"StampShape", "S2"}};
    if (!captionTop.isUndefined() && !captionTop.isNull())
        box.insert("CaptionTop", captionTop);
    FixtureDb db(numberedRows(1));
    TestForm form;
    form.load(reportJson({test::band("TitleBand", "rbTitle", 40, {box})}));
    const report::Page p = form.render().pages[0];
    // Band origin: the 10 mm margins.
    const report::Primitive *first = findText(p, "BoxCaption", "결");
    const report::Primitive *second = findText(p, "BoxCaption", "재");
    QVERIFY(first && second);
    QVERIFY2(qAbs(first->rect.y() - 10 - expected) < 1e-6, qPrintable(QString::number(first->rect.y())));
    QVERIFY(qAbs(first->rect.x() - 10 - (191.3 + 3.2)) < 1e-6);
    QVERIFY(second->rect.y() > first->rect.y());
    // The titles, the box and the stamp stay where they were.
    QVERIFY(qAbs(findText(p, "BoxTitle1")->rect.y() - 10 - 12.7) < 1e-6);
    QVERIFY(near(rectOf(p, "BoxBox")->rect, QRectF(10 + 191.3, 10 + 10.6, 80.7, 21.7)));
    QVERIFY(near(rectOf(p, "S2")->rect, QRectF(10 + 191.3 + 47.8, 10 + 10.6 + 11.6, 13.2, 6.9)));
}

void TstFurniture::registerFrameAtTwoResolutions_data()
{
    QTest::addColumn<double>("dpi");
    QTest::newRow("300 dpi") << 300.0;
    QTest::newRow("600 dpi") << 600.0;
}

void TstFurniture::registerFrameAtTwoResolutions()
{
    QFETCH(double, dpi);
    Register form(40, true); // ends in the middle of page 2
    const report::PageModel m = form.render(report::RenderOptions{dpi, {}});
    QCOMPARE(m.pageCount(), 2);
    auto device = [&](int tenths) { return std::lround(tenths * dpi / 254.0) * 25.4 / dpi; };
    for (int page = 0; page < 2; ++page) {
        std::vector<const report::Primitive *> frame;
        for (const auto &x : m.pages[size_t(page)].items)
            if (x.source == "OnEndPage")
                frame.push_back(&x);
        QCOMPARE(frame.size(), size_t(3)); // the outline and two column rules
        // Page 1: below title and page header; page 2: directly below the page header.
        const int top = 200 + 69 + (page == 0 ? 337 : 0);
        const int bottom = 2100 - 80;
        const QRectF outline(QPointF(device(200), device(top)), QPointF(device(2970 - 50), device(bottom)));
        QCOMPARE(frame[0]->rect, outline);
        QVERIFY(qAbs(frame[0]->penWidth - 3 * 25.4 / dpi) < 1e-9);
        QCOMPARE(frame[1]->rect, QRectF(QPointF(device(200), device(top)), QPointF(device(200 + 108), device(bottom))));
        QCOMPARE(frame[2]->rect,
                 QRectF(QPointF(device(200 + 296), device(top)), QPointF(device(200 + 296 + 196), device(bottom))));
        QVERIFY(qAbs(frame[2]->penWidth - 25.4 / dpi) < 1e-9);
        // The frame is drawn after the page's last band.
        QCOMPARE(&m.pages[size_t(page)].items.back(), frame[2]);
    }
    // The column rules reach the bottom margin though the last page's rows end mid-page.
    const auto *lastRow = m.pages[1].texts().back();
    QVERIFY(lastRow->rect.bottom() < 150);
}

void TstFurniture::hourGridColumnsComeFromTheHourBands()
{
    QStringList keys, headers;
    for (const common::HourColumn &c : common::HourColumns()) {
        keys << c.key;
        headers << c.header;
    }
    QCOMPARE(headers, (QStringList{"계", "오전", "0-7", "7-8", "8-9", "9-10", "10-11", "11-12", "12-13", "13-14",
                                   "오후", "14-15", "15-16", "16-17", "17-18", "18-19", "19-20", "20-21", "21-24"}));
    QCOMPARE(keys.mid(0, 3), (QStringList{"TOTAL", "MORNING_TOTAL", "TIME06"}));
    QCOMPARE(keys.mid(9, 3), (QStringList{"TIME13", "EVENING_TOTAL", "TIME14"}));
    QCOMPARE(keys.last(), QStringLiteral("TIME21"));
    QCOMPARE(common::HourColumns()[2].hh, QStringLiteral("06"));

    GridForm form(grid({QJsonObject{{"Name", "Head"}, {"Top", 12}, {"Caption", "구분"}, {"Headers", true}}}));
    const report::Page p = form.render().pages[0];
    // Headers centred over their columns, bold 굴림; the caption in its column.
    for (int c = 0; c < 19; ++c) {
        const report::Primitive *t = findText(p, "GHead" + keys[c]);
        QVERIFY2(t, qPrintable(keys[c]));
        QCOMPARE(t->text, headers[c]);
        QVERIFY(qAbs(t->rect.left() - (10 + 40 + 12.5 * c)) < 1e-6);
        QVERIFY(qAbs(t->rect.width() - (c == 0 ? 12 : 10)) < 1e-6);
        QCOMPARE(t->align, Qt::AlignHCenter);
    }
    QCOMPARE(p.textsOf("GHeadCaption"), QStringList{"구분"});
}

void TstFurniture::hourGridRowsRulesAndColumnRules()
{
    GridForm form(
        grid({QJsonObject{{"Name", "Plain"}, {"Top", 20}, {"Caption", "건수"}, {"Rule", "Single"}, {"DataSet", "QH"}},
              QJsonObject{
                  {"Name", "Named"},
                  {"Top", 28},
                  {"Rule", "Double"},
                  {"DataSet", "QH"},
                  {"OnPrint", "Star"},
                  {"Fields",
                   QJsonObject{{"Total", "TOTAL"}, {"Morning", "TIME06"}, {"Afternoon", "TIME07"}, {"Hour", "X{hh}"}}}},
              QJsonObject{{"Name", "Sum"},
                          {"Top", 36},
                          {"Expressions", QJsonObject{{"Total", "QH.MORNING_TOTAL + QH.EVENING_TOTAL"},
                                                      {"Morning", "QH.TIME06 + 1"},
                                                      {"Afternoon", "QH.TIME21 - 1"},
                                                      {"Hour", "QH.TIME{hh} + 0"}}}}},
             {{"RuleAbove", 2}, {"RuleHeight", 1}}));
    const report::Page p = form.render().pages[0];
    // Fields named after the statistics columns by default.
    QCOMPARE(p.textsOf("GPlainTOTAL"), QStringList{"9"});
    QCOMPARE(p.textsOf("GPlainMORNING_TOTAL"), QStringList{"4"});
    QCOMPARE(p.textsOf("GPlainEVENING_TOTAL"), QStringList{"5"});
    QCOMPARE(p.textsOf("GPlainTIME21"), QStringList{"21"});
    const report::Primitive *cell = findText(p, "GPlainTIME07");
    QCOMPARE(cell->align, Qt::AlignRight);
    QVERIFY(qAbs(cell->rect.top() - (10 + 20)) < 1e-6);
    // Named fields with the band's digits, through the row's handler.
    QCOMPARE(p.textsOf("GNamedTOTAL"), QStringList{"*9"});
    QCOMPARE(p.textsOf("GNamedMORNING_TOTAL"), QStringList{"*6"});
    QCOMPARE(p.textsOf("GNamedEVENING_TOTAL"), QStringList{"*7"});
    QCOMPARE(p.textsOf("GNamedTIME06"), QStringList{"*106"});
    QCOMPARE(p.textsOf("GNamedTIME20"), QStringList{"*120"});
    // Expressions.
    QCOMPARE(p.textsOf("GSumTOTAL"), QStringList{"9"});
    QCOMPARE(p.textsOf("GSumMORNING_TOTAL"), QStringList{"7"});
    QCOMPARE(p.textsOf("GSumEVENING_TOTAL"), QStringList{"20"});
    QCOMPARE(p.textsOf("GSumTIME13"), QStringList{"13"});
    // A rule above a row, doubled where asked; none above the last row.
    QVERIFY(near(lineOf(p, "GPlainRule")->rect, QRectF(QPointF(15, 10 + 18.5), QPointF(295, 10 + 18.5))));
    QVERIFY(near(rectOf(p, "GNamedDouble")->rect, QRectF(15, 10 + 26, 280, 1)));
    QVERIFY(!rectOf(p, "GPlainDouble"));
    QVERIFY(!lineOf(p, "GSumRule"));
    // The frame, and full-height rectangles around the caption column and every second column.
    QVERIFY(near(rectOf(p, "GFrame")->rect, QRectF(15, 20, 280, 40)));
    QVERIFY(near(rectOf(p, "GColLabel")->rect, QRectF(15, 20, 40 - 0.6 - 5, 40)));
    QVERIFY(near(rectOf(p, "GCol2")->rect, QRectF(10 + 40 + 25 - 0.6, 20, 12.5, 40)));
    QVERIFY(near(rectOf(p, "GCol18")->rect, QRectF(10 + 40 + 225 - 0.6, 20, 5 + 280 - 40 - 225 + 0.6, 40)));
    QVERIFY(!rectOf(p, "GCol1"));
}

void TstFurniture::hourGridRefusals_data()
{
    QTest::addColumn<QJsonObject>("gridObject");
    QTest::addColumn<QString>("named");
    QJsonObject shortColumns = grid({});
    shortColumns.insert("Columns", QJsonArray{40, 50});
    QTest::newRow("too few columns") << shortColumns << "Columns";
    QTest::newRow("headers with a data set")
        << grid({QJsonObject{{"Name", "H"}, {"Top", 1}, {"Headers", true}, {"DataSet", "QH"}}}) << "DataSet";
    QTest::newRow("unknown row key") << grid({QJsonObject{{"Name", "R"}, {"Top", 1}, {"DataSett", "QH"}}})
                                     << "DataSett";
    QTest::newRow("unknown column name")
        << grid({QJsonObject{{"Name", "R"}, {"Top", 1}, {"DataSet", "QH"}, {"Fields", QJsonObject{{"Evening", "x"}}}}})
        << "Evening";
    QTest::newRow("row without a name") << grid({QJsonObject{{"Top", 1}, {"DataSet", "QH"}}}) << "Name";
    QTest::newRow("unknown rule") << grid({QJsonObject{{"Name", "R"}, {"Top", 1}, {"Rule", "Triple"}}}) << "Triple";
    QTest::newRow("unknown grid key") << grid({}, {{"Colour", "red"}}) << "Colour";
}

void TstFurniture::hourGridRefusals()
{
    QFETCH(QJsonObject, gridObject);
    QFETCH(QString, named);
    try {
        GridForm form(gridObject);
        QFAIL("the grid was accepted");
    } catch (const report::ReportError &e) {
        QVERIFY2(e.text().contains(named), qPrintable(e.text()));
    }
}

void TstFurniture::formatSharePercent_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("printed");
    QTest::newRow("half goes up") << "6.25"
                                  << "6.3%";
    QTest::newRow("12.37") << "12.37"
                           << "12.4%";
    QTest::newRow("repeating") << "33.3333333333333"
                               << "33.3%";
    QTest::newRow("carry") << "99.96"
                           << "100.0%";
    QTest::newRow("zero") << "0"
                          << "0.0%";
    QTest::newRow("whole") << "100"
                           << "100.0%";
    QTest::newRow("below one") << "0.45"
                               << "0.5%";
    QTest::newRow("no leading zero") << ".04"
                                     << "0.0%";
    QTest::newRow("negative half") << "-2.25"
                                   << "-2.3%";
}

void TstFurniture::formatSharePercent()
{
    QFETCH(QString, text);
    QFETCH(QString, printed);
    QCOMPARE(report::FormatSharePercent(text), printed);
    QVERIFY_THROWS_EXCEPTION(report::ReportError, report::FormatSharePercent(QStringLiteral("12,5")));
}

void TstFurniture::formatShare_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("plain");
    QTest::newRow("half goes up") << "18.75"
                                  << "18.8";
    QTest::newRow("half goes up, not to even") << "6.25"
                                               << "6.3";
    QTest::newRow("below half") << "33.3333333333333"
                                << "33.3";
    QTest::newRow("above half") << "66.6666666666667"
                                << "66.7";
    QTest::newRow("carry into the integer") << "99.95"
                                            << "100.0";
    QTest::newRow("zero") << "0"
                          << "0.0";
    QTest::newRow("small") << "0.04"
                           << "0.0";
    QTest::newRow("empty") << ""
                           << "";
}

void TstFurniture::formatShare()
{
    QFETCH(QString, text);
    QFETCH(QString, plain);
    QCOMPARE(report::FormatShare(text, false), plain);
    QCOMPARE(report::FormatShare(text, true), plain.isEmpty() ? QString() : plain + u'%');
}

QTEST_MAIN(TstFurniture)
#include "tst_furniture.moc"
