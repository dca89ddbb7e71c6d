#include "stats/UStatHUBp.h"

// The console's state, with the console: the preparations below it take a request instead.
QString tipdesk::stats::StartDay;
QString tipdesk::stats::EndDay;
qint32 tipdesk::stats::ReportKind = -1;
QString tipdesk::stats::CurrDay;
QString tipdesk::stats::WeekStart;
QString tipdesk::stats::WeekEnd;
QString tipdesk::stats::CurrMonth;
bool tipdesk::stats::ReportReady = false;
