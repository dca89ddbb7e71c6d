#pragma once

#include "stats/KindForm.h"

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

namespace tipdesk::stats {

// The console's own state: the period of the last request and what its preparation derived.
// It lives for the whole run, so a console opened later starts with what the previous one left.
// Only the console writes it; preparations take a request instead.
extern QString StartDay;  // start picker as "YYYYMMDD"
extern QString EndDay;    // end picker as "YYYYMMDD"
extern qint32 ReportKind; // list index of the last request, -1 when nothing was selected
extern QString CurrDay;   // reference day of the summaries
extern QString WeekStart; // Monday of the reference week
extern QString WeekEnd;   // Sunday of the reference week
extern QString CurrMonth; // reference month "YYYYMM"
extern bool ReportReady;  // the last preparation found data

// The statistics console "제보/접수 통계".
class TfStatHUBp : public QDialog {
    Q_OBJECT
public:
    // How the last "미리보기" ended.
    enum class Outcome { None, BadRange, NoSelection, NoData, Failed, Shown };

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

    // The request the controls make.
    ReportRequest request() const;
    // Prepares the request's kind and keeps what it derived as the console's state; the form
    // (owned by the console) waits for ShowReport, or nothing does when there was no data.
    void PrepareReport(const ReportRequest &request);
    // Previews the prepared report and frees its form.
    void ShowReport();

    // Event handlers.
    void FormShow();
    void ListBox1Click();
    void SBPreviewClick();
    void SpeedButton1Click();
    void CloseBtnClick();
    void FormClose();

    Outcome lastOutcome() const { return m_outcome; }
    int sortOrder() const;
    // The form prepared and not yet shown (null after ShowReport and when nothing was found).
    KindForm *preparedForm() const { return m_prepared.get(); }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    int selectedKind() const;

    std::unique_ptr<Ui::TfStatHUBp> m_ui;
    std::unique_ptr<KindForm> m_prepared;
    Outcome m_outcome = Outcome::None;
    bool m_previewing = false;
};

// The console of the current use of the menu button.
extern TfStatHUBp *fStatHUBp;

} // namespace tipdesk::stats
