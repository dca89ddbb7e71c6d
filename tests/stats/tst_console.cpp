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
    stats::ReportRequest r;
    r.kind = kind;
    r.startDay = start;
    r.endDay = end;
    console.setRequest(r);
}

// A console of its own session and a report query module that nothing opens.
struct LoneConsole {
    stats::ReportSession session;
    stats::TDMReport module;
    stats::TfStatHUBp console{session, module};
};

template <class Widget> Widget *child(const stats::TfStatHUBp &console, const char *name)
{
    return console.findChild<Widget *>(QLatin1String(name));
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
    void sessionOutlivesTheConsole();
};

void TstConsole::cleanup()
{
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
    LoneConsole lone;
    stats::TfStatHUBp &console = lone.console;
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
    LoneConsole lone;
    const auto *list = child<QListWidget>(lone.console, "ListBox1");
    const auto *sort = child<QComboBox>(lone.console, "ComboBox1");
    QCOMPARE(list->count(), stats::kReportKindCount);
    QVERIFY(list->selectedItems().isEmpty());
    QCOMPARE(list->item(0)->text(), QStringLiteral("통신원별"));
    QCOMPARE(list->item(11)->text(), QStringLiteral("일일 교통정보 접수현황"));
    QCOMPARE(list->item(18)->text(), QStringLiteral("소속별 제보현황"));
    QCOMPARE(list->item(26)->text(), QStringLiteral("기간합계 시민"));
    QCOMPARE(sort->count(), 3);
    QCOMPARE(sort->itemText(2), QStringLiteral("소속"));
    QVERIFY(!sort->isEnabled());
    QVERIFY(!child<QToolButton>(lone.console, "SpeedButton1")->isEnabled());
    QVERIFY(!lone.console.request().approval);
}

void TstConsole::formShowSetsTodayAndFirstSortItem()
{
    db::Clock::setFixed(QDateTime(QDate(2004, 1, 8), QTime(9, 0)));
    LoneConsole lone;
    stats::TfStatHUBp &console = lone.console;
    setRequest(console, 22, QDate(2001, 1, 1), QDate(2001, 1, 1));
    child<QComboBox>(console, "ComboBox1")->setCurrentIndex(2);
    console.show();
    QCOMPARE(console.request().startDay, QDate(2004, 1, 8));
    QCOMPARE(console.request().endDay, QDate(2004, 1, 8));
    QCOMPARE(console.sortOrder(), 0);
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
    LoneConsole lone;
    child<QListWidget>(lone.console, "ListBox1")->setCurrentRow(kind);
    QCOMPARE(child<QToolButton>(lone.console, "SpeedButton1")->isEnabled(), file);
    QCOMPARE(child<QComboBox>(lone.console, "ComboBox1")->isEnabled(), sort);
}

void TstConsole::sortItemKeptWhileDisabled()
{
    LoneConsole lone;
    auto *list = child<QListWidget>(lone.console, "ListBox1");
    auto *sort = child<QComboBox>(lone.console, "ComboBox1");
    list->setCurrentRow(22);
    sort->setCurrentIndex(2);
    list->setCurrentRow(0);
    QVERIFY(!sort->isEnabled());
    QCOMPARE(lone.console.sortOrder(), 2);
    list->setCurrentRow(22);
    QVERIFY(sort->isEnabled());
    QCOMPARE(lone.console.sortOrder(), 2);
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
    stats::TfStatHUBp console(env.session(), env.module());
    setRequest(console, 5, QDate(1999, 1, 1), QDate(1999, 1, 2));
    env.session().record(console.request());
    setRequest(console, kind, QDate(2004, 1, 7), end);
    console.SBPreviewClick();
    QCOMPARE(int(console.lastOutcome()), outcome);
    QCOMPARE(env.ui().entries.size(), 1);
    QCOMPARE(env.ui().entries[0].kind, ui::RecordingUiService::Kind::Message);
    QCOMPARE(env.ui().entries[0].text, message);
    if (outcome == int(Outcome::BadRange))
        QCOMPARE(console.focusWidget(), child<QDateEdit>(console, "DateTimePicker1"));
    // Nothing is prepared and the period is not stored.
    QCOMPARE(env.session().kind(), reportKind);
    QCOMPARE(env.session().startDay(), QStringLiteral("19990101"));
    QCOMPARE(env.session().endDay(), QStringLiteral("19990102"));
    QVERIFY(!console.preparedForm());
}

void TstConsole::equalDaysPass()
{
    test::StatsEnvironment env(kRptRows);
    stats::TfStatHUBp console(env.session(), env.module());
    int previews = 0;
    report::setPreviewHook([&](report::ReportForm &) { ++previews; });
    setRequest(console, 0, QDate(2004, 1, 7), QDate(2004, 1, 7));
    console.SBPreviewClick();
    QCOMPARE(console.lastOutcome(), Outcome::Shown);
    QCOMPARE(previews, 1);
    QCOMPARE(env.session().startDay(), QStringLiteral("20040107"));
    QCOMPARE(env.session().endDay(), QStringLiteral("20040107"));
    QCOMPARE(env.session().kind(), 0);
    QVERIFY(env.session().ready());
    QVERIFY(env.ui().entries.isEmpty());
}

void TstConsole::enterOnTheListPreviews()
{
    test::StatsEnvironment env(kRptRows);
    stats::TfStatHUBp console(env.session(), env.module());
    int previews = 0;
    report::setPreviewHook([&](report::ReportForm &) { ++previews; });
    console.show(); // before the request: showing sets today's date
    setRequest(console, 0, QDate(2004, 1, 7), QDate(2004, 1, 7));
    auto *list = child<QListWidget>(console, "ListBox1");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(previews, 1);
    QCOMPARE(console.lastOutcome(), Outcome::Shown);
    console.hide();
}

void TstConsole::emptyTableGivesErr0158_data()
{
    QTest::addColumn<int>("kind");
    for (int k = 0; k < stats::kReportKindCount; ++k)
        QTest::addRow("%d %s", k, qPrintable(stats::FindKind(k)->form)) << k;
}

void TstConsole::emptyTableGivesErr0158()
{
    QFETCH(int, kind);
    test::StatsEnvironment env;
    stats::TfStatHUBp console(env.session(), env.module());
    int previews = 0;
    report::setPreviewHook([&](report::ReportForm &) { ++previews; });
    setRequest(console, kind, QDate(2004, 1, 7), QDate(2004, 1, 7));
    console.SBPreviewClick();
    QCOMPARE(console.lastOutcome(), Outcome::NoData);
    QCOMPARE(previews, 0);
    QVERIFY(!env.session().ready());
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
    stats::TfStatHUBp console(env.session(), env.module());
    int previews = 0;
    report::setPreviewHook([&](report::ReportForm &) { ++previews; });
    setRequest(console, 0, QDate(2004, 1, 7), QDate(2004, 1, 7));
    env.session().apply(stats::PrepareReport(console.request(), env.module())); // ready
    env.run(QStringLiteral("drop table STAT_HUB_RPT;"));
    console.SBPreviewClick();
    QCOMPARE(console.lastOutcome(), Outcome::Failed);
    QCOMPARE(previews, 0);
    QCOMPARE(env.ui().entries.size(), 1);
    QCOMPARE(env.ui().entries[0].kind, ui::RecordingUiService::Kind::Error);
    QVERIFY2(env.ui().entries[0].text.contains(QStringLiteral("stat_hub_rpt"), Qt::CaseInsensitive),
             qPrintable(env.ui().entries[0].text));
    // A failed preparation keeps the previous ready flag and the console stays usable.
    QVERIFY(env.session().ready());
    env.run(QStringLiteral("create table STAT_HUB_RPT(STAT_DAY text, RPT_ID text, RPT_NAME text, REPORT_COUNT integer);"
                           "insert into STAT_HUB_RPT values ('20040107', 'R01', '김철수', 4);"));
    console.SBPreviewClick();
    QCOMPARE(console.lastOutcome(), Outcome::Shown);
    QCOMPARE(previews, 1);
}

void TstConsole::previewShowsThenFreesTheForm()
{
    test::StatsEnvironment env(kRptRows);
    stats::TfStatHUBp console(env.session(), env.module());
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
    stats::TfStatHUBp console(env.session(), env.module());
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
    stats::TfStatHUBp console(env.session(), env.module());
    setRequest(console, 22, QDate(2004, 1, 7), QDate(2004, 1, 9));
    auto *approval = child<QCheckBox>(console, "CheckBox1");
    child<QComboBox>(console, "ComboBox1")->setCurrentIndex(2);
    approval->setChecked(true);
    stats::ReportRequest r = console.request();
    QCOMPARE(r.kind, 22);
    QCOMPARE(r.startDay, QDate(2004, 1, 7));
    QCOMPARE(r.endDay, QDate(2004, 1, 9));
    QCOMPARE(r.sort, 2);
    QVERIFY(r.approval);
    child<QListWidget>(console, "ListBox1")->clearSelection();
    approval->setChecked(false);
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
    approval->setChecked(true);
    console.SBPreviewClick();
    approval->setChecked(false);
    console.SBPreviewClick();
    QCOMPARE(stamps, (QStringList{QStringLiteral("전결"), QString()}));
}

void TstConsole::listItemsAreAsTallAsTheirText()
{
    LoneConsole lone;
    stats::TfStatHUBp &console = lone.console;
    console.show();
    QVERIFY(QTest::qWaitForWindowExposed(&console));
    auto *list = child<QListWidget>(console, "ListBox1");
    QCOMPARE(list->geometry(), QRect(5, 4, 192, 413));
    const int lineHeight = QFontMetrics(list->font()).height();
    QVERIFY(lineHeight > 15);
    for (int row = 1; row < list->count(); ++row) {
        const QRect above = list->visualItemRect(list->item(row - 1));
        const QRect item = list->visualItemRect(list->item(row));
        QVERIFY2(item.height() >= lineHeight,
                 qPrintable(QStringLiteral("row %1: %2 < %3").arg(row).arg(item.height()).arg(lineHeight)));
        QVERIFY(item.top() >= above.bottom());
    }
    // Twenty-seven lines do not fit in the list's height: it scrolls to the last one.
    list->scrollToItem(list->item(26));
    QVERIFY(list->viewport()->rect().contains(list->visualItemRect(list->item(26))));
    console.hide();
}

// Rows of the browser's and the console's lists and popups clear their text; the last shows whole.
void TstConsole::rowsLeaveRoomAroundTheirText()
{
    reception::TAcIn browser;
    browser.ComboBox1->setCurrentText(QStringLiteral("제보종류별"));
    LoneConsole lone;
    stats::TfStatHUBp &console = lone.console;
    QList<QAbstractItemView *> views{child<QListWidget>(console, "ListBox1")};
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
    env.session().setExportFolder(folder.path());
    stats::TfStatHUBp console(env.session(), env.module());
    console.SpeedButton1Click(); // nothing selected
    setRequest(console, 21, QDate(2004, 1, 7), QDate(2004, 1, 7));
    QTest::mouseClick(child<QToolButton>(console, "SpeedButton1"), Qt::LeftButton);
    const QString path = QDir(folder.path()).filePath(QStringLiteral("통신원기간.txt"));
    QCOMPARE(env.ui().entries.size(), 2);
    QCOMPARE(env.ui().entries[0].text, QStringLiteral("저장 대상을 지정하십시요"));
    QCOMPARE(env.ui().entries[1].text, path + QStringLiteral(" 파일을 저장하였습니다."));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(QStringDecoder("CP949").decode(f.readAll()),
             QStringLiteral("순번|통신원번호|이름|기간 합계|\r\n1|R01|김철수|4|\r\n"));
}

void TstConsole::sessionOutlivesTheConsole()
{
    test::StatsEnvironment env(kRptRows);
    report::setPreviewHook([](report::ReportForm &) {});
    {
        stats::TfStatHUBp console(env.session(), env.module());
        setRequest(console, 0, QDate(2004, 1, 7), QDate(2004, 1, 8));
        console.SBPreviewClick();
    }
    const stats::ReportSession &session = env.session();
    QCOMPARE(session.startDay(), QStringLiteral("20040107"));
    QCOMPARE(session.endDay(), QStringLiteral("20040108"));
    QCOMPARE(session.currDay(), QStringLiteral("20040107"));
    QCOMPARE(session.weekStart(), QStringLiteral("20031229"));
    QCOMPARE(session.currMonth(), QStringLiteral("200312"));
    QVERIFY(session.ready());
    // The next console starts from what this one left.
    stats::TfStatHUBp next(env.session(), env.module());
    setRequest(next, -1, QDate(2004, 1, 7), QDate(2004, 1, 7));
    next.SBPreviewClick();
    QCOMPARE(session.kind(), -1);
    QCOMPARE(session.startDay(), QStringLiteral("20040107"));
    QVERIFY(session.ready());
}

QTEST_MAIN(TstConsole)
#include "tst_console.moc"
