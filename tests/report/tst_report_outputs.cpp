#include "ReportFixture.h"
#include "platform/report/Painter.h"
#include "platform/report/ui/Print.h"

#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

using namespace tipdesk;
using namespace tipdesk::test;

class TstReportOutputs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void pdfHasEveryPageAndExtractableKoreanText();
    void pngOfAPageHasPaperSizeAndInkWhereTextIs_data();
    void pngOfAPageHasPaperSizeAndInkWhereTextIs();
    void unwritablePathFailsWithoutLeavingAFile();
    void textScalesWithThePageOnAScreen();
    void printingKeepsEveryTextOnThePaper_data();
    void printingKeepsEveryTextOnThePaper();

private:
    report::PageModel m_model;
    std::unique_ptr<FixtureDb> m_db;
};

void TstReportOutputs::initTestCase()
{
    m_db = std::make_unique<FixtureDb>(numberedRows(60));
    TestForm form;
    form.load(reportJson(
        {band("TitleBand", "rbTitle", 20,
              {item("TitleLabel", "TQRLabel",
                    {{"Caption", "교통정보 접수 대장"},
                     {"Font", QJsonObject{{"Name", "굴림체"}, {"Size", 18}, {"Style", QJsonArray{"fsBold"}}}}},
                    40, 2, 120, 9)}),
         band("DB", "rbDetail", 10,
              {item("FieldTxt", "TQRDBText", {{"DataField", "txt"}}, 1, 1, 60),
               item("Box", "TQRShape", {{"Shape", "qrsRectangle"}}, 100, 1, 20, 5)})}));
    m_model = form.render();
    QVERIFY(m_model.pageCount() >= 2);
}

void TstReportOutputs::pdfHasEveryPageAndExtractableKoreanText()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("report.pdf");
    report::writePdf(m_model, path);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray pdf = f.readAll();
    QVERIFY(pdf.startsWith("%PDF-"));
    QVERIFY(pdf.contains("/FontFile2")); // fonts embedded

    const QString tool = QStandardPaths::findExecutable("pdftotext");
    QVERIFY2(!tool.isEmpty(), "pdftotext (poppler-utils) is needed to read the PDF back");
    QProcess p;
    p.start(tool, {"-enc", "UTF-8", path, "-"});
    QVERIFY(p.waitForFinished(30000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    QCOMPARE(text.count(QChar(u'\f')), m_model.pageCount()); // one form feed per page
    // Word gaps come back as the extractor guesses them; compare the letters.
    QString letters = text;
    letters.removeIf([](QChar c) { return !c.isLetterOrNumber(); });
    QVERIFY2(letters.contains(QStringLiteral("교통정보접수대장")), qPrintable(text.left(300)));
    QVERIFY(letters.contains(QStringLiteral("row60")));
}

void TstReportOutputs::pngOfAPageHasPaperSizeAndInkWhereTextIs_data()
{
    QTest::addColumn<double>("dpi");
    QTest::newRow("screen") << 96.0;
    QTest::newRow("print") << 200.0;
}

void TstReportOutputs::pngOfAPageHasPaperSizeAndInkWhereTextIs()
{
    QFETCH(double, dpi);
    QTemporaryDir dir;
    const QString path = dir.filePath("page1.png");
    report::writePng(m_model, 0, path, dpi);
    QImage image(path);
    QVERIFY(!image.isNull());
    QCOMPARE(image.width(), qRound(210 * dpi / 25.4));
    QCOMPARE(image.height(), qRound(297 * dpi / 25.4));
    auto inkIn = [&](const QRectF &mm) {
        int dark = 0;
        const QRect r(int(mm.left() * dpi / 25.4), int(mm.top() * dpi / 25.4), int(mm.width() * dpi / 25.4),
                      int(mm.height() * dpi / 25.4));
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                dark += qGray(image.pixel(x, y)) < 128;
        return dark;
    };
    const report::Primitive *title = findText(m_model.pages[0], "TitleLabel");
    QVERIFY(title);
    QVERIFY(inkIn(title->rect) > 20);
    QCOMPARE(inkIn(QRectF(150, 150, 40, 40)), 0); // nothing printed there
    QVERIFY(inkIn(QRectF(0, 0, 9, 290)) == 0);    // the left margin stays blank
}

void TstReportOutputs::unwritablePathFailsWithoutLeavingAFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("missing-folder/report.pdf");
    QVERIFY_THROWS_EXCEPTION(report::ReportError, report::writePdf(m_model, path));
    QVERIFY(!QFile::exists(path));
    QVERIFY_THROWS_EXCEPTION(report::ReportError, report::writePng(m_model, 99, dir.filePath("x.png")));
    QVERIFY(!QFile::exists(dir.filePath("x.png")));
}

namespace {

// The ink of the title's row on a 96-dpi canvas with the page drawn at `dpi`: its width in pixels.
int titleInkWidth(const report::PageModel &model, double dpi)
{
    QImage image(int(210 * dpi / 25.4), int(60 * dpi / 25.4), QImage::Format_RGB32);
    image.setDotsPerMeterX(int(std::lround(96 / 0.0254)));
    image.setDotsPerMeterY(int(std::lround(96 / 0.0254)));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        report::paintPage(painter, model, 0, dpi, dpi);
    }
    // The title stands from 12 to 21 mm down the page; the detail rows begin below it.
    int left = image.width(), right = -1;
    for (int y = int(12 * dpi / 25.4); y < int(21 * dpi / 25.4); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    return right - left;
}

} // namespace

void TstReportOutputs::textScalesWithThePageOnAScreen()
{
    // A preview draws the page at its zoom on a screen of 96 dpi: the text must keep its place
    // in the page, so at twice the zoom it is twice as wide.
    const int at96 = titleInkWidth(m_model, 96);
    const int at192 = titleInkWidth(m_model, 192);
    const int at48 = titleInkWidth(m_model, 48);
    QVERIFY2(at96 > 100, qPrintable(QString::number(at96)));
    QVERIFY2(qAbs(at192 - 2 * at96) <= 8, qPrintable(QStringLiteral("%1 / %2").arg(at192).arg(at96)));
    QVERIFY2(qAbs(2 * at48 - at96) <= 8, qPrintable(QStringLiteral("%1 / %2").arg(at48).arg(at96)));
}

void TstReportOutputs::printingKeepsEveryTextOnThePaper_data()
{
    // A portrait report printed on the paper the printer is set to: its own paper, the other
    // orientation, smaller paper, and paper a little shorter than the page.
    QTest::addColumn<int>("paper");
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<double>("scale");
    QTest::newRow("A4 portrait: as drawn") << int(QPageSize::A4) << false << 1.0;
    QTest::newRow("A4 landscape") << int(QPageSize::A4) << true << 210.0 / 297;
    QTest::newRow("A5 portrait") << int(QPageSize::A5) << false << 148.0 / 210;
    QTest::newRow("Letter portrait") << int(QPageSize::Letter) << false << 279.4 / 297;
}

void TstReportOutputs::printingKeepsEveryTextOnThePaper()
{
    QFETCH(int, paper);
    QFETCH(bool, landscape);
    QFETCH(double, scale);
    QTemporaryDir dir;
    const QString path = dir.filePath("printed.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFileName(path);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::PageSizeId(paper)),
                                      landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF()));
    report::printModel(m_model, printer);
    QVERIFY(!QFile::exists(path + ".part"));

    QProcess p;
    p.start(QStandardPaths::findExecutable("pdftotext"), {"-bbox", "-f", "1", "-l", "1", path, "-"});
    QVERIFY(p.waitForFinished(30000));
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    const QRegularExpressionMatch page = QRegularExpression(R"re(width="([\d.]+)" height="([\d.]+)")re").match(html);
    const QRectF paperPt(0, 0, page.captured(1).toDouble(), page.captured(2).toDouble());
    QCOMPARE(paperPt.width() > paperPt.height(), landscape);
    // Every word lies on the paper, and every text of the page is there.
    QString printed;
    QRectF ink;
    static const QRegularExpression word(R"re(xMin="(.+)" yMin="(.+)" xMax="(.+)" yMax="(.+)">([^<]*)</word>)re");
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch w = it.next();
        const QRectF box(QPointF(w.captured(1).toDouble(), w.captured(2).toDouble()),
                         QPointF(w.captured(3).toDouble(), w.captured(4).toDouble()));
        QVERIFY2(paperPt.contains(box), qPrintable(w.captured(5)));
        ink |= box;
        printed += w.captured(5) + u' ';
    }
    // Word gaps come back as the extractor guesses them.
    printed.replace(QRegularExpression(QStringLiteral("[\\s\\x01]")), QStringLiteral(" "));
    for (const QString &text : m_model.pages[0].textsOf("FieldTxt"))
        QVERIFY2(printed.contains(text + u' '), qPrintable(text + QStringLiteral(" is missing")));
    // Scaled to fit whole and centred across the paper; as drawn where the paper holds the page.
    const double leftMm =
        (paperPt.width() * 25.4 / 72 - 210 * scale) / 2 + findText(m_model.pages[0], "FieldTxt")->rect.left() * scale;
    QVERIFY2(qAbs(ink.left() - leftMm * 72 / 25.4) < 1.5, qPrintable(QString::number(ink.left())));
}

QTEST_MAIN(TstReportOutputs)
#include "tst_report_outputs.moc"
