#include "RecordedBoxes.h"
#include "ReportFixture.h"
#include "platform/report/Renderer.h"
#include "platform/report/ui/Preview.h"
#include "platform/report/ui/PreviewWindow.h"
#include "platform/ui/UiService.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QWheelEvent>
#include <QtTest>
#include <functional>

using namespace tipdesk;
using namespace tipdesk::test;
using report::PageModel;
using report::PreviewWindow;

class TstPreview : public QObject {
    Q_OBJECT
private slots:
    // The window's place, zoom and last folder go to settings of the test's own.
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { QSettings(QSettings::IniFormat, QSettings::UserScope, "tipdesk", "tipdesk").clear(); }
    void showsEveryPageOnceBuilt();
    void navigatesByKeysAndTypedNumber_data();
    void navigatesByKeysAndTypedNumber();
    void zoomStepsChangeThePageSize_data();
    void zoomStepsChangeThePageSize();
    void firstPageShowsWhileALongReportBuilds();
    void escapeClosesTheWindowAndPreviewReturns_data();
    void escapeClosesTheWindowAndPreviewReturns();
    void closesWithAPageNumberHalfTyped_data();
    void closesWithAPageNumberHalfTyped();
    void savingAndLoading_data();
    void savingAndLoading();
    void failedBuildShowsItsErrorOverAnEmptyPreview();
    void findMarksAndVisitsHits_data();
    void findMarksAndVisitsHits();
    void thumbnailsAndContinuousView();
};

namespace {

constexpr int shortRows = 100; // a handful of pages

QJsonArray bands()
{
    return QJsonArray{
        band("PH", "rbPageHeader", 8, {item("PageNo", "TQRSysData", {{"Data", "qrsPageNumber"}}, 170, 1, 17)}),
        band("TitleBand", "rbTitle", 20, {label("TitleLabel", "제목", 60, 2, 60, 8)}),
        band("CH", "rbColumnHeader", 10, {label("HeadK", "순번", 1, 1)}),
        band("DB", "rbDetail", 10,
             {item("DetailNo", "TQRSysData", {{"Data", "qrsDetailNo"}}, 1, 1, 10),
              item("FieldV", "TQRDBText", {{"DataField", "v"}}, 20, 1)}),
        band("SB", "rbSummary", 10, {label("SumCaption", "계", 1, 1)}),
        band("PF", "rbPageFooter", 10, {label("FooterLabel", "끝", 1, 1)}),
    };
}

// A form whose detail band runs an action before each record prints.
class DetailForm : public TestForm {
public:
    explicit DetailForm(std::function<void()> beforeEachRecord)
    {
        onBandBeforePrint(QStringLiteral("DBBeforePrint"),
                          [act = std::move(beforeEachRecord)](const report::Band &, bool &) { act(); });
        QJsonArray b = bands();
        QJsonObject detail = b[3].toObject();
        detail.insert("BeforePrint", "DBBeforePrint");
        b[3] = detail;
        load(reportJson(b, {{"Options", QJsonArray{"FirstPageHeader"}}}));
    }
};

// A form whose detail band can be slowed down: each record then takes at least a millisecond, so
// a long build certainly spans many of the window's slices whatever the machine's speed.
class SlowForm : public DetailForm {
public:
    explicit SlowForm(bool slow)
        : DetailForm([slow] {
              if (slow)
                  QThread::msleep(1);
          })
    {
    }
};

struct Parts {
    QSpinBox *pageBox = nullptr;
    QLabel *count = nullptr;
    QComboBox *zoom = nullptr;
    QScrollArea *scroll = nullptr;
    QProgressBar *progress = nullptr;
    QPushButton *cancel = nullptr;
    QWidget *page() const { return scroll->widget(); }
};

Parts partsOf(PreviewWindow &w)
{
    Parts p;
    p.pageBox = w.findChild<QSpinBox *>();
    p.zoom = w.findChild<QComboBox *>();
    p.scroll = w.findChild<QScrollArea *>();
    p.progress = w.findChild<QProgressBar *>();
    p.cancel = w.findChild<QPushButton *>();
    p.count = w.findChild<QLabel *>(QStringLiteral("pageCount"));
    return p;
}

bool complete(const Parts &p)
{
    return p.pageBox && p.count && p.zoom && p.scroll && p.scroll->widget() && p.progress && p.cancel;
}

// Dark pixels inside the page's border: zero for a blank page.
int inkOf(QWidget *page)
{
    const QImage img = page->grab().toImage();
    int ink = 0;
    for (int y = 2; y < img.height() - 2; ++y)
        for (int x = 2; x < img.width() - 2; ++x)
            if (qGray(img.pixel(x, y)) < 128)
                ++ink;
    return ink;
}

QAction *actionOf(PreviewWindow &w, const QString &text)
{
    for (QAction *a : w.findChildren<QAction *>())
        if (a->text() == text)
            return a;
    return nullptr;
}

// A window over a finished model, as after loading a saved report.
struct LoadedWindow {
    FixtureDb db{numberedRows(shortRows)};
    SlowForm form{false};
    std::unique_ptr<PreviewWindow> w = std::make_unique<PreviewWindow>(nullptr);
    Parts p;
    LoadedWindow()
    {
        w->loadModel(form.render());
        p = partsOf(*w);
    }
};

void showActive(QWidget &w)
{
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

int finishedPageCount()
{
    SlowForm form(false);
    return form.render().pageCount();
}

void press(PreviewWindow &w, Qt::Key key)
{
    QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : &w;
    QTest::keyClick(target, key);
}

// As a user does: click into the page box, replace its text, press Enter.
void typePage(const Parts &p, const QString &text)
{
    p.pageBox->setFocus(Qt::MouseFocusReason);
    p.pageBox->selectAll();
    QTest::keyClicks(p.pageBox, text);
    QTest::keyClick(p.pageBox, Qt::Key_Return);
}

} // namespace

void TstPreview::showsEveryPageOnceBuilt()
{
    FixtureDb db(numberedRows(shortRows));
    const int pages = finishedPageCount();
    QVERIFY(pages >= 4);
    SlowForm form(false);
    PreviewWindow w(std::make_unique<report::Renderer>(form));
    const Parts p = partsOf(w);
    QVERIFY(complete(p));
    showActive(w);
    QTRY_VERIFY_WITH_TIMEOUT(!w.building(), 8000);
    QCOMPARE(w.model().pageCount(), pages);
    QCOMPARE(p.count->text(), QStringLiteral(" / %1").arg(pages));
    QCOMPARE(p.pageBox->maximum(), pages);
    QCOMPARE(p.pageBox->value(), 1);
    QCOMPARE(w.currentPage(), 0);
    QVERIFY(!p.progress->isVisible());
    QVERIFY(!p.cancel->isVisible());
    QVERIFY(inkOf(p.page()) > 0);
    // It opens on the screen, in at most 90 % of it, and a new window takes up the last one's
    // place and zoom.
    const QRect area = w.screen()->availableGeometry();
    QVERIFY(area.contains(w.geometry()));
    QVERIFY(w.width() <= area.width() * 9 / 10 && w.height() <= area.height() * 9 / 10);
    p.zoom->setCurrentIndex(p.zoom->findText(QStringLiteral("150%")));
    w.setGeometry(area.adjusted(10, 20, -30, -40));
    w.reject();
    PreviewWindow again(nullptr);
    QCOMPARE(again.geometry(), area.adjusted(10, 20, -30, -40));
    QCOMPARE(partsOf(again).zoom->currentText(), QStringLiteral("150%"));
}

void TstPreview::navigatesByKeysAndTypedNumber_data()
{
    // Steps: a key name, or "=N" for typing N into the page box; -1 in expected means the last page.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("expected"); // 0-based
    QTest::newRow("PgDn") << QStringList{"PgDn"} << 1;
    QTest::newRow("PgDn twice") << QStringList{"PgDn", "PgDn"} << 2;
    QTest::newRow("PgDn stops at the last page") << QStringList{"End", "PgDn"} << -1;
    QTest::newRow("PgUp") << QStringList{"PgDn", "PgDn", "PgUp"} << 1;
    QTest::newRow("PgUp stops at the first page") << QStringList{"PgUp"} << 0;
    QTest::newRow("End") << QStringList{"End"} << -1;
    QTest::newRow("Home after End") << QStringList{"End", "Home"} << 0;
    QTest::newRow("typed number") << QStringList{"=3"} << 2;
    QTest::newRow("typed number after End") << QStringList{"End", "=2"} << 1;
    QTest::newRow("PgDn after a typed number") << QStringList{"=3", "PgDn"} << 3;
    QTest::newRow("Home after a typed number") << QStringList{"=3", "Home"} << 0;
    QTest::newRow("End after a typed number") << QStringList{"=2", "End"} << -1;
    QTest::newRow("typed number beyond the last") << QStringList{"=2", "=99"} << 1;
    QTest::newRow("typed zero") << QStringList{"=3", "=0"} << 2;
}

void TstPreview::navigatesByKeysAndTypedNumber()
{
    QFETCH(QStringList, steps);
    QFETCH(int, expected);
    FixtureDb db(numberedRows(shortRows));
    SlowForm form(false);
    PreviewWindow w(std::make_unique<report::Renderer>(form));
    const Parts p = partsOf(w);
    QVERIFY(complete(p));
    showActive(w);
    QTRY_VERIFY_WITH_TIMEOUT(!w.building(), 8000);
    const int pages = w.model().pageCount();
    QVERIFY(pages >= 4);
    if (expected < 0)
        expected = pages - 1;
    const QHash<QString, Qt::Key> keys{
        {"PgDn", Qt::Key_PageDown}, {"PgUp", Qt::Key_PageUp}, {"Home", Qt::Key_Home}, {"End", Qt::Key_End}};
    for (const QString &s : steps) {
        if (s.startsWith('='))
            typePage(p, s.mid(1));
        else
            press(w, keys.value(s));
    }
    QCOMPARE(w.currentPage(), expected);
    QCOMPARE(p.pageBox->value(), expected + 1);
    QCOMPARE(p.pageBox->text(), QString::number(expected + 1));
    // The page drawn is the one named: its page number is on it.
    QCOMPARE(w.model().pages[size_t(expected)].textsOf("PageNo"), QStringList{QString::number(expected + 1)});
    QVERIFY(inkOf(p.page()) > 0);
}

void TstPreview::zoomStepsChangeThePageSize_data()
{
    // step: the zoom chosen; keys: then pressed (Ctrl+= and Ctrl+- or the wheel with Ctrl held);
    // percent: the zoom the page is drawn at, 0 where the step fits the window.
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<double>("percent");
    const auto row = [](const char *name, const char *step, const char *keys, double percent) {
        QTest::newRow(name) << QString::fromUtf8(step) << QString::fromUtf8(keys) << percent;
    };
    row("whole page", "전체 페이지", "", 0);
    row("page width", "페이지 너비", "", 0);
    for (const char *step : {"50%", "75%", "100%", "150%", "200%"})
        row(step, step, "", QByteArray(step).chopped(1).toDouble());
    row("Ctrl+= from 100%", "100%", "Ctrl+=", 125);
    row("Ctrl+- twice from 100%", "100%", "Ctrl+- Ctrl+-", 50);
    row("Ctrl+= at the largest step", "400%", "Ctrl+=", 400);
    row("Ctrl+wheel up from 150%", "150%", "wheel+", 200);
    row("Ctrl+wheel down from 75%", "75%", "wheel-", 50);
}

void TstPreview::zoomStepsChangeThePageSize()
{
    QFETCH(QString, step);
    QFETCH(QString, keys);
    QFETCH(double, percent);
    LoadedWindow loaded;
    PreviewWindow &w = *loaded.w;
    const Parts &p = loaded.p;
    QVERIFY(complete(p));
    const int index = p.zoom->findText(step);
    QVERIFY(index >= 0);
    p.zoom->setCurrentIndex(index);
    if (percent > 0) {
        showActive(w);
        for (const QString &key : keys.split(u' ', Qt::SkipEmptyParts)) {
            if (key.startsWith(QLatin1String("wheel"))) {
                const QPoint at = p.scroll->viewport()->rect().center();
                QWheelEvent wheel(at, p.scroll->viewport()->mapToGlobal(at), {},
                                  QPoint(0, key.endsWith('+') ? 120 : -120), Qt::NoButton, Qt::ControlModifier,
                                  Qt::NoScrollPhase, false);
                QApplication::sendEvent(p.scroll->viewport(), &wheel);
            } else {
                QTest::keySequence(&w, QKeySequence(key));
            }
        }
        // An A4 portrait page, 210 x 297 mm, at the screen's resolution times the step.
        const double dpi = w.logicalDpiX() * percent / 100.0;
        QCOMPARE(p.page()->width(), int(210 * dpi / 25.4) + 1);
        QCOMPARE(p.page()->height(), int(297 * dpi / 25.4) + 1);
        // Moving to another page keeps the step.
        QTest::keyClick(&w, Qt::Key_End);
        QCOMPARE(w.currentPage(), w.model().pageCount() - 1);
        QCOMPARE(p.page()->width(), int(210 * dpi / 25.4) + 1);
        return;
    }
    const bool wholePage = index == 0;
    for (const QSize size : {QSize(1000, 800), QSize(600, 500), QSize(900, 1000)}) {
        w.resize(size);
        if (!w.isVisible())
            showActive(w);
        QTRY_COMPARE(w.size(), size);
        const QSize vp = p.scroll->viewport()->size();
        const QSize page = p.page()->size();
        if (wholePage) {
            // The whole sheet is in view, and it fills the height or the width.
            QVERIFY2(page.width() <= vp.width() && page.height() <= vp.height(),
                     qPrintable(QStringLiteral("%1x%2 in %3x%4")
                                    .arg(page.width())
                                    .arg(page.height())
                                    .arg(vp.width())
                                    .arg(vp.height())));
            QVERIFY(page.height() >= vp.height() - 12 || page.width() >= vp.width() - 12);
        } else {
            // The sheet's width is the window's, less the scroll bar the tall page brings.
            QVERIFY2(page.width() <= vp.width() + 1 && page.width() >= vp.width() - 40,
                     qPrintable(QStringLiteral("%1 in %2").arg(page.width()).arg(vp.width())));
        }
    }
}

void TstPreview::firstPageShowsWhileALongReportBuilds()
{
    constexpr int rows = 3000;
    FixtureDb db(numberedRows(rows));
    SlowForm form(true);
    PreviewWindow w(std::make_unique<report::Renderer>(form));
    const Parts p = partsOf(w);
    QVERIFY(complete(p));
    QVERIFY(w.building());
    showActive(w);
    QTRY_VERIFY_WITH_TIMEOUT(w.model().pageCount() >= 2 || !w.building(), 8000);
    // Each record takes a millisecond, so a few thousand cannot have been built yet.
    QVERIFY(w.building());
    QVERIFY(p.progress->isVisible());
    QVERIFY(p.cancel->isVisible());
    QVERIFY(p.progress->value() > 0 && p.progress->value() < p.progress->maximum());
    const int shown = p.pageBox->maximum();
    QVERIFY(shown >= 1);
    QCOMPARE(p.count->text(), QStringLiteral(" / %1+").arg(shown));
    QCOMPARE(w.currentPage(), 0);
    QCOMPARE(p.pageBox->value(), 1);
    QVERIFY(inkOf(p.page()) > 0);

    // Cancelling keeps the complete pages and ends the build.
    QTest::mouseClick(p.cancel, Qt::LeftButton);
    QVERIFY(!w.building());
    QVERIFY(!p.progress->isVisible());
    QVERIFY(!p.cancel->isVisible());
    const int kept = w.model().pageCount();
    QVERIFY(kept >= shown);
    QCOMPARE(pageOf(w.model(), "SumCaption", "계"), -1); // the report's end was never reached
    QCOMPARE(p.count->text(), QStringLiteral(" / %1").arg(kept));
    QTest::keyClick(&w, Qt::Key_End);
    QCOMPARE(w.currentPage(), kept - 1);
    QCOMPARE(w.model().pages.back().textsOf("PageNo"), QStringList{QString::number(kept)});
    QVERIFY(inkOf(p.page()) > 0);
    // Nothing builds on in the background.
    QTest::qWait(100);
    QCOMPARE(w.model().pageCount(), kept);
}

void TstPreview::escapeClosesTheWindowAndPreviewReturns_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("slow");
    QTest::addColumn<bool>("waitForTheBuild");
    QTest::newRow("finished report") << shortRows << false << true;
    QTest::newRow("while building") << 3000 << true << false;
}

void TstPreview::escapeClosesTheWindowAndPreviewReturns()
{
    QFETCH(int, rows);
    QFETCH(bool, slow);
    QFETCH(bool, waitForTheBuild);
    FixtureDb db(numberedRows(rows));
    SlowForm form(slow);

    QString seen; // the page count the window showed before Esc
    bool wasBuilding = false;
    bool forced = false; // true when Esc did not close it and the guard had to
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, this, [&] {
        forced = true;
        if (auto *w = qobject_cast<PreviewWindow *>(QApplication::activeModalWidget()))
            w->reject();
    });
    guard.start(9000);
    QTimer::singleShot(0, this, [&] {
        auto *w = qobject_cast<PreviewWindow *>(QApplication::activeModalWidget());
        if (!w)
            return;
        QApplication::setActiveWindow(w);
        (void)QTest::qWaitForWindowActive(w);
        if (waitForTheBuild) {
            while (w->building() && !forced)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        } else {
            // The count label follows the model a slice later; wait for what the user sees.
            const QLabel *count = w->findChild<QLabel *>(QStringLiteral("pageCount"));
            auto shown = [count] { return count ? count->text() : QString(); };
            while ((w->model().pageCount() < 1 || shown().isEmpty() || shown() == QStringLiteral(" / 0+")) &&
                   w->building() && !forced)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        wasBuilding = w->building();
        if (const QLabel *count = w->findChild<QLabel *>(QStringLiteral("pageCount")))
            seen = count->text();
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : w;
        QTest::keyClick(target, Qt::Key_Escape);
    });
    report::preview(form);
    guard.stop();
    QVERIFY(!forced);
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(QApplication::topLevelWidgets().size() == 0 ||
            std::none_of(QApplication::topLevelWidgets().cbegin(), QApplication::topLevelWidgets().cend(),
                         [](QWidget *t) { return qobject_cast<PreviewWindow *>(t) != nullptr; }));
    QCOMPARE(wasBuilding, !waitForTheBuild);
    if (waitForTheBuild)
        QCOMPARE(seen, QStringLiteral(" / %1").arg(finishedPageCount()));
    else
        QVERIFY2(seen.endsWith('+') && seen != QStringLiteral(" / 0+"), qPrintable(seen));
}

void TstPreview::closesWithAPageNumberHalfTyped_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("Esc") << true;
    QTest::newRow("window destroyed while shown") << false;
}

void TstPreview::closesWithAPageNumberHalfTyped()
{
    QFETCH(bool, escape);
    LoadedWindow loaded;
    PreviewWindow *w = loaded.w.get();
    QPointer<PreviewWindow> alive(w);
    const Parts p = loaded.p;
    QVERIFY(complete(p));
    showActive(*w);
    p.pageBox->setFocus(Qt::MouseFocusReason);
    p.pageBox->selectAll();
    QTest::keyClicks(p.pageBox, "3");
    QVERIFY(p.pageBox->hasFocus());
    QCOMPARE(p.pageBox->text(), QStringLiteral("3"));
    QCOMPARE(w->currentPage(), 0);
    if (escape) {
        QTest::keyClick(p.pageBox, Qt::Key_Escape);
        QVERIFY(!w->isVisible());
        QCOMPARE(w->result(), int(QDialog::Rejected));
    }
    // The page box loses focus as the window goes; that must not reach a half-destroyed window.
    loaded.w.reset();
    QVERIFY(alive.isNull());
}

void TstPreview::savingAndLoading_data()
{
    // file: the name answered to the window's file prompt, in an empty folder that holds only a
    // plain file "plain"; prepared: what is put at that name first ("garbage", "truncated": the
    // first half of a saved report, "one page": a saved report of the first page alone); error:
    // the error box's text, %1 standing for the path; written: what the file holds after ("pdf",
    // "tdr": a saved report, "unchanged", or nothing: no file). A name after ">" in file is the one
    // the file is written under: saving adds the chosen type's extension to a name without one.
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("prepared");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("written");
    QTest::addColumn<int>("pagesAfter"); // -1: the window keeps its pages
    const QString save = QStringLiteral("저장"), load = QStringLiteral("불러오기"), none;
    const QString pdf = QStringLiteral("PDF 파일 (*.pdf)"), tdr = QStringLiteral("저장된 보고서 (*.tdr)");
    const QString cannotSave = QStringLiteral("%1 에 저장할 수 없습니다: ");
    const QString cannotOpen = QStringLiteral("%1 을(를) 열 수 없습니다: ");
    const QString damaged = QStringLiteral("저장된 보고서 파일이 손상되었거나 형식이 다릅니다.");
    const QString unchanged = QStringLiteral("unchanged");
    QTest::newRow("save: PDF") << save << QStringLiteral("report.pdf") << pdf << none << none << QStringLiteral("pdf")
                               << -1;
    QTest::newRow("save: PDF named without its extension")
        << save << QStringLiteral("report>report.pdf") << pdf << none << none << QStringLiteral("pdf") << -1;
    QTest::newRow("save: saved report by its type")
        << save << QStringLiteral("report>report.tdr") << tdr << none << none << QStringLiteral("tdr") << -1;
    QTest::newRow("save: a name with a dot of its own")
        << save << QStringLiteral("대장.v2>대장.v2.pdf") << pdf << none << none << QStringLiteral("pdf") << -1;
    QTest::newRow("save: saved report by its extension")
        << save << QStringLiteral("report.TDR") << pdf << none << none << QStringLiteral("tdr") << -1;
    QTest::newRow("save: workbook") << save << QStringLiteral("report>report.xlsx")
                                    << QStringLiteral("Excel 통합 문서 (*.xlsx)") << none << none
                                    << QStringLiteral("xlsx") << -1;
    QTest::newRow("save: workbook into a folder that is a file")
        << save << QStringLiteral("plain/report.xlsx") << pdf << none << cannotSave << none << -1;
    QTest::newRow("save: cancelled") << save << none << pdf << none << none << none << -1;
    QTest::newRow("save: PDF into a missing folder")
        << save << QStringLiteral("missing/report.pdf") << pdf << none << cannotSave << none << -1;
    QTest::newRow("save: saved report into a missing folder")
        << save << QStringLiteral("missing/report.tdr") << tdr << none << cannotSave << none << -1;
    QTest::newRow("save: into a folder that is a file")
        << save << QStringLiteral("plain/report.tdr") << tdr << none << cannotSave << none << -1;
    QTest::newRow("load: saved report") << load << QStringLiteral("one.tdr") << tdr << QStringLiteral("one page")
                                        << none << QStringLiteral("tdr") << 1;
    QTest::newRow("load: cancelled") << load << none << tdr << none << none << none << -1;
    QTest::newRow("load: damaged") << load << QStringLiteral("damaged.tdr") << tdr << QStringLiteral("garbage")
                                   << damaged << unchanged << -1;
    QTest::newRow("load: cut short") << load << QStringLiteral("short.tdr") << tdr << QStringLiteral("truncated")
                                     << damaged << unchanged << -1;
    QTest::newRow("load: missing") << load << QStringLiteral("absent.tdr") << tdr << none << cannotOpen << none << -1;
}

void TstPreview::savingAndLoading()
{
    QFETCH(QString, menu);
    QFETCH(QString, file);
    QFETCH(QString, filter);
    QFETCH(QString, prepared);
    QFETCH(QString, error);
    QFETCH(QString, written);
    QFETCH(int, pagesAfter);
    ui::ScopedRecordingUi recorded;
    LoadedWindow loaded;
    PreviewWindow &w = *loaded.w;
    w.showPage(2);
    const int pages = w.model().pageCount();
    QVERIFY(pages >= 4);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    auto write = [](const QString &path, const QByteArray &bytes) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    };
    QVERIFY(write(dir.filePath(QStringLiteral("plain")), "not a folder"));
    QString path = file.isEmpty() ? QString() : dir.filePath(file.section(u'>', 0, 0));
    if (prepared == QLatin1String("garbage")) {
        QVERIFY(write(path, "TDR? no, just some bytes"));
    } else if (prepared == QLatin1String("truncated")) {
        QBuffer whole;
        whole.open(QIODevice::WriteOnly);
        w.model().save(whole);
        QVERIFY(write(path, whole.data().left(whole.data().size() / 2)));
    } else if (prepared == QLatin1String("one page")) {
        PageModel one = w.model();
        one.pages.resize(1);
        one.saveFile(path);
    }
    const QByteArray before = prepared.isEmpty() ? QByteArray() : [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    QStringList asked;
    QString suggested;
    w.setDocumentName(QStringLiteral("교통정보 접수 대장 2026-11-25"));
    w.setFilePrompt(
        [&](PreviewWindow::FileAction action, const QString &filters, const QString &offered, QString *selected) {
            asked << QStringLiteral("%1 %2").arg(
                action == PreviewWindow::FileAction::Save ? QStringLiteral("save") : QStringLiteral("load"), filters);
            suggested = offered;
            *selected = filter;
            return asked.size() == 1 ? path : QString();
        });
    QAction *action = actionOf(w, menu);
    QVERIFY(action);
    action->trigger();

    const bool saving = menu == QStringLiteral("저장");
    QCOMPARE(asked, QStringList{saving ? QStringLiteral(
                                             "save PDF 파일 (*.pdf);;Excel 통합 문서 (*.xlsx);;저장된 보고서 (*.tdr)")
                                       : QStringLiteral("load 저장된 보고서 (*.tdr)")});
    // Saving offers the report's title and period in the documents folder at first.
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QFileInfo(documents).isDir())
        documents = QDir::homePath();
    QCOMPARE(suggested,
             saving ? QDir(documents).filePath(QStringLiteral("교통정보 접수 대장 2026-11-25.pdf")) : documents);
    const QStringList shown = shownTexts(*recorded);
    if (error.isEmpty()) {
        QCOMPARE(shown, QStringList());
    } else {
        QCOMPARE(shown.size(), 1);
        const QString expected =
            QStringLiteral("error: ") + (error.contains(QLatin1String("%1")) ? error.arg(path) : error);
        // A text ending in ": " goes on with the system's reason, in the system's words.
        if (expected.endsWith(QLatin1String(": ")))
            QVERIFY2(shown[0].startsWith(expected) && shown[0].size() > expected.size(), qPrintable(shown[0]));
        else
            QCOMPARE(shown[0], expected);
    }
    // The preview keeps its pages unless a saved report replaced them.
    QCOMPARE(w.model().pageCount(), pagesAfter < 0 ? pages : pagesAfter);
    QCOMPARE(w.currentPage(), pagesAfter < 0 ? 2 : 0);

    if (path.isEmpty())
        return;
    // The next dialog starts in the folder of a file saved or loaded.
    actionOf(w, QStringLiteral("불러오기"))->trigger();
    QCOMPARE(suggested, written.isEmpty() || written == QLatin1String("unchanged") ? documents : dir.path());
    if (file.contains(u'>')) {
        QVERIFY(!QFileInfo::exists(path));
        path = dir.filePath(file.section(u'>', 1));
    }
    if (written.isEmpty()) {
        QVERIFY(!QFileInfo::exists(path));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("missing"))));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("plain"))).isFile());
    } else if (written == QLatin1String("pdf")) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.read(5) == "%PDF-");
    } else if (written == QLatin1String("xlsx")) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.read(2) == "PK");
    } else if (written == QLatin1String("tdr")) {
        QCOMPARE(PageModel::loadFile(path).pageCount(), saving ? pages : pagesAfter);
    } else {
        QCOMPARE(written, QStringLiteral("unchanged"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }
}

void TstPreview::failedBuildShowsItsErrorOverAnEmptyPreview()
{
    ui::ScopedRecordingUi recorded;
    FixtureDb db(numberedRows(shortRows));
    // The detail band's handler fails part-way, after some pages are built.
    int details = 0;
    DetailForm form([&details] {
        if (++details == shortRows / 2)
            throw report::ReportError(QStringLiteral("세부 항목 %1 을(를) 인쇄할 수 없습니다").arg(details));
    });
    PreviewWindow w(std::make_unique<report::Renderer>(form));
    const Parts p = partsOf(w);
    QVERIFY(complete(p));
    QVERIFY(w.building());
    showActive(w);
    QTRY_VERIFY_WITH_TIMEOUT(!w.building(), 8000);
    QCOMPARE(shownTexts(*recorded),
             QStringList{QStringLiteral("error: 세부 항목 %1 을(를) 인쇄할 수 없습니다").arg(shortRows / 2)});
    QCOMPARE(details, shortRows / 2);
    QCOMPARE(w.model().pageCount(), 0);
    QCOMPARE(p.count->text(), QStringLiteral(" / 0"));
    QVERIFY(!p.progress->isVisible());
    QVERIFY(!p.cancel->isVisible());
    QCOMPARE(inkOf(p.page()), 0);
    // Nothing builds on, and the box is not shown again.
    QCoreApplication::processEvents();
    QCOMPARE(details, shortRows / 2);
    QCOMPARE(recorded->entries.size(), 1);
}

namespace {

// A report with Latin and Hangul texts, a caption wrapped over several lines on the first page and
// the footer "끝" once on every page.
class FindForm : public TestForm {
public:
    FindForm()
    {
        QJsonObject memo = label("Memo", "교통정보 접수 현황 Alpha Bravo Charlie Delta Echo Foxtrot", 60, 2, 40);
        memo.insert("WordWrap", true);
        load(reportJson(
            {test::band("TitleBand", "rbTitle", 30, {memo}),
             test::band("DB", "rbDetail", 10, {test::item("FieldT", "TQRDBText", {{"DataField", "txt"}}, 20, 1)}),
             test::band("PF", "rbPageFooter", 10, {label("FooterLabel", "끝", 1, 1)})}));
    }
};

// Pixels marked as the current hit (orange under the text) inside and outside a box in pixels.
std::pair<int, int> currentMarks(QWidget *page, const QRect &box)
{
    const QImage img = page->grab().toImage();
    std::pair<int, int> inOut;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.red() > 230 && c.green() > 150 && c.green() < 215 && c.blue() < 150)
                ++(box.contains(x, y) ? inOut.first : inOut.second);
        }
    return inOut;
}

} // namespace

void TstPreview::findMarksAndVisitsHits_data()
{
    // Every row starts on the second page. keys: pressed after the text is entered; found: the
    // text of the line holding the current hit and its component ("" where no hit is current).
    QTest::addColumn<bool>("loadedReport"); // a saved report loaded, else a report just built
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("found");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("status");
    const auto row = [](const char *name, bool loaded, const char *text, const char *keys, const char *found,
                        const char *source, const char *status) {
        QTest::newRow(name) << loaded << QString::fromUtf8(text) << QString::fromUtf8(keys) << QString::fromUtf8(found)
                            << QString::fromUtf8(source) << QString::fromUtf8(status);
    };
    row("built: first hit from the page shown", false, "끝", "", "끝", "FooterLabel", "2 / 3");
    row("loaded: first hit from the page shown", true, "끝", "", "끝", "FooterLabel", "2 / 3");
    row("F3 to a later page", false, "끝", "F3", "끝", "FooterLabel", "3 / 3");
    row("Enter to a later page", true, "끝", "Enter", "끝", "FooterLabel", "3 / 3");
    row("Shift+F3 back", false, "끝", "Shift+F3", "끝", "FooterLabel", "1 / 3");
    row("Shift+F3 wraps to the last", false, "끝", "Shift+F3 Shift+F3", "끝", "FooterLabel", "3 / 3");
    row("F3 wraps to the first", true, "끝", "F3 F3", "끝", "FooterLabel", "1 / 3");
    row("Shift+Enter back", true, "끝", "Enter Shift+Enter Shift+Enter", "끝", "FooterLabel", "1 / 3");
    row("Latin in another case", false, "ROW 99", "", "row 99", "FieldT", "1 / 1");
    row("a line of a wrapped text", true, "echo", "", "Echo Foxtrot", "Memo", "1 / 1");
    row("Hangul", false, "접수 현황", "", "교통정보 접수 현황 Alpha", "Memo", "1 / 1");
    row("empty text", false, "", "F3 Enter", "", "", "");
    row("no hit", true, "없는 말", "F3", "", "", "찾을 수 없습니다");
}

void TstPreview::findMarksAndVisitsHits()
{
    QFETCH(bool, loadedReport);
    QFETCH(QString, text);
    QFETCH(QString, keys);
    QFETCH(QString, found);
    QFETCH(QString, source);
    QFETCH(QString, status);
    FixtureDb db(numberedRows(shortRows));
    FindForm form;
    QTemporaryDir dir;
    std::unique_ptr<PreviewWindow> w;
    if (loadedReport) {
        form.render().saveFile(dir.filePath("report.tdr"));
        w = std::make_unique<PreviewWindow>(nullptr);
        w->loadModel(PageModel::loadFile(dir.filePath("report.tdr")));
    } else {
        w = std::make_unique<PreviewWindow>(std::make_unique<report::Renderer>(form));
    }
    const Parts p = partsOf(*w);
    showActive(*w);
    QTRY_VERIFY_WITH_TIMEOUT(!w->building(), 8000);
    QCOMPARE(w->model().pageCount(), 4);
    w->showPage(1);
    QTest::keySequence(w.get(), QKeySequence::Find);
    auto *edit = w->findChild<QLineEdit *>("findText");
    QVERIFY(edit && edit->hasFocus());
    edit->setText(text); // typed, Hangul included
    for (const QString &key : keys.split(u' ', Qt::SkipEmptyParts))
        QTest::keySequence(key.contains(QLatin1String("Enter")) ? static_cast<QWidget *>(edit) : w.get(),
                           QKeySequence(key == QLatin1String("Enter")         ? QStringLiteral("Return")
                                        : key == QLatin1String("Shift+Enter") ? QStringLiteral("Shift+Return")
                                                                              : key));
    QCOMPARE(w->findChild<QLabel *>("findStatus")->text(), status);
    QVERIFY(w->isVisible()); // Enter went to the bar, not to a button of the window
    const report::SearchHit hit = w->currentHit();
    if (found.isEmpty()) {
        QCOMPARE(hit.page, -1);
        QCOMPARE(w->currentPage(), 1);
        QCOMPARE(currentMarks(p.page(), {}), std::make_pair(0, 0));
    } else {
        // The page shown holds the hit, and the line holding it is the one marked.
        const report::Page &page = w->model().pages[size_t(hit.page)];
        const report::Primitive &line = page.items[size_t(hit.item)];
        QCOMPARE(line.source, source);
        QCOMPARE(line.text.trimmed(), found);
        QCOMPARE(line.text.mid(hit.offset, hit.length).toLower(), text.toLower());
        QCOMPARE(w->currentPage(), hit.page);
        QCOMPARE(p.pageBox->value(), hit.page + 1);
        const double px = (p.page()->width() - 1) / page.size.width();
        const QRect box =
            QRectF(line.rect.topLeft() * px, line.rect.size() * px).toAlignedRect().adjusted(-2, -2, 2, 2);
        const auto [inside, outside] = currentMarks(p.page(), box);
        QVERIFY2(inside > 0 && outside == 0, qPrintable(QStringLiteral("%1 in, %2 out").arg(inside).arg(outside)));
    }
    // Esc closes the bar and its marks; a second Esc closes the window.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(w->isVisible());
    QVERIFY(!edit->isVisible());
    QCOMPARE(currentMarks(p.page(), {}), std::make_pair(0, 0));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!w->isVisible());
}

void TstPreview::thumbnailsAndContinuousView()
{
    FixtureDb db(numberedRows(shortRows));
    SlowForm form(false);
    {
        PreviewWindow first(std::make_unique<report::Renderer>(form));
        QVERIFY(!first.findChild<QListView *>("thumbnails")->isVisibleTo(&first));
        actionOf(first, QStringLiteral("미리보기 목록"))->trigger();
        actionOf(first, QStringLiteral("연속 보기"))->trigger();
    }
    // Both are remembered for the next window.
    LoadedWindow loaded;
    PreviewWindow &w = *loaded.w;
    const Parts &p = loaded.p;
    auto *thumbs = w.findChild<QListView *>("thumbnails");
    showActive(w);
    QVERIFY(thumbs->isVisible());
    QVERIFY(actionOf(w, QStringLiteral("연속 보기"))->isChecked());
    const int pages = w.model().pageCount();
    QTRY_COMPARE(thumbs->model()->rowCount(), pages);
    // A thumbnail in view is drawn, without holding up the window.
    QTRY_VERIFY(qvariant_cast<QImage>(thumbs->model()->index(0, 0).data(Qt::DecorationRole)).pixelColor(40, 20) !=
                QColor(235, 235, 235));
    QTest::mouseClick(thumbs->viewport(), Qt::LeftButton, {},
                      thumbs->visualRect(thumbs->model()->index(2, 0)).center());
    QCOMPARE(w.currentPage(), 2);
    // Continuous: every page in one view, PageDown scrolling to the next one's top.
    QVERIFY(p.page()->height() > pages * p.scroll->viewport()->height() / 2);
    QTest::keyClick(&w, Qt::Key_PageDown);
    QCOMPARE(w.currentPage(), 3);
    QCOMPARE(p.pageBox->value(), 4);
    QCOMPARE(thumbs->currentIndex().row(), 3);
    const int pageTop = p.scroll->verticalScrollBar()->value();
    QVERIFY(pageTop > 0);
    // The page box follows the view scrolled back by hand.
    p.scroll->verticalScrollBar()->setValue(pageTop / 3 - p.scroll->viewport()->height() / 2 - 10);
    QCOMPARE(p.pageBox->value(), 1);
    QCOMPARE(w.currentPage(), 0);
}

QTEST_MAIN(TstPreview)
#include "tst_preview.moc"
