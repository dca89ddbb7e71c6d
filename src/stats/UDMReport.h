#pragma once

#include "platform/db/Query.h"

#include <QObject>

namespace tipdesk::stats {

// The report query module, created once at start-up and alive to the end. It lends the query
// through which the reference periods are derived; the summaries' own queries live in their
// layouts.
class TDMReport : public QObject {
    Q_OBJECT
public:
    explicit TDMReport(QObject *parent = nullptr);
    ~TDMReport() override;

    db::Query *qryDate;  // one-value statements of the period derivation
    db::Query *qryDateF; // unused, kept with its sibling
};

// The one instance; null until start-up has created it.
extern TDMReport *DMReport;
// DMReport, or a database error when start-up has not created it.
TDMReport &reportModule();

} // namespace tipdesk::stats
