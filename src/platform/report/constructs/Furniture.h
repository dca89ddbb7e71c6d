#pragma once

// The page furniture the report families share, as constructs of the layout files:
//
// - "TApprovalBox": the approval box (결재) with its delegated-approval stamp, at Left/Top, with
//   its label column "Caption", the stamp's "StampLabel" and "StampShape" names and, where a form
//   moves them, the stamp frame's own "StampLeft"/"StampTop" and the caption's "CaptionTop".
// - "THourGrid": the grid of the hour columns ("계", "오전", the morning bands, "오후", the
//   afternoon bands) fed from the hour bands of the code lists. The layout gives the grid's
//   frame, the caption column, the columns' left edges and widths, and its rows; a row prints the
//   column headers, the fields of one query, or expressions, with a rule or a doubled rule above.
// - "TDayBreakdown" (DayBreakdown.h): the column header, detail and summary bands of the daily
//   breakdowns, one entry of "Bands".
//
// The register page frame is the report engine's own ("PageFrame" in the layout).
// The stamp of the approval box prints only when the layout's parameter "Approval" is true.

#include "platform/report/Layout.h"

namespace tipdesk::common {

// The constructs the layout reader knows from the start, by class name.
QHash<QString, report::ConstructExpander> ItemConstructs();
QHash<QString, report::BandConstructExpander> BandConstructs();

// The parameter that switches the approval box's stamp: a layout with the box declares it, and
// the stamp prints only when it is true.
inline const QString kApprovalParameter = QStringLiteral("Approval");

// The label column's caption variants as the forms have them.
inline const QString kApprovalCaptionWide = QStringLiteral(" 결   재");
inline const QString kApprovalCaptionNarrow = QStringLiteral(" 결  재");
inline const QString kApprovalCaptionSpread = QStringLiteral("결     재");

// The columns of the hour grid in print order: the key names the statistics column
// (TOTAL, MORNING_TOTAL, TIME06.., EVENING_TOTAL, TIME14..) and hh the band's two digits.
struct HourColumn {
    enum class Kind { Total, Morning, Afternoon, Hour };
    Kind kind;
    QString key;
    QString header;
    QString hh; // "06".."21" for the bands, empty otherwise
};
const QList<HourColumn> &HourColumns();

} // namespace tipdesk::common
