#pragma once

// "TDayBreakdown": the table of the daily breakdowns, one entry of a layout's "Bands" standing for
// its column header, detail and summary bands. The day column (the day key and the one-letter day
// name, parted by a thin line in the detail band only) comes first; then the columns left to
// right, each with its caption over its span and its fields: one field placed where the column
// says ("At"), or a count and its share parted by a thin line ("Divider"), the count at the
// layout's "Count" inset and width from the column's left line, the share at its "Share" inset and
// width from the divider (a column may give its own "Count" and "Share"). The summary band prints "계" under the day
// column and the columns' totals from the sum query. Rules run around every second column, the day column first, over
// the height of each band.
//
//   {"Class": "TDayBreakdown", "Name": "Breakdown", "SummaryDataSet": "qrySum",
//    "ColumnHeader": {"Name": "ColumnHeaderBand1", "Height": 6.3, "Frame": {...}},
//    "Detail": {...}, "Summary": {...}, "Count": [0.5, 10.6], "Share": [0.6, 11.0],
//    "Day": {"Span": [0, 30.7], "Divider": 21.4, "Captions": ["날짜", "요일"],
//            "Fields": ["STAT_DAY", "STR_WEEK"], "Alignment": "taLeftJustify", "SumCaption": "계"},
//    "Columns": [{"Name": "Total", "Caption": "계", "Span": [30.7, 45.2], "At": [31.3, 12.8],
//                 "Fields": ["TOTAL"], "Totals": ["TOT"]},
//                {"Name": "Com", "Caption": "통신원", "Span": [45.2, 70.3], "Divider": 57.1,
//                 "Fields": ["REPORTER1", "STR_COM"], "Totals": ["TOT_COM", "STR_COM"]}]}
//
// Items are named after the column: QRLabel<Name> (caption), QRDBText<Name> and
// QRDBText<Name>Per (detail), QRDBSum<Name> and QRDBSum<Name>Per (summary); the day column's are
// QRLabelDay, QRLabelWeek, QRDBTextDay, QRDBTextWeek and QRLabelSum.

#include "platform/report/Layout.h"

namespace tipdesk::common {

// The bands a "TDayBreakdown" entry stands for.
QJsonArray DayBreakdownBands(const report::LayoutObject &entry);

} // namespace tipdesk::common
