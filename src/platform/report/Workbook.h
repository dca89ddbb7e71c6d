#pragma once

// The report as an Excel workbook (.xlsx): the grid its pages print (SheetGrid.h), written with
// libxlsxwriter. Figures become numbers in the format they were printed in; everything else is
// written as text, never as a formula.

#include "platform/report/PageModel.h"

namespace tipdesk::report {

// Written to a temporary file in the target's folder and renamed over the target only when
// whole; throws ReportError naming the file.
void writeWorkbook(const PageModel &model, const QString &path);

} // namespace tipdesk::report
