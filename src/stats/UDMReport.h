#pragma once

#include "platform/db/Query.h"

#include <QObject>

namespace tipdesk::stats {

// The report query module: the queries that belong to no report form. The console fills and
// opens them; the module itself runs no code. Created once at start-up, alive to the end.
class TDMReport : public QObject {
    Q_OBJECT
public:
    explicit TDMReport(QObject *parent = nullptr);
    ~TDMReport() override;

    db::Query *qryDate;    // one-value statements of the period derivation
    db::Query *qrySumC;    // period sums of the correspondents
    db::Query *qryReportC; // per-correspondent rows of kind 0
    db::Query *qryDateF;   // unused, kept with its siblings
    db::Query *qrySumF;    // period sums of the fixed report points
    db::Query *qryReportF; // per-report-point rows of kind 1
};

// The one instance; null until start-up has created it.
extern TDMReport *DMReport;
// DMReport, or a database error when start-up has not created it.
TDMReport &reportModule();

} // namespace tipdesk::stats
