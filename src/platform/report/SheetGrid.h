#pragma once

// The spreadsheet grid a page model prints: columns where its rules and text boxes stand, a row
// per printed line, a cell per text. Pure, so that the workbook writer (Workbook.h) only
// transcribes it.

#include "platform/report/PageModel.h"

#include <vector>

namespace tipdesk::report {

struct GridCell {
    enum Border : quint8 { Left = 1, Right = 2, Top = 4, Bottom = 8 };
    int row = 0;
    int col = 0;
    int lastCol = 0; // a merged range where lastCol > col
    QString text;    // empty for a framed empty cell
    int font = -1;   // PageModel::fonts; -1 for a framed empty cell
    Qt::Alignment align;
    quint8 borders = 0;
    // A label printed around the text, as "총 :          건" around a count: the text stays a
    // figure, shown between them.
    QString before, after;
};

struct GridSheet {
    std::vector<double> columns;    // boundaries in mm, ascending; column i lies between i and i + 1
    std::vector<double> rowHeights; // mm
    std::vector<GridCell> cells;    // by row, then column
    int repeatFirst = -1;           // the column header rows, printed again on every page
    int repeatLast = -1;
    QSizeF paper;   // mm, of the first page
    double top = 0; // mm, the first row's top on the paper
};

// One continuous sheet for a report whose pages flow (later pages' repeated headers and the page
// numbers left out), or one sheet per page where each page is a complete form.
std::vector<GridSheet> sheetGrids(const PageModel &model);

// What a printed text is to a spreadsheet: a number, with the Excel format it was printed in,
// or text (identifiers with leading zeros, days, times, phone numbers, anything else).
struct CellValue {
    bool number = false;
    double value = 0;
    QByteArray format; // empty: General
};
CellValue cellValue(const QString &text);

} // namespace tipdesk::report
