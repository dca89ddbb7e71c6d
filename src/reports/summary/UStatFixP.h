#pragma once

#include "platform/report/ReportForm.h"

namespace tipdesk::summary {

// "고정제보처별제보현황" (kind 1): rows of the report query module's qryReportF.
class TfStatFix : public report::ReportForm {
    Q_OBJECT
public:
    explicit TfStatFix(QObject *owner = nullptr);
};

} // namespace tipdesk::summary
