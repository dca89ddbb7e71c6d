#pragma once

// Period totals (kinds 21..26): one row per correspondent, correspondent and organisation, fixed
// report point, police report point, receiving operator or citizen, with the number of reports
// from the start day to the end day. The statement is composed at run time from the period and
// the sort order; the export to file runs the same statements.

#include "platform/report/ReportForm.h"

#include <QDate>
#include <QPointer>
#include <QString>
#include <QStringList>

namespace tipdesk::db {
class Query;
}

namespace tipdesk::stats {

class TfStatHUBp;
struct PreparedReport;

constexpr int kFirstPeriodKind = 21;
constexpr int kLastPeriodKind = 26;
inline bool IsPeriodTotalsKind(int kind)
{
    return kind >= kFirstPeriodKind && kind <= kLastPeriodKind;
}

// Items of "정렬 순서".
enum SortOrder { SortByCount = 0, SortById = 1, SortByOrganisation = 2 };

// '20040101' And '20040131': both days as digits this program formats itself, so nothing a user
// typed enters the statement.
QString PeriodLiteral(const QDate &start, const QDate &end);
// "기 간 : 2004-01-01 ~ 2004-01-31"
QString PeriodLine(const QDate &start, const QDate &end);
// The statement of a period kind, line by line; the order line follows the sort order. Empty for
// any other kind.
QStringList PeriodTotalsSql(int kind, const QDate &start, const QDate &end, int sortOrder);

// Texts of a period kind.
struct PeriodKindTexts {
    const char *printed;     // the layout that prints it
    const char *title;       // QRLabel1 of QRCoumm; null keeps the design text
    const char *firstColumn; // QRLabel3 of QRCoumm; null keeps the design text
};
const PeriodKindTexts *PeriodKindTextsOf(int kind); // null outside 21..26

// The period totals form. It holds the query and the layout that prints the kind: QRCoumm for
// kinds 21 and 23..26, QuickRep1 (correspondents by organisation) for kind 22.
class TFrmRepC : public report::ReportForm {
    Q_OBJECT
public:
    TFrmRepC(QObject *owner, int kind);
    ~TFrmRepC() override;

    int kind() const { return m_kind; }
    db::Query *qryReportC;

    // Replaces the statement with the kind's for the period and sort order, and opens it.
    void OpenPeriodTotals(const QDate &start, const QDate &end, int sortOrder);
    // Title, first column caption and period line, set before the preview.
    void SetTexts(const QDate &start, const QDate &end);

private:
    int m_kind;
};

// The latest instance (the global form variable of the unit); null once it is freed.
extern QPointer<TFrmRepC> FrmRepC;

// The console's preparation of kinds 21..26: the form, its query opened, the texts set. An empty
// result frees the form before the console says so.
PreparedReport PrepareFrmRepC(TfStatHUBp &console);

} // namespace tipdesk::stats
