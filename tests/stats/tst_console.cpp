#include "StatsFixture.h"
#include "platform/ui/DeskUi.h"
#include "reception/UAcIn.h"
#include "stats/Export.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>
#include <QtTest>

using namespace tipdesk;
using Outcome = stats::TfStatHUBp::Outcome;

namespace {

const QString kRptRows = QStringLiteral("insert into INDIVIDUAL(INDIVIDUAL_ID, INDIVIDUAL_NAME, TYPE, CUR) values "
                                        "('R01', '김철수', '1', 'Y');"
                                        "insert into STAT_HUB_RPT(STAT_DAY, RPT_ID, RPT_NAME, REPORT_COUNT) values "
                                        "('20040107', 'R01', '김철수', 4);");

void setRequest(stats::TfStatHUBp &console, int kind, const QDate &start, const QDate &end)
{
    console.DateTimePicker1->setDate(start);
    console.DateTimePicker2->setDate(end);
    if (kind >= 0)
        console.ListBox1->setCurrentRow(kind);
    else
        console.ListBox1->clearSelection();
}

} // namespace

// The console dialog: its form, the enabling rules, the order of its checks and what it shows.
class TstConsole : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { ui::prepareDeskUi(); }
    void cleanup();
    void formAsDrawn_data();
    void formAsDrawn();
    void listHoldsTheCatalogueInIndexOrder();
    void formShowSetsTodayAndFirstSortItem();
    void enablingRules_data();
    void enablingRules();
    void sortItemKeptWhileDisabled();
    void validationOrder_data();
    void validationOrder();
    void equalDaysPass();
    void enterOnTheListPreviews();
    void emptyTableGivesErr0158_data();
    void emptyTableGivesErr0158();
    void databaseErrorGoesToTheErrorBox();
    void previewShowsThenFreesTheForm();
    void onePreviewAtATime();
    void requestFollowsTheControls();
    void listItemsAreAsTallAsTheirText();
    void rowsLeaveRoomAroundTheirText();
    void exportWritesTheChosenKind();
    void globalsOutliveTheConsole();
};

void TstConsole::cleanup()
{
    stats::fStatHUBp = nullptr;
    report::setPreviewHook(nullptr);
}

void TstConsole::formAsDrawn_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::newRow("list") << "ListBox1" << QRect(5, 4, 192, 413) << QString();
    QTest::newRow("close") << "CloseBtn" << QRect(205, 4, 131, 35) << "  닫 기   ";
    QTest::newRow("approval") << "CheckBox1" << QRect(207, 162, 125, 17) << "전결인 사용";
    QTest::newRow("bevel") << "Bevel1" << QRect(205, 186, 130, 104) << QString();
    QTest::newRow("start label") << "Label1" << QRect(210, 193, 60, 14) << "기준일:";
    QTest::newRow("start picker") << "DateTimePicker1" << QRect(210, 213, 118, 21) << QString();
    QTest::newRow("end label") << "Label2" << QRect(210, 244, 60, 14) << "종료일:";
    QTest::newRow("end picker") << "DateTimePicker2" << QRect(210, 261, 118, 21) << QString();
    QTest::newRow("sort label") << "Label3" << QRect(210, 296, 70, 14) << "정렬 순서";
    QTest::newRow("sort") << "ComboBox1" << QRect(210, 314, 118, 21) << QString();
    QTest::newRow("preview") << "SpeedButton3" << QRect(205, 344, 131, 35) << "미리보기";
    QTest::newRow("export") << "SpeedButton1" << QRect(205, 383, 131, 35) << "File 저장";
}

void TstConsole::formAsDrawn()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    stats::TfStatHUBp console;
    QCOMPARE(console.windowTitle(), QStringLiteral("제보/접수 통계"));
    QCOMPARE(console.size(), QSize(341, 422));
    auto *w = console.findChild<QWidget *>(name);
    QVERIFY(w);
    QCOMPARE(w->geometry(), geometry);
    if (auto *b = qobject_cast<QToolButton *>(w))
        QCOMPARE(b->text(), text);
    else if (auto *c = qobject_cast<QCheckBox *>(w))
        QCOMPARE(c->text(), text);
    else if (auto *l = qobject_cast<QLabel *>(w))
        QCOMPARE(l->text(), text);
}

void TstConsole::listHoldsTheCatalogueInIndexOrder()
{
    stats::TfStatHUBp console;
    QCOMPARE(console.ListBox1->count(), stats::kReportKindCount);
    QVERIFY(console.ListBox1->selectedItems().isEmpty());
    QCOMPARE(console.ListBox1->item(0)->text(), QStringLiteral("통신원별"));
    QCOMPARE(console.ListBox1->item(11)->text(), QStringLiteral("일일 교통정보 접수현황"));
    QCOMPARE(console.ListBox1->item(18)->text(), QStringLiteral("소속별 제보현황"));
    QCOMPARE(console.ListBox1->item(26)->text(), QStringLiteral("기간합계 시민"));
    QCOMPARE(console.ComboBox1->count(), 3);
    QCOMPARE(console.ComboBox1->itemText(2), QStringLiteral("소속"));
    QVERIFY(!console.ComboBox1->isEnabled());
    QVERIFY(!console.SpeedButton1->isEnabled());
    QVERIFY(!console.CheckBox1->isChecked());
}

void TstConsole::formShowSetsTodayAndFirstSortItem()
{
    db::Clock::setFixed(QDateTime(QDate(2004, 1, 8), QTime(9, 0)));
    stats::TfStatHUBp console;
    console.ComboBox1->setCurrentIndex(2);
    console.DateTimePicker1->setDate(QDate(2001, 1, 1));
    console.show();
    QCOMPARE(console.DateTimePicker1->date(), QDate(2004, 1, 8));
    QCOMPARE(console.DateTimePicker2->date(), QDate(2004, 1, 8));
    QCOMPARE(console.ComboBox1->currentIndex(), 0);
    console.hide();
    db::Clock::clearFixed();
}

void TstConsole::enablingRules_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("file");
    QTest::addColumn<bool>("sort");
    QTest::newRow("0") << 0 << false << false;
    QTest::newRow("17") << 17 << false << false;
    QTest::newRow("18 file only") << 18 << true << false;
    QTest::newRow("19") << 19 << false << false;
    QTest::newRow("20") << 20 << false << false;
    for (int k = 21; k <= 26; ++k)
        QTest::addRow("%d both", k) << k << true << true;
}

void TstConsole::enablingRules()
{
    QFETCH(int, kind);
    QFETCH(bool, file);
    QFETCH(bool, sort);
    stats::TfStatHUBp console;
    console.ListBox1->setCurrentRow(kind);
    QCOMPARE(console.SpeedButton1->isEnabled(), file);
    QCOMPARE(console.ComboBox1->isEnabled(), sort);
}

void TstConsole::sortItemKeptWhileDisabled()
{
    stats::TfStatHUBp console;
    console.ListBox1->setCurrentRow(22);
    console.ComboBox1->setCurrentIndex(2);
    console.ListBox1->setCurrentRow(0);
    QVERIFY(!console.ComboBox1->isEnabled());
    QCOMPARE(console.sortOrder(), 2);
    console.ListBox1->setCurrentRow(22);
    QVERIFY(console.ComboBox1->isEnabled());
    QCOMPARE(console.sortOrder(), 2);
}

void TstConsole::validationOrder_data()
{
    QTest::addColumn<QDate>("end");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("reportKind");
    const QString range = QStringLiteral("출력 범위를 정확히 입력하십시요");
    QTest::newRow("range first, even with nothing selected")
        << QDate(2004, 1, 6) << -1 << int(Outcome::BadRange) << range << 5;
    QTest::newRow("range with a kind") << QDate(2004, 1, 6) << 0 << int(Outcome::BadRange) << range << 5;
    QTest::newRow("then the selection") << QDate(2004, 1, 8) << -1 << int(Outcome::NoSelection)
                                        << QStringLiteral("출력 대상을 지정하십시요") << -1;
}

void TstConsole::validationOrder()
{
    QFETCH(QDate, end);
    QFETCH(int, kind);
    QFETCH(int, outcome);
    QFETCH(QString, message);
    QFETCH(int, reportKind);
    test::StatsEnvironment env(kRptRows);
    stats::TfStatHUBp console;
    stats::ReportKind = 5;
    stats::StartDay = QStringLiteral("19990101");
    stats::EndDay = QStringLiteral("19990102");
    setRequest(console, kind, QDate(2004, 1, 7), end);
    console.SBPreviewClick();
    QCOMPARE(int(console.lastOutcome()), outcome);
    QCOMPARE(env.ui().entries.size(), 1);
    QCOMPARE(env.ui().entries[0].kind, ui::RecordingUiService::Kind::Message);
    QCOMPARE(env.ui().entries[0].text, message);
    if (outcome == int(Outcome::BadRange))
        QCOMPARE(console.focusWidget(), console.DateTimePicker1);
    // Nothing is prepared and the period is not stored.
    QCOMPARE(stats::ReportKind, reportKind);
    QCOMPARE(stats::StartDay, QStringLiteral("19990101"));
    QCOMPARE(stats::EndDay, QStringLiteral("19990102"));
    QVERIFY(!console.preparedForm());
}

void TstConsole::equalDaysPass()
{
    test::StatsEnvironment env(kRptRows);
    stats::TfStatHUBp console;
    int previews = 0;
    report::setPreviewHook([&](report::ReportForm &) { ++previews; });
    setRequest(console, 0, QDate(2004, 1, 7), QDate(2004, 1, 7));
    console.SBPreviewClick();
    QCOMPARE(console.lastOutcome(), Outcome::Shown);
    QCOMPARE(previews, 1);
    QCOMPARE(stats::StartDay, QStringLiteral("20040107"));
    QCOMPARE(stats::EndDay, QStringLiteral("20040107"));
    QCOMPARE(stats::ReportKind, 0);
    QVERIFY(stats::ReportReady);
    QVERIFY(env.ui().entries.isEmpty());
}

void TstConsole::enterOnTheListPreviews()
{
    test::StatsEnvironment env(kRptRows);
    stats::TfStatHUBp console;
    int previews = 0;
    report::setPreviewHook([&](report::ReportForm &) { ++previews; });
    console.show(); // before the request: showing sets today's date
    setRequest(console, 0, QDate(2004, 1, 7), QDate(2004, 1, 7));
    console.ListBox1->setFocus();
    QTest::keyClick(console.ListBox1, Qt::Key_Return);
    QCOMPARE(previews, 1);
    QCOMPARE(console.lastOutcome(), Outcome::Shown);
    console.hide();
}

void TstConsole::emptyTableGivesErr0158_data()
{
    QTest::addColumn<int>("kind");
    for (int k = 0; k < stats::kReportKindCount; ++k)
        QTest::addRow("%d %s", k, stats::FindKind(k)->form) << k;
}

void TstConsole::emptyTableGivesErr0158()
{
    QFETCH(int, kind);
    test::StatsEnvironment env;
    stats::TfStatHUBp console;
    int previews = 0;
    report::setPreviewHook([&](report::ReportForm &) { ++previews; });
    setRequest(console, kind, QDate(2004, 1, 7), QDate(2004, 1, 7));
    console.SBPreviewClick();
    QCOMPARE(console.lastOutcome(), Outcome::NoData);
    QCOMPARE(previews, 0);
    QVERIFY(!stats::ReportReady);
    QCOMPARE(env.ui().entries.size(), 1);
    const auto &box = env.ui().entries[0];
    QCOMPARE(box.kind, ui::RecordingUiService::Kind::Box);
    QCOMPARE(box.title, QStringLiteral("자료 없음"));
    QCOMPARE(box.text, QStringLiteral("해당 기간의 자료가 없습니다."));
    QCOMPARE(box.icon, ui::Icon::Stop);
    // Nothing is left prepared.
    QVERIFY(!console.preparedForm());
    QVERIFY(console.findChildren<report::ReportForm *>().isEmpty());
}

void TstConsole::databaseErrorGoesToTheErrorBox()
{
    test::StatsEnvironment env(kRptRows);
    env.run(QStringLiteral("drop table STAT_HUB_RPT;"));
    stats::TfStatHUBp console;
    int previews = 0;
    report::setPreviewHook([&](report::ReportForm &) { ++previews; });
    stats::ReportReady = true;
    setRequest(console, 0, QDate(2004, 1, 7), QDate(2004, 1, 7));
    console.SBPreviewClick();
    QCOMPARE(console.lastOutcome(), Outcome::Failed);
    QCOMPARE(previews, 0);
    QCOMPARE(env.ui().entries.size(), 1);
    QCOMPARE(env.ui().entries[0].kind, ui::RecordingUiService::Kind::Error);
    QVERIFY2(env.ui().entries[0].text.contains(QStringLiteral("stat_hub_rpt"), Qt::CaseInsensitive),
             qPrintable(env.ui().entries[0].text));
    // A failed preparation keeps the previous ready flag and the console stays usable.
    QVERIFY(stats::ReportReady);
    env.run(QStringLiteral("create table STAT_HUB_RPT(STAT_DAY text, RPT_ID text, RPT_NAME text, REPORT_COUNT integer);"
                           "insert into STAT_HUB_RPT values ('20040107', 'R01', '김철수', 4);"));
    console.SBPreviewClick();
    QCOMPARE(console.lastOutcome(), Outcome::Shown);
    QCOMPARE(previews, 1);
}

void TstConsole::previewShowsThenFreesTheForm()
{
    test::StatsEnvironment env(kRptRows);
    stats::TfStatHUBp console;
    QPointer<report::ReportForm> shown;
    report::setPreviewHook([&](report::ReportForm &form) {
        shown = &form;
        QCOMPARE(form.layout().name, QStringLiteral("QRCoumm"));
        QCOMPARE(form.parent(), &console);
    });
    setRequest(console, 0, QDate(2004, 1, 7), QDate(2004, 1, 7));
    console.SBPreviewClick();
    QCOMPARE(console.lastOutcome(), Outcome::Shown);
    QVERIFY(shown.isNull());
    QVERIFY(!console.preparedForm());
}

void TstConsole::onePreviewAtATime()
{
    test::StatsEnvironment env(kRptRows);
    stats::TfStatHUBp console;
    int previews = 0;
    report::setPreviewHook([&](report::ReportForm &) {
        ++previews;
        // Pressing "미리보기" again while the preview is open prepares nothing.
        console.SBPreviewClick();
    });
    setRequest(console, 0, QDate(2004, 1, 7), QDate(2004, 1, 7));
    console.SBPreviewClick();
    QCOMPARE(previews, 1);
    QCOMPARE(console.findChildren<report::ReportForm *>().size(), 0);
    console.SBPreviewClick();
    QCOMPARE(previews, 2);
}

void TstConsole::requestFollowsTheControls()
{
    test::StatsEnvironment env(kRptRows);
    stats::TfStatHUBp console;
    setRequest(console, 22, QDate(2004, 1, 7), QDate(2004, 1, 9));
    console.ComboBox1->setCurrentIndex(2);
    console.CheckBox1->setChecked(true);
    stats::ReportRequest r = console.request();
    QCOMPARE(r.kind, 22);
    QCOMPARE(r.startDay, QDate(2004, 1, 7));
    QCOMPARE(r.endDay, QDate(2004, 1, 9));
    QCOMPARE(r.sort, 2);
    QVERIFY(r.approval);
    console.ListBox1->clearSelection();
    console.CheckBox1->setChecked(false);
    r = console.request();
    QCOMPARE(r.kind, -1);
    QVERIFY(!r.approval);

    // The stamp of kind 11 follows the box through the request, not through the console.
    env.run(QStringLiteral("insert into STAT_HUB_DAY(STAT_DAY, RESULT, TOTAL) values ('20040107', '3', 1);"));
    QStringList stamps;
    report::setPreviewHook([&](report::ReportForm &form) {
        stamps << form.render().pages[0].textsOf(QStringLiteral("QRLabel21")).join(u'|');
    });
    setRequest(console, 11, QDate(2004, 1, 7), QDate(2004, 1, 7));
    console.CheckBox1->setChecked(true);
    console.SBPreviewClick();
    console.CheckBox1->setChecked(false);
    console.SBPreviewClick();
    QCOMPARE(stamps, (QStringList{QStringLiteral("전결"), QString()}));
}

void TstConsole::listItemsAreAsTallAsTheirText()
{
    stats::TfStatHUBp console;
    console.show();
    QVERIFY(QTest::qWaitForWindowExposed(&console));
    QCOMPARE(console.ListBox1->geometry(), QRect(5, 4, 192, 413));
    const int lineHeight = QFontMetrics(console.ListBox1->font()).height();
    QVERIFY(lineHeight > 15);
    for (int row = 1; row < console.ListBox1->count(); ++row) {
        const QRect above = console.ListBox1->visualItemRect(console.ListBox1->item(row - 1));
        const QRect item = console.ListBox1->visualItemRect(console.ListBox1->item(row));
        QVERIFY2(item.height() >= lineHeight,
                 qPrintable(QStringLiteral("row %1: %2 < %3").arg(row).arg(item.height()).arg(lineHeight)));
        QVERIFY(item.top() >= above.bottom());
    }
    // Twenty-seven lines do not fit in the list's height: it scrolls to the last one.
    console.ListBox1->scrollToItem(console.ListBox1->item(26));
    QVERIFY(
        console.ListBox1->viewport()->rect().contains(console.ListBox1->visualItemRect(console.ListBox1->item(26))));
    console.hide();
}

// Rows of the browser's and the console's lists and popups clear their text; the last shows whole.
void TstConsole::rowsLeaveRoomAroundTheirText()
{
    reception::TAcIn browser;
    browser.ComboBox1->setCurrentText(QStringLiteral("제보종류별"));
    stats::TfStatHUBp console;
    QList<QAbstractItemView *> views{console.ListBox1};
    for (QDialog *form : {static_cast<QDialog *>(&browser), static_cast<QDialog *>(&console)}) {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        for (QComboBox *box : form->findChildren<QComboBox *>()) {
            box->showPopup();
            views << box->view();
        }
    }
    QCOMPARE(views.size(), 5);
    for (QAbstractItemView *view : views) {
        const int rows = view->model()->rowCount();
        for (int row = 0; row < rows; ++row)
            QVERIFY(view->visualRect(view->model()->index(row, 0)).height() >= view->fontMetrics().height() + 4);
        view->scrollTo(view->model()->index(rows - 1, 0));
        const QRect last = view->visualRect(view->model()->index(rows - 1, 0));
        QVERIFY(rows >= 3 && last.top() >= 0 && last.bottom() < view->viewport()->height());
    }
}

void TstConsole::exportWritesTheChosenKind()
{
    test::StatsEnvironment env(kRptRows);
    QTemporaryDir folder;
    stats::SetExportFolder(folder.path());
    stats::TfStatHUBp console;
    console.SpeedButton1Click(); // nothing selected
    setRequest(console, 21, QDate(2004, 1, 7), QDate(2004, 1, 7));
    QTest::mouseClick(console.SpeedButton1, Qt::LeftButton);
    stats::SetExportFolder(QString());
    const QString path = QDir(folder.path()).filePath(QStringLiteral("통신원기간.txt"));
    QCOMPARE(env.ui().entries.size(), 2);
    QCOMPARE(env.ui().entries[0].text, QStringLiteral("저장 대상을 지정하십시요"));
    QCOMPARE(env.ui().entries[1].text, path + QStringLiteral(" 파일을 저장하였습니다."));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(QStringDecoder("CP949").decode(f.readAll()),
             QStringLiteral("순번|통신원번호|이름|기간 합계|\r\n1|R01|김철수|4|\r\n"));
}

void TstConsole::globalsOutliveTheConsole()
{
    test::StatsEnvironment env(kRptRows);
    report::setPreviewHook([](report::ReportForm &) {});
    {
        stats::TfStatHUBp console;
        setRequest(console, 0, QDate(2004, 1, 7), QDate(2004, 1, 8));
        console.SBPreviewClick();
    }
    QCOMPARE(stats::StartDay, QStringLiteral("20040107"));
    QCOMPARE(stats::EndDay, QStringLiteral("20040108"));
    QCOMPARE(stats::CurrDay, QStringLiteral("20040107"));
    QCOMPARE(stats::WeekStart, QStringLiteral("20031229"));
    QCOMPARE(stats::CurrMonth, QStringLiteral("200312"));
    QVERIFY(stats::ReportReady);
}

QTEST_MAIN(TstConsole)
#include "tst_console.moc"
