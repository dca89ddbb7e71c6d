#pragma once

// Formatters of the shares the ledgers and summaries print from numbers (the shares that the
// database delivers as text are printed as they come).

#include <QString>

namespace tipdesk::report {
class ReportForm;
}

namespace tipdesk::common {

// A share with one decimal, rounded half away from zero on the decimal digits of the text
// (6.25 gives "6.3%", never 6.2 as a binary value would), and "%". Throws report::ReportError
// for a text that is not a number.
QString FormatSharePercent(const QString &text);

// The ledgers' "%2.1f" formatter: as FormatSharePercent, with or without the trailing "%". An
// empty text (a query without a row) stays empty.
QString FormatShare(const QString &text, bool percent);

// Wires a form's on-print handler of share cells to FormatShare.
void OnSharePrint(report::ReportForm &form, const QString &handler, bool percent);

} // namespace tipdesk::common
