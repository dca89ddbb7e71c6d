#pragma once

#include "platform/report/ReportForm.h"

namespace tipdesk::summary {

// "통신원별제보현황" (kind 0): rows of the report query module's qryReportC, shares as the
// database writes them.
class TfStatRepCoumm : public report::ReportForm {
    Q_OBJECT
public:
    explicit TfStatRepCoumm(QObject *owner = nullptr);
};

} // namespace tipdesk::summary
