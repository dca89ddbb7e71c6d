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

#include "platform/report/ReportForm.h"

namespace tipdesk::common {

// Makes the constructs known to the layout reader; harmless when called again.
void RegisterConstructs();

// Unless "전결인 사용" is ticked, blanks the stamp: the label's caption becomes empty and the
// frame's pen white. The rest of the box prints unchanged and the band is not suppressed.
void ApplyStampSwitch(report::ReportForm &form, bool approval, const QString &stampLabel, const QString &stampShape);

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
