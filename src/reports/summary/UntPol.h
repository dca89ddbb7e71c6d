#pragma once

#include "platform/report/ReportForm.h"

namespace tipdesk::summary {

// "경찰제보처별제보현황" (kind 2): its own qrySumF and qryReportF over the police report points;
// the shares come as numbers and are printed by QRDBDaypPrint.
class TFrmPol : public report::ReportForm {
    Q_OBJECT
public:
    explicit TFrmPol(QObject *owner = nullptr);
};

// A share as kind 2 prints it: one decimal, rounded half away from zero on the decimal digits
// of the text (6.25 gives "6.3%"), and "%". Throws ReportError for a text that is not a number.
QString FormatSharePercent(const QString &text);

} // namespace tipdesk::summary
