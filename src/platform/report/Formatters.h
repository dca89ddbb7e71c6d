#pragma once

// The engine's named handlers: formatters of printed values and band events that a layout wires
// by naming them under "Handlers" ({"QRDBText106Print": "Share"}), so that a report needs no code
// of its own for them. The shares that the database delivers as text print as they come; these
// format the ones that come as numbers.

#include <QString>
#include <QStringList>

namespace tipdesk::report {

class Band;
class Item;
class ReportForm;

// A share with one decimal, rounded half away from zero on the decimal digits of the text
// (6.25 gives "6.3%", never 6.2 as a binary value would), and "%". Throws ReportError for a
// text that is not a number.
QString FormatSharePercent(const QString &text);

// The ledgers' "%2.1f" formatter: as FormatSharePercent, with or without the trailing "%". An
// empty text (a query without a row) stays empty.
QString FormatShare(const QString &text, bool percent);

// The names a layout may give under "Handlers": item formatters for an OnPrint, band events for
// a BeforePrint.
//   "Share", "SharePercent"  FormatShare without and with "%"
//   "Percent"                FormatSharePercent (an empty value is refused as not a number)
//   "FirstPageOnly"          the band prints on the first page only
bool isItemFormatter(const QString &name);
bool isBandEvent(const QString &name);

// Wires the layout's named handlers into the form, unless the form registered its own under
// the same handler name.
void installNamedHandlers(ReportForm &form);

} // namespace tipdesk::report
