#include "ReportFixture.h"
#include "reports/summary/Furniture.h"

#include <QtTest>

using namespace tipdesk;
using namespace tipdesk::test;

// A register like the daily reception register: landscape, margins 20/8/20/5 mm, page header
// 6.9 mm, title 33.7 mm with the approval box, column header 6 mm with rule shapes.
class TstReportFurniture : public QObject {
    Q_OBJECT
private slots:
    void stampFollowsTheConsoleOption_data();
    void stampFollowsTheConsoleOption();
    void approvalBoxGeometry();
    void registerFrameAtTwoResolutions_data();
    void registerFrameAtTwoResolutions();
};

namespace {

class Register : public TestForm {
public:
    explicit Register(int rows) : db(numberedRows(rows))
    {
        onBandBeforePrint("QRBand1BeforePrint",
                          [this](report::Band &, bool &) { report::applyStampSwitch(*this, "QRLabel4", "QRShape13"); });
        onEndPage("QReSheetEndPage", [this](report::ReportForm &, report::PageCanvas &c) {
            report::drawRegisterFrame(*this, c, "QRBand1", "QRBand4", {"QRShape3", "QRShape4"});
        });
        QJsonObject title =
            test::band("QRBand1", "rbTitle", 33.7, {test::label("QRLabel1", "교통정보 접수 대장", 97.2, 5.3, 75.4, 7)});
        title.insert("BeforePrint", "QRBand1BeforePrint");
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
                         {"OnEndPage", "QReSheetEndPage"}}));
        report::placeApprovalBox(*this, band("QRBand1"), 1913, 106, report::kApprovalCaptionWide,
                                 {"Approval", "QRLabel4", "QRShape13"});
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

} // namespace

void TstReportFurniture::stampFollowsTheConsoleOption_data()
{
    QTest::addColumn<bool>("ticked");
    QTest::newRow("전결인 사용 ticked") << true;
    QTest::newRow("not ticked") << false;
}

void TstReportFurniture::stampFollowsTheConsoleOption()
{
    QFETCH(bool, ticked);
    report::ApprovalState::setProvider([ticked] { return ticked; });
    Register form(3);
    const report::PageModel m = form.render();
    report::ApprovalState::setProvider(nullptr);
    const report::Page &p = m.pages[0];
    QCOMPARE(p.textsOf("QRLabel4"), ticked ? QStringList{"전결"} : QStringList{});
    QCOMPARE(rectOf(p, "QRShape13")->color, ticked ? QColor(Qt::black) : QColor(Qt::white));
    // The rest of the box prints either way, and the band is not suppressed.
    QCOMPARE(p.textsOf("ApprovalCaption").join(""), QStringLiteral("결재"));
    QCOMPARE((QStringList{p.textsOf("ApprovalTitle1").value(0), p.textsOf("ApprovalTitle2").value(0),
                          p.textsOf("ApprovalTitle3").value(0), p.textsOf("ApprovalTitle4").value(0)}),
             (QStringList{"담  당", "과  장", "국  장", "본부장"}));
    QCOMPARE(rectOf(p, "ApprovalBox")->color, QColor(Qt::black));
    QCOMPARE(p.textsOf("QRLabel1"), QStringList{"교통정보 접수 대장"});
    QVERIFY(!report::ApprovalState::delegatedStampEnabled()); // off without a provider
}

void TstReportFurniture::approvalBoxGeometry()
{
    report::ApprovalState::setProvider([] { return true; });
    Register form(1);
    const report::Page p = form.render().pages[0];
    report::ApprovalState::setProvider(nullptr);
    // Title band at top margin 20 + page header 6.9; left margin 20.
    const QPointF origin(20 + 191.3, 20 + 6.9 + 10.6);
    auto at = [&](const char *name) { return rectOf(p, name)->rect.translated(-origin); };
    auto near = [](const QRectF &a, const QRectF &b) {
        return qAbs(a.x() - b.x()) < 1e-6 && qAbs(a.y() - b.y()) < 1e-6 && qAbs(a.width() - b.width()) < 1e-6 &&
               qAbs(a.height() - b.height()) < 1e-6;
    };
    QVERIFY(near(at("ApprovalBox"), QRectF(0, 0, 80.7, 21.7)));
    QVERIFY(near(at("ApprovalCol1"), QRectF(9.8, 0, 18.0, 21.7)));
    QVERIFY(near(at("ApprovalCol3"), QRectF(45.5, 0, 18.0, 21.7)));
    QVERIFY(near(at("QRShape13"), QRectF(47.8, 11.6, 13.2, 6.9)));
    // The stamp frame at (239.1, 22.2) in the band, as the register places it.
    QVERIFY(near(rectOf(p, "QRShape13")->rect.translated(-20, -26.9), QRectF(239.1, 22.2, 13.2, 6.9)));
    const report::Primitive *stamp = findText(p, "QRLabel4");
    QVERIFY(stamp);
    QVERIFY(qAbs(stamp->rect.x() - origin.x() - 49.8) < 1e-6 && qAbs(stamp->rect.y() - origin.y() - 12.9) < 1e-6);
}

void TstReportFurniture::registerFrameAtTwoResolutions_data()
{
    QTest::addColumn<double>("dpi");
    QTest::newRow("300 dpi") << 300.0;
    QTest::newRow("600 dpi") << 600.0;
}

void TstReportFurniture::registerFrameAtTwoResolutions()
{
    QFETCH(double, dpi);
    Register form(40); // ends in the middle of page 2
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

QTEST_MAIN(TstReportFurniture)
#include "tst_report_furniture.moc"
