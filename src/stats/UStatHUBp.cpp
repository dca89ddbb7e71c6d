#include "stats/UStatHUBp.h"

#include "app/CommonDM.h"
#include "platform/db/Clock.h"
#include "platform/db/DbError.h"
#include "platform/db/Query.h"
#include "platform/report/Layout.h"
#include "platform/report/ui/Preview.h"
#include "platform/ui/UiService.h"
#include "stats/Export.h"
#include "stats/ReportSession.h"
#include "stats/UDMReport.h"
#include "ui_UStatHUBp.h"

#include <QCloseEvent>
#include <QScopedValueRollback>
#include <QStyle>

namespace tipdesk::stats {

TfStatHUBp::TfStatHUBp(ReportSession &session, TDMReport &module, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::TfStatHUBp>()), m_session(session), m_module(module)
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    m_ui->setupUi(this);
    setFixedSize(341, 422);

    Query1 = new db::Query(QStringLiteral("commonDB"), {}, this);
    Query1->setObjectName(QStringLiteral("Query1"));

    m_ui->CloseBtn->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    m_ui->SpeedButton3->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    for (const KindDescriptor *kind : AllKinds())
        m_ui->ListBox1->addItem(kind->caption);
    for (int sort = 0; sort < kSortOrderCount; ++sort)
        m_ui->ComboBox1->addItem(SortOrderCaption(sort));
    m_ui->ListBox1->setCurrentRow(-1);
    m_ui->ListBox1->clearSelection();

    connect(m_ui->ListBox1, &QListWidget::itemSelectionChanged, this, &TfStatHUBp::ListBox1Click);
    connect(m_ui->SpeedButton3, &QToolButton::clicked, this, &TfStatHUBp::SBPreviewClick);
    // Enter (or a double click) on a kind previews it, as "미리보기" does.
    connect(m_ui->ListBox1, &QListWidget::itemActivated, this, &TfStatHUBp::SBPreviewClick);
    connect(m_ui->SpeedButton1, &QToolButton::clicked, this, &TfStatHUBp::SpeedButton1Click);
    connect(m_ui->CloseBtn, &QToolButton::clicked, this, &TfStatHUBp::CloseBtnClick);
}

TfStatHUBp::~TfStatHUBp() = default;

int TfStatHUBp::sortOrder() const
{
    return m_ui->ComboBox1->currentIndex();
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
    m_ui->DateTimePicker1->setDate(today);
    m_ui->DateTimePicker2->setDate(today);
    m_ui->ComboBox1->setCurrentIndex(0);
}

void TfStatHUBp::ListBox1Click()
{
    const KindDescriptor *kind = FindKind(selectedKind());
    // The sort item stays as chosen while the box is disabled.
    m_ui->SpeedButton1->setEnabled(kind && kind->exportFile);
    m_ui->ComboBox1->setEnabled(kind && kind->sort);
}

int TfStatHUBp::selectedKind() const
{
    const QList<QListWidgetItem *> selected = m_ui->ListBox1->selectedItems();
    return selected.isEmpty() ? -1 : m_ui->ListBox1->row(selected.first());
}

ReportRequest TfStatHUBp::request() const
{
    ReportRequest r;
    r.kind = selectedKind();
    r.startDay = m_ui->DateTimePicker1->date();
    r.endDay = m_ui->DateTimePicker2->date();
    r.sort = sortOrder();
    r.approval = m_ui->CheckBox1->isChecked();
    return r;
}

void TfStatHUBp::setRequest(const ReportRequest &r)
{
    m_ui->DateTimePicker1->setDate(r.startDay);
    m_ui->DateTimePicker2->setDate(r.endDay);
    if (r.kind >= 0)
        m_ui->ListBox1->setCurrentRow(r.kind);
    else
        m_ui->ListBox1->clearSelection();
    m_ui->CheckBox1->setChecked(r.approval);
    m_ui->ComboBox1->setCurrentIndex(r.sort);
}

void TfStatHUBp::SBPreviewClick()
{
    // One preview at a time: the handlers stay reachable while the preview window runs its loop.
    if (m_previewing)
        return;
    QScopedValueRollback<bool> busy(m_previewing, true);
    const ReportRequest r = request();
    const RequestCheck check = CheckRequest(r);
    if (check == RequestCheck::BadRange) {
        m_outcome = Outcome::BadRange;
        ui::ui().showMessage(RequestCheckText(check));
        m_ui->DateTimePicker1->setFocus();
        return;
    }
    m_session.record(r);
    if (check == RequestCheck::NoSelection) {
        m_outcome = Outcome::NoSelection;
        ui::ui().showMessage(RequestCheckText(check));
        return;
    }

    try {
        m_outcome = Outcome::Failed;
        PrepareReport(r);
        if (m_session.ready())
            ShowReport();
    } catch (const db::DbError &e) {
        m_outcome = Outcome::Failed;
        ui::ui().showError(e.text());
    } catch (const report::ReportError &e) {
        m_outcome = Outcome::Failed;
        ui::ui().showError(e.text());
    }
}

void TfStatHUBp::PrepareReport(const ReportRequest &r)
{
    m_prepared.reset();
    PreparedReport prepared = stats::PrepareReport(r, m_module);
    m_session.apply(prepared);
    if (!prepared.form) {
        m_outcome = Outcome::NoData;
        app::ShowCodedMessage(QStringLiteral("ERR0158"));
        return;
    }
    m_prepared = std::move(prepared.form);
    // Report forms belong to the console that prepared them.
    m_prepared->setParent(this);
}

void TfStatHUBp::ShowReport()
{
    if (!m_prepared)
        return;
    const std::unique_ptr<KindForm> form = std::move(m_prepared);
    report::preview(*form);
    m_outcome = Outcome::Shown;
}

void TfStatHUBp::SpeedButton1Click()
{
    try {
        const ExportResult r = ExportReport(request(), *Query1, m_session.exportFolder());
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
    // would free it twice); a form prepared and not shown goes now.
    m_prepared.reset();
}

} // namespace tipdesk::stats
