#include "stats/UStatHUBp.h"

#include "app/CommonDM.h"
#include "platform/db/Clock.h"
#include "platform/db/DbError.h"
#include "platform/db/Query.h"
#include "platform/report/Layout.h"
#include "platform/report/ReportForm.h"
#include "platform/ui/UiService.h"
#include "reports/summary/Furniture.h"
#include "stats/Export.h"
#include "ui_UStatHUBp.h"

#include <QCloseEvent>
#include <QScopedValueRollback>
#include <QStyle>

namespace tipdesk::stats {

TfStatHUBp *fStatHUBp = nullptr;

const char *const kMsgBadRange = "출력 범위를 정확히 입력하십시요";
const char *const kMsgNoSelection = "출력 대상을 지정하십시요";
const char *const kMsgNotAvailable = "이 보고서는 아직 준비되지 않았습니다.";

TfStatHUBp::TfStatHUBp(QWidget *parent) : QDialog(parent), m_ui(std::make_unique<Ui::TfStatHUBp>())
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    m_ui->setupUi(this);
    setFixedSize(341, 422);

    DateTimePicker1 = m_ui->DateTimePicker1;
    DateTimePicker2 = m_ui->DateTimePicker2;
    Label1 = m_ui->Label1;
    Label2 = m_ui->Label2;
    CloseBtn = m_ui->CloseBtn;
    SpeedButton3 = m_ui->SpeedButton3;
    Bevel1 = m_ui->Bevel1;
    ListBox1 = m_ui->ListBox1;
    CheckBox1 = m_ui->CheckBox1;
    SpeedButton1 = m_ui->SpeedButton1;
    Label3 = m_ui->Label3;
    ComboBox1 = m_ui->ComboBox1;
    Query1 = new db::Query(QStringLiteral("commonDB"), {}, this);
    Query1->setObjectName(QStringLiteral("Query1"));

    CloseBtn->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    SpeedButton3->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    // Report forms read "전결인 사용" through the console of the current use.
    report::ApprovalState::setProvider([] { return fStatHUBp && fStatHUBp->approvalTicked(); });
    ListBox1->setCurrentRow(-1);
    ListBox1->clearSelection();

    connect(ListBox1, &QListWidget::itemSelectionChanged, this, &TfStatHUBp::ListBox1Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &TfStatHUBp::SBPreviewClick);
    // Enter (or a double click) on a kind previews it, as "미리보기" does.
    connect(ListBox1, &QListWidget::itemActivated, this, &TfStatHUBp::SBPreviewClick);
    connect(SpeedButton1, &QToolButton::clicked, this, &TfStatHUBp::SpeedButton1Click);
    connect(CloseBtn, &QToolButton::clicked, this, &TfStatHUBp::CloseBtnClick);
}

TfStatHUBp::~TfStatHUBp()
{
    if (fStatHUBp == this)
        fStatHUBp = nullptr;
}

bool TfStatHUBp::approvalTicked() const
{
    return CheckBox1->isChecked();
}

int TfStatHUBp::sortOrder() const
{
    return ComboBox1->currentIndex();
}

void TfStatHUBp::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfStatHUBp::closeEvent(QCloseEvent *event)
{
    FormClose();
    QDialog::closeEvent(event);
}

void TfStatHUBp::FormShow()
{
    const QDate today = db::Clock::now().date();
    DateTimePicker1->setDate(today);
    DateTimePicker2->setDate(today);
    ComboBox1->setCurrentIndex(0);
}

void TfStatHUBp::ListBox1Click()
{
    const ReportKindInfo *info = ReportKindAt(selectedKind());
    // The sort item stays as chosen while the box is disabled.
    SpeedButton1->setEnabled(info && info->file);
    ComboBox1->setEnabled(info && info->sort);
}

int TfStatHUBp::selectedKind() const
{
    const QList<QListWidgetItem *> selected = ListBox1->selectedItems();
    return selected.isEmpty() ? -1 : ListBox1->row(selected.first());
}

void TfStatHUBp::SBPreviewClick()
{
    // One preview at a time: the handlers stay reachable while the preview window runs its loop.
    if (m_previewing)
        return;
    QScopedValueRollback<bool> busy(m_previewing, true);
    if (DateTimePicker2->date() < DateTimePicker1->date()) {
        m_outcome = Outcome::BadRange;
        ui::ui().showMessage(QString::fromUtf8(kMsgBadRange));
        DateTimePicker1->setFocus();
        return;
    }
    ReportKind = selectedKind();
    if (ReportKind < 0) {
        m_outcome = Outcome::NoSelection;
        ui::ui().showMessage(QString::fromUtf8(kMsgNoSelection));
        return;
    }
    StartDay = DateTimePicker1->date().toString(QStringLiteral("yyyyMMdd"));
    EndDay = DateTimePicker2->date().toString(QStringLiteral("yyyyMMdd"));

    try {
        m_outcome = Outcome::Failed;
        PrepareReport(ReportKind);
        if (ReportReady)
            ShowReport(ReportKind);
    } catch (const db::DbError &e) {
        m_outcome = Outcome::Failed;
        ui::ui().showError(e.text());
    } catch (const report::ReportError &e) {
        m_outcome = Outcome::Failed;
        ui::ui().showError(e.text());
    }
}

void TfStatHUBp::PrepareReport(int kind)
{
    const ReportKindInfo *info = ReportKindAt(kind);
    if (!info)
        return;
    if (!info->prepare) {
        ReportReady = false;
        m_outcome = Outcome::NotAvailable;
        ui::ui().showMessage(QString::fromUtf8(kMsgNotAvailable));
        return;
    }
    m_prepared = info->prepare(*this);
    if (m_prepared.tested && m_prepared.tested->recordCount() >= 1) {
        ReportReady = true;
        return;
    }
    if (m_prepared.freeWhenEmpty) {
        delete m_prepared.form;
        m_prepared = {};
    }
    ReportReady = false;
    m_outcome = Outcome::NoData;
    app::ShowCodedMessage(QStringLiteral("ERR0158"));
}

void TfStatHUBp::ShowReport(int kind)
{
    const ReportKindInfo *info = ReportKindAt(kind);
    if (!info || !m_prepared.form)
        return;
    std::unique_ptr<report::ReportForm> form(m_prepared.form);
    m_prepared = {};
    if (form->layout().name != QLatin1String(info->printedName))
        throw report::ReportError(
            QStringLiteral("%1: report %2 expected, %3 prepared")
                .arg(QLatin1String(info->formName), QLatin1String(info->printedName), form->layout().name));
    form->preview();
    m_outcome = Outcome::Shown;
}

void TfStatHUBp::SpeedButton1Click()
{
    try {
        const ExportResult r =
            ExportReport(selectedKind(), DateTimePicker1->date(), DateTimePicker2->date(), sortOrder(), *Query1, this);
        if (r.status == ExportResult::Status::Failed)
            ui::ui().showError(r.message());
        else
            ui::ui().showMessage(r.message());
    } catch (const db::DbError &e) {
        ui::ui().showError(e.text());
    } catch (const report::ReportError &e) {
        ui::ui().showError(e.text());
    }
}

void TfStatHUBp::CloseBtnClick()
{
    close();
}

void TfStatHUBp::FormClose()
{
    // The menu frees the console right after its modal run, so it is not freed here as well (that
    // would free it twice); what a preparation without data left behind goes now.
    delete m_prepared.form;
    m_prepared = {};
}

} // namespace tipdesk::stats
