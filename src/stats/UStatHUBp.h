#pragma once

#include "stats/KindForm.h"

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class TfStatHUBp;
}

namespace tipdesk::db {
class Query;
}

namespace tipdesk::stats {

class ReportSession;
class TDMReport;

// The statistics console "제보/접수 통계".
class TfStatHUBp : public QDialog {
    Q_OBJECT
public:
    // How the last "미리보기" ended.
    enum class Outcome { None, BadRange, NoSelection, NoData, Failed, Shown };

    // The session keeps the console's state between its uses; the report query module lends
    // the preparations their period derivation. Both outlive the console.
    TfStatHUBp(ReportSession &session, TDMReport &module, QWidget *parent = nullptr);
    ~TfStatHUBp() override;

    // The request the controls make.
    ReportRequest request() const;
    // Sets the controls as an operator would for a request: the days, the kind's row (none for
    // -1), "전결인 사용" and "정렬 순서".
    void setRequest(const ReportRequest &request);
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
    db::Query *Query1; // the export's query
    ReportSession &m_session;
    TDMReport &m_module;
    std::unique_ptr<KindForm> m_prepared;
    Outcome m_outcome = Outcome::None;
    bool m_previewing = false;
};

} // namespace tipdesk::stats
