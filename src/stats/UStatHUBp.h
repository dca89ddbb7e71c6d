#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <memory>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QListWidget;
class QToolButton;

namespace Ui {
class TfStatHUBp;
}

namespace tipdesk::db {
class Query;
}
namespace tipdesk::report {
class ReportForm;
}

namespace tipdesk::stats {

// Period state shared by the console and the report preparations. It lives for the whole run,
// so a console opened later starts with what the previous one left.
extern QString StartDay;  // start picker as "YYYYMMDD"
extern QString EndDay;    // end picker as "YYYYMMDD"
extern qint32 ReportKind; // list index of the last request, -1 when nothing was selected
extern QString CurrDay;   // reference day of the summaries
extern QString WeekStart; // Monday of the reference week
extern QString WeekEnd;   // Sunday of the reference week
extern QString CurrMonth; // reference month "YYYYMM"
extern QString PeriodSql; // working buffer of CalcPeriods
extern bool ReportReady;  // the last preparation found data

// Runs one statement through DMReport.qryDate and returns the first column of the first row.
QString GetSqlValue(const QString &sql);
// Derives CurrDay, WeekStart, WeekEnd and CurrMonth from StartDay through the database, whose
// current date decides whether the reference day is the day before.
void CalcPeriods();
// 1 "일" (Sunday) .. 7 "토".
QString WeekdayName(int number);
// "2004년 1월 7일 " from "20040107".
QString DayCaption(const QString &dayKey);
// "2004년 1월 7일 (수요일 )" from "20040107".
QString DayCaptionWithWeekday(const QString &dayKey);

class TfStatHUBp;

// What a kind's preparation leaves behind: its report form (owned by the console) and the query
// whose emptiness decides whether there is anything to print.
struct PreparedReport {
    report::ReportForm *form = nullptr;
    db::Query *tested = nullptr;
    bool freeWhenEmpty = false; // the form goes at once when nothing was found
};

// Creates the kind's form with the console as owner, binds the period values and opens the
// queries. Database errors propagate.
using PrepareFn = PreparedReport (*)(TfStatHUBp &console);

// What the period binding of a kind uses.
enum class KindInputs {
    Periods,  // CurrDay, WeekStart, WeekEnd, CurrMonth (from the start day)
    Start,    // start day
    StartEnd, // start and end day
    Month,    // year and month of the start day
};

// One row of the catalogue of report kinds; the list index is the kind.
struct ReportKindInfo {
    const char *formName;    // report form class
    const char *printedName; // report component that is previewed
    KindInputs inputs;
    bool file;         // "File 저장" takes effect
    bool sort;         // "정렬 순서" takes effect
    bool approval;     // "전결인 사용" takes effect
    PrepareFn prepare; // null while the kind's report is not built
};

constexpr int kReportKindCount = 27;
const std::array<ReportKindInfo, kReportKindCount> &ReportKinds();
// The catalogue row of a kind, null outside 0..26.
const ReportKindInfo *ReportKindAt(int kind);

// Texts the console shows in plain boxes.
extern const char *const kMsgBadRange;     // end day before the start day
extern const char *const kMsgNoSelection;  // no kind selected
extern const char *const kMsgNotAvailable; // kind not built yet

// The statistics console "제보/접수 통계".
class TfStatHUBp : public QDialog {
    Q_OBJECT
public:
    // How the last "미리보기" ended; the batch command turns it into its exit status.
    enum class Outcome { None, BadRange, NoSelection, NotAvailable, NoData, Failed, Shown };

    explicit TfStatHUBp(QWidget *parent = nullptr);
    ~TfStatHUBp() override;

    // Components, named as on the form.
    QDateEdit *DateTimePicker1;
    QDateEdit *DateTimePicker2;
    QLabel *Label1;
    QLabel *Label2;
    QToolButton *CloseBtn;
    QToolButton *SpeedButton3;
    QFrame *Bevel1;
    QListWidget *ListBox1;
    QCheckBox *CheckBox1;
    QToolButton *SpeedButton1;
    QLabel *Label3;
    QComboBox *ComboBox1;
    db::Query *Query1;

    // Day, week, month and total sums of the summaries (kinds 0..3).
    std::array<qint32, 4> PeriodSums{};

    void PrepareReport(int kind);
    void ShowReport(int kind);

    // Event handlers.
    void FormShow();
    void ListBox1Click();
    void SBPreviewClick();
    void SpeedButton1Click();
    void CloseBtnClick();
    void FormClose();

    Outcome lastOutcome() const { return m_outcome; }
    bool approvalTicked() const;
    int sortOrder() const;
    // The form of the last preparation still owned by the console (null after ShowReport).
    report::ReportForm *preparedForm() const { return m_prepared.form; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    int selectedKind() const;

    std::unique_ptr<Ui::TfStatHUBp> m_ui;
    PreparedReport m_prepared;
    Outcome m_outcome = Outcome::None;
    bool m_previewing = false;
};

// The console of the current use of the menu button; report forms read "전결인 사용" through it.
extern TfStatHUBp *fStatHUBp;

} // namespace tipdesk::stats
