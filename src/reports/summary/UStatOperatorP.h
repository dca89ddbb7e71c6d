#pragma once

#include "platform/report/ReportForm.h"

namespace tipdesk::summary {

// "접수자별제보현황" (kind 3): its own qrySum and qryReport over the operators' counts.
class TfStatOperator : public report::ReportForm {
    Q_OBJECT
public:
    explicit TfStatOperator(QObject *owner = nullptr);
};

} // namespace tipdesk::summary
